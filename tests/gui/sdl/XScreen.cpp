#include "XScreen.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <X11/extensions/XTest.h>

#include <vector>

#include "gui/sdl/X11Errors.h"
#include "support/PictureFiles.h"

namespace thorn::test {

// An error on the test's own connection (a request about a window the
// program destroyed meanwhile) ends nothing, as in the program itself:
// Xlib's own handler would end the test program, and it is the one in
// place whenever no SDL host is (SDL puts back what it found as it quits).
XScreen::XScreen(const char* display) : display_(XOpenDisplay(display)) { InstallX11ErrorHandlers(); }

XScreen::~XScreen() {
    if (display_) XCloseDisplay(display_);
}

void XScreen::MoveTo(int x, int y) {
    XTestFakeMotionEvent(display_, -1, x, y, CurrentTime);
    XSync(display_, False);
}

namespace {

// The program's own window inside a top-level one: under a window manager
// the top-level window is the manager's frame, and the program's window
// (the one the manager marked with WM_STATE) lies inside it.
Window ClientWindowIn(::_XDisplay* display, Window top) {
    const Atom state = XInternAtom(display, "WM_STATE", True);
    if (state == None) return top;
    std::vector<Window> pending{top};
    while (!pending.empty()) {
        const Window w = pending.back();
        pending.pop_back();
        Atom type = None;
        int format = 0;
        unsigned long count = 0, left = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display, w, state, 0, 0, False, AnyPropertyType, &type, &format, &count, &left,
                               &data) == Success) {
            if (data) XFree(data);
            if (type != None) return w;
        }
        Window root = 0, parent = 0, *children = nullptr;
        unsigned int n = 0;
        if (XQueryTree(display, w, &root, &parent, &children, &n)) {
            pending.insert(pending.end(), children, children + n);
            if (children) XFree(children);
        }
    }
    return top;
}

}  // namespace

void XScreen::FocusWindowUnderPointer() {
    Window root = DefaultRootWindow(display_), returnedRoot = 0, child = 0;
    int rootX = 0, rootY = 0, x = 0, y = 0;
    unsigned int mask = 0;
    XQueryPointer(display_, root, &returnedRoot, &child, &rootX, &rootY, &x, &y, &mask);
    XWindowAttributes attributes;
    // As a window manager does for a click: a pop-up keeps the keyboard
    // where it is. Where a window manager runs, it does so too, but only
    // when it gets round to it: keys typed right after the click would go
    // to the window that had the keyboard before.
    if (!child || !XGetWindowAttributes(display_, child, &attributes) || attributes.override_redirect) return;
    XSetInputFocus(display_, ClientWindowIn(display_, child), RevertToPointerRoot, CurrentTime);
}

void XScreen::Click(int x, int y) {
    MoveTo(x, y);
    FocusWindowUnderPointer();
    XTestFakeButtonEvent(display_, 1, True, CurrentTime);
    XTestFakeButtonEvent(display_, 1, False, CurrentTime);
    XFlush(display_);
}

void XScreen::PressAndLetGo(int x, int y) {
    MoveTo(x, y);
    XTestFakeButtonEvent(display_, 1, True, CurrentTime);
    XTestFakeButtonEvent(display_, 1, False, CurrentTime);
    XFlush(display_);
}

bool XScreen::ClickTaken() {
    if (XGrabPointer(display_, DefaultRootWindow(display_), False, ButtonPressMask | ButtonReleaseMask, GrabModeAsync,
                     GrabModeAsync, None, None, CurrentTime) != GrabSuccess)
        return false;
    XTestFakeButtonEvent(display_, 1, True, CurrentTime);
    XTestFakeButtonEvent(display_, 1, False, CurrentTime);
    XUngrabPointer(display_, CurrentTime);
    XSync(display_, False);
    return true;
}

bool XScreen::KeyTaken(const char* keysym, const std::vector<const char*>& modifiers) {
    if (XGrabKeyboard(display_, DefaultRootWindow(display_), False, GrabModeAsync, GrabModeAsync, CurrentTime) !=
        GrabSuccess)
        return false;
    Key(keysym, modifiers);
    XUngrabKeyboard(display_, CurrentTime);
    XSync(display_, False);
    return true;
}

