#include "gui/ScrollingControl.h"

#include <algorithm>

#include "gui/ControlAccess.h"
#include "gui/ScrollBars.h"

namespace {

int CeilDiv(int a, int b) { return a >= 0 ? (a + b - 1) / b : -((-a) / b); }
int FloorDiv(int a, int b) { return a >= 0 ? a / b : -CeilDiv(-a, b); }

}  // namespace

namespace thorn {

ScrollingControl::ScrollingControl() = default;

void ScrollingControl::SetScrollBars(TScrollStyle value) {
    if (value == scrollBars_) return;
    scrollBars_ = value;
    for (int bar : {SB_HORZ, SB_VERT})
        if (!BarAllowed(bar) && IsScrollBarShown(*this, bar)) ShowScrollBar(*this, bar, false);
    UpdateScrollBars();
}

void ScrollingControl::SetDisableNoScroll(bool value) {
    if (value == disableNoScroll_) return;
    disableNoScroll_ = value;
    UpdateScrollBars();
}

void ScrollingControl::SetContentSize(int width, int height) {
    TSize size{std::max(0, width), std::max(0, height)};
    if (size == content_) return;
    content_ = size;
    UpdateScrollBars();
}

void ScrollingControl::SetScrollUnit(int width, int height) {
    TSize unit{std::max(1, width), std::max(1, height)};
    if (unit == unit_) return;
    unit_ = unit;
    UpdateScrollBars();
    Invalidate();
}

void ScrollingControl::SetLineStep(int horizontal, int vertical) {
    lineStep_ = {std::max(1, horizontal), std::max(1, vertical)};
}

bool ScrollingControl::BarAllowed(int bar) const {
    return bar == SB_VERT ? scrollBars_ == ssVertical || scrollBars_ == ssBoth
                          : scrollBars_ == ssHorizontal || scrollBars_ == ssBoth;
}

TSize ScrollingControl::GetPageSize() const {
    TRect viewport = GetViewport();
    auto page = [](int pixels, int unit) { return pixels <= 0 ? 0 : std::max(1, pixels / unit); };
    return {page(viewport.Width(), unit_.cx), page(viewport.Height(), unit_.cy)};
}

TPoint ScrollingControl::GetMaxScrollPos() const {
    TSize page = GetPageSize();
    return {std::max(0, content_.cx - page.cx), std::max(0, content_.cy - page.cy)};
}

void ScrollingControl::SetScrollPos(TPoint pos) {
    TPoint max = GetMaxScrollPos();
    pos = {std::clamp(pos.X, 0, max.X), std::clamp(pos.Y, 0, max.Y)};
    if (pos == pos_) return;
    TPoint old = pos_;
    pos_ = pos;
    if (BarAllowed(SB_HORZ) && pos.X != old.X) ::SetScrollPos(*this, SB_HORZ, pos.X);
    if (BarAllowed(SB_VERT) && pos.Y != old.Y) ::SetScrollPos(*this, SB_VERT, pos.Y);
    ComponentRef<ScrollingControl> self(this);
    ScrollPosChanged(old);
    if (self && OnScroll) OnScroll(this);
}

void ScrollingControl::ScrollInView(const TRect& units) {
    TSize page = GetPageSize();
    auto axis = [](int pos, int first, int last, int page) {
        if (last - first > page || first < pos) return first;
        if (last > pos + page) return last - page;
        return pos;
    };
    SetScrollPos({axis(pos_.X, units.Left, units.Right, page.cx), axis(pos_.Y, units.Top, units.Bottom, page.cy)});
}

TPoint ScrollingControl::GetContentOrigin() const {
    TRect viewport = GetViewport();
    return {viewport.Left - pos_.X * unit_.cx, viewport.Top - pos_.Y * unit_.cy};
}

TRect ScrollingControl::GetVisibleUnits(const TRect& clip) const {
    TRect shown;
    if (!IntersectRect(shown, clip, GetViewport())) return {};
    TPoint origin = GetContentOrigin();
    TRect units{FloorDiv(shown.Left - origin.X, unit_.cx), FloorDiv(shown.Top - origin.Y, unit_.cy),
                CeilDiv(shown.Right - origin.X, unit_.cx), CeilDiv(shown.Bottom - origin.Y, unit_.cy)};
    units.Left = std::clamp(units.Left, 0, content_.cx);
    units.Right = std::clamp(units.Right, units.Left, content_.cx);
    units.Top = std::clamp(units.Top, 0, content_.cy);
    units.Bottom = std::clamp(units.Bottom, units.Top, content_.cy);
    return units;
}

void ScrollingControl::ScrollPosChanged(TPoint) { InvalidateRect(GetViewport()); }

void ScrollingControl::UpdateScrollBars() {
    if (updatingBars_ || GetComponentState().Contains(csDestroying)) return;
    updatingBars_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{updatingBars_};
    // Showing one bar narrows the viewport, which may call for the other:
    // a few rounds settle it.
    for (int round = 0; round < 3; ++round) {
        bool shownBefore[2] = {IsScrollBarShown(*this, SB_HORZ), IsScrollBarShown(*this, SB_VERT)};
        TSize page = GetPageSize();
        for (int bar : {SB_HORZ, SB_VERT}) {
            if (!BarAllowed(bar)) continue;
            bool vertical = bar == SB_VERT;
            TScrollInfo info{SIF_RANGE | SIF_PAGE | SIF_POS | (disableNoScroll_ ? SIF_DISABLENOSCROLL : 0)};
            info.nMin = 0;
            info.nMax = std::max(0, (vertical ? content_.cy : content_.cx) - 1);
            info.nPage = static_cast<uint32_t>(std::max(1, vertical ? page.cy : page.cx));
            info.nPos = vertical ? pos_.Y : pos_.X;
            SetScrollInfo(*this, bar, info);
        }
        if (shownBefore[0] == IsScrollBarShown(*this, SB_HORZ) && shownBefore[1] == IsScrollBarShown(*this, SB_VERT))
            break;
    }
    TPoint max = GetMaxScrollPos();
    TPoint pos{std::min(pos_.X, max.X), std::min(pos_.Y, max.Y)};
    if (pos != pos_) {
        updatingBars_ = false;
        SetScrollPos(pos);
    }
}

void ScrollingControl::Scroll(int bar, int code, int pos) {
    bool vertical = bar == SB_VERT;
    int current = vertical ? pos_.Y : pos_.X;
    int line = vertical ? lineStep_.cy : lineStep_.cx;
    int page = std::max(1, vertical ? GetPageSize().cy : GetPageSize().cx);
    int target = current;
    switch (code) {
        case SB_LINEUP: target = current - line; break;
        case SB_LINEDOWN: target = current + line; break;
        case SB_PAGEUP: target = current - page; break;
        case SB_PAGEDOWN: target = current + page; break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: target = pos; break;
        case SB_TOP: target = 0; break;
        case SB_BOTTOM: target = vertical ? GetMaxScrollPos().Y : GetMaxScrollPos().X; break;
        default: return;
    }
    SetScrollPos(vertical ? TPoint{pos_.X, target} : TPoint{target, pos_.Y});
}

void ScrollingControl::WMHScroll(int code, int pos) { Scroll(SB_HORZ, code, pos); }

void ScrollingControl::WMVScroll(int code, int pos) { Scroll(SB_VERT, code, pos); }

bool ScrollingControl::WMMouseWheel(TShiftState shift, int wheelDelta, TPoint screenPos) {
    bool handled = false;
    // OnMouseWheel may free the control.
    ComponentRef<ScrollingControl> self(this);
    if (OnMouseWheel) OnMouseWheel(this, shift, wheelDelta, screenPos, handled);
    if (handled || !self) return true;
    if (GetMaxScrollPos().Y > 0) {
        // A forward turn (positive delta) moves towards the top.
        constexpr int kNotch = 120;
        wheelRest_ += wheelDelta;
        int notches = wheelRest_ / kNotch;
        wheelRest_ -= notches * kNotch;
        ScrollBy(0, -notches * wheelLines_ * lineStep_.cy);
        return true;
    }
    TWinControl* parent = GetParent();
    return parent && ControlAccess::MouseWheel(*parent, shift, wheelDelta, screenPos);
}

void ScrollingControl::WMSize() {
    UpdateScrollBars();
    TCustomControl::WMSize();
}

}  // namespace thorn
