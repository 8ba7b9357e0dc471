#include "gui/Controls.h"

#include <algorithm>

#include "gui/ActionLink.h"
#include "gui/ControlAccess.h"
#include "gui/ControlCanvas.h"
#include "gui/ControlLinks.h"
#include "gui/ScrollBars.h"
#include "gui/SizeConstraints.h"
#include "platform/Collections.h"

std::string GetShortHint(const std::string& hint) {
    size_t bar = hint.find('|');
    return bar == std::string::npos ? hint : hint.substr(0, bar);
}

std::string GetLongHint(const std::string& hint) {
    size_t bar = hint.find('|');
    return bar == std::string::npos ? hint : hint.substr(bar + 1);
}

namespace {

bool IsDestroying(const TComponent& c) { return c.GetComponentState().Contains(csDestroying); }

// The top of control's parent chain: its form when it is on one.
TControl* TopOf(const TControl& control) {
    const TControl* top = &control;
    while (top->GetParent()) top = top->GetParent();
    return const_cast<TControl*>(top);
}

}  // namespace

// ====================================================================== TControl

TControl::TControl() {
    font_.OnChange = [this](TObject*) { DoFontChanged(); };
}

TControl::~TControl() {
    actionLink_.reset();
    font_.OnChange = nullptr;
    if (parent_) parent_->RemoveControl(this);
}

void TControl::BeforeDestruction() {
    TComponent::BeforeDestruction();
    thorn::ApplicationLink* app = thorn::RunningApplication();
    if (app && app->GetCaptureControl() == this) app->SetCaptureControl(nullptr);
    if (parent_) parent_->RemoveControl(this);
}

// ---- action and pop-up menu

TBasicAction* TControl::GetAction() const { return actionLink_ ? actionLink_->GetAction() : nullptr; }

void TControl::SetAction(TBasicAction* action) {
    if (!action) {
        actionLink_.reset();
        return;
    }
    if (!actionLink_) actionLink_ = CreateActionLink();
    actionLink_->SetAction(action);
}

std::unique_ptr<TBasicActionLink> TControl::CreateActionLink() { return std::make_unique<TControlActionLink>(*this); }

void TControl::InitiateAction() {
    if (actionLink_) actionLink_->Update();
}

void TControl::DoContextPopup(TPoint mousePos, bool& handled) {
    if (OnContextPopup) OnContextPopup(this, mousePos, handled);
}

void TControl::SetParent(TWinControl* parent) {
    if (parent == parent_) return;
    for (const TControl* p = parent; p; p = p->parent_)
        if (p == this) throw EInvalidOperation("A control cannot be its own parent");
    if (parent_) parent_->RemoveControl(this);
    if (parent) parent->InsertControl(this);
}

void TControl::SetBounds(int left, int top, int width, int height) {
    width = std::max(0, width);
    height = std::max(0, height);
    if (autoSize_ && !IsUpdatingBounds()) CanAutoSize(width, height);
    // Handlers (OnCanResize, OnResize, a child's) may free the control.
    thorn::ComponentRef<TControl> self(this);
    if ((width != width_ || height != height_) && !CanResize(width, height)) {
        if (!self) return;
        width = width_;
        height = height_;
    }
    if (!self) return;
    if (constraints_) constraints_->Apply(width, height);
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    bool moved = left != left_ || top != top_;
    bool sized = width != width_ || height != height_;
    Invalidate();
    ++updatingBounds_;
    left_ = left, top_ = top, width_ = width, height_ = height;
    --updatingBounds_;
    Invalidate();
    if (!anchoring_) UpdateAnchorRules();
    if (moved) WMMove();
    if (sized && self) SizeChanged();
    if (!self) return;
    if (align_ != alNone || (parent_ && parent_->RealignsOnChildBounds())) RequestAlign();
}

void TControl::SetAnchors(TAnchors value) {
    if (value == anchors_) return;
    anchors_ = value;
    UpdateAnchorRules();
}

void TControl::UpdateAnchorRules() {
    if (!parent_) return;
    TRect client = parent_->GetClientRect();
    originalParentSize_ = {client.Width(), client.Height()};
    auto rule = [](bool nearEdge, bool farEdge, int start, int size) {
        if (farEdge) return nearEdge ? size : start;
        return start + size / 2;
    };
    anchorRules_ = {rule(anchors_.Contains(akLeft), anchors_.Contains(akRight), left_, width_),
                    rule(anchors_.Contains(akTop), anchors_.Contains(akBottom), top_, height_)};
}

TSizeConstraints& TControl::Constraints() {
    if (!constraints_) {
        constraints_ = std::make_unique<TSizeConstraints>();
        constraints_->OnChange = [this](TObject*) { DoConstraintsChange(); };
    }
    return *constraints_;
}

void TControl::DoConstraintsChange() { SetBounds(left_, top_, width_, height_); }

TRect TControl::GetClientRect() const { return {0, 0, width_, height_}; }

TRect TControl::GetVisibleClientRect() const {
    TRect visible;
    TPoint origin;
    if (!thorn::ControlAccess::VisibleClientRectInForm(*this, visible) ||
        !thorn::ControlAccess::ClientOriginInForm(*this, origin))
        return {};
    OffsetRect(visible, -origin.X, -origin.Y);
    return visible;
}

void TControl::SetClientWidth(int value) { SetWidth(value + (width_ - GetClientWidth())); }