void XScreen::Hold(const std::vector<const char*>& modifiers) {
    for (const char* modifier : modifiers)
        XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, XStringToKeysym(modifier)), True, CurrentTime);
    XFlush(display_);
}

void XScreen::LetGo(const std::vector<const char*>& modifiers) {
    for (const char* modifier : modifiers)
        XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, XStringToKeysym(modifier)), False, CurrentTime);
    XFlush(display_);
}

void XScreen::Press(int x, int y) {
    MoveTo(x, y);
    FocusWindowUnderPointer();
    XTestFakeButtonEvent(display_, 1, True, CurrentTime);
    XFlush(display_);
}

void XScreen::Release() {
    XTestFakeButtonEvent(display_, 1, False, CurrentTime);
    XFlush(display_);
}

void XScreen::Wheel(int x, int y, int notches) {
    MoveTo(x, y);
    const unsigned button = notches > 0 ? 4 : 5;
    for (int n = 0; n < (notches > 0 ? notches : -notches); ++n) {
        XTestFakeButtonEvent(display_, button, True, CurrentTime);
        XTestFakeButtonEvent(display_, button, False, CurrentTime);
    }
    XFlush(display_);
}

namespace {

void SendKey(::_XDisplay* display, KeyCode code, bool down) {
    XTestFakeKeyEvent(display, code, down ? True : False, CurrentTime);
}

}  // namespace

void XScreen::Key(const char* keysym, const std::vector<const char*>& modifiers) {
    for (const char* modifier : modifiers) SendKey(display_, XKeysymToKeycode(display_, XStringToKeysym(modifier)), true);
    const KeyCode code = XKeysymToKeycode(display_, XStringToKeysym(keysym));
    SendKey(display_, code, true);
    SendKey(display_, code, false);
    for (const char* modifier : modifiers)
        SendKey(display_, XKeysymToKeycode(display_, XStringToKeysym(modifier)), false);
    XFlush(display_);
}

void XScreen::Type(std::string_view text) {
    const KeyCode shift = XKeysymToKeycode(display_, XK_Shift_L);
    for (const char c : text) {
        // Latin-1 characters are their own key symbols.
        const auto symbol = static_cast<KeySym>(static_cast<unsigned char>(c));
        const KeyCode code = XKeysymToKeycode(display_, symbol);
        const bool shifted = XkbKeycodeToKeysym(display_, code, 0, 0) != symbol;
        if (shifted) SendKey(display_, shift, true);
        SendKey(display_, code, true);
        SendKey(display_, code, false);
        if (shifted) SendKey(display_, shift, false);
    }
    XFlush(display_);
}

void XScreen::FocusAt(int x, int y) {
    Window root = DefaultRootWindow(display_);
    Window child = None;
    int childX = 0, childY = 0;
    if (!XTranslateCoordinates(display_, root, root, x, y, &childX, &childY, &child) || child == None) return;
    XSetInputFocus(display_, ClientWindowIn(display_, child), RevertToParent, CurrentTime);
    XFlush(display_);
}

void XScreen::Key(unsigned long keysym, bool shift) {
    const KeyCode shiftKey = XKeysymToKeycode(display_, XK_Shift_L);
    const KeyCode key = XKeysymToKeycode(display_, keysym);
    if (shift) XTestFakeKeyEvent(display_, shiftKey, True, CurrentTime);
    XTestFakeKeyEvent(display_, key, True, CurrentTime);
    XTestFakeKeyEvent(display_, key, False, CurrentTime);
    if (shift) XTestFakeKeyEvent(display_, shiftKey, False, CurrentTime);
    XFlush(display_);
}

