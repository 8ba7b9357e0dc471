// Arrow, range and gauge bars: zones, painting in the classic and the flat
// look, dragging, the wheel and the one timer behind auto-repeat and hot
// tracking.
#include "bitmapui/Pix32_RangeBars.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "gui/Application.h"
#include "gui/Edges.h"

namespace {

constexpr uint32_t kFirstRepeatDelay = 600;
constexpr uint32_t kRepeatInterval = 100;
constexpr uint32_t kHotTrackInterval = 150;
// A range bar's handle is never shorter than this, and no handle is shown
// on a shorter track.
constexpr int32_t kMinHandle = 17;

using thorn::RoundToInt;

// ---- GUI colours, channel by channel ($00BBGGRR)

int Channel(uint32_t rgb, int shift) { return static_cast<int>(rgb >> shift & 0xFF); }

TColor FromChannels(int r, int g, int b) {
    return static_cast<TColor>(static_cast<uint32_t>(r) | static_cast<uint32_t>(g) << 8 |
                               static_cast<uint32_t>(b) << 16);
}

// Every channel moved by amount and kept within 0..255.
TColor Shade(TColor color, int amount) {
    uint32_t rgb = ColorToRGB(color);
    auto c = [&](int shift) { return std::clamp(Channel(rgb, shift) + amount, 0, 255); };
    return FromChannels(c(0), c(8), c(16));
}

// (c1*w + c2*(255 - w)) >> 8 per channel.
TColor MixColors(TColor c1, TColor c2, int w) {
    uint32_t a = ColorToRGB(c1), b = ColorToRGB(c2);
    auto c = [&](int shift) { return (Channel(a, shift) * w + Channel(b, shift) * (255 - w)) >> 8; };
    return FromChannels(c(0), c(8), c(16));
}

void HorzLine(TCanvas& canvas, int x1, int x2, int y, TColor color) {
    if (x2 > x1) canvas.FillColor({x1, y, x2, y + 1}, color);
}

void VertLine(TCanvas& canvas, int x, int y1, int y2, TColor color) {
    if (y2 > y1) canvas.FillColor({x, y1, x + 1, y2}, color);
}

// An alternating pattern of two colours: client pixel (x, y) takes first
// where x + y is even. One colour when the two are the same.
void Checker(TCanvas& canvas, const TRect& r, TColor first, TColor second) {
    if (IsRectEmpty(r)) return;
    canvas.FillColor(r, second);
    if (ColorToRGB(first) == ColorToRGB(second)) return;
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left + ((r.Left + y) & 1); x < r.Right; x += 2) canvas.SetPixel(x, y, first);
}

// Marks a change as the user's while it runs. Its handlers may free the
// bar: Alive tells.
class UserChange {
public:
    UserChange(TArrowBar& bar, bool& flag) : bar_(&bar), flag_(flag) { flag_ = true; }
    ~UserChange() {
        if (bar_) flag_ = false;
    }
    UserChange(const UserChange&) = delete;
    UserChange& operator=(const UserChange&) = delete;
    bool Alive() const { return static_cast<bool>(bar_); }

private:
    thorn::ComponentRef<TArrowBar> bar_;
    bool& flag_;
};

}  // namespace

// ================================================================ arrow bar

TArrowBar::TArrowBar() : timer_(std::make_unique<TTimer>()) {
    SetControlStyle((GetControlStyle() | TControlStyle{csOpaque}) - TControlStyle{csAcceptsControls, csDoubleClicks});
    SetBounds(GetLeft(), GetTop(), 100, 16);
    SetParentColor(false);
    SetColor(clScrollBar);
    SetBorderWidth(GetBorderSize());
    timer_->SetEnabled(false);
    timer_->SetOnTimer([this](TObject*) { TimerHandler(this); });
}

TArrowBar::~TArrowBar() = default;

void TArrowBar::SetBackgnd(TRBBackgnd value) {
    if (value == backgnd_) return;
    backgnd_ = value;
    Invalidate();
}

void TArrowBar::SetBorderStyle(TBorderStyle value) {
    if (value == borderStyle_) return;
    borderStyle_ = value;
    SetBorderWidth(GetBorderSize());
    Invalidate();
}

void TArrowBar::SetButtonSize(int32_t value) {
    if (value == buttonSize_) return;
    buttonSize_ = value;
    Invalidate();
}

namespace {
void SetColour(TColor& field, TColor value, TControl& control) {
    if (value == field) return;
    field = value;
    control.Invalidate();
}
}  // namespace

