#include "gui/sdl/X11Window.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>
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

Window X11TopLevelOf(Display* display, Window window) {
    for (;;) {
        Window root = None, parent = None, *children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(display, window, &root, &parent, &children, &count)) return None;
        if (children) XFree(children);
        if (parent == root || parent == None) return window;
        window = parent;
    }
}

namespace {

// The four edges of _NET_FRAME_EXTENTS (left, right, top, bottom), once the
// window manager has set them.
std::optional<FrameEdges> FrameExtentsOf(const X11Handle& x, Atom extents) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::optional<FrameEdges> edges;
    if (XGetWindowProperty(x.display, x.window, extents, 0, 4, False, XA_CARDINAL, &type, &format, &count, &after,
                           &data) == Success &&
        type == XA_CARDINAL && format == 32 && count == 4) {
        const auto* v = reinterpret_cast<const long*>(data);
        edges = FrameEdges{static_cast<int>(v[0]), static_cast<int>(v[2]), static_cast<int>(v[1]),
                           static_cast<int>(v[3])};
    }
    if (data) XFree(data);
    return edges;
}

// The window a window's property of one window names (None: none), if the
// window has the property.
std::optional<Window> WindowNamedBy(Display* display, Window window, Atom property) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::optional<Window> named;
    if (XGetWindowProperty(display, window, property, 0, 1, False, XA_WINDOW, &type, &format, &count, &after, &data) ==
            Success &&
        type == XA_WINDOW && format == 32 && count == 1)
        named = static_cast<Window>(*reinterpret_cast<const long*>(data));
    if (data) XFree(data);
    return named;
}

// A window manager owns the selection named after the screen it manages,
// or, as EWMH managers that take no selection do (fluxbox), names on the
// root a window of its own that names itself. A window left named by a
// manager that has gone is gone too, or no longer names itself.
bool WindowManagerRuns(const X11Handle& x) {
    const std::string selection = "WM_S" + std::to_string(DefaultScreen(x.display));
    if (XGetSelectionOwner(x.display, XInternAtom(x.display, selection.c_str(), False)) != None) return true;
    const Atom check = XInternAtom(x.display, "_NET_SUPPORTING_WM_CHECK", False);
    const std::optional<Window> named = WindowNamedBy(x.display, DefaultRootWindow(x.display), check);
    return named && *named != None && WindowNamedBy(x.display, *named, check) == named;
}

}  // namespace

bool X11RaiseWindow(SDL_Window* window) {
    const X11Handle x = X11HandleOf(window);
    if (!x) return false;
    XRaiseWindow(x.display, x.window);
    XFlush(x.display);
    return true;
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

bool X11WindowManagerRuns(SDL_Window* window) {
    const X11Handle x = X11HandleOf(window);
    return x && WindowManagerRuns(x);
}

bool X11ReturnKeyboard(SDL_Window* window, unsigned long time) {
    const X11Handle x = X11HandleOf(window);
    if (!x) return false;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(x.display, x.window, &attributes) || attributes.map_state != IsViewable) return true;
    if (WindowManagerRuns(x)) {
        XSetInputFocus(x.display, x.window, RevertToParent, time ? time : CurrentTime);
    } else {
        Window focus = None;
        int revert = 0;
        XGetInputFocus(x.display, &focus, &revert);
        const bool elsewhere = focus != None && focus != PointerRoot && focus != DefaultRootWindow(x.display) &&
                               focus != x.window;
        if (!elsewhere) XSetInputFocus(x.display, x.window, RevertToParent, CurrentTime);
    }
    XFlush(x.display);
    return true;
}

X11KeyboardPlace X11KeyboardPlaceOf(SDL_Window* window, std::span<SDL_Window* const> ours) {
    const X11Handle x = X11HandleOf(window);
    if (!x) return X11KeyboardPlace::Unknown;
    Window focus = None;
    int revert = 0;
    XGetInputFocus(x.display, &focus, &revert);
    if (focus == x.window) return X11KeyboardPlace::Here;
    if (focus == None || focus == PointerRoot || focus == DefaultRootWindow(x.display))
        return X11KeyboardPlace::Nowhere;
    for (SDL_Window* other : ours)
        if (const X11Handle o = X11HandleOf(other); o && o.window == focus) return X11KeyboardPlace::Ours;
    // Some managers keep the keys on a window of their own while no window
    // is active, which they say on the root.
    const Atom active = XInternAtom(x.display, "_NET_ACTIVE_WINDOW", False);
    const std::optional<Window> activeWindow = WindowNamedBy(x.display, DefaultRootWindow(x.display), active);
    return activeWindow == None && WindowManagerRuns(x) ? X11KeyboardPlace::Nowhere : X11KeyboardPlace::Elsewhere;
}

