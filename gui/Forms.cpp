#include "gui/Forms.h"

#include <algorithm>

#include "gui/Application.h"
#include "gui/Caret.h"
#include "gui/ControlAccess.h"
#include "gui/ControlCanvas.h"
#include "gui/DirtyRects.h"
#include "gui/MenuBar.h"
#include "gui/Menus.h"
#include "gui/PopupWindow.h"
#include "gui/SizeConstraints.h"
#include "gui/SizingLine.h"

using thorn::ControlAccess;

namespace {

bool IsDestroying(const TComponent& c) { return c.GetComponentState().Contains(csDestroying); }

// The modal forms whose loops run, innermost last.
std::vector<thorn::ComponentRef<TCustomForm>>& ModalForms() {
    static std::vector<thorn::ComponentRef<TCustomForm>> forms;
    return forms;
}

// The modal form shown now, innermost first (one whose loop is ending, and
// which is hiding, no longer counts).
TCustomForm* InnermostModal() {
    std::erase_if(ModalForms(), [](const auto& f) { return !f; });
    for (auto it = ModalForms().rbegin(); it != ModalForms().rend(); ++it)
        if ((*it)->IsModal() && (*it)->IsShowing()) return it->Get();
    return nullptr;
}

bool IsFramedWindow(const TCustomForm* f) { return f && f->IsShowing() && !thorn::IsPopupKind(f->GetWindowKind()); }

// The window a modal form opens over: the modal form running, else the
// active window, else the main one.
TCustomForm* ModalOwnerFor(const TCustomForm& modal) {
    TCustomForm* candidates[] = {InnermostModal(), Screen ? Screen->GetActiveForm() : nullptr,
                                 Application ? Application->GetMainForm() : nullptr};
    for (TCustomForm* f : candidates)
        if (f != &modal && IsFramedWindow(f)) return f;
    return nullptr;
}

// Disables the windows outside a modal form while its loop runs, and
// restores them whatever way the loop ends. Pop-ups are no windows of their
// own here: those of other windows are closed before the loop starts, and
// the modal form's own (its drop-down lists, its hints) must take the mouse.
// Windows that stay on top stand among the others while the outermost
// modal form shows, so that they never cover it.
class ModalScope {
public:
    explicit ModalScope(TCustomForm& modal) {
        previousActive_ = Screen ? Screen->GetActiveForm() : nullptr;
        const bool outermost = Application->GetModalLevel() == 0;
        if (Screen)
            for (int i = 0; i < Screen->GetFormCount(); ++i) {
                TCustomForm* f = Screen->GetForm(i);
                if (f == &modal || thorn::IsPopupKind(f->GetWindowKind())) continue;
                if (f->GetEnabled()) {
                    disabled_.emplace_back(f);
                    f->SetEnabled(false);
                }
                if (outermost && f->GetFormStyle() == fsStayOnTop && f->GetHostWindow()) {
                    lowered_.emplace_back(f);
                    f->GetHostWindow()->SetFormStyle(fsNormal);
                }
            }
        ModalForms().emplace_back(&modal);
        Application->EnterModal();
    }
    ~ModalScope() {
        Application->LeaveModal();
        if (!ModalForms().empty()) ModalForms().pop_back();
        for (auto& f : disabled_)
            if (f) f->SetEnabled(true);
        for (auto& f : lowered_)
            if (f && f->GetHostWindow()) f->GetHostWindow()->SetFormStyle(f->GetFormStyle());
        if (previousActive_ && previousActive_->IsShowing() && previousActive_->GetHostWindow())
            previousActive_->GetHostWindow()->ReturnKeyboard();
    }
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;

private:
    std::vector<thorn::ComponentRef<TCustomForm>> disabled_;
    std::vector<thorn::ComponentRef<TCustomForm>> lowered_;
    thorn::ComponentRef<TCustomForm> previousActive_;
};

// A window disabled under a modal form was pressed or activated: the modal
// form comes forward with the keyboard, as its owner cannot take either.
void BringModalForward(const TCustomForm& pressed) {
    TCustomForm* modal = InnermostModal();
    if (modal && modal != &pressed && modal->IsShowing() && modal->GetHostWindow())
        modal->GetHostWindow()->Activate();
}

// Whether a window shown besides form takes input.
bool AnotherWindowTakesInput(const TCustomForm& form) {
    for (int i = Screen ? Screen->GetFormCount() - 1 : -1; i >= 0; --i)
        if (TCustomForm* f = Screen->GetForm(i); f != &form && IsFramedWindow(f) && f->GetEnabled()) return true;
    return false;
}

bool CanTakeKeyboard(const TCustomForm* f, const TCustomForm& leaving) {
    return f && f != &leaving && IsFramedWindow(f) && f->GetHostWindow();
}

// The window that gets the keyboard when leaving hides: the modal form
// running, else the one active last (with the control it had focused),
// else the main window, else any window shown.
TCustomForm* KeyboardHeir(const TCustomForm& leaving) {
    if (TCustomForm* modal = InnermostModal(); CanTakeKeyboard(modal, leaving)) return modal;
    for (int i = Screen ? Screen->GetActivatedCount() - 1 : -1; i >= 0; --i)
        if (TCustomForm* f = Screen->GetActivated(i); CanTakeKeyboard(f, leaving)) return f;
    if (TCustomForm* main = Application ? Application->GetMainForm() : nullptr; CanTakeKeyboard(main, leaving))
        return main;
    for (int i = Screen ? Screen->GetFormCount() - 1 : -1; i >= 0; --i)
        if (TCustomForm* f = Screen->GetForm(i); CanTakeKeyboard(f, leaving)) return f;
    return nullptr;
}

// Ends a press in progress on form (any form when null): the control holding
// the mouse drops its pressed state and the capture, as when a modal box or
// another window interrupts it.
void CancelMouseMode(const TCustomForm* form) {
    TControl* capture = Application ? Application->GetCaptureControl() : nullptr;
    if (!capture || (form && !form->ContainsControl(capture))) return;
    ControlAccess::CancelMode(*capture);
    if (Application->GetCaptureControl()) Application->SetCaptureControl(nullptr);
}

}  // namespace