void TArrowBar::SetHandleColor(TColor value) { SetColour(handleColor_, value, *this); }
void TArrowBar::SetButtonColor(TColor value) { SetColour(buttonColor_, value, *this); }
void TArrowBar::SetHighLightColor(TColor value) { SetColour(highLightColor_, value, *this); }
void TArrowBar::SetShadowColor(TColor value) { SetColour(shadowColor_, value, *this); }
void TArrowBar::SetBorderColor(TColor value) { SetColour(borderColor_, value, *this); }

void TArrowBar::SetKind(TScrollBarKind value) {
    if (value == kind_) return;
    kind_ = value;
    TComponentState state = GetComponentState();
    if (state.Contains(csDesigning) && !state.Contains(csLoading)) SetBounds(GetLeft(), GetTop(), GetHeight(), GetWidth());
    KindChanged();
    Invalidate();
}

void TArrowBar::SetShowArrows(bool value) {
    if (value == showArrows_) return;
    showArrows_ = value;
    Invalidate();
}

void TArrowBar::SetShowHandleGrip(bool value) {
    if (value == showHandleGrip_) return;
    showHandleGrip_ = value;
    Invalidate();
}

void TArrowBar::SetStyle(TRBStyle value) {
    if (value == style_) return;
    style_ = value;
    Invalidate();
}

int32_t TArrowBar::GetBorderSize() const { return borderStyle_ == bsSingle ? 1 : 0; }

int32_t TArrowBar::ClientLength() const {
    TRect r = GetClientRect();
    return Horizontal() ? r.Width() : r.Height();
}

int32_t TArrowBar::ClientThickness() const {
    TRect r = GetClientRect();
    return Horizontal() ? r.Height() : r.Width();
}

int32_t TArrowBar::GetButtonSize() const {
    if (!showArrows_) return 0;
    int32_t size = buttonSize_ != 0 ? buttonSize_ : std::min(ClientThickness(), 32);
    int32_t length = ClientLength();
    if (2 * size >= length) size = length / 2;
    if (style_ == rbsMac) --size;
    return size < 2 ? 0 : size;
}

TRect TArrowBar::GetTrackBoundary() const {
    TRect r = GetClientRect();
    int32_t b = GetButtonSize();
    if (Horizontal()) {
        r.Left += b;
        r.Right -= b;
    } else {
        r.Top += b;
        r.Bottom -= b;
    }
    return r;
}

TRect TArrowBar::GetHandleRect() const {
    TRect t = GetTrackBoundary();
    return Horizontal() ? TRect{t.Left, t.Top, t.Left, t.Bottom} : TRect{t.Left, t.Top, t.Right, t.Top};
}

bool TArrowBar::DrawEnabled() const { return GetEnabled(); }

TRBZone TArrowBar::GetZone(int32_t X, int32_t Y) const {
    TRect client = GetClientRect();
    if (!PtInRect(client, {X, Y})) return zNone;
    bool horz = Horizontal();
    int32_t along = horz ? X : Y;
    int32_t length = ClientLength();
    int32_t b = GetButtonSize();
    if (along < b) return zBtnPrev;
    if (along >= length - b) return zBtnNext;
    TRect handle = GetHandleRect();
    if (PtInRect(handle, {X, Y})) return zHandle;
    int32_t handleStart = horz ? handle.Left : handle.Top;
    int32_t handleEnd = horz ? handle.Right : handle.Bottom;
    if (along > 0 && along < handleStart) return zTrackPrev;
    if (along >= handleEnd && along < length - 1) return zTrackNext;
    return zNone;
}

TRect TArrowBar::GetZoneRect(TRBZone Zone) const {
    TRect client = GetClientRect();
    bool horz = Horizontal();
    int32_t b = GetButtonSize();
    switch (Zone) {
    case zNone:
        return {};
    case zBtnPrev:
        return horz ? TRect{client.Left, client.Top, client.Left + b, client.Bottom}
                    : TRect{client.Left, client.Top, client.Right, client.Top + b};
    case zBtnNext:
        return horz ? TRect{client.Right - b, client.Top, client.Right, client.Bottom}
                    : TRect{client.Left, client.Bottom - b, client.Right, client.Bottom};
    default:
        break;
    }
    TRect track = GetTrackBoundary();
    TRect handle = GetHandleRect();
    if (!DrawEnabled() || IsRectEmpty(handle)) {
        if (horz) {
            int32_t c = (track.Left + track.Right) / 2;
            handle = {c, track.Top, c, track.Bottom};
        } else {
            int32_t c = (track.Top + track.Bottom) / 2;
            handle = {track.Left, c, track.Right, c};
        }
    }
    if (Zone == zHandle) return handle;
    if (Zone == zTrackPrev)
        return horz ? TRect{track.Left, track.Top, handle.Left, track.Bottom}
                    : TRect{track.Left, track.Top, track.Right, handle.Top};
    return horz ? TRect{handle.Right, track.Top, track.Right, track.Bottom}
                : TRect{track.Left, handle.Bottom, track.Right, track.Bottom};
}

