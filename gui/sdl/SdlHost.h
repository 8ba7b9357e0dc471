#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "gui/Host.h"
#include "gui/sdl/X11KeyboardWatch.h"
#include "gui/sdl/X11Placing.h"

struct SDL_Window;
struct SDL_Cursor;
union SDL_Event;

namespace thorn {

class SdlWindow;

// The host on SDL2: every form and pop-up is a real window whose surface
// shows the form's back buffer (alpha ignored); input, cursors, the
// clipboard and the clock come from SDL. Text input arrives as UTF-8 and is
// handed on in Windows-1252; characters outside it are refused.
class SdlHost : public Host {
public:
    // Starts SDL's video; throws EOutOfResources when it cannot.
    SdlHost();
    ~SdlHost() override;
    SdlHost(const SdlHost&) = delete;
    SdlHost& operator=(const SdlHost&) = delete;

    std::unique_ptr<HostWindow> CreateWindow(HostWindowClient& client, WindowKind kind) override;
    int PumpEvents(int timeoutMs) override;
    bool CanWait() const override { return true; }
    void Wake() override;
    uint64_t Now() const override;
    void SetCursor(TCursor cursor) override;
    TPoint GetCursorPos() const override;
    std::string GetClipboardText() const override;
    void SetClipboardText(std::string_view text) override;
    TRect GetWorkArea() const override;
    // On X11: the windows' icon name and class.
    void SetApplicationTitle(std::string_view title) override;

    // The name of SDL's video driver in use ("x11", "wayland", "dummy" ...).
    std::string VideoDriver() const;
    // Whether a window given the keyboard back is watched still.
    bool KeyboardWatched() const;

private:
    friend class SdlWindow;
    void Dispatch(const SDL_Event& event);
    // The system asks the program to end (SIGTERM at a logout, SIGINT): the
    // application's main window hears it as a click on its close box, so
    // it asks what its close box asks. While a modal dialog or a message
    // box shows, or a long operation runs, the request is kept, and heard
    // once the main window takes input again: the box asks something only
    // the user can answer (whether to save, whether to go on), and
    // answering it for them, even as cancelled, could leave a command half
    // done or lose what they meant to keep; the close then asks to save a
    // changed project as the close box does.
    void RequestMainWindowClose();
    void DeliverCloseRequest();
    SdlWindow* WindowOfId(uint32_t id) const;
    // The window the keys reach now (null: none of ours), and the window a
    // key or character event of SDL's belongs to.
    SdlWindow* KeysReach() const;
    SdlWindow* KeyWindowOfId(uint32_t id) const;
    // Whether a pop-up of ours is on the screen.
    bool PopupShown() const;
    // The windows that stay on top, shown, put back above one just raised.
    void KeepOnTopWindowsAbove(SDL_Window* raised);
    // The window given the keyboard back is watched a while (see
    // X11KeyboardWatch). Any other window the program activates ends the
    // watch.
    void KeepKeyboardOnHeir();

    std::map<uint32_t, SdlWindow*> windows_;
    std::map<TCursor, SDL_Cursor*> cursors_;
    std::string title_;
    // What the windows learnt of the window manager's frames.
    X11FramesSeen frames_;
    uint32_t wakeEvent_ = 0;
    uint64_t lastSettle_ = 0;
    bool closeRequested_ = false;
    // The shift keys and mouse buttons held as of the event being handled,
    // followed from the events in their order: SDL's own state is the one
    // after the whole queue, which loses a Ctrl held around a quick click.
    uint16_t heldMods_ = 0;
    uint32_t heldButtons_ = 0;
    // The X server has just told the keys held (the keyboard came to a
    // window or left it, or the pointer came): the key events SDL gives
    // until the next X event are its account of them, not keys pressed.
    bool keysHeldTold_ = false;
    // The X server's time of the last key or button the program handled
    // (0: none yet).
    unsigned long userTime_ = 0;
    X11KeyboardWatch keyboardWatch_;
};

}  // namespace thorn
