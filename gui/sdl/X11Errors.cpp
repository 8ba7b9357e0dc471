#include "gui/sdl/X11Errors.h"

#include <X11/Xlib.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace thorn {

namespace {

std::atomic<uint64_t> noted{0};

std::function<void()>& DisplayLostHandler() {
    static std::function<void()> handler;
    return handler;
}

int NoteError(Display*, XErrorEvent*) {
    ++noted;
    return 0;
}

// Xlib ends the program itself if this returns: it does not.
[[noreturn]] int ConnectionLost(Display*) {
    static bool ran = false;
    if (!ran) {
        ran = true;
        if (const std::function<void()>& handler = DisplayLostHandler()) {
            try {
                handler();
            } catch (...) {
                // Ending is all that is left to do.
            }
        }
    }
    std::fputs("The connection to the X display was lost; the program ends.\n", stderr);
    std::_Exit(1);
}

}  // namespace

void InstallX11ErrorHandlers() {
    // A request written after the server went away would raise SIGPIPE and
    // end the program on the spot, before its settings are kept; ignored,
    // the write fails and Xlib reports the lost connection to the handler.
    std::signal(SIGPIPE, SIG_IGN);
    XSetErrorHandler(NoteError);
    XSetIOErrorHandler(ConnectionLost);
}

uint64_t X11ErrorsNoted() { return noted.load(); }

void SetDisplayLostHandler(std::function<void()> handler) { DisplayLostHandler() = std::move(handler); }

}  // namespace thorn
