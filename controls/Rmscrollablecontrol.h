#pragma once

#include <algorithm>
#include <functional>

#include "bitmapui/Pix32_RangeBars.h"
#include "gui/Controls.h"
#include "gui/ScrollingControl.h"

// Which window scroll bar an OnScroll names.
inline constexpr int kScrollBarHorizontal = 0;
inline constexpr int kScrollBarVertical = 1;

using TScrollEvent = std::function<void(TObject* sender, int scrollBar)>;

// The base of custom-drawn lists of rows of one height: the current row
// (ItemIndex), the first row in sight (TopIndex), a horizontal offset in
// pixels and a selected range of rows, kept in step with the window's own
// scroll bars, the keys, the mouse and the wheel. A descendant says how many
// rows there are, how high and how wide, and paints them.
//
// The selected range runs from SelStart to SelStart + SelCount; Shift with
// the keys (or a drag with the mouse) grows and shrinks it from the row
// where it began when MultiSelect is on.
class TrmCustomScrollableControl : public TCustomControl {
public:
    TrmCustomScrollableControl();

    // ---- rows
    int GetItemIndex() const { return itemIndex_; }
    // Moves the current row (kept to the rows; nothing without rows), selects
    // it alone and scrolls it into sight.
    void SetItemIndex(int value);
    int GetTopIndex() const { return topIndex_; }
    // Kept between 0 and the last top row that fills the control.
    void SetTopIndex(int value);
    int GetSelStart() const { return selStart_; }
    // Puts the range's start, its end and the current row at value.
    void SetSelStart(int value);
    // Kept within the 32-bit range, however far apart a program put the ends.
    int GetSelCount() const;
    // Ends the range value rows after its start (at its start without
    // MultiSelect) and makes the end the current row.
    void SetSelCount(int value);
    // Scrolls as little as needed to show the current row.
    void ScrollToVisible();

    // ---- scrolling
    int GetVScrollSize() const;
    int GetHScrollSize() const;
    int GetVScrollPos() const;
    void SetVScrollPos(int value);
    int GetHScrollPos() const;
    void SetHScrollPos(int value);
    // Fit the bars (and the top row and the offset) to the rows.
    void UpdateVScrollBar();
    void UpdateHScrollBar();

    // ---- measures a descendant gives
    // The widest row in pixels.
    virtual int MaxItemLength() { return 0; }
    virtual int MaxItemCount() { return 0; }
    // The rows that fit whole into the client area.
    virtual int VisibleItems();
    // The height of a row in pixels (a descendant answers more than 0).
    virtual int MaxItemHeight() { return 0; }
    // How far a step of the horizontal bar's arrows moves, in pixels.
    virtual int MaxItemWidth() { return 0; }

    // ---- settings
    bool GetShowFocusRect() const { return showFocusRect_; }
    void SetShowFocusRect(bool value);
    // True: the selection is never highlighted.
    bool GetHideSelection() const { return hideSelection_; }
    void SetHideSelection(bool value);
    bool GetMultiSelect() const { return multiSelect_; }
    // Turning it off leaves the current row alone selected.
    void SetMultiSelect(bool value);
    TScrollStyle GetScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle value);
    TBorderStyle GetBorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle value);
    bool GetCtl3D() const { return ctl3D_; }
    void SetCtl3D(bool value);

    // After every fit of a bar: kScrollBarVertical or kScrollBarHorizontal.
    TScrollEvent OnScroll;
    TMouseWheelUpDownEvent OnMouseWheelDown;
    TMouseWheelUpDownEvent OnMouseWheelUp;

protected:
    // Hooks: the current row changed (an exception from it is dropped), the
    // top row or the offset was fitted to the bars.
    virtual void DoItemIndexChange() {}
    virtual void VerticalScrollChange() {}
    virtual void HorizontalScrollChange() {}

    // Whether row is inside the selected range.
    bool InSelection(int row) const { return selStart_ <= row && row <= selEnd_; }
    // The rows the painter needs: MaxItemHeight, never below 1.
    int RowHeight() { return std::max(1, MaxItemHeight()); }

    uint32_t WMGetDlgCode() override { return DLGC_WANTARROWS; }
    void WMVScroll(int code, int pos) override;
    void WMHScroll(int code, int pos) override;
    bool WMMouseWheel(TShiftState shift, int wheelDelta, TPoint screenPos) override;
    void WMSize() override;
    void WMNCCalcSize(TRect& rect) const override;
    void WMNCPaint(TCanvas& canvas) override;
    void KeyDown(TKey& key, TShiftState shift) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;

private:
    bool HasVBar() const { return scrollBars_ == ssVertical || scrollBars_ == ssBoth; }
    bool HasHBar() const { return scrollBars_ == ssHorizontal || scrollBars_ == ssBoth; }
    // Sets the bar's position; answers the one it took.
    int MoveBar(int bar, int value);
    // Keeps value (the top row or the offset) within size and fits the bar
    // to it, when shown; then the hook and OnScroll.
    void FitBar(int bar, bool shown, int& value, int size);
    // DoItemIndexChange with whatever it throws dropped.
    void ItemIndexChanged();
    // The range after the current row moved from oldIndex to itemIndex_ with
    // Shift (or a drag).
    void CalcMultiSelect(int oldIndex, int oldStart, int oldEnd);
    // The row under client y, kept to the rows (-1 without rows).
    int RowAtY(int y);
    void UpdateBoth();

    int itemIndex_ = -1;
    int topIndex_ = 0;
    int offset_ = 0;
    bool showFocusRect_ = true;
    bool hideSelection_ = false;
    bool multiSelect_ = false;
    TScrollStyle scrollBars_ = ssNone;
    int selStart_ = -1;
    int selEnd_ = -1;
    TBorderStyle borderStyle_ = bsNone;
    bool ctl3D_ = true;
};
