#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "../SampleProject.h"
#include "EditorOnScreen.h"
#include "OwnXServer.h"
#include "Processes.h"
#include "XScreen.h"
#include "editor/About.h"
#include "editor/Dlg_error.h"
#include "editor/Dlg_slide.h"
#include "editor/Eventsframe.h"
#include "editor/Missionframe.h"
#include "editor/Program.h"
#include "gui/Application.h"
#include "gui/ComboBox.h"
#include "gui/FileDialogForm.h"
#include "gui/MenuBar.h"
#include "gui/MenuWindow.h"
#include "gui/MessageBox.h"
#include "gui/RowView.h"
#include "gui/sdl/X11Errors.h"
#include "support/PngFile.h"

// Runs under Xvfb, on a bare server and under a window manager: the editor
// used as on a desktop, where a window manager frames, stacks and focuses
// its windows. Boxes, saves, opens and a dialog's drop-down list are used
// again and again with the X pointer and keyboard, the editor alive after
// each; a dialog stays over the window it was opened from, a menu opened
// after it over the main window, the keyboard goes back to the main window
// when what took it closes, and the windows' places survive starts and
// closes. "desktop_dialog_over_main.png", "desktop_menu_after_dialog.png"
// and "desktop_chosen_by_title_bar.png" in the working folder show the
// screen, to look at.
namespace {

namespace fs = std::filesystem;

constexpr int kCycles = 100;
constexpr uint64_t kPatience = 10000;  // milliseconds for one step

template <typename Form>
Form* Painted() {
    for (int i = 0; i < Screen->GetFormCount(); ++i)
        if (auto* form = dynamic_cast<Form*>(Screen->GetForm(i)); form && form->IsShowing() && !form->HasPendingPaint())
            return form;
    return nullptr;
}

bool Settled() { return MainForm && !MainForm->HasPendingPaint() && FormSlide && !FormSlide->IsShowing(); }

TPoint Middle(const TControl& control) {
    return control.ClientToScreen({control.GetClientWidth() / 2, control.GetClientHeight() / 2});
}

class EditorOnTheDesktop : public thorn::test::EditorOnScreen {
protected:
    void SetUp() override {
        ASSERT_TRUE(screen.Ok());
        ASSERT_NO_FATAL_FAILURE(StartEditor(kPatience));
        thorn::test::NewSampleProject();
        MapProject->FileName = (folder / "cycles.pw").string();
        ASSERT_EQ(MapProject->SaveProject(MapProject->FileName), 1);
        ASSERT_TRUE(RunUntil(Settled));
    }
    void TearDown() override {
        if (MapProject) MapProject->Modified = 0;
    }

    // Runs the hand's steps; fails naming the step that never came.
    void Run() {
        size_t remaining = hand->Remaining();
        uint64_t until = host->Now() + kPatience + 2000;
        while (!hand->Done() && host->Now() < until) {
            Application->ProcessMessages();
            host->PumpEvents(5);
            if (hand->Remaining() != remaining) {
                remaining = hand->Remaining();
                until = host->Now() + kPatience + 2000;
            }
        }
        if (!hand->Done()) Shot("desktop_stuck.png");
        ASSERT_TRUE(hand->Done()) << "stuck at: " << hand->Waiting() << "; " << thorn::test::WindowsState(screen)
                                  << " (the screen is in desktop_stuck.png)";
        ASSERT_TRUE(RunUntil(Settled));
    }

