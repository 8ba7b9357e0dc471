#include <gtest/gtest.h>

#include <vector>

#include "MissionDesk.h"
#include "editor/Eventsframe.h"
#include "editor/Missionframe.h"
#include "gui/MessageBox.h"
#include "inspector/Rminspectoritems.h"

namespace {

using thorn::test::MissionDesk;

class PropertyPages : public ::testing::Test {
protected:
    CProvince& P(int i) { return desk.Province(i); }
    void Own(int i, uint8_t owner) {
        P(i).SetOwner(owner);
        desk.Project().RedrawPiece(static_cast<uint16_t>(P(i).MapPieceIndex));
    }
    bool Marked(int i) {
        return desk.Project().MapPieces.GetAt(static_cast<uint16_t>(P(i).MapPieceIndex))->Selected != 0;
    }

    MissionDesk desk;
};

TEST_F(PropertyPages, ThePlayersPageShowsThePlayersProvincesAndTheProvincesPageTheSelection) {
    const int last = desk.ProvinceCount() - 1;
    for (int i : {0, 2, 3, last}) Own(i, 0);
    CSelect& selection = desk.Project().Selection;

    desk.ShowPage(MissionDesk::kProvincesPage);
    desk.ClickWorld(desk.OpenPointOf(P(5)));
    ASSERT_EQ(desk.Selected(), std::vector<CProvince*>{&P(5)});
    desk.GoToGridRow("Owner");

    // No player chosen: nothing selected, nothing blinks.
    desk.ShowPage(MissionDesk::kPlayersPage);
    EXPECT_TRUE(desk.Selected().empty());
    EXPECT_FALSE(Marked(5));
    EXPECT_FALSE(desk.Main().Timer->GetEnabled());
    EXPECT_EQ(desk.Main().RMIProvince->GetItemIndex(), -1);
    EXPECT_EQ(selection.GridLink, 0u);

    // A player chosen: its provinces on the map and in the list, the
    // province grid left as it is, and its capital (none here) blinking.
    desk.ClickPlayerRow(0);
    EXPECT_EQ(desk.Main().LblDomainSummary->GetCaption(), "4 Provinces, 0 Castles") << "the chosen player's domain";
    desk.ShowPage(MissionDesk::kProvincesPage);
    desk.ShowPage(MissionDesk::kPlayersPage);
    // The first and the last of the list among them.
    const std::vector<CProvince*> own{&P(0), &P(2), &P(3), &P(last)};
    EXPECT_EQ(desk.Selected(), own);
    EXPECT_EQ(desk.SelectedRows(), own);
    for (int i : {0, 2, 3, last}) EXPECT_TRUE(Marked(i)) << i;
    EXPECT_FALSE(Marked(1));
    EXPECT_EQ(desk.Main().RMIProvince->GetItems().GetCount(), 0);
    EXPECT_TRUE(desk.Main().Timer->GetEnabled());
    EXPECT_EQ(desk.Main().LblDomainSummary->GetCaption(), "4 Provinces, 0 Castles");

    // Back on the provinces page: a fresh start, no blink.
    desk.ShowPage(MissionDesk::kProvincesPage);
    EXPECT_TRUE(desk.Selected().empty());
    EXPECT_FALSE(desk.Main().Timer->GetEnabled());
    EXPECT_EQ(selection.GridLink, 1u);
    desk.ClickWorld(desk.OpenPointOf(P(2)));
    EXPECT_EQ(desk.GridText("ProvName"), desk.Project().CurrentProvinceName(&P(2)));
    EXPECT_EQ(desk.Main().LblSelProvSummary->GetCaption(), "1 Provinces, 0 Castles");
}

TEST_F(PropertyPages, AProvinceRenamedOnItsPageIsNamedSoByThePlayerGrid) {
    Own(0, 0);
    Own(1, 0);
    desk.ClickPlayerRow(0);
    desk.ClickWorld(desk.OpenPointOf(P(0)), {ssCtrl});
    ASSERT_EQ(desk.Project().PlayerAt(0)->Capital, &P(0));
    desk.ShowPage(MissionDesk::kProvincesPage);
    desk.ClickProvinceRow(0);
    desk.TypeIntoGridRow("ProvName", "Ashford");
    desk.ShowPage(MissionDesk::kPlayersPage);
    auto& capital = dynamic_cast<TrmComboInspectorItem&>(*desk.Main().RMIPlayer->GetItemByName("Capital"));
    EXPECT_EQ(capital.GetAsString(), "Ashford");
    EXPECT_EQ(capital.GetItems().IndexOf("Ashford"), 1);
}

TEST_F(PropertyPages, TheToolWindowsFollowTheirCommands) {
    struct Toggle {
        TKey key;
        TCustomForm* window;
        TAction* action;
    };
    for (const Toggle& t : {Toggle{VK_F3, MissFrame.Get(), desk.Main().ActShowMissRMI},
                            Toggle{VK_F4, EventFrame.Get(), desk.Main().ActShowEventRMI}}) {
        SCOPED_TRACE(t.key);
        const bool shown = desk.Host().IsWindowVisible(*t.window);
        ASSERT_EQ(t.action->GetChecked(), shown);
        for (const bool now : {!shown, shown}) {
            desk.Host().PressKey(t.key);
            EXPECT_EQ(desk.Host().IsWindowVisible(*t.window), now);
            EXPECT_EQ(t.action->GetChecked(), now);
        }
    }
}

TEST(PropertyPagesClose, ClosingAsksToSaveOnlyWhatChanged) {
    struct Case {
        const char* what;
        bool modified;
        int answer;  // 0: no question expected
        bool stays;
    };
    // Yes goes on only once the changes are saved; this project has no file
    // yet and its save is not made here, so the window stays.
    for (const Case& c : {Case{"unchanged", false, 0, false}, Case{"Cancel", true, IDCANCEL, true},
                          Case{"Yes, not saved", true, IDYES, true}, Case{"No", true, IDNO, false}}) {
        SCOPED_TRACE(c.what);
        MissionDesk desk;
        desk.Project().Modified = c.modified ? 1 : 0;
        if (c.answer) {
            desk.Host().AnswerMessageBox(c.answer, "You have made changes in project. Would you like to save your changes?");
            if (c.answer == IDYES) desk.Host().CancelDialog();
        }
        desk.Editor().Close();
        // Closing lets the project go.
        EXPECT_EQ(MapProject != nullptr, c.stays);
        EXPECT_EQ(desk.Host().ShownDialogs().empty(), c.answer == 0);
        if (c.stays) {
            desk.Project().Modified = 0;
            desk.Editor().Close();
        }
    }
}

}  // namespace
