#include "gui/headless/HeadlessHost.h"

#include <algorithm>

#include "gui/Application.h"
#include "gui/ColorDialog.h"
#include "gui/Edit.h"
#include "gui/FileDialogForm.h"
#include "gui/FontDialogForm.h"
#include "gui/MessageBox.h"
#include "platform/Beep.h"
#include "platform/Charset.h"

namespace thorn {

namespace {

void Process() {
    if (Application) Application->ProcessMessages();
}

}  // namespace

// ================================================================ the window

HeadlessWindow::HeadlessWindow(HeadlessHost& host, HostWindowClient& client, WindowKind kind)
    : host_(&host), client_(client), kind_(kind) {}

HeadlessWindow::~HeadlessWindow() {
    if (host_) host_->Forget(this);
}

void HeadlessWindow::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    if (!visible && host_ && host_->activeWindow_ == this) {
        host_->activeWindow_ = nullptr;
        host_->active_ = nullptr;
        host_->TellFocus(this, false);
    }
}

void HeadlessWindow::SetWindowState(TWindowState state) {
    if (state == windowState_) return;
    TWindowState old = windowState_;
    windowState_ = state;
    TRect target;
    if (state == wsMaximized) {
        restoredBounds_ = bounds_;
        target = host_ ? host_->GetWorkArea() : bounds_;
    } else if (state == wsNormal && old == wsMaximized) {
        target = restoredBounds_;
    } else {
        return;
    }
    bounds_ = target;
    client_.HostMoved(target.Left, target.Top);
    client_.HostResized(target.Width(), target.Height());
}

void HeadlessWindow::Activate() {
    if (host_ && visible_ && !IsPopupKind(kind_)) host_->Activate(this);
}

void HeadlessWindow::TakeKeyboardBack() {
    if (!host_ || !visible_ || IsPopupKind(kind_)) return;
    // Given the keyboard while its form was disabled, the window holds it
    // already and hears no focus event: its form is told again.
    if (host_->activeWindow_ == this)
        host_->TellFocus(this, true);
    else
        host_->Activate(this);
}

void HeadlessWindow::Present(const TBitmap32& buffer, std::span<const TRect> rects) {
    if (shown_.Width() != buffer.Width() || shown_.Height() != buffer.Height()) {
        shown_.SetSize(buffer.Width(), buffer.Height());
        std::copy_n(buffer.Bits(), static_cast<size_t>(buffer.Width()) * buffer.Height(), shown_.Bits());
    } else {
        for (const TRect& r : rects) {
            TRect c;
            if (!IntersectRect(c, r, buffer.BoundsRect())) continue;
            for (int y = c.Top; y < c.Bottom; ++y)
                std::copy(buffer.PixelPtr(c.Left, y), buffer.PixelPtr(c.Right, y), shown_.PixelPtr(c.Left, y));
        }
    }
    presents_ += static_cast<int>(rects.size());
    lastPresented_.assign(rects.begin(), rects.end());
}

TColor32 HeadlessWindow::ShownPixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= shown_.Width() || y >= shown_.Height()) return 0;
    return shown_.GetPixel(x, y) | 0xFF000000u;
}

void HeadlessWindow::ReadPixels(TBitmap32& into) const {
    into.SetSize(shown_.Width(), shown_.Height());
    size_t n = static_cast<size_t>(shown_.Width()) * shown_.Height();
    for (size_t i = 0; i < n; ++i) into.Bits()[i] = shown_.Bits()[i] | 0xFF000000u;
}

// ================================================================== the host

HeadlessHost::HeadlessHost() : outerBeep_(SetBeepSink([this](uint32_t) { ++beeps_; })) {}

HeadlessHost::~HeadlessHost() {
    SetBeepSink(std::move(outerBeep_));
    // Windows that outlive the host (forms kept past the application) forget it.
    for (HeadlessWindow* w : windows_) w->host_ = nullptr;
}

std::unique_ptr<HostWindow> HeadlessHost::CreateWindow(HostWindowClient& client, WindowKind kind) {
    auto window = std::make_unique<HeadlessWindow>(*this, client, kind);
    windows_.push_back(window.get());
    return window;
}

