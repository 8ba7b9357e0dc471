#pragma once

#include "gui/ControlTypes.h"

struct SDL_Window;

namespace thorn {

// What a window manager reads of a form's window when it takes the window
// on: the frame and the commands it offers, as the form's border style and
// border icons say (_MOTIF_WM_HINTS); whether the window is a dialog
// (_NET_WM_WINDOW_TYPE) and whose (WM_TRANSIENT_FOR), and modal
// (_NET_WM_STATE).
struct X11FrameHints {
    TFormBorderStyle style = bsSizeable;
    TBorderIcons icons = kDefaultBorderIcons;
    bool tool = false;    // a tool window (as it was made)
    bool dialog = false;  // a dialog, a message box, a progress window
    // A modal window offers no minimise box: its owner is disabled, and
    // with both iconified nothing might be left to bring them back. It
    // stays on top while it shows: the windows that stay on top are asked
    // to stand among the others meanwhile, and some window managers
    // (icewm) do not let them.
    bool modal = false;
    bool stayOnTop = false;  // as the form asks
    SDL_Window* owner = nullptr;
};

// Sets the hints of an X window that is not on the screen (a manager reads
// them as it maps the window); answers false on another video driver.
bool X11SetFrameHints(SDL_Window* window, const X11FrameHints& hints);

}  // namespace thorn
