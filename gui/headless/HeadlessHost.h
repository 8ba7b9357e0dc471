#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "bitmap/Pix32.h"
#include "gui/Host.h"
#include "platform/Components.h"

class TCustomForm;

namespace thorn {

class HeadlessWindow;

// How the headless host answers the next modal dialog or message box.
struct DialogScript {
    // When not empty, the dialog's text (a message box's text, another
    // form's caption) must contain it.
    std::string expectText;
    // The modal result to close it with (for a message box, the ID of one of
    // its buttons); 0 leaves it to act.
    int result = 0;
    // Runs on the shown dialog before the result is set: a test can fill
    // in fields or inject input here.
    std::function<void(TCustomForm&)> act;
};

// A host without windows, for tests. Input is injected by the test and
// handled at once (the application's ProcessMessages runs after each call);
// time passes only through Advance, on a virtual clock starting at 0;
// windows keep the pixels the forms present, which the test reads back.
// Every modal dialog is answered from a script the test queues beforehand;
// one that nothing answers fails the test with its text (EUnscriptedDialog).
// Beeps are counted.
class HeadlessHost : public Host {
public:
    HeadlessHost();
    ~HeadlessHost() override;

    // ---- Host
    std::unique_ptr<HostWindow> CreateWindow(HostWindowClient& client, WindowKind kind) override;
    int PumpEvents(int timeoutMs) override;
    bool CanWait() const override { return false; }
    void Wake() override {}
    uint64_t Now() const override { return now_; }
    void SetCursor(TCursor cursor) override { cursor_ = cursor; }
    TPoint GetCursorPos() const override { return cursorPos_; }
    std::string GetClipboardText() const override { return clipboard_; }
    void SetClipboardText(std::string_view text) override { clipboard_ = text; }
    TRect GetWorkArea() const override { return workArea_; }
    void ModalStarting(TCustomForm& form) override;
    void ModalStalled(TCustomForm& form) override;

    // ---- the clock
    // Moves the clock forward, stopping at every timer's due time to fire it.
    void Advance(uint64_t milliseconds);

    // ---- mouse, in the form's client coordinates
    void MouseMove(TCustomForm& form, int x, int y, TShiftState shift = {});
    void MouseDown(TCustomForm& form, int x, int y, TMouseButton button = mbLeft, TShiftState shift = {});
    void MouseUp(TCustomForm& form, int x, int y, TMouseButton button = mbLeft, TShiftState shift = {});
    // Move, press and release.
    void Click(TCustomForm& form, int x, int y, TMouseButton button = mbLeft, TShiftState shift = {});
    // A click, then a second press reported as a double click, and its release.
    void DoubleClick(TCustomForm& form, int x, int y, TShiftState shift = {});
    // Press at the start, moves in steps, release at the end.
    void Drag(TCustomForm& form, TPoint from, TPoint to, int steps = 4, TMouseButton button = mbLeft);
    void Wheel(TCustomForm& form, int x, int y, int delta, TShiftState shift = {});
    void MouseLeave(TCustomForm& form);

    // ---- keyboard, to the active form; with none (it was freed or hidden
    // and no window took the keyboard) the keys go nowhere, as on a desktop
    // where no window has it
    void KeyDown(TKey key, TShiftState shift = {});
    void KeyUp(TKey key, TShiftState shift = {});
    // Down and up.
    void PressKey(TKey key, TShiftState shift = {});
    // Types Windows-1252 characters.
    void TypeText(std::string_view text);
    // Types text as a keyboard delivers it, in UTF-8: a character outside
    // Windows-1252 is refused with a beep, as the SDL host does.
    void TypeUtf8(std::string_view utf8);