void HeadlessHost::TellFocus(HeadlessWindow* window, bool active) {
    if (lateFocus_)
        lateFocusEvents_.push_back({window, active});
    else
        window->Client().HostActivated(active);
}

void HeadlessHost::DeliverLateFocus() {
    while (!lateFocusEvents_.empty()) {
        const FocusEvent next = lateFocusEvents_.front();
        lateFocusEvents_.pop_front();
        next.window->Client().HostActivated(next.active);
    }
}

void HeadlessHost::Forget(HeadlessWindow* window) {
    std::erase(windows_, window);
    std::erase_if(lateFocusEvents_, [window](const FocusEvent& e) { return e.window == window; });
    if (activeWindow_ == window) {
        activeWindow_ = nullptr;
        active_ = nullptr;
    }
}

void HeadlessHost::Activate(HeadlessWindow* window) {
    if (activeWindow_ == window) return;
    HeadlessWindow* previous = activeWindow_;
    activeWindow_ = window;
    active_ = window ? &window->Client() : nullptr;
    if (lateFocus_) {
        if (previous) TellFocus(previous, false);
        if (window) TellFocus(window, true);
        return;
    }
    if (previous) previous->Client().HostActivated(false);
    if (window && activeWindow_ == window) window->Client().HostActivated(true);
}

int HeadlessHost::PumpEvents(int) {
    int delivered = 0;
    while (!queue_.empty()) {
        Pending next = std::move(queue_.front());
        queue_.pop_front();
        TCustomForm* form = next.form.Get();
        auto* window = form ? dynamic_cast<HeadlessWindow*>(form->GetHostWindow()) : nullptr;
        if (!window || !window->Visible()) continue;
        ++delivered;
        HostWindowClient& client = window->Client();
        if (auto* mouse = std::get_if<MouseInput>(&next.input))
            client.HostMouse(*mouse);
        else if (auto* key = std::get_if<KeyInput>(&next.input))
            client.HostKey(*key);
        else
            client.HostChar(std::get<char>(next.input));
    }
    return delivered;
}

void HeadlessHost::Queue(TCustomForm* form, std::variant<MouseInput, KeyInput, char> input) {
    if (!form) throw std::logic_error("No form to send input to");
    queue_.push_back({ComponentRef<TCustomForm>(form), std::move(input)});
}

TShiftState HeadlessHost::Held() const {
    TShiftState s;
    if (left_) s.Include(ssLeft);
    if (right_) s.Include(ssRight);
    if (middle_) s.Include(ssMiddle);
    return s;
}

// ---- clock

void HeadlessHost::Advance(uint64_t milliseconds) {
    uint64_t target = now_ + milliseconds;
    DeliverLateFocus();
    Process();
    int stalls = 0;
    while (Application) {
        int64_t next = Application->TimeToNextTimer();
        if (next < 0 || now_ + static_cast<uint64_t>(next) > target) break;
        if (next == 0) {
            // Something due that did not run: step on rather than spin.
            if (++stalls > 2) {
                if (now_ >= target) break;
                ++now_;
                stalls = 0;
            }
        } else {
            now_ += static_cast<uint64_t>(next);
            stalls = 0;
        }
        Process();
    }
    // A handler may have moved the clock past the target itself.
    now_ = std::max(now_, target);
    Process();
}

// ---- mouse

void HeadlessHost::MouseMove(TCustomForm& form, int x, int y, TShiftState shift) {
    cursorPos_ = {form.GetLeft() + x, form.GetTop() + y};
    Queue(&form, MouseInput{MouseAction::Move, mbLeft, shift | Held(), x, y, 0});
    Process();
}

void HeadlessHost::MouseDown(TCustomForm& form, int x, int y, TMouseButton button, TShiftState shift) {
    (button == mbLeft ? left_ : button == mbRight ? right_ : middle_) = true;
    cursorPos_ = {form.GetLeft() + x, form.GetTop() + y};
    Queue(&form, MouseInput{MouseAction::Down, button, shift | Held(), x, y, 0});
    Process();
}

void HeadlessHost::MouseUp(TCustomForm& form, int x, int y, TMouseButton button, TShiftState shift) {
    (button == mbLeft ? left_ : button == mbRight ? right_ : middle_) = false;
    cursorPos_ = {form.GetLeft() + x, form.GetTop() + y};
    Queue(&form, MouseInput{MouseAction::Up, button, shift | Held(), x, y, 0});
    Process();
}