TCustomForm::TCustomForm() : canvas_(std::make_unique<thorn::ControlCanvas>(*this)) {
    SetVisible(false);
    SetColor(clBtnFace);
    SetControlStyle({csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks});
    bufferCanvas_.SetTarget(&backBuffer_);
    if (Screen) Screen->AddForm(this);
}

TCustomForm::~TCustomForm() {
    window_.reset();
    if (Screen) Screen->RemoveForm(this);
}

void TCustomForm::BeforeDestruction() {
    if (!IsDestroying(*this) && OnDestroy) {
        // The form is going: its handler sees references to it read null,
        // and freeing it there does nothing.
        DropReferences();
        try {
            OnDestroy(this);
        } catch (...) {
            if (Application) Application->HandleException(this);
        }
    }
    TWinControl::BeforeDestruction();
    const bool mayHaveKeyboard = IsShowing() && (active_ || hasKeyboard_ || keyboardAsked_);
    if (window_) window_->SetVisible(false);
    window_.reset();
    if (mayHaveKeyboard)
        if (TCustomForm* heir = KeyboardHeir(*this); heir && heir->window_) heir->window_->ReturnKeyboard();
    if (Screen) Screen->RemoveForm(this);
}

void TCustomForm::DoCreate() {
    if (!OnCreate) return;
    try {
        OnCreate(this);
    } catch (...) {
        Application->HandleException(this);
    }
}

bool TCustomForm::IsShowing() const { return GetVisible() && window_ != nullptr; }

thorn::HostWindow* TCustomForm::DialogOwner() const {
    if (windowKind_ != thorn::WindowKind::Dialog) return nullptr;
    TCustomForm* owner = dynamic_cast<TCustomForm*>(GetOwner());
    if (!IsFramedWindow(owner) && Application) owner = Application->GetMainForm();
    return owner && owner != this && IsFramedWindow(owner) ? owner->window_.get() : nullptr;
}

// ---- showing and closing

void TCustomForm::EnsureWindow() {
    if (window_ || !Application) return;
    window_ = Application->GetHost().CreateWindow(*this, windowKind_);
    window_->SetCaption(GetCaption());
    window_->SetBounds({GetLeft(), GetTop(), GetLeft() + GetWidth(), GetTop() + GetHeight()});
    window_->SetBorderStyle(borderStyle_);
    window_->SetBorderIcons(borderIcons_);
    window_->SetFormStyle(formStyle_);
    ApplyConstraintsToWindow();
    window_->SetWindowState(windowState_);
}

void TCustomForm::ApplyConstraintsToWindow() {
    if (!window_) return;
    const TSizeConstraints& limits = Constraints();
    window_->SetMinimumSize(limits.GetMinWidth(), limits.GetMinHeight());
    window_->SetMaximumSize(limits.GetMaxWidth(), limits.GetMaxHeight());
}

void TCustomForm::DoConstraintsChange() {
    TWinControl::DoConstraintsChange();
    ApplyConstraintsToWindow();
}

void TCustomForm::SetBorderStyle(TFormBorderStyle value) {
    if (value == borderStyle_) return;
    borderStyle_ = value;
    if (window_) window_->SetBorderStyle(value);
    // What draws a size grip draws it no more, or now.
    Invalidate();
}

void TCustomForm::SetBorderIcons(TBorderIcons value) {
    borderIcons_ = value;
    if (window_) window_->SetBorderIcons(value);
}

void TCustomForm::SetFormStyle(TFormStyle value) {
    formStyle_ = value;
    if (window_) window_->SetFormStyle(value);
}

void TCustomForm::SetWindowState(TWindowState value) {
    windowState_ = value;
    if (window_) window_->SetWindowState(value);
}

void TCustomForm::PlaceOnShow() {
    if (shownOnce_) return;
    shownOnce_ = true;
    TRect area = Screen ? Screen->GetWorkAreaRect() : TRect{0, 0, 1024, 768};
    // Centred, and kept on the desktop (its top-left corner first, where
    // the caption is) however the form it centres on stands.
    auto center = [&](const TRect& around) {
        int left = around.Left + (around.Width() - GetWidth()) / 2;
        int top = around.Top + (around.Height() - GetHeight()) / 2;
        left = std::max(area.Left, std::min(left, area.Right - GetWidth()));
        top = std::max(area.Top, std::min(top, area.Bottom - GetHeight()));
        SetBounds(left, top, GetWidth(), GetHeight());
    };
    switch (position_) {
        case poScreenCenter:
        case poDesktopCenter: center(area); break;
        case poMainFormCenter:
        case poOwnerFormCenter: {
            TCustomForm* other = position_ == poOwnerFormCenter ? dynamic_cast<TCustomForm*>(GetOwner()) : nullptr;
            if (!other && Application) other = Application->GetMainForm();
            if (other && other != this)
                center(other->GetBoundsRect());
            else
                center(area);
            break;
        }
        default: break;
    }
}

thorn::FrameEdges TCustomForm::GetFrameEdges() {
    EnsureWindow();
    return window_ ? window_->GetFrame() : thorn::FrameEdges{};
}

