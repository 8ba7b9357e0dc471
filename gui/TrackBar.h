#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "gui/Controls.h"

class TTimer;

enum TTrackBarOrientation : uint8_t { trHorizontal, trVertical };
enum TTickMark : uint8_t { tmBottomRight, tmTopLeft, tmBoth };
enum TTickStyle : uint8_t { tsNone, tsAuto, tsManual };

// A thumb on a channel that picks a whole number from Min to Max (Min at
// the left or the top). The thumb is dragged with the mouse; a press on the
// channel beside it moves it a page (PageSize) towards the pointer,
// repeating while held; the arrow keys move it a line (LineSize), Page Up
// and Page Down a page, Home and End to the ends. Tick marks stand at every
// Frequency (tsAuto) or where SetTick put them (tsManual), on one side of
// the channel or both; a pointed thumb points at them. The selection range
// SelStart to SelEnd shows in the channel. OnChange runs after every change
// of the position, by the user or the program.
class TTrackBar : public TCustomControl {
public:
    TTrackBar();
    ~TTrackBar() override;

    int GetMin() const { return min_; }
    int GetMax() const { return max_; }
    // A maximum below the minimum is raised to it; the position and the
    // selection stay inside the range.
    void SetMin(int value) { SetRange(value, std::max(value, max_)); }
    void SetMax(int value) { SetRange(std::min(value, min_), value); }
    void SetRange(int min, int max);
    int GetPosition() const { return position_; }
    void SetPosition(int value);
    int GetFrequency() const { return frequency_; }
    void SetFrequency(int value);
    int GetLineSize() const { return lineSize_; }
    void SetLineSize(int value) { lineSize_ = std::max(1, value); }
    int GetPageSize() const { return pageSize_; }
    void SetPageSize(int value) { pageSize_ = std::max(1, value); }
    TTrackBarOrientation GetOrientation() const { return orientation_; }
    // Turning the bar swaps its width and height.
    void SetOrientation(TTrackBarOrientation value);
    TTickMark GetTickMarks() const { return tickMarks_; }
    void SetTickMarks(TTickMark value);
    TTickStyle GetTickStyle() const { return tickStyle_; }
    void SetTickStyle(TTickStyle value);
    // A tick of its own at value (tsManual); Min and Max always have one.
    void SetTick(int value);
    void ClearTicks();
    int GetSelStart() const { return selStart_; }
    void SetSelStart(int value);
    int GetSelEnd() const { return selEnd_; }
    void SetSelEnd(int value);
    bool GetShowSelRange() const { return showSelRange_; }
    void SetShowSelRange(bool value);
    bool GetSliderVisible() const { return sliderVisible_; }
    void SetSliderVisible(bool value);
    // The thumb's extent across the channel.
    int GetThumbLength() const { return thumbLength_; }
    void SetThumbLength(int value);

    // Where the thumb and the channel lie (client coordinates).
    TRect GetThumbRect() const;
    TRect GetChannelRect() const;

    TNotifyEvent OnChange;

protected:
    void Paint() override;
    uint32_t WMGetDlgCode() override { return DLGC_WANTARROWS; }
    void KeyDown(TKey& key, TShiftState shift) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void CMCancelMode() override;
    virtual void Changed();

private:
    // Places measured along the channel (x of a horizontal bar, y of a
    // vertical one) and across it.
    struct Geometry {
        int trackStart, trackEnd;  // centre of the thumb at Min and at Max
        int thumbAlong;            // thumb's extent along the channel
        int thumbAcross, thumbAcrossEnd;
        int channelAcross, channelAcrossEnd;
    };
    Geometry Measure() const;
    // A rectangle given along and across the channel, in client coordinates.
    TRect Oriented(int alongStart, int alongEnd, int acrossStart, int acrossEnd) const;
    TPoint OrientedPoint(int along, int across) const;
    int Along(int x, int y) const { return orientation_ == trHorizontal ? x : y; }
    int CentreOf(int value, const Geometry& g) const;
    int ValueAt(int along, const Geometry& g) const;
    void PaintTicks(TCanvas& canvas, const Geometry& g);
    void PaintThumb(TCanvas& canvas, const Geometry& g);
    void PageTowardsPointer();
    void StopTracking();

    int min_ = 0;
    int max_ = 10;
    int position_ = 0;
    int frequency_ = 1;
    int lineSize_ = 1;
    int pageSize_ = 2;
    TTrackBarOrientation orientation_ = trHorizontal;
    TTickMark tickMarks_ = tmBottomRight;
    TTickStyle tickStyle_ = tsAuto;
    std::vector<int> ticks_;
    int selStart_ = 0;
    int selEnd_ = 0;
    bool showSelRange_ = true;
    bool sliderVisible_ = true;
    int thumbLength_ = 20;
    // a press in progress
    enum class Tracking { None, Thumb, Page };
    Tracking tracking_ = Tracking::None;
    int grabOffset_ = 0;   // from the thumb's centre to the pointer
    int pointerAlong_ = 0;
    std::unique_ptr<TTimer> repeat_;
};
