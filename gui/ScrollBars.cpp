#include "gui/ScrollBars.h"

#include <algorithm>

#include "gui/ControlAccess.h"
#include "gui/ControlLinks.h"
#include "gui/Drawing.h"
#include "gui/Edges.h"
#include "gui/Timers.h"

using thorn::ControlAccess;
using thorn::WindowScrollBars;

// ---- the calls on a control

int SetScrollInfo(TWinControl& control, int bar, const TScrollInfo& info, bool redraw) {
    return ControlAccess::EnsureScrollBars(control).SetInfo(bar, info, redraw);
}

bool GetScrollInfo(const TWinControl& control, int bar, TScrollInfo& info) {
    WindowScrollBars* bars = ControlAccess::ScrollBarsOf(control);
    if (!bars) return false;
    bars->GetInfo(bar, info);
    return true;
}

int GetScrollPos(const TWinControl& control, int bar) {
    TScrollInfo info{SIF_POS};
    return GetScrollInfo(control, bar, info) ? info.nPos : 0;
}

int SetScrollPos(TWinControl& control, int bar, int pos, bool redraw) {
    int previous = GetScrollPos(control, bar);
    TScrollInfo info{SIF_POS};
    info.nPos = pos;
    SetScrollInfo(control, bar, info, redraw);
    return previous;
}

void SetScrollRange(TWinControl& control, int bar, int min, int max, bool redraw) {
    TScrollInfo info{SIF_RANGE};
    info.nMin = min;
    info.nMax = max;
    SetScrollInfo(control, bar, info, redraw);
}

void ShowScrollBar(TWinControl& control, int bar, bool show) {
    WindowScrollBars& bars = ControlAccess::EnsureScrollBars(control);
    if (bar == SB_BOTH) {
        bars.Show(SB_HORZ, show);
        bars.Show(SB_VERT, show);
    } else {
        bars.Show(bar, show);
    }
}

bool IsScrollBarShown(const TWinControl& control, int bar) {
    WindowScrollBars* bars = ControlAccess::ScrollBarsOf(control);
    return bars && bars->IsShown(bar);
}