void TControl::SetClientHeight(int value) { SetHeight(value + (height_ - GetClientHeight())); }

TPoint TControl::GetClientOrigin() const {
    TPoint offset = thorn::ControlAccess::ClientOffset(*this);
    if (!parent_) return {left_ + offset.X, top_ + offset.Y};
    TPoint p = parent_->GetClientOrigin();
    return {p.X + left_ + offset.X, p.Y + top_ + offset.Y};
}

TPoint TControl::ClientToScreen(TPoint p) const {
    TPoint o = GetClientOrigin();
    return {p.X + o.X, p.Y + o.Y};
}

TPoint TControl::ScreenToClient(TPoint p) const {
    TPoint o = GetClientOrigin();
    return {p.X - o.X, p.Y - o.Y};
}

TPoint TControl::ClientToParent(TPoint p, const TWinControl* ancestor) const {
    if (!ancestor) ancestor = parent_;
    const TControl* c = this;
    while (c && c != ancestor) {
        TPoint offset = thorn::ControlAccess::ClientOffset(*c);
        p.X += c->left_ + offset.X;
        p.Y += c->top_ + offset.Y;
        c = c->parent_;
    }
    if (c != ancestor) throw EInvalidOperation("The control is not inside that parent");
    return p;
}

TPoint TControl::ParentToClient(TPoint p, const TWinControl* ancestor) const {
    TPoint zero = ClientToParent({0, 0}, ancestor);
    return {p.X - zero.X, p.Y - zero.Y};
}

void TControl::SetAlign(TAlign value) {
    if (value == align_) return;
    TAlign old = align_;
    align_ = value;
    SetAnchors(kDefaultAnchors);
    if (old != alNone || value != alNone) RequestAlign();
}

void TControl::SetAutoSize(bool value) {
    if (value == autoSize_) return;
    autoSize_ = value;
    if (value) AdjustSize();
}

void TControl::AdjustSize() {
    if (!autoSize_ || IsDestroying(*this)) return;
    int w = width_, h = height_;
    if (CanAutoSize(w, h)) {
        ++updatingBounds_;
        SetBounds(left_, top_, w, h);
        --updatingBounds_;
    }
}

bool TControl::CanAutoSize(int&, int&) { return true; }

bool TControl::CanResize(int& newWidth, int& newHeight) {
    bool resize = true;
    if (OnCanResize) OnCanResize(this, newWidth, newHeight, resize);
    return resize;
}

void TControl::RequestAlign() {
    if (parent_ && !IsDestroying(*parent_)) parent_->AlignControl(this);
}

void TControl::Loaded() {
    TComponent::Loaded();
    RequestAlign();
}

bool TControl::IsShowing() const {
    if (!visible_) return false;
    if (!parent_) return false;
    return parent_->IsShowing();
}

bool TControl::IsEnabledDeep() const {
    for (const TControl* c = this; c; c = c->parent_)
        if (!c->enabled_) return false;
    return true;
}

void TControl::SetVisible(bool value) {
    if (value == visible_) return;
    if (!value) Invalidate();
    visible_ = value;
    // A control told it shows or hides (a page's OnShow) may be freed.
    const thorn::ComponentWatch watch(this);
    CMVisibleChanged();
    if (watch.Freed()) return;
    if (value) Invalidate();
    RequestAlign();
}

void TControl::SetEnabled(bool value) {
    if (value == enabled_) return;
    enabled_ = value;
    CMEnabledChanged();
}

void TControl::SetColor(TColor value) {
    if (value == color_) return;
    color_ = value;
    parentColor_ = false;
    CMColorChanged();
}

void TControl::SetParentColor(bool value) {
    if (value == parentColor_) return;
    parentColor_ = value;
    if (value && parent_) CMParentColorChanged();
}

void TControl::SetParentFont(bool value) {
    if (value == parentFont_) return;
    parentFont_ = value;
    if (value && parent_) CMParentFontChanged();
}

void TControl::DoFontChanged() {
    if (!applyingParentFont_) parentFont_ = false;
    CMFontChanged();
}

void TControl::SetText(const std::string& value) {
    if (value == text_) return;
    text_ = value;
    CMTextChanged();
}

void TControl::SetShowHint(bool value) {
    parentShowHint_ = false;
    if (value == showHint_) return;
    showHint_ = value;
    CMShowHintChanged();
}

void TControl::SetParentShowHint(bool value) {
    if (value == parentShowHint_) return;
    parentShowHint_ = value;
    if (value && parent_) CMParentShowHintChanged();
}

void TControl::SetCursor(TCursor value) {
    if (value == cursor_) return;
    cursor_ = value;
    CMCursorChanged();
}

void TControl::InvalidateRect(const TRect& r) {
    if (IsDestroying(*this)) return;
    thorn::FormLink* form = thorn::FormLinkOf(*this);
    if (!form || !IsShowing()) return;
    TPoint origin;
    if (!thorn::ControlAccess::ClientOriginInForm(*this, origin)) return;
    form->InvalidateClientRect({r.Left + origin.X, r.Top + origin.Y, r.Right + origin.X, r.Bottom + origin.Y});
}

void TControl::Invalidate() {
    if (IsDestroying(*this) || !parent_) return;
    thorn::FormLink* form = thorn::FormLinkOf(*this);
    if (!form || !parent_->IsShowing() || !visible_) return;
    TPoint origin;
    if (!thorn::ControlAccess::ClientOriginInForm(*parent_, origin)) return;
    TRect b = GetPaintBounds();
    form->InvalidateClientRect({b.Left + origin.X, b.Top + origin.Y, b.Right + origin.X, b.Bottom + origin.Y});
}

