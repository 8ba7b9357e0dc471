#pragma once

#include <string_view>

struct SDL_Window;

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

// The application's title as the window's icon name and as the class its
// desktop groups it under (WM_CLASS keeps the program's name SDL gave it as
// its first part); the title in Windows-1252, as the layer's texts are.
bool X11SetApplicationTitle(SDL_Window* window, std::string_view title);

}  // namespace thorn
