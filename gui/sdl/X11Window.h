#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "gui/WindowPlacing.h"

struct SDL_Window;
struct SDL_SysWMmsg;

// What the SDL host asks of an X window that SDL 2 has no call for, or
// whose SDL call does more than asked. On another video driver each does
// nothing and answers false.
namespace thorn {

// Puts the window at the top of the stack at once, and nothing else (no
// activation, no keyboard).
bool X11RaiseWindow(SDL_Window* window);

// Whether a window manager runs on the window's screen (false on another
// video driver).
bool X11WindowManagerRuns(SDL_Window* window);

// Gives the window the keyboard when it is on the screen.
bool X11GiveKeyboard(SDL_Window* window);

// Asks for a maximised window to be normal again (its window manager's
// business while it is on the screen; its state, read when it is mapped,
// otherwise).
bool X11Unmaximize(SDL_Window* window);

// Gives a window on the screen the keyboard back as another window of the
// program hides. With a window manager the request is made at time (0:
// now), the user's last input: the server drops it when the keyboard went
// elsewhere later. Without one, it is made unless the keyboard is on
// another window (which only the user's hand puts it on).
bool X11ReturnKeyboard(SDL_Window* window, unsigned long time);

// Where the X server gives the keys, seen from a window of the program.
enum class X11KeyboardPlace {
    Here,       // the window
    Ours,       // another of the program's windows (ours)
    Nowhere,    // no window: none, the root, or a window manager's own with
                // no window active
    Elsewhere,  // another program's window
    Unknown,    // not on X
};
X11KeyboardPlace X11KeyboardPlaceOf(SDL_Window* window, std::span<SDL_Window* const> ours);

// Which of the program's windows (ours) the keys reach now: the one given
// the keyboard, or, while the keyboard follows the pointer (given to no
// window, or to the root, as a manager that focuses the window under the
// pointer, twm, does between two windows), the one the pointer is in; -1
// for none of them (or not on X).
int X11KeysReach(std::span<SDL_Window* const> ours);

// Takes the time of a key or button event of the X server into time.
void X11NoteUserTime(const SDL_SysWMmsg* message, unsigned long& time);

// The application's title as the window's icon name and as the class its
// desktop groups it under (WM_CLASS keeps the program's name SDL gave it as
// its first part); the title in Windows-1252, as the layer's texts are.
bool X11SetApplicationTitle(SDL_Window* window, std::string_view title);

// The frame the window manager gives the window, asked of it before the
// window is first shown (none without a window manager). The manager's
// answer is awaited waitMs at most: one that does not answer gives nothing.
std::optional<FrameEdges> X11ExpectedFrame(SDL_Window* window, int waitMs);

// Puts the window's frame corner at (left, top) of the desktop, past SDL's
// own reckoning of its frame: a window that is not on the screen where a
// window manager puts the frame's corner when it shows the window.
bool X11MoveWindowFrame(SDL_Window* window, int left, int top);

// Where the window's inside stands on the screen, as the X server has it
// now (none off X).
std::optional<TPoint> X11InsidePlace(SDL_Window* window);

// The frame around a window on the screen: as its window manager says
// (_NET_FRAME_EXTENTS), else as the manager's frame window that holds it
// stands around it (empty for a window that stands on the root itself).
std::optional<FrameEdges> X11ShownFrame(SDL_Window* window);

}  // namespace thorn