int X11KeysReach(std::span<SDL_Window* const> ours) {
    if (ours.empty()) return -1;
    const X11Handle x = X11HandleOf(ours.front());
    if (!x) return -1;
    Window focus = None;
    int revert = 0;
    XGetInputFocus(x.display, &focus, &revert);
    for (size_t i = 0; i < ours.size(); ++i)
        if (const X11Handle o = X11HandleOf(ours[i]); o && o.window == focus) return static_cast<int>(i);
    const Window root = DefaultRootWindow(x.display);
    if (focus != PointerRoot && focus != root) return -1;
    Window pointerRoot = None, under = None;
    int rootX = 0, rootY = 0, winX = 0, winY = 0;
    unsigned int mask = 0;
    if (!XQueryPointer(x.display, root, &pointerRoot, &under, &rootX, &rootY, &winX, &winY, &mask) || under == None)
        return -1;
    for (size_t i = 0; i < ours.size(); ++i)
        if (const X11Handle o = X11HandleOf(ours[i]); o && X11TopLevelOf(o.display, o.window) == under)
            return static_cast<int>(i);
    return -1;
}

void X11NoteUserTime(const SDL_SysWMmsg* message, unsigned long& time) {
    if (!message || message->subsystem != SDL_SYSWM_X11) return;
    const XEvent& e = message->msg.x11.event;
    switch (e.type) {
        case KeyPress:
        case KeyRelease: time = e.xkey.time; break;
        case ButtonPress:
        case ButtonRelease: time = e.xbutton.time; break;
        default: break;
    }
}

std::optional<FrameEdges> X11ExpectedFrame(SDL_Window* window, int waitMs) {
    const X11Handle x = X11HandleOf(window);
    if (!x) return std::nullopt;
    if (!WindowManagerRuns(x)) return FrameEdges{};
    const Atom extents = XInternAtom(x.display, "_NET_FRAME_EXTENTS", False);
    if (auto known = FrameExtentsOf(x, extents)) return known;
    XEvent request{};
    request.xclient.type = ClientMessage;
    request.xclient.window = x.window;
    request.xclient.message_type = XInternAtom(x.display, "_NET_REQUEST_FRAME_EXTENTS", False);
    request.xclient.format = 32;
    XSendEvent(x.display, DefaultRootWindow(x.display), False, SubstructureRedirectMask | SubstructureNotifyMask,
               &request);
    // The answer is a property the manager sets; it is read again until
    // it is there or the time is up, so a manager that never answers holds
    // the program no longer than that.
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    do {
        XSync(x.display, False);
        if (auto answered = FrameExtentsOf(x, extents)) return answered;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    } while (std::chrono::steady_clock::now() < until);
    return std::nullopt;
}

bool X11MoveWindowFrame(SDL_Window* window, int left, int top) {
    const X11Handle x = X11HandleOf(window);
    if (!x) return false;
    XMoveWindow(x.display, x.window, left, top);
    XFlush(x.display);
    return true;
}

std::optional<TPoint> X11InsidePlace(SDL_Window* window) {
    const X11Handle x = X11HandleOf(window);
    if (!x) return std::nullopt;
    int left = 0, top = 0;
    Window child = None;
    if (!XTranslateCoordinates(x.display, x.window, DefaultRootWindow(x.display), 0, 0, &left, &top, &child))
        return std::nullopt;
    return TPoint{left, top};
}

std::optional<FrameEdges> X11ShownFrame(SDL_Window* window) {
    const X11Handle x = X11HandleOf(window);
    if (!x) return std::nullopt;
    if (auto told = FrameExtentsOf(x, XInternAtom(x.display, "_NET_FRAME_EXTENTS", False))) return told;
    // The manager's frame is the window's ancestor that stands on the root.
    const Window top = X11TopLevelOf(x.display, x.window);
    if (top == None) return std::nullopt;
    // A window on the screen that stands on the root itself has no frame.
    if (top == x.window) return FrameEdges{};
    XWindowAttributes frame, inside;
    int left = 0, upper = 0;
    Window child = None;
    if (!XGetWindowAttributes(x.display, top, &frame) ||
        !XGetWindowAttributes(x.display, x.window, &inside) ||
        !XTranslateCoordinates(x.display, x.window, top, 0, 0, &left, &upper, &child))
        return std::nullopt;
    // The frame window's own border lies around it too.
    const int border = frame.border_width;
    return FrameEdges{left + border, upper + border, frame.width - left - inside.width + border,
                      frame.height - upper - inside.height + border};
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