    // ---- what the hand does
    void Click(std::string name, std::function<bool()> ready, std::function<TPoint()> where) {
        hand->Then(std::move(name), std::move(ready), [this, where] {
            const TPoint p = where();
            screen.Click(p.X, p.Y);
        });
    }
    void ClickControl(const char* name, std::function<TControl*()> control) {
        Click(name, [control] {
            TControl* c = control();
            return c && c->IsShowing() && !c->GetParentForm()->HasPendingPaint();
        }, [control] { return Middle(*control()); });
    }
    void KeyOnMain(const char* key, std::vector<const char*> modifiers) {
        thorn::test::KeyOnMain(*hand, screen, key, std::move(modifiers));
    }
    void Await(std::string what, std::function<bool()> done) { hand->Then(std::move(what), std::move(done), [] {}); }
    // What the program does, from its loop (a dialog it shows runs its own
    // loop, in which the hand's next steps go on).
    void Act(std::string what, std::function<void()> act) {
        hand->Then(std::move(what), [] { return true; }, [act] { Application->QueueCall(act); });
    }
    // Time for a window manager to do what a click asked of it.
    void Pause(uint64_t ms) {
        auto since = std::make_shared<uint64_t>(0);
        Await("pause", [this, since, ms] {
            if (*since == 0) *since = host->Now();
            return host->Now() >= *since + ms;
        });
    }