void TCustomForm::PlaceForShow() {
    PlaceOnShow();
    KeepInWorkArea();
}

void TCustomForm::KeepInWorkArea() {
    if (thorn::IsPopupKind(windowKind_) || windowState_ != wsNormal || !Screen) return;
    const TRect bounds = GetBoundsRect();
    const TRect placed = thorn::PlaceInside(bounds, GetFrameEdges(), Screen->GetWorkAreaRect());
    if (placed != bounds) SetBounds(placed.Left, placed.Top, placed.Width(), placed.Height());
}

void TCustomForm::SetVisible(bool value) {
    if (value == GetVisible()) return;
    // OnShow, OnHide, OnMouseLeave and OnDeactivate may free the form (a
    // form already going hides to the end).
    const thorn::ComponentWatch watch(this);
    if (value) {
        PlaceOnShow();
        DoShow();
        if (watch.Freed()) return;
        TWinControl::SetVisible(true);
        if (watch.Freed()) return;
        EnsureWindow();
        if (!window_) return;
        KeepInWorkArea();
        if (modal_ && modalOwner_ && modalOwner_->window_)
            window_->SetModalFor(*modalOwner_->window_);
        else
            window_->SetOwner(DialogOwner());
        window_->SetCaption(GetCaption());
        window_->SetBounds({GetLeft(), GetTop(), GetLeft() + GetWidth(), GetTop() + GetHeight()});
        backBuffer_.SetSize(GetWidth(), GetHeight());
        dirty_.clear();
        thorn::AddDirtyRect(dirty_, WindowRect());
        window_->SetVisible(true);
        if (!thorn::IsPopupKind(windowKind_)) {
            keyboardAsked_ = true;
            window_->Activate();
        }
    } else {
        if (!IsDestroying(*this)) DoHide();
        if (watch.Freed()) return;
        CancelMouseMode(this);
        if (!thorn::IsPopupKind(windowKind_)) thorn::PopupsOwnerDeactivated(*this);
        if (watch.Freed()) return;
        if (menuBar_) menuBar_->Cancel();
        ClearHover();
        if (watch.Freed()) return;
        TWinControl::SetVisible(false);
        if (watch.Freed()) return;
        // A window shown and hidden again before its focus event came
        // was given the keyboard all the same; a pop-up may hold it too
        // where the window system gives it to every window it shows.
        const bool popup = thorn::IsPopupKind(windowKind_);
        const bool mayHaveKeyboard = popup || active_ || hasKeyboard_ || keyboardAsked_;
        keyboardAsked_ = false;
        if (window_) window_->SetVisible(false);
        if (active_) HostActivated(false);
        if (watch.Freed()) return;
        if (Screen && Screen->GetActiveForm() == this) Screen->SetActiveForm(nullptr);
        if (!mayHaveKeyboard) return;
        // A pop-up hands it back only to a window still active: one that
        // lost the keyboard to the user's choice (which closed the pop-up)
        // keeps it lost. A press on a window that closes the pop-up is that
        // choice, whatever focus events have come so far: the keyboard goes
        // to the window pressed.
        TCustomForm* pressed = popup ? thorn::FormPressedOutsidePopups() : nullptr;
        if (pressed && !CanTakeKeyboard(pressed, *this)) pressed = nullptr;
        TCustomForm* heir = pressed ? pressed : KeyboardHeir(*this);
        if (heir && heir->window_ && (!popup || pressed || heir->active_)) heir->window_->ReturnKeyboard();
    }
}

void TCustomForm::Show() {
    SetVisible(true);
    if (window_ && !thorn::IsPopupKind(windowKind_)) window_->Activate();
}

void TCustomForm::DoShow() {
    if (OnShow) OnShow(this);
}

void TCustomForm::DoHide() {
    if (OnHide) OnHide(this);
}

void TCustomForm::Activate() {
    if (OnActivate) OnActivate(this);
}

void TCustomForm::Deactivate() {
    if (OnDeactivate) OnDeactivate(this);
}

void TCustomForm::DoClose(TCloseAction& action) {
    if (OnClose) OnClose(this, action);
}

