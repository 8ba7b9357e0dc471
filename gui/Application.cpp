#include "gui/Application.h"

#include <algorithm>

#include "gui/ControlAccess.h"
#include "gui/HintWindow.h"
#include "gui/MessageBox.h"
#include "gui/Timers.h"

TApplication* Application = nullptr;
TScreen* Screen = nullptr;

thorn::ApplicationLink* thorn::RunningApplication() { return Application; }

TApplication::TApplication(std::unique_ptr<thorn::Host> host) : host_(std::move(host)) {
    if (Application) throw EInvalidOperation("Only one application can run at a time");
    if (!host_) throw EInvalidOperation("An application needs a host");
    Application = this;
    screen_ = std::make_unique<TScreen>();
    Screen = screen_.get();
}

TApplication::~TApplication() {
    // Forms go first, while the application, the screen and the host that
    // their windows need are still here.
    Destroying();
    hintWindow_.reset();
    DestroyComponents();
    queued_.clear();
    releases_.clear();
    timers_.clear();
    Screen = nullptr;
    screen_.reset();
    Application = nullptr;
}

// ---- the loop

bool TApplication::ProcessPending() {
    int work = host_->PumpEvents(0);
    work += FireDueTimers();
    if (!releases_.empty() || !queued_.empty()) {
        RunQueued();
        ++work;
    }
    return work > 0;
}

bool TApplication::ProcessMessages() {
    bool any = false;
    while (ProcessPending()) any = true;
    PaintAllForms();
    return any;
}

void TApplication::HandleMessage() {
    if (ProcessPending()) return;
    Idle();
    if (ProcessPending() || terminated_) return;
    int64_t wait = TimeToNextTimer();
    host_->PumpEvents(wait < 0 ? -1 : static_cast<int>(std::min<int64_t>(wait, 1 << 30)));
}

void TApplication::Idle() {
    PaintAllForms();
    UpdateHint();
    UpdateActions();
    if (OnIdle) {
        bool done = true;
        Guard(this, [&] { OnIdle(this, done); });
    }
}

void TApplication::Run() {
    if (TCustomForm* main = GetMainForm(); main && !main->GetVisible()) main->Show();
    while (!terminated_) {
        if (!host_->CanWait()) {
            ProcessMessages();
            Idle();
            if (!ProcessPending()) break;
            continue;
        }
        HandleMessage();
    }
}

void TApplication::Terminate() {
    terminated_ = true;
    host_->Wake();
}

void TApplication::UpdateActions() {
    if (!Screen) return;
    std::vector<thorn::ComponentRef<TCustomForm>> forms;
    for (int i = 0; i < Screen->GetFormCount(); ++i) forms.emplace_back(Screen->GetForm(i));
    for (auto& f : forms)
        if (f && f->IsShowing() && f->GetEnabled()) Guard(f.Get(), [&] { f->UpdateActions(); });
}

void TApplication::PaintAllForms() {
    if (!Screen) return;
    std::vector<thorn::ComponentRef<TCustomForm>> forms;
    for (int i = 0; i < Screen->GetFormCount(); ++i) forms.emplace_back(Screen->GetForm(i));
    for (auto& f : forms)
        if (f) f->PaintPending();
}

void TApplication::RunQueued() {
    std::vector<std::function<void()>> calls;
    calls.swap(queued_);
    for (auto& call : calls) Guard(this, call);
    std::vector<thorn::ComponentRef<TComponent>> releases;
    releases.swap(releases_);
    for (auto& ref : releases)
        if (TComponent* c = ref.Get()) Guard(this, [c] { thorn::Free(c); });
}

void TApplication::ReleaseComponent(TComponent* component) {
    if (component) releases_.emplace_back(component);
    host_->Wake();
}

void TApplication::QueueCall(std::function<void()> fn) {
    queued_.push_back(std::move(fn));
    host_->Wake();
}

// ---- timers

void TApplication::RegisterTimer(TTimer* timer) {
    if (std::find(timers_.begin(), timers_.end(), timer) == timers_.end()) timers_.push_back(timer);
    host_->Wake();
}

void TApplication::UnregisterTimer(TTimer* timer) { std::erase(timers_, timer); }

int64_t TApplication::TimeToNextTimer() const {
    uint64_t now = host_->Now();
    int64_t best = -1;
    auto consider = [&](uint64_t due) {
        int64_t left = due > now ? static_cast<int64_t>(due - now) : 0;
        if (best < 0 || left < best) best = left;
    };
    for (const TTimer* t : timers_) consider(t->GetDueAt());
    if (hintControl_ && !hintShown_ && showHint_) consider(hintMovedAt_ + static_cast<uint64_t>(HintPause));
    if (hintShown_) consider(hintShownAt_ + static_cast<uint64_t>(hintHideTimeout_));
    return best;
}

