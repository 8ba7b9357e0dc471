#pragma once

#include <cstdint>
#include <functional>
#include <memory>

struct SDL_Window;
struct _XDisplay;

namespace thorn {

// Maps and withdraws one top-level X window as its form asks, and never
// waits on the X server or the window manager beyond a short limit.
//
// SDL 2.26 cannot be asked to: its show waits in XIfEvent, with no limit,
// for the MapNotify of the window it maps, and a window manager that does
// not map the window freezes the program there for good. icewm did so when
// a window was shown again a few milliseconds after it was withdrawn: the
// manager, still busy withdrawing it, dropped the new request. The window
// is therefore mapped and withdrawn here through its X handle, as GLFW
// does: each request waits a bounded time for its effect, following the
// rule a manager expects (a withdrawn window is mapped again only once the
// manager has let go of it, WM_STATE gone or Withdrawn), and Settle, run
// from the event loop, puts right what a manager still loses: a window
// asked for that nobody mapped is mapped again, one mapped after it was
// withdrawn is withdrawn again. Without a manager every request takes
// effect at once.
//
// SDL's own idea of the window follows: SDL reads the MapNotify of a map
// from the connection as usual (and reports the window shown); the events
// of a withdrawal are taken out of its way, since SDL takes an unmapped
// window for a minimised one, and the caller then tells SDL the window is
// hidden, which SDL can do without waiting once the window is unmapped.
class X11Mapping {
public:
    // Null when the window is no X window.
    static std::unique_ptr<X11Mapping> For(SDL_Window* window);

    // Maps the window and waits a short time for it to be on the screen.
    void Show();
    // Withdraws the window; the X server unmaps it at once.
    void Hide();
    // Maps an iconified window that is wanted on the screen: the manager
    // takes that as a request to restore it.
    void Restore();
    // Puts right what the window manager made of the requests; answers
    // whether the window now stands as asked (iconified counts as shown).
    bool Settle();
    bool Settled() const { return settled_; }
    // Whether the window is on the screen (mapped, its frame too).
    bool Viewable() const;
    // Whether the window manager keeps it iconified.
    bool Iconic() const;

private:
    X11Mapping(_XDisplay* display, unsigned long window) : display_(display), window_(window) {}
    // What the window manager's WM_STATE says (absent: it does not manage
    // the window).
    enum class ManagerState { Absent, Withdrawn, Normal, Iconic };
    ManagerState ReadManagerState() const;
    bool ManagerHolds() const;
    int MapState() const;
    void Map();
    void Withdraw();
    // Waits until done() or for at most ms milliseconds, reading what the
    // server sends meanwhile; answers done().
    bool WaitUntil(const std::function<bool()>& done, int ms) const;

    _XDisplay* display_;
    unsigned long window_;
    bool wanted_ = false;
    bool settled_ = true;
    // Withdrawn while the manager held it, and not yet let go of.
    bool withdrawing_ = false;
    // Requests repeated since the last one asked for.
    int repeats_ = 0;
    uint64_t lastRequest_ = 0;  // milliseconds on a steady clock
};

}  // namespace thorn
