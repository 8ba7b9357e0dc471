#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <string>

#include "ToolWindows.h"
#include "editor/Dlg_comp.h"
#include "editor/Eventsframe.h"
#include "editor/Missionframe.h"

namespace {

class MissionWindow : public thorn::test::ToolWindowTest {
protected:
    MissionWindow() : grid(*MissFrame->RMIMission) { ShowWith(*editor.Main().ActShowMissRMI); }
    // The long text's dialog, checked for its caption and limit, answered
    // with result after the designer typed at the end of the memo.
    void EditInDialog(const char* key, const char* caption, int limit, int result, std::string typed) {
        Host().ScriptDialog({caption, result, [this, limit, typed](TCustomForm& form) {
                                 TMemo& memo = *dynamic_cast<TDlgComplex&>(form).Memo;
                                 EXPECT_EQ(memo.GetMaxLength(), limit);
                                 EXPECT_TRUE(memo.GetWantReturns());
                                 ClickMiddle(memo);
                                 Host().PressKey(VK_END, {ssCtrl});
                                 Host().TypeText(typed);
                             }});
        ClickEllipsis(grid, key);
    }
    TrmInspector& grid;
};

TEST_F(MissionWindow, TheSixTextsReachTheStringTableInUse) {
    const CStringTable before = TableInUse();
    const char* captions[] = {"Mission Name",      "Mission Author",  "Author Notes",
                              "Short Description", "Victory message", "Defeat message"};
    MissFrame->FillMissionInspector();
    EXPECT_EQ(grid.GetItems().GetCount(), 6) << "built again, nothing is added";
    for (int i = 0; i < 6; ++i) EXPECT_EQ(grid.GetVisibleItem(i)->GetText(), captions[i]);
    EXPECT_EQ(ValueOf(grid, "MisAuthor"), before.Author);

    CStringTable& t = TableInUse();
    const struct {
        const char* what;
        std::function<void()> act;
        const std::string& stored;
        std::string expected;
        bool marks;
    } steps[] = {
        {"name", [&] { TypeInto(grid, "MisName", "Siege of Varn"); }, t.MissionName, "Siege of Varn", true},
        {"name cut at 20", [&] { TypeInto(grid, "MisName", "The long siege of the river town"); }, t.MissionName,
         "The long siege of th", true},
        {"an emptied name keeps the stored one", [&] { TypeInto(grid, "MisName", ""); }, t.MissionName,
         "The long siege of th", false},
        {"author cut at 21", [&] { TypeInto(grid, "MisAuthor", "Ada of the Northern Marches"); }, t.Author,
         "Ada of the Northern M", true},
        {"author notes up to 150", [&] { EditInDialog("MisAuthorNotes", "Author Notes", 150, mrOk, std::string(200, 'x')); },
         t.AuthorNotes, before.AuthorNotes + std::string(150 - before.AuthorNotes.size(), 'x'), true},
        {"short description", [&] { EditInDialog("SDesc", "Short Description", 1000, mrOk, "!"); },
         t.ShortDescription, before.ShortDescription + "!", true},
        {"victory cancelled", [&] { EditInDialog("VictMsg", "Victory message", 20000, mrCancel, "!"); },
         t.VictoryText, before.VictoryText, false},
        {"defeat confirmed unchanged", [&] { EditInDialog("DefeatMsg", "Defeat message", 20000, mrOk, ""); },
         t.DefeatText, before.DefeatText, false},
        {"defeat", [&] { EditInDialog("DefeatMsg", "Defeat message", 20000, mrOk, " Flee."); }, t.DefeatText,
         before.DefeatText + " Flee.", true},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        MapProject->Modified = 0;
        step.act();
        EXPECT_EQ(Host().PendingScripts(), 0u);
        EXPECT_EQ(step.stored, step.expected);
        EXPECT_EQ(MapProject->Modified, step.marks ? 1u : 0u);
    }
    EXPECT_EQ(ValueOf(grid, "VictMsg"), before.VictoryText);
    EXPECT_EQ(ValueOf(grid, "DefeatMsg"), before.DefeatText + " Flee.");
    EXPECT_EQ(OtherTable().MissionName, before.MissionName) << "the table not in use keeps its texts";
    EXPECT_EQ(OtherTable().DefeatText, before.DefeatText);
}

TEST_F(MissionWindow, EachToolWindowClosedFromItsFrameUnticksItsCommand) {
    ShowWith(*editor.Main().ActShowEventRMI);
    for (auto [window, command] : {std::pair<TCustomForm*, TAction*>{MissFrame.Get(), editor.Main().ActShowMissRMI},
                                   {EventFrame.Get(), editor.Main().ActShowEventRMI}}) {
        SCOPED_TRACE(window->GetCaption());
        Host().RequestClose(*window);
        EXPECT_FALSE(Host().IsWindowVisible(*window));
        EXPECT_FALSE(command->GetChecked());
    }
}

// The start-up state has no mission: the tool bar is off and rows built
// without a string table edit nothing.
TEST(ToolWindowsWithoutProject, NothingIsEditedAndNothingBreaks) {
    thorn::test::EditorSession editor;
    editor.Start();
    thorn::HeadlessHost& host = editor.Host();
    TEventFrame& events = *EventFrame.Get();
    TMissFrame& mission = *MissFrame.Get();
    EXPECT_FALSE(events.TBEvent->GetEnabled());
    for (TToolButton* button : {events.TBAdd, events.TBDelete, events.TBUp, events.TBDown}) {
        const TPoint p = button->ClientToParent({10, 10}, &events);
        host.Click(events, p.X, p.Y);
    }
    mission.FillMissionInspector();
    const TPoint name = mission.RMIMission->ClientToParent({mission.RMIMission->GetSplitPos() + 30, 10}, &mission);
    host.Click(mission, name.X, name.Y);
    host.TypeText("Nobody's mission");
    EXPECT_EQ(events.LVEvents->GetItems()->GetCount(), 0);
    EXPECT_EQ(MapProject->Events.GetCount(), 0);
    EXPECT_EQ(MapProject->Modified, 0u);
    EXPECT_TRUE(host.ShownDialogs().empty());
    editor.Close();
}

}  // namespace
