#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

#include "gui/ControlTypes.h"
#include "gui/WindowPlacing.h"
#include "platform/Types.h"

class TBitmap32;
class TCustomForm;

// What the layer asks of the system it runs on: windows for forms and
// pop-ups, input, the clock, cursors and the clipboard. Two hosts implement
// it: SDL2 (real windows) and headless (tests drive it).
namespace thorn {

// A dialog was shown that the headless host was not told how to answer, or
// a modal dialog was left open with nothing left to close it. Application
// handlers never swallow it, so it ends the test that caused it.
class EUnscriptedDialog : public std::logic_error {
    using std::logic_error::logic_error;
};

enum class WindowKind {
    Normal,  // a form with a frame
    Dialog,  // a form with a frame that cannot be resized
    Popup,     // no frame, never activated, above the others, no input (hints)
    DropDown,  // no frame, never activated, above the others, takes the mouse
               // (drop-down lists, menus)
};

// Whether a window of this kind stands over others without being activated.
constexpr bool IsPopupKind(WindowKind kind) { return kind == WindowKind::Popup || kind == WindowKind::DropDown; }

enum class MouseAction { Down, Up, Move, DoubleClick, Wheel, Leave };

// Mouse input in the window's client coordinates.
struct MouseInput {
    MouseAction action = MouseAction::Move;
    TMouseButton button = mbLeft;
    TShiftState shift;  // buttons held and shift keys, after this event
    int x = 0;
    int y = 0;
    int wheelDelta = 0;  // 120 per notch; positive turns away from the user
};

enum class KeyAction { Down, Up };

struct KeyInput {
    KeyAction action = KeyAction::Down;
    TKey key = 0;
    TShiftState shift;
};

// What a host window reports to the form it shows.
class HostWindowClient {
public:
    virtual ~HostWindowClient() = default;
    virtual void HostMouse(const MouseInput& input) = 0;
    virtual void HostKey(const KeyInput& input) = 0;
    // Typed characters, already in Windows-1252.
    virtual void HostChar(char ch) = 0;
    // The window's client area was resized or moved by the user or the system.
    virtual void HostResized(int width, int height) = 0;
    virtual void HostMoved(int left, int top) = 0;
    // The window system told the frame of a window shown with its frame
    // only guessed (a window manager that tells it once it has framed the
    // window), after the window was put inside the work area with it.
    virtual void HostFrameRead() = 0;
    virtual void HostCloseRequested() = 0;
    virtual void HostActivated(bool active) = 0;
    // The user maximised, minimised or restored the window from its frame.
    virtual void HostWindowStateChanged(TWindowState state) = 0;
    // The system lost the window's pixels: everything must be presented again.
    virtual void HostExposed() = 0;
    // Input the window was not given went elsewhere, or may have: another
    // program took the keyboard for a while, or let it go (a grab, as a
    // window manager takes a key of its own), or a mouse button went down
    // wherever it went (a window manager takes a click with Alt held).
    virtual void HostOtherInput() {}
};

// An operating-system window showing one form or pop-up.
class HostWindow {
public:
    virtual ~HostWindow() = default;
    // Screen position and client size.
    virtual void SetBounds(const TRect& screenRect) = 0;
    virtual void SetCaption(std::string_view caption) = 0;
    virtual void SetVisible(bool visible) = 0;
    // Brings the window to the front and gives it the keyboard.
    virtual void Activate() = 0;
    // Gives the window the keyboard back as another window of the program
    // hides, unless the user has chosen another window since the input
    // the program last handled (the window system then keeps that choice).
    virtual void ReturnKeyboard() { Activate(); }
    // Gives the window the keyboard back once a window that held the
    // program's other windows disabled has hidden: where the window system
    // put the keyboard meanwhile was no choice of the user's. The window
    // is not raised. On a desktop the host sees that the keyboard gets
    // there and stays (a window manager may move it on, or drop it). A
    // window that holds the keyboard already has its form told again: the
    // form took no activation while it was disabled.
    virtual void TakeKeyboardBack() { Activate(); }
    // Shows the given rectangles of the form's back buffer (the window's
    // client size); alpha is ignored.
    virtual void Present(const TBitmap32& buffer, std::span<const TRect> rects) = 0;
    // Keeps mouse input coming while the pointer is outside the window.
    virtual void SetCapture(bool capture) = 0;
    // The smallest and largest client size the user may give the window
    // (0: no limit).
    virtual void SetMinimumSize(int width, int height) {}
    virtual void SetMaximumSize(int width, int height) {}
    // The frame (resizable or not, with or without a border), staying above
    // other windows, and maximised, minimised or normal; a host does what its
    // system allows.
    virtual void SetBorderStyle(TFormBorderStyle style) = 0;
    virtual void SetFormStyle(TFormStyle style) = 0;
    virtual void SetWindowState(TWindowState state) = 0;
    // Ties the window to owner's for as long as both live: the window system
    // keeps it above owner (a dialog over the window it was opened from).
    // Asked before each modal show.
    virtual void SetModalFor(HostWindow& owner) {}
    // The window belongs to owner's without being modal (a progress window
    // over the window it reports for); null: to none. Asked before each
    // show that is not modal.
    virtual void SetOwner(HostWindow* owner) {}
    // The commands the window's frame offers (close, minimise, maximise).
    virtual void SetBorderIcons(TBorderIcons icons) {}
    // The pixels the window shows now (opaque), sized to its client area.
    virtual void ReadPixels(TBitmap32& into) const = 0;
    // The frame the window system gives the window, or will give it when
    // it shows (none for a window without one).
    virtual FrameEdges GetFrame() { return {}; }
};

class Host {
public:
    virtual ~Host() = default;

    virtual std::unique_ptr<HostWindow> CreateWindow(HostWindowClient& client, WindowKind kind) = 0;

    // Delivers the input waiting for the windows. With timeoutMs > 0 (or -1:
    // no limit), first waits that long for something to arrive, unless the
    // host cannot wait (see CanWait). Answers how many events it delivered.
    virtual int PumpEvents(int timeoutMs) = 0;
    // Whether PumpEvents can wait for input that has not arrived yet. The
    // headless host cannot: only a test makes input.
    virtual bool CanWait() const = 0;
    // Ends a wait of PumpEvents early.
    virtual void Wake() = 0;
    // Milliseconds on the host's clock.
    virtual uint64_t Now() const = 0;

    virtual void SetCursor(TCursor cursor) = 0;
    virtual TPoint GetCursorPos() const = 0;
    virtual std::string GetClipboardText() const = 0;
    virtual void SetClipboardText(std::string_view text) = 0;
    // The usable desktop area.
    virtual TRect GetWorkArea() const = 0;
    // The application's title, which the desktop shows for its windows
    // (task bar, window lists) where the window system has a place for it.
    virtual void SetApplicationTitle(std::string_view title) {}

    // A modal form is about to run its loop: the headless host answers it
    // from its script here (acting on the form, setting its modal result).
    virtual void ModalStarting(TCustomForm& form) {}
    // A modal form is still open and nothing is left to close it (only a host
    // that cannot wait calls this); the headless host throws EUnscriptedDialog.
    virtual void ModalStalled(TCustomForm& form) {}
};

}  // namespace thorn