void HeadlessHost::Click(TCustomForm& form, int x, int y, TMouseButton button, TShiftState shift) {
    ComponentRef<TCustomForm> ref(&form);
    MouseMove(form, x, y, shift);
    if (ref) MouseDown(form, x, y, button, shift);
    if (ref) MouseUp(form, x, y, button, shift);
}

void HeadlessHost::DoubleClick(TCustomForm& form, int x, int y, TShiftState shift) {
    ComponentRef<TCustomForm> ref(&form);
    Click(form, x, y, mbLeft, shift);
    if (!ref) return;
    left_ = true;
    Queue(&form, MouseInput{MouseAction::DoubleClick, mbLeft, shift | Held(), x, y, 0});
    Process();
    if (ref) MouseUp(form, x, y, mbLeft, shift);
}

void HeadlessHost::Drag(TCustomForm& form, TPoint from, TPoint to, int steps, TMouseButton button) {
    ComponentRef<TCustomForm> ref(&form);
    MouseMove(form, from.X, from.Y);
    if (ref) MouseDown(form, from.X, from.Y, button);
    steps = std::max(1, steps);
    for (int i = 1; i <= steps && ref; ++i)
        MouseMove(form, from.X + (to.X - from.X) * i / steps, from.Y + (to.Y - from.Y) * i / steps);
    if (ref) MouseUp(form, to.X, to.Y, button);
}

void HeadlessHost::Wheel(TCustomForm& form, int x, int y, int delta, TShiftState shift) {
    Queue(&form, MouseInput{MouseAction::Wheel, mbLeft, shift | Held(), x, y, delta});
    Process();
}

void HeadlessHost::MouseLeave(TCustomForm& form) {
    Queue(&form, MouseInput{MouseAction::Leave, mbLeft, Held(), -1, -1, 0});
    Process();
}

// ---- keyboard

TCustomForm* HeadlessHost::KeyTarget() const {
    if (activeWindow_)
        for (int i = 0; Screen && i < Screen->GetFormCount(); ++i)
            if (Screen->GetForm(i)->GetHostWindow() == activeWindow_) return Screen->GetForm(i);
    return nullptr;
}

void HeadlessHost::QueueKey(std::variant<MouseInput, KeyInput, char> input) {
    // With no window holding the keyboard (the active one was freed or
    // hidden and none took its place) a key goes nowhere, as on a desktop.
    if (TCustomForm* target = KeyTarget()) Queue(target, std::move(input));
    Process();
}

void HeadlessHost::KeyDown(TKey key, TShiftState shift) { QueueKey(KeyInput{KeyAction::Down, key, shift}); }

void HeadlessHost::KeyUp(TKey key, TShiftState shift) { QueueKey(KeyInput{KeyAction::Up, key, shift}); }

void HeadlessHost::PressKey(TKey key, TShiftState shift) {
    KeyDown(key, shift);
    KeyUp(key, shift);
}

void HeadlessHost::TypeText(std::string_view text) {
    for (char ch : text) QueueKey(ch);
}

void HeadlessHost::TypeUtf8(std::string_view utf8) {
    for (std::optional<char> ch : Utf8CharactersToWindows1252(utf8)) {
        if (ch)
            TypeText(std::string_view(&*ch, 1));
        else
            MessageBeep(0);
    }
}

void HeadlessHost::GrabKeyboardElsewhere() {
    if (active_) active_->HostOtherInput();
    Process();
}

// ---- windows

HeadlessWindow* HeadlessHost::WindowOf(const TCustomForm& form) const {
    return dynamic_cast<HeadlessWindow*>(form.GetHostWindow());
}

bool HeadlessHost::IsWindowVisible(const TCustomForm& form) const {
    HeadlessWindow* w = WindowOf(form);
    return w && w->Visible();
}

void HeadlessHost::Snapshot(const TCustomForm& form, TBitmap32& into) const {
    if (HeadlessWindow* w = WindowOf(form))
        w->ReadPixels(into);
    else
        into.SetSize(0, 0);
}

