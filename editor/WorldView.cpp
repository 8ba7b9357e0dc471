// The world view's mouse: panning with the middle button, the world point
// under the cursor, province selection by click, Ctrl+click and drag on the
// provinces page, capitals with Ctrl+click on the players page, and the
// dragging of province markers and of castle and army icons.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "bitmap/Pix32_Layers.h"
#include "editor/Main.h"
#include "editor/PlayerCapital.h"
#include "editor/PlayerInspector.h"
#include "editor/ProvinceBlink.h"
#include "editor/ProvinceSelection.h"
#include "editor/SelectionInfo.h"
#include "inspector/Rminspector.h"
#include "model/GridItemKeys.h"
#include "model/StringTable.h"

namespace {

constexpr int kPlayersPage = 0;
constexpr int kProvincesPage = 1;
// A dragged marker keeps this far inside the world's left and right, and
// top and bottom edges.
constexpr int32_t kMarkerMarginX = 12;
constexpr int32_t kMarkerMarginY = 5;

// The screen point the middle button went down at, as the view had scrolled
// then: the scroll positions follow the pointer's way from there.
TPoint PanAnchor;
// A Ctrl+click toggled a province: the press selects no more by dragging.
bool CtrlToggled = false;

TPoint WorldPoint(const TImage32& view, int x, int y) {
    const double scale = view.GetScale();
    return {static_cast<int32_t>(std::trunc(x / scale)), static_cast<int32_t>(std::trunc(y / scale))};
}

CProvince* ProvinceAt(const CMapProject& project, TPoint world) {
    const int32_t piece = project.GetPieceAt(world.X, world.Y);
    return piece < 0 ? nullptr : project.FindProvinceByPieceIndex(static_cast<uint16_t>(piece));
}

bool IconModes() { return Settings->ShCastles != 0 || Settings->ShArmies != 0; }

// The piece is marked exactly when a selected province holds it.
void ShowPieceSelection(CMapProject& project, int32_t piece) {
    if (piece < 0 || piece >= CProvinceMap::kNoPiece) return;
    const uint16_t n = static_cast<uint16_t>(piece);
    const CProvince* holder = project.FindProvinceByPieceIndex(n);
    if (holder && IsProvinceSelected(project.Selection, holder))
        project.SelectMapPiece(n);
    else
        project.DeselectMapPiece(n);
}

int32_t KeepInside(int32_t v, int32_t margin, int32_t side) {
    // Signed all the way: a world narrower than the margins puts the point
    // at 0 rather than wrapping it round to 65535.
    return std::max<int32_t>(std::min(std::max(v, margin), side - margin), 0);
}

// The marker follows the pointer, kept inside the world; the province
// binds to the free province piece under it or comes loose.
void DragMarker(CMapProject& project, CProvince& province, TPoint world) {
    const int32_t newPiece = project.GetPieceAt(world.X, world.Y);
    const int32_t oldPiece = project.GetPieceAt(province.FreeX, province.FreeY);
    const int32_t heldBefore = province.MapPieceIndex;
    const auto x = static_cast<uint16_t>(KeepInside(world.X, kMarkerMarginX, project.WorldWidth));
    const auto y = static_cast<uint16_t>(KeepInside(world.Y, kMarkerMarginY, project.WorldHeight));
    if (x != province.FreeX || y != province.FreeY) {
        province.FreeX = x;
        province.FreeY = y;
        project.MarkModified();
    }
    bool rebound = false;
    if (province.BoundToPiece) {
        if (newPiece != province.MapPieceIndex) {
            project.DetachProvince(&province);
            rebound = true;
        }
    } else {
        if (project.IsPieceOccupied(static_cast<uint32_t>(newPiece)) == 0)
            project.AttachProvinceToPiece(&province, static_cast<uint16_t>(newPiece));
        else
            project.DetachProvince(&province);
        rebound = true;
    }
    project.PlaceIconLayer(project.FindIconLayer(&province));
    project.AttachFreeProvinces();
    if (rebound) project.DrawNeighbourLinks();
    for (int32_t piece : {heldBefore, oldPiece, newPiece, province.MapPieceIndex}) ShowPieceSelection(project, piece);
}

// The castle or army icon moves only to points of its province's piece;
// elsewhere it stays where it was.
void DragIcon(CMapProject& project, CProvince& province, uint8_t kind, TPoint world) {
    if (province.MapPieceIndex == -1) return;
    const CProvinceMap* piece = project.MapPieces.GetAt(static_cast<uint16_t>(province.MapPieceIndex));
    if (!piece) return;
    const int32_t dx = world.X - piece->Left, dy = world.Y - piece->Top;
    const bool inBox = dx >= 0 && dy >= 0 && dx <= 0xFFFF && dy <= 0xFFFF;
    const auto ux = static_cast<uint16_t>(dx), uy = static_cast<uint16_t>(dy);
    if (kind == CLayerTag::Castle) {
        if (inBox && project.CanPlaceCastleAt(&province, ux, uy)) {
            province.SetCastleX(ux);
            province.SetCastleY(uy);
            project.DrawNeighbourLinks();
        }
        project.UpdateCastleIconLayer(&province);
    } else if (kind == CLayerTag::Army) {
        if (inBox && project.CanPlaceArmyAt(&province, ux, uy)) {
            province.SetArmyX(ux);
            province.SetArmyY(uy);
            project.DrawNeighbourLinks();
        }
        project.UpdateArmyIconLayer(&province);
    }
}

}  // namespace

