#include "gui/sdl/X11KeyboardWatch.h"

#include <SDL2/SDL.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

#include "gui/sdl/X11Handle.h"
#include "gui/sdl/X11Window.h"

namespace thorn {

// What the user does anywhere on the screen: the raw events of the keys,
// the buttons and the pointer's moves, on a connection of its own (SDL's
// own reading of its connection would take them).
class X11KeyboardWatch::UserInput {
public:
    // None where the server has no XInput 2.1 (before it, raw events stop
    // while a grab is active), or no connection can be made.
    static std::unique_ptr<UserInput> Open(Display* like) {
        Display* display = XOpenDisplay(DisplayString(like));
        if (!display) return nullptr;
        int opcode = 0, firstEvent = 0, firstError = 0;
        // Announcing 2.2 makes the server send raw events whatever grab is
        // active; it answers with the version both know.
        int major = 2, minor = 2;
        if (!XQueryExtension(display, "XInputExtension", &opcode, &firstEvent, &firstError) ||
            XIQueryVersion(display, &major, &minor) != Success || major < 2 || (major == 2 && minor < 1)) {
            XCloseDisplay(display);
            return nullptr;
        }
        return std::unique_ptr<UserInput>(new UserInput(display, opcode));
    }
    ~UserInput() { XCloseDisplay(display_); }
    UserInput(const UserInput&) = delete;
    UserInput& operator=(const UserInput&) = delete;

    // The events are sent from now on, and what came before is dropped.
    void Begin() { Select(true); }
    // None are sent any more.
    void Stop() { Select(false); }

    // Takes in what the user did since Begin, up to this call: the round
    // trip brings every event the server made before it.
    void Read(bool& pressed, bool& moved) {
        XSync(display_, False);
        while (XEventsQueued(display_, QueuedAlready) > 0) {
            XEvent event;
            XNextEvent(display_, &event);
            if (event.type != GenericEvent || event.xcookie.extension != opcode_) continue;
            switch (event.xcookie.evtype) {
                case XI_RawKeyPress:
                case XI_RawButtonPress: pressed = true; break;
                case XI_RawMotion: moved = true; break;
                default: break;
            }
        }
    }

    // Whether the pointer lies in the window on the root (a window
    // manager's frame, or a window without one) that holds the window
    // with the keyboard.
    bool PointerOnKeyboard() {
        Window focus = None;
        int revert = 0;
        XGetInputFocus(display_, &focus, &revert);
        const Window root = DefaultRootWindow(display_);
        Window pointerRoot = None, under = None;
        int rootX = 0, rootY = 0, x = 0, y = 0;
        unsigned int buttons = 0;
        if (focus == None || focus == PointerRoot || focus == root ||
            !XQueryPointer(display_, root, &pointerRoot, &under, &rootX, &rootY, &x, &y, &buttons) || under == None)
            return false;
        const Window top = X11TopLevelOf(display_, focus);
        return top != None && top == under;
    }

private:
    UserInput(Display* display, int opcode) : display_(display), opcode_(opcode) {}

    void Select(bool on) {
        unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
        if (on) {
            XISetMask(bits, XI_RawKeyPress);
            XISetMask(bits, XI_RawButtonPress);
            XISetMask(bits, XI_RawMotion);
        }
        XIEventMask mask{XIAllMasterDevices, static_cast<int>(sizeof bits), bits};
        XISelectEvents(display_, DefaultRootWindow(display_), &mask, 1);
        // Whatever the server sent before is dropped.
        XSync(display_, True);
    }

    Display* display_;
    int opcode_;
};

X11KeyboardWatch::X11KeyboardWatch() = default;
X11KeyboardWatch::~X11KeyboardWatch() = default;

void X11KeyboardWatch::Watch(uint32_t id, SDL_Window* window, unsigned long userTime) {
    // Long enough for a window manager to have let go of the window that
    // hid, and done what it does with the keyboard then.
    constexpr uint64_t kWatchMs = 1000;
    if (!inputTried_) {
        inputTried_ = true;
        if (const X11Handle x = X11HandleOf(window)) input_ = UserInput::Open(x.display);
    }
    heir_ = id;
    until_ = SDL_GetTicks64() + kWatchMs;
    userTime_ = userTime;
    moved_ = false;
    if (input_) input_->Begin();
}

void X11KeyboardWatch::Forget(uint32_t unless) {
    if (heir_ != 0 && heir_ != unless) End();
}

void X11KeyboardWatch::End() {
    heir_ = 0;
    if (input_) input_->Stop();
}

void X11KeyboardWatch::Keep(SDL_Window* heir, std::span<SDL_Window* const> ours, unsigned long userTime) {
    if (heir_ == 0) return;
    // The user's input the program handled ends it, as does the end of
    // the watch.
    if (!heir || userTime != userTime_ || SDL_GetTicks64() >= until_) {
        End();
        return;
    }
    // Where the keyboard is is read first, what the user did then: a press
    // that had the keyboard moved is among what is read.
    const X11KeyboardPlace place = X11KeyboardPlaceOf(heir, ours);
    bool pressed = false;
    if (input_) input_->Read(pressed, moved_);
    if (pressed) {
        End();
        return;
    }
    switch (place) {
        case X11KeyboardPlace::Here: break;
        case X11KeyboardPlace::Ours:
            if (!input_ || (moved_ && input_->PointerOnKeyboard())) {
                End();
                break;
            }
            X11GiveKeyboard(heir);
            break;
        case X11KeyboardPlace::Nowhere: X11GiveKeyboard(heir); break;
        // Another program's window: the user's choice stands.
        case X11KeyboardPlace::Elsewhere:
        case X11KeyboardPlace::Unknown: End(); break;
    }
}

}  // namespace thorn
