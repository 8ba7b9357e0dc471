#pragma once

#include <cstdint>
#include <functional>

namespace thorn {

// Xlib's own handlers end the program on any X error, and SDL 2 leaves them
// in place between its calls. An error the server reports about a window
// that went away while a request was on its way (a box destroyed as SDL
// wakes it, a window the window manager is still taking over) ends nothing
// here: it is counted and the program goes on. The connection itself lost
// (the server ended) runs the handler given to SetDisplayLostHandler once,
// says so on standard error and ends the program with status 1, without
// running the destructors of a program that is in the middle of an X call.
// Install them after SDL's video has started: SDL puts a handler of its own
// in front of the ones it finds there, which then hands errors on to these.
void InstallX11ErrorHandlers();

// The X errors noted since the handlers were installed.
uint64_t X11ErrorsNoted();

// What runs when the X connection is lost, before the program ends (null:
// nothing). It runs inside an X call: it must make none.
void SetDisplayLostHandler(std::function<void()> handler);

}  // namespace thorn
