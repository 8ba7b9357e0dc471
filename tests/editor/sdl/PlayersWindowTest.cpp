#include <gtest/gtest.h>

#include <filesystem>

#include "../EditorSession.h"
#include "SdlSession.h"
#include "XScreen.h"
#include "editor/PlayersList.h"
#include "editor/Program.h"
#include "gui/Application.h"
#include "gui/ComboBox.h"
#include "gui/PopupWindow.h"
#include "model/GridItemKeys.h"
#include "support/PngFile.h"

// Runs under Xvfb: the editor as its program starts it, on a copy of the
// start folder, with a mission made from a sample world; its players page
// used with the X pointer. The screen is saved as "players_page.png" in the
// build folder, to look at.
namespace {

class PlayersWindow : public thorn::test::SdlSession {
protected:
    const std::filesystem::path buildFolder = std::filesystem::current_path();
    thorn::test::StartFolderCopy folder;
    thorn::MainModuleScope module;
    thorn::test::XScreen screen;

    void ClickAt(const TControl& control, TPoint p) {
        const TPoint at = control.ClientToScreen(p);
        screen.Click(at.X, at.Y);
    }
};

TEST_F(PlayersWindow, APlayerSwitchedOnAndGivenACapitalWithThePointer) {
    ASSERT_TRUE(screen.Ok());
    thorn::CreateEditorWindows(*app);
    TMainForm& main = *MainForm.Get();
    main.Show();
    ASSERT_TRUE(RunUntil([&] { return main.GetHostWindow() && !main.HasPendingPaint(); }));

    ASSERT_EQ(MapProject->ImportWorldImage(folder / "worlds" / "twin_kingdoms.bmp", 0), 1);
    ASSERT_EQ(MapProject->NewMissionFromImage(), 1);
    for (int i : {3, 7}) MapProject->Provinces.GetAt(static_cast<uint8_t>(i))->SetOwner(2);
    // As the New command leaves them.
    MapProject->Players[0].Active = MapProject->Players[1].Active = 1;
    MapProject->EnableProjectUI(1);
    FillPlayersList();
    ASSERT_TRUE(RunUntil([&] { return !main.HasPendingPaint(); }));

    // Player 3: its check box, then its row.
    TListView& list = *main.LVPlayers;
    const TRect row = list.GetItems()->GetItem(2)->DisplayRect();
    const int middle = (row.Top + row.Bottom) / 2;
    ClickAt(list, {row.Left + 8, middle});
    ASSERT_TRUE(RunUntil([&] { return MapProject->Players[2].Active != 0; }));
    ClickAt(list, {row.Left + 60, middle});
    TrmInspector& grid = *main.RMIPlayer;
    ASSERT_TRUE(RunUntil([&] { return grid.GetItemByName(InspectorKeys::Capital) != nullptr; }));

    // Its capital: the row's value cell, the list dropped, the second province.
    const int capitalRow = grid.VisibileItemIndex(grid.GetItemByName(InspectorKeys::Capital));
    const TRect cell = grid.GetVisibleItemRect(capitalRow - grid.GetVScrollPos(), true);
    ClickAt(grid, {cell.Left + 20, (cell.Top + cell.Bottom) / 2});
    TCustomComboBox* combo = nullptr;
    ASSERT_TRUE(RunUntil([&] { return (combo = dynamic_cast<TCustomComboBox*>(grid.GetEditor())) != nullptr; }));
    ClickAt(*combo, {combo->GetWidth() / 2, combo->GetHeight() / 2});
    ASSERT_TRUE(RunUntil([&] { return combo->GetDroppedDown(); }));
    thorn::RowView& choices = *combo->GetListView();
    const TRect second = choices.RowRect(2);
    ClickAt(choices, {second.Left + 5, (second.Top + second.Bottom) / 2});
    CProvince* capital = MapProject->Provinces.GetAt(7);
    ASSERT_TRUE(RunUntil([&] { return MapProject->Players[2].Capital == capital && !main.HasPendingPaint(); }));
    EXPECT_EQ(grid.GetItemByName(InspectorKeys::Capital)->GetAsString(),
              MapProject->Tables.GetAt(0)->GetProvinceName(capital));
    EXPECT_TRUE(list.GetItems()->GetItem(2)->GetChecked());

    TBitmap32 whole;
    screen.Grab(whole);
    thorn::test::WritePng(buildFolder / "players_page.png", whole);

    MapProject->Modified = 0;
    main.Close();
    ASSERT_TRUE(RunUntil([&] { return MapProject == nullptr; }));
}

}  // namespace
