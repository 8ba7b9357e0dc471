#include "controls/Rmscrollablecontrol.h"

#include <algorithm>
#include <cstdint>

#include "gui/ControlAccess.h"
#include "gui/Edges.h"
#include "gui/Host.h"
#include "gui/ScrollBars.h"

namespace {

constexpr int kWheelNotch = 120;

bool ExactlyShift(TShiftState shift) { return (shift & TShiftState{ssShift, ssAlt, ssCtrl}) == TShiftState{ssShift}; }
bool ExactlyCtrl(TShiftState shift) { return (shift & TShiftState{ssShift, ssAlt, ssCtrl}) == TShiftState{ssCtrl}; }

// SelStart takes any row a program gives, so steps from it are taken in 64
// bits and brought back into the rows (or the 32-bit range) afterwards.
int Saturated(int64_t value) {
    return static_cast<int>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

}  // namespace

TrmCustomScrollableControl::TrmCustomScrollableControl() {
    SetControlStyle({csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks, csOpaque});
    SetTabStop(true);
    SetBounds(0, 0, 400, 200);
}

void TrmCustomScrollableControl::ItemIndexChanged() {
    try {
        DoItemIndexChange();
    } catch (const thorn::EUnscriptedDialog&) {
        throw;
    } catch (...) {
        // The hook is the descendant's: its failure must not undo the move.
    }
}

// ---- rows

int TrmCustomScrollableControl::VisibleItems() { return GetClientHeight() / RowHeight(); }

void TrmCustomScrollableControl::SetItemIndex(int value) {
    int count = MaxItemCount();
    if (count <= 0) return;
    itemIndex_ = std::clamp(value, 0, count - 1);
    selStart_ = selEnd_ = itemIndex_;
    // Every fit of a bar runs OnScroll, which may free the control.
    thorn::ComponentRef<TrmCustomScrollableControl> self(this);
    ScrollToVisible();
    if (self) UpdateVScrollBar();
    if (!self) return;
    Invalidate();
    ItemIndexChanged();
}

void TrmCustomScrollableControl::SetTopIndex(int value) {
    int count = MaxItemCount(), visible = VisibleItems();
    topIndex_ = count > visible ? std::clamp(value, 0, count - visible) : 0;
    thorn::ComponentRef<TrmCustomScrollableControl> self(this);
    UpdateVScrollBar();
    if (self) Invalidate();
}

void TrmCustomScrollableControl::ScrollToVisible() {
    int visible = VisibleItems();
    thorn::ComponentRef<TrmCustomScrollableControl> self(this);
    if (itemIndex_ < topIndex_)
        SetTopIndex(itemIndex_);
    else if (itemIndex_ > topIndex_ + visible - 1)
        SetTopIndex(static_cast<int>(
            std::clamp(int64_t{itemIndex_} - (visible - 1), int64_t{0}, int64_t{std::max(0, MaxItemCount())})));
    if (!self) return;
    if (topIndex_ < 0) {
        SetTopIndex(0);
        if (!self) return;
        itemIndex_ = 0;
        ItemIndexChanged();
    }
}

void TrmCustomScrollableControl::SetSelStart(int value) {
    selStart_ = selEnd_ = itemIndex_ = value;
    ItemIndexChanged();
    Invalidate();
}

int TrmCustomScrollableControl::GetSelCount() const { return Saturated(int64_t{selEnd_} - selStart_); }

void TrmCustomScrollableControl::SetSelCount(int value) {
    selEnd_ = multiSelect_ ? Saturated(int64_t{selStart_} + value) : selStart_;
    itemIndex_ = selEnd_;
    ItemIndexChanged();
    Invalidate();
}

void TrmCustomScrollableControl::CalcMultiSelect(int oldIndex, int oldStart, int oldEnd) {
    int i = itemIndex_;
    if (oldIndex < i) {
        if (oldIndex == oldEnd) {
            selStart_ = oldStart;
        } else if (i > oldEnd) {
            selStart_ = oldEnd == oldStart ? oldStart : oldEnd;
        } else {
            selStart_ = i;
            selEnd_ = oldEnd;
            return;
        }
        selEnd_ = i;
        return;
    }
    if (oldIndex == oldStart) {
        selStart_ = i;
        selEnd_ = oldEnd;
    } else if (i < oldStart) {
        selStart_ = i;
        selEnd_ = oldEnd == oldStart ? oldEnd : oldStart;
    } else {
        selStart_ = oldStart;
        selEnd_ = i;
    }
}

// ---- scrolling

int TrmCustomScrollableControl::GetVScrollSize() const {
    auto* self = const_cast<TrmCustomScrollableControl*>(this);
    return std::max(0, self->MaxItemCount() - self->VisibleItems());
}

int TrmCustomScrollableControl::GetHScrollSize() const {
    return std::max(0, const_cast<TrmCustomScrollableControl*>(this)->MaxItemLength() - GetClientWidth());
}

int TrmCustomScrollableControl::GetVScrollPos() const { return HasVBar() ? GetScrollPos(*this, SB_VERT) : topIndex_; }

int TrmCustomScrollableControl::GetHScrollPos() const { return HasHBar() ? GetScrollPos(*this, SB_HORZ) : offset_; }

int TrmCustomScrollableControl::MoveBar(int bar, int value) {
    TScrollInfo info{SIF_POS | SIF_DISABLENOSCROLL};
    info.nPos = value;
    return SetScrollInfo(*this, bar, info);
}

void TrmCustomScrollableControl::SetVScrollPos(int value) {
    thorn::ComponentRef<TrmCustomScrollableControl> self(this);
    SetTopIndex(HasVBar() ? MoveBar(SB_VERT, value) : std::clamp(value, 0, GetVScrollSize()));
    if (self) Invalidate();
}

void TrmCustomScrollableControl::SetHScrollPos(int value) {
    offset_ = HasHBar() ? MoveBar(SB_HORZ, value) : std::clamp(value, 0, GetHScrollSize());
    Invalidate();
}

void TrmCustomScrollableControl::FitBar(int bar, bool shown, int& value, int size) {
    if (GetComponentState().Contains(csLoading) || GetComponentState().Contains(csDestroying)) return;
    value = std::clamp(value, 0, size);
    if (shown) {
        TScrollInfo info{SIF_RANGE | SIF_POS | SIF_DISABLENOSCROLL};
        info.nMax = size;
        info.nPos = value;
        SetScrollInfo(*this, bar, info);
        value = GetScrollPos(*this, bar);
    }
    thorn::ComponentRef<TrmCustomScrollableControl> self(this);
    if (bar == SB_VERT)
        VerticalScrollChange();
    else
        HorizontalScrollChange();
    if (self && OnScroll) OnScroll(this, bar == SB_VERT ? kScrollBarVertical : kScrollBarHorizontal);
}

void TrmCustomScrollableControl::UpdateVScrollBar() { FitBar(SB_VERT, HasVBar(), topIndex_, GetVScrollSize()); }

void TrmCustomScrollableControl::UpdateHScrollBar() { FitBar(SB_HORZ, HasHBar(), offset_, GetHScrollSize()); }

void TrmCustomScrollableControl::UpdateBoth() {
    thorn::ComponentRef<TrmCustomScrollableControl> self(this);
    UpdateVScrollBar();
    if (self) UpdateHScrollBar();
}

void TrmCustomScrollableControl::WMVScroll(int code, int pos) {
    int visible = VisibleItems();
    thorn::ComponentRef<TrmCustomScrollableControl> self(this);
    switch (code) {
        case SB_LINEUP: SetTopIndex(topIndex_ - 1); break;
        case SB_LINEDOWN: SetTopIndex(topIndex_ + 1); break;
        case SB_PAGEUP: SetTopIndex(topIndex_ - visible); break;
        case SB_PAGEDOWN: SetTopIndex(topIndex_ + visible); break;
        case SB_THUMBPOSITION:
        case SB_THUMBTRACK: SetTopIndex(pos); break;
        case SB_TOP: SetTopIndex(0); break;
        case SB_BOTTOM: SetTopIndex(MaxItemCount() - visible); break;
        default: return;
    }
    if (self) UpdateVScrollBar();
    if (self) Invalidate();
}

void TrmCustomScrollableControl::WMHScroll(int code, int pos) {
    int half = (MaxItemLength() - GetClientWidth()) / 2;
    switch (code) {
        case SB_LINELEFT: offset_ -= MaxItemWidth(); break;
        case SB_LINERIGHT: offset_ += MaxItemWidth(); break;
        case SB_PAGELEFT: offset_ -= half; break;
        case SB_PAGERIGHT: offset_ += half; break;
        case SB_THUMBPOSITION:
        case SB_THUMBTRACK: offset_ = pos; break;
        case SB_LEFT: offset_ = 0; break;
        case SB_RIGHT: offset_ = MaxItemLength() - GetClientWidth(); break;
        default: return;
    }
    thorn::ComponentRef<TrmCustomScrollableControl> self(this);
    UpdateHScrollBar();
    if (self) Invalidate();
}

bool TrmCustomScrollableControl::WMMouseWheel(TShiftState shift, int wheelDelta, TPoint screenPos) {
    bool handled = false;
    // The handlers, and OnScroll, may free the control.
    thorn::ComponentRef<TrmCustomScrollableControl> self(this);
    if (OnMouseWheel) OnMouseWheel(this, shift, wheelDelta, screenPos, handled);
    if (self && !handled && wheelDelta < 0 && OnMouseWheelDown) OnMouseWheelDown(this, shift, screenPos, handled);
    if (self && !handled && wheelDelta > 0 && OnMouseWheelUp) OnMouseWheelUp(this, shift, screenPos, handled);
    if (self) SetTopIndex(std::clamp(GetVScrollPos() - wheelDelta / kWheelNotch, 0, GetVScrollSize()));
    if (self) UpdateVScrollBar();
    if (self) Invalidate();
    return true;
}

void TrmCustomScrollableControl::WMSize() {
    thorn::ComponentRef<TrmCustomScrollableControl> self(this);
    UpdateBoth();
    if (self) TCustomControl::WMSize();
}

// ---- settings

void TrmCustomScrollableControl::SetShowFocusRect(bool value) {
    if (value == showFocusRect_) return;
    showFocusRect_ = value;
    Invalidate();
}

void TrmCustomScrollableControl::SetHideSelection(bool value) {
    hideSelection_ = value;
    Invalidate();
}

void TrmCustomScrollableControl::SetMultiSelect(bool value) {
    multiSelect_ = value;
    if (!value) selStart_ = selEnd_ = itemIndex_;
    Invalidate();
}

void TrmCustomScrollableControl::SetScrollBars(TScrollStyle value) {
    if (value == scrollBars_) return;
    scrollBars_ = value;
    // The bars the new style leaves out go; the others are fitted anew.
    if (!HasVBar() && IsScrollBarShown(*this, SB_VERT)) ShowScrollBar(*this, SB_VERT, false);
    if (!HasHBar() && IsScrollBarShown(*this, SB_HORZ)) ShowScrollBar(*this, SB_HORZ, false);
    thorn::ComponentRef<TrmCustomScrollableControl> self(this);
    UpdateBoth();
    if (self) Invalidate();
}

void TrmCustomScrollableControl::SetBorderStyle(TBorderStyle value) {
    if (value == borderStyle_) return;
    borderStyle_ = value;
    thorn::ControlAccess::NonClientChanged(*this);
}

void TrmCustomScrollableControl::SetCtl3D(bool value) {
    if (value == ctl3D_) return;
    ctl3D_ = value;
    if (borderStyle_ == bsSingle) thorn::ControlAccess::NonClientChanged(*this);
}

void TrmCustomScrollableControl::WMNCCalcSize(TRect& rect) const {
    int frame = ControlFrameWidth(borderStyle_ == bsSingle, ctl3D_);
    InflateRect(rect, -frame, -frame);
    TCustomControl::WMNCCalcSize(rect);
}

void TrmCustomScrollableControl::WMNCPaint(TCanvas& canvas) {
    DrawControlFrame(canvas, {0, 0, GetWidth(), GetHeight()}, borderStyle_ == bsSingle, ctl3D_);
}

// ---- keys and mouse

void TrmCustomScrollableControl::KeyDown(TKey& key, TShiftState shift) {
    thorn::ComponentRef<TrmCustomScrollableControl> self(this);
    TCustomControl::KeyDown(key, shift);
    if (!self) return;
    int oldIndex = itemIndex_, oldStart = selStart_, oldEnd = selEnd_;
    int visible = VisibleItems(), count = MaxItemCount();
    int64_t index = itemIndex_;
    switch (key) {
        case VK_PRIOR: index -= visible - 1; break;
        case VK_NEXT: index += visible - 1; break;
        case VK_END: index = count - 1; break;
        case VK_HOME: index = 0; break;
        case VK_LEFT:
            if (ExactlyCtrl(shift))
                offset_ = 0;
            else if ((shift & TShiftState{ssShift, ssAlt, ssCtrl}).Empty())
                offset_ -= 1;
            break;
        case VK_RIGHT:
            if (ExactlyCtrl(shift))
                offset_ = MaxItemLength() - GetClientWidth();
            else if ((shift & TShiftState{ssShift, ssAlt, ssCtrl}).Empty())
                offset_ += 1;
            break;
        case VK_UP: index -= 1; break;
        case VK_DOWN: index += 1; break;
        default: break;
    }
    itemIndex_ = count > 0 ? static_cast<int>(std::clamp<int64_t>(index, 0, count - 1)) : -1;
    if (ExactlyShift(shift) && multiSelect_)
        CalcMultiSelect(oldIndex, oldStart, oldEnd);
    else
        selStart_ = selEnd_ = itemIndex_;
    ItemIndexChanged();
    if (!self) return;
    ScrollToVisible();
    if (self) UpdateBoth();
    if (self) Invalidate();
}

int TrmCustomScrollableControl::RowAtY(int y) {
    int count = MaxItemCount();
    return count > 0 ? std::clamp(y / RowHeight() + topIndex_, 0, count - 1) : -1;
}

void TrmCustomScrollableControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    thorn::ComponentRef<TrmCustomScrollableControl> self(this);
    TCustomControl::MouseDown(button, shift, x, y);
    if (!self || button != mbLeft) return;
    if (CanFocus()) SetFocus();
    if (!self) return;
    int height = RowHeight();
    // A press just outside the rows reaches the row beyond them.
    if (y < 0) y = -height;
    if (y > GetClientHeight()) y = GetClientHeight() + height;
    int oldIndex = itemIndex_, oldStart = selStart_, oldEnd = selEnd_;
    itemIndex_ = RowAtY(y);
    if (shift.Contains(ssShift) && multiSelect_)
        CalcMultiSelect(oldIndex, oldStart, oldEnd);
    else
        selStart_ = selEnd_ = itemIndex_;
    if (itemIndex_ != oldIndex) {
        ItemIndexChanged();
        if (!self) return;
        ScrollToVisible();
        if (self) UpdateBoth();
    }
    if (self) Invalidate();
}

void TrmCustomScrollableControl::MouseMove(TShiftState shift, int x, int y) {
    thorn::ComponentRef<TrmCustomScrollableControl> self(this);
    TCustomControl::MouseMove(shift, x, y);
    if (!self || !Focused() || !shift.Contains(ssLeft)) return;
    int oldIndex = itemIndex_, oldStart = selStart_, oldEnd = selEnd_;
    itemIndex_ = RowAtY(y);
    if (multiSelect_)
        CalcMultiSelect(oldIndex, oldStart, oldEnd);
    else
        selStart_ = selEnd_ = itemIndex_;
    if (itemIndex_ != oldIndex) {
        ItemIndexChanged();
        if (!self) return;
        ScrollToVisible();
        if (self) UpdateBoth();
        if (self) Repaint();
    } else {
        Invalidate();
    }
}
