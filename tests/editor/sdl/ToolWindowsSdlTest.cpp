#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <filesystem>

#include "../EditorSession.h"
#include "../SampleProject.h"
#include "SdlSession.h"
#include "XScreen.h"
#include "editor/EditorImages.h"
#include "editor/Eventsframe.h"
#include "editor/Missionframe.h"
#include "editor/Program.h"
#include "gui/Application.h"
#include "gui/Edit.h"
#include "support/Pixels.h"
#include "support/PngFile.h"

// Runs under Xvfb: the editor made by the program's own start-up on the SDL
// host, in a copy of the start folder, with the sample project. Events are
// added and chosen with the X pointer, a turn typed with the X keyboard;
// both tool windows are saved as "events_window.png" and
// "mission_window.png" in the working folder, the turn half typed as
// "events_turn_typed.png", the chosen event moved down as
// "events_moved_down.png".
namespace {

using thorn::test::Shown;

class ToolWindowsOnScreen : public thorn::test::SdlSession {
protected:
    // What the window shows once it has painted everything.
    bool Shot(const TCustomForm& form, TBitmap32& into) {
        return RunUntil([&] {
            if (!form.GetHostWindow() || form.HasPendingPaint()) return false;
            form.GetHostWindow()->ReadPixels(into);
            return into.Width() == form.GetClientWidth();
        });
    }
    void Click(thorn::test::XScreen& screen, const TControl& control, TPoint at) {
        const TPoint p = control.ClientToScreen(at);
        screen.Click(p.X, p.Y);
    }

    const std::filesystem::path output = std::filesystem::current_path();
};

TEST_F(ToolWindowsOnScreen, EventsChosenWithThePointerAndBothWindowsShown) {
    thorn::test::XScreen screen;
    ASSERT_TRUE(screen.Ok());
    thorn::test::StartFolderCopy folder;
    thorn::MainModuleScope module;
    thorn::CreateEditorWindows(*app);
    MainForm->Show();
    // The tool bar's pictures, as the main window's list holds them.
    TImageList* small = thorn::Make<TImageList>(*MainForm.Get(), 16, 16);
    thorn::LoadEditorImages(*MainForm->ImageList, *small, folder.Path());
    thorn::test::NewSampleProject();
    TEventFrame& events = *EventFrame.Get();
    TMissFrame& mission = *MissFrame.Get();
    events.Show();
    // Tall enough for the selected event's grid to show its turn row.
    events.SetHeight(560);
    mission.Show();
    ASSERT_TRUE(RunUntil([&] { return events.GetHostWindow() && !events.HasPendingPaint(); }));

    TListItems& rows = *events.LVEvents->GetItems();
    for (int n = 1; n <= 3; ++n) {
        Click(screen, *events.TBAdd, {events.TBAdd->GetWidth() / 2, events.TBAdd->GetHeight() / 2});
        ASSERT_TRUE(RunUntil([&] { return rows.GetCount() == n; })) << n;
    }
    const TRect second = rows[1]->DisplayRect();
    Click(screen, *events.LVEvents, {second.Left + 80, (second.Top + second.Bottom) / 2});
    ASSERT_TRUE(RunUntil([&] { return events.LVEvents->GetItemIndex() == 1; }));
    EXPECT_EQ(events.RMIEvent->GetItemByName("ETitle")->GetAsString(), "Message #2");

    // "007" typed into the turn row, whose range starts at 1: the zeros stay
    // in the editor while they are typed, and Enter shows the turn stored.
    TrmInspector& grid = *events.RMIEvent;
    const int turnRow = grid.VisibileItemIndex(grid.GetItemByName("ETurn"));
    ASSERT_GE(turnRow, 0);
    const TRect turnCell = grid.GetVisibleItemRect(turnRow - grid.GetVScrollPos(), true);
    const TPoint turnAt = grid.ClientToScreen({turnCell.Left + 20, (turnCell.Top + turnCell.Bottom) / 2});
    screen.Click(turnAt.X, turnAt.Y);
    ASSERT_TRUE(RunUntil([&] { return grid.GetEditor() && events.GetFocusedControl() == grid.GetEditor(); }));
    screen.FocusAt(turnAt.X, turnAt.Y);
    ASSERT_TRUE(RunUntil([&] { return events.GetActive(); }));
    auto* turnEdit = dynamic_cast<TCustomEdit*>(grid.GetEditor());
    ASSERT_NE(turnEdit, nullptr);
    screen.Key(XK_Home);
    screen.Key(XK_End, true);
    screen.Key(XK_0);
    screen.Key(XK_0);
    ASSERT_TRUE(RunUntil([&] { return turnEdit->GetText() == "00" && !events.HasPendingPaint(); }));
    EXPECT_EQ(turnEdit->GetSelStart(), 2);
    TBitmap32 shot;
    ASSERT_TRUE(Shot(events, shot));
    thorn::test::WritePng(output / "events_turn_typed.png", shot);
    screen.Key(XK_7);
    screen.Key(XK_Return);
    ASSERT_TRUE(RunUntil([&] { return turnEdit->GetText() == "7"; }));
    EXPECT_EQ(rows[1]->GetCaption(), "7");

    ASSERT_TRUE(Shot(events, shot));
    thorn::test::WritePng(output / "events_window.png", shot);
    // The chosen row stands out of the list (highlighted, or in the face
    // colour while the list is not focused); the others are on the window.
    const TPoint chosen = events.LVEvents->ClientToParent({second.Left + 200, second.Top + 2}, &events);
    const TPoint other = events.LVEvents->ClientToParent({second.Left + 200, second.Bottom + 2}, &events);
    EXPECT_NE(shot.GetPixel(chosen.X, chosen.Y), Shown(clWindow));
    EXPECT_EQ(shot.GetPixel(other.X, other.Y), Shown(clWindow));

    ASSERT_TRUE(Shot(mission, shot));
    thorn::test::WritePng(output / "mission_window.png", shot);
    EXPECT_EQ(mission.RMIMission->GetItems().GetCount(), 6);

    // The chosen event moved down with its button: the selection and the
    // focus rectangle go with it to the row below.
    Click(screen, *events.LVEvents, {second.Left + 80, (second.Top + second.Bottom) / 2});
    Click(screen, *events.TBDown, {events.TBDown->GetWidth() / 2, events.TBDown->GetHeight() / 2});
    ASSERT_TRUE(RunUntil([&] { return events.LVEvents->GetItemIndex() == 2 && !events.HasPendingPaint(); }));
    EXPECT_EQ(events.LVEvents->GetItemFocused(), rows[2]);
    ASSERT_TRUE(Shot(events, shot));
    thorn::test::WritePng(output / "events_moved_down.png", shot);

    MapProject->Modified = 0;
    MainForm->Close();
    RunUntil([] { return !MainForm; });
}

}  // namespace
