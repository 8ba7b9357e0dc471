// Provinces made from the province pieces, added by the designer and
// deleted with everything that named them; the players sized to the game
// data.
#include <algorithm>
#include <cmath>
#include <string>

#include "bitmapui/Pix32_Layers.h"
#include "model/BitmapHelpers.h"
#include "model/mapproject.h"

using thorn::ScrollBarKind;

namespace {

constexpr char kTruncatedMessage[] = "Too many provinces! They will be truncated to 99 items";
constexpr char kLimitMessage[] = "Too many provinces! You can create noone more.";
// Province pieces are painted this before their province is made.
constexpr TColor32 kNewProvinceColour = 0xFF111111;
// A free province is put this far up and left of the view's middle.
constexpr double kViewCentreOffset = 20.0;
constexpr uint32_t kStartingVictoryAmount = 10;

// A condition's province index after province k is deleted: none when it
// named k, one less when it named a later one.
void ShiftProvinceIndex(uint8_t& index, uint8_t k) {
    if (index == CProvinceList::kNone) return;
    if (index == k)
        index = CProvinceList::kNone;
    else if (index > k)
        --index;
}

}  // namespace

int CMapProject::CreateProvinces() {
    ShowProgress("Create provinces...", MapPieces.GetCount());
    ProgressScope progress(*this);
    for (uint16_t i = 0; i < MapPieces.GetCount(); ++i) {
        SetProgress(i);
        CProvinceMap& piece = *MapPieces.GetAt(i);
        if (!piece.IsProvince()) continue;
        if (Provinces.GetCount() >= CProvinceList::kMaxProvinces) {
            Editor().ShowError(kTruncatedMessage);
            return 0;
        }
        FillNonZeroPixels(piece.Mask.get(), kNewProvinceColour);
        AddProvince(static_cast<uint16_t>(piece.Left + piece.CastleX), static_cast<uint16_t>(piece.Top + piece.CastleY),
                    piece.CastleX, piece.CastleY, piece.ArmyX, piece.ArmyY, 1, i);
    }
    return 1;
}

CProvince* CMapProject::AddProvince(uint16_t x, uint16_t y, uint16_t castleX, uint16_t castleY, uint16_t armyX,
                                    uint16_t armyY, uint8_t bound, int32_t pieceIndex) {
    if (Provinces.GetCount() >= CProvinceList::kMaxProvinces) {
        Editor().ShowError(kLimitMessage);
        return nullptr;
    }
    CProvince* province = nullptr;
    {
        auto made = std::make_unique<CProvince>();
        province = made.get();
        Provinces.Add(std::move(made));
    }

    // The first number from the new count whose name no province bears;
    // every number is tried at most once, so a table that refuses them all
    // leaves the province unnamed rather than looping.
    if (CStringTable* table = Tables.GetAt(CurrentStringTable)) {
        uint32_t n = Provinces.GetCount();
        for (int tried = 0; tried < 256; ++tried, ++n)
            if (table->SetProvinceName(province, "Noname " + std::to_string(n % 256))) break;
    }

    province->FreeX = x;
    province->FreeY = y;
    province->SetCastleX(castleX);
    province->SetCastleY(castleY);
    province->SetArmyX(armyX);
    province->SetArmyY(armyY);
    province->BoundToPiece = bound;
    province->MapPieceIndex = pieceIndex;

    province->SetResourceCount(NumResources);
    for (uint8_t r = 0; r < NumResources && r < ResourceMin.size(); ++r)
        province->SetResource(r, static_cast<uint16_t>(ResourceMin[r]));
    province->GuardianArmy.SetSize(UnitTypeCount());

    CreateProvinceLayers(province);
    return province;
}