int TApplication::FireDueTimers() {
    uint64_t now = host_->Now();
    // Earliest first; a handler may free timers, including those after it.
    std::vector<TTimer*> due;
    for (TTimer* t : timers_)
        if (t->GetDueAt() <= now) due.push_back(t);
    std::stable_sort(due.begin(), due.end(), [](TTimer* a, TTimer* b) { return a->GetDueAt() < b->GetDueAt(); });
    std::vector<thorn::ComponentRef<TTimer>> refs(due.begin(), due.end());
    int fired = 0;
    for (auto& ref : refs) {
        TTimer* t = ref.Get();
        if (t && std::find(timers_.begin(), timers_.end(), t) != timers_.end() && t->FireIfDue(now)) ++fired;
    }
    UpdateHint();
    return fired;
}

// ---- exceptions

void TApplication::Guard(TObject* sender, const std::function<void()>& fn) {
    try {
        fn();
    } catch (...) {
        HandleException(sender);
    }
}

void TApplication::HandleException(TObject* sender) {
    try {
        throw;
    } catch (const thorn::EUnscriptedDialog&) {
        throw;
    } catch (const EAbort&) {
    } catch (const std::exception& e) {
        if (OnException)
            OnException(sender, e);
        else
            ShowException(e);
    } catch (...) {
        ShowException(std::runtime_error("Unknown exception"));
    }
}

