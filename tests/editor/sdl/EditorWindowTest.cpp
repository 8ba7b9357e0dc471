#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <memory>

#include "../EditorSession.h"
#include "SdlSession.h"
#include "XScreen.h"
#include "editor/Program.h"
#include "gui/Application.h"
#include "gui/Buttons.h"
#include "gui/MessageBox.h"
#include "gui/Timers.h"
#include "support/Pixels.h"
#include "support/PngFile.h"

// Runs under Xvfb: the editor as its program starts it, in a real window on
// a copy of the start folder. The screen is saved as "editor_main_window.png"
// in the build folder, to look at.
namespace {

using thorn::test::Shown;

class EditorWindow : public thorn::test::SdlSession {
protected:
    const std::filesystem::path buildFolder = std::filesystem::current_path();
    thorn::test::StartFolderCopy folder;
    thorn::MainModuleScope module;
    thorn::test::XScreen screen;
};

TEST_F(EditorWindow, StartsShowsItsMainWindowAndClosesWritingItsSettings) {
    ASSERT_TRUE(screen.Ok());
    thorn::CreateEditorWindows(*app);
    TMainForm& main = *MainForm.Get();
    main.Show();
    ASSERT_TRUE(RunUntil([&] { return main.GetHostWindow() && !main.HasPendingPaint(); }));

    TBitmap32 shot;
    ASSERT_TRUE(RunUntil([&] {
        main.GetHostWindow()->ReadPixels(shot);
        return shot.Width() == main.GetWidth() && shot.GetPixel(2, main.GetMenuBarHeight() + 2) == Shown(clBtnFace);
    }));
    TBitmap32 whole;
    screen.Grab(whole);
    thorn::test::WritePng(buildFolder / "editor_main_window.png", whole);
    // Where the settings file puts it.
    EXPECT_EQ(whole.GetPixel(main.GetLeft() + 2, main.GetTop() + main.GetMenuBarHeight() + 2), Shown(clBtnFace));

    // The world's scroll box shows its window colour around the placeholder
    // text; the status bar's panels are sunken.
    const int menu = main.GetMenuBarHeight();
    TPoint inBox = main.ScrBWorld->ClientToParent({4, 4}, &main);
    EXPECT_EQ(shot.GetPixel(inBox.X, inBox.Y + menu), Shown(clWindow));
    TRect panel = main.StatusBar->GetPanelRect(2);
    TPoint corner = main.StatusBar->ClientToParent({panel.Left, panel.Top}, &main);
    EXPECT_EQ(shot.GetPixel(corner.X, corner.Y + menu), Shown(clBtnShadow));

    std::filesystem::remove(folder / "ini.xml");
    main.Close();
    ASSERT_TRUE(RunUntil([&] { return MapProject == nullptr; }));
    EXPECT_TRUE(std::filesystem::exists(folder / "ini.xml"));
}

// Ctrl+C in the terminal that started it, or the end of the desktop
// session, closes the editor as its close box does: the settings are
// written back.
TEST_F(EditorWindow, AskedToEndBySignalItClosesAsFromItsFrame) {
    ASSERT_TRUE(screen.Ok());
    thorn::CreateEditorWindows(*app);
    MainForm->Show();
    ASSERT_TRUE(RunUntil([&] { return MainForm->GetHostWindow() && !MainForm->HasPendingPaint(); }));
    std::filesystem::remove(folder / "ini.xml");
    std::raise(SIGTERM);
    ASSERT_TRUE(RunUntil([&] { return MapProject == nullptr; }));
    EXPECT_TRUE(std::filesystem::exists(folder / "ini.xml"));
    EXPECT_TRUE(app->GetTerminated());
}

// Asked to end while a message box shows, the editor keeps the request:
// the box stays for the designer to answer, and once it is answered (with
// the pointer) the editor closes as from its close box.
TEST_F(EditorWindow, AskedToEndBySignalUnderAMessageBoxItClosesOnceTheBoxIsAnswered) {
    ASSERT_TRUE(screen.Ok());
    thorn::CreateEditorWindows(*app);
    MainForm->Show();
    ASSERT_TRUE(RunUntil([&] { return MainForm->GetHostWindow() && !MainForm->HasPendingPaint(); }));
    std::filesystem::remove(folder / "ini.xml");
    auto box = [] {
        for (int i = 0; i < Screen->GetFormCount(); ++i)
            if (auto* form = dynamic_cast<thorn::TMessageForm*>(Screen->GetForm(i)); form && form->IsShowing())
                return form;
        return static_cast<thorn::TMessageForm*>(nullptr);
    };
    bool signalled = false, clicked = false, stayed = false;
    uint64_t signalledAt = 0;
    auto hand = std::make_unique<TTimer>();
    hand->SetInterval(20);
    hand->SetOnTimer([&](TObject*) {
        thorn::TMessageForm* shown = box();
        if (!shown || shown->HasPendingPaint() || clicked) return;
        if (!signalled) {
            std::raise(SIGTERM);
            signalled = true;
            signalledAt = host->Now();
        } else if (host->Now() > signalledAt + 300) {
            stayed = true;
            const TButton& ok = *shown->GetButton(IDOK);
            const TPoint p = ok.ClientToScreen({ok.GetClientWidth() / 2, ok.GetClientHeight() / 2});
            screen.Click(p.X, p.Y);
            clicked = true;
        }
    });
    hand->SetEnabled(true);
    MainForm->Error("Error while load project");
    hand.reset();
    EXPECT_TRUE(stayed);
    ASSERT_TRUE(RunUntil([&] { return MapProject == nullptr; })) << "the request to end was lost";
    EXPECT_TRUE(std::filesystem::exists(folder / "ini.xml"));
    EXPECT_TRUE(app->GetTerminated());
}

}  // namespace
