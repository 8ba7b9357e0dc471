#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "bitmap/Canvas.h"
#include "gui/Controls.h"
#include "gui/Forms.h"
#include "gui/Timers.h"
#include "platform/Graphics.h"
#include "platform/Sets.h"

// Scroll bars drawn by the library itself: an arrow bar (two arrow buttons,
// a track and a handle, with auto-repeat and hot tracking on one timer), a
// range bar (a float position over a range with a visible window) and a
// gauge bar (an integer position between Min and Max). They draw the classic
// three-dimensional scroll bar, or their own flat "Mac" look. The platform
// has no visual styles, so the classic drawing stands for the themed one.

enum TRBDirection : uint8_t { drLeft, drUp, drRight, drDown };
using TRBDirections = thorn::EnumSet<TRBDirection>;
enum TRBZone : uint8_t { zNone, zBtnPrev, zTrackPrev, zHandle, zTrackNext, zBtnNext };
enum TRBStyle : uint8_t { rbsDefault, rbsMac };
enum TRBBackgnd : uint8_t { bgPattern, bgSolid };
using TRBGetSizeEvent = std::function<void(TObject* sender, int32_t& size)>;
using TRBIncrement = uint16_t;
enum TScrollBarKind : uint8_t { sbHorizontal, sbVertical };
using TMouseWheelUpDownEvent = std::function<void(TObject* sender, TShiftState shift, TPoint mousePos, bool& handled)>;

namespace thorn {
// The thickness of a standard horizontal scroll bar, in pixels.
inline constexpr int32_t kScrollBarHeight = 16;
}  // namespace thorn

class TArrowBar : public TCustomControl {
public:
    TArrowBar();
    ~TArrowBar() override;

    TRBBackgnd GetBackgnd() const { return backgnd_; }
    void SetBackgnd(TRBBackgnd value);
    TBorderStyle GetBorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle value);
    // 0 = as thick as the bar, up to 32.
    int32_t ButtonSize() const { return buttonSize_; }
    void SetButtonSize(int32_t value);
    TColor GetHandleColor() const { return handleColor_; }
    void SetHandleColor(TColor value);
    TColor GetButtonColor() const { return buttonColor_; }
    void SetButtonColor(TColor value);
    TColor GetHighLightColor() const { return highLightColor_; }
    void SetHighLightColor(TColor value);
    TColor GetShadowColor() const { return shadowColor_; }
    void SetShadowColor(TColor value);
    TColor GetBorderColor() const { return borderColor_; }
    void SetBorderColor(TColor value);
    TScrollBarKind GetKind() const { return kind_; }
    void SetKind(TScrollBarKind value);
    bool GetShowArrows() const { return showArrows_; }
    void SetShowArrows(bool value);
    bool GetShowHandleGrip() const { return showHandleGrip_; }
    void SetShowHandleGrip(bool value);
    TRBStyle GetStyle() const { return style_; }
    void SetStyle(TRBStyle value);

    // 1 with a single border, else 0.
    int32_t GetBorderSize() const;
    // The length of each arrow button along the bar; 0 when there are none.
    int32_t GetButtonSize() const;
    // The client rectangle less the two buttons.
    TRect GetTrackBoundary() const;
    TRBZone GetZone(int32_t X, int32_t Y) const;
    TRect GetZoneRect(TRBZone Zone) const;
    virtual TRect GetHandleRect() const;
    virtual bool DrawEnabled() const;

    TRBZone GetDragZone() const { return dragZone_; }
    TRBZone GetHotZone() const { return hotZone_; }

    TNotifyEvent OnChange;
    TNotifyEvent OnUserChange;

protected:
    bool Horizontal() const { return kind_ == sbHorizontal; }
    // Length of the client area along the bar, and across it.
    int32_t ClientLength() const;
    int32_t ClientThickness() const;

    void Paint() override;
    bool WMEraseBkgnd(TCanvas& canvas) override { return false; }
    void WMNCPaint(TCanvas& canvas) override;
    void CMEnabledChanged() override;
    void CMMouseLeave() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

    virtual void DoChange();
    virtual void DoDrawButton(TRect R, TRBDirection Direction, bool Pushed, bool Enabled, bool Hot);
    virtual void DoDrawHandle(TRect R, bool Horz, bool Pushed, bool Hot);
    virtual void DoDrawTrack(TRect R, TRBDirection Direction, bool Pushed, bool Enabled, bool Hot);
    virtual void MouseLeft();
    // Repeat steps of the pressed zone (auto-repeat, timer mode 2) and the
    // check that the cursor is still over the bar (hot tracking, mode 3).
    virtual void TimerHandler(TObject* Sender);

    // Kind changed: the bar's length may now run the other way.
    virtual void KindChanged() {}
    // The zone under the cursor, the cursor brought into the client area.
    TRBZone CursorZone() const;

    void StartDragTracking();
    void StopDragTracking();
    void StartHotTracking();
    void StopHotTracking();

    enum TimerModes : int32_t { tmNone = 0, tmFirstDelay = 1, tmRepeat = 2, tmHotTrack = 3 };

    // True while a change comes from the user (mouse, wheel, timer).
    bool GenChange = false;
    int32_t TimerMode = tmNone;
    int32_t StoredX = 0;
    int32_t StoredY = 0;
    float PosBeforeDrag = 0;

    TTimer& Timer() { return *timer_; }

