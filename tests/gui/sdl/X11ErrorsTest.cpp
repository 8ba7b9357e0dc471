#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "SdlSession.h"
#include "XScreen.h"
#include "gui/Application.h"
#include "gui/sdl/SdlHost.h"
#include "gui/sdl/X11Errors.h"

// Runs under Xvfb: an X error ends nothing once the SDL host stands.
namespace {

using X11Errors = thorn::test::SdlSession;

// A request about a window that is gone, as when a window is destroyed
// while SDL wakes it, or while the window manager still takes it over:
// the error is noted and the program goes on, its windows too.
TEST_F(X11Errors, ARequestAboutAWindowThatIsGoneEndsNothing) {
    thorn::test::XScreen screen;
    ASSERT_TRUE(screen.Ok());
    const uint64_t before = thorn::X11ErrorsNoted();
    screen.AskAboutAGoneWindow();
    EXPECT_EQ(thorn::X11ErrorsNoted(), before + 1);

    TForm* form = Application->CreateForm<TForm>();
    form->SetBounds(40, 40, 120, 80);
    form->Show();
    EXPECT_TRUE(RunUntil([&] { return form->GetHostWindow() && !form->HasPendingPaint(); }));
}

// The X server gone while the program writes to it (the desktop ends): the
// write fails and the lost connection is handled as such, where SIGPIPE
// would have ended the program before it kept its settings.
TEST_F(X11Errors, AWriteToAServerThatIsGoneEndsNothingOnTheSpot) {
    int ends[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
    close(ends[1]);
    const char request[4] = {};
    EXPECT_EQ(write(ends[0], request, sizeof request), -1);
    EXPECT_EQ(errno, EPIPE);
    close(ends[0]);
}

// The test's own connection, once the host that put the program's
// handlers in place has gone (SDL puts back Xlib's, which end the program):
// an error there ends nothing either.
TEST(X11ErrorsWithoutAHost, ARequestAboutAWindowThatIsGoneEndsNothing) {
    { thorn::SdlHost gone; }
    thorn::test::XScreen screen;
    ASSERT_TRUE(screen.Ok());
    const uint64_t before = thorn::X11ErrorsNoted();
    screen.AskAboutAGoneWindow();
    EXPECT_EQ(thorn::X11ErrorsNoted(), before + 1);
}

}  // namespace
