#include "gui/sdl/X11Window.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <string>

#include "platform/Charset.h"

namespace thorn {

namespace {

struct X11Handle {
    Display* display = nullptr;
    Window window = 0;
    explicit operator bool() const { return display && window; }
};

X11Handle HandleOf(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return {};
    return {info.info.x11.display, info.info.x11.window};
}

}  // namespace

bool X11RaiseWindow(SDL_Window* window) {
    const X11Handle x = HandleOf(window);
    if (!x) return false;
    XRaiseWindow(x.display, x.window);
    XFlush(x.display);
    return true;
}

bool X11GiveKeyboard(SDL_Window* window) {
    const X11Handle x = HandleOf(window);
    if (!x) return false;
    // Only a window on the screen can take the keyboard: another one is an
    // error of the request (harmless, but nothing to ask for).
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(x.display, x.window, &attributes) || attributes.map_state != IsViewable) return false;
    XSetInputFocus(x.display, x.window, RevertToParent, CurrentTime);
    XFlush(x.display);
    return true;
}

bool X11SetApplicationTitle(SDL_Window* window, std::string_view title) {
    const X11Handle x = HandleOf(window);
    if (!x) return false;
    std::string name = "thornvale", text(title), utf8 = Windows1252ToUtf8(title);
    XClassHint old{};
    if (XGetClassHint(x.display, x.window, &old)) {
        if (old.res_name) name = old.res_name;
        XFree(old.res_name);
        XFree(old.res_class);
    }
    XClassHint hint;
    hint.res_name = name.data();
    hint.res_class = text.data();
    XSetClassHint(x.display, x.window, &hint);
    // The old property takes Latin-1 (which Windows-1252 text nearly is),
    // the desktop's own UTF-8.
    XChangeProperty(x.display, x.window, XA_WM_ICON_NAME, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(text.data()), static_cast<int>(text.size()));
    XChangeProperty(x.display, x.window, XInternAtom(x.display, "_NET_WM_ICON_NAME", False),
                    XInternAtom(x.display, "UTF8_STRING", False), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(utf8.data()), static_cast<int>(utf8.size()));
    XFlush(x.display);
    return true;
}

}  // namespace thorn
