#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include <string_view>

#include "SdlSession.h"
#include "XScreen.h"
#include "gui/Application.h"

// Runs under Xvfb. A window manager that maps nothing, or maps late, holds
// up no call of the program: the test takes the manager's place on the
// bare server and answers the program's requests when it pleases.
namespace {

using SdlMapping = thorn::test::SdlSession;

bool SdlShows(std::string_view caption) {
    for (uint32_t id = 1; id < 64; ++id)
        if (SDL_Window* w = SDL_GetWindowFromID(id); w && caption == SDL_GetWindowTitle(w))
            return (SDL_GetWindowFlags(w) & SDL_WINDOW_SHOWN) != 0;
    return false;
}

TEST_F(SdlMapping, AWindowManagerThatMapsNothingOrMapsLateHoldsNothingUp) {
    thorn::test::XScreen manager;
    ASSERT_TRUE(manager.Ok());
    if (!manager.TakeWindowRequests()) GTEST_SKIP() << "a window manager runs";
    TForm* form = Application->CreateForm<TForm>();
    form->SetCaption("Progress...");
    form->SetBounds(60, 60, 200, 80);
    const unsigned long window = [&] {
        form->Show();
        return manager.WindowTitled("Progress...");
    }();
    ASSERT_NE(window, 0u);

    // Shown, hidden and shown again, at once and with the loop running
    // between: nobody maps the window, and each call returns.
    form->Hide();
    form->Show();
    form->Hide();
    RunFor(500);
    form->Show();
    RunFor(500);
    manager.AnswerRequests(false);
    EXPECT_FALSE(manager.Viewable(window));

    // The manager comes round: the window the program still asks for ends
    // on the screen, and SDL knows it.
    EXPECT_TRUE(RunUntil([&] {
        manager.AnswerRequests(true);
        return manager.Viewable(window) && SdlShows("Progress...");
    }));

    // Hidden, then mapped late by a manager that reads an old request: the
    // window ends withdrawn, as asked, and SDL knows it.
    form->Hide();
    manager.MapEveryWindowAskedFor();
    RunFor(500);
    EXPECT_TRUE(RunUntil([&] {
        manager.AnswerRequests(false);
        return !manager.Viewable(window) && !SdlShows("Progress...");
    }));
    EXPECT_FALSE(form->IsShowing());
}

// A window hidden while its manager still holds it (WM_STATE not yet gone)
// is mapped again only once the manager lets go: a map asked for before
// is what icewm dropped.
TEST_F(SdlMapping, AWindowHiddenWhileItsManagerHoldsItIsMappedAgainOnceLetGo) {
    thorn::test::XScreen manager;
    ASSERT_TRUE(manager.Ok());
    if (!manager.TakeWindowRequests()) GTEST_SKIP() << "a window manager runs";
    manager.FrameWindows({2, 2, 2, 2});
    TForm* form = Application->CreateForm<TForm>();
    form->SetCaption("Held");
    form->SetBounds(60, 60, 200, 80);
    form->Show();
    const unsigned long window = manager.WindowTitled("Held");
    ASSERT_TRUE(RunUntil([&] {
        manager.AnswerRequests(true);
        return manager.Viewable(window);
    }));
    form->Hide();
    form->Show();
    manager.AnswerRequests(true);
    EXPECT_FALSE(manager.Viewable(window)) << "mapped while the manager held it";
    manager.LetGo(window);
    EXPECT_TRUE(RunUntil([&] {
        manager.AnswerRequests(true);
        return manager.Viewable(window) && SdlShows("Held");
    }));
}

// Shown and hidden in any order and at any speed, under the window manager
// the test runs with (or none), a window ends on the screen or withdrawn as
// last asked, and SDL knows which; SDL never takes it for minimised (as it
// takes a window whose unmapping it hears of).
int minimised = 0;
int NoteMinimised(void*, SDL_Event* event) {
    if (event->type == SDL_WINDOWEVENT && event->window.event == SDL_WINDOWEVENT_MINIMIZED) ++minimised;
    return 0;
}

TEST_F(SdlMapping, ShownAndHiddenAtAnySpeedAWindowEndsAsLastAsked) {
    minimised = 0;
    SDL_AddEventWatch(NoteMinimised, nullptr);
    thorn::test::XScreen screen;
    ASSERT_TRUE(screen.Ok());
    TForm* main = Application->CreateForm<TForm>();
    main->SetCaption("Main");
    main->SetBounds(40, 60, 400, 300);
    main->Show();
    TForm* form = Application->CreateForm<TForm>();
    form->SetCaption("Flicker");
    form->SetBounds(120, 140, 200, 80);
    form->Show();
    ASSERT_TRUE(RunUntil([&] { return screen.WindowTitled("Flicker") != 0; }));
    const unsigned long window = screen.WindowTitled("Flicker");
    unsigned seed = 7;
    auto next = [&seed](unsigned range) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % range;
    };
    for (int round = 0; round < 6; ++round) {
        SCOPED_TRACE(round);
        for (int step = 0, steps = 2 + static_cast<int>(next(6)); step < steps; ++step) {
            form->SetVisible(!form->GetVisible());
            if (const unsigned wait = next(4)) RunFor(wait * 10);
        }
        const bool shown = form->GetVisible();
        EXPECT_TRUE(RunUntil([&] {
            // The manager may drop WM_STATE between two reads: it is read once.
            const auto state = screen.Property(window, "WM_STATE");
            return screen.Viewable(window) == shown && SdlShows("Flicker") == shown &&
                   (shown || state.empty() || state[0] == 0);
        })) << (shown ? "shown" : "hidden");
    }
    SDL_DelEventWatch(NoteMinimised, nullptr);
    EXPECT_EQ(minimised, 0);
}

}  // namespace