    // Whether the whole of the form's window shows on the screen: nothing
    // stands over it.
    bool OnTop(const TCustomForm& form) {
        TBitmap32 whole, own;
        screen.Grab(whole);
        form.GetHostWindow()->ReadPixels(own);
        int covered = 0;
        for (int j = 1; j < 8; ++j)
            for (int i = 1; i < 8; ++i) {
                const int x = own.Width() * i / 8, y = own.Height() * j / 8;
                if (whole.GetPixel(form.GetLeft() + x, form.GetTop() + y) != own.GetPixel(x, y)) ++covered;
            }
        return covered == 0;
    }
    void Shot(const char* name) {
        TBitmap32 whole;
        screen.Grab(whole);
        thorn::test::WritePng(output / name, whole);
    }
    // Where the menu bar's title of item stands on the screen.
    static TPoint TitleOnScreen(const TMenuItem* item) {
        const thorn::MenuBar& bar = *MainForm->GetMenuBar();
        for (int i = 0; i < bar.TitleCount(); ++i)
            if (bar.Title(i) == item) {
                const TRect r = bar.TitleRect(i);
                return {MainForm->GetLeft() + (r.Left + r.Right) / 2, MainForm->GetTop() + (r.Top + r.Bottom) / 2};
            }
        return {};
    }
    static thorn::MenuWindow* OpenMenu() {
        thorn::MenuWindow* menu = MainForm->GetMenuBar()->GetDropDown();
        return menu && menu->IsPopupOpen() && !menu->HasPendingPaint() ? menu : nullptr;
    }
    static TPoint RowOnScreen(const thorn::MenuWindow& menu, const TAction* action) {
        for (int row = 0; row < menu.RowCount(); ++row)
            if (menu.RowItem(row)->GetAction() == action) {
                const TRect r = menu.RowRect(row);
                return menu.ClientToScreen({(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
            }
        return {};
    }
    static TPoint MessageOk() {
        const auto* box = Painted<thorn::TMessageForm>();
        return Middle(*box->GetButton(IDOK));
    }
    void ReportCycles(const char* what, int cycles) {
        // A manager that announces nothing (twm) is named by the run.
        std::string manager = screen.ManagerName();
        if (const char* run = std::getenv("WITH_WM"); manager.empty() && run) manager = run;
        std::cout << "[ cycles   ] " << what << ": " << cycles << " run, "
                  << (manager.empty() ? "on a bare X server" : "under " + manager) << ", " << thorn::X11ErrorsNoted()
                  << " X errors noted" << std::endl;
    }

};

// ---- again and again

TEST_F(EditorOnTheDesktop, MessageBoxesClosedWithThePointer) {
    int cycles = 0;
    for (int i = 0; i < kCycles; ++i) {
        Act("box", [] { MainForm->Error("Error while load project"); });
        Click("OK", [] { return Painted<thorn::TMessageForm>() != nullptr; }, MessageOk);
        Await("box closed", [&cycles] {
            if (Painted<thorn::TMessageForm>() || !Settled()) return false;
            ++cycles;
            return true;
        });
    }
    ASSERT_NO_FATAL_FAILURE(Run());
    EXPECT_EQ(cycles, kCycles);
    ReportCycles("message boxes", cycles);
}

TEST_F(EditorOnTheDesktop, SavesWithTheirProgressWindow) {
    int cycles = 0;
    for (int i = 0; i < kCycles; ++i) {
        Act("changed", [] { MapProject->Modified = 1; });
        KeyOnMain("s", {"Control_L"});
        Await("saved", [&cycles] {
            if (MapProject->Modified != 0 || !Settled()) return false;
            ++cycles;
            return true;
        });
    }
    ASSERT_NO_FATAL_FAILURE(Run());
    EXPECT_EQ(cycles, kCycles);
    ReportCycles("saves", cycles);
}

// After each Open the keyboard is back on the main window, without a
// click: the next Ctrl+O reaches it.
TEST_F(EditorOnTheDesktop, OpensWithTheirProgressWindow) {
    const std::string project = MapProject->FileName;
    int cycles = 0;
    for (int i = 0; i < kCycles; ++i) {
        Act("forgotten", [] { MapProject->FileName.clear(); });
        if (i == 0)
            KeyOnMain("o", {"Control_L"});
        else
            hand->Then("the keyboard back on the main window", [this] {
                return MainForm->GetActive() && thorn::test::HasTheKeyboard(screen, *MainForm.Get());
            }, [this] { screen.Key("o", {"Control_L"}); });
        hand->Then("Open dialog", [this] {
            const auto* dialog = Painted<thorn::FileDialogForm>();
            return dialog && thorn::test::HasTheKeyboard(screen, *dialog);
        }, [this, project] {
            // The name box has the keys as the dialog opens (a click on it
            // first could reach it after the keys that follow: xfwm4 grabs
            // the button to focus on a click and hands it on late). The
            // name the dialog kept from the time before is replaced.
            screen.Key("End");
            screen.Key("Home", {"Shift_L"});
            screen.Type(project);
            screen.Key("Return");
        });
        Await("opened", [&cycles, project] {
            if (MapProject->FileName != project || Painted<thorn::FileDialogForm>() || !Settled()) return false;
            ++cycles;
            return true;
        });
    }
    ASSERT_NO_FATAL_FAILURE(Run());
    EXPECT_EQ(cycles, kCycles);
    EXPECT_GT(MapProject->Provinces.GetCount(), 0);
    ReportCycles("opens", cycles);
}

// The picture dialog of New, its "Files of type" list dropped and an entry
// chosen with the pointer, then cancelled.
TEST_F(EditorOnTheDesktop, AModalDialogsDropDownListUsedWithThePointer) {
    auto types = [] {
        auto* dialog = Painted<thorn::FileDialogForm>();
        return dialog ? dialog->GetTypeCombo() : nullptr;
    };
    int cycles = 0;
    for (int i = 0; i < kCycles; ++i) {
        const int entry = (i + 1) % 2;
        KeyOnMain("n", {"Control_L"});
        Click("the list's button", [types] { return types() != nullptr; }, [types] {
            TComboBox& combo = *types();
            return combo.ClientToScreen({combo.GetWidth() - 6, combo.GetHeight() / 2});
        });
        Click("an entry", [types] {
            TComboBox* combo = types();
            return combo && combo->GetDroppedDown() && !combo->GetListWindow()->HasPendingPaint();
        }, [types, entry] {
            thorn::RowView& rows = *types()->GetListView();
            const TRect r = rows.RowRect(entry);
            return rows.ClientToScreen({r.Left + 8, (r.Top + r.Bottom) / 2});
        });
        Click("Cancel", [types, entry] {
            TComboBox* combo = types();
            return combo && !combo->GetDroppedDown() && combo->GetItemIndex() == entry;
        }, [] { return Middle(*Painted<thorn::FileDialogForm>()->GetCancelButton()); });
        Await("cancelled", [&cycles] {
            if (Painted<thorn::FileDialogForm>() || !Settled()) return false;
            ++cycles;
            return true;
        });
    }
    ASSERT_NO_FATAL_FAILURE(Run());
    EXPECT_EQ(cycles, kCycles);
    ReportCycles("drop-down lists in a modal dialog", cycles);
}

// ---- stacking and the keyboard

// A click on the main window while a dialog shows leaves the dialog on top
// (and the stay-on-top mission window, put where the dialog shows, under
// it).
TEST_F(EditorOnTheDesktop, AClickOnTheMainWindowLeavesTheDialogOnTop) {
    const TRect desktop = host->GetWorkArea();
    MissFrame->SetBounds(desktop.Width() / 2 - 150, desktop.Height() / 2 - 150, 300, 300);
    ASSERT_TRUE(RunUntil(Settled));
    bool onTop = false;
    Act("about", [] { MainForm->ActAbout->Execute(); });
    Click("the main window", [] { return Painted<TFrmAbout>() != nullptr; },
          [] { return MainForm->StatusBar->ClientToScreen({30, 10}); });
    Pause(300);
    Click("OK", [this, &onTop] {
        onTop = OnTop(*Painted<TFrmAbout>());
        Shot("desktop_dialog_over_main.png");
        return true;
    }, [] { return Middle(*FrmAbout->btnOKAbout); });
    Await("closed", [] { return !FrmAbout->IsShowing() && Settled(); });
    ASSERT_NO_FATAL_FAILURE(Run());
    EXPECT_TRUE(onTop);
}

// A menu that dropped before a dialog drops again after it, over the main
// window, and its item runs.
TEST_F(EditorOnTheDesktop, AMenuOpenedAfterADialogIsOnTopAndItsItemRuns) {
    bool onTop = false;
    int abouts = 0;
    auto aboutFromTheMenu = [&](bool look) {
        Click("Help", [] { return !FrmAbout->IsShowing() && Settled(); },
              [] { return TitleOnScreen(MainForm->MnuHelp); });
        Pause(300);
        Click("About", [this, &onTop, look] {
            thorn::MenuWindow* menu = OpenMenu();
            if (!menu) return false;
            if (look) {
                onTop = OnTop(*menu);
                Shot("desktop_menu_after_dialog.png");
            }
            return true;
        }, [] { return RowOnScreen(*OpenMenu(), MainForm->ActAbout); });
        Await("the item ran", [&abouts] {
            if (!Painted<TFrmAbout>()) return false;
            ++abouts;
            return true;
        });
        ClickControl("OK", [] { return Painted<TFrmAbout>() ? FrmAbout->btnOKAbout : nullptr; });
        Await("closed", [] { return !FrmAbout->IsShowing() && Settled(); });
    };
    aboutFromTheMenu(false);
    // The main window pressed while another window has the keyboard.
    ClickControl("the events window", [] { return EventFrame->LVEvents; });
    Await("the events window active", [] { return EventFrame->GetActive(); });
    aboutFromTheMenu(true);
    ASSERT_NO_FATAL_FAILURE(Run());
    EXPECT_TRUE(onTop);
    EXPECT_EQ(abouts, 2);
}

// When a dialog, a box, a tool window or a menu closes, the main window
// has the keyboard again: F8 (names on the map) reaches it, without a click.
TEST_F(EditorOnTheDesktop, TheKeyboardGoesBackToTheMainWindow) {
    using Press = std::function<void(thorn::test::XScreen&)>;
    auto clickOn = [](std::function<TPoint()> where) {
        return [where](thorn::test::XScreen& s) { s.Click(where().X, where().Y); };
    };
    auto key = [](const char* name) { return [name](thorn::test::XScreen& s) { s.Key(name); }; };
    // What closes it: presses, each once what it closes shows.
    struct Step {
        std::function<bool()> ready;
        Press press;
    };
    struct Case {
        const char* name;
        std::function<void()> open;
        std::vector<Step> close;
        std::function<bool()> closed;
    };
    const Case cases[] = {
        {"the about box", [] { MainForm->ActAbout->Execute(); },
         {{[] { return Painted<TFrmAbout>() != nullptr; }, clickOn([] { return Middle(*FrmAbout->btnOKAbout); })}},
         [] { return !FrmAbout->IsShowing(); }},
        {"a message box", [] { MainForm->Error("Error while load project"); },
         {{[] { return Painted<thorn::TMessageForm>() != nullptr; }, clickOn(MessageOk)}},
         [] { return !Painted<thorn::TMessageForm>(); }},
        {"the warnings window", [] { MainForm->ActShowErrors->Execute(); },
         {{[] { return Painted<TDlgError>() != nullptr; }, clickOn([] { return Middle(*DlgError->BtnOk); })}},
         [] { return !DlgError->IsShowing(); }},
        // A save's progress window shows and hides before its own focus
        // event comes.
        {"a save", [this] {
             MapProject->Modified = 1;
             screen.Key("s", {"Control_L"});
         },
         {},
         [] { return MapProject->Modified == 0; }},
        // A step quicker than the X server's focus event: the window is
        // shown and hidden before it hears it had the keyboard.
        {"a progress window shown and hidden at once", [] {
             MapProject->Editor().ShowProgress("Saving", 1);
             MapProject->Editor().HideProgress();
         },
         {},
         [] { return true; }},
        // The menu took the keyboard, and the window the chosen item hides.
        {"View > Mission Properties", [this] {
             if (!MissFrame->GetVisible()) MainForm->ActShowMissRMI->Execute();
             screen.Click(TitleOnScreen(MainForm->MnuView).X, TitleOnScreen(MainForm->MnuView).Y);
         },
         {{[] { return OpenMenu() != nullptr; },
           clickOn([] { return RowOnScreen(*OpenMenu(), MainForm->ActShowMissRMI); })}},
         [] { return !MissFrame->GetVisible() && !MainForm->GetMenuBar()->IsMenuMode(); }},
        // Escape closes the menu, a second one leaves the menu bar.
        {"the Help menu", [this] { screen.Click(TitleOnScreen(MainForm->MnuHelp).X, TitleOnScreen(MainForm->MnuHelp).Y); },
         {{[] { return OpenMenu() != nullptr; }, key("Escape")},
          {[] { return !MainForm->GetMenuBar()->GetDropDown()->IsPopupOpen(); }, key("Escape")}},
         [] { return !MainForm->GetMenuBar()->IsMenuMode(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const bool names = MainForm->ActShowNames->GetChecked();
        Act("open", c.open);
        for (const Step& step : c.close) hand->Then("close", step.ready, [this, &step] { step.press(screen); });
        // The key goes once the X server says the main window has the
        // keyboard: a key pressed before that would go where the focus was.
        hand->Then("F8", [this, &c] {
            return c.closed() && Settled() && thorn::test::HasTheKeyboard(screen, *MainForm.Get());
        }, [this] { screen.Key("F8"); });
        Await("names switched", [names] { return MainForm->ActShowNames->GetChecked() != names; });
        ASSERT_NO_FATAL_FAILURE(Run());
    }
}

// A window the user chooses by its title bar while the keyboard is handed
// back to the main window after an Open keeps it, past the time the main
// window's keyboard is watched: the window manager gives it the keyboard
// on the press, and the editor leaves it there. On a bare server the press
// is inside the window, and the test gives it the keyboard after the press,
// as a manager would. fluxbox may take a press on a title bar that soon
// after another click for a double click, and shade the window: the
// keyboard goes to it all the same. The screen as the first window chosen
// keeps the keyboard is in "desktop_chosen_by_title_bar.png".
TEST_F(EditorOnTheDesktop, AWindowChosenByItsTitleBarAfterAnOpenKeepsTheKeyboard) {
    struct Case {
        const char* name;
        std::function<TCustomForm*()> chosen;
        bool confirmedByClick;  // the Open confirmed by its button, else by Return
        const char* shot;       // where the screen goes once the window keeps the keyboard
    };
    const Case cases[] = {
        {"the Events List, the Open confirmed by Return", [] { return EventFrame.Get(); }, false,
         "desktop_chosen_by_title_bar.png"},
        {"Mission Properties, the Open confirmed by the Open button", [] { return MissFrame.Get(); }, true, nullptr},
    };
    const std::string project = MapProject->FileName;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Act("the tool windows shown", [] {
            MapProject->FileName.clear();
            if (!MissFrame->GetVisible()) MainForm->ActShowMissRMI->Execute();
            if (!EventFrame->GetVisible()) MainForm->ActShowEventRMI->Execute();
        });
        KeyOnMain("o", {"Control_L"});
        hand->Then("Open dialog", [this] {
            const auto* dialog = Painted<thorn::FileDialogForm>();
            return dialog && thorn::test::HasTheKeyboard(screen, *dialog);
        }, [this, &c, project] {
            screen.Key("End");
            screen.Key("Home", {"Shift_L"});
            screen.Type(project);
            if (!c.confirmedByClick) screen.Key("Return");
        });
        if (c.confirmedByClick)
            ClickControl("Open", [project]() -> TControl* {
                auto* dialog = Painted<thorn::FileDialogForm>();
                return dialog && dialog->GetNameEdit()->GetText() == project ? dialog->GetOkButton() : nullptr;
            });
        hand->Then("the keyboard handed back to the main window", [this, project] {
            return MapProject->FileName == project && !Painted<thorn::FileDialogForm>() && Settled() &&
                   host->KeyboardWatched() && thorn::test::HasTheKeyboard(screen, *MainForm.Get());
        }, [this, &c] {
            const unsigned long window = screen.WindowTitled(c.chosen()->GetCaption());
            const TPoint title = screen.TitleBarOf(window);
            screen.PressAndLetGo(title.X, title.Y);
            if (!screen.Managed()) screen.FocusAt(title.X, title.Y);
        });
        Await("the keyboard on the window chosen, the watch over", [this, &c] {
            TCustomForm& chosen = *c.chosen();
            if (host->KeyboardWatched() || !chosen.GetActive() || !thorn::test::HasTheKeyboard(screen, chosen))
                return false;
            if (c.shot) Shot(c.shot);
            return true;
        });
        ASSERT_NO_FATAL_FAILURE(Run());
    }
}

// Text typed into a window chosen with the pointer while a menu of another
// was open reaches it: the keyboard is not handed back to the window the
// menu dropped from once the user chose another.
TEST_F(EditorOnTheDesktop, TextTypedIntoAWindowChosenWhileAMenuWasOpenReachesIt) {
    TrmInspector& grid = *MissFrame->RMIMission;
    auto authorCell = [&grid] {
        const int row = grid.VisibileItemIndex(grid.GetItemByName("MisAuthor"));
        const TRect cell = grid.GetVisibleItemRect(row - grid.GetVScrollPos(), true);
        return grid.ClientToScreen({cell.Left + 20, (cell.Top + cell.Bottom) / 2});
    };
    Act("mission window", [] {
        if (!MissFrame->GetVisible()) MainForm->ActShowMissRMI->Execute();
    });
    Click("View", [] { return MissFrame->IsShowing() && !MissFrame->HasPendingPaint() && Settled(); },
          [] { return TitleOnScreen(MainForm->MnuView); });
    // The press closes the menu; the mission window keeps the keyboard the
    // pointer gave it.
    Click("the mission window", [] { return OpenMenu() != nullptr; }, authorCell);
    Click("the author's row", [this] {
        return !MainForm->GetMenuBar()->IsMenuMode() && Settled() &&
               thorn::test::HasTheKeyboard(screen, *MissFrame.Get());
    }, authorCell);
    hand->Then("typed", [this, &grid] {
        return !MainForm->GetMenuBar()->IsMenuMode() && MissFrame->GetActive() && grid.GetEditor() &&
               MissFrame->GetFocusedControl() == grid.GetEditor() &&
               thorn::test::HasTheKeyboard(screen, *MissFrame.Get());
    }, [this] {
        screen.Key("End");
        screen.Key("Home", {"Shift_L"});
        screen.Type("Ann Smith");
        screen.Key("Return");
    });
    Await("stored", [&grid] { return grid.GetItemByName("MisAuthor")->GetAsString() == "Ann Smith"; });
    ASSERT_NO_FATAL_FAILURE(Run());
}

// ---- the desktop's side of the windows

TEST_F(EditorOnTheDesktop, TheApplicationTitleReachesTheDesktop) {
    const unsigned long window = screen.WindowTitled("Thornvale II Map Editor");
    ASSERT_NE(window, 0u);
    EXPECT_EQ(screen.ClassOf(window), "Thornvale II Mission editor");
    EXPECT_EQ(screen.IconNameOf(window), "Thornvale II Mission editor");
}

// The places of the main window and the tool windows, as the settings file
// holds them after the editor closed.
std::map<std::string, std::string> Places(const fs::path& ini) {
    std::map<std::string, std::string> places;
    for (const auto& [key, value] : thorn::test::Attributes(ini))
        for (const char* form : {"/MainForm/", "/MissForm/", "/EventsForm/"})
            for (const char* side : {"Left", "Top", "Width", "Height"})
                if (key.ends_with(std::string(form) + side)) places[key] = value;
    return places;
}

TEST_F(EditorOnTheDesktop, WindowPlacesComeBackAfterFiveStarts) {
    std::vector<std::map<std::string, std::string>> saved;
    for (int start = 0; start < 5; ++start) {
        SCOPED_TRACE(start);
        if (start > 0) {
            ASSERT_NO_FATAL_FAILURE(StartEditor(kPatience));
        }
        // Time for a window manager to place the windows.
        const uint64_t until = host->Now() + 1500;
        RunUntil([&] { return host->Now() >= until; });
        ASSERT_TRUE(RunUntil(Settled));
        MapProject->Modified = 0;
        MainForm->Close();
        ASSERT_TRUE(RunUntil([] { return MapProject == nullptr; }));
        saved.push_back(Places(folder / "ini.xml"));
        ASSERT_EQ(saved.back().size(), 12u);
        EXPECT_EQ(saved.back(), saved.front());
    }
}

// ---- the display going away

// The editor's program on an X server of its own, which ends under it: the
// editor ends with a status (no crash) and its settings file is written.
TEST(EditorWithoutItsDisplay, EndsWithoutACrashAndWritesItsSettings) {
    using thorn::test::Ended;
    using thorn::test::Spawn;
    thorn::test::StartFolderCopy folder;
    std::string ini = thorn::test::ReadText(folder / "ini.xml");
    const std::string written = " ProvHeight=\"84\"";
    ASSERT_NE(ini.find(written), std::string::npos);
    ini.erase(ini.find(written), written.size());
    thorn::test::WriteText(folder / "ini.xml", ini);

    thorn::test::OwnXServer server(1200, "1024x768");
    thorn::test::XScreen* screen = server.Screen();
    ASSERT_TRUE(screen) << "Xvfb did not start on " << server.Display();
    const pid_t editor =
        Spawn({THORN_EDITOR_PROGRAM}, {{"DISPLAY", server.Display()}, {"SDL_VIDEODRIVER", "x11"}});
    ASSERT_NE(editor, 0);
    // Up when its main window is.
    bool up = false;
    for (int i = 0; i < 200 && !up; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        up = screen->WindowTitled("Thornvale II Map Editor") != 0;
    }
    server.Stop();
    const int status = Ended(editor, 30);
    if (status == -1) kill(editor, SIGKILL);
    ASSERT_TRUE(up) << "the editor's window never showed";
    ASSERT_NE(status, -1) << "the editor went on without its display";
    EXPECT_TRUE(WIFEXITED(status)) << "ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    EXPECT_NE(thorn::test::ReadText(folder / "ini.xml").find(written), std::string::npos);
}

}  // namespace
