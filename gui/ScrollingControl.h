#pragma once

#include "gui/Controls.h"

enum TScrollStyle : uint8_t { ssNone, ssHorizontal, ssVertical, ssBoth };

namespace thorn {

// A windowed control showing content larger than itself through a viewport,
// with window scroll bars, the wheel and programmatic scrolling. The
// content is measured in scroll units, one size per axis: pixels by default,
// or rows (a list sets the row height as its vertical unit, so it scrolls by
// whole rows and its position is its top row). The position is the first
// unit shown on each axis, from 0 to the content minus the page (the units
// that fit whole into the viewport).
//
// A descendant sets the content size (and the unit), paints in Paint only
// what GetVisibleUnits names, at GetContentOrigin, and calls ScrollInView
// to keep its caret or current row in sight. The bars follow by themselves:
// they come and go as the content outgrows the viewport, and arrows, page
// clicks, thumb drags and the wheel (three lines a notch) move the position.
// ScrollPosChanged repaints the viewport; a descendant holding child
// controls moves them there instead.
class ScrollingControl : public TCustomControl {
public:
    ScrollingControl();

    // Which bars may show (ssNone by default: the control scrolls only by
    // program, the wheel and ScrollInView).
    TScrollStyle GetScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle value);
    // Whether an allowed bar stays, greyed, while there is nothing to scroll.
    bool GetDisableNoScroll() const { return disableNoScroll_; }
    void SetDisableNoScroll(bool value);

    // ---- content, in units
    TSize GetContentSize() const { return content_; }
    void SetContentSize(int width, int height);
    // Pixels per unit on each axis; at least 1.
    TSize GetScrollUnit() const { return unit_; }
    void SetScrollUnit(int width, int height);
    // Units an arrow of the bar moves (a wheel notch moves WheelLines of them).
    TSize GetLineStep() const { return lineStep_; }
    void SetLineStep(int horizontal, int vertical);
    int GetWheelLines() const { return wheelLines_; }
    void SetWheelLines(int value) { wheelLines_ = value; }

    // ---- position, in units
    TPoint GetScrollPos() const { return pos_; }
    // Kept between 0 and GetMaxScrollPos.
    void SetScrollPos(TPoint pos);
    void ScrollBy(int dx, int dy) { SetScrollPos({pos_.X + dx, pos_.Y + dy}); }
    TPoint GetMaxScrollPos() const;
    // Units that fit whole into the viewport (at least 1 on an axis with room).
    TSize GetPageSize() const;
    // Scrolls as little as needed to show the rectangle of units (its
    // top-left corner when it does not fit).
    void ScrollInView(const TRect& units);

    // ---- painting
    // The part of the client area the content shows in (the client area).
    virtual TRect GetViewport() const { return GetClientRect(); }
    // Where content unit (0, 0) lies, in client coordinates.
    TPoint GetContentOrigin() const;
    // The units that touch clip (client coordinates) inside the viewport,
    // partly shown ones included, within the content.
    TRect GetVisibleUnits(const TRect& clip) const;

    // Runs after every change of the position.
    TNotifyEvent OnScroll;

protected:
    // The position moved from old; the base repaints the viewport.
    virtual void ScrollPosChanged(TPoint old);
    // Fits the bars to the content and the viewport (done on every change of
    // either); a descendant whose viewport changes otherwise calls it.
    void UpdateScrollBars();

    void WMHScroll(int code, int pos) override;
    void WMVScroll(int code, int pos) override;
    bool WMMouseWheel(TShiftState shift, int wheelDelta, TPoint screenPos) override;
    void WMSize() override;

private:
    void Scroll(int bar, int code, int pos);
    bool BarAllowed(int bar) const;

    TScrollStyle scrollBars_ = ssNone;
    bool disableNoScroll_ = false;
    TSize content_;
    TSize unit_{1, 1};
    TSize lineStep_{1, 1};
    int wheelLines_ = 3;
    TPoint pos_;
    int wheelRest_ = 0;  // wheel delta short of a notch
    bool updatingBars_ = false;
};

}  // namespace thorn