    // ---- windows
    HeadlessWindow* WindowOf(const TCustomForm& form) const;
    bool IsWindowVisible(const TCustomForm& form) const;
    // What the form's window shows (opaque); empty when it has none.
    void Snapshot(const TCustomForm& form, TBitmap32& into) const;
    // One shown pixel, opaque; 0 outside the window.
    TColor32 PixelAt(const TCustomForm& form, int x, int y) const;
    // How many rectangles were presented to the window so far, and the last ones.
    int PresentCount(const TCustomForm& form) const;
    std::vector<TRect> LastPresented(const TCustomForm& form) const;
    HostWindowClient* ActiveClient() const { return active_; }
    TCursor GetShownCursor() const { return cursor_; }
    void SetWorkArea(const TRect& area) { workArea_ = area; }
    // The frame a window manager gives every framed window (none: a bare
    // desktop, as by default).
    void SetFrame(FrameEdges frame) { frame_ = frame; }
    FrameEdges Frame() const { return frame_; }
    // A window manager that tells a frame only once it has framed the
    // window: the framed windows shown (with the frame set before, a guess)
    // get this frame now, each is put inside the work area with it, and its
    // form hears of the place and then of the frame. Windows shown later
    // get it beforehand.
    void FrameShownWindows(FrameEdges frame);
    // The same for one window only (a manager that frames windows one by
    // one, and a tool window otherwise than a main window): the windows
    // not framed yet, shown or not, take this frame for a guess.
    void FrameShownWindow(TCustomForm& form, FrameEdges frame);
    // The user closes the form from its frame.
    void RequestClose(TCustomForm& form);
    // The user drags the form's frame to a new client size: a window with a
    // fixed border keeps its size, others are held within their limits.
    void ResizeWindow(TCustomForm& form, int width, int height);
    // The user drags the form's frame so that its client area stands at
    // left, top on the screen.
    void MoveWindow(TCustomForm& form, int left, int top);
    // The user maximises, minimises or restores the form from its frame.
    void ChangeWindowState(TCustomForm& form, TWindowState state);

    // Another program grabs the keyboard and lets it go again, as a window
    // manager does for a key of its own (Alt with an arrow): the active
    // window hears of it as from the window system's focus events.
    void GrabKeyboardElsewhere();

    // ---- focus events as a window system sends them: the keyboard moves
    // at once, and the forms hear of it when the clock next moves (a window
    // shown and hidden at once is told of neither)
    void SetFocusEventsLate(bool late) { lateFocus_ = late; }

    // ---- dialogs
    void ScriptDialog(DialogScript script);
    // The next dialog must be a message box (containing expectText when
    // given); it is answered with the button id.
    void AnswerMessageBox(int id, std::string expectText = {});
    // The next dialog must be a file dialog (titled expectTitle when given):
    // name is typed into its name box and confirmed as the Open or Save
    // button does, so folders, filters, the default extension and the
    // dialog's refusals and questions go as for a user (their message boxes
    // answered from the script in turn). A name the dialog does not take
    // leaves it open, which fails the test.
    void AnswerFileDialog(std::string name, std::string expectTitle = {});
    // The next dialog must be a font dialog: the family, style, size,
    // effects and colour of font are picked and confirmed. A family or
    // style the dialog does not offer fails the test.
    void AnswerFontDialog(const TFont& font, std::string expectTitle = {});
    // The next dialog must be a colour dialog: color is picked and confirmed.
    void AnswerColorDialog(TColor color, std::string expectTitle = {});
    // The next dialog (whose text contains expectText when given) is
    // cancelled.
    void CancelDialog(std::string expectText = {});
    size_t PendingScripts() const { return scripts_.size(); }
    // The text of every modal dialog shown, in order.
    const std::vector<std::string>& ShownDialogs() const { return shown_; }

    // ---- beeps: the host hears every MessageBeep while it lives
    int BeepCount() const { return beeps_; }

private:
    friend class HeadlessWindow;
    struct Pending {
        ComponentRef<TCustomForm> form;
        std::variant<MouseInput, KeyInput, char> input;
    };
    void Queue(TCustomForm* form, std::variant<MouseInput, KeyInput, char> input);
    void Deliver();
    void Activate(HeadlessWindow* window);
    void Forget(HeadlessWindow* window);
    // Tells the window's form it gained or lost the keyboard, now or when
    // the clock next moves.
    void TellFocus(HeadlessWindow* window, bool active);
    void DeliverLateFocus();
    // Frames one shown window; answers false when a handler freed it.
    bool FrameWindow(HeadlessWindow* window, FrameEdges frame);
    TShiftState Held() const;
    // The active form; null when no window holds the keyboard.
    TCustomForm* KeyTarget() const;
    void QueueKey(std::variant<MouseInput, KeyInput, char> input);

