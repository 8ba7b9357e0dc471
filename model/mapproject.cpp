#include "model/mapproject.h"

#include <algorithm>

#include "model/BitmapHelpers.h"
#include "model/DetachedEditor.h"
#include "model/GameData.h"
#include "model/Settings.h"
#include "model/Textures.h"

using thorn::Inspector;
using thorn::TextureStrip;

CMapProject::CMapProject()
    : detached_(std::make_unique<thorn::DetachedEditor>()), editor_(detached_.get()), link_(*this) {
    MapPieces.SetIndexMap(&MapIndexes);
}

CMapProject::~CMapProject() { Reset(); }

void CMapProject::SetEditorLink(thorn::EditorLink* link) { editor_ = link ? link : detached_.get(); }

CPlayerData* CMapProject::PlayerAt(uint32_t n) {
    auto* node = Players.GetItem(n);
    return node ? node->data.get() : nullptr;
}

std::optional<uint32_t> CMapProject::FirstComputerPlayerId() const {
    auto* node = ComputerPlayerTypes.GetItem(0);
    if (!node) return std::nullopt;
    return node->data->Value;
}

// ------------------------------------------------------------ life cycle

int CMapProject::Reset() {
    thorn::EditorLink& editor = Editor();
    editor.StopProvinceBlink();
    for (Inspector grid : {Inspector::Mission, Inspector::Event, Inspector::Player, Inspector::Province})
        editor.DeselectInspector(grid);

    // The warnings point at pieces: they go first.
    ErrorList.Clear();

    editor.ClearSelection();
    // The editor empties the selection through its rows; whatever it left
    // would point at the provinces about to go.
    Selection.Clear();
    DraggedProvince = nullptr;
    DragLayerTag = nullptr;
    Provinces.Clear();
    MapPieces.Clear();
    MapIndexes.Free();
    Events.Clear();
    Tables.Clear();
    CastlePivots.SetSize(0);
    ComputerPlayerTypes.Clear();
    Abilities.Clear();

    editor.ClearProvinceList();
    editor.ClearPlayerList();
    for (Inspector grid : {Inspector::Player, Inspector::Province, Inspector::Event}) {
        editor.DeselectInspector(grid);
        editor.ClearInspector(grid);
    }
    editor.ClearEventList();
    editor.DeselectInspector(Inspector::Mission);
    editor.ClearInspector(Inspector::Mission);

    editor.WorldLayers().Clear();
    layerTags_.Clear();
    editor.WorldBitmap().Clear(0xFFFFFFFF);

    WorldWidth = 1;
    WorldHeight = 1;
    for (uint32_t i = 0; i < std::min<uint32_t>(Players.GetCount(), kMaxPlayers); ++i) Players[i].Init();
    FileName.clear();
    Difficulty = 1;
    ExperienceLimit = 25;
    return 1;
}

int CMapProject::ReadGameDataId() {
    MissionId = thorn::GameDataId(Editor().GameDataElement());
    return 1;
}

// -------------------------------------------------------------- progress

void CMapProject::ShowProgress(std::string_view text, int32_t max) { Editor().ShowProgress(text, max); }

void CMapProject::SetProgress(int32_t position) { Editor().SetProgress(position); }

void CMapProject::HideProgress() { Editor().HideProgress(); }

// ---------------------------------------------------------------- pieces

void CMapProject::RedrawPieces(int all) {
    for (uint16_t n = 0; n < MapPieces.GetCount(); ++n) {
        CProvinceMap& piece = *MapPieces.GetAt(n);
        if (piece.PixelCount != 0 && (all || piece.IsProvince())) RedrawPiece(n);
    }
}

void CMapProject::DrawPieces() {
    for (uint16_t n = 0; n < MapPieces.GetCount(); ++n)
        if (MapPieces.GetAt(n)->PixelCount != 0) DrawMapPiece(n);
}

void CMapProject::RemoveEmptyPieces() { MapPieces.RemoveEmpty(); }

