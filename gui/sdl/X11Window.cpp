#include "gui/sdl/X11Window.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <string>
#include <vector>

#include "gui/sdl/X11Handle.h"
#include "platform/Charset.h"

namespace thorn {

X11Handle X11HandleOf(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return {};
    return {info.info.x11.display, info.info.x11.window};
}

std::vector<Atom> X11ReadAtoms(Display* display, Window window, Atom property) {
    std::vector<Atom> atoms;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, left = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, property, 0, 64, False, XA_ATOM, &type, &format, &count, &left, &data) ==
            Success &&
        data && format == 32)
        atoms.assign(reinterpret_cast<const Atom*>(data), reinterpret_cast<const Atom*>(data) + count);
    if (data) XFree(data);
    return atoms;
}

void X11WriteAtoms(Display* display, Window window, Atom property, const std::vector<Atom>& atoms) {
    XChangeProperty(display, window, property, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(atoms.data()), static_cast<int>(atoms.size()));
}

bool X11RaiseWindow(SDL_Window* window) {
    const X11Handle x = X11HandleOf(window);
    if (!x) return false;
    XRaiseWindow(x.display, x.window);
    XFlush(x.display);
    return true;
}

bool X11WindowManagerRuns(SDL_Window* window) {
    const X11Handle x = X11HandleOf(window);
    if (!x) return false;
    const Atom check = XInternAtom(x.display, "_NET_SUPPORTING_WM_CHECK", False);
    const std::vector<Atom> windows = [&] {
        std::vector<Atom> items;
        Atom type = None;
        int format = 0;
        unsigned long count = 0, left = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(x.display, DefaultRootWindow(x.display), check, 0, 1, False, XA_WINDOW, &type, &format,
                               &count, &left, &data) == Success &&
            data && format == 32 && count == 1)
            items.push_back(*reinterpret_cast<const Window*>(data));
        if (data) XFree(data);
        return items;
    }();
    return !windows.empty();
}

bool X11GiveKeyboard(SDL_Window* window) {
    const X11Handle x = X11HandleOf(window);
    if (!x) return false;
    // Only a window on the screen can take the keyboard: another one is an
    // error of the request (harmless, but nothing to ask for).
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(x.display, x.window, &attributes) || attributes.map_state != IsViewable) return false;
    XSetInputFocus(x.display, x.window, RevertToParent, CurrentTime);
    XFlush(x.display);
    return true;
}

bool X11Unmaximize(SDL_Window* window) {
    const X11Handle x = X11HandleOf(window);
    if (!x) return false;
    const Atom state = XInternAtom(x.display, "_NET_WM_STATE", False);
    const Atom maximized[] = {XInternAtom(x.display, "_NET_WM_STATE_MAXIMIZED_VERT", False),
                              XInternAtom(x.display, "_NET_WM_STATE_MAXIMIZED_HORZ", False)};
    XWindowAttributes attributes;
    if (XGetWindowAttributes(x.display, x.window, &attributes) && attributes.map_state != IsUnmapped) {
        constexpr long kRemove = 0, kFromAnApplication = 1;
        XEvent request{};
        request.xclient.type = ClientMessage;
        request.xclient.window = x.window;
        request.xclient.message_type = state;
        request.xclient.format = 32;
        request.xclient.data.l[0] = kRemove;
        request.xclient.data.l[1] = static_cast<long>(maximized[0]);
        request.xclient.data.l[2] = static_cast<long>(maximized[1]);
        request.xclient.data.l[3] = kFromAnApplication;
        XSendEvent(x.display, DefaultRootWindow(x.display), False, SubstructureRedirectMask | SubstructureNotifyMask,
                   &request);
    } else {
        std::vector<Atom> atoms = X11ReadAtoms(x.display, x.window, state);
        std::erase_if(atoms, [&](Atom a) { return a == maximized[0] || a == maximized[1]; });
        X11WriteAtoms(x.display, x.window, state, atoms);
    }
    XFlush(x.display);
    return true;
}

bool X11SetApplicationTitle(SDL_Window* window, std::string_view title) {
    const X11Handle x = X11HandleOf(window);
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