    uint64_t now_ = 0;
    std::deque<Pending> queue_;
    std::vector<HeadlessWindow*> windows_;
    HostWindowClient* active_ = nullptr;
    HeadlessWindow* activeWindow_ = nullptr;
    TCursor cursor_ = crDefault;
    TPoint cursorPos_;
    std::string clipboard_;
    TRect workArea_{0, 0, 1280, 1024};
    FrameEdges frame_;
    struct FocusEvent {
        HeadlessWindow* window;
        bool active;
    };
    std::deque<FocusEvent> lateFocusEvents_;
    bool lateFocus_ = false;
    bool left_ = false, right_ = false, middle_ = false;
    std::deque<DialogScript> scripts_;
    std::vector<std::string> shown_;
    int beeps_ = 0;
    std::function<void(uint32_t)> outerBeep_;  // the sink before this host's
};

// The headless window of one form.
class HeadlessWindow : public HostWindow {
public:
    HeadlessWindow(HeadlessHost& host, HostWindowClient& client, WindowKind kind);
    ~HeadlessWindow() override;

    void SetBounds(const TRect& screenRect) override { bounds_ = screenRect; }
    void SetCaption(std::string_view caption) override { caption_ = caption; }
    void SetVisible(bool visible) override;
    void Activate() override;
    void TakeKeyboardBack() override;
    void Present(const TBitmap32& buffer, std::span<const TRect> rects) override;
    void SetCapture(bool capture) override { capture_ = capture; }
    void SetBorderStyle(TFormBorderStyle style) override { borderStyle_ = style; }
    void SetFormStyle(TFormStyle style) override { formStyle_ = style; }
    // Maximised, the window takes the work area and tells its form; back to
    // normal, it returns to where it was.
    void SetWindowState(TWindowState state) override;
    void SetMinimumSize(int width, int height) override { minSize_ = {width, height}; }
    void SetMaximumSize(int width, int height) override { maxSize_ = {width, height}; }
    void ReadPixels(TBitmap32& into) const override;
    // Its own frame once framed alone, else the one every window gets.
    FrameEdges GetFrame() override {
        if (!host_ || IsPopupKind(kind_) || borderStyle_ == bsNone) return {};
        return ownFrame_ ? *ownFrame_ : host_->Frame();
    }
    // One shown pixel, opaque; 0 outside.
    TColor32 ShownPixel(int x, int y) const;

    HostWindowClient& Client() const { return client_; }
    WindowKind Kind() const { return kind_; }
    bool Visible() const { return visible_; }
    const TRect& Bounds() const { return bounds_; }
    const std::string& Caption() const { return caption_; }
    bool Captured() const { return capture_; }
    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    TFormStyle FormStyle() const { return formStyle_; }
    TWindowState WindowState() const { return windowState_; }
    TSize MinimumSize() const { return minSize_; }
    TSize MaximumSize() const { return maxSize_; }
    int PresentCount() const { return presents_; }
    const std::vector<TRect>& LastPresented() const { return lastPresented_; }

private:
    friend class HeadlessHost;
    HeadlessHost* host_;
    HostWindowClient& client_;
    WindowKind kind_;
    TRect bounds_;
    std::string caption_;
    bool visible_ = false;
    bool capture_ = false;
    TFormBorderStyle borderStyle_ = bsSizeable;
    TFormStyle formStyle_ = fsNormal;
    TWindowState windowState_ = wsNormal;
    TRect restoredBounds_;
    std::optional<FrameEdges> ownFrame_;
    TSize minSize_;
    TSize maxSize_;
    TBitmap32 shown_;
    int presents_ = 0;
    std::vector<TRect> lastPresented_;
};

}  // namespace thorn

class TApplication;

namespace thorn {

// The application on a headless host, for a test's lifetime.
class HeadlessApplication {
public:
    HeadlessApplication();
    ~HeadlessApplication();
    HeadlessApplication(const HeadlessApplication&) = delete;
    HeadlessApplication& operator=(const HeadlessApplication&) = delete;

    HeadlessHost& Host() const { return *host_; }
    TApplication& App() const { return *app_; }

private:
    HeadlessHost* host_ = nullptr;
    std::unique_ptr<TApplication> app_;
};

}  // namespace thorn