CProvince* CMapProject::AddProvinceAtViewCentre() {
    thorn::EditorLink& editor = Editor();
    const TImage32& view = editor.WorldView();
    const TRect client = editor.WorldScrollBoxClientRect();
    const double scale = view.GetScale();
    // The scroll box's middle in the image control's coordinates, then in
    // world pixels; kept inside the world so that a view scrolled to its
    // top or left edge cannot wrap the point round to 65535.
    const double cx = (client.Width() / 2 - view.GetLeft()) / scale - kViewCentreOffset;
    const double cy = (client.Height() / 2 - view.GetTop()) / scale - kViewCentreOffset;
    auto inside = [](double v, int32_t side) {
        return static_cast<uint16_t>(std::clamp<double>(std::trunc(v), 0, std::max(side - 1, 0)));
    };
    const uint16_t x = inside(cx, WorldWidth), y = inside(cy, WorldHeight);
    return AddProvince(x, y, x, y, x, y, 0, -1);
}

void CMapProject::DeleteProvince(CProvince* province) {
    thorn::EditorLink& editor = Editor();
    // Nothing may keep pointing at it: the selection, the drag, the blink.
    Selection.Remove(province);
    if (DraggedProvince == province) DraggedProvince = nullptr;
    if (DragLayerTag && DragLayerTag->Owner == province) DragLayerTag = nullptr;
    editor.ProvinceDeleting(*province);
    if (province->MapPieceIndex != -1) DeselectMapPiece(static_cast<uint16_t>(province->MapPieceIndex));

    // Every player whose capital it is loses it, not only its owner.
    for (uint32_t i = 0; i < Players.GetCount(); ++i)
        if (Players[i].Capital == province) Players[i].SetCapital(nullptr);
    province->SetOwner(CProvinceB::kNoOwner);
    if (province->MapPieceIndex != -1) RedrawPiece(static_cast<uint16_t>(province->MapPieceIndex));

    DeleteProvinceLayers(province);

    const uint8_t k = Provinces.IndexOf(province);
    ShiftProvinceIndex(VictoryConds.Data.ProvinceToCapture, k);
    ShiftProvinceIndex(LoseConds.ProvinceToKeep, k);
    Tables.RemoveProvinceName(k);
    Provinces.Remove(province);
}

void CMapProject::DeleteSelectedProvinces() {
    thorn::EditorLink& editor = Editor();
    for (const CProvince* province : Selection.Provinces) {
        if (!province) continue;
        const uint8_t k = Provinces.IndexOf(province);
        if (k == CProvinceList::kNone) continue;
        if (VictoryConds.Data.ProvinceToCapture == k) VictoryConds.Data.ProvinceToCapture = CProvinceList::kNone;
        if (LoseConds.ProvinceToKeep == k) LoseConds.ProvinceToKeep = CProvinceList::kNone;
    }

    for (int32_t row = editor.FirstSelectedProvinceRow(); row != -1; row = editor.FirstSelectedProvinceRow()) {
        editor.DeselectProvinceRow(row);
        CProvince* province = editor.ProvinceRowData(row);
        // A row whose province is no longer the project's only goes.
        if (province && Provinces.IndexOf(province) != CProvinceList::kNone) DeleteProvince(province);
        editor.DeleteProvinceRow(row);
        DrawNeighbourLinks();
        ErrorList.FillListView();
    }

    AttachFreeProvinces();
    editor.RefreshVictoryConds();
    editor.RefreshLoseConds();
    editor.UpdatePlayerInspector();
}

void CMapProject::ResizePlayerData() {
    const int units = UnitTypeCount();
    Players.Resize(kMaxPlayers);
    for (uint32_t i = 0; i < Players.GetCount(); ++i) {
        CPlayerData& player = Players[i];
        player.UnitTypes.SetSize(units);
        player.CampaignArmy.SetSize(units);
        player.UnitNames.SetSize(units);
        for (int k = 0; k < units; ++k) player.SetUnitType(static_cast<uint8_t>(k), static_cast<uint8_t>(k));
        player.Treasury.SetSize(NumResources);
        for (int r = 0; r < NumResources; ++r) player.Treasury[r] = 0;
    }
    CVictoryCondsB::VData& goals = VictoryConds.Data;
    goals.Resources.Amounts.SetSize(NumResources);
    for (int r = 0; r < NumResources; ++r) goals.Resources.Amounts[r] = kStartingVictoryAmount;
    goals.Army.Units.SetSize(units);
    for (int u = 0; u < units; ++u) goals.Army.Units[u] = kStartingVictoryAmount;
}
