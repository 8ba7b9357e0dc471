#include "gui/ScrollBox.h"

#include <algorithm>

#include "gui/Edges.h"
#include "gui/ScrollBars.h"

// ============================================================ TControlScrollBar

void TControlScrollBar::SetIncrement(int value) {
    increment_ = std::max(1, value);
    TSize step = control_.GetLineStep();
    if (kind_ == sbHorizontal)
        control_.SetLineStep(increment_, step.cy);
    else
        control_.SetLineStep(step.cx, increment_);
}

int TControlScrollBar::GetPosition() const {
    TPoint pos = control_.GetScrollPos();
    return kind_ == sbHorizontal ? pos.X : pos.Y;
}

void TControlScrollBar::SetPosition(int value) {
    TPoint pos = control_.GetScrollPos();
    control_.SetScrollPos(kind_ == sbHorizontal ? TPoint{value, pos.Y} : TPoint{pos.X, value});
}

int TControlScrollBar::GetRange() const {
    TSize content = control_.GetContentSize();
    return kind_ == sbHorizontal ? content.cx : content.cy;
}

void TControlScrollBar::SetRange(int value) {
    control_.autoScroll_ = false;
    TSize content = control_.GetContentSize();
    if (kind_ == sbHorizontal)
        control_.SetContentSize(value, content.cy);
    else
        control_.SetContentSize(content.cx, value);
}

void TControlScrollBar::SetVisible(bool value) {
    if (value == visible_) return;
    visible_ = value;
    control_.UpdateBarStyle();
}

bool TControlScrollBar::IsScrollBarVisible() const {
    return IsScrollBarShown(control_, kind_ == sbHorizontal ? SB_HORZ : SB_VERT);
}

// ================================================================== TScrollBox

TScrollBox::TScrollBox() {
    SetControlStyle({csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks, csOpaque});
    SetColor(clBtnFace);
    SetParentColor(false);
    SetLineStep(horz_.GetIncrement(), vert_.GetIncrement());
    SetBounds(0, 0, 185, 41);
    UpdateBarStyle();
}

void TScrollBox::UpdateBarStyle() {
    bool h = horz_.GetVisible(), v = vert_.GetVisible();
    SetScrollBars(h && v ? ssBoth : h ? ssHorizontal : v ? ssVertical : ssNone);
}

void TScrollBox::SetAutoScroll(bool value) {
    if (value == autoScroll_) return;
    autoScroll_ = value;
    if (value) Realign();
}

void TScrollBox::SetBorderStyle(TBorderStyle value) {
    if (value == borderStyle_) return;
    borderStyle_ = value;
    NonClientChanged();
    UpdateScrollBars();
}

void TScrollBox::WMNCCalcSize(TRect& rect) const {
    ScrollingControl::WMNCCalcSize(rect);
    if (borderStyle_ == bsSingle) InflateRect(rect, -2, -2);
}

void TScrollBox::WMNCPaint(TCanvas& canvas) {
    if (borderStyle_ != bsSingle) return;
    TRect r{0, 0, GetWidth(), GetHeight()};
    DrawEdge(canvas, r, EDGE_SUNKEN, BF_RECT);
}

void TScrollBox::AlignControls(TControl* control, TRect& rect) {
    ScrollingControl::AlignControls(control, rect);
    CalcAutoRange();
}

void TScrollBox::CalcAutoRange() {
    if (!autoScroll_ || GetComponentState().Contains(csDestroying)) return;
    TPoint pos = GetScrollPos();
    int right = 0, bottom = 0;
    for (int i = 0; i < GetControlCount(); ++i) {
        const TControl* c = GetControl(i);
        if (!c->GetVisible() || c->GetAlign() != alNone) continue;
        right = std::max(right, c->GetLeft() + c->GetWidth() + pos.X);
        bottom = std::max(bottom, c->GetTop() + c->GetHeight() + pos.Y);
    }
    SetContentSize(right, bottom);
}

void TScrollBox::ScrollPosChanged(TPoint old) {
    TPoint pos = GetScrollPos();
    int dx = old.X - pos.X, dy = old.Y - pos.Y;
    // The children move all at once: the range is measured again only
    // when every one of them is in its new place.
    DisableAlign();
    struct Enable {
        thorn::ComponentRef<TScrollBox> box;
        ~Enable() {
            if (box) box->EnableAlign();
        }
    } enable{this};
    std::vector<thorn::ComponentRef<TControl>> children;
    for (int i = 0; i < GetControlCount(); ++i)
        if (GetControl(i)->GetAlign() == alNone) children.emplace_back(GetControl(i));
    for (auto& ref : children)
        if (TControl* c = ref.Get(); c && enable.box && c->GetParent() == this)
            c->SetBounds(c->GetLeft() + dx, c->GetTop() + dy, c->GetWidth(), c->GetHeight());
    if (enable.box) ScrollingControl::ScrollPosChanged(old);
}

void TScrollBox::WMHScroll(int code, int pos) {
    if (code == SB_THUMBTRACK && !horz_.GetTracking()) return;
    ScrollingControl::WMHScroll(code, pos);
}

void TScrollBox::WMVScroll(int code, int pos) {
    if (code == SB_THUMBTRACK && !vert_.GetTracking()) return;
    ScrollingControl::WMVScroll(code, pos);
}

void TScrollBox::ScrollInView(const TControl* control) {
    if (!control || control == this || !ContainsControl(control)) return;
    TPoint origin = control->GetParent() == this ? TPoint{0, 0} : control->GetParent()->ClientToParent({0, 0}, this);
    TPoint pos = GetScrollPos();
    TRect r = control->GetBoundsRect();
    OffsetRect(r, origin.X + pos.X, origin.Y + pos.Y);
    ScrollingControl::ScrollInView(r);
}

void TScrollBox::CMFocusChanged(TWinControl* focused) {
    if (autoScroll_ && focused && focused != this && ContainsControl(focused)) ScrollInView(focused);
}
