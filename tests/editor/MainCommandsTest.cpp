#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "DialogInput.h"
#include "EditorSession.h"
#include "MainCommands.h"
#include "editor/Eventsframe.h"
#include "editor/Missionframe.h"
#include "gui/Application.h"
#include "gui/ShortCuts.h"

namespace {

using thorn::test::EditorSession;
using Rows = std::vector<std::string>;

TEST(MainCommands, TheMenusShowEveryCommandInItsPlaceEnabledWhileAProjectIsOpen) {
    EditorSession editor;
    editor.Start();
    struct Case {
        const char* title;
        Rows withoutProject;
        Rows withProject;
    };
    // The start folder's settings tick the provinces mode and show the
    // mission window.
    const Case cases[] = {
        {"File",
         {"New project\tCtrl+N", "Open project...\tCtrl+O", "~Save project\tCtrl+S", "~Save project as...\tCtrl+Alt+S",
          "~Compile Mission for PDA...\tCtrl+Alt+C", "-", "~Reload World Image", "-", "Exit"},
         {"New project\tCtrl+N", "Open project...\tCtrl+O", "Save project\tCtrl+S", "Save project as...\tCtrl+Alt+S",
          "Compile Mission for PDA...\tCtrl+Alt+C", "-", "Reload World Image", "-", "Exit"}},
        {"View",
         {"~Zoom In", "~Zoom Fill", "~Zoom Out", "-", "~Mission Properties\tF3 *", "-", "~Show Walking Paths\tF7",
          "~Show Provinces' Names\tF8", "-", "~Provinces Mode\tF10 *", "~Castles Positions Mode\tF11",
          "~Armies Positions Mode\tF12", "~Recalculate Icons Positions"},
         {"Zoom In", "Zoom Fill", "Zoom Out", "-", "Mission Properties\tF3 *", "-", "Show Walking Paths\tF7",
          "Show Provinces' Names\tF8", "-", "Provinces Mode\tF10 *", "Castles Positions Mode\tF11",
          "Armies Positions Mode\tF12", "Recalculate Icons Positions"}},
        {"Tools", {"~World image warnings", "Preferences..."}, {"World image warnings", "Preferences..."}},
        {"Help", {"About"}, {"About"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        EXPECT_EQ(thorn::test::MenuRows(editor.Host(), editor.Main(), c.title), c.withoutProject);
    }
    editor.NewMission("small_isles.bmp");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        EXPECT_EQ(thorn::test::MenuRows(editor.Host(), editor.Main(), c.title), c.withProject);
    }
    editor.Close();
}

TEST(MainCommands, EachButtonShowsItsHintInTheHelpPanel) {
    EditorSession editor;
    editor.Start();
    editor.NewMission("small_isles.bmp");
    TMainForm& main = editor.Main();
    main.PgCMissionProperties->SetActivePageIndex(1);
    Application->ProcessMessages();
    const std::vector<std::string> expected = {
        // the tool bar, left to right
        "Import new bitmap and make new world", "Load Project", "Save Project", "Zoom Out", "Zoom In", "Zoom 100%",
        "Mission Properties", "Show campaign army walking paths", "Show/Hide Provinces' Names", "Provinces Mode",
        "Castles Positions Mode", "Armies Positions Mode", "Recalculate Castle And Army Places",
        "Show world image warnings", "Show Preferences",
        // the provinces page
        "Add New Province", "Delete Selected Province(s)", "Generate name(s) for the selected province(s)",
        "Generate Income for selected provinces"};
    std::vector<std::string> shown;
    for (TToolBar* bar : {main.TBrShow, main.TBProvButtons, main.ToolBar2, main.TBGenerateIncome})
        for (int i = 0; i < bar->GetButtonCount(); ++i) {
            TToolButton& button = *bar->GetButton(i);
            if (!button.IsShowing() || button.GetStyle() == tbsSeparator) continue;
            const TPoint at = thorn::test::OnWindow(button, {button.GetWidth() / 2, button.GetHeight() / 2});
            editor.Host().MouseMove(main, at.X, at.Y);
            shown.push_back(main.StatusBar->Panels()[2]->GetText());
        }
    EXPECT_EQ(shown, expected);
    editor.Close();
}

TEST(MainCommands, ShortcutsRunTheirCommandsWhileTheyAreEnabled) {
    EditorSession editor;
    editor.Start();
    TMainForm& main = editor.Main();
    thorn::HeadlessHost& host = editor.Host();
    // Without a project only New, Open and the always-enabled commands run.
    for (TShortCut key : {TShortCut(scCtrl | 'S'), TShortCut(scCtrl | scAlt | 'S'), TShortCut(scCtrl | scAlt | 'C'),
                          TShortCut(VK_F10), TShortCut(VK_F7)}) {
        TKey k;
        TShiftState shift;
        ShortCutToKey(key, k, shift);
        host.PressKey(k, shift);
    }
    EXPECT_TRUE(host.ShownDialogs().empty());
    EXPECT_TRUE(main.ActShowIcons->GetChecked());
    EXPECT_FALSE(main.ActShowNeighbours->GetChecked());

    editor.NewMission("small_isles.bmp");
    const auto flag = [](bool b) { return std::string(b ? "on" : "off"); };
    struct Case {
        const char* name;
        TKey key;
        TShiftState shift;
        std::function<void()> script;  // the dialog the command shows, answered
        std::function<std::string()> state;
        const char* before;
        const char* after;
    };
    const Case cases[] = {
        {"Ctrl+N asks for the world picture", 'N', {ssCtrl}, [&] { host.CancelDialog("Open"); }, nullptr, "", ""},
        {"Ctrl+O asks for the project file", 'O', {ssCtrl}, [&] { host.CancelDialog("Open"); }, nullptr, "", ""},
        {"Ctrl+S asks for a name first", 'S', {ssCtrl}, [&] { host.CancelDialog("Save As"); }, nullptr, "", ""},
        {"Ctrl+Alt+S", 'S', {ssCtrl, ssAlt}, [&] { host.CancelDialog("Save As"); }, nullptr, "", ""},
        {"Ctrl+Alt+C checks the mission", 'C', {ssCtrl, ssAlt},
         [&] { host.AnswerMessageBox(IDOK, "You can't save mission because number of Active Players must be greater than 1"); },
         nullptr, "", ""},
        {"F7", VK_F7, {}, nullptr, [&] { return flag(main.ActShowNeighbours->GetChecked()) + flag(Settings->ShPaths); },
         "offoff", "onon"},
        {"F8", VK_F8, {}, nullptr, [&] { return flag(main.ActShowNames->GetChecked()) + flag(Settings->ShNames); },
         "offoff", "onon"},
        {"F11", VK_F11, {}, nullptr,
         [&] { return flag(main.ActShowCastles->GetChecked()) + flag(main.ActShowIcons->GetChecked()); }, "offon",
         "onoff"},
        {"F12", VK_F12, {}, nullptr,
         [&] { return flag(main.ActShowArmies->GetChecked()) + flag(Settings->ShArmies); }, "offoff", "onon"},
        {"F10", VK_F10, {}, nullptr,
         [&] {
             return flag(main.ActShowIcons->GetChecked()) + flag(main.ActShowCastles->GetChecked()) +
                    flag(main.ActShowArmies->GetChecked());
         },
         "offonon", "onoffoff"},
        {"F3", VK_F3, {}, nullptr, [&] { return flag(host.IsWindowVisible(*MissFrame.Get())); }, "on", "off"},
        // An enabled command runs from its key though no menu shows it.
        {"F4", VK_F4, {}, nullptr, [&] { return flag(host.IsWindowVisible(*EventFrame.Get())); }, "on", "off"},
        {"Ctrl+R is no command", 'R', {ssCtrl}, nullptr, [&] { return std::to_string(MapProject->Modified); }, "0",
         "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const size_t dialogs = host.ShownDialogs().size();
        if (c.state) {
            EXPECT_EQ(c.state(), c.before);
        }
        if (c.script) c.script();
        host.PressKey(c.key, c.shift);
        EXPECT_EQ(host.PendingScripts(), 0u);
        EXPECT_EQ(host.ShownDialogs().size(), dialogs + (c.script ? 1 : 0));
        if (c.state) {
            EXPECT_EQ(c.state(), c.after);
        }
    }
    editor.Close();
}

}  // namespace
