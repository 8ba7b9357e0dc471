#pragma once

#include <cstdint>
#include <memory>
#include <span>

struct SDL_Window;

namespace thorn {

// Watches, a while, the keyboard given back to a window of the program as
// another of its windows hid (the progress window). A window manager that
// lets go of the hidden window may move the keyboard on to another of the
// program's windows, or drop it, some milliseconds later: it is put back.
//
// What the user does is never undone: a button or a key pressed anywhere
// on the screen (in a window, on a frame or a title bar, a window manager's
// Alt+Tab) ends the watch, and so does the keyboard found on the window the
// user moved the pointer into (a manager whose keyboard follows the
// pointer). A keyboard given to another program's window ends it too.
//
// Presses that reach no window of the program (a manager takes those on
// its frames, and its keys, for itself) are seen on a connection of the
// watch's own, as XInput 2.1 raw events on the root window, which the X
// server sends whatever grab is active. Where the server has no XInput 2.1
// only the program's own input is seen, and a press on another window's
// frame cannot be told from the manager moving the keyboard there: a
// keyboard on another of the program's windows is then left where it is,
// and only one dropped is put back.
class X11KeyboardWatch {
public:
    X11KeyboardWatch();
    ~X11KeyboardWatch();
    X11KeyboardWatch(const X11KeyboardWatch&) = delete;
    X11KeyboardWatch& operator=(const X11KeyboardWatch&) = delete;

    // Starts watching the window (id: its number for the caller), given
    // the keyboard just now. userTime is the X time of the user's last
    // input the program handled.
    void Watch(uint32_t id, SDL_Window* window, unsigned long userTime);
    // Ends the watch unless it is over the window id.
    void Forget(uint32_t unless);
    // The window watched (0: none).
    uint32_t Heir() const { return heir_; }
    // Looks where the keyboard is, and puts it back on the window watched
    // when the window manager alone moved it. heir is that window while it
    // is shown (null: gone or hidden, which ends the watch), ours every
    // window of the program, userTime as for Watch.
    void Keep(SDL_Window* heir, std::span<SDL_Window* const> ours, unsigned long userTime);

private:
    class UserInput;
    void End();

    uint32_t heir_ = 0;
    uint64_t until_ = 0;
    unsigned long userTime_ = 0;
    // The pointer moved since the watch began.
    bool moved_ = false;
    // The raw events' connection (null: none to be had), opened at the
    // first watch.
    std::unique_ptr<UserInput> input_;
    bool inputTried_ = false;
};

}  // namespace thorn
