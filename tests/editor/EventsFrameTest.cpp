#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ToolWindows.h"
#include "editor/Dlg_comp.h"
#include "editor/Eventsframe.h"
#include "editor/PlayersList.h"
#include "gui/PopupWindow.h"
#include "gui/RowView.h"
#include "inspector/Rminspectoritems.h"

namespace {

using Titles = std::vector<std::string>;

class EventsWindow : public thorn::test::ToolWindowTest {
protected:
    EventsWindow() : frame(*EventFrame.Get()), grid(*frame.RMIEvent), rows(*frame.LVEvents->GetItems()) {
        ShowWith(*editor.Main().ActShowEventRMI);
    }
    CEventList& Events() const { return MapProject->Events; }
    void ClickRow(int i, int x = 60) {
        const TRect r = rows[i]->DisplayRect();
        ClickOn(*frame.LVEvents, {r.Left + x, (r.Top + r.Bottom) / 2});
    }
    void ClickCheckMark(int i) { ClickRow(i, 8); }
    std::string Title(const CEvent& e) const { return TableInUse().GetEventTitle(e.TextSlot); }
    CEvent& Chosen() const { return *Events().GetAt(static_cast<uint16_t>(frame.LVEvents->GetItemIndex())); }
    // The project's events by title, each row showing its event as the list
    // holds them.
    Titles ModelTitles() const {
        Titles titles;
        for (uint16_t i = 0; i < Events().GetCount(); ++i) {
            const CEvent& e = *Events().GetAt(i);
            titles.push_back(Title(e));
            if (i >= rows.GetCount()) continue;
            EXPECT_EQ(rows[i]->GetData(), &e) << i;
            EXPECT_EQ(rows[i]->GetCaption(), std::to_string(e.Turn)) << i;
            EXPECT_EQ(rows[i]->GetSubItems()->Get(0), titles.back()) << i;
            EXPECT_EQ(rows[i]->GetChecked(), e.Enabled != 0) << i;
        }
        EXPECT_EQ(rows.GetCount(), Events().GetCount());
        return titles;
    }
    // The effect picked from the combo's list with the mouse.
    void ChooseEffect(int choice) {
        if (grid.GetCurrentInspectorItem() != grid.GetItemByName("EEffect")) ClickValue(grid, "EEffect");
        auto* combo = dynamic_cast<TrmInspectorBtnCombo*>(grid.GetEditor());
        ASSERT_NE(combo, nullptr);
        ClickOn(*combo, {10, combo->GetHeight() / 2});
        const TRect r = combo->GetListView()->RowRect(choice);
        const TPoint at = combo->GetListView()->ClientToParent({r.Left + 5, r.Top + 5}, combo->GetListWindow());
        Host().Click(*combo->GetListWindow(), at.X, at.Y);
    }
    // The description dialog answered with result after the designer typed
    // a second line.
    void EditDescription(int result) {
        Host().ScriptDialog({"Event Description", result, [this](TCustomForm& form) {
                                 TMemo& memo = *dynamic_cast<TDlgComplex&>(form).Memo;
                                 EXPECT_EQ(memo.GetMaxLength(), 20000);
                                 ClickMiddle(memo);
                                 Host().PressKey(VK_END, {ssCtrl});
                                 Host().PressKey(VK_RETURN);
                                 Host().TypeText("Bring grain.");
                             }});
        ClickEllipsis(grid, "EDecr");
    }

