#include "MissionDesk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "bitmapui/Pix32_Layers.h"
#include "editor/PlayersList.h"
#include "gui/Application.h"
#include "gui/ComboBox.h"
#include "gui/PopupWindow.h"
#include "gui/RowView.h"
#include "inspector/Rminspectoritems.h"

namespace thorn::test {

namespace {

TPoint Middle(const TFloatRect& r) {
    return {static_cast<int32_t>((r.Left + r.Right) / 2), static_cast<int32_t>((r.Top + r.Bottom) / 2)};
}

// The point the host takes for a control's client point: the window's
// own coordinates, whose top rows hold the menu bar.
TPoint FormPointOfControl(const TControl& control, TPoint client, const TCustomForm& form) {
    const TPoint screen = control.ClientToScreen(client);
    return {screen.X - form.GetLeft(), screen.Y - form.GetTop()};
}

}  // namespace

MissionDesk::MissionDesk(const std::string& world) {
    editor_.Start();
    CMapProject& project = *MapProject;
    if (project.ImportWorldImage(editor_ / "worlds" / world, 0) == 0) throw std::runtime_error("import refused");
    if (project.NewMissionFromImage() == 0) throw std::runtime_error("mission refused");
    project.EnableProjectUI(1);
    // As New leaves them: the first two players take part, and the players
    // list shows every slot.
    for (uint32_t i : {0u, 1u}) project.PlayerAt(i)->Active = 1;
    FillPlayersList();
    Application->ProcessMessages();
}

MissionDesk::~MissionDesk() = default;

CProvince& MissionDesk::Province(int i) const {
    CProvince* province = Project().Provinces.GetAt(static_cast<uint8_t>(i));
    if (!province) throw std::out_of_range("no such province");
    return *province;
}

int MissionDesk::ProvinceCount() const { return Project().Provinces.GetCount(); }

// ---------------------------------------------------------------- pages and lists

void MissionDesk::ShowPage(int index) {
    TPageControl& pages = *Main().PgCMissionProperties;
    const TRect tab = pages.TabRect(index);
    const TPoint at = FormPointOfControl(pages, {(tab.Left + tab.Right) / 2, (tab.Top + tab.Bottom) / 2}, Main());
    Host().Click(Main(), at.X, at.Y);
}

void MissionDesk::ClickProvinceRow(int row, TShiftState shift) {
    TListView& list = *Main().LVProvinces;
    TListItem* item = list.GetItems()->GetItem(row);
    item->MakeVisible();
    const TRect r = item->DisplayRect();
    const TPoint at = FormPointOfControl(list, {r.Left + 20, (r.Top + r.Bottom) / 2}, Main());
    Host().Click(Main(), at.X, at.Y, mbLeft, shift);
}

void MissionDesk::ClickPlayerRow(int row) {
    TListView& list = *Main().LVPlayers;
    const TRect r = list.GetItems()->GetItem(row)->DisplayRect();
    // Right of the check box, so the row is chosen and its mark stays.
    const TPoint at = FormPointOfControl(list, {r.Left + 40, (r.Top + r.Bottom) / 2}, Main());
    Host().Click(Main(), at.X, at.Y);
}

std::vector<CProvince*> MissionDesk::SelectedRows() const {
    std::vector<CProvince*> provinces;
    TListItems& rows = *Main().LVProvinces->GetItems();
    for (int i = 0; i < rows.GetCount(); ++i)
        if (rows[i]->GetSelected()) provinces.push_back(static_cast<CProvince*>(rows[i]->GetData()));
    return provinces;
}

std::vector<CProvince*> MissionDesk::Selected() const {
    std::vector<CProvince*> provinces;
    for (CProvince* p : Project().Selection.Provinces)
        if (p) provinces.push_back(p);
    return provinces;
}

// ---------------------------------------------------------------- world view

TPoint MissionDesk::FormPointOf(TPoint world) {
    TImage32& view = *Main().ImgVWorld;
    const double scale = view.GetScale();
    const TPoint client{static_cast<int32_t>(std::ceil(world.X * scale)),
                        static_cast<int32_t>(std::ceil(world.Y * scale))};
    TScrollBox& box = *Main().ScrBWorld;
    const TPoint inBox = box.ScreenToClient(view.ClientToScreen(client));
    if (inBox.X < 0 || inBox.Y < 0 || inBox.X >= box.GetClientWidth() || inBox.Y >= box.GetClientHeight())
        ADD_FAILURE() << "world point (" << world.X << ";" << world.Y << ") is out of sight";
    return FormPointOfControl(view, client, Main());
}

TPoint MissionDesk::OpenPointOf(const CProvince& province) const {
    const CMapProject& project = Project();
    if (province.MapPieceIndex < 0) throw std::runtime_error("the province holds no piece");
    const CProvinceMap& piece = *project.MapPieces.GetAt(static_cast<uint16_t>(province.MapPieceIndex));
    const TImage32& view = *Main().ImgVWorld;
    const double scale = view.GetScale();
    const auto inPiece = [&](int x, int y) { return project.GetPieceAt(x, y) == province.MapPieceIndex; };
    for (int y = piece.Top + 3; y < piece.Top + piece.Mask->Height() - 3; ++y)
        for (int x = piece.Left + 3; x < piece.Left + piece.Mask->Width() - 3; ++x) {
            if (!inPiece(x, y) || !inPiece(x - 3, y - 3) || !inPiece(x + 3, y + 3) || !inPiece(x - 3, y + 3) ||
                !inPiece(x + 3, y - 3))
                continue;
            const int vx = static_cast<int>(std::ceil(x * scale)), vy = static_cast<int>(std::ceil(y * scale));
            if (!view.GetLayers()->FindLayerAtPos(vx, vy, kLayerMouseEvents)) return {x, y};
        }
    throw std::runtime_error("no open point on the province's piece");
}

TPoint MissionDesk::MarkerPointOf(const CProvince& province) const {
    const TPoint v = Middle(Project().FindIconLayer(&province)->GetLocation());
    const double scale = Main().ImgVWorld->GetScale();
    return {static_cast<int32_t>(v.X / scale), static_cast<int32_t>(v.Y / scale)};
}

TPoint MissionDesk::CastlePointOf(const CProvince& province) const {
    const TPoint v = Middle(Project().FindCastleLayer(&province)->GetLocation());
    const double scale = Main().ImgVWorld->GetScale();
    return {static_cast<int32_t>(v.X / scale), static_cast<int32_t>(v.Y / scale)};
}

TPoint MissionDesk::ArmyPointOf(const CProvince& province) const {
    const TPoint v = Middle(Project().FindArmyLayer(&province)->GetLocation());
    const double scale = Main().ImgVWorld->GetScale();
    return {static_cast<int32_t>(v.X / scale), static_cast<int32_t>(v.Y / scale)};
}

void MissionDesk::ClickWorld(TPoint world, TShiftState shift, TMouseButton button) {
    const TPoint at = FormPointOf(world);
    Host().MouseMove(Main(), at.X, at.Y, shift);
    Host().Click(Main(), at.X, at.Y, button, shift);
}

void MissionDesk::DragWorld(TPoint from, TPoint to, int steps) {
    const TPoint a = FormPointOf(from), b = FormPointOf(to);
    Host().Drag(Main(), a, b, steps);
}

void MissionDesk::MoveOverWorld(TPoint world, TShiftState shift) {
    const TPoint at = FormPointOf(world);
    Host().MouseMove(Main(), at.X, at.Y, shift);
}

// ---------------------------------------------------------------- province grid

TrmCustomInspectorItem* MissionDesk::GridRow(std::string_view key) const {
    return Main().RMIProvince->GetItemByName(key);
}

std::string MissionDesk::GridText(std::string_view key) const {
    TrmCustomInspectorItem* row = GridRow(key);
    return row ? row->GetAsString() : std::string("<no row>");
}

std::vector<std::string> MissionDesk::GridKeys() const {
    std::vector<std::string> keys;
    TrmInspector& grid = *Main().RMIProvince;
    for (int i = 0; i < grid.VisibleItemCount(); ++i)
        if (TrmTreeNonViewNode* node = grid.GetVisibleItem(i))
            if (auto* item = dynamic_cast<TrmCustomInspectorItem*>(node->GetData())) keys.push_back(item->GetName());
    return keys;
}

void MissionDesk::GoToGridRow(std::string_view key, TrmInspector* in) {
    TrmInspector& grid = in ? *in : *Main().RMIProvince;
    TrmCustomInspectorItem* target = grid.GetItemByName(key);
    if (!target) throw std::runtime_error("no grid row " + std::string(key));
    const int wanted = grid.VisibileItemIndex(target);
    // A click on the caption of the row, or of the last row in sight and
    // the arrow keys from there.
    const int line = std::min(wanted - grid.GetVScrollPos(), grid.VisibleItemCount() - 1 - grid.GetVScrollPos());
    const int lastWhole = grid.GetClientHeight() / grid.RowHeight() - 1;
    const TRect caption = grid.GetVisibleItemRect(std::clamp(line, 0, lastWhole), false);
    const TPoint at = FormPointOfControl(grid, {caption.Left + 10, (caption.Top + caption.Bottom) / 2}, Main());
    Host().Click(Main(), at.X, at.Y);
    for (int guard = 0; grid.GetItemIndex() != wanted && guard < 100; ++guard)
        Host().PressKey(grid.GetItemIndex() < wanted ? VK_DOWN : VK_UP);
    if (grid.GetItemIndex() != wanted) throw std::runtime_error("grid row out of reach");
    // Tab takes the keys into the row's editor.
    if (grid.GetEditor() && Main().GetFocusedControl() != grid.GetEditor()) Host().PressKey(VK_TAB);
}

void MissionDesk::TypeIntoGridRow(std::string_view key, std::string_view text) {
    GoToGridRow(key);
    Host().PressKey(VK_HOME);
    Host().PressKey(VK_END, {ssShift});
    if (text.empty())
        Host().PressKey(VK_DELETE);
    else
        Host().TypeText(text);
}

void MissionDesk::ChooseInGridRow(std::string_view key, int entry, TrmInspector* grid) {
    GoToGridRow(key, grid);
    auto* combo = dynamic_cast<TCustomComboBox*>((grid ? grid : Main().RMIProvince)->GetEditor());
    if (!combo) throw std::runtime_error("no choice editor");
    const TPoint box = FormPointOfControl(*combo, {combo->GetWidth() - 6, combo->GetHeight() / 2}, Main());
    Host().Click(Main(), box.X, box.Y);
    if (!combo->GetDroppedDown()) throw std::runtime_error("the list did not drop");
    TPopupWindow* list = combo->GetListWindow();
    RowView* rows = combo->GetListView();
    const TRect r = rows->RowRect(entry);
    const TPoint at = rows->ClientToParent({r.Left + 5, (r.Top + r.Bottom) / 2}, list);
    Host().Click(*list, at.X, at.Y);
}

void MissionDesk::ToggleGridRow(std::string_view key) {
    GoToGridRow(key);
    Host().PressKey(VK_SPACE);
}

}  // namespace thorn::test