namespace thorn {

WindowScrollBars::WindowScrollBars(TWinControl& owner) : owner_(owner) {}

WindowScrollBars::~WindowScrollBars() = default;

// ---- settings

bool WindowScrollBars::Scrollable(const Bar& b) {
    int64_t range = static_cast<int64_t>(b.max) - b.min + 1;
    return b.max > b.min && (b.page == 0 || b.page < range);
}

int WindowScrollBars::MaxPos(const Bar& b) {
    if (b.page == 0) return b.max;
    return std::max<int64_t>(b.min, static_cast<int64_t>(b.max) - b.page + 1);
}

bool WindowScrollBars::WantShown(const Bar& b) const {
    switch (b.mode) {
        case Mode::Shown: return true;
        case Mode::Hidden: return false;
        default: return Scrollable(b) || b.disableNoScroll;
    }
}

int WindowScrollBars::SetInfo(int bar, const TScrollInfo& info, bool redraw) {
    Bar& b = bars_[Index(bar)];
    if (info.fMask & SIF_RANGE) {
        b.min = info.nMin;
        b.max = std::max(info.nMin, info.nMax);
    }
    if (info.fMask & SIF_PAGE) b.page = info.nPage;
    if (info.fMask & (SIF_RANGE | SIF_PAGE)) {
        b.mode = Mode::Auto;
        b.disableNoScroll = info.fMask & SIF_DISABLENOSCROLL;
    }
    int64_t range = static_cast<int64_t>(b.max) - b.min + 1;
    if (b.page > range) b.page = static_cast<uint32_t>(range);
    if (info.fMask & SIF_POS) b.pos = info.nPos;
    b.pos = std::clamp(b.pos, b.min, MaxPos(b));
    int pos = b.pos;
    if (redraw) InvalidateBar(bar);
    UpdateShown();
    return pos;
}

void WindowScrollBars::GetInfo(int bar, TScrollInfo& info) const {
    const Bar& b = bars_[Index(bar)];
    if (info.fMask & SIF_RANGE) info.nMin = b.min, info.nMax = b.max;
    if (info.fMask & SIF_PAGE) info.nPage = b.page;
    if (info.fMask & SIF_POS) info.nPos = b.pos;
    if (info.fMask & SIF_TRACKPOS) info.nTrackPos = pressed_ == Part::Thumb && pressedBar_ == bar ? b.trackPos : b.pos;
}

void WindowScrollBars::Show(int bar, bool show) {
    bars_[Index(bar)].mode = show ? Mode::Shown : Mode::Hidden;
    UpdateShown();
}

void WindowScrollBars::UpdateShown() {
    // A bar that comes hides part of the content, which may make the other
    // bar (or this one) needed or not; a control that keeps answering the
    // change by asking for the opposite would never settle, so a bar stays
    // once the answers nest this deep.
    constexpr int kSettleDepth = 3;
    bool changed = false;
    for (Bar& b : bars_) {
        bool want = WantShown(b);
        if (want == b.shown || (!want && updatingShown_ >= kSettleDepth)) continue;
        b.shown = want;
        changed = true;
    }
    if (!changed || owner_.GetComponentState().Contains(csDestroying)) return;
    if (pressed_ != Part::None && !bars_[Index(pressedBar_)].shown) EndPress();
    ++updatingShown_;
    struct Depth {
        int& depth;
        ~Depth() { --depth; }
    } depth{updatingShown_};
    ControlAccess::NonClientChanged(owner_);
}

// ---- geometry

TRect WindowScrollBars::Frame() const { return ControlAccess::FrameInBounds(owner_); }

void WindowScrollBars::Carve(TRect& area) const {
    if (bars_[1].shown) area.Right = std::max(area.Left, area.Right - kScrollBarSize);
    if (bars_[0].shown) area.Bottom = std::max(area.Top, area.Bottom - kScrollBarSize);
}

WindowScrollBars::Geometry WindowScrollBars::GeometryOf(int bar) const {
    Geometry g;
    TRect f = Frame();
    bool vertical = bar == SB_VERT;
    if (vertical)
        g.bar = {std::max(f.Left, f.Right - kScrollBarSize), f.Top, f.Right,
                 bars_[0].shown ? std::max(f.Top, f.Bottom - kScrollBarSize) : f.Bottom};
    else
        g.bar = {f.Left, std::max(f.Top, f.Bottom - kScrollBarSize),
                 bars_[1].shown ? std::max(f.Left, f.Right - kScrollBarSize) : f.Right, f.Bottom};
    int start = vertical ? g.bar.Top : g.bar.Left;
    int end = vertical ? g.bar.Bottom : g.bar.Right;
    int arrow = std::min(kScrollBarSize, (end - start) / 2);
    auto span = [&](int a, int b) {
        return vertical ? TRect{g.bar.Left, a, g.bar.Right, b} : TRect{a, g.bar.Top, b, g.bar.Bottom};
    };
    g.back = span(start, start + arrow);
    g.forward = span(end - arrow, end);
    g.track = span(start + arrow, end - arrow);
    const Bar& b = bars_[Index(bar)];
    int trackLength = end - start - 2 * arrow;
    if (!Scrollable(b) || trackLength <= 0) return g;
    constexpr int kMinThumb = 8;
    int64_t range = static_cast<int64_t>(b.max) - b.min + 1;
    int thumb = b.page ? std::max<int64_t>(kMinThumb, trackLength * static_cast<int64_t>(b.page) / range)
                       : std::min(kScrollBarSize, trackLength);
    if (thumb > trackLength) return g;
    int pos = pressed_ == Part::Thumb && pressedBar_ == bar ? b.trackPos : b.pos;
    int64_t positions = static_cast<int64_t>(MaxPos(b)) - b.min;
    int offset = positions > 0 ? static_cast<int>((pos - b.min) * static_cast<int64_t>(trackLength - thumb) / positions) : 0;
    g.thumb = span(start + arrow + offset, start + arrow + offset + thumb);
    return g;
}

WindowScrollBars::Part WindowScrollBars::PartAt(int bar, TPoint p) const {
    Geometry g = GeometryOf(bar);
    if (!PtInRect(g.bar, p)) return Part::None;
    if (PtInRect(g.back, p)) return Part::LineBack;
    if (PtInRect(g.forward, p)) return Part::LineForward;
    if (IsRectEmpty(g.thumb)) return Part::None;
    if (PtInRect(g.thumb, p)) return Part::Thumb;
    return Along(bar, p) < Along(bar, {g.thumb.Left, g.thumb.Top}) ? Part::PageBack : Part::PageForward;
}

TPoint WindowScrollBars::ToBounds(const TWMMouse& m) const {
    TPoint offset = ControlAccess::ClientOffset(owner_);
    return {m.X + offset.X, m.Y + offset.Y};
}

void WindowScrollBars::InvalidateBar(int bar) const {
    FormLink* form = FormLinkOf(owner_);
    TPoint clientOrigin;
    if (!form || !owner_.IsShowing() || !ControlAccess::ClientOriginInForm(owner_, clientOrigin)) return;
    TPoint offset = ControlAccess::ClientOffset(owner_);
    TRect r = GeometryOf(bar).bar;
    OffsetRect(r, clientOrigin.X - offset.X, clientOrigin.Y - offset.Y);
    form->InvalidateClientRect(r);
}

// ---- painting

void WindowScrollBars::Paint(TCanvas& canvas) {
    for (int bar : {SB_HORZ, SB_VERT}) {
        const Bar& b = bars_[Index(bar)];
        if (!b.shown) continue;
        Geometry g = GeometryOf(bar);
        bool vertical = bar == SB_VERT;
        uint32_t inactive = Scrollable(b) ? 0 : DFCS_INACTIVE;
        auto pushed = [&](Part part) { return pressed_ == part && pressedBar_ == bar && pressedHot_ ? DFCS_PUSHED : 0; };
        TRect back = g.back, forward = g.forward;
        DrawFrameControl(canvas, back, DFC_SCROLL,
                         (vertical ? DFCS_SCROLLUP : DFCS_SCROLLLEFT) | inactive | pushed(Part::LineBack));
        DrawFrameControl(canvas, forward, DFC_SCROLL,
                         (vertical ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT) | inactive | pushed(Part::LineForward));
        FillDithered(canvas, g.track, clBtnHighlight, clBtnFace);
        if (IsRectEmpty(g.thumb)) continue;
        // A page area held down shows dark from the thumb to its end.
        if (pushed(Part::PageBack) || pushed(Part::PageForward)) {
            TRect dark = g.track;
            if (pushed(Part::PageBack))
                (vertical ? dark.Bottom : dark.Right) = vertical ? g.thumb.Top : g.thumb.Left;
            else
                (vertical ? dark.Top : dark.Left) = vertical ? g.thumb.Bottom : g.thumb.Right;
            FillDithered(canvas, dark, cl3DDkShadow, clBtnShadow);
        }
        TRect thumb = g.thumb;
        DrawFrameControl(canvas, thumb, DFC_BUTTON, DFCS_BUTTONPUSH);
    }
    if (bars_[0].shown && bars_[1].shown) {
        TRect f = Frame();
        canvas.FillColor({f.Right - kScrollBarSize, f.Bottom - kScrollBarSize, f.Right, f.Bottom}, clBtnFace);
    }
}

// ---- the mouse

bool WindowScrollBars::Send(int bar, int code, int pos) {
    ComponentRef<TWinControl> owner(&owner_);
    ControlAccess::Scroll(owner_, bar, code, pos);
    return static_cast<bool>(owner);
}

bool WindowScrollBars::SendPressed() {
    int code = pressed_ == Part::LineBack   ? SB_LINEUP
               : pressed_ == Part::PageBack ? SB_PAGEUP
               : pressed_ == Part::PageForward ? SB_PAGEDOWN
                                               : SB_LINEDOWN;
    return Send(pressedBar_, code, 0);
}

bool WindowScrollBars::MouseDown(const TWMMouse& message) {
    if (pressed_ != Part::None) return true;
    TPoint p = ToBounds(message);
    for (int bar : {SB_VERT, SB_HORZ}) {
        Bar& b = bars_[Index(bar)];
        if (!b.shown || !PtInRect(GeometryOf(bar).bar, p)) continue;
        Part part = PartAt(bar, p);
        if (message.Button != mbLeft || !Scrollable(b) || part == Part::None) return true;
        pressed_ = part;
        pressedBar_ = bar;
        pressedHot_ = true;
        lastPoint_ = p;
        owner_.SetMouseCapture(true);
        if (part == Part::Thumb) {
            TRect thumb = GeometryOf(bar).thumb;
            dragOffset_ = Along(bar, p) - Along(bar, {thumb.Left, thumb.Top});
            b.trackPos = b.pos;
            InvalidateBar(bar);
            return true;
        }
        InvalidateBar(bar);
        if (!SendPressed()) return true;
        if (!repeat_) {
            repeat_ = std::make_unique<TTimer>();
            repeat_->SetEnabled(false);
            repeat_->SetOnTimer([this](TObject*) { RepeatTick(); });
        }
        repeat_->SetInterval(kScrollRepeatDelay);
        repeat_->SetEnabled(pressed_ != Part::None);
        return true;
    }
    if (bars_[0].shown && bars_[1].shown) {
        TRect f = Frame();
        return p.X >= f.Right - kScrollBarSize && p.Y >= f.Bottom - kScrollBarSize && PtInRect(f, p);
    }
    return false;
}

bool WindowScrollBars::MouseMove(const TWMMouse& message) {
    if (pressed_ == Part::None) return false;
    TPoint p = ToBounds(message);
    lastPoint_ = p;
    Bar& b = bars_[Index(pressedBar_)];
    if (pressed_ == Part::Thumb) {
        Geometry g = GeometryOf(pressedBar_);
        int trackStart = Along(pressedBar_, {g.track.Left, g.track.Top});
        int trackLength = pressedBar_ == SB_VERT ? g.track.Height() : g.track.Width();
        int thumb = pressedBar_ == SB_VERT ? g.thumb.Height() : g.thumb.Width();
        int64_t positions = static_cast<int64_t>(MaxPos(b)) - b.min;
        int room = trackLength - thumb;
        int offset = std::clamp(Along(pressedBar_, p) - dragOffset_ - trackStart, 0, std::max(0, room));
        int pos = room > 0 ? b.min + static_cast<int>((offset * positions + room / 2) / room) : b.min;
        pos = std::clamp(pos, b.min, MaxPos(b));
        if (pos != b.trackPos) {
            b.trackPos = pos;
            InvalidateBar(pressedBar_);
            Send(pressedBar_, SB_THUMBTRACK, pos);
        }
        return true;
    }
    bool hot = PartAt(pressedBar_, p) == pressed_;
    if (hot != pressedHot_) {
        pressedHot_ = hot;
        InvalidateBar(pressedBar_);
    }
    return true;
}

bool WindowScrollBars::MouseUp(const TWMMouse& message) {
    if (pressed_ == Part::None) return false;
    if (message.Button != mbLeft) return true;
    int bar = pressedBar_;
    bool thumb = pressed_ == Part::Thumb;
    int trackPos = bars_[Index(bar)].trackPos;
    EndPress();
    if (thumb && !Send(bar, SB_THUMBPOSITION, trackPos)) return true;
    Send(bar, SB_ENDSCROLL, 0);
    return true;
}

void WindowScrollBars::RepeatTick() {
    if (pressed_ == Part::None || pressed_ == Part::Thumb) return;
    repeat_->SetInterval(kScrollRepeatInterval);
    // A page area stops repeating once the thumb reaches the pointer.
    bool hot = PartAt(pressedBar_, lastPoint_) == pressed_;
    if (hot != pressedHot_) {
        pressedHot_ = hot;
        InvalidateBar(pressedBar_);
    }
    if (hot) SendPressed();
}

void WindowScrollBars::EndPress() {
    if (pressed_ == Part::None) return;
    int bar = pressedBar_;
    pressed_ = Part::None;
    if (repeat_) repeat_->SetEnabled(false);
    InvalidateBar(bar);
    if (owner_.GetMouseCapture()) owner_.SetMouseCapture(false);
}

void WindowScrollBars::CancelTracking() { EndPress(); }

}  // namespace thorn