void XScreen::Grab(TBitmap32& into) {
    Window root = DefaultRootWindow(display_);
    XWindowAttributes attributes;
    XGetWindowAttributes(display_, root, &attributes);
    XImage* image = XGetImage(display_, root, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
    into.SetSize(attributes.width, attributes.height);
    // Xvfb's 24-bit screen comes as 32-bit pixels in our own order: rows
    // are copied (a pixel at a time through Xlib took seconds a screen in
    // the sanitizer build).
    const bool ours = image->bits_per_pixel == 32 && image->byte_order == LSBFirst && image->red_mask == 0xFF0000 &&
                      image->green_mask == 0xFF00 && image->blue_mask == 0xFF;
    for (int y = 0; y < attributes.height; ++y) {
        TColor32* row = into.PixelPtr(0, y);
        if (ours) {
            const auto* source = reinterpret_cast<const uint32_t*>(image->data + static_cast<ptrdiff_t>(y) * image->bytes_per_line);
            for (int x = 0; x < attributes.width; ++x) row[x] = 0xFF000000u | source[x];
        } else {
            for (int x = 0; x < attributes.width; ++x)
                row[x] = 0xFF000000u | static_cast<uint32_t>(XGetPixel(image, x, y) & 0xFFFFFF);
        }
    }
    XDestroyImage(image);
}

TRect XScreen::PlaceOf(unsigned long window) {
    XWindowAttributes attributes;
    if (!window || !XGetWindowAttributes(display_, window, &attributes)) return {};
    int x = 0, y = 0;
    Window child = None;
    XTranslateCoordinates(display_, window, DefaultRootWindow(display_), 0, 0, &x, &y, &child);
    return {x, y, x + attributes.width, y + attributes.height};
}

TRect XScreen::FrameAround(unsigned long window) {
    Window top = window;
    for (;;) {
        Window root = None, parent = None, *children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(display_, top, &root, &parent, &children, &count)) return {};
        if (children) XFree(children);
        if (parent == root || parent == None) break;
        top = parent;
    }
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display_, top, &attributes)) return {};
    const int border = attributes.border_width;
    return {attributes.x, attributes.y, attributes.x + attributes.width + 2 * border,
            attributes.y + attributes.height + 2 * border};
}

TPoint XScreen::TitleBarOf(unsigned long window) {
    const TRect inside = PlaceOf(window);
    const TRect frame = FrameAround(window);
    const int middle = (inside.Left + inside.Right) / 2;
    if (frame.Top >= inside.Top) return {middle, inside.Top + 5};
    return {middle, (frame.Top + inside.Top) / 2};
}

void XScreen::Close(unsigned long window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display_, window, False, NoEventMask, &event);
    XSync(display_, False);
}

TSize XScreen::Size() {
    XWindowAttributes attributes;
    XGetWindowAttributes(display_, DefaultRootWindow(display_), &attributes);
    return {attributes.width, attributes.height};
}

bool XScreen::Managed() {
    // A manager that announces nothing (twm) redirects the root's
    // substructure all the same, which the server tells of the root.
    XWindowAttributes root;
    if (XGetWindowAttributes(display_, DefaultRootWindow(display_), &root) &&
        (root.all_event_masks & SubstructureRedirectMask))
        return true;
    Atom check = XInternAtom(display_, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == None) return false;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, left = 0;
    unsigned char* data = nullptr;
    const bool found = XGetWindowProperty(display_, DefaultRootWindow(display_), check, 0, 1, False, XA_WINDOW, &type,
                                          &format, &count, &left, &data) == Success &&
                       count == 1;
    if (data) XFree(data);
    return found;
}

std::string XScreen::ManagerName() {
    const std::vector<unsigned long> check = Property(DefaultRootWindow(display_), "_NET_SUPPORTING_WM_CHECK");
    if (check.empty()) return {};
    Atom type = None;
    int format = 0;
    unsigned long count = 0, left = 0;
    unsigned char* data = nullptr;
    std::string name;
    if (XGetWindowProperty(display_, check[0], XInternAtom(display_, "_NET_WM_NAME", False), 0, 64, False,
                           AnyPropertyType, &type, &format, &count, &left, &data) == Success &&
        data && format == 8)
        name.assign(reinterpret_cast<const char*>(data), count);
    if (data) XFree(data);
    return name;
}

namespace {

unsigned long FindTitled(::_XDisplay* display, Window window, std::string_view title) {
    char* name = nullptr;
    if (XFetchName(display, window, &name) && name) {
        const bool match = title == name;
        XFree(name);
        if (match) return window;
    }
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    unsigned long found = 0;
    if (XQueryTree(display, window, &root, &parent, &children, &count)) {
        for (unsigned int i = 0; i < count && !found; ++i) found = FindTitled(display, children[i], title);
        if (children) XFree(children);
    }
    return found;
}

}  // namespace

unsigned long XScreen::WindowTitled(std::string_view title) {
    return FindTitled(display_, DefaultRootWindow(display_), title);
}