void TControl::Repaint() {
    Invalidate();
    Update();
}

void TControl::Update() {
    if (thorn::FormLinkOf(*this)) TopOf(*this)->Update();
}

bool TControl::GetMouseCapture() const {
    thorn::ApplicationLink* app = thorn::RunningApplication();
    return app && app->GetCaptureControl() == this;
}

void TControl::SetMouseCapture(bool value) {
    thorn::ApplicationLink* app = thorn::RunningApplication();
    if (!app || GetMouseCapture() == value) return;
    app->SetCaptureControl(value ? this : nullptr);
}

void TControl::BringToFront() {
    if (!parent_) return;
    auto& list = IsWindowed() ? parent_->winControls_ : parent_->controls_;
    auto it = std::find(list.begin(), list.end(), this);
    if (it == list.end() || it + 1 == list.end()) return;
    list.erase(it);
    list.push_back(this);
    Invalidate();
}

void TControl::SendToBack() {
    if (!parent_) return;
    auto& list = IsWindowed() ? parent_->winControls_ : parent_->controls_;
    auto it = std::find(list.begin(), list.end(), this);
    if (it == list.end() || it == list.begin()) return;
    list.erase(it);
    list.insert(list.begin(), this);
    Invalidate();
}

// ---- messages

void TControl::WMSize() {}

void TControl::SizeChanged() {
    thorn::ComponentRef<TControl> self(this);
    WMSize();
    if (self && !GetComponentState().Contains(csLoading)) Resize();
}

void TControl::WMMove() {}

void TControl::WMButtonDown(const TWMMouse& m) {
    if (m.Button == mbLeft) {
        if (controlStyle_.Contains(csCaptureMouse)) SetMouseCapture(true);
        if (controlStyle_.Contains(csClickEvents)) controlState_.Include(csClicked);
    }
    if (!controlStyle_.Contains(csNoStdEvents)) MouseDown(m.Button, m.Shift, m.X, m.Y);
}

void TControl::WMButtonDblClk(const TWMMouse& m) {
    // The double-click handler may free the control.
    thorn::ComponentRef<TControl> self(this);
    if (m.Button == mbLeft) {
        if (controlStyle_.Contains(csCaptureMouse)) SetMouseCapture(true);
        if (controlStyle_.Contains(csClickEvents)) DblClick();
    }
    TShiftState shift = m.Shift;
    shift.Include(ssDouble);
    if (self && !controlStyle_.Contains(csNoStdEvents)) MouseDown(m.Button, shift, m.X, m.Y);
}

void TControl::WMButtonUp(const TWMMouse& m) {
    thorn::ComponentRef<TControl> self(this);
    if (m.Button == mbRight && !controlStyle_.Contains(csNoStdEvents)) {
        MouseUp(m.Button, m.Shift, m.X, m.Y);
        if (self) thorn::ShowContextMenu(*this, ClientToScreen({m.X, m.Y}), false);
        return;
    }
    if (m.Button == mbLeft) {
        if (controlStyle_.Contains(csCaptureMouse)) SetMouseCapture(false);
        if (controlState_.Contains(csClicked)) {
            controlState_.Exclude(csClicked);
            TRect client = GetClientRect();
            if (PtInRect(client, {m.X, m.Y})) Click();
        }
    }
    if (self && !controlStyle_.Contains(csNoStdEvents)) MouseUp(m.Button, m.Shift, m.X, m.Y);
}

void TControl::WMMouseMove(const TWMMouse& m) {
    if (!controlStyle_.Contains(csNoStdEvents)) MouseMove(m.Shift, m.X, m.Y);
}

bool TControl::WMMouseWheel(TShiftState shift, int wheelDelta, TPoint screenPos) {
    bool handled = false;
    // OnMouseWheel may free the control.
    thorn::ComponentRef<TControl> self(this);
    if (OnMouseWheel) OnMouseWheel(this, shift, wheelDelta, screenPos, handled);
    if (!self) return true;
    if (!handled && parent_ && !IsDestroying(*this))
        return thorn::ControlAccess::MouseWheel(*parent_, shift, wheelDelta, screenPos);
    return handled;
}

void TControl::CMMouseEnter() {
    if (OnMouseEnter) OnMouseEnter(this);
}

void TControl::CMMouseLeave() {
    if (OnMouseLeave) OnMouseLeave(this);
}

void TControl::CMEnabledChanged() { Invalidate(); }

void TControl::CMVisibleChanged() {}

void TControl::CMFontChanged() { Invalidate(); }

void TControl::CMParentFontChanged() {
    if (!parentFont_ || !parent_) return;
    applyingParentFont_ = true;
    font_.Assign(parent_->GetFont());
    applyingParentFont_ = false;
}

void TControl::CMColorChanged() { Invalidate(); }

void TControl::CMParentColorChanged() {
    if (!parentColor_ || !parent_) return;
    if (color_ != parent_->GetColor()) {
        color_ = parent_->GetColor();
        CMColorChanged();
    }
}

void TControl::CMTextChanged() { Invalidate(); }

void TControl::CMShowHintChanged() {}

