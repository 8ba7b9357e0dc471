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

}  // namespace
