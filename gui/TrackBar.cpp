#include "gui/TrackBar.h"

#include <algorithm>
#include <array>

#include "gui/Drawing.h"
#include "gui/Edges.h"
#include "gui/ScrollBars.h"
#include "gui/Timers.h"

namespace {

constexpr int kTickGap = 2;     // between the thumb and its ticks
constexpr int kTickLength = 3;  // the ends' ticks are one longer
constexpr int kTickZone = kTickGap + kTickLength + 1;

}  // namespace

TTrackBar::TTrackBar() {
    SetControlStyle({csCaptureMouse, csClickEvents, csOpaque, csDoubleClicks});
    SetColor(clBtnFace);
    SetParentColor(false);
    SetTabStop(true);
    SetBounds(0, 0, 150, 45);
}

TTrackBar::~TTrackBar() = default;

// ---- values

void TTrackBar::SetRange(int min, int max) {
    max = std::max(min, max);
    if (min == min_ && max == max_) return;
    min_ = min;
    max_ = max;
    Invalidate();
    int clamped = std::clamp(position_, min_, max_);
    if (clamped != position_) {
        position_ = clamped;
        Changed();
    }
}

void TTrackBar::SetPosition(int value) {
    value = std::clamp(value, min_, max_);
    if (value == position_) return;
    position_ = value;
    Invalidate();
    Changed();
}

void TTrackBar::Changed() {
    if (OnChange) OnChange(this);
}

void TTrackBar::SetFrequency(int value) {
    if (value == frequency_) return;
    frequency_ = value;
    Invalidate();
}

void TTrackBar::SetOrientation(TTrackBarOrientation value) {
    if (value == orientation_) return;
    orientation_ = value;
    SetBounds(GetLeft(), GetTop(), GetHeight(), GetWidth());
    Invalidate();
}

void TTrackBar::SetTickMarks(TTickMark value) {
    if (value == tickMarks_) return;
    tickMarks_ = value;
    Invalidate();
}

void TTrackBar::SetTickStyle(TTickStyle value) {
    if (value == tickStyle_) return;
    tickStyle_ = value;
    Invalidate();
}

void TTrackBar::SetTick(int value) {
    if (std::find(ticks_.begin(), ticks_.end(), value) != ticks_.end()) return;
    ticks_.push_back(value);
    Invalidate();
}

void TTrackBar::ClearTicks() {
    ticks_.clear();
    Invalidate();
}

void TTrackBar::SetSelStart(int value) {
    if (value == selStart_) return;
    selStart_ = value;
    Invalidate();
}

void TTrackBar::SetSelEnd(int value) {
    if (value == selEnd_) return;
    selEnd_ = value;
    Invalidate();
}

void TTrackBar::SetShowSelRange(bool value) {
    if (value == showSelRange_) return;
    showSelRange_ = value;
    Invalidate();
}

void TTrackBar::SetSliderVisible(bool value) {
    if (value == sliderVisible_) return;
    sliderVisible_ = value;
    Invalidate();
}

void TTrackBar::SetThumbLength(int value) {
    value = std::max(4, value);
    if (value == thumbLength_) return;
    thumbLength_ = value;
    Invalidate();
}

// ---- geometry

TTrackBar::Geometry TTrackBar::Measure() const {
    TRect client = GetClientRect();
    bool horizontal = orientation_ == trHorizontal;
    int along = horizontal ? client.Width() : client.Height();
    int across = horizontal ? client.Height() : client.Width();
    Geometry g{};
    g.thumbAlong = thumbLength_ / 2 + 1;
    int margin = g.thumbAlong / 2 + 3;
    g.trackStart = margin;
    g.trackEnd = std::max(margin, along - margin - 1);
    int before = tickMarks_ != tmBottomRight ? kTickZone : 0;
    int after = tickMarks_ != tmTopLeft ? kTickZone : 0;
    g.thumbAcross = (across - thumbLength_ - before - after) / 2 + before;
    g.thumbAcrossEnd = g.thumbAcross + thumbLength_;
    // The channel runs through the middle of the thumb's square part.
    int point = tickMarks_ == tmBoth ? 0 : g.thumbAlong / 2;
    int bodyStart = tickMarks_ == tmTopLeft ? g.thumbAcross + point : g.thumbAcross;
    int bodyEnd = tickMarks_ == tmBottomRight ? g.thumbAcrossEnd - point : g.thumbAcrossEnd;
    int thickness = showSelRange_ ? 8 : 4;
    g.channelAcross = (bodyStart + bodyEnd - thickness) / 2;
    g.channelAcrossEnd = g.channelAcross + thickness;
    return g;
}

