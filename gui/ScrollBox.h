#pragma once

#include <cstdint>

#include "gui/ScrollingControl.h"

enum TScrollBarKind : uint8_t { sbHorizontal, sbVertical };

class TScrollBox;

// One scroll bar of a scroll box as the program sees it: the range it
// scrolls over (the children's extent while the box scrolls by itself), the
// position, the step of its arrows, whether dragging its thumb scrolls at
// once (Tracking) or on release, and whether it may show at all.
class TControlScrollBar : public TPersistent {
public:
    TControlScrollBar(TScrollBox& control, TScrollBarKind kind) : control_(control), kind_(kind) {}

    TScrollBarKind GetKind() const { return kind_; }
    int GetIncrement() const { return increment_; }
    void SetIncrement(int value);
    // Kept between 0 and the range less the page.
    int GetPosition() const;
    void SetPosition(int value);
    // Setting the range stops the box from taking it from its children.
    int GetRange() const;
    void SetRange(int value);
    bool GetTracking() const { return tracking_; }
    void SetTracking(bool value) { tracking_ = value; }
    bool GetVisible() const { return visible_; }
    void SetVisible(bool value);
    // Whether the bar shows now (its range outgrows the box).
    bool IsScrollBarVisible() const;
    // The position while the bar shows, 0 otherwise.
    int GetScrollPos() const { return IsScrollBarVisible() ? GetPosition() : 0; }

private:
    TScrollBox& control_;
    TScrollBarKind kind_;
    int increment_ = 8;
    bool tracking_ = false;
    bool visible_ = true;
};

// A box that shows part of the controls on it and scrolls over the rest:
// with AutoScroll (the default) the bars' ranges reach to the right and
// bottom edges of its unaligned children (at the position 0), and the
// children move as it scrolls, so their Left and Top stay what the user
// sees. Focusing a control inside scrolls it into sight. BorderStyle
// bsSingle gives it a sunken edge.
class TScrollBox : public thorn::ScrollingControl {
public:
    TScrollBox();

    TControlScrollBar& HorzScrollBar() { return horz_; }
    TControlScrollBar& VertScrollBar() { return vert_; }
    const TControlScrollBar& HorzScrollBar() const { return horz_; }
    const TControlScrollBar& VertScrollBar() const { return vert_; }
    bool GetAutoScroll() const { return autoScroll_; }
    void SetAutoScroll(bool value);
    TBorderStyle GetBorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle value);
    // Scrolls as little as needed to show control (on the box, at any depth).
    void ScrollInView(const TControl* control);
    using ScrollingControl::ScrollInView;

protected:
    friend class TControlScrollBar;
    void AlignControls(TControl* control, TRect& rect) override;
    bool RealignsOnChildBounds() const override { return autoScroll_; }
    void ScrollPosChanged(TPoint old) override;
    void WMHScroll(int code, int pos) override;
    void WMVScroll(int code, int pos) override;
    void WMNCCalcSize(TRect& rect) const override;
    void WMNCPaint(TCanvas& canvas) override;
    void CMFocusChanged(TWinControl* focused) override;

private:
    // The children's extent, when the box takes its ranges from them.
    void CalcAutoRange();
    void UpdateBarStyle();

    TControlScrollBar horz_{*this, sbHorizontal};
    TControlScrollBar vert_{*this, sbVertical};
    bool autoScroll_ = true;
    TBorderStyle borderStyle_ = bsSingle;
};