void TControl::CMParentShowHintChanged() {
    if (!parentShowHint_ || !parent_) return;
    if (showHint_ != parent_->GetShowHint()) {
        showHint_ = parent_->GetShowHint();
        CMShowHintChanged();
    }
}

void TControl::CMCursorChanged() {
    if (thorn::ApplicationLink* app = thorn::RunningApplication()) app->ApplyControlCursor();
}

void TControl::CMCancelMode() {
    if (GetMouseCapture()) SetMouseCapture(false);
    controlState_.Exclude(csClicked);
}

void TControl::CMSysColorChange() { Invalidate(); }

bool TControl::CMHintShow(THintInfo&) { return true; }

bool TControl::CMHitTest(int, int) { return true; }

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
    if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TControl::Click() {
    if (actionLink_ && actionLink_->GetAction())
        actionLink_->Execute();
    else if (OnClick)
        OnClick(this);
}

void TControl::DblClick() {
    if (OnDblClick) OnDblClick(this);
}

void TControl::Resize() {
    if (OnResize) OnResize(this);
}

// =================================================================== TWinControl

TWinControl::TWinControl() = default;

TWinControl::~TWinControl() {
    // Freed without its owner's help (held by a std::unique_ptr or as a
    // member): it leaves its parent while it is still a windowed control, and
    // the children still go with it.
    Destroying();
    if (parent_) parent_->RemoveControl(this);
    FreeChildControls();
    // Children held elsewhere outlive this control and lose their parent.
    for (TControl* c : controls_) c->parent_ = nullptr;
    for (TControl* c : winControls_) c->parent_ = nullptr;
    controls_.clear();
    winControls_.clear();
    tabList_.clear();
}

void TWinControl::BeforeDestruction() {
    TControl::BeforeDestruction();
    FreeChildControls();
    DestroyComponents();
}

void TWinControl::FreeChildControls() {
    // A child is freed through its owner, so that it also leaves the owner's
    // list; one without an owner belongs to whoever holds it. Freeing a child
    // may free others (those it owns), so the lists are searched afresh each
    // time, topmost first.
    auto freeable = [](const std::vector<TControl*>& list) -> TControl* {
        for (auto it = list.rbegin(); it != list.rend(); ++it)
            if ((*it)->GetOwner() && !IsDestroying(**it)) return *it;
        return nullptr;
    };
    for (;;) {
        TControl* child = freeable(winControls_);
        if (!child) child = freeable(controls_);
        if (!child) return;
        thorn::Free(child);
    }
}

TControl* TWinControl::GetControl(int index) const {
    int graphic = static_cast<int>(controls_.size());
    if (index < 0 || index >= GetControlCount()) ThrowListIndexError(index);
    return index < graphic ? controls_[static_cast<size_t>(index)] : winControls_[static_cast<size_t>(index - graphic)];
}

void TWinControl::InsertControl(TControl* control) {
    if (!control || control->parent_ == this) return;
    if (control->parent_) control->parent_->RemoveControl(control);
    control->parent_ = this;
    if (control->IsWindowed()) {
        winControls_.push_back(control);
        tabList_.push_back(static_cast<TWinControl*>(control));
    } else {
        controls_.push_back(control);
    }
    control->UpdateAnchorRules();
    control->CMParentFontChanged();
    control->CMParentColorChanged();
    control->CMParentShowHintChanged();
    control->Invalidate();
    control->RequestAlign();
}

void TWinControl::RemoveControl(TControl* control) {
    if (!control || control->parent_ != this) return;
    thorn::FormLink* form = thorn::FormLinkOf(*this);
    if (form && control->IsWindowed()) form->DefocusControl(static_cast<TWinControl*>(control), true);
    if (thorn::ApplicationLink* app = thorn::RunningApplication()) {
        TControl* capture = app->GetCaptureControl();
        for (TControl* c = capture; c; c = c->parent_)
            if (c == control) {
                app->SetCaptureControl(nullptr);
                break;
            }
    }
    control->Invalidate();
    std::erase(controls_, control);
    std::erase(winControls_, control);
    std::erase_if(tabList_, [control](const TWinControl* w) { return w == control; });
    control->parent_ = nullptr;
    if (!IsDestroying(*this) && control->align_ != alNone) Realign();
}

bool TWinControl::ContainsControl(const TControl* control) const {
    for (const TControl* c = control; c; c = c->GetParent())
        if (c == this) return true;
    return false;
}

TControl* TWinControl::ControlAtPos(TPoint pos, bool allowDisabled, bool allowWinControls, bool allLevels) const {
    auto hit = [&](TControl* c) -> bool {
        if (!c->visible_ || (!allowDisabled && !c->enabled_)) return false;
        if (!PtInRect(c->GetBoundsRect(), pos)) return false;
        TPoint offset = thorn::ControlAccess::ClientOffset(*c);
        return c->CMHitTest(pos.X - c->left_ - offset.X, pos.Y - c->top_ - offset.Y);
    };
    if (allowWinControls) {
        for (auto it = winControls_.rbegin(); it != winControls_.rend(); ++it) {
            if (!hit(*it)) continue;
            if (allLevels) {
                auto* wc = static_cast<TWinControl*>(*it);
                TPoint offset = thorn::ControlAccess::ClientOffset(*wc);
                TPoint inner{pos.X - wc->left_ - offset.X, pos.Y - wc->top_ - offset.Y};
                if (PtInRect(wc->GetClientRect(), inner))
                    if (TControl* deeper = wc->ControlAtPos(inner, allowDisabled, true, true)) return deeper;
            }
            return *it;
        }
    }
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it)
        if (hit(*it)) return *it;
    return nullptr;
}