// ---- painting

void TArrowBar::Paint() {
    bool horz = Horizontal();
    bool enabled = DrawEnabled();
    TRBDirection first = horz ? drLeft : drUp, last = horz ? drRight : drDown;
    if (showArrows_ && GetButtonSize() > 0) {
        DoDrawButton(GetZoneRect(zBtnPrev), first, dragZone_ == zBtnPrev, enabled, hotZone_ == zBtnPrev);
        DoDrawButton(GetZoneRect(zBtnNext), last, dragZone_ == zBtnNext, enabled, hotZone_ == zBtnNext);
    }
    DoDrawTrack(GetZoneRect(zTrackPrev), first, dragZone_ == zTrackPrev, enabled, hotZone_ == zTrackPrev);
    DoDrawTrack(GetZoneRect(zTrackNext), last, dragZone_ == zTrackNext, enabled, hotZone_ == zTrackNext);
    TRect handle = enabled ? GetHandleRect() : TRect{};
    if (!IsRectEmpty(handle)) DoDrawHandle(handle, horz, dragZone_ == zHandle, hotZone_ == zHandle);
}

void TArrowBar::WMNCPaint(TCanvas& canvas) {
    if (borderStyle_ != bsSingle) return;
    TRect r{0, 0, GetWidth(), GetHeight()};
    DrawEdge(canvas, r, BDR_SUNKENOUTER, BF_RECT);
}

// Single-pixel edges on every side but the one facing the track or handle;
// r shrinks inside them.
void TArrowBar::DrawMacEdges(TRect& R, TRBDirection Direction, TColor color) {
    TCanvas& canvas = Canvas();
    if (IsRectEmpty(R)) return;
    if (Direction != drRight) {
        VertLine(canvas, R.Left, R.Top, R.Bottom, color);
        ++R.Left;
    }
    if (Direction != drDown) {
        HorzLine(canvas, R.Left, R.Right, R.Top, color);
        ++R.Top;
    }
    if (Direction != drLeft) {
        VertLine(canvas, R.Right - 1, R.Top, R.Bottom, color);
        --R.Right;
    }
    if (Direction != drUp) {
        HorzLine(canvas, R.Left, R.Right, R.Bottom - 1, color);
        --R.Bottom;
    }
}

// A filled triangle pointing in Direction; its base is moved back by about
// a third of its height so that the triangle looks centred.
void TArrowBar::DrawMacArrow(TRect R, TRBDirection Direction, TColor color) {
    int cx = (R.Left + R.Right - 1) / 2, cy = (R.Top + R.Bottom - 1) / 2;
    int s = std::max(std::min(cx - R.Left, cy - R.Top) * 3 / 4 - 1, 1);
    std::array<TPoint, 3> points;
    switch (Direction) {
    case drLeft:
        cx += (s + 1) / 3;
        points = {TPoint{cx - s, cy}, TPoint{cx, cy - s}, TPoint{cx, cy + s}};
        break;
    case drUp:
        cy += (s + 1) / 3;
        points = {TPoint{cx, cy - s}, TPoint{cx - s, cy}, TPoint{cx + s, cy}};
        break;
    case drRight:
        cx -= s / 3;
        points = {TPoint{cx + s, cy}, TPoint{cx, cy - s}, TPoint{cx, cy + s}};
        break;
    case drDown:
        cy -= s / 3;
        points = {TPoint{cx, cy + s}, TPoint{cx - s, cy}, TPoint{cx + s, cy}};
        break;
    }
    TCanvas& canvas = Canvas();
    canvas.Pen().SetColor(color);
    canvas.Pen().SetStyle(psSolid);
    canvas.Brush().SetColor(color);
    canvas.Brush().SetStyle(bsSolid);
    canvas.Polygon(points);
}

