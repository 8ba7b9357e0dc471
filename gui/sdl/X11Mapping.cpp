#include "gui/sdl/X11Mapping.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <poll.h>

#include <algorithm>
#include <chrono>

#include "gui/sdl/X11Handle.h"

namespace thorn {

namespace {

// How long a show waits for the window to come on the screen; a manager
// that takes longer maps it while the program goes on.
constexpr int kMapWaitMs = 100;
// How long a show waits for the manager to let go of a window it was
// withdrawing, and how long the event loop waits before it maps the
// window regardless.
constexpr int kLetGoWaitMs = 100;
constexpr uint64_t kLetGoLimitMs = 400;
// How long a request may go without effect before it is made again, and
// how often: a manager that keeps refusing is left to itself.
constexpr uint64_t kRepeatAfterMs = 400;
constexpr int kMaxRepeats = 25;

uint64_t NowMs() {
    using namespace std::chrono;
    return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

// The events of the window's own mapping and unmapping.
Bool IsMapping(Display*, XEvent* event, XPointer window) {
    const Window w = *reinterpret_cast<Window*>(window);
    return (event->type == MapNotify && event->xmap.window == w && event->xmap.event == w) ||
           (event->type == UnmapNotify && event->xunmap.window == w && event->xunmap.event == w);
}

}  // namespace

std::unique_ptr<X11Mapping> X11Mapping::For(SDL_Window* window) {
    const X11Handle x = X11HandleOf(window);
    if (!x) return nullptr;
    return std::unique_ptr<X11Mapping>(new X11Mapping(x.display, x.window));
}

int X11Mapping::MapState() const {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display_, window_, &attributes)) return IsUnmapped;
    return attributes.map_state;
}

bool X11Mapping::Viewable() const { return MapState() == IsViewable; }

X11Mapping::ManagerState X11Mapping::ReadManagerState() const {
    const Atom wmState = XInternAtom(display_, "WM_STATE", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, left = 0;
    unsigned char* data = nullptr;
    ManagerState state = ManagerState::Absent;
    if (XGetWindowProperty(display_, window_, wmState, 0, 2, False, wmState, &type, &format, &count, &left,
                           &data) == Success &&
        data && format == 32 && count >= 1) {
        switch (reinterpret_cast<const long*>(data)[0]) {
            case NormalState: state = ManagerState::Normal; break;
            case IconicState: state = ManagerState::Iconic; break;
            default: state = ManagerState::Withdrawn; break;
        }
    }
    if (data) XFree(data);
    return state;
}

bool X11Mapping::ManagerHolds() const {
    const ManagerState state = ReadManagerState();
    return state == ManagerState::Normal || state == ManagerState::Iconic;
}

bool X11Mapping::Iconic() const { return ReadManagerState() == ManagerState::Iconic; }

bool X11Mapping::WaitUntil(const std::function<bool()>& done, int ms) const {
    const uint64_t until = NowMs() + static_cast<uint64_t>(ms);
    while (!done()) {
        const uint64_t now = NowMs();
        if (now >= until) return false;
        // The events that answer may already be read; a short sleep on the
        // connection stands for waiting on them.
        pollfd connection{ConnectionNumber(display_), POLLIN, 0};
        poll(&connection, 1, static_cast<int>(std::min<uint64_t>(until - now, 5)));
    }
    return true;
}

void X11Mapping::Map() {
    XMapRaised(display_, window_);
    XFlush(display_);
    lastRequest_ = NowMs();
}

void X11Mapping::Withdraw() {
    XWithdrawWindow(display_, window_, DefaultScreen(display_));
    // Once the server has done it, its events are all here, and go.
    XSync(display_, False);
    XEvent event;
    Window window = window_;
    while (XCheckIfEvent(display_, &event, IsMapping, reinterpret_cast<XPointer>(&window))) {
    }
    lastRequest_ = NowMs();
}

void X11Mapping::Show() {
    wanted_ = true;
    settled_ = false;
    repeats_ = 0;
    if (withdrawing_) {
        // Mapped from Settle once the manager lets go, or after its limit.
        if (!WaitUntil([this] { return !ManagerHolds(); }, kLetGoWaitMs)) return;
        withdrawing_ = false;
    }
    Map();
    WaitUntil([this] { return Viewable(); }, kMapWaitMs);
    Settle();
}

void X11Mapping::Hide() {
    wanted_ = false;
    settled_ = false;
    repeats_ = 0;
    withdrawing_ = withdrawing_ || ManagerHolds();
    Withdraw();
    Settle();
}

void X11Mapping::Restore() {
    if (!wanted_) return;
    Map();
    WaitUntil([this] { return Viewable(); }, kMapWaitMs);
}

bool X11Mapping::Settle() {
    if (settled_) return true;
    const int mapState = MapState();
    const ManagerState manager = ReadManagerState();
    const uint64_t since = NowMs() - lastRequest_;
    const bool held = manager == ManagerState::Normal || manager == ManagerState::Iconic;
    auto repeat = [this](void (X11Mapping::*request)()) {
        if (++repeats_ > kMaxRepeats) {
            settled_ = true;  // the manager will not: it is left to it
            return;
        }
        (this->*request)();
    };
    if (wanted_) {
        if (mapState == IsViewable || manager == ManagerState::Iconic) {
            settled_ = true;
            withdrawing_ = false;
        } else if (withdrawing_) {
            if (!held || since >= kLetGoLimitMs) {
                withdrawing_ = false;
                Map();
            }
        } else if (mapState == IsUnmapped && since >= kRepeatAfterMs) {
            repeat(&X11Mapping::Map);
        }
        return settled_;
    }
    if (mapState == IsUnmapped && !held) {
        settled_ = true;
        withdrawing_ = false;
    } else if (mapState != IsUnmapped || since >= kRepeatAfterMs) {
        // Mapped by a manager that had not yet read the withdrawal, or
        // still held by one that missed it.
        repeat(&X11Mapping::Withdraw);
    }
    return settled_;
}

}  // namespace thorn