bool TWinControl::CanFocus() const {
    if (!thorn::FormLinkOf(*this)) return false;
    // The form itself (the top of the chain) may still be hidden: focus then
    // waits for it to show.
    for (const TControl* c = this; c && c->GetParent(); c = c->GetParent())
        if (!c->GetVisible() || !c->GetEnabled()) return false;
    return true;
}

bool TWinControl::Focused() const {
    thorn::FormLink* form = thorn::FormLinkOf(*this);
    if (!form) return false;
    return form->GetFocusedControl() == this && form->GetActive();
}

void TWinControl::SetFocus() {
    thorn::FormLink* form = thorn::FormLinkOf(*this);
    if (!form) throw EInvalidOperation("Cannot focus a control that is on no form");
    form->FocusControl(this);
}

int TWinControl::GetTabOrder() const {
    if (!GetParent()) return -1;
    const auto& list = GetParent()->tabList_;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int value) {
    if (!GetParent()) return;
    auto& list = GetParent()->tabList_;
    auto it = std::find(list.begin(), list.end(), this);
    if (it == list.end()) return;
    list.erase(it);
    value = std::clamp(value, 0, static_cast<int>(list.size()));
    list.insert(list.begin() + value, this);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) const {
    for (TWinControl* c : tabList_) {
        list.push_back(c);
        c->GetTabOrderList(list);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool goForward, bool checkTabStop,
                                          bool checkParent) const {
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    if (list.empty()) return nullptr;
    int count = static_cast<int>(list.size());
    auto found = std::find(list.begin(), list.end(), current);
    int start = found == list.end() ? (goForward ? count - 1 : 0) : static_cast<int>(found - list.begin());
    int i = start;
    for (int step = 0; step < count; ++step) {
        i = goForward ? (i + 1) % count : (i - 1 + count) % count;
        TWinControl* c = list[static_cast<size_t>(i)];
        if (c == current) break;
        if ((!checkTabStop || c->tabStop_) && (!checkParent || c->GetParent() == this) && c->CanFocus()) return c;
    }
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* current, bool goForward, bool checkTabStop) {
    TWinControl* next = FindNextControl(current, goForward, checkTabStop, !checkTabStop);
    if (next) next->SetFocus();
}

void TWinControl::SelectFirst() {
    thorn::FormLink* form = thorn::FormLinkOf(*this);
    TWinControl* first = FindNextControl(nullptr, true, true, false);
    if (!first) first = FindNextControl(nullptr, true, false, false);
    if (first && form) form->FocusControl(first);
}

void TWinControl::DisableAlign() { ++alignLevel_; }

void TWinControl::EnableAlign() {
    if (--alignLevel_ == 0 && GetControlState().Contains(csAlignmentNeeded)) Realign();
}

void TWinControl::Realign() { AlignControl(nullptr); }

void TWinControl::AlignControl(TControl* control) {
    if (IsDestroying(*this)) return;
    if (alignLevel_ != 0 || GetComponentState().Contains(csLoading)) {
        SetControlState(GetControlState().Include(csAlignmentNeeded));
        return;
    }
    DisableAlign();
    // A child's handler (OnCanResize, OnResize) may free this control.
    thorn::ComponentRef<TWinControl> self(this);
    AnchorChildren();
    if (!self) return;
    TRect rect = GetClientRect();
    AdjustClientRect(rect);
    AlignControls(control, rect);
    if (!self) return;
    SetControlState(GetControlState().Exclude(csAlignmentNeeded));
    EnableAlign();
}

void TWinControl::AlignControls(TControl* control, TRect& rect) {
    thorn::ComponentRef<TWinControl> self(this);
    // Each kind of alignment in turn, the controls of a kind ordered by their
    // position (the control being placed goes where it now stands).
    for (TAlign kind : {alTop, alBottom, alLeft, alRight, alClient}) {
        std::vector<TControl*> list;
        auto before = [&](TControl* a, TControl* b) {
            switch (kind) {
                case alTop: return a->top_ < b->top_;
                case alBottom: return a->top_ + a->height_ > b->top_ + b->height_;
                case alLeft: return a->left_ < b->left_;
                case alRight: return a->left_ + a->width_ > b->left_ + b->width_;
                default: return false;
            }
        };
        for (TControl* c : controls_)
            if (c->align_ == kind && c->visible_) list.push_back(c);
        for (TControl* c : winControls_)
            if (c->align_ == kind && c->visible_) list.push_back(c);
        std::stable_sort(list.begin(), list.end(), [&](TControl* a, TControl* b) {
            if (a == control && b != control) return before(a, b) || !before(b, a);
            return before(a, b);
        });
        // A child's handler may free another child, or this control.
        const std::vector<thorn::ComponentRef<TControl>> placed(list.begin(), list.end());
        for (const auto& ref : placed) {
            TControl* c = ref.Get();
            if (!c || c->parent_ != this) continue;
            const int w = c->width_, h = c->height_;
            switch (kind) {
                case alTop: c->SetBounds(rect.Left, rect.Top, rect.Width(), h); break;
                case alBottom: c->SetBounds(rect.Left, rect.Bottom - h, rect.Width(), h); break;
                case alLeft: c->SetBounds(rect.Left, rect.Top, w, rect.Height()); break;
                case alRight: c->SetBounds(rect.Right - w, rect.Top, w, rect.Height()); break;
                case alClient: c->SetBounds(rect.Left, rect.Top, rect.Width(), rect.Height()); break;
                default: break;
            }
            if (!self) return;
            if (!ref) continue;  // gone, it takes no room
            switch (kind) {
                case alTop: rect.Top += c->height_; break;
                case alBottom: rect.Bottom -= c->height_; break;
                case alLeft: rect.Left += c->width_; break;
                case alRight: rect.Right -= c->width_; break;
                default: break;
            }
        }
    }
}

void TWinControl::AnchorChildren() {
    TRect client = GetClientRect();
    TPoint size{client.Width(), client.Height()};
    // Along one axis: the new start and size from the rule taken against
    // the parent's size back then. A parent that had no size yet gives the
    // control its first measure instead.
    auto axis = [](bool nearEdge, bool farEdge, int rule, int original, int now, int& start, int& length) {
        if (farEdge) {
            if (nearEdge)
                length = rule + now - original;
            else
                start = rule + now - original;
        } else if (!nearEdge) {
            start = static_cast<int>(static_cast<int64_t>(rule) * now / original) - length / 2;
        }
    };
    // A handler run by one move may free another anchored child.
    std::vector<thorn::ComponentRef<TControl>> anchored;
    for (const auto* list : {&controls_, &winControls_})
        for (TControl* c : *list)
            if (c->align_ == alNone && c->anchors_ != kDefaultAnchors) anchored.emplace_back(c);
    for (auto& ref : anchored) {
        TControl* c = ref.Get();
        if (!c || c->parent_ != this) continue;
        if (c->originalParentSize_.X <= 0 || c->originalParentSize_.Y <= 0) {
            c->UpdateAnchorRules();
            continue;
        }
        TAnchors a = c->anchors_;
        int l = c->left_, t = c->top_, w = c->width_, h = c->height_;
        axis(a.Contains(akLeft), a.Contains(akRight), c->anchorRules_.X, c->originalParentSize_.X, size.X, l, w);
        axis(a.Contains(akTop), a.Contains(akBottom), c->anchorRules_.Y, c->originalParentSize_.Y, size.Y, t, h);
        struct Anchoring {
            thorn::ComponentRef<TControl>& control;
            ~Anchoring() {
                if (control) control->anchoring_ = false;
            }
        } anchoring{ref};
        c->anchoring_ = true;
        c->SetBounds(l, t, w, h);
    }
}

void TWinControl::WMSize() { Realign(); }

void TWinControl::SetBorderWidth(int value) {
    value = std::max(0, value);
    if (value == borderWidth_) return;
    borderWidth_ = value;
    Realign();
    Invalidate();
}

TRect TWinControl::GetClientRect() const {
    TRect area = thorn::ControlAccess::ClientAreaInBounds(*this);
    return {0, 0, area.Width(), area.Height()};
}

void TWinControl::WMNCCalcSize(TRect& rect) const {
    rect = {rect.Left + borderWidth_, rect.Top + borderWidth_, rect.Right - borderWidth_, rect.Bottom - borderWidth_};
}

void TWinControl::NonClientChanged() {
    thorn::ComponentRef<TWinControl> alive(this);
    SizeChanged();
    if (alive) Invalidate();
}

void TWinControl::WMButtonDown(const TWMMouse& message) {
    if (scrollBars_ && scrollBars_->MouseDown(message)) return;
    TControl::WMButtonDown(message);
}

void TWinControl::WMButtonDblClk(const TWMMouse& message) {
    if (scrollBars_ && scrollBars_->MouseDown(message)) return;
    TControl::WMButtonDblClk(message);
}

void TWinControl::WMButtonUp(const TWMMouse& message) {
    if (scrollBars_ && scrollBars_->MouseUp(message)) return;
    TControl::WMButtonUp(message);
}

void TWinControl::WMMouseMove(const TWMMouse& message) {
    if (scrollBars_ && scrollBars_->MouseMove(message)) return;
    TControl::WMMouseMove(message);
}

void TWinControl::WMCaptureChanged() {
    if (scrollBars_) scrollBars_->CancelTracking();
}

bool TWinControl::CMDialogKey(TKey key, TShiftState shift) {
    for (TControl* c : std::vector<TControl*>(winControls_)) {
        auto* wc = static_cast<TWinControl*>(c);
        if (wc->GetVisible() && wc->GetEnabled() && wc->CMDialogKey(key, shift)) return true;
    }
    return false;
}

bool TWinControl::CMDialogChar(char ch, TShiftState shift) {
    // Windowed children first, then graphic ones (a label focuses its control).
    for (TControl* c : std::vector<TControl*>(winControls_))
        if (c->GetVisible() && c->GetEnabled() && c->CMDialogChar(ch, shift)) return true;
    for (TControl* c : std::vector<TControl*>(controls_))
        if (c->GetVisible() && c->GetEnabled() && c->CMDialogChar(ch, shift)) return true;
    return false;
}

bool TWinControl::CMChildKey(TKey key, TShiftState shift, TWinControl* sender) {
    return GetParent() ? GetParent()->CMChildKey(key, shift, sender) : false;
}

namespace {

// A control hidden or taken out of use gives up the focus it holds (a form,
// the top of the chain, keeps its own). False when OnExit of a control left
// freed it, or its form.
bool GiveUpFocus(TWinControl& control) {
    thorn::FormLink* form = thorn::FormLinkOf(control);
    if (!form || !control.GetParent()) return true;
    const thorn::ComponentWatch watch(&control);
    form->DefocusControl(&control, false);
    return !watch.Freed();
}

}  // namespace

void TWinControl::CMEnabledChanged() {
    if (!GetEnabled() && !GiveUpFocus(*this)) return;
    TControl::CMEnabledChanged();
}

void TWinControl::CMVisibleChanged() {
    if (!GetVisible() && !GiveUpFocus(*this)) return;
    TControl::CMVisibleChanged();
}

void TWinControl::CMFontChanged() {
    TControl::CMFontChanged();
    for (TControl* c : controls_) c->CMParentFontChanged();
    for (TControl* c : winControls_) c->CMParentFontChanged();
}

void TWinControl::CMColorChanged() {
    TControl::CMColorChanged();
    for (TControl* c : controls_) c->CMParentColorChanged();
    for (TControl* c : winControls_) c->CMParentColorChanged();
}

void TWinControl::CMShowHintChanged() {
    TControl::CMShowHintChanged();
    for (TControl* c : controls_) c->CMParentShowHintChanged();
    for (TControl* c : winControls_) c->CMParentShowHintChanged();
}

void TWinControl::KeyDown(TKey& key, TShiftState shift) {
    if (OnKeyDown) OnKeyDown(this, key, shift);
}

void TWinControl::KeyUp(TKey& key, TShiftState shift) {
    if (OnKeyUp) OnKeyUp(this, key, shift);
}

void TWinControl::KeyPress(char& key) {
    if (OnKeyPress) OnKeyPress(this, key);
}

void TWinControl::DoEnter() {
    if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
    if (OnExit) OnExit(this);
}

bool TWinControl::WMEraseBkgnd(TCanvas& canvas) {
    canvas.FillColor(GetClientRect(), GetColor());
    return true;
}

// ============================================================ graphic and custom

TGraphicControl::TGraphicControl() : canvas_(std::make_unique<thorn::ControlCanvas>(*this)) {}

TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::PaintControl(TCanvas& canvas) {
    static_cast<thorn::ControlCanvas&>(*canvas_).PaintWithin(canvas, [this] { Paint(); });
}

TCustomControl::TCustomControl() : canvas_(std::make_unique<thorn::ControlCanvas>(*this)) {}

TCustomControl::~TCustomControl() = default;

void TCustomControl::PaintWindow(TCanvas& canvas) {
    static_cast<thorn::ControlCanvas&>(*canvas_).PaintWithin(canvas, [this] { Paint(); });
}

// ================================================================ the layer's door

namespace thorn {

FormLink* FormLinkOf(const TControl& control) { return dynamic_cast<FormLink*>(TopOf(control)); }

TPoint ControlAccess::ClientOffset(const TControl& c) {
    if (!c.IsWindowed()) return {0, 0};
    TRect area = ClientAreaInBounds(c);
    return {area.Left, area.Top};
}

TRect ControlAccess::FrameInBounds(const TWinControl& c) {
    TRect r{0, 0, c.GetWidth(), c.GetHeight()};
    c.WMNCCalcSize(r);
    r.Right = std::max(r.Left, r.Right);
    r.Bottom = std::max(r.Top, r.Bottom);
    return r;
}

TRect ControlAccess::ClientAreaInBounds(const TControl& c) {
    if (!c.IsWindowed()) return {0, 0, c.GetWidth(), c.GetHeight()};
    const auto& wc = static_cast<const TWinControl&>(c);
    TRect r = FrameInBounds(wc);
    if (wc.scrollBars_) wc.scrollBars_->Carve(r);
    return r;
}

WindowScrollBars& ControlAccess::EnsureScrollBars(TWinControl& c) {
    if (!c.scrollBars_) c.scrollBars_ = std::make_unique<WindowScrollBars>(c);
    return *c.scrollBars_;
}

void ControlAccess::Scroll(TWinControl& c, int bar, int code, int pos) {
    if (bar == SB_VERT)
        c.WMVScroll(code, pos);
    else
        c.WMHScroll(code, pos);
}

bool ControlAccess::ClientOriginInForm(const TControl& c, TPoint& origin) {
    origin = {0, 0};
    const TControl* p = &c;
    while (p && !dynamic_cast<const FormLink*>(p)) {
        TPoint offset = ClientOffset(*p);
        origin.X += p->GetLeft() + offset.X;
        origin.Y += p->GetTop() + offset.Y;
        p = p->GetParent();
    }
    if (!p) return false;
    // The form's client area starts inside its frame, below its menu bar.
    TPoint offset = ClientOffset(*p);
    origin.X += offset.X;
    origin.Y += offset.Y;
    return true;
}

bool ControlAccess::VisibleClientRectInForm(const TControl& c, TRect& rect) {
    TPoint origin;
    if (!ClientOriginInForm(c, origin) || !c.IsShowing()) return false;
    TRect client = c.GetClientRect();
    rect = {origin.X, origin.Y, origin.X + client.Width(), origin.Y + client.Height()};
    for (const TControl* p = c.GetParent(); p; p = p->GetParent()) {
        TPoint po;
        ClientOriginInForm(*p, po);
        TRect pc = p->GetClientRect();
        if (!IntersectRect(rect, rect, {po.X, po.Y, po.X + pc.Width(), po.Y + pc.Height()})) return false;
    }
    return !IsRectEmpty(rect);
}

void ControlAccess::PaintTree(TWinControl& wc, TCanvas& canvas, TPoint boundsOrigin, const TRect& clip) {
    TRect bounds{boundsOrigin.X, boundsOrigin.Y, boundsOrigin.X + wc.GetWidth(), boundsOrigin.Y + wc.GetHeight()};
    TRect area;
    if (!IntersectRect(area, bounds, clip) || IsRectEmpty(area)) return;
    TBitmap32* target = canvas.GetTarget();
    TRect clientInBounds = ClientAreaInBounds(wc);
    if (clientInBounds != TRect{0, 0, wc.GetWidth(), wc.GetHeight()}) {
        canvas.SetPlacement(target, boundsOrigin, area);
        wc.WMNCPaint(canvas);
        if (wc.scrollBars_) {
            canvas.SetPlacement(target, boundsOrigin, area);
            wc.scrollBars_->Paint(canvas);
        }
    }
    TPoint offset{clientInBounds.Left, clientInBounds.Top};
    TPoint clientOrigin{boundsOrigin.X + offset.X, boundsOrigin.Y + offset.Y};
    TRect client{0, 0, clientInBounds.Width(), clientInBounds.Height()};
    TRect clientArea;
    if (!IntersectRect(clientArea, area,
                       {clientOrigin.X, clientOrigin.Y, clientOrigin.X + client.Width(),
                        clientOrigin.Y + client.Height()}) ||
        IsRectEmpty(clientArea))
        return;
    // An opaque windowed child that covers the whole area hides everything
    // beneath it: the parent and its lower children need not paint there.
    std::vector<TControl*> windowed(wc.winControls_);
    size_t firstWindowed = 0;
    bool covered = false;
    for (size_t i = windowed.size(); i-- > 0 && !covered;) {
        TControl* c = windowed[i];
        if (!c->GetVisible() || !c->GetControlStyle().Contains(csOpaque)) continue;
        TRect cb{clientOrigin.X + c->GetLeft(), clientOrigin.Y + c->GetTop(), clientOrigin.X + c->GetLeft() + c->GetWidth(),
                 clientOrigin.Y + c->GetTop() + c->GetHeight()};
        if (cb.Left <= clientArea.Left && cb.Top <= clientArea.Top && cb.Right >= clientArea.Right &&
            cb.Bottom >= clientArea.Bottom) {
            firstWindowed = i;
            covered = true;
        }
    }
    // A handler of the paint may free any control of the tree, the form
    // with them.
    ComponentRef<TWinControl> alive(&wc);
    const std::vector<ComponentRef<TControl>> children(windowed.begin() + static_cast<std::ptrdiff_t>(firstWindowed),
                                                       windowed.end());
    if (!covered) PaintOwnLayer(wc, canvas, clientOrigin, clientArea);
    for (const auto& child : children) {
        if (!alive) return;
        TControl* c = child.Get();
        if (!c || !c->GetVisible()) continue;
        PaintTree(static_cast<TWinControl&>(*c), canvas, {clientOrigin.X + c->GetLeft(), clientOrigin.Y + c->GetTop()},
                  clientArea);
    }
}

void ControlAccess::PaintOwnLayer(TWinControl& wc, TCanvas& canvas, TPoint clientOrigin, const TRect& clientArea) {
    TBitmap32* target = canvas.GetTarget();
    canvas.SetPlacement(target, clientOrigin, clientArea);
    wc.WMEraseBkgnd(canvas);
    canvas.SetPlacement(target, clientOrigin, clientArea);
    ComponentRef<TWinControl> alive(&wc);
    const std::vector<ComponentRef<TControl>> graphic(wc.controls_.begin(), wc.controls_.end());
    wc.PaintWindow(canvas);
    for (const auto& ref : graphic) {
        TControl* c = ref.Get();
        if (!alive) return;
        if (!c || !c->GetVisible()) continue;
        TRect b = c->GetPaintBounds();
        TRect cb{clientOrigin.X + b.Left, clientOrigin.Y + b.Top, clientOrigin.X + b.Right, clientOrigin.Y + b.Bottom};
        TRect cc;
        if (!IntersectRect(cc, cb, clientArea) || IsRectEmpty(cc)) continue;
        canvas.SetPlacement(target, {clientOrigin.X + c->GetLeft(), clientOrigin.Y + c->GetTop()}, cc);
        c->PaintControl(canvas);
    }
}

// ---- control canvas

TComponent* ControlCanvas::Control() const { return &control_; }

void ControlCanvas::BeginPaint(const TCanvas& placement) {
    SetPlacement(placement.GetTarget(), placement.GetOrigin(), placement.GetDeviceClip());
    painting_ = true;
}

void ControlCanvas::EndPaint() {
    painting_ = false;
    SetPlacement(nullptr, {}, {});
}

void ControlCanvas::RequiredState() {
    if (painting_) return;
    FormLink* form = FormLinkOf(control_);
    TRect visible;
    TPoint origin;
    if (!form || !ControlAccess::VisibleClientRectInForm(control_, visible) ||
        !ControlAccess::ClientOriginInForm(control_, origin)) {
        SetPlacement(nullptr, {}, {});
        return;
    }
    SetPlacement(&form->BackBuffer(), origin, visible);
    form->PresentLater(visible);
}

}  // namespace thorn