TColor32 HeadlessHost::PixelAt(const TCustomForm& form, int x, int y) const {
    HeadlessWindow* w = WindowOf(form);
    if (!w) return 0;
    return w->ShownPixel(x, y);
}

int HeadlessHost::PresentCount(const TCustomForm& form) const {
    HeadlessWindow* w = WindowOf(form);
    return w ? w->PresentCount() : 0;
}

std::vector<TRect> HeadlessHost::LastPresented(const TCustomForm& form) const {
    HeadlessWindow* w = WindowOf(form);
    return w ? w->LastPresented() : std::vector<TRect>{};
}

void HeadlessHost::RequestClose(TCustomForm& form) {
    if (HeadlessWindow* w = WindowOf(form)) w->Client().HostCloseRequested();
    Process();
}

void HeadlessHost::ResizeWindow(TCustomForm& form, int width, int height) {
    HeadlessWindow* w = WindowOf(form);
    if (!w || !w->Visible() || w->Kind() != WindowKind::Normal) return;
    TFormBorderStyle style = w->BorderStyle();
    if (style != bsSizeable && style != bsSizeToolWin) return;
    // What a window manager does with the limits the window gave it.
    if (w->maxSize_.cx > 0) width = std::min(width, w->maxSize_.cx);
    if (w->maxSize_.cy > 0) height = std::min(height, w->maxSize_.cy);
    width = std::max({width, w->minSize_.cx, 1});
    height = std::max({height, w->minSize_.cy, 1});
    w->bounds_.Right = w->bounds_.Left + width;
    w->bounds_.Bottom = w->bounds_.Top + height;
    w->Client().HostResized(width, height);
    Process();
}

void HeadlessHost::MoveWindow(TCustomForm& form, int left, int top) {
    HeadlessWindow* w = WindowOf(form);
    if (!w || !w->Visible() || w->Kind() != WindowKind::Normal) return;
    w->bounds_ = {left, top, left + w->bounds_.Width(), top + w->bounds_.Height()};
    w->Client().HostMoved(left, top);
    Process();
}

void HeadlessHost::FrameShownWindows(FrameEdges frame) {
    frame_ = frame;
    std::vector<HeadlessWindow*> shown;
    for (HeadlessWindow* w : windows_)
        if (w->Visible() && !IsPopupKind(w->Kind()) && w->BorderStyle() != bsNone) shown.push_back(w);
    // A form may free windows as it hears.
    for (HeadlessWindow* w : shown)
        if (std::find(windows_.begin(), windows_.end(), w) != windows_.end()) {
            w->ownFrame_.reset();
            FrameWindow(w, frame);
        }
    Process();
}

void HeadlessHost::FrameShownWindow(TCustomForm& form, FrameEdges frame) {
    frame_ = frame;
    HeadlessWindow* w = WindowOf(form);
    if (!w || !w->Visible() || IsPopupKind(w->Kind()) || w->BorderStyle() == bsNone) return;
    w->ownFrame_ = frame;
    FrameWindow(w, frame);
    Process();
}

bool HeadlessHost::FrameWindow(HeadlessWindow* w, FrameEdges frame) {
    const auto gone = [this](HeadlessWindow* w) {
        return std::find(windows_.begin(), windows_.end(), w) == windows_.end();
    };
    const TRect placed = w->WindowState() == wsNormal ? PlaceInside(w->bounds_, frame, workArea_) : w->bounds_;
    if (placed != w->bounds_) {
        const bool sized = placed.Width() != w->bounds_.Width() || placed.Height() != w->bounds_.Height();
        w->bounds_ = placed;
        w->Client().HostMoved(placed.Left, placed.Top);
        if (gone(w)) return false;
        if (sized) w->Client().HostResized(placed.Width(), placed.Height());
        if (gone(w)) return false;
    }
    w->Client().HostFrameRead();
    return !gone(w);
}

void HeadlessHost::ChangeWindowState(TCustomForm& form, TWindowState state) {
    HeadlessWindow* w = WindowOf(form);
    if (!w || !w->Visible() || w->Kind() != WindowKind::Normal) return;
    w->SetWindowState(state);
    w->Client().HostWindowStateChanged(state);
    Process();
}