void TArrowBar::DoDrawButton(TRect R, TRBDirection Direction, bool Pushed, bool Enabled, bool Hot) {
    TCanvas& canvas = Canvas();
    if (style_ == rbsDefault) {
        static constexpr uint32_t kinds[] = {DFCS_SCROLLLEFT, DFCS_SCROLLUP, DFCS_SCROLLRIGHT, DFCS_SCROLLDOWN};
        uint32_t state = kinds[Direction];
        if (!Enabled) state |= DFCS_INACTIVE;
        if (Pushed) state |= DFCS_PUSHED | DFCS_FLAT;
        DrawFrameControl(canvas, R, DFC_SCROLL, state);
        return;
    }
    DrawMacEdges(R, Direction, Enabled ? borderColor_ : shadowColor_);
    TRect arrow = R;
    TRect shifted = arrow;
    OffsetRect(shifted, 1, 1);
    if (!Enabled) {
        canvas.FillColor(R, buttonColor_);
        DrawMacArrow(shifted, Direction, highLightColor_);
        DrawMacArrow(arrow, Direction, shadowColor_);
    } else if (Pushed) {
        canvas.FillColor(R, buttonColor_);
        DrawMacArrow(shifted, Direction, borderColor_);
    } else {
        Frame3D(canvas, R, highLightColor_, shadowColor_, 1);
        canvas.FillColor(R, buttonColor_);
        DrawMacArrow(arrow, Direction, borderColor_);
    }
}

void TArrowBar::DoDrawHandle(TRect R, bool Horz, bool Pushed, bool Hot) {
    TCanvas& canvas = Canvas();
    if (style_ == rbsDefault) {
        DrawEdge(canvas, R, EDGE_RAISED, BF_RECT | BF_MIDDLE);
        return;
    }
    int32_t length = Horz ? R.Width() : R.Height();
    Frame3D(canvas, R, borderColor_, borderColor_, 1);
    TColor light = Shade(handleColor_, 24), dark = Shade(handleColor_, -24);
    if (Pushed)
        Frame3D(canvas, R, dark, handleColor_, 1);
    else
        Frame3D(canvas, R, light, MixColors(borderColor_, handleColor_, 96), 1);
    canvas.FillColor(R, handleColor_);
    if (!showHandleGrip_ || IsRectEmpty(R)) return;

    // Grips: a light and a dark line each, three pixels apart, across the
    // handle at its centre.
    int count = length > 10 ? 4 : 2;
    int push = Pushed ? 1 : 0;
    if (Horz) {
        int centre = (R.Left + R.Right) / 2 + push;
        int x = centre - (3 * count - 1) / 2;
        for (int i = 0; i < count; ++i, x += 3) {
            if (x < R.Left || x + 1 >= R.Right) continue;
            VertLine(canvas, x, R.Top + 2 + push, R.Bottom - 2 + push, light);
            VertLine(canvas, x + 1, R.Top + 2 + push, R.Bottom - 2 + push, dark);
        }
    } else {
        int centre = (R.Top + R.Bottom) / 2 + push;
        int y = centre - (3 * count - 1) / 2;
        for (int i = 0; i < count; ++i, y += 3) {
            if (y < R.Top || y + 1 >= R.Bottom) continue;
            HorzLine(canvas, R.Left + 2 + push, R.Right - 2 + push, y, light);
            HorzLine(canvas, R.Left + 2 + push, R.Right - 2 + push, y + 1, dark);
        }
    }
}

void TArrowBar::DoDrawTrack(TRect R, TRBDirection Direction, bool Pushed, bool Enabled, bool Hot) {
    if (IsRectEmpty(R)) return;
    TCanvas& canvas = Canvas();
    if (style_ == rbsDefault) {
        if (Pushed)
            canvas.FillColor(R, clWindowFrame);
        else
            Checker(canvas, R, clBtnHighlight, GetColor());
        return;
    }
    DrawMacEdges(R, Direction, Enabled ? borderColor_ : shadowColor_);
    if (IsRectEmpty(R)) return;
    if (Pushed) {
        canvas.FillColor(R, borderColor_);
    } else if (Enabled) {
        TColor shadow = MixColors(borderColor_, MixColors(highLightColor_, GetColor(), 127), 32);
        if (Direction != drDown) {
            HorzLine(canvas, R.Left, R.Right, R.Top, shadow);
            ++R.Top;
        }
        if (Direction != drRight) {
            VertLine(canvas, R.Left, R.Top, R.Bottom, shadow);
            ++R.Left;
        }
        if (backgnd_ == bgPattern)
            Checker(canvas, R, highLightColor_, GetColor());
        else
            canvas.FillColor(R, GetColor());
    } else {
        canvas.FillColor(R, buttonColor_);
    }
}

void TArrowBar::CMEnabledChanged() {
    // Leaving the focus (OnExit) may free the bar.
    const thorn::ComponentWatch watch(this);
    TCustomControl::CMEnabledChanged();
    if (!watch.Freed()) Invalidate();
}