bool TCustomForm::CloseQuery() {
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::Close() {
    if (modal_) {
        modalResult_ = mrCancel;
        return;
    }
    // OnCloseQuery and OnClose may free the form.
    thorn::ComponentRef<TCustomForm> self(this);
    if (!CloseQuery() || !self) return;
    TCloseAction action = caHide;
    DoClose(action);
    if (!self || action == caNone) return;
    if (Application && Application->GetMainForm() == this) {
        Application->Terminate();
        return;
    }
    switch (action) {
        case caHide: Hide(); break;
        case caMinimize: SetWindowState(wsMinimized); break;
        case caFree: Release(); break;
        default: break;
    }
}

void TCustomForm::Release() {
    if (Application) Application->ReleaseComponent(this);
}

TModalResult TCustomForm::ShowModal() {
    if (GetVisible() || !GetEnabled() || modal_)
        throw EInvalidOperation("Cannot make a visible window modal");
    CancelMouseMode(nullptr);
    thorn::CloseAllPopups();
    Application->CancelHint();
    thorn::ComponentRef<TCustomForm> self(this);
    TModalResult result = mrNone;
    modalOwner_ = ModalOwnerFor(*this);
    {
        ModalScope scope(*this);
        modal_ = true;
        modalResult_ = mrNone;
        struct ModalFlag {
            thorn::ComponentRef<TCustomForm>& form;
            ~ModalFlag() {
                if (form) {
                    form->modal_ = false;
                    form->Hide();
                }
            }
        } flag{self};
        Show();
        thorn::Host& host = Application->GetHost();
        host.ModalStarting(*this);
        while (self) {
            bool worked = Application->ProcessMessages();
            if (!self) break;
            if (Application->GetTerminated()) modalResult_ = mrCancel;
            if (modalResult_ != mrNone) {
                // The form may refuse to close.
                TCloseAction action = caNone;
                if (CloseQuery()) {
                    action = caHide;
                    DoClose(action);
                }
                if (action != caNone || Application->GetTerminated()) {
                    if (action == caFree) Release();
                    break;
                }
                modalResult_ = mrNone;
                continue;  // what the refusal set going runs first
            }
            if (!host.CanWait()) {
                if (worked) continue;
                host.ModalStalled(*this);
                // A host that cannot wait and does not object ends the loop.
                modalResult_ = mrCancel;
                continue;
            }
            Application->HandleMessage();
        }
        result = self ? modalResult_ : mrCancel;
    }
    return result;
}

// ---- focus

void TCustomForm::SetActiveControl(TWinControl* control) {
    if (control == activeControl_.Get()) return;
    if (!control) {
        activeControl_ = nullptr;
        if (IsShowing()) SetFocusedControl(this);
        return;
    }
    FocusControl(control);
}

void TCustomForm::FocusControl(TWinControl* control) {
    if (!control || control == this) {
        SetActiveControl(nullptr);
        return;
    }
    if (!ContainsControl(control)) throw EInvalidOperation("The control is not on this form");
    if (!control->CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
    if (IsShowing())
        SetFocusedControl(control);
    else
        activeControl_ = control;
}

void TCustomForm::DefocusControl(TWinControl* control, bool removing) {
    if (!control) return;
    TWinControl* focused = focusedControl_.Get();
    bool holdsFocus = focused && control->ContainsControl(focused);
    bool holdsActive = activeControl_ && control->ContainsControl(activeControl_.Get());
    if (!holdsFocus && !holdsActive) return;
    if (removing || IsDestroying(*this) || !IsShowing()) {
        // Nothing is told: the control is going away.
        if (holdsFocus) focusedControl_ = nullptr;
        if (holdsActive) activeControl_ = nullptr;
        if (Screen && holdsFocus && Screen->GetActiveControl() == focused) Screen->SetActiveControl(nullptr);
        return;
    }
    activeControl_ = nullptr;
    if (holdsFocus) SetFocusedControl(this);
}

bool TCustomForm::SetFocusedControl(TWinControl* control) {
    if (IsDestroying(*this)) return false;
    if (!control) control = this;
    TWinControl* previous = focusedControl_.Get();
    if (previous == control) return true;
    // Both chains are taken before any event runs: a handler may free a control
    // of either (an in-place editor freed in its own OnExit, or the control
    // being left freed by the one being entered).
    std::vector<thorn::ComponentRef<TWinControl>> leaving, entering;
    for (TWinControl* c = previous; c && c != this && !c->ContainsControl(control); c = c->GetParent())
        leaving.emplace_back(c);
    for (TWinControl* c = control; c && c != this && !(previous && c->ContainsControl(previous)); c = c->GetParent())
        entering.emplace_back(c);
    thorn::ComponentRef<TWinControl> target(control);
    focusedControl_ = control;
    activeControl_ = control == this ? nullptr : control;
    // A handler that moves the focus elsewhere, or frees the target, ends the change.
    auto stillTarget = [&] { return target && focusedControl_.Get() == target.Get(); };
    // The control left may close a drop-down and tell its handler, which
    // may free it, the target or the form.
    if (previous) ControlAccess::KillFocusMsg(*previous);
    if (!stillTarget()) return false;
    // Exit every control the focus leaves, innermost first.
    for (auto& c : leaving) {
        if (!c) continue;
        ControlAccess::Exit(*c.Get());
        if (!stillTarget()) return false;
    }
    for (auto it = entering.rbegin(); it != entering.rend(); ++it) {
        if (!*it) continue;
        ControlAccess::Enter(*it->Get());
        if (!stillTarget()) return false;
    }
    ControlAccess::SetFocusMsg(*control);
    if (!stillTarget()) return false;
    if (Screen && active_) Screen->SetActiveControl(control == this ? nullptr : control);
    std::vector<TWinControl*> all{this};
    GetTabOrderList(all);
    std::vector<thorn::ComponentRef<TWinControl>> refs(all.begin(), all.end());
    for (auto& ref : refs)
        if (ref) ControlAccess::FocusChanged(*ref.Get(), control);
    return focusedControl_.Get() == control;
}

bool TCustomForm::IsShortCut(TKey key, TShiftState shift) {
    bool handled = false;
    // A handler may free the form.
    thorn::ComponentRef<TCustomForm> self(this);
    if (OnShortCut) OnShortCut(key, shift, handled);
    if (handled || !self) return true;
    if (TMainMenu* menu = GetMenu(); menu && menu->IsShortCut(key, shift)) return true;
    if (!self) return false;
    // The action lists of the form; an action may free what follows it.
    std::vector<thorn::ComponentRef<TCustomActionList>> lists;
    for (int i = 0; i < GetComponentCount(); ++i)
        if (auto* list = dynamic_cast<TCustomActionList*>(GetComponent(i))) lists.emplace_back(list);
    for (auto& list : lists)
        if (list && list->IsShortCut(key, shift)) return true;
    return false;
}

// ---- main menu

TMainMenu* TCustomForm::GetMenu() const { return menuBar_ ? menuBar_->GetMenu() : nullptr; }

void TCustomForm::SetMenu(TMainMenu* menu) {
    if (menu == GetMenu()) return;
    if (TMainMenu* old = GetMenu()) old->window_ = nullptr;
    if (menu && menu->window_ && menu->window_.Get() != this) menu->window_->SetMenu(nullptr);
    menuBar_.reset();
    if (menu) {
        menu->window_ = this;
        menuBar_ = std::make_unique<thorn::MenuBar>(*this, *menu);
    }
    // The client area begins below the bar.
    if (IsDestroying(*this)) return;
    thorn::ComponentRef<TCustomForm> self(this);
    SizeChanged();
    if (self) Invalidate();
}

int TCustomForm::GetMenuBarHeight() const { return menuBar_ ? menuBar_->Height() : 0; }

TPoint TCustomForm::GetClientOrigin() const {
    TPoint offset = ControlAccess::ClientOffset(*this);
    return {GetLeft() + offset.X, GetTop() + offset.Y};
}

void TCustomForm::WMNCCalcSize(TRect& rect) const {
    TWinControl::WMNCCalcSize(rect);
    rect.Top = std::min(rect.Bottom, rect.Top + GetMenuBarHeight());
}

void TCustomForm::WMNCPaint(TCanvas& canvas) {
    TWinControl::WMNCPaint(canvas);
    if (menuBar_) menuBar_->Paint(canvas);
}

namespace {

void InitiateActions(TControl& control) {
    if (!control.GetVisible()) return;
    control.InitiateAction();
    if (auto* wc = dynamic_cast<TWinControl*>(&control))
        for (int i = 0; i < wc->GetControlCount(); ++i) InitiateActions(*wc->GetControl(i));
}

void InitiateActions(TMenuItem& item) {
    for (int i = 0; i < item.GetCount(); ++i) {
        TMenuItem* sub = item.GetItem(i);
        sub->InitiateAction();
        InitiateActions(*sub);
    }
}

}  // namespace

void TCustomForm::UpdateActions() {
    if (TMainMenu* menu = GetMenu()) InitiateActions(*menu->GetItems());
    for (int i = 0; i < GetControlCount(); ++i) InitiateActions(*GetControl(i));
}

// ---- geometry and painting

void TCustomForm::SetBounds(int left, int top, int width, int height) {
    // A handler of the new size may free the form.
    thorn::ComponentRef<TCustomForm> self(this);
    TWinControl::SetBounds(left, top, width, height);
    if (self && window_ && !settingBoundsFromHost_)
        window_->SetBounds({GetLeft(), GetTop(), GetLeft() + GetWidth(), GetTop() + GetHeight()});
}

void TCustomForm::WMSize() {
    // A child's handler may free the form while it is laid out.
    thorn::ComponentRef<TCustomForm> self(this);
    TWinControl::WMSize();
    if (self && IsShowing()) Invalidate();
}

void TCustomForm::CMTextChanged() {
    if (window_) window_->SetCaption(GetCaption());
}

void TCustomForm::Invalidate() { InvalidateClientRect(WindowRect()); }

void TCustomForm::InvalidateClientRect(const TRect& r) {
    if (IsDestroying(*this) || !IsShowing()) return;
    TRect clipped;
    if (IntersectRect(clipped, r, WindowRect()) && !IsRectEmpty(clipped)) thorn::AddDirtyRect(dirty_, clipped);
}

void TCustomForm::PresentLater(const TRect& r) {
    TRect clipped;
    if (IsShowing() && IntersectRect(clipped, r, WindowRect()) && !IsRectEmpty(clipped))
        thorn::AddDirtyRect(presentOnly_, clipped);
}

void TCustomForm::Update() { PaintPending(); }

void TCustomForm::PaintPending() {
    if (!IsShowing() || IsDestroying(*this)) {
        dirty_.clear();
        presentOnly_.clear();
        return;
    }
    if (backBuffer_.Width() != GetWidth() || backBuffer_.Height() != GetHeight()) {
        backBuffer_.SetSize(GetWidth(), GetHeight());
        dirty_.assign(1, WindowRect());
        presentOnly_.clear();
    }
    if (dirty_.empty() && presentOnly_.empty()) return;
    std::vector<TRect> rects;
    rects.swap(dirty_);
    thorn::ComponentRef<TCustomForm> self(this);
    for (const TRect& r : rects) {
        PaintRect(r);
        if (!self) return;
    }
    for (const TRect& r : presentOnly_) thorn::AddDirtyRect(rects, r);
    presentOnly_.clear();
    if (window_ && !rects.empty()) window_->Present(backBuffer_, rects);
}

void TCustomForm::PaintRect(const TRect& r) {
    if (backBuffer_.Empty()) return;
    bufferCanvas_.SetTarget(&backBuffer_);
    try {
        thorn::ComponentRef<TCustomForm> self(this);
        ControlAccess::PaintTree(*this, bufferCanvas_, {0, 0}, r);
        if (!self) return;
        thorn::PaintCaret(*this, backBuffer_, r);
        thorn::PaintSizingLine(*this, backBuffer_, r);
    } catch (...) {
        Application->HandleException(this);
    }
}

void TCustomForm::PaintWindow(TCanvas& canvas) {
    static_cast<thorn::ControlCanvas&>(*canvas_).PaintWithin(canvas, [this] { Paint(); });
}

void TCustomForm::Paint() {
    if (OnPaint) OnPaint(this);
}

TControl* TCustomForm::ControlAtClientPos(TPoint p) const {
    TControl* hit = nullptr;
    TPoint offset = ControlAccess::ClientOffset(*this);
    TPoint inner{p.X - offset.X, p.Y - offset.Y};
    if (PtInRect(GetClientRect(), inner)) hit = ControlAtPos(inner, false, true, true);
    return hit ? hit : const_cast<TCustomForm*>(this);
}

// ---- dialog keys

bool TCustomForm::CMDialogKey(TKey key, TShiftState shift) {
    switch (key) {
        case VK_TAB:
            if (!shift.Contains(ssCtrl) && !shift.Contains(ssAlt)) {
                SelectNext(activeControl_.Get(), !shift.Contains(ssShift), true);
                return true;
            }
            break;
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
            if (TWinControl* active = activeControl_.Get(); active && active->GetParent()) {
                active->GetParent()->SelectNext(active, key == VK_RIGHT || key == VK_DOWN, false);
                return true;
            }
            return false;
        default: break;
    }
    return TWinControl::CMDialogKey(key, shift);
}

// ---- input from the host

// Every key and press is noted for the Alt held before any window routes
// it: whatever control, pop-up or window takes it, the Alt's release is
// then no lone Alt.
void TCustomForm::HostMouse(const thorn::MouseInput& input) {
    if (!Application) return;
    const thorn::MouseAction a = input.action;
    if (a == thorn::MouseAction::Down || a == thorn::MouseAction::DoubleClick || a == thorn::MouseAction::Wheel)
        Application->GetLoneAlt().Spoil();
    if (IsDestroying(*this)) return;
    Application->Guard(this, [&] { RouteMouse(input); });
}

void TCustomForm::HostKey(const thorn::KeyInput& input) {
    if (!Application) return;
    Application->GetLoneAlt().Key(input);
    if (IsDestroying(*this)) return;
    Application->Guard(this, [&] { RouteKey(input); });
}

void TCustomForm::HostOtherInput() {
    if (Application) Application->GetLoneAlt().Spoil();
}

void TCustomForm::HostChar(char ch) {
    if (IsDestroying(*this) || !Application) return;
    Application->Guard(this, [&] { RouteChar(ch); });
}

void TCustomForm::SetBoundsFromHost(int left, int top, int width, int height) {
    // The window already has these bounds: they are not handed back to it.
    struct Flag {
        TCustomForm& form;
        thorn::ComponentRef<TCustomForm> alive;  // a handler may free the form
        ~Flag() {
            if (alive) form.settingBoundsFromHost_ = false;
        }
    } flag{*this, this};
    settingBoundsFromHost_ = true;
    SetBounds(left, top, width, height);
}

void TCustomForm::HostResized(int width, int height) {
    if (IsDestroying(*this)) return;
    thorn::ComponentRef<TCustomForm> self(this);
    Application->Guard(this, [&] {
        SetBoundsFromHost(GetLeft(), GetTop(), width, height);
        if (!self) return;
        // A window system that ignored the limits gets the size the form took.
        if (window_ && (GetWidth() != width || GetHeight() != height))
            window_->SetBounds({GetLeft(), GetTop(), GetLeft() + GetWidth(), GetTop() + GetHeight()});
        Invalidate();
    });
}

void TCustomForm::HostMoved(int left, int top) {
    if (IsDestroying(*this)) return;
    Application->Guard(this, [&] { SetBoundsFromHost(left, top, GetWidth(), GetHeight()); });
}

void TCustomForm::HostFrameRead() {
    if (IsDestroying(*this) || !OnFrameRead) return;
    Application->Guard(this, [&] { OnFrameRead(this); });
}

void TCustomForm::HostCloseRequested() {
    if (IsDestroying(*this) || !GetEnabled()) return;
    Application->Guard(this, [&] { Close(); });
}

void TCustomForm::HostWindowStateChanged(TWindowState state) {
    // The window is there already: only the form learns of it.
    if (IsDestroying(*this)) return;
    windowState_ = state;
    // A window disabled under a modal form takes no command from its frame,
    // and the modal form stays where it can be answered: a window system
    // that iconifies them (a dialog with its owner, an owner from a task
    // bar) has them restored, or nothing might be left to bring the
    // program back.
    if (state != wsMinimized || (GetEnabled() && this != InnermostModal())) return;
    thorn::ComponentRef<TCustomForm> self(this);
    Application->QueueCall([self] {
        if (!self || self->windowState_ != wsMinimized || !self->IsShowing()) return;
        self->SetWindowState(wsNormal);
        if (TCustomForm* modal = InnermostModal(); modal && modal->GetHostWindow()) modal->GetHostWindow()->Activate();
    });
}

void TCustomForm::HostActivated(bool active) {
    // Pop-ups never become the active window, even where the window system
    // hands them the keyboard: what they get goes to their owner's window.
    if (thorn::IsPopupKind(windowKind_)) {
        thorn::NotePopupKeyboard(*this, active);
        return;
    }
    hasKeyboard_ = active;
    keyboardAsked_ = false;
    // The focus event of a window that has hidden since comes late: the
    // keyboard went on when it hid.
    if (active && !IsShowing()) return;
    if (IsDestroying(*this) || active == active_) return;
    if (TCustomForm* modal = InnermostModal(); active && !GetEnabled() && modal && modal != this) {
        // The window system gave the keyboard to a window under a modal
        // form (a click on it): the modal form takes it.
        thorn::ComponentRef<TCustomForm> self(this);
        Application->QueueCall([self] {
            if (self) BringModalForward(*self.Get());
        });
        return;
    }
    // Nor is a disabled window activated, or remembered as the one the
    // keyboard goes back to, while another window takes the input (a
    // progress window over the windows it disabled): a window manager that
    // hands it the keyboard meanwhile made no choice of the user's. (A
    // modal form that hides hands the keyboard back before its owner is
    // enabled again.)
    if (active && !GetEnabled() && AnotherWindowTakesInput(*this)) return;
    if (!active && !thorn::OpenPopups().empty()) {
        // Some window systems give the keyboard to every window they show,
        // pop-ups too: the window stays active when that is where it went.
        thorn::ComponentRef<TCustomForm> self(this);
        Application->QueueCall([self] {
            if (self && !self->hasKeyboard_ && self->active_ && !thorn::PopupHasKeyboard()) self->LoseActivation();
        });
        return;
    }
    if (!active) {
        LoseActivation();
        return;
    }
    Application->Guard(this, [&] {
        thorn::ComponentRef<TCustomForm> self(this);
        active_ = true;
        if (Screen) Screen->SetActiveForm(this);
        Activate();
        if (!self || !active_) return;
        TWinControl* target = activeControl_.Get();
        if (target && !target->CanFocus()) target = nullptr;
        if (!target) target = FindNextControl(nullptr, true, true, false);
        if (target)
            SetFocusedControl(target);
        else if (TWinControl* focused = focusedControl_.Get())
            ControlAccess::SetFocusMsg(*focused);
        else
            SetFocusedControl(this);
        if (self && Screen && active_) Screen->SetActiveControl(activeControl_.Get());
    });
}

void TCustomForm::LoseActivation() {
    if (IsDestroying(*this) || !active_) return;
    Application->Guard(this, [&] {
        thorn::ComponentRef<TCustomForm> self(this);
        active_ = false;
        CancelMouseMode(this);
        thorn::PopupsOwnerDeactivated(*this);
        if (!self) return;
        if (menuBar_) menuBar_->Cancel();
        Application->CancelHint();
        if (TWinControl* focused = focusedControl_.Get()) ControlAccess::KillFocusMsg(*focused);
        if (self) Deactivate();
    });
}

void TCustomForm::HostExposed() {
    if (IsDestroying(*this)) return;
    PresentLater(WindowRect());
}

// ---- routing

void TCustomForm::SetHover(TControl* control, TPoint) {
    // A handler of leaving or entering may free any control of either chain,
    // or the form.
    thorn::ComponentRef<TCustomForm> self(this);
    std::vector<thorn::ComponentRef<TControl>> chain;
    for (TControl* c = control; c; c = c->GetParent()) chain.emplace_back(c);
    std::reverse(chain.begin(), chain.end());  // outermost first
    const auto inChain = [&chain](const TControl* c) {
        return std::any_of(chain.begin(), chain.end(), [c](const auto& ref) { return ref.Get() == c; });
    };
    // Leave what the pointer left, innermost first.
    const std::vector<thorn::ComponentRef<TControl>> left = hoverChain_;
    for (auto it = left.rbegin(); it != left.rend(); ++it) {
        TControl* old = it->Get();
        if (!old || inChain(old)) continue;
        ControlAccess::MouseLeave(*old);
        if (!self) return;
    }
    std::vector<TControl*> previous;
    for (const auto& ref : left)
        if (ref) previous.push_back(ref.Get());
    hoverChain_.clear();
    for (const auto& ref : chain)
        if (ref) hoverChain_.push_back(ref);
    for (const auto& ref : chain) {
        TControl* c = ref.Get();
        if (!c) break;
        if (std::find(previous.begin(), previous.end(), c) != previous.end()) continue;
        ControlAccess::MouseEnter(*c);
        if (!self || !ref) break;
    }
}

void TCustomForm::ClearHover() {
    std::vector<thorn::ComponentRef<TControl>> chain;
    chain.swap(hoverChain_);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        if (TControl* c = it->Get()) ControlAccess::MouseLeave(*c);
}

void TCustomForm::RouteMouse(const thorn::MouseInput& input) {
    if (input.action == thorn::MouseAction::Leave) {
        ClearHover();
        Application->NoteMouseOver(nullptr, {});
        return;
    }
    bool press = input.action == thorn::MouseAction::Down || input.action == thorn::MouseAction::DoubleClick;
    if (!GetEnabled()) {
        if (press) BringModalForward(*this);
        return;
    }
    TPoint p{input.x, input.y};
    // A press activates the window before it opens anything, so that a
    // menu or a list it drops is raised over the window, not under it. (A
    // press that only closes open pop-ups activates nothing.)
    bool activate = press && !active_ && window_ && !thorn::IsPopupKind(windowKind_);
    if (activate && thorn::OpenPopups().empty()) {
        // OnActivate (and the other window's OnDeactivate) may free the form.
        thorn::ComponentRef<TCustomForm> self(this);
        window_->Activate();
        if (!self) return;
        activate = false;
    }
    if (menuBar_ && menuBar_->Mouse(input)) return;
    // A press outside the open pop-ups only closes them.
    if (press && !thorn::IsPopupKind(windowKind_) && thorn::PopupsTakePress(*this)) return;
    auto toScreen = [this](TPoint q) { return TPoint{GetLeft() + q.X, GetTop() + q.Y}; };
    TControl* hit = ControlAtClientPos(p);
    TControl* capture = Application->GetCaptureControl();
    if (capture && capture->GetParentForm() != this) capture = nullptr;
    TControl* target = capture ? capture : hit;
    TPoint origin;
    ControlAccess::ClientOriginInForm(*target, origin);
    TWMMouse m{input.button, input.shift, p.X - origin.X, p.Y - origin.Y};
    // Handlers may free the control under the pointer, the target or the form.
    thorn::ComponentRef<TControl> ref(target);
    thorn::ComponentRef<TControl> hitRef(hit);
    switch (input.action) {
        case thorn::MouseAction::Down:
        case thorn::MouseAction::DoubleClick:
            if (activate && !active_ && window_) window_->Activate();
            Application->CancelHint();
            if (!ref) return;
            if (input.action == thorn::MouseAction::DoubleClick &&
                target->GetControlStyle().Contains(csDoubleClicks))
                ControlAccess::ButtonDblClk(*target, m);
            else
                ControlAccess::ButtonDown(*target, m);
            break;
        case thorn::MouseAction::Up: ControlAccess::ButtonUp(*target, m); break;
        case thorn::MouseAction::Move:
            SetHover(hit, p);
            if (!ref) return;
            ControlAccess::MouseMove(*target, m);
            if (ref && Screen) Screen->ApplyCursorFor(target);
            if (hitRef) Application->NoteMouseOver(hit, toScreen(p));
            break;
        case thorn::MouseAction::Wheel:
            ControlAccess::MouseWheel(*target, input.shift, input.wheelDelta, toScreen(p));
            break;
        default: break;
    }
}

void TCustomForm::RouteKey(const thorn::KeyInput& input) {
    if (!GetEnabled()) return;
    TWinControl* focus = focusedControl_.Get();
    if (!focus) focus = this;
    thorn::ComponentRef<TWinControl> focusRef(focus);
    thorn::ComponentRef<TCustomForm> self(this);
    TKey key = input.key;
    TShiftState shift = input.shift;
    if (input.action == thorn::KeyAction::Up) {
        // Releases reach an open pop-up first, as presses do.
        if (thorn::PopupsTakeKeyUp(key, shift)) return;
        if (!self || !focusRef) return;
        if (menuBar_ && menuBar_->KeyUp(key, shift)) return;
        if (keyPreview_ && focus != this) {
            ControlAccess::KeyUp(*this, key, shift);
            if (key == 0 || !focusRef) return;
        }
        ControlAccess::KeyUp(*focus, key, shift);
        return;
    }
    Application->CancelHint();
    // An open pop-up, then the menu bar in menu mode, take keys first (a
    // pop-up's handler may free the form).
    if (thorn::PopupsTakeKey(key, shift) || !self) return;
    if (menuBar_ && menuBar_->KeyDown(key, shift)) return;
    if (!self || !focusRef) return;
    if (thorn::IsMenuKey(*focus, key, shift)) return;
    if (!focusRef) return;
    for (TWinControl* c = focus; c; c = c->GetParent())
        if (ControlAccess::ChildKey(*c, key, shift, focus)) return;
    if (!focusRef) return;
    if (shift.Contains(ssAlt) && !shift.Contains(ssCtrl) &&
        ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))) {
        if (CMDialogChar(static_cast<char>(key), shift)) return;
    }
    if (menuBar_ && menuBar_->UnhandledKey(key, shift)) return;
    if (!focusRef) return;
    if (key == VK_APPS || (key == VK_F10 && shift == TShiftState{ssShift})) {
        TPoint at = focus->ClientToScreen({0, 0});
        if (thorn::ShowContextMenu(*focus, at, true)) return;
    }
    uint32_t mask = 0;
    switch (key) {
        case VK_TAB: mask = DLGC_WANTTAB; break;
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN: mask = DLGC_WANTARROWS; break;
        case VK_RETURN:
        case VK_EXECUTE:
        case VK_ESCAPE:
        case VK_CANCEL: mask = DLGC_WANTALLKEYS; break;
        default: break;
    }
    if (mask && !ControlAccess::WantSpecialKey(*focus, key) && !(ControlAccess::GetDlgCode(*focus) & mask) &&
        CMDialogKey(key, shift))
        return;
    if (!focusRef || !self) return;
    if (keyPreview_ && focus != this) {
        ControlAccess::KeyDown(*this, key, shift);
        if (key == 0 || !focusRef) return;
    }
    ControlAccess::KeyDown(*focus, key, shift);
    if (!self) return;
    // Keys that type a control character, as the platform translated them;
    // with Alt held they type nothing (Alt+Backspace is undo, not Backspace).
    if (shift.Contains(ssAlt)) return;
    char ch = 0;
    if (input.key == VK_BACK)
        ch = '\b';
    else if (input.key == VK_TAB)
        ch = '\t';
    else if (input.key == VK_RETURN)
        ch = '\r';
    else if (input.key == VK_ESCAPE)
        ch = '\x1b';
    else if (shift.Contains(ssCtrl) && !shift.Contains(ssAlt) && input.key >= 'A' && input.key <= 'Z')
        ch = static_cast<char>(input.key - 'A' + 1);
    if (ch) RouteChar(ch);
}

