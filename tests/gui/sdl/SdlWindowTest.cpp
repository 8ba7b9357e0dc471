#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string_view>
#include <type_traits>

#include "gui/Application.h"
#include "gui/Bevel.h"
#include "gui/BitBtn.h"
#include "gui/CheckBox.h"
#include "gui/Edit.h"
#include "gui/GroupBox.h"
#include "gui/Label.h"
#include "gui/Memo.h"
#include "gui/Panel.h"
#include "SdlSession.h"
#include "XScreen.h"
#include "gui/sdl/SdlHost.h"
#include "platform/Beep.h"

// Runs under Xvfb (see tests/CMakeLists.txt): real windows on an X display.
namespace {

using SdlWindow = thorn::test::SdlSession;

TEST_F(SdlWindow, BorderStyleAndFormStyleSetTheRealWindowsFlags) {
    TForm* form = Application->CreateForm<TForm>();
    form->SetCaption("Events List");
    form->SetBounds(40, 40, 120, 100);
    form->SetBorderStyle(bsSingle);
    form->SetFormStyle(fsStayOnTop);
    form->Show();
    ASSERT_TRUE(RunUntil([&] { return !form->HasPendingPaint(); }));
    SDL_Window* window = nullptr;
    for (uint32_t id = 1; id < 64 && !window; ++id) {
        SDL_Window* w = SDL_GetWindowFromID(id);
        if (w && std::string_view(SDL_GetWindowTitle(w)) == "Events List") window = w;
    }
    ASSERT_NE(window, nullptr);
    auto flags = [&] { return SDL_GetWindowFlags(window); };

    EXPECT_FALSE(flags() & SDL_WINDOW_RESIZABLE);
    EXPECT_FALSE(flags() & SDL_WINDOW_BORDERLESS);
    EXPECT_TRUE(flags() & SDL_WINDOW_ALWAYS_ON_TOP);
    form->SetBorderStyle(bsSizeToolWin);
    form->SetFormStyle(fsNormal);
    EXPECT_TRUE(flags() & SDL_WINDOW_RESIZABLE);
    EXPECT_FALSE(flags() & SDL_WINDOW_ALWAYS_ON_TOP);
    // SDL follows a border taken away while the window is off the screen.
    form->Hide();
    form->SetBorderStyle(bsNone);
    form->Show();
    ASSERT_TRUE(RunUntil([&] { return !form->HasPendingPaint(); }));
    EXPECT_TRUE(flags() & SDL_WINDOW_BORDERLESS);
    EXPECT_FALSE(flags() & SDL_WINDOW_RESIZABLE);
}

// The id of the one SDL window the test shows.
uint32_t ShownWindowId() {
    for (uint32_t id = 1; id < 64; ++id)
        if (SDL_GetWindowFromID(id)) return id;
    return 0;
}

// Without a window manager nobody hands the window the keyboard.
void GiveKeyboard(const TForm& form, uint32_t id) {
    if (form.GetActive()) return;
    SDL_Event focus{};
    focus.type = SDL_WINDOWEVENT;
    focus.window.windowID = id;
    focus.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
    SDL_PushEvent(&focus);
}

// A key pressed and let go, with the modifiers held.
void PushKey(uint32_t id, SDL_Keycode key, uint16_t mods = KMOD_NONE) {
    for (uint32_t type : {SDL_KEYDOWN, SDL_KEYUP}) {
        SDL_Event e{};
        e.type = type;
        e.key.windowID = id;
        e.key.keysym.sym = key;
        e.key.keysym.mod = mods;
        SDL_PushEvent(&e);
    }
}

// Text typed, in as many events as it takes (one holds 31 bytes of UTF-8).
void PushText(uint32_t id, std::string_view text) {
    SDL_Event e{};
    const size_t room = sizeof e.text.text - 1;
    for (size_t at = 0; at < text.size(); at += room) {
        e = {};
        e.type = SDL_TEXTINPUT;
        e.text.windowID = id;
        text.copy(e.text.text, room, at);
        SDL_PushEvent(&e);
    }
}

TEST_F(SdlWindow, TextTypedOnTheKeyboardReachesTheFocusedEdit) {
    TForm* form = Application->CreateForm<TForm>();
    form->SetBounds(40, 40, 200, 80);
    TEdit* edit = thorn::Make<TEdit>(*form);
    edit->SetParent(form);
    edit->SetBounds(10, 10, 150, 21);
    form->Show();
    ASSERT_TRUE(RunUntil([&] { return !form->HasPendingPaint(); }));
    uint32_t id = ShownWindowId();
    ASSERT_NE(id, 0u);
    GiveKeyboard(*form, id);
    ASSERT_TRUE(RunUntil([&] { return edit->Focused(); }));

    int beeps = 0;
    auto previous = thorn::SetBeepSink([&](uint32_t) { ++beeps; });
    SDL_Event text{};
    text.type = SDL_TEXTINPUT;
    text.text.windowID = id;
    std::strcpy(text.text.text, "h\xC3\xA9llo\xE2\x86\x92");  // hello with an e acute, then an arrow
    SDL_PushEvent(&text);
    SDL_Event back{};
    back.type = SDL_KEYDOWN;
    back.key.windowID = id;
    back.key.keysym.sym = SDLK_BACKSPACE;
    SDL_PushEvent(&back);
    bool typed = RunUntil([&] { return edit->GetText() == "h\xE9ll"; });
    thorn::SetBeepSink(std::move(previous));
    EXPECT_TRUE(typed) << edit->GetText();
    EXPECT_EQ(beeps, 1);  // the arrow is not in Windows-1252
    EXPECT_EQ(edit->GetSelStart(), 4);
}

// A window manager that lets the keys follow the pointer (twm) hands them
// to no window as the pointer crosses into a window, before it gives that
// window the keyboard: keys typed meanwhile reach the window the pointer
// is in. The test plays the manager's part on the bare server.
TEST_F(SdlWindow, KeysTypedWhileTheyFollowThePointerReachTheWindowUnderIt) {
    thorn::test::XScreen screen;
    ASSERT_TRUE(screen.Ok());
    if (screen.Managed()) GTEST_SKIP() << "the window manager gives the keys";
    TForm* form = Application->CreateForm<TForm>();
    form->SetCaption("Typed into");
    form->SetBounds(40, 40, 200, 80);
    TEdit* edit = thorn::Make<TEdit>(*form);
    edit->SetParent(form);
    edit->SetBounds(10, 10, 150, 21);
    form->Show();
    ASSERT_TRUE(RunUntil([&] { return !form->HasPendingPaint() && edit->Focused(); }));
    screen.Focus(screen.WindowTitled("Typed into"));
    ASSERT_TRUE(RunUntil([] { return SDL_GetKeyboardFocus() != nullptr; }));
    screen.MoveTo(40 + 100, 40 + 50);
    screen.FocusFollowsPointer();
    ASSERT_TRUE(RunUntil([] { return SDL_GetKeyboardFocus() == nullptr; }));
    screen.Type("Ab c");
    screen.Key("BackSpace");
    EXPECT_TRUE(RunUntil([&] { return edit->GetText() == "Ab "; })) << edit->GetText();
}

// A window given the keyboard back keeps it: where a window manager moves
// the keyboard on to another of the program's windows, or drops it, as it
// lets go of a window that hid, it goes back (the test moves it, as such a
// manager would). What the user does is never undone: after a press or a
// key anywhere, or the pointer moved into the window, the keyboard stays
// where the user's manager put it. Each case ends once the keyboard is no
// longer watched.
TEST_F(SdlWindow, AWindowGivenTheKeyboardBackKeepsItUntilTheUserChoosesAnother) {
    thorn::test::XScreen screen;
    ASSERT_TRUE(screen.Ok());
    TForm* heir = Application->CreateForm<TForm>();
    heir->SetCaption("Heir");
    heir->SetBounds(40, 60, 300, 200);
    heir->Show();
    TForm* other = Application->CreateForm<TForm>();
    other->SetCaption("Other");
    other->SetBounds(400, 60, 200, 200);
    other->Show();
    ASSERT_TRUE(RunUntil([&] {
        return !heir->HasPendingPaint() && !other->HasPendingPaint() && screen.Viewable(screen.WindowTitled("Heir")) &&
               screen.Viewable(screen.WindowTitled("Other"));
    }));
    const unsigned long heirWindow = screen.WindowTitled("Heir");
    const unsigned long otherWindow = screen.WindowTitled("Other");
    auto middle = [&](unsigned long window) {
        const TRect r = screen.PlaceOf(window);
        return TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    };
    // The pointer stands on a window first (where a press on a frame is
    // made: a manager whose keyboard follows the pointer gives it there).
    const struct {
        const char* name;
        unsigned long pointerOn;
        std::function<bool()> user;  // what the user does then (false: it could not be done)
        unsigned long to;            // where the manager then puts the keyboard
        TForm* keeps;
    } cases[] = {
        {"the manager drops it", heirWindow, [] { return true; }, 0, heir},
        {"the manager moves it to another window of the program", heirWindow, [] { return true; }, otherWindow,
         heir},
        {"a press the manager takes", otherWindow, [&] { return screen.ClickTaken(); }, otherWindow, other},
        // The pointer stays where the last case left it: a manager whose
        // keyboard follows the pointer, still catching up with a move onto
        // the heir, would give the heir the keyboard after the test gave it
        // to the other window.
        {"the manager's Alt+Tab", otherWindow, [&] { return screen.KeyTaken("Tab", {"Alt_L"}); }, otherWindow, other},
        {"the pointer moved into another window (the keyboard follows it)", heirWindow, [&] {
             screen.MoveTo(middle(otherWindow).X, middle(otherWindow).Y);
             return true;
         },
         otherWindow, other},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        screen.MoveTo(middle(c.pointerOn).X, middle(c.pointerOn).Y);
        heir->GetHostWindow()->TakeKeyboardBack();
        ASSERT_TRUE(host->KeyboardWatched());
        ASSERT_TRUE(c.user());
        screen.Focus(c.to);
        const unsigned long kept = c.keeps == heir ? heirWindow : otherWindow;
        EXPECT_TRUE(RunUntil([&] {
            return !host->KeyboardWatched() && screen.FocusedWindow() == kept && c.keeps->GetActive();
        })) << "the keyboard on " << screen.FocusedWindow();
    }
}

// Words typed into the middle of a wrapped memo in a real window push the
// rest of their paragraph on by rows: the memo shows what a memo given the
// whole new text shows. The window is left in sdl_memo_typed.bmp.
TEST_F(SdlWindow, WordsTypedIntoAWrappedMemoShowAsTheSameTextGivenWhole) {
    TForm* form = Application->CreateForm<TForm>();
    form->SetCaption("Mission texts");
    form->SetBounds(40, 40, 400, 200);
    auto memoAt = [&](int left) {
        TMemo* memo = thorn::Make<TMemo>(*form);
        memo->SetParent(form);
        memo->SetBounds(left, 10, 180, 150);
        memo->SetScrollBars(ssVertical);
        return memo;
    };
    TMemo* typed = memoAt(10);
    TMemo* given = memoAt(205);
    TButton* ok = thorn::Make<TButton>(*form);
    ok->SetParent(form);
    ok->SetBounds(305, 166, 80, 25);
    ok->SetCaption("OK");
    given->SetTabStop(false);
    typed->SetText("The barons of the north gather their armies by the river.\r\n"
                   "Hold the castle of Thornvale until the spring, and the king will send word to every "
                   "province of the realm.\r\nVictory!");
    form->Show();
    ASSERT_TRUE(RunUntil([&] { return !form->HasPendingPaint(); }));
    uint32_t id = ShownWindowId();
    ASSERT_NE(id, 0u);
    GiveKeyboard(*form, id);
    ASSERT_TRUE(RunUntil([&] { return typed->Focused(); }));

    // At the end of a row of the second paragraph.
    int rows = typed->GetContentSize().cy;
    PushKey(id, SDLK_HOME, KMOD_LCTRL);
    for (int n = 0; n < 2; ++n) PushKey(id, SDLK_DOWN);
    PushKey(id, SDLK_END);
    PushText(id, " the thaw of the river and the first flowers of");
    const std::string_view expected = "\r\nHold the castle of Thornvale until the thaw of the river and the first flowers of the spring,";
    ASSERT_TRUE(RunUntil([&] { return typed->GetText().find(expected) != std::string::npos; })) << typed->GetText();
    EXPECT_GT(typed->GetContentSize().cy, rows);
    given->SetText(typed->GetText());
    PushKey(id, SDLK_TAB);  // to the button: neither memo shows a caret
    ASSERT_TRUE(RunUntil([&] { return ok->Focused() && !form->HasPendingPaint(); }));

    TBitmap32 shot;
    int differing = -1;
    ASSERT_TRUE(RunUntil([&] {
        form->GetHostWindow()->ReadPixels(shot);
        differing = 0;
        for (int y = 10; y < 160; ++y)
            for (int x = 0; x < 180; ++x) differing += shot.GetPixel(10 + x, y) != shot.GetPixel(205 + x, y);
        return differing == 0;
    }));
    shot.SaveToFile("sdl_memo_typed.bmp");
}

// A form with one of each basic control, shown in a real window. With
// THORN_SCREENSHOT naming a file, the window's pixels are saved there as a
// BMP picture to look at.
TEST_F(SdlWindow, EveryBasicControlShowsInARealWindow) {
    TForm* form = Application->CreateForm<TForm>();
    form->SetCaption("Basic controls");
    form->SetBounds(20, 20, 520, 330);
    auto place = [&]<typename T>(T* control, TWinControl* parent, TRect bounds) {
        control->SetParent(parent);
        control->SetBoundsRect(bounds);
        return control;
    };
    auto make = [&]<typename T>(std::type_identity<T>, TWinControl* parent, TRect bounds) {
        return place(thorn::Make<T>(*form), parent, bounds);
    };
    TLabel* name = make(std::type_identity<TLabel>{}, form, {10, 12, 60, 25});
    name->SetCaption("&Name:");
    TEdit* edit = make(std::type_identity<TEdit>{}, form, {60, 10, 220, 31});
    edit->SetText("Thornvale II");
    name->SetFocusControl(edit);
    TEdit* hidden = make(std::type_identity<TEdit>{}, form, {60, 36, 220, 57});
    hidden->SetText("secret");
    hidden->SetPasswordChar('*');
    TEdit* off = make(std::type_identity<TEdit>{}, form, {60, 62, 220, 83});
    off->SetText("Disabled");
    off->SetEnabled(false);

    TGroupBox* group = make(std::type_identity<TGroupBox>{}, form, {10, 95, 220, 200});
    group->SetCaption("&Options");
    const char* captions[] = {"Show names", "Transparent armies", "Mixed state", "Not now"};
    for (int i = 0; i < 4; ++i) {
        TCheckBox* box = make(std::type_identity<TCheckBox>{}, group, {8, 20 + i * 20, 190, 37 + i * 20});
        box->SetCaption(captions[i]);
        box->SetAllowGrayed(true);
        box->SetState(i == 1 ? cbChecked : i == 2 ? cbGrayed : cbUnchecked);
        box->SetEnabled(i != 3);
    }
    TPanel* panel = make(std::type_identity<TPanel>{}, form, {10, 210, 220, 250});
    panel->SetCaption("Raised panel, lowered inside");
    panel->SetBevelInner(bvLowered);
    panel->SetBorderWidth(2);
    TBevel* line = make(std::type_identity<TBevel>{}, form, {10, 258, 220, 260});
    line->SetShape(bsTopLine);
    TBevel* frame = make(std::type_identity<TBevel>{}, form, {10, 266, 60, 316});
    frame->SetShape(bsFrame);
    TLabel* wrapped = make(std::type_identity<TLabel>{}, form, {70, 266, 220, 316});
    wrapped->SetAutoSize(false);
    wrapped->SetBoundsRect({70, 266, 220, 316});
    wrapped->SetWordWrap(true);
    wrapped->SetAlignment(taCenter);
    wrapped->SetCaption("A centred label that wraps its words onto lines");

    TButton* ok = make(std::type_identity<TButton>{}, form, {240, 10, 315, 35});
    ok->SetCaption("&Apply");
    ok->SetDefault(true);
    TButton* grey = make(std::type_identity<TButton>{}, form, {325, 10, 400, 35});
    grey->SetCaption("Disabled");
    grey->SetEnabled(false);
    const TBitBtnKind kinds[] = {bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll};
    for (int i = 0; i < 10; ++i) {
        TBitBtn* b = make(std::type_identity<TBitBtn>{}, form, {240 + (i % 2) * 85, 45 + (i / 2) * 30, 320 + (i % 2) * 85,
                                                              70 + (i / 2) * 30});
        b->SetKind(kinds[i]);
    }
    TBitBtn* off2 = make(std::type_identity<TBitBtn>{}, form, {410, 10, 505, 35});
    off2->SetKind(bkRetry);
    off2->SetCaption("Greyed");
    off2->SetEnabled(false);
    // A memo-like edit of several lines, with its vertical bar.
    struct Lines : TCustomEdit {
        Lines() {
            SetMultiLine(true);
            SetAutoSize(false);
            SetScrollBars(ssVertical);
        }
    };
    Lines* lines = make(std::type_identity<Lines>{}, form, {240, 205, 505, 316});
    lines->SetText("Scripted events\r\nTurn 1: the barons gather\r\nTurn 4: a plague in the east\r\n"
                   "Turn 9: the river floods\r\nTurn 12: peace talks\r\nTurn 15: the king dies\r\n"
                   "Turn 20: the last battle\r\nTurn 24: a new king\r\nTurn 30: the end");
    form->Show();
    edit->SetFocus();
    edit->SetSelStart(0);
    edit->SetSelLength(9);
    ASSERT_TRUE(RunUntil([&] { return !form->HasPendingPaint(); }));

    TBitmap32 shot;
    ASSERT_TRUE(RunUntil([&] {
        form->GetHostWindow()->ReadPixels(shot);
        return shot.Width() == 520 && shot.GetPixel(1, 1) == Color32(clBtnFace) &&
               shot.GetPixel(65, 20) != Color32(clBtnFace);
    }));
    // The default button's dark frame, the edit's white face.
    EXPECT_EQ(shot.GetPixel(240, 20), Color32(clWindowFrame));
    EXPECT_EQ(shot.GetPixel(217, 28), Color32(clWindow));
    if (const char* file = std::getenv("THORN_SCREENSHOT")) shot.SaveToFile(file);
}

}  // namespace