TRect TTrackBar::Oriented(int alongStart, int alongEnd, int acrossStart, int acrossEnd) const {
    if (orientation_ == trHorizontal) return {alongStart, acrossStart, alongEnd, acrossEnd};
    return {acrossStart, alongStart, acrossEnd, alongEnd};
}

TPoint TTrackBar::OrientedPoint(int along, int across) const {
    return orientation_ == trHorizontal ? TPoint{along, across} : TPoint{across, along};
}

int TTrackBar::CentreOf(int value, const Geometry& g) const {
    int64_t span = static_cast<int64_t>(max_) - min_;
    if (span <= 0) return g.trackStart;
    int64_t offset = (static_cast<int64_t>(value) - min_) * (g.trackEnd - g.trackStart);
    return g.trackStart + static_cast<int>((offset * 2 + span) / (span * 2));
}

int TTrackBar::ValueAt(int along, const Geometry& g) const {
    int length = g.trackEnd - g.trackStart;
    if (length <= 0) return min_;
    int64_t span = static_cast<int64_t>(max_) - min_;
    int64_t offset = std::clamp(along - g.trackStart, 0, length);
    return static_cast<int>(min_ + (offset * span * 2 + length) / (static_cast<int64_t>(length) * 2));
}

TRect TTrackBar::GetThumbRect() const {
    Geometry g = Measure();
    int start = CentreOf(position_, g) - g.thumbAlong / 2;
    return Oriented(start, start + g.thumbAlong, g.thumbAcross, g.thumbAcrossEnd);
}

TRect TTrackBar::GetChannelRect() const {
    Geometry g = Measure();
    return Oriented(g.trackStart - 3, g.trackEnd + 4, g.channelAcross, g.channelAcrossEnd);
}

// ---- painting

