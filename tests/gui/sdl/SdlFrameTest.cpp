#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include <functional>
#include <memory>
#include <string>

#include "SdlSession.h"
#include "XScreen.h"
#include "gui/Application.h"
#include "gui/Buttons.h"
#include "gui/Timers.h"
#include "gui/sdl/X11Window.h"

// Runs under Xvfb, bare and under window managers: what the window manager
// is told of each form's frame, and a modal form that stays where it can be
// answered.
namespace {

using SdlFrame = thorn::test::SdlSession;

// A form the layer shows as a dialog without a modal loop (a progress
// window).
class DialogKindForm : public TForm {
public:
    DialogKindForm() { SetWindowKind(thorn::WindowKind::Dialog); }
};

// What _MOTIF_WM_HINTS, _NET_WM_WINDOW_TYPE and WM_TRANSIENT_FOR say.
struct Frame {
    bool title = false, close = false, minimize = false, maximize = false, resize = false;
    std::string type;
    unsigned long owner = 0;
    bool operator==(const Frame&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Frame& f) {
    return out << "title " << f.title << ", close " << f.close << ", minimize " << f.minimize << ", maximize "
               << f.maximize << ", resize " << f.resize << ", " << f.type << ", owner " << f.owner;
}

Frame FrameOf(thorn::test::XScreen& screen, unsigned long window) {
    Frame frame;
    const auto hints = screen.Property(window, "_MOTIF_WM_HINTS");  // flags, functions, decorations
    if (hints.size() >= 3 && (hints[0] & 1) && (hints[0] & 2)) {
        frame.close = hints[1] & 32;
        frame.minimize = hints[1] & 8;
        frame.maximize = hints[1] & 16;
        frame.resize = hints[1] & 2;
        frame.title = hints[2] & 8;
    }
    if (const auto type = screen.Property(window, "_NET_WM_WINDOW_TYPE"); !type.empty())
        frame.type = screen.AtomName(type[0]);
    if (const auto owner = screen.Property(window, "WM_TRANSIENT_FOR"); !owner.empty()) frame.owner = owner[0];
    return frame;
}

// Runs look once the form shows modally and is painted, then closes it.
void WhileModal(TCustomForm& form, std::function<void()> look) {
    auto timer = std::make_unique<TTimer>();
    timer->SetInterval(20);
    timer->SetOnTimer([&](TObject*) {
        if (!form.IsShowing() || form.HasPendingPaint()) return;
        look();
        form.SetModalResult(mrOk);
    });
    timer->SetEnabled(true);
    form.ShowModal();
}

TEST_F(SdlFrame, EachFormsBorderStyleAndIconsReachTheWindowManager) {
    thorn::test::XScreen screen;
    ASSERT_TRUE(screen.Ok());
    TForm* main = Application->CreateForm<TForm>();
    main->SetCaption("Main");
    main->SetBounds(20, 40, 300, 200);
    main->Show();
    ASSERT_TRUE(RunUntil([&] { return !main->HasPendingPaint() && screen.WindowTitled("Main"); }));
    const unsigned long mainWindow = screen.WindowTitled("Main");
    const std::string normal = "_NET_WM_WINDOW_TYPE_NORMAL", dialog = "_NET_WM_WINDOW_TYPE_DIALOG";
    struct Case {
        const char* name;
        TFormBorderStyle style;
        TBorderIcons icons;
        Frame frame;
    };
    const Case cases[] = {
        {"sizeable", bsSizeable, kDefaultBorderIcons, {true, true, true, true, true, normal}},
        {"single", bsSingle, kDefaultBorderIcons, {true, true, true, true, false, normal}},
        {"without a minimise box", bsSingle, {biSystemMenu, biMaximize}, {true, true, false, true, false, normal}},
        {"a dialog's border", bsDialog, kDefaultBorderIcons, {true, true, false, false, false, normal}},
        {"no border icons", bsSizeable, {}, {true, false, false, false, true, normal}},
        {"a tool window", bsSizeToolWin, {biSystemMenu}, {true, true, false, false, true, "_NET_WM_WINDOW_TYPE_UTILITY"}},
        {"no border", bsNone, kDefaultBorderIcons, {false, true, false, false, false, normal}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto form = std::make_unique<TForm>();
        form->SetCaption(c.name);
        form->SetBounds(400, 40, 200, 100);
        form->SetBorderStyle(c.style);
        form->SetBorderIcons(c.icons);
        form->Show();
        ASSERT_TRUE(RunUntil([&] { return screen.WindowTitled(c.name) != 0; }));
        EXPECT_EQ(FrameOf(screen, screen.WindowTitled(c.name)), c.frame);
    }

    // A dialog shown without a modal loop belongs to the main window.
    auto* progress = Application->CreateForm<DialogKindForm>();
    progress->SetCaption("Progress");
    progress->SetBorderStyle(bsSingle);
    progress->SetBounds(60, 60, 200, 60);
    progress->Show();
    ASSERT_TRUE(RunUntil([&] { return screen.WindowTitled("Progress") != 0; }));
    EXPECT_EQ(FrameOf(screen, screen.WindowTitled("Progress")), (Frame{true, true, true, true, false, dialog, mainWindow}));
    progress->Hide();

    // A modal form is a dialog of the main window, and offers no minimise
    // box.
    TForm* modal = Application->CreateForm<TForm>();
    modal->SetCaption("Modal");
    modal->SetBounds(60, 60, 200, 100);
    Frame seen;
    WhileModal(*modal, [&] { seen = FrameOf(screen, screen.WindowTitled("Modal")); });
    EXPECT_EQ(seen, (Frame{true, true, false, true, true, dialog, mainWindow}));
}

// The program knows a window manager by the selection it owns (WM_S0), or
// by the window it names on the root that names itself
// (_NET_SUPPORTING_WM_CHECK): fluxbox takes no selection. On the bare
// server the test announces managers of its own. (One that announces
// nothing, twm, is known by the frames it puts the windows in.)
TEST_F(SdlFrame, AWindowManagerIsKnownByItsSelectionOrByTheWindowItNames) {
    thorn::test::XScreen screen;
    ASSERT_TRUE(screen.Ok());
    TForm* form = Application->CreateForm<TForm>();
    form->SetCaption("Managed?");
    form->SetBounds(40, 60, 200, 100);
    form->Show();
    ASSERT_TRUE(RunUntil([&] { return screen.WindowTitled("Managed?") != 0; }));
    SDL_Window* window = nullptr;
    for (uint32_t id = 1; id < 64 && !window; ++id)
        if (SDL_Window* w = SDL_GetWindowFromID(id); w && std::string(SDL_GetWindowTitle(w)) == "Managed?") window = w;
    ASSERT_NE(window, nullptr);
    if (screen.Managed()) {
        EXPECT_EQ(thorn::X11WindowManagerRuns(window), !screen.ManagerName().empty()) << screen.ManagerName();
        return;
    }
    const unsigned long root = screen.Root(), check = screen.MakeHiddenWindow(), other = screen.MakeHiddenWindow(),
                        gone = screen.MakeHiddenWindow();
    screen.DestroyWindow(gone);
    struct Case {
        const char* name;
        unsigned long named;      // what the root names (0: nothing)
        unsigned long namesBack;  // what that window names
        bool runs;
    };
    const Case cases[] = {
        {"nothing announced", 0, 0, false},
        {"a window that names itself", check, check, true},
        {"a window that names another", check, other, false},
        {"a window that names nothing", check, 0, false},
        {"a window that is gone (its manager too)", gone, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.named)
            screen.SetWindowProperty(root, "_NET_SUPPORTING_WM_CHECK", c.named);
        else
            screen.DeleteProperty(root, "_NET_SUPPORTING_WM_CHECK");
        if (c.namesBack)
            screen.SetWindowProperty(check, "_NET_SUPPORTING_WM_CHECK", c.namesBack);
        else
            screen.DeleteProperty(check, "_NET_SUPPORTING_WM_CHECK");
        EXPECT_EQ(thorn::X11WindowManagerRuns(window), c.runs);
    }
    // The server's later tests see no manager.
    screen.DeleteProperty(root, "_NET_SUPPORTING_WM_CHECK");
    screen.DestroyWindow(check);
    screen.DestroyWindow(other);
}

// A window manager that tells nothing of its frames beforehand (no answer
// to _NET_REQUEST_FRAME_EXTENTS), the test's own on the bare server: the
// frame is read once the window is framed, from the frame window (its own
// border too), or from _NET_FRAME_EXTENTS set then, as fluxbox does; a
// manager that announces nothing either (twm) is known by the frame it
// puts the window in. The window's inside stands where the form asks, its
// frame inside the screen, and where the program moves it next. Each frame
// differs from the one before, which the next window is shown with.
TEST_F(SdlFrame, AFrameTheManagerDoesNotTellBeforehandIsReadOnceFramed) {
    thorn::test::XScreen manager;
    ASSERT_TRUE(manager.Ok());
    if (!manager.TakeWindowRequests()) GTEST_SKIP() << "a window manager runs";
    const unsigned long root = manager.Root(), check = manager.MakeHiddenWindow();
    manager.SetWindowProperty(check, "_NET_SUPPORTING_WM_CHECK", check);
    struct Case {
        const char* name;
        bool announced;  // _NET_SUPPORTING_WM_CHECK on the root
        bool told;       // _NET_FRAME_EXTENTS set once the window is mapped
        thorn::FrameEdges edges;
        int border;                // the frame window's own border
        bool borderOutsideMoves;   // and where it puts it on a move
        TPoint asked, inside;
    };
    const Case cases[] = {
        {"a frame window, a place on the screen", true, false, {3, 20, 3, 3}, 0, false, {100, 120}, {100, 120}},
        {"a frame window, a place above the screen", true, false, {4, 24, 4, 4}, 0, false, {-300, -200}, {4, 24}},
        {"told late, a place on the screen", true, true, {3, 20, 3, 3}, 0, false, {100, 120}, {100, 120}},
        {"told late, a place above the screen", true, true, {5, 28, 5, 5}, 0, false, {-300, -200}, {5, 28}},
        {"a bordered frame window, a place on the screen", true, false, {2, 18, 2, 2}, 2, false, {100, 120},
         {100, 120}},
        {"a bordered frame window, a place above the screen", true, false, {2, 22, 2, 2}, 3, false, {-300, -200},
         {5, 25}},
        {"announced nothing, a place on the screen", false, false, {2, 27, 2, 2}, 2, true, {100, 120}, {100, 120}},
        {"announced nothing, a place above the screen", false, false, {3, 30, 3, 3}, 2, true, {-300, -200},
         {5, 32}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.announced)
            manager.SetWindowProperty(root, "_NET_SUPPORTING_WM_CHECK", check);
        else
            manager.DeleteProperty(root, "_NET_SUPPORTING_WM_CHECK");
        manager.FrameWindows(c.edges, c.told, c.border, c.borderOutsideMoves);
        auto form = std::make_unique<TForm>();
        form->SetCaption(c.name);
        form->SetBounds(c.asked.X, c.asked.Y, 200, 100);
        form->Show();
        unsigned long window = 0;
        const auto standsAt = [&](TPoint inside) {
            return RunUntil([&] {
                manager.AnswerRequests(true);
                window = manager.WindowTitled(c.name);
                const TRect place = manager.PlaceOf(window);
                return place.Left == inside.X && place.Top == inside.Y && form->GetLeft() == inside.X &&
                       form->GetTop() == inside.Y;
            });
        };
        EXPECT_TRUE(standsAt(c.inside)) << "inside at " << manager.PlaceOf(window).Left << ", "
                                         << manager.PlaceOf(window).Top << ", the form at " << form->GetLeft()
                                         << ", " << form->GetTop();
        const TPoint moved{c.inside.X + 30, c.inside.Y + 40};
        form->SetBounds(moved.X, moved.Y, 200, 100);
        EXPECT_TRUE(standsAt(moved)) << "moved, inside at " << manager.PlaceOf(window).Left << ", "
                                      << manager.PlaceOf(window).Top << ", the form at " << form->GetLeft() << ", "
                                      << form->GetTop();
    }
    manager.DeleteProperty(root, "_NET_SUPPORTING_WM_CHECK");
    manager.DestroyWindow(check);
}

// Whether nothing stands over the form's window: what the screen shows
// there is what the form shows.
bool OnTop(thorn::test::XScreen& screen, const TCustomForm& form) {
    TBitmap32 whole, own;
    screen.Grab(whole);
    form.GetHostWindow()->ReadPixels(own);
    for (int j = 1; j < 8; ++j)
        for (int i = 1; i < 8; ++i) {
            const int x = own.Width() * i / 8, y = own.Height() * j / 8;
            if (whole.GetPixel(form.GetLeft() + x, form.GetTop() + y) != own.GetPixel(x, y)) return false;
        }
    return true;
}

// A window that stays on top, shown before the modal form, does not cover
// it.
TEST_F(SdlFrame, AModalFormStandsAboveAWindowThatStaysOnTop) {
    thorn::test::XScreen screen;
    ASSERT_TRUE(screen.Ok());
    TForm* main = Application->CreateForm<TForm>();
    main->SetCaption("Main");
    main->SetBounds(40, 60, 700, 500);
    main->SetColor(clTeal);
    main->Show();
    TForm* tool = Application->CreateForm<TForm>();
    tool->SetCaption("Tool");
    tool->SetBorderStyle(bsSizeToolWin);
    tool->SetFormStyle(fsStayOnTop);
    tool->SetColor(clMaroon);
    tool->SetBounds(300, 200, 300, 300);
    tool->Show();
    ASSERT_TRUE(RunUntil([&] { return !main->HasPendingPaint() && !tool->HasPendingPaint(); }));
    // The main window pressed last, as before a command of its menu.
    const TPoint onMain = main->ClientToScreen({20, 20});
    screen.Click(onMain.X, onMain.Y);
    RunFor(300);
    TForm* modal = Application->CreateForm<TForm>();
    modal->SetCaption("Modal");
    modal->SetBorderStyle(bsDialog);
    modal->SetColor(clNavy);
    modal->SetBounds(250, 160, 400, 300);
    bool onTop = false;
    auto timer = std::make_unique<TTimer>();
    const uint64_t until = host->Now() + 3000;
    timer->SetInterval(50);
    timer->SetOnTimer([&](TObject*) {
        if (!modal->IsShowing() || modal->HasPendingPaint()) return;
        onTop = OnTop(screen, *modal);
        if (onTop || host->Now() > until) modal->SetModalResult(mrOk);
    });
    timer->SetEnabled(true);
    modal->ShowModal();
    EXPECT_TRUE(onTop);
}

// Iconified as a task bar or a pager asks, the owner of a modal form and
// the modal form itself come back at once: with the program disabled under
// the modal form, nothing else might bring them back. The form is then
// answered with the pointer.
TEST_F(SdlFrame, AModalFormAndItsOwnerAreNeverLeftIconified) {
    thorn::test::XScreen screen;
    ASSERT_TRUE(screen.Ok());
    if (!screen.Managed()) GTEST_SKIP() << "nothing iconifies a window without a window manager";
    TForm* main = Application->CreateForm<TForm>();
    main->SetCaption("Main");
    main->SetBounds(40, 60, 500, 400);
    main->Show();
    ASSERT_TRUE(RunUntil([&] { return !main->HasPendingPaint(); }));
    TForm* modal = Application->CreateForm<TForm>();
    modal->SetCaption("Modal");
    modal->SetBorderStyle(bsDialog);
    modal->SetBounds(100, 120, 240, 120);
    auto* ok = thorn::Make<TButton>(*modal);
    ok->SetParent(modal);
    ok->SetBounds(80, 40, 75, 23);
    ok->SetCaption("OK");
    ok->SetModalResult(mrOk);

    const unsigned long mainWindow = screen.WindowTitled("Main");
    unsigned long modalWindow = 0;
    auto bothShown = [&] {
        return screen.Viewable(mainWindow) && screen.Viewable(modalWindow) && !screen.Iconic(mainWindow) &&
               !screen.Iconic(modalWindow);
    };
    enum class Step { Shown, OwnerIconified, DialogIconified, Clicked } step = Step::Shown;
    uint64_t since = 0;
    const uint64_t started = host->Now();
    std::string failed;
    auto timer = std::make_unique<TTimer>();
    timer->SetInterval(50);
    timer->SetOnTimer([&](TObject*) {
        if (!modal->IsShowing() || modal->HasPendingPaint()) return;
        modalWindow = screen.WindowTitled("Modal");
        if (host->Now() > since + 5000 && (step == Step::OwnerIconified || step == Step::DialogIconified)) {
            failed = step == Step::OwnerIconified ? "the owner was iconified" : "the dialog was iconified";
            modal->SetModalResult(mrAbort);
            return;
        }
        if (host->Now() > started + 15000) {
            failed = "the click";
            modal->SetModalResult(mrAbort);
            return;
        }
        switch (step) {
            case Step::Shown:
                if (!bothShown()) return;
                screen.Iconify(mainWindow);
                step = Step::OwnerIconified;
                since = host->Now();
                break;
            case Step::OwnerIconified:
                if (host->Now() < since + 300 || !bothShown()) return;
                screen.Iconify(modalWindow);
                step = Step::DialogIconified;
                since = host->Now();
                break;
            case Step::DialogIconified: {
                if (host->Now() < since + 300 || !bothShown()) return;
                const TPoint p = ok->ClientToScreen({30, 10});
                screen.Click(p.X, p.Y);
                step = Step::Clicked;
                break;
            }
            case Step::Clicked: break;
        }
    });
    timer->SetEnabled(true);
    EXPECT_EQ(modal->ShowModal(), mrOk) << "never back after " << failed;
}

}  // namespace