// ---- mouse and timer

void TArrowBar::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == mbLeft) {
        dragZone_ = GetZone(x, y);
        Invalidate();
        StoredX = x;
        StoredY = y;
        // The first step runs OnChange, which may free the bar.
        thorn::ComponentRef<TArrowBar> self(this);
        StartDragTracking();
        if (!self) return;
    }
    TCustomControl::MouseDown(button, shift, x, y);
}

void TArrowBar::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == mbLeft) {
        dragZone_ = zNone;
        Invalidate();
        StopDragTracking();
    }
    TCustomControl::MouseUp(button, shift, x, y);
}

void TArrowBar::MouseMove(TShiftState shift, int x, int y) {
    if (dragZone_ == zNone && DrawEnabled()) {
        TRBZone zone = GetZone(x, y);
        if (zone != hotZone_) {
            hotZone_ = zone;
            if (zone != zNone) StartHotTracking();
            Invalidate();
        }
    }
    TCustomControl::MouseMove(shift, x, y);
}

void TArrowBar::CMMouseLeave() {
    MouseLeft();
    TCustomControl::CMMouseLeave();
}

void TArrowBar::MouseLeft() {
    bool wasHot = hotZone_ != zNone;
    StopHotTracking();
    if (wasHot) Invalidate();
}

void TArrowBar::DoChange() {
    thorn::ComponentRef<TArrowBar> self(this);
    if (OnChange) OnChange(this);
    if (self && GenChange && OnUserChange) OnUserChange(this);
}

void TArrowBar::StartDragTracking() {
    timer_->SetEnabled(false);
    TimerMode = tmNone;
    // The handle is dragged, not repeated.
    if (dragZone_ == zNone || dragZone_ == zHandle) return;
    timer_->SetInterval(kFirstRepeatDelay);
    TimerMode = tmRepeat;
    thorn::ComponentRef<TArrowBar> self(this);
    TimerHandler(this);  // the first step at once
    if (!self || TimerMode != tmRepeat) return;  // the step freed the bar or ended the tracking
    TimerMode = tmFirstDelay;
    timer_->SetEnabled(true);
}

void TArrowBar::StopDragTracking() {
    timer_->SetEnabled(false);
    TimerMode = tmNone;
    StartHotTracking();
}

void TArrowBar::StartHotTracking() {
    timer_->SetEnabled(false);
    timer_->SetInterval(kHotTrackInterval);
    TimerMode = tmHotTrack;
    timer_->SetEnabled(true);
}

void TArrowBar::StopHotTracking() {
    if (TimerMode == tmHotTrack) {
        timer_->SetEnabled(false);
        TimerMode = tmNone;
    }
    hotZone_ = zNone;
}

void TArrowBar::TimerHandler(TObject* Sender) {
    switch (TimerMode) {
    case tmFirstDelay:
        timer_->SetInterval(kRepeatInterval);
        TimerMode = tmRepeat;
        break;
    case tmHotTrack: {
        TPoint p = Screen ? ScreenToClient(Screen->GetCursorPos()) : TPoint{-1, -1};
        if (!PtInRect(GetClientRect(), p)) {
            StopHotTracking();
            Invalidate();
        }
        break;
    }
    default:
        break;
    }
}

TRBZone TArrowBar::CursorZone() const {
    TPoint p = Screen ? ScreenToClient(Screen->GetCursorPos()) : TPoint{};
    TRect client = GetClientRect();
    p.X = std::clamp(p.X, client.Left, std::max(client.Left, client.Right - 1));
    p.Y = std::clamp(p.Y, client.Top, std::max(client.Top, client.Bottom - 1));
    return GetZone(p.X, p.Y);
}

// ================================================================ range bar

TCustomRangeBar::TCustomRangeBar() { UpdateEffectiveWindow(); }

void TCustomRangeBar::UpdateEffectiveWindow() {
    effectiveWindow_ = window_ > 0 ? window_ : Horizontal() ? GetWidth() : GetHeight();
}

void TCustomRangeBar::ClampPosition() {
    float most = static_cast<float>(std::max<int64_t>(0, int64_t{range_} - effectiveWindow_));
    position_ = std::clamp(position_, 0.0f, most);
}

void TCustomRangeBar::Recentre(int32_t oldRange, int32_t oldWindow) {
    if (range_ <= effectiveWindow_) return;
    double centre = oldRange > oldWindow ? (oldWindow * 0.5 + position_) / oldRange : 0.5;
    position_ = static_cast<float>(range_ * centre - effectiveWindow_ * 0.5);
}

