#include <gtest/gtest.h>

#include <functional>

#include "OtherClient.h"
#include "SdlSession.h"
#include "XScreen.h"
#include "gui/Application.h"
#include "gui/ComboBox.h"
#include "gui/MenuBar.h"
#include "gui/Menus.h"

// Runs under Xvfb: Alt pressed on the X server's keyboard (through its test
// extension) in a window with a menu bar, with another key, a click or
// another program's grab between its press and its release.
namespace {

class SdlMenuAlt : public thorn::test::SdlSession {
protected:
    static constexpr const char* kCaption = "Alt and the Menu Bar";

    // Runs the loop until the program has handled all the X server sent it
    // so far.
    void Settle(unsigned long window) {
        other.Mark(window);
        ASSERT_TRUE(RunUntil([&] { return other.Reached(); }));
    }

    thorn::test::XScreen screen;
    thorn::test::OtherClient other;
};

TEST_F(SdlMenuAlt, AltReleasedAfterAnotherKeyAClickOrAGrabEntersNoMenuMode) {
    ASSERT_TRUE(screen.Ok() && other.Ok());
    TForm* form = Application->CreateForm<TForm>();
    form->SetCaption(kCaption);
    form->SetBounds(40, 40, 320, 200);
    TMainMenu* menu = thorn::Make<TMainMenu>(*form);
    TMenuItem* file = thorn::Make<TMenuItem>(*form);
    file->SetCaption("&File");
    menu->GetItems()->Add(file);
    form->SetMenu(menu);
    auto* combo = thorn::Make<TComboBox>(*form);
    combo->SetParent(form);
    combo->SetStyle(csDropDownList);
    combo->SetBounds(20, 30, 150, 0);
    for (const char* item : {"Gold", "Wood"}) combo->GetItems()->Add(item);
    form->Show();
    unsigned long window = 0;
    ASSERT_TRUE(RunUntil([&] { return (window = screen.WindowTitled(kCaption)) != 0; }));
    thorn::MenuBar* bar = form->GetMenuBar();
    const TPoint inside{40 + 250, 40 + 150};  // the form's empty client area

    struct Case {
        const char* what;
        std::function<void()> withAlt;  // done while Alt is held
        bool menuMode;
    };
    const Case cases[] = {
        {"Alt alone", [] {}, true},
        // On a server without a window manager the list's window takes the
        // keyboard as it shows, with Alt still held.
        {"Alt+Down, which drops the list",
         [&] {
             screen.Key("Down");
             ASSERT_TRUE(RunUntil([&] {
                 return combo->GetDroppedDown() && (screen.Managed() || screen.FocusedWindow() != window);
             }));
         },
         false},
        {"the keyboard grabbed by another program",
         [&] {
             ASSERT_TRUE(other.GrabKeyboard());
             other.UngrabKeyboard();
         },
         false},
        // Window managers take a click with Alt held (to move the window).
        {"a click", [&] { screen.Click(inside.X, inside.Y); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        bar->Cancel();
        thorn::CloseAllPopups();
        screen.MoveTo(inside.X, inside.Y);
        screen.FocusAt(inside.X, inside.Y);
        ASSERT_TRUE(RunUntil([&] { return form->GetActive() && screen.FocusedWindow() == window; }));
        combo->SetFocus();
        screen.Hold({"Alt_L"});
        Settle(window);
        c.withAlt();
        Settle(window);
        screen.LetGo({"Alt_L"});
        Settle(window);
        EXPECT_EQ(bar->IsMenuMode(), c.menuMode);
    }
    // A window manager that moves a window by a drag with Alt held keeps
    // the keyboard after the click until Escape (icewm).
    screen.Key("Escape");
    Settle(window);
    screen.Save("menu_alt.bmp");
}

}  // namespace