private:
    void DrawMacEdges(TRect& R, TRBDirection Direction, TColor color);
    void DrawMacArrow(TRect R, TRBDirection Direction, TColor color);

    TRBBackgnd backgnd_ = bgPattern;
    TBorderStyle borderStyle_ = bsSingle;
    int32_t buttonSize_ = 0;
    TColor handleColor_ = clBtnShadow;
    TColor buttonColor_ = clBtnFace;
    TColor highLightColor_ = clBtnHighlight;
    TColor shadowColor_ = clBtnShadow;
    TColor borderColor_ = clWindowFrame;
    TScrollBarKind kind_ = sbHorizontal;
    bool showArrows_ = true;
    bool showHandleGrip_ = true;
    TRBStyle style_ = rbsDefault;
    TRBZone dragZone_ = zNone;
    TRBZone hotZone_ = zNone;
    std::unique_ptr<TTimer> timer_;
};

// A float Position over an integer Range, of which a Window is visible; the
// handle is sized by the window.
class TCustomRangeBar : public TArrowBar {
public:
    TCustomRangeBar();

    bool GetCentered() const { return centered_; }
    void SetCentered(bool value) { centered_ = value; }
    // Window, or the bar's own length when Window is 0.
    int32_t GetEffectiveWindow() const { return effectiveWindow_; }
    TRBIncrement GetIncrement() const { return increment_; }
    void SetIncrement(TRBIncrement value) { increment_ = value; }
    float GetPosition() const { return position_; }
    // Kept within 0 .. max(0, Range - EffectiveWindow).
    void SetPosition(float value);
    int32_t GetRange() const { return range_; }
    void SetRange(int32_t value) { SetParams(value, window_); }
    int32_t GetWindow() const { return window_; }
    void SetWindow(int32_t value) { SetParams(range_, value); }
    void SetParams(int32_t NewRange, int32_t NewWindow);

    TRect GetHandleRect() const override;
    bool DrawEnabled() const override;

    // Asked, after OnMouseWheel, whether a wheel turn away from (Up) or
    // toward (Down) the user is handled; otherwise it moves the position.
    TMouseWheelUpDownEvent OnMouseWheelUp;
    TMouseWheelUpDownEvent OnMouseWheelDown;

protected:
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    bool WMMouseWheel(TShiftState shift, int wheelDelta, TPoint screenPos) override;
    void Resize() override;
    void TimerHandler(TObject* Sender) override;
    void KindChanged() override;

private:
    void UpdateEffectiveWindow();
    // Keeps the view centre when the range or window changes.
    void Recentre(int32_t oldRange, int32_t oldWindow);
    void ClampPosition();

    bool centered_ = false;
    int32_t effectiveWindow_ = 0;
    TRBIncrement increment_ = 8;
    float position_ = 0;
    int32_t range_ = 0;
    int32_t window_ = 0;
};

class TRangeBar : public TCustomRangeBar {};

// An integer Position between Min and Max with a handle of fixed size.
class TCustomGaugeBar : public TArrowBar {
public:
    TCustomGaugeBar();

    // 0 = as thick as the bar.
    int32_t GetHandleSize() const { return handleSize_; }
    void SetHandleSize(int32_t value);
    int32_t GetLargeChange() const { return largeChange_; }
    void SetLargeChange(int32_t value) { largeChange_ = value < 1 ? 1 : value; }
    int32_t GetMax() const { return max_; }
    void SetMax(int32_t value);
    int32_t GetMin() const { return min_; }
    void SetMin(int32_t value);
    int32_t GetPosition() const { return position_; }
    void SetPosition(int32_t value);
    int32_t GetSmallChange() const { return smallChange_; }
    void SetSmallChange(int32_t value) { smallChange_ = value < 1 ? 1 : value; }

    // The handle's length along the bar.
    int32_t EffectiveHandleSize() const;
    TRect GetHandleRect() const override;

protected:
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    bool WMMouseWheel(TShiftState shift, int wheelDelta, TPoint screenPos) override;
    void TimerHandler(TObject* Sender) override;

private:
    int32_t Clamped(int64_t value) const;
    void ChangePosition(int64_t value);

    int32_t handleSize_ = 0;
    int32_t largeChange_ = 1;
    int32_t max_ = 100;
    int32_t min_ = 0;
    int32_t position_ = 0;
    int32_t smallChange_ = 1;
};

class TGaugeBar : public TCustomGaugeBar {};

// Appearance settings forwarded to one bar (Master) or two (Master and
// Slave): getters read the Master, setters write both.
class TArrowBarAccess : public TPersistent {
public:
    TArrowBar* Master = nullptr;
    TArrowBar* Slave = nullptr;

    TColor GetColor() const;
    void SetColor(TColor value);
    TRBBackgnd GetBackgnd() const;
    void SetBackgnd(TRBBackgnd value);
    int32_t GetButtonSize() const;
    void SetButtonSize(int32_t value);
    TColor GetHandleColor() const;
    void SetHandleColor(TColor value);
    TColor GetButtonColor() const;
    void SetButtonColor(TColor value);
    TColor GetHighLightColor() const;
    void SetHighLightColor(TColor value);
    TColor GetShadowColor() const;
    void SetShadowColor(TColor value);
    TColor GetBorderColor() const;
    void SetBorderColor(TColor value);
    bool GetShowArrows() const;
    void SetShowArrows(bool value);
    bool GetShowHandleGrip() const;
    void SetShowHandleGrip(bool value);
    TRBStyle GetStyle() const;
    void SetStyle(TRBStyle value);

private:
    template <typename F>
    void Both(F&& set);
};