// ---- dialogs

void HeadlessHost::ScriptDialog(DialogScript script) { scripts_.push_back(std::move(script)); }

void HeadlessHost::AnswerMessageBox(int id, std::string expectText) {
    DialogScript script;
    script.expectText = std::move(expectText);
    script.result = id;
    script.act = [](TCustomForm& form) {
        if (!dynamic_cast<TMessageForm*>(&form))
            throw EUnscriptedDialog("A message box was expected, but \"" + form.DialogText() + "\" was shown");
    };
    scripts_.push_back(std::move(script));
}

namespace {

// The form as the dialog a script meant, or a failure naming what came.
template <typename Dialog>
Dialog& Expect(TCustomForm& form, std::string_view kind) {
    auto* dialog = dynamic_cast<Dialog*>(&form);
    if (!dialog)
        throw EUnscriptedDialog("A " + std::string(kind) + " was expected, but \"" + form.DialogText() +
                                "\" was shown");
    return *dialog;
}

}  // namespace

void HeadlessHost::AnswerFileDialog(std::string name, std::string expectTitle) {
    DialogScript script;
    script.expectText = std::move(expectTitle);
    script.act = [name = std::move(name)](TCustomForm& form) {
        FileDialogForm& dialog = Expect<FileDialogForm>(form, "file dialog");
        dialog.GetNameEdit()->SetText(name);
        dialog.Submit(name);
    };
    scripts_.push_back(std::move(script));
}

void HeadlessHost::AnswerFontDialog(const TFont& font, std::string expectTitle) {
    DialogScript script;
    script.expectText = std::move(expectTitle);
    script.act = [font](TCustomForm& form) {
        FontDialogForm& dialog = Expect<FontDialogForm>(form, "font dialog");
        if (!dialog.Choose(font))
            throw EUnscriptedDialog("The font dialog \"" + form.DialogText() + "\" offers no " + font.GetName() +
                                    ((font.GetStyle() & fsBold) ? " bold" : "") +
                                    ((font.GetStyle() & fsItalic) ? " italic" : "") + " at " +
                                    std::to_string(font.GetSize()) + " points");
    };
    scripts_.push_back(std::move(script));
}

void HeadlessHost::AnswerColorDialog(TColor color, std::string expectTitle) {
    DialogScript script;
    script.expectText = std::move(expectTitle);
    script.act = [color](TCustomForm& form) { Expect<ColorDialogForm>(form, "colour dialog").Choose(color); };
    scripts_.push_back(std::move(script));
}

void HeadlessHost::CancelDialog(std::string expectText) {
    DialogScript script;
    script.expectText = std::move(expectText);
    script.result = mrCancel;
    scripts_.push_back(std::move(script));
}

void HeadlessHost::ModalStarting(TCustomForm& form) {
    std::string text = form.DialogText();
    shown_.push_back(text);
    auto* box = dynamic_cast<TMessageForm*>(&form);
    std::string described = box ? "message box \"" + form.GetCaption() + "\": " + text : "dialog \"" + text + "\"";
    if (scripts_.empty()) throw EUnscriptedDialog("Unscripted " + described);
    DialogScript script = std::move(scripts_.front());
    scripts_.pop_front();
    if (!script.expectText.empty() && text.find(script.expectText) == std::string::npos)
        throw EUnscriptedDialog("Expected a dialog saying \"" + script.expectText + "\", but got " + described);
    ComponentRef<TCustomForm> ref(&form);
    if (script.act) script.act(form);
    if (!ref || script.result == 0) return;
    if (box && !box->HasButton(script.result))
        throw EUnscriptedDialog("The " + described + " has no button " + std::to_string(script.result));
    form.SetModalResult(script.result);
}

void HeadlessHost::ModalStalled(TCustomForm& form) {
    throw EUnscriptedDialog("Modal dialog left open: \"" + form.DialogText() + "\"");
}

}  // namespace thorn

namespace thorn {

HeadlessApplication::HeadlessApplication() {
    auto host = std::make_unique<HeadlessHost>();
    host_ = host.get();
    app_ = std::make_unique<TApplication>(std::move(host));
}

HeadlessApplication::~HeadlessApplication() = default;

}  // namespace thorn
