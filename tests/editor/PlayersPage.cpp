#include "PlayersPage.h"

#include <gtest/gtest.h>

#include "editor/PlayersList.h"
#include "gui/Application.h"
#include "gui/ComboBox.h"
#include "gui/PopupWindow.h"

namespace thorn::test {

namespace {
constexpr int kWheelNotch = 120;
constexpr int kCheckBoxMiddle = 8;  // from the row's left edge
}  // namespace

PlayersPage::PlayersPage(const std::string& world) {
    editor.Start();
    MapProject->Reset();
    if (MapProject->ImportWorldImage(editor / "worlds" / world, 0) == 0 || MapProject->NewMissionFromImage() == 0)
        throw std::runtime_error("no mission from " + world);
    Player(0).Active = 1;
    Player(1).Active = 1;
    MapProject->EnableProjectUI(1);
    FillPlayersList();
    Application->ProcessMessages();
}

PlayersPage::~PlayersPage() {
    if (MapProject && MapProject->Modified) Host().AnswerMessageBox(IDNO);
    editor.Close();
}

void PlayersPage::GiveProvince(int i, uint8_t n) const {
    Province(i).SetOwner(n);
    TListItem* row = Main().LVProvinces->FindData(0, &Province(i), true, false);
    if (row && row->GetSubItems()->GetCount() > 0) row->GetSubItems()->Put(0, Table().GetPlayerName(n));
}

TPoint PlayersPage::OnMain(const TControl& control, TPoint p) const {
    const TPoint at = control.ClientToParent(p, &Main());
    return {at.X, at.Y + Main().GetMenuBarHeight()};
}

void PlayersPage::Click(const TControl& control, TPoint p) {
    const TPoint at = OnMain(control, p);
    Host().Click(Main(), at.X, at.Y);
}

void PlayersPage::ClickPlayer(int row) {
    TListView& list = *Main().LVPlayers;
    const TPoint middle = OnMain(list, {list.GetClientWidth() / 2, list.GetClientHeight() / 2});
    for (int guard = 0; guard < 20 && list.GetTopItem()->GetIndex() > row; ++guard)
        Host().Wheel(Main(), middle.X, middle.Y, kWheelNotch);
    for (int guard = 0; guard < 20 && row >= list.GetTopItem()->GetIndex() + list.GetVisibleRowCount(); ++guard)
        Host().Wheel(Main(), middle.X, middle.Y, -kWheelNotch);
    const TRect rect = PlayerRow(row).DisplayRect();
    Click(list, {rect.Left + 60, (rect.Top + rect.Bottom) / 2});
}

void PlayersPage::TickPlayer(int row) {
    const TRect rect = PlayerRow(row).DisplayRect();
    Click(*Main().LVPlayers, {rect.Left + kCheckBoxMiddle, (rect.Top + rect.Bottom) / 2});
}

void PlayersPage::ShowPage(int index) {
    const TRect tab = Main().PgCMissionProperties->TabRect(index);
    Click(*Main().PgCMissionProperties, {(tab.Left + tab.Right) / 2, (tab.Top + tab.Bottom) / 2});
}

void PlayersPage::ClickProvinceRow(int row) {
    TListItem& item = *Main().LVProvinces->GetItems()->GetItem(row);
    item.MakeVisible();
    const TRect rect = item.DisplayRect();
    Click(*Main().LVProvinces, {rect.Left + 20, (rect.Top + rect.Bottom) / 2});
}

std::string PlayersPage::PlayerColumn(int row, int column) const {
    TListItem& item = PlayerRow(row);
    if (column == 0) return item.GetCaption();
    const TStrings& columns = *item.GetSubItems();
    return column <= columns.GetCount() ? columns.Get(column - 1) : std::string("<no column>");
}

TrmCustomInspectorItem& PlayersPage::Row(std::string_view key) const {
    TrmCustomInspectorItem* item = Grid().GetItemByName(key);
    if (!item) throw std::runtime_error("no row " + std::string(key));
    return *item;
}

void PlayersPage::ClickValue(std::string_view key) {
    TrmInspector& grid = Grid();
    // A click on an open editor would act on it instead.
    if (grid.GetCurrentInspectorItem() == &Row(key) && grid.GetEditor()) return;
    const int row = grid.VisibileItemIndex(&Row(key));
    ASSERT_GE(row, 0) << key;
    const int lines = grid.GetClientHeight() / grid.RowHeight();
    const TPoint middle = OnMain(grid, {grid.GetClientWidth() / 2, grid.GetClientHeight() / 2});
    for (int guard = 0; guard < 50 && row < grid.GetVScrollPos(); ++guard)
        Host().Wheel(Main(), middle.X, middle.Y, kWheelNotch);
    for (int guard = 0; guard < 50 && row >= grid.GetVScrollPos() + lines; ++guard)
        Host().Wheel(Main(), middle.X, middle.Y, -kWheelNotch);
    const TRect cell = grid.GetVisibleItemRect(row - grid.GetVScrollPos(), true);
    Click(grid, {cell.Left + 20, (cell.Top + cell.Bottom) / 2});
    ASSERT_EQ(grid.GetCurrentInspectorItem(), &Row(key));
}

void PlayersPage::Type(std::string_view key, std::string_view text) {
    ClickValue(key);
    Host().PressKey(VK_HOME);
    Host().PressKey(VK_END, {ssShift});
    if (text.empty())
        Host().PressKey(VK_DELETE);
    else
        Host().TypeText(text);
}

void PlayersPage::Pick(std::string_view key, int index) {
    ClickValue(key);
    auto* combo = dynamic_cast<TCustomComboBox*>(Grid().GetEditor());
    ASSERT_NE(combo, nullptr) << key;
    Click(*combo, {combo->GetWidth() / 2, combo->GetHeight() / 2});
    ASSERT_TRUE(combo->GetDroppedDown()) << key;
    TPopupWindow& list = *combo->GetListWindow();
    thorn::RowView& rows = *combo->GetListView();
    const TRect rect = rows.RowRect(index);
    const TPoint at = rows.ClientToParent({rect.Left + 5, (rect.Top + rect.Bottom) / 2}, &list);
    Host().Click(list, at.X, at.Y);
    ASSERT_FALSE(combo->GetDroppedDown()) << key;
}

void PlayersPage::Toggle(std::string_view key) {
    ClickValue(key);
    Host().PressKey(VK_SPACE);
}

}  // namespace thorn::test