void TTrackBar::Paint() {
    TCanvas& canvas = Canvas();
    Geometry g = Measure();
    TRect channel = GetChannelRect();
    DrawEdge(canvas, channel, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    if (showSelRange_) {
        canvas.FillColor(channel, clWindow);
        int from = std::clamp(selStart_, min_, max_), to = std::clamp(selEnd_, min_, max_);
        if (to > from) {
            TRect band = Oriented(CentreOf(from, g), CentreOf(to, g) + 1, g.channelAcross + 2, g.channelAcrossEnd - 2);
            canvas.FillColor(band, clHighlight);
        }
    }
    PaintTicks(canvas, g);
    if (sliderVisible_) PaintThumb(canvas, g);
    if (Focused()) canvas.DrawFocusRect(GetClientRect());
}

void TTrackBar::PaintTicks(TCanvas& canvas, const Geometry& g) {
    if (tickStyle_ == tsNone) return;
    std::vector<int> values;
    if (tickStyle_ == tsAuto && frequency_ > 0)
        for (int64_t v = min_; v < max_; v += frequency_) values.push_back(static_cast<int>(v));
    if (tickStyle_ == tsManual)
        for (int v : ticks_)
            if (v > min_ && v < max_) values.push_back(v);
    values.push_back(min_);
    values.push_back(max_);
    TColor color = IsEnabledDeep() ? clBtnText : clBtnShadow;
    for (int v : values) {
        int at = CentreOf(v, g);
        int length = v == min_ || v == max_ ? kTickLength + 1 : kTickLength;
        if (tickMarks_ != tmTopLeft) {
            int from = g.thumbAcrossEnd + kTickGap;
            canvas.FillColor(Oriented(at, at + 1, from, from + length), color);
        }
        if (tickMarks_ != tmBottomRight) {
            int to = g.thumbAcross - kTickGap;
            canvas.FillColor(Oriented(at, at + 1, to - length, to), color);
        }
    }
}

void TTrackBar::PaintThumb(TCanvas& canvas, const Geometry& g) {
    int start = CentreOf(position_, g) - g.thumbAlong / 2;
    int end = start + g.thumbAlong;
    bool pressed = tracking_ == Tracking::Thumb;
    if (tickMarks_ == tmBoth) {
        TRect r = Oriented(start, end, g.thumbAcross, g.thumbAcrossEnd);
        DrawEdge(canvas, r, EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_ADJUST);
        if (pressed || !IsEnabledDeep()) thorn::FillDithered(canvas, r, clBtnFace, clBtnHighlight);
        return;
    }
    // A thumb pointing at its ticks: drawn as if the ticks were after it
    // (below a horizontal bar), then mirrored across when they are before.
    int half = g.thumbAlong / 2;
    int bodyEnd = g.thumbAcrossEnd - 1 - half;
    bool flip = tickMarks_ == tmTopLeft;
    auto at = [&](int along, int across) {
        if (flip) across = g.thumbAcross + g.thumbAcrossEnd - 1 - across;
        return OrientedPoint(along, across);
    };
    int top = g.thumbAcross, tip = g.thumbAcrossEnd - 1, left = start, right = end - 1, mid = start + half;
    std::array<TPoint, 5> outline{at(left, top), at(right, top), at(right, bodyEnd), at(mid, tip), at(left, bodyEnd)};
    canvas.Pen().SetColor(clBtnFace);
    canvas.Brush().SetColor(clBtnFace);
    canvas.Brush().SetStyle(pressed || !IsEnabledDeep() ? bsClear : bsSolid);
    canvas.Polygon(outline);
    if (pressed || !IsEnabledDeep()) {
        TRect body = Oriented(left + 1, right, flip ? top + tip - bodyEnd + 1 : top + 1, flip ? tip : bodyEnd);
        thorn::FillDithered(canvas, body, clBtnFace, clBtnHighlight);
    }
    canvas.Brush().SetStyle(bsSolid);
    auto line = [&](TColor color, std::initializer_list<TPoint> points) {
        canvas.Pen().SetColor(color);
        const TPoint* p = points.begin();
        canvas.MoveTo(p->X, p->Y);
        for (++p; p != points.end(); ++p) canvas.LineTo(p->X, p->Y);
        canvas.SetPixel(points.end()[-1].X, points.end()[-1].Y, color);
    };
    // Light on the sides facing away from the ticks' far corner, dark on the others.
    line(clBtnHighlight, {at(left, bodyEnd), at(left, top), at(right, top)});
    line(clBtnHighlight, {at(left, bodyEnd), at(mid, tip)});
    line(cl3DDkShadow, {at(right, top), at(right, bodyEnd), at(mid, tip)});
    line(clBtnShadow, {at(right - 1, top + 1), at(right - 1, bodyEnd), at(mid, tip - 1)});
}

// ---- keyboard and mouse

void TTrackBar::KeyDown(TKey& key, TShiftState shift) {
    thorn::ComponentRef<TTrackBar> self(this);
    TCustomControl::KeyDown(key, shift);
    if (!self) return;
    int target = position_;
    switch (key) {
        case VK_LEFT:
        case VK_UP: target = position_ - lineSize_; break;
        case VK_RIGHT:
        case VK_DOWN: target = position_ + lineSize_; break;
        case VK_PRIOR: target = position_ - pageSize_; break;
        case VK_NEXT: target = position_ + pageSize_; break;
        case VK_HOME: target = min_; break;
        case VK_END: target = max_; break;
        default: return;
    }
    key = 0;
    SetPosition(target);
}

void TTrackBar::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    thorn::ComponentRef<TTrackBar> self(this);
    if (button == mbLeft) {
        if (CanFocus() && !Focused()) SetFocus();
        if (!self) return;
        Geometry g = Measure();
        int along = Along(x, y);
        if (sliderVisible_ && PtInRect(GetThumbRect(), {x, y})) {
            tracking_ = Tracking::Thumb;
            grabOffset_ = along - CentreOf(position_, g);
            Invalidate();
        } else {
            tracking_ = Tracking::Page;
            pointerAlong_ = along;
            if (!repeat_) {
                repeat_ = std::make_unique<TTimer>();
                repeat_->SetOnTimer([this](TObject*) {
                    repeat_->SetInterval(thorn::kScrollRepeatInterval);
                    PageTowardsPointer();
                });
            }
            repeat_->SetEnabled(false);
            repeat_->SetInterval(thorn::kScrollRepeatDelay);
            repeat_->SetEnabled(true);
            PageTowardsPointer();
        }
    }
    if (self) TCustomControl::MouseDown(button, shift, x, y);
}

void TTrackBar::PageTowardsPointer() {
    if (tracking_ != Tracking::Page) return;
    // Page by page towards the pointer, stopping under it.
    int target = ValueAt(pointerAlong_, Measure());
    if (target > position_)
        SetPosition(std::min(target, position_ + pageSize_));
    else if (target < position_)
        SetPosition(std::max(target, position_ - pageSize_));
}

void TTrackBar::MouseMove(TShiftState shift, int x, int y) {
    thorn::ComponentRef<TTrackBar> self(this);
    if (tracking_ == Tracking::Thumb)
        SetPosition(ValueAt(Along(x, y) - grabOffset_, Measure()));
    else if (tracking_ == Tracking::Page)
        pointerAlong_ = Along(x, y);
    if (self) TCustomControl::MouseMove(shift, x, y);
}

void TTrackBar::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == mbLeft) StopTracking();
    TCustomControl::MouseUp(button, shift, x, y);
}

void TTrackBar::StopTracking() {
    if (repeat_) repeat_->SetEnabled(false);
    if (tracking_ == Tracking::Thumb) Invalidate();
    tracking_ = Tracking::None;
}

void TTrackBar::CMCancelMode() {
    StopTracking();
    TCustomControl::CMCancelMode();
}