std::string XScreen::ClassOf(unsigned long window) {
    XClassHint hint{};
    if (!XGetClassHint(display_, window, &hint)) return {};
    std::string result = hint.res_class ? hint.res_class : "";
    XFree(hint.res_name);
    XFree(hint.res_class);
    return result;
}

std::string XScreen::IconNameOf(unsigned long window) {
    char* name = nullptr;
    if (!XGetIconName(display_, window, &name) || !name) return {};
    std::string result = name;
    XFree(name);
    return result;
}

std::vector<unsigned long> XScreen::Property(unsigned long window, const char* name) {
    std::vector<unsigned long> items;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, left = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display_, window, XInternAtom(display_, name, False), 0, 64, False, AnyPropertyType,
                           &type, &format, &count, &left, &data) == Success &&
        data && format == 32) {
        // Xlib hands 32-bit items over as longs.
        const auto* longs = reinterpret_cast<const unsigned long*>(data);
        items.assign(longs, longs + count);
    }
    if (data) XFree(data);
    return items;
}

std::string XScreen::AtomName(unsigned long atom) {
    char* name = XGetAtomName(display_, atom);
    std::string result = name ? name : "";
    if (name) XFree(name);
    return result;
}

unsigned long XScreen::Root() { return DefaultRootWindow(display_); }

unsigned long XScreen::MakeHiddenWindow() {
    const Window window = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 1, 1, 0, 0, 0);
    XSync(display_, False);
    return window;
}

void XScreen::DestroyWindow(unsigned long window) {
    XDestroyWindow(display_, window);
    XSync(display_, False);
}

void XScreen::SetWindowProperty(unsigned long window, const char* name, unsigned long value) {
    const long item = static_cast<long>(value);
    XChangeProperty(display_, window, XInternAtom(display_, name, False), XA_WINDOW, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&item), 1);
    XSync(display_, False);
}

void XScreen::DeleteProperty(unsigned long window, const char* name) {
    XDeleteProperty(display_, window, XInternAtom(display_, name, False));
    XSync(display_, False);
}

void XScreen::Iconify(unsigned long window) {
    XIconifyWindow(display_, window, DefaultScreen(display_));
    XSync(display_, False);
}

bool XScreen::Iconic(unsigned long window) {
    const std::vector<unsigned long> state = Property(window, "WM_STATE");
    return !state.empty() && state[0] == IconicState;
}

unsigned long XScreen::FocusedWindow() {
    Window focus = None;
    int revert = 0;
    XGetInputFocus(display_, &focus, &revert);
    return focus == PointerRoot ? 0 : focus;
}

void XScreen::Focus(unsigned long window) {
    XSetInputFocus(display_, window ? window : None, RevertToParent, CurrentTime);
    XSync(display_, False);
}

void XScreen::FocusFollowsPointer() {
    XSetInputFocus(display_, PointerRoot, RevertToPointerRoot, CurrentTime);
    XSync(display_, False);
}

void XScreen::AskAboutAGoneWindow() {
    const Window gone = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 10, 10, 0, 0, 0);
    XDestroyWindow(display_, gone);
    XMapWindow(display_, gone);
    XSync(display_, False);
}

namespace {

bool refused = false;
int NoteRefusal(::_XDisplay*, XErrorEvent* error) {
    refused = refused || error->error_code == BadAccess;
    return 0;
}

}  // namespace

bool XScreen::TakeWindowRequests() {
    refused = false;
    XErrorHandler before = XSetErrorHandler(NoteRefusal);
    XSelectInput(display_, DefaultRootWindow(display_), SubstructureRedirectMask);
    XSync(display_, False);
    XSetErrorHandler(before);
    return !refused;
}

