#pragma once

#include <X11/Xlib.h>

#include <vector>

struct SDL_Window;

namespace thorn {

// The X connection and window behind an SDL window; empty on another video
// driver.
struct X11Handle {
    Display* display = nullptr;
    Window window = 0;
    explicit operator bool() const { return display && window; }
};

X11Handle X11HandleOf(SDL_Window* window);

// A property holding a list of atoms (_NET_WM_STATE), read (empty when it
// is not there) and replaced.
std::vector<Atom> X11ReadAtoms(Display* display, Window window, Atom property);
void X11WriteAtoms(Display* display, Window window, Atom property, const std::vector<Atom>& atoms);

// The window's ancestor that stands on the root (a window manager's frame,
// or the window itself when it stands there), None when the server knows
// no such window.
Window X11TopLevelOf(Display* display, Window window);

}  // namespace thorn