void TCustomRangeBar::SetParams(int32_t NewRange, int32_t NewWindow) {
    NewRange = std::max(NewRange, 0);
    NewWindow = std::max(NewWindow, 0);
    if (NewRange == range_ && NewWindow == effectiveWindow_) return;
    int32_t oldRange = range_, oldWindow = effectiveWindow_;
    range_ = NewRange;
    window_ = NewWindow;
    UpdateEffectiveWindow();
    if (centered_) Recentre(oldRange, oldWindow);
    ClampPosition();
    Invalidate();
}

void TCustomRangeBar::SetPosition(float value) {
    if (value == position_) return;
    float old = position_;
    position_ = value;
    ClampPosition();
    if (position_ != old) {
        Invalidate();
        DoChange();
    }
}

void TCustomRangeBar::KindChanged() {
    UpdateEffectiveWindow();
    ClampPosition();
}

void TCustomRangeBar::Resize() {
    int32_t oldWindow = effectiveWindow_;
    UpdateEffectiveWindow();
    if (centered_) Recentre(range_, oldWindow);
    ClampPosition();
    TArrowBar::Resize();
}

bool TCustomRangeBar::DrawEnabled() const { return GetEnabled() && range_ > effectiveWindow_; }

TRect TCustomRangeBar::GetHandleRect() const {
    TRect track = GetTrackBoundary();
    bool horz = Horizontal();
    int32_t start = horz ? track.Left : track.Top;
    int32_t length = horz ? track.Width() : track.Height();
    auto along = [&](int32_t offset, int32_t size) {
        return horz ? TRect{start + offset, track.Top, start + offset + size, track.Bottom}
                    : TRect{track.Left, start + offset, track.Right, start + offset + size};
    };
    if (length < kMinHandle + 1) return along(0, 0);
    if (range_ <= effectiveWindow_) return along(0, length);
    double s = length;
    int32_t size = RoundToInt(s * effectiveWindow_ / range_);
    int32_t offset = RoundToInt(s * position_ / range_);
    if (size < kMinHandle) {
        size = kMinHandle;
        offset = RoundToInt((s - kMinHandle) * position_ / (static_cast<double>(range_) - effectiveWindow_));
    }
    return along(offset, size);
}

void TCustomRangeBar::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    thorn::ComponentRef<TCustomRangeBar> self(this);
    TArrowBar::MouseDown(button, shift, x, y);
    if (self && button == mbLeft && GetDragZone() == zHandle) PosBeforeDrag = position_;
}

void TCustomRangeBar::MouseMove(TShiftState shift, int x, int y) {
    thorn::ComponentRef<TCustomRangeBar> self(this);
    TArrowBar::MouseMove(shift, x, y);
    if (!self || GetDragZone() != zHandle) return;
    // Nothing to move when the whole range is in view, and no handle travel
    // to divide by on a track too short for one.
    if (range_ <= effectiveWindow_) return;
    double d = Horizontal() ? x - StoredX : y - StoredY;
    double s = ClientLength() - 2.0 * GetButtonSize();
    double value;
    if (RoundToInt(s * effectiveWindow_ / range_) < kMinHandle) {
        if (s <= kMinHandle) return;
        value = PosBeforeDrag + std::nearbyint((static_cast<double>(range_) - effectiveWindow_) * d / (s - kMinHandle));
    } else {
        value = PosBeforeDrag + range_ * d / s;
    }
    UserChange user(*this, GenChange);
    SetPosition(static_cast<float>(value));
}

bool TCustomRangeBar::WMMouseWheel(TShiftState shift, int wheelDelta, TPoint screenPos) {
    bool handled = false;
    thorn::ComponentRef<TCustomRangeBar> self(this);
    if (OnMouseWheel) OnMouseWheel(this, shift, wheelDelta, screenPos, handled);
    if (self && !handled && wheelDelta < 0 && OnMouseWheelDown) OnMouseWheelDown(this, shift, screenPos, handled);
    if (self && !handled && wheelDelta > 0 && OnMouseWheelUp) OnMouseWheelUp(this, shift, screenPos, handled);
    if (self && !handled) {
        UserChange user(*this, GenChange);
        SetPosition(position_ + increment_ * static_cast<float>(wheelDelta) / 120.0f);
    }
    return true;
}