void TApplication::ShowException(const std::exception& e) {
    std::string message = e.what();
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') message += '.';
    MessageBox(message, title_, MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(std::string_view text, std::string_view caption, uint32_t flags) {
    return thorn::RunMessageBox(text, caption.empty() ? std::string_view("Error") : caption, flags);
}

void ShowMessage(std::string_view text) {
    std::string caption = Application->GetTitle();
    Application->MessageBox(text, caption.empty() ? std::string_view("Thornvale") : caption, MB_OK);
}

// ---- capture

void TApplication::SetCaptureControl(TControl* control) {
    TControl* old = capture_.Get();
    if (old == control) return;
    capture_ = control;
    TCustomForm* oldForm = old ? old->GetParentForm() : nullptr;
    TCustomForm* newForm = control ? control->GetParentForm() : nullptr;
    if (oldForm && oldForm != newForm && oldForm->GetHostWindow()) oldForm->GetHostWindow()->SetCapture(false);
    if (newForm && newForm->GetHostWindow()) newForm->GetHostWindow()->SetCapture(true);
    if (!control && oldForm && oldForm->GetHostWindow()) oldForm->GetHostWindow()->SetCapture(false);
    if (old) thorn::ControlAccess::CaptureChanged(*old);
}

void TApplication::ApplyControlCursor() {
    if (Screen) Screen->ApplyCursorFor(nullptr);
}

// ---- title and hints

void TApplication::SetTitle(const std::string& value) {
    title_ = value;
    host_->SetApplicationTitle(value);
}

void TApplication::SetHint(const std::string& value) {
    if (value == hint_) return;
    hint_ = value;
    if (OnHint) Guard(this, [&] { OnHint(this); });
}

void TApplication::SetShowHint(bool value) {
    if (value == showHint_) return;
    showHint_ = value;
    if (!value) CancelHint();
}

THintWindow* TApplication::GetHintWindow() const { return hintWindow_.get(); }

void TApplication::CancelHint() {
    if (hintWindow_ && hintWindow_->GetVisible()) hintWindow_->ReleaseHandle();
    hintShown_ = false;
    // The hint does not come back until the mouse moves onto another control.
    hintControl_ = nullptr;
}

void TApplication::NoteMouseOver(TControl* control, TPoint screenPos) {
    // The long hint of the control or of the nearest parent that has one.
    std::string longHint;
    for (TControl* c = control; c; c = c->GetParent())
        if (!c->GetHint().empty()) {
            longHint = GetLongHint(c->GetHint());
            break;
        }
    // OnHint may free the control, or its form.
    thorn::ComponentRef<TControl> alive(control);
    SetHint(longHint);
    if (!alive) control = nullptr;

    TControl* hintControl = control;
    while (hintControl && !hintControl->GetShowHint()) hintControl = hintControl->GetParent();
    hintCursor_ = screenPos;
    if (hintControl == lastHintTarget_.Get()) return;
    lastHintTarget_ = hintControl;
    bool wasShown = hintShown_;
    if (hintWindow_ && hintWindow_->GetVisible()) hintWindow_->ReleaseHandle();
    hintShown_ = false;
    hintControl_ = hintControl;
    uint64_t now = host_->Now();
    // Moving from one hint to the next shows the next one quickly.
    hintMovedAt_ = wasShown ? now - static_cast<uint64_t>(std::max(0, HintPause - HintShortPause)) : now;
}

void TApplication::UpdateHint() {
    uint64_t now = host_->Now();
    if (hintShown_) {
        if (now >= hintShownAt_ + static_cast<uint64_t>(hintHideTimeout_) || !hintControl_) {
            if (hintWindow_) hintWindow_->ReleaseHandle();
            hintShown_ = false;
            hintControl_ = nullptr;
        }
        return;
    }
    TControl* control = hintControl_.Get();
    if (!control || !showHint_ || now < hintMovedAt_ + static_cast<uint64_t>(HintPause)) return;
    if (!control->IsShowing() && !dynamic_cast<TCustomForm*>(control)) {
        hintControl_ = nullptr;
        return;
    }
    THintInfo info;
    info.HintControl = control;
    info.CursorPos = control->ScreenToClient(hintCursor_);
    info.CursorRect = control->GetClientRect();
    info.HintPos = {hintCursor_.X, hintCursor_.Y + 20};
    info.HintMaxWidth = Screen ? Screen->GetWidth() : 1024;
    info.HintColor = HintColor;
    info.HintStr = GetShortHint(control->GetHint());
    info.HideTimeout = HintHidePause;
    bool show = thorn::ControlAccess::HintShow(*control, info);
    if (!show || info.HintStr.empty()) {
        hintControl_ = nullptr;
        return;
    }
    if (!hintWindow_) hintWindow_ = std::make_unique<THintWindow>();
    hintWindow_->SetColor(info.HintColor);
    TRect r = hintWindow_->CalcHintRect(info.HintMaxWidth, info.HintStr);
    OffsetRect(r, info.HintPos.X, info.HintPos.Y);
    hintWindow_->ActivateHint(r, info.HintStr);
    hintShown_ = true;
    hintShownAt_ = now;
    hintHideTimeout_ = info.HideTimeout > 0 ? info.HideTimeout : HintHidePause;
}

// ================================================================== TScreen

void TScreen::SetCursor(TCursor value) {
    if (value == cursor_) return;
    cursor_ = value;
    ApplyCursorFor(cursorControl_.Get());
}

int TScreen::GetWidth() const { return GetWorkAreaRect().Right; }

int TScreen::GetHeight() const { return GetWorkAreaRect().Bottom; }

TRect TScreen::GetWorkAreaRect() const { return Application ? Application->GetHost().GetWorkArea() : TRect{}; }

TPoint TScreen::GetCursorPos() const { return Application ? Application->GetHost().GetCursorPos() : TPoint{}; }

void TScreen::AddForm(TCustomForm* form) {
    if (std::find(forms_.begin(), forms_.end(), form) == forms_.end()) forms_.push_back(form);
}

void TScreen::RemoveForm(TCustomForm* form) {
    std::erase(forms_, form);
    std::erase(activated_, form);
    if (activeForm_.Get() == form) activeForm_ = nullptr;
}

void TScreen::SetActiveForm(TCustomForm* form) {
    if (form && std::find(forms_.begin(), forms_.end(), form) != forms_.end()) {
        std::erase(activated_, form);
        activated_.push_back(form);
    }
    if (activeForm_.Get() == form) return;
    activeForm_ = form;
    if (OnActiveFormChange) OnActiveFormChange(this);
}

void TScreen::SetActiveControl(TWinControl* control) {
    if (activeControl_.Get() == control) return;
    activeControl_ = control;
    if (OnActiveControlChange) OnActiveControlChange(this);
}

void TScreen::ApplyCursorFor(const TControl* control) {
    if (control) cursorControl_ = const_cast<TControl*>(control);
    TCursor cursor = cursor_;
    if (cursor == crDefault)
        for (const TControl* c = cursorControl_.Get(); c; c = c->GetParent())
            if (c->GetCursor() != crDefault) {
                cursor = c->GetCursor();
                break;
            }
    if (cursor == crDefault) cursor = crArrow;
    if (cursor != shown_ && Application) {
        shown_ = cursor;
        Application->GetHost().SetCursor(cursor);
    }
}
