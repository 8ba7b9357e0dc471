#include "XScreen.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <X11/extensions/XTest.h>

#include "support/PictureFiles.h"

namespace thorn::test {

XScreen::XScreen() : display_(XOpenDisplay(nullptr)) {}

XScreen::~XScreen() {
    if (display_) XCloseDisplay(display_);
}

void XScreen::MoveTo(int x, int y) {
    XTestFakeMotionEvent(display_, -1, x, y, CurrentTime);
    XFlush(display_);
}

void XScreen::FocusWindowUnderPointer() {
    Window root = DefaultRootWindow(display_), returnedRoot = 0, child = 0;
    int rootX = 0, rootY = 0, x = 0, y = 0;
    unsigned int mask = 0;
    XQueryPointer(display_, root, &returnedRoot, &child, &rootX, &rootY, &x, &y, &mask);
    XWindowAttributes attributes;
    // As a window manager does for a click: a pop-up keeps the keyboard
    // where it is.
    if (!child || !XGetWindowAttributes(display_, child, &attributes) || attributes.override_redirect) return;
    XSetInputFocus(display_, child, RevertToPointerRoot, CurrentTime);
}

void XScreen::Click(int x, int y) {
    MoveTo(x, y);
    FocusWindowUnderPointer();
    XTestFakeButtonEvent(display_, 1, True, CurrentTime);
    XTestFakeButtonEvent(display_, 1, False, CurrentTime);
    XFlush(display_);
}

void XScreen::Click(int x, int y, const std::vector<const char*>& modifiers) {
    MoveTo(x, y);
    FocusWindowUnderPointer();
    for (const char* modifier : modifiers)
        XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, XStringToKeysym(modifier)), True, CurrentTime);
    Click(x, y);
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
    XSetInputFocus(display_, child, RevertToParent, CurrentTime);
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
    for (int y = 0; y < attributes.height; ++y)
        for (int x = 0; x < attributes.width; ++x)
            into.SetPixel(x, y, 0xFF000000u | static_cast<uint32_t>(XGetPixel(image, x, y) & 0xFFFFFF));
    XDestroyImage(image);
}

void XScreen::Save(const std::filesystem::path& file) {
    TBitmap32 shot;
    Grab(shot);
    WriteBmp24(file, shot);
}

}  // namespace thorn::test