void TCustomRangeBar::TimerHandler(TObject* Sender) {
    TArrowBar::TimerHandler(Sender);
    if (TimerMode != tmRepeat) return;
    UserChange user(*this, GenChange);
    float old = position_;
    switch (GetDragZone()) {
    case zBtnPrev:
        SetPosition(position_ - increment_);
        if (user.Alive() && position_ == old) StopDragTracking();
        break;
    case zBtnNext:
        SetPosition(position_ + increment_);
        if (user.Alive() && position_ == old) StopDragTracking();
        break;
    case zTrackPrev: {
        TRBZone zone = CursorZone();
        if (zone == zTrackPrev || zone == zBtnPrev) SetPosition(position_ - effectiveWindow_);
        break;
    }
    case zTrackNext: {
        TRBZone zone = CursorZone();
        if (zone == zTrackNext || zone == zBtnNext) SetPosition(position_ + effectiveWindow_);
        break;
    }
    default:
        break;
    }
}

// ================================================================ gauge bar

TCustomGaugeBar::TCustomGaugeBar() = default;

void TCustomGaugeBar::SetHandleSize(int32_t value) {
    value = std::max(value, 0);
    if (value == handleSize_) return;
    handleSize_ = value;
    Invalidate();
}

int32_t TCustomGaugeBar::Clamped(int64_t value) const {
    if (value > max_) value = max_;
    if (value < min_) value = min_;
    return static_cast<int32_t>(value);
}

void TCustomGaugeBar::SetMin(int32_t value) {
    if (!GetComponentState().Contains(csLoading) && value >= max_)
        value = max_ == std::numeric_limits<int32_t>::min() ? max_ : max_ - 1;
    if (value == min_) return;
    min_ = value;
    position_ = Clamped(position_);
    Invalidate();
}

void TCustomGaugeBar::SetMax(int32_t value) {
    if (!GetComponentState().Contains(csLoading) && value <= min_)
        value = min_ == std::numeric_limits<int32_t>::max() ? min_ : min_ + 1;
    if (value == max_) return;
    max_ = value;
    position_ = Clamped(position_);
    Invalidate();
}

void TCustomGaugeBar::SetPosition(int32_t value) { ChangePosition(value); }

void TCustomGaugeBar::ChangePosition(int64_t value) {
    int32_t clamped = Clamped(value);
    if (clamped == position_) return;
    position_ = clamped;
    Invalidate();
    DoChange();
}

int32_t TCustomGaugeBar::EffectiveHandleSize() const {
    int32_t size = handleSize_ != 0 ? handleSize_ : ClientThickness();
    int32_t track = ClientLength() - 2 * GetButtonSize();
    return std::max(std::min(size, track - 1), 0);
}

TRect TCustomGaugeBar::GetHandleRect() const {
    TRect track = GetTrackBoundary();
    bool horz = Horizontal();
    int32_t start = horz ? track.Left : track.Top;
    int32_t length = horz ? track.Width() : track.Height();
    int32_t size = EffectiveHandleSize();
    // A gauge whose Max equals its Min (possible while loading) has nowhere
    // to move: its handle stays at the start.
    int64_t span = int64_t{max_} - min_;
    int32_t offset =
        span == 0 ? 0 : RoundToInt(static_cast<double>(length - size) * (int64_t{position_} - min_) / span);
    return horz ? TRect{start + offset, track.Top, start + offset + size, track.Bottom}
                : TRect{track.Left, start + offset, track.Right, start + offset + size};
}

void TCustomGaugeBar::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    thorn::ComponentRef<TCustomGaugeBar> self(this);
    TArrowBar::MouseDown(button, shift, x, y);
    if (self && button == mbLeft && GetDragZone() == zHandle) PosBeforeDrag = static_cast<float>(position_);
}

void TCustomGaugeBar::MouseMove(TShiftState shift, int x, int y) {
    thorn::ComponentRef<TCustomGaugeBar> self(this);
    TArrowBar::MouseMove(shift, x, y);
    if (!self || GetDragZone() != zHandle) return;
    // No travel to divide by when the handle fills the track.
    int32_t travel = ClientLength() - 2 * GetButtonSize() - EffectiveHandleSize();
    if (travel <= 0) return;
    double d = Horizontal() ? x - StoredX : y - StoredY;
    double value = std::nearbyint(PosBeforeDrag + static_cast<double>(int64_t{max_} - min_) * d / travel);
    value = std::clamp(value, double{std::numeric_limits<int32_t>::min()}, double{std::numeric_limits<int32_t>::max()});
    UserChange user(*this, GenChange);
    ChangePosition(static_cast<int64_t>(value));
}

