#include <gtest/gtest.h>

#include "EditorSession.h"
#include "gui/Application.h"
#include "gui/SizeConstraints.h"

namespace {

using thorn::test::EditorSession;

// Where a point of a control lies in the main window, as the host's mouse
// takes it (below the menu bar).
TPoint OnWindow(const TControl& control, TPoint p) {
    TPoint at = control.ClientToParent(p, MainForm.Get());
    return {at.X, at.Y + MainForm->GetMenuBarHeight()};
}

TEST(MainWindow, AfterAResizeTheHelpPanelTakesWhatTheOtherPanelsLeave) {
    EditorSession editor;
    editor.Start();
    TMainForm& main = editor.Main();
    for (int width : {671, 900, 1200, 700}) {
        SCOPED_TRACE(width);
        editor.Host().ResizeWindow(main, width, 640);
        EXPECT_EQ(main.StatusBar->Panels()[2]->GetWidth(), width - 200);
        // The world view's box fills what the pages leave.
        EXPECT_EQ(main.ScrBWorld->GetBoundsRect().Right, main.GetClientWidth());
        EXPECT_EQ(main.ScrBWorld->GetLeft(), main.PgCMissionProperties->GetWidth() + main.Splitter->GetWidth());
        EXPECT_EQ(main.StatusBar->GetBoundsRect().Bottom, main.GetClientHeight());
    }
    editor.Close();
}

TEST(MainWindow, TheHintOfTheControlUnderThePointerShowsInTheHelpPanel) {
    EditorSession editor;
    editor.Start();
    TMainForm& main = editor.Main();
    const TStatusPanel& help = *main.StatusBar->Panels()[2];
    struct Case {
        TControl* control;
        const char* hint;
    };
    const Case cases[] = {
        {main.TBrShow->GetButton(0), "Import new bitmap and make new world"},
        {main.TBrShow->GetButton(main.TBrShow->GetButtonCount() - 1), "Show Preferences"},
        {main.LblNoProject, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hint);
        const TPoint at = OnWindow(*c.control, {c.control->GetWidth() / 2, c.control->GetHeight() / 2});
        editor.Host().MouseMove(main, at.X, at.Y);
        EXPECT_EQ(help.GetText(), c.hint);
    }
    editor.Close();
}

TEST(MainWindow, TheGenerateIncomeButtonStandsBesideTheSelectionHeading) {
    EditorSession editor;
    editor.Start();
    TMainForm& main = editor.Main();
    editor.Host().ResizeWindow(main, 900, 640);
    const TRect bar = main.TBGenerateIncome->GetBoundsRect();
    EXPECT_GE(bar.Left, main.LblSelProvInfo->GetBoundsRect().Right) << "clear of the heading";
    EXPECT_EQ(bar.Right, main.TBGenerateIncome->GetParent()->GetClientWidth()) << "in the top right corner";
    EXPECT_LE(bar.Bottom, main.LblSelProvSummaryTitle->GetTop() + main.LblSelProvSummaryTitle->GetHeight());
    editor.Close();
}

}  // namespace

namespace {

// Without a place in the settings file the window stands in the middle of
// the desktop; however the user drags its frame, it keeps room for the
// pages beside the world view's box at its least width, and its own least
// height.
TEST(MainWindow, StartsCentredWithoutAPlaceAndKeepsRoomForItsChildren) {
    EditorSession editor;
    std::string ini = thorn::test::ReadText(editor / "ini.xml");
    const size_t element = ini.find("<MainForm ");
    ASSERT_NE(element, std::string::npos);
    ini.erase(element, ini.find("/>", element) + 2 - element);
    thorn::test::WriteText(editor / "ini.xml", ini);
    editor.Start();
    TMainForm& main = editor.Main();
    const TRect desktop = editor.Host().GetWorkArea();
    EXPECT_EQ(main.GetLeft(), desktop.Left + (desktop.Width() - main.GetWidth()) / 2);
    EXPECT_EQ(main.GetTop(), desktop.Top + (desktop.Height() - main.GetHeight()) / 2);

    editor.Host().ResizeWindow(main, 10, 100);
    EXPECT_EQ(main.GetClientWidth(), main.PgCMissionProperties->GetWidth() + main.Splitter->GetWidth() +
                                         main.ScrBWorld->Constraints().GetMinWidth());
    EXPECT_EQ(main.ScrBWorld->GetWidth(), main.ScrBWorld->Constraints().GetMinWidth());
    EXPECT_EQ(main.GetHeight(), 580);
    // Wider pages leave the world view its room too.
    main.PgCMissionProperties->SetWidth(300);
    editor.Host().ResizeWindow(main, 10, 100);
    EXPECT_EQ(main.ScrBWorld->GetWidth(), main.ScrBWorld->Constraints().GetMinWidth());
    editor.Close();
}

}  // namespace