void XScreen::AnswerRequests(bool map) {
    XSync(display_, False);
    while (XPending(display_)) {
        XEvent event;
        XNextEvent(display_, &event);
        if (event.type == ConfigureRequest) {
            const XConfigureRequestEvent& r = event.xconfigurerequest;
            XWindowChanges changes{r.x, r.y, r.width, r.height, r.border_width, r.above, r.detail};
            const auto framed = frames_.find(r.window);
            if (framed == frames_.end()) {
                XConfigureWindow(display_, r.window, static_cast<unsigned>(r.value_mask), &changes);
                continue;
            }
            // The frame goes where the window is asked for (its border
            // outside that corner, if so made), the window within it, and
            // the window hears where it stands.
            const Framed& f = framed->second;
            const thorn::FrameEdges& e = f.edges;
            const int skew = f.borderOutsideMoves ? f.border : 0;
            XWindowAttributes now;
            XGetWindowAttributes(display_, r.window, &now);
            int x = 0, y = 0;
            Window child = None;
            XTranslateCoordinates(display_, r.window, DefaultRootWindow(display_), 0, 0, &x, &y, &child);
            const int left = (r.value_mask & CWX) ? r.x - skew : x - e.Left - f.border;
            const int top = (r.value_mask & CWY) ? r.y - skew : y - e.Top - f.border;
            const int width = (r.value_mask & CWWidth) ? r.width : now.width;
            const int height = (r.value_mask & CWHeight) ? r.height : now.height;
            XMoveResizeWindow(display_, f.frame, left, top, static_cast<unsigned>(width + e.Left + e.Right),
                              static_cast<unsigned>(height + e.Top + e.Bottom));
            XResizeWindow(display_, r.window, static_cast<unsigned>(width), static_cast<unsigned>(height));
            XEvent told{};
            told.xconfigure.type = ConfigureNotify;
            told.xconfigure.event = told.xconfigure.window = r.window;
            told.xconfigure.x = left + f.border + e.Left;
            told.xconfigure.y = top + f.border + e.Top;
            told.xconfigure.width = width;
            told.xconfigure.height = height;
            XSendEvent(display_, r.window, False, StructureNotifyMask, &told);
        } else if (event.type == MapRequest) {
            const Window window = event.xmaprequest.window;
            askedToMap_.push_back(window);
            if (!map) continue;
            if (frameEdges_ && !frames_.contains(window)) {
                const thorn::FrameEdges& e = *frameEdges_;
                XWindowAttributes asked;
                XGetWindowAttributes(display_, window, &asked);
                const Window frame = XCreateSimpleWindow(
                    display_, DefaultRootWindow(display_), asked.x, asked.y,
                    static_cast<unsigned>(asked.width + e.Left + e.Right),
                    static_cast<unsigned>(asked.height + e.Top + e.Bottom), static_cast<unsigned>(frameBorder_), 0,
                    0x808080);
                XSelectInput(display_, frame, SubstructureRedirectMask);
                XAddToSaveSet(display_, window);
                XReparentWindow(display_, window, frame, e.Left, e.Top);
                XMapWindow(display_, frame);
                frames_[window] = {frame, e, frameBorder_, borderOutsideMoves_};
            }
            if (frameEdges_) {
                const Atom state = XInternAtom(display_, "WM_STATE", False);
                const long normal[2] = {NormalState, None};
                XChangeProperty(display_, window, state, state, 32, PropModeReplace,
                                reinterpret_cast<const unsigned char*>(normal), 2);
            }
            XMapWindow(display_, window);
            if (frameEdges_ && tellFrame_) {
                const thorn::FrameEdges& e = *frameEdges_;
                const long b = frameBorder_;
                const long extents[4] = {e.Left + b, e.Right + b, e.Top + b, e.Bottom + b};
                XChangeProperty(display_, window, XInternAtom(display_, "_NET_FRAME_EXTENTS", False), XA_CARDINAL,
                                32, PropModeReplace, reinterpret_cast<const unsigned char*>(extents), 4);
            }
        }
    }
    XSync(display_, False);
}

void XScreen::FrameWindows(thorn::FrameEdges edges, bool tellOnceMapped, int border, bool borderOutsideMoves) {
    frameEdges_ = edges;
    tellFrame_ = tellOnceMapped;
    frameBorder_ = border;
    borderOutsideMoves_ = borderOutsideMoves;
}

void XScreen::LetGo(unsigned long window) {
    XDeleteProperty(display_, window, XInternAtom(display_, "WM_STATE", False));
    XSync(display_, False);
}

void XScreen::MapEveryWindowAskedFor() {
    for (unsigned long window : askedToMap_) XMapWindow(display_, window);
    XSync(display_, False);
}

bool XScreen::Viewable(unsigned long window) {
    XWindowAttributes attributes;
    return XGetWindowAttributes(display_, window, &attributes) && attributes.map_state == IsViewable;
}

void XScreen::Save(const std::filesystem::path& file) {
    TBitmap32 shot;
    Grab(shot);
    WriteBmp24(file, shot);
}

}  // namespace thorn::test