    TEventFrame& frame;
    TrmInspector& grid;
    TListItems& rows;
};

TEST_F(EventsWindow, ADesignerAddsMovesEditsAndDeletesEvents) {
    const auto add = [&] { ClickMiddle(*frame.TBAdd); };
    const Titles three = {"Message #1", "Message #2", "Message #3"};
    const Titles moved = {"Message #2", "Message #3", "Message #1"};
    // The focus rectangle goes with the moved event's row.
    const auto focusFollows = [&](const CEvent&) {
        EXPECT_EQ(frame.LVEvents->GetItemFocused(), frame.LVEvents->GetSelected());
    };
    const struct {
        const char* what;
        std::function<void()> act;
        Titles titles;
        int chosen;  // the selected row, -1 none
        std::function<void(const CEvent&)> check;  // of the chosen event
        bool marks = true;
    } steps[] = {
        {"three added, the selection kept", [&] { add(); add(); add(); }, three, -1, nullptr},
        {"the first moved down", [&] { ClickRow(0); ClickMiddle(*frame.TBDown); },
         {"Message #2", "Message #1", "Message #3"}, 1, focusFollows},
        {"and down again", [&] { ClickMiddle(*frame.TBDown); }, moved, 2, focusFollows},
        {"the last row stays", [&] { ClickMiddle(*frame.TBDown); }, moved, 2, nullptr, false},
        {"the first row stays", [&] { ClickRow(0); ClickMiddle(*frame.TBUp); }, moved, 0, nullptr, false},
        {"up", [&] { ClickRow(2); ClickMiddle(*frame.TBUp); }, {"Message #2", "Message #1", "Message #3"}, 1,
         focusFollows},
        {"title cut at 25", [&] { TypeInto(grid, "ETitle", "The great harvest festival of the north"); },
         {"Message #2", "The great harvest festiva", "Message #3"}, 1,
         [&](const CEvent& e) { EXPECT_EQ(OtherTable().GetEventTitle(e.TextSlot), "Message #1"); }},
        {"description", [&] { EditDescription(mrOk); }, {}, 1,
         [&](const CEvent& e) {
             EXPECT_EQ(TableInUse().GetEventText(e.TextSlot), "Message #1 Info\r\nBring grain.");
             EXPECT_EQ(ValueOf(grid, "EDecr"), "Message #1 Info\r\nBring grain.");
         }},
        {"description cancelled", [&] { EditDescription(mrCancel); }, {}, 1,
         [&](const CEvent& e) { EXPECT_EQ(ValueOf(grid, "EDecr"), "Message #1 Info\r\nBring grain."); }, false},
        {"third player ticked", [&] { ClickValue(grid, "Pl2"); Host().PressKey(VK_SPACE); }, {}, 1,
         [&](const CEvent& e) { EXPECT_EQ(e.PlayerFlags[2], 1); }},
        {"a turn typed from a zero, digit by digit", [&] { TypeInto(grid, "ETurn", "007"); }, {}, 1,
         [&](const CEvent& e) {
             EXPECT_EQ(e.Turn, 7);
             EXPECT_EQ(grid.GetEditor()->GetText(), "7");
         }},
        {"a turn past the row's range is kept at its top", [&] { TypeInto(grid, "ETurn", "300"); }, {}, 1,
         [&](const CEvent& e) {
             EXPECT_EQ(e.Turn, 255);
             EXPECT_EQ(grid.GetEditor()->GetText(), "255");
         }},
        {"an empty turn is none", [&] { TypeInto(grid, "ETurn", ""); }, {}, 1,
         [&](const CEvent& e) { EXPECT_EQ(e.Turn, 255); }, false},
        {"decrease", [&] { ChooseEffect(1); }, {}, 1,
         [&](const CEvent& e) {
             EXPECT_EQ(e.EffectType, CEventB::ResourcesDecrease);
             EXPECT_EQ(ValueOf(grid, "Res4"), "0");
             EXPECT_EQ(ValueOf(grid, "Res5"), "(no row)") << "one row per resource";
         }},
        {"an amount", [&] { TypeInto(grid, "Res1", "40"); }, {}, 1,
         [&](const CEvent& e) { EXPECT_EQ(e.Resources.Decrease[1], 40); }},
        {"custom", [&] { ChooseEffect(2); }, {}, 1,
         [&](const CEvent& e) {
             EXPECT_EQ(e.EffectType, CEventB::Custom);
             EXPECT_EQ(ValueOf(grid, "Res1"), "(no row)");
         }},
        {"the check mark", [&] { ClickCheckMark(1); }, {}, 1, [&](const CEvent& e) { EXPECT_EQ(e.Enabled, 0u); }},
        {"the middle one deleted", [&] { ClickMiddle(*frame.TBDelete); }, {"Message #2", "Message #3"}, 1, nullptr},
        {"the last one deleted", [&] { ClickMiddle(*frame.TBDelete); }, {"Message #2"}, 0, nullptr},
        {"the only one deleted", [&] { ClickMiddle(*frame.TBDelete); }, {}, -1, nullptr},
    };
    Titles titles;
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        MapProject->Modified = 0;
        step.act();
        EXPECT_EQ(Host().PendingScripts(), 0u);
        if (!step.titles.empty() || step.chosen == -1) titles = step.titles;
        EXPECT_EQ(ModelTitles(), titles);
        EXPECT_EQ(frame.LVEvents->GetItemIndex(), step.chosen);
        EXPECT_EQ(ValueOf(grid, "ETitle"), step.chosen == -1 ? "(no row)" : titles[size_t(step.chosen)]);
        if (step.check) step.check(Chosen());
        EXPECT_EQ(MapProject->Modified, step.marks ? 1u : 0u);
    }
    EXPECT_EQ(OtherTable().GetEventText(2), "") << "a deleted event's texts go with it";
}

TEST_F(EventsWindow, APlayerRenamedIsRenamedInTheChosenEventsRows) {
    ClickMiddle(*frame.TBAdd);
    ClickRow(0);
    ASSERT_EQ(grid.GetItemByName("Pl0")->GetNode()->GetText(), "Player 1");
    TMainForm& main = editor.Main();
    FillPlayersList();
    const TRect first = main.LVPlayers->GetItems()->GetItem(0)->DisplayRect();
    ClickOn(*main.LVPlayers, {first.Left + 60, (first.Top + first.Bottom) / 2});
    TypeInto(*main.RMIPlayer, "Name", "Ada");
    ASSERT_EQ(TableInUse().GetPlayerName(0), "Ada");
    EXPECT_EQ(grid.GetItemByName("Pl0")->GetNode()->GetText(), "Ada");
}

TEST_F(EventsWindow, AnEventTheProjectCannotTakeAddsNoRow) {
    for (int n = 0; n < 141; ++n) ClickMiddle(*frame.TBAdd);
    EXPECT_EQ(ModelTitles().size(), 140u);
}

// The project's reset frees the events before it empties the list: the
// selected row's deselection must not reach its event.
TEST_F(EventsWindow, AResetUnderTheChosenRowLeavesNothingBehind) {
    ClickMiddle(*frame.TBAdd);
    ClickRow(0);
    MapProject->Reset();
    EXPECT_EQ(rows.GetCount(), 0);
    EXPECT_EQ(grid.GetItems().GetCount(), 0);
    for (TToolButton* button : {frame.TBAdd, frame.TBDelete, frame.TBUp, frame.TBDown}) ClickMiddle(*button);
    EXPECT_TRUE(ModelTitles().empty());
}

}  // namespace