void TCustomForm::RouteChar(char ch) {
    if (!GetEnabled()) return;
    thorn::ComponentRef<TCustomForm> self(this);
    if (thorn::PopupsTakeChar(ch) || !self || (menuBar_ && menuBar_->KeyPress(ch))) return;
    TWinControl* focus = focusedControl_.Get();
    if (!focus) focus = this;
    thorn::ComponentRef<TWinControl> focusRef(focus);
    if (keyPreview_ && focus != this) {
        ControlAccess::KeyPress(*this, ch);
        if (ch == 0 || !focusRef) return;
    }
    ControlAccess::KeyPress(*focus, ch);
}

// ---- reached from the controls' base, which does not know the form's class

TCustomForm* GetParentForm(const TControl* control) {
    while (control && control->GetParent()) control = control->GetParent();
    return const_cast<TCustomForm*>(dynamic_cast<const TCustomForm*>(control));
}

TCustomForm* TControl::GetParentForm() const { return ::GetParentForm(this); }

void ControlAccess::RouteMouse(TCustomForm& f, const thorn::MouseInput& input) { f.RouteMouse(input); }

void ControlAccess::RouteKey(TCustomForm& f, const thorn::KeyInput& input) { f.RouteKey(input); }

void ControlAccess::RouteChar(TCustomForm& f, char ch) { f.RouteChar(ch); }