bool TCustomGaugeBar::WMMouseWheel(TShiftState shift, int wheelDelta, TPoint screenPos) {
    bool handled = false;
    thorn::ComponentRef<TCustomGaugeBar> self(this);
    if (OnMouseWheel) OnMouseWheel(this, shift, wheelDelta, screenPos, handled);
    if (self && !handled) {
        UserChange user(*this, GenChange);
        ChangePosition(int64_t{position_} + int64_t{smallChange_} * wheelDelta / 120);
    }
    return true;
}

void TCustomGaugeBar::TimerHandler(TObject* Sender) {
    TArrowBar::TimerHandler(Sender);
    if (TimerMode != tmRepeat) return;
    UserChange user(*this, GenChange);
    int32_t old = position_;
    switch (GetDragZone()) {
    case zBtnPrev:
        ChangePosition(int64_t{position_} - smallChange_);
        if (user.Alive() && position_ == old) StopDragTracking();
        break;
    case zBtnNext:
        ChangePosition(int64_t{position_} + smallChange_);
        if (user.Alive() && position_ == old) StopDragTracking();
        break;
    case zTrackPrev: {
        TRBZone zone = CursorZone();
        if (zone == zTrackPrev || zone == zBtnPrev) ChangePosition(int64_t{position_} - largeChange_);
        break;
    }
    case zTrackNext: {
        TRBZone zone = CursorZone();
        if (zone == zTrackNext || zone == zBtnNext) ChangePosition(int64_t{position_} + largeChange_);
        break;
    }
    default:
        break;
    }
}

// ================================================================ access

template <typename F>
void TArrowBarAccess::Both(F&& set) {
    if (Master) set(*Master);
    if (Slave) set(*Slave);
}

TColor TArrowBarAccess::GetColor() const { return Master ? Master->GetColor() : clScrollBar; }
void TArrowBarAccess::SetColor(TColor value) {
    Both([&](TArrowBar& b) { b.SetColor(value); });
}
TRBBackgnd TArrowBarAccess::GetBackgnd() const { return Master ? Master->GetBackgnd() : bgPattern; }
void TArrowBarAccess::SetBackgnd(TRBBackgnd value) {
    Both([&](TArrowBar& b) { b.SetBackgnd(value); });
}
int32_t TArrowBarAccess::GetButtonSize() const { return Master ? Master->ButtonSize() : 0; }
void TArrowBarAccess::SetButtonSize(int32_t value) {
    Both([&](TArrowBar& b) { b.SetButtonSize(value); });
}
TColor TArrowBarAccess::GetHandleColor() const { return Master ? Master->GetHandleColor() : clBtnShadow; }
void TArrowBarAccess::SetHandleColor(TColor value) {
    Both([&](TArrowBar& b) { b.SetHandleColor(value); });
}
TColor TArrowBarAccess::GetButtonColor() const { return Master ? Master->GetButtonColor() : clBtnFace; }
void TArrowBarAccess::SetButtonColor(TColor value) {
    Both([&](TArrowBar& b) { b.SetButtonColor(value); });
}
TColor TArrowBarAccess::GetHighLightColor() const { return Master ? Master->GetHighLightColor() : clBtnHighlight; }
void TArrowBarAccess::SetHighLightColor(TColor value) {
    Both([&](TArrowBar& b) { b.SetHighLightColor(value); });
}
TColor TArrowBarAccess::GetShadowColor() const { return Master ? Master->GetShadowColor() : clBtnShadow; }
void TArrowBarAccess::SetShadowColor(TColor value) {
    Both([&](TArrowBar& b) { b.SetShadowColor(value); });
}
TColor TArrowBarAccess::GetBorderColor() const { return Master ? Master->GetBorderColor() : clWindowFrame; }
void TArrowBarAccess::SetBorderColor(TColor value) {
    Both([&](TArrowBar& b) { b.SetBorderColor(value); });
}
bool TArrowBarAccess::GetShowArrows() const { return Master ? Master->GetShowArrows() : true; }
void TArrowBarAccess::SetShowArrows(bool value) {
    Both([&](TArrowBar& b) { b.SetShowArrows(value); });
}
bool TArrowBarAccess::GetShowHandleGrip() const { return Master ? Master->GetShowHandleGrip() : true; }
void TArrowBarAccess::SetShowHandleGrip(bool value) {
    Both([&](TArrowBar& b) { b.SetShowHandleGrip(value); });
}
TRBStyle TArrowBarAccess::GetStyle() const { return Master ? Master->GetStyle() : rbsDefault; }
void TArrowBarAccess::SetStyle(TRBStyle value) {
    Both([&](TArrowBar& b) { b.SetStyle(value); });
}