void CMapProject::ReassignMapIndexes() {
    ShowProgress("Reassign map indexes...", MapPieces.GetCount());
    MapIndexes.Resize(WorldWidth, WorldHeight);
    for (uint16_t i = 0; i < MapPieces.GetCount(); ++i) {
        SetProgress(i);
        const CProvinceMap& piece = *MapPieces.GetAt(i);
        if (piece.PixelCount == 0 || !MapIndexes.HasCells()) continue;
        const TBitmap32& mask = *piece.Mask;
        // Only the part of the mask inside the world has cells.
        const int32_t width = std::min(mask.Width(), MapIndexes.Width() - piece.Left);
        const int32_t height = std::min(mask.Height(), MapIndexes.Height() - piece.Top);
        for (int32_t y = 0; y < height; ++y) {
            const TColor32* row = mask.ScanLine(y);
            int32_t* cells = MapIndexes.Row(piece.Top + y) + piece.Left;
            for (int32_t x = 0; x < width; ++x) cells[x] = row[x] != 0 ? int32_t{i} : cells[x];
        }
    }
}

int CMapProject::SetViewSize() {
    TImage32& view = Editor().WorldView();
    view.SetBounds(view.GetLeft(), view.GetTop(), WorldWidth + 10, WorldHeight + 10);
    view.GetBitmap()->SetSize(WorldWidth, WorldHeight);
    return 1;
}

void CMapProject::RedrawPiece(uint16_t n) {
    CProvinceMap* piece = MapPieces.GetAt(n);
    if (!piece) return;
    thorn::EditorLink& editor = Editor();
    const CSettings& settings = editor.Settings();
    TBitmap32* mask = piece->Mask.get();
    switch (piece->Kind) {
    case CProvinceMap::Ocean:
        piece->PixelCount = FillFromTexture(*mask, editor.Texture(TextureStrip::Sea), 0);
        break;
    case CProvinceMap::GreenLand:
        piece->PixelCount = FillFromTexture(*mask, editor.Texture(TextureStrip::Normal), 7);
        break;
    case CProvinceMap::Province:
    case CProvinceMap::SmallProvince: {
        const CProvince* province = FindProvinceByPieceIndex(n);
        const uint8_t owner = province ? province->Owner : CProvinceB::kNoOwner;
        const uint8_t tile = settings.OwnerColors ? static_cast<uint8_t>(owner + 1) : 0;
        TextureAndBevel(*mask, editor.Texture(piece->Selected ? TextureStrip::Selected : TextureStrip::Normal), tile);
        break;
    }
    case CProvinceMap::Small:
        piece->PixelCount = FillNonZeroPixels(mask, settings.SmallPieceColor);
        break;
    default:
        piece->PixelCount = FillNonZeroPixels(mask, settings.OtherPieceColor);
        break;
    }
    DrawMapPiece(n);
}

void CMapProject::DrawMapPiece(uint16_t n) {
    if (n > 2000) return;
    const CProvinceMap* piece = MapPieces.GetAt(n);
    if (!piece || piece->PixelCount == 0) return;
    TBitmap32& world = Editor().WorldBitmap();
    if (world.Empty()) return;
    piece->Mask->DrawTo(&world, piece->Left, piece->Top);
}

int CMapProject::SelectMapPiece(uint16_t n) {
    CProvinceMap* piece = n == CProvinceMap::kNoPiece ? nullptr : MapPieces.GetAt(n);
    if (!piece || piece->Selected || !piece->IsProvince()) return 1;
    piece->Selected = 1;
    RedrawPiece(n);
    return 1;
}

int CMapProject::DeselectMapPiece(uint16_t n) {
    CProvinceMap* piece = n == CProvinceMap::kNoPiece ? nullptr : MapPieces.GetAt(n);
    if (!piece || !piece->Selected) return 1;
    piece->Selected = 0;
    RedrawPiece(n);
    return 1;
}

// --------------------------------------------------------------- lookups

CProvince* CMapProject::FindProvinceByPieceIndex(uint16_t n) const {
    for (uint16_t i = 0; i < Provinces.GetCount(); ++i) {
        CProvince* province = Provinces.GetAt(static_cast<uint8_t>(i));
        if (province && static_cast<uint16_t>(province->MapPieceIndex) == n) return province;
    }
    return nullptr;
}

CProvince* CMapProject::FindProvinceByMapPiece(const CProvinceMap* piece) const {
    return FindProvinceByPieceIndex(MapPieces.IndexOf(piece));
}

std::string CMapProject::CurrentProvinceName(const CProvince* province) const {
    const CStringTable* table = Tables.GetAt(CurrentStringTable);
    if (!table) return "none";
    return table->GetProvinceName(province);
}