void TMainForm::ImgVWorldMouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y,
                                   TCustomLayer* layer) {
    if (!MapProject) return;
    CMapProject& project = *MapProject;
    if (button == mbMiddle) PanAnchor = ImgVWorld->ClientToScreen({x - ImgVWorld->GetLeft(), y - ImgVWorld->GetTop()});
    project.ErrorList.SetCurrent(nullptr);
    if (button != mbLeft) return;

    CProvince* under = ProvinceAt(project, WorldPoint(*ImgVWorld, x, y));
    if (PgCMissionProperties->GetActivePageIndex() == kPlayersPage) {
        if (shift.Contains(ssCtrl)) {
            // The capital of the player whose row is selected, among that
            // player's provinces.
            const int player = LVPlayers->GetItemIndex();
            if (!under || player < 0 || under->Owner != player) return;
            // Its capital already: nothing to change.
            if (const CPlayerData* owner = project.PlayerAt(under->Owner); owner && owner->Capital == under) return;
            if (SwitchCapital(under->Owner, under) == 0) return;
            if (TrmCustomInspectorItem* capital = RMIPlayer->GetItemByName(InspectorKeys::Capital))
                capital->SetStringValue(project.CurrentProvinceName(under));
            RMIPlayer->Repaint();
            StartProvinceBlink(under);
            RefreshSelectionInfo(under->Owner);
            return;
        }
        if (!under || under->Owner == CProvinceB::kNoOwner) return;
        LVPlayers->SetItemIndex(under->Owner);
        RefreshSelectionInfo(under->Owner);
        return;
    }
    if (PgCMissionProperties->GetActivePageIndex() != kProvincesPage) return;

    const CLayerTag* tag = project.TagOf(layer);
    CProvince* province = under;
    if (!province) {
        if (!tag || tag->Kind != CLayerTag::Marker) return;
        province = tag->Owner;
    }
    CSelect& selection = project.Selection;
    if (shift.Contains(ssCtrl)) {
        ToggleProvinceSelection(selection, province);
        CtrlToggled = true;
    } else if (IconModes()) {
        if (tag && (tag->Kind == CLayerTag::Castle || tag->Kind == CLayerTag::Army)) {
            ClearSelection(selection);
            layer->BringToFront();
            project.DragLayerTag = tag;
            SelectProvince(selection, tag->Owner);
        }
    } else {
        ClearSelection(selection);
        if (Settings->ShIcons && tag && tag->Kind == CLayerTag::Marker) {
            province = tag->Owner;
            project.DragLayerTag = tag;
            layer->BringToFront();
        }
        SelectProvince(selection, province);
    }
    RefreshSelectionInfo(CProvinceB::kNoOwner);
}

void TMainForm::ImgVWorldMouseMove(TObject* sender, TShiftState shift, int x, int y, TCustomLayer* layer) {
    if (!MapProject || RMIProvince->GetItemIndex() != -1) return;
    CMapProject& project = *MapProject;
    const TPoint world = WorldPoint(*ImgVWorld, x, y);
    if (const TRect bounds = ImgVWorld->GetBoundsRect(); bounds.Width() + bounds.Height() != 0) {
        char text[32];
        std::snprintf(text, sizeof text, "(%d;%d)", world.X, world.Y);
        StatusBar->Panels()[0]->SetText(text);
    }
    if (shift.Contains(ssMiddle)) {
        const TPoint screen = ImgVWorld->ClientToScreen({x, y});
        ScrBWorld->HorzScrollBar().SetPosition(PanAnchor.X - screen.X);
        ScrBWorld->VertScrollBar().SetPosition(PanAnchor.Y - screen.Y);
        ScrBWorld->Repaint();
        return;
    }
    if (PgCMissionProperties->GetActivePageIndex() != kProvincesPage) return;

    const bool left = shift.Contains(ssLeft);
    CSelect& selection = project.Selection;
    if (left && !IconModes() && !project.DragLayerTag && !CtrlToggled)
        SelectProvince(selection, ProvinceAt(project, world));
    RefreshSelectionInfo(CProvinceB::kNoOwner);
    const CLayerTag* tag = project.DragLayerTag;
    if (!tag || !tag->Owner || !left) return;
    if (tag->Kind == CLayerTag::Marker && Settings->ShIcons) DragMarker(project, *tag->Owner, world);
    if ((tag->Kind == CLayerTag::Castle && Settings->ShCastles) || (tag->Kind == CLayerTag::Army && Settings->ShArmies)) {
        DragIcon(project, *tag->Owner, tag->Kind, world);
        RefreshSelectionInfo(CProvinceB::kNoOwner);
    }
}

void TMainForm::ImgVWorldMouseUp(TObject* sender, TMouseButton button, TShiftState shift, int x, int y,
                                 TCustomLayer* layer) {
    CtrlToggled = false;
    if (!MapProject) return;
    MapProject->DragLayerTag = nullptr;
    MapProject->ErrorList.FillListView();
}

void TMainForm::FormMouseMove(TObject* sender, TShiftState shift, int x, int y) {
    StatusBar->Panels()[0]->SetText("");
    StatusBar->Panels()[2]->SetText("");
}
