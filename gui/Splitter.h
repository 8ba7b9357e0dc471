#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "gui/Controls.h"

enum TResizeStyle : uint8_t { rsNone, rsLine, rsUpdate, rsPattern };

using TSplitterCanResizeEvent = std::function<void(TObject* sender, int& newSize, bool& accept)>;

// A bar between two aligned controls that the user drags to share the room
// between them. It resizes the control aligned the same way just before it
// (to its left for alLeft, above it for alTop, and so on), keeping that
// control at least MinSize and leaving at least MinSize to what fills the
// rest; the control's own constraints hold too. With AutoSnap a drag below
// half the minimum folds the control away to 0. While dragging, rsPattern
// and rsLine show where the split will go and resize on release, rsUpdate
// resizes at once, rsNone shows nothing. OnCanResize may change or refuse
// each new size; OnMoved runs after every resize.
class TSplitter : public TGraphicControl {
public:
    TSplitter();
    ~TSplitter() override;

    int GetMinSize() const { return minSize_; }
    void SetMinSize(int value);
    bool GetAutoSnap() const { return autoSnap_; }
    void SetAutoSnap(bool value) { autoSnap_ = value; }
    bool GetBeveled() const { return beveled_; }
    void SetBeveled(bool value);
    TResizeStyle GetResizeStyle() const { return resizeStyle_; }
    void SetResizeStyle(TResizeStyle value) { resizeStyle_ = value; }

    // The sizes a drag can give the control the splitter resizes, as the
    // parent stands now: Lowest to Highest, and 0 when the control may be
    // folded away. None when the splitter resizes nothing.
    struct SizeRange {
        int Lowest = 0;
        int Highest = 0;
        bool Folds = false;
        bool Holds(int64_t size) const { return (Folds && size == 0) || (size >= Lowest && size <= Highest); }
    };
    std::optional<SizeRange> GetSizeRange() const;

    TSplitterCanResizeEvent OnCanResize;
    TNotifyEvent OnMoved;
    TNotifyEvent OnPaint;

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void CMCancelMode() override;
    // The cursor follows the direction of the split.
    void RequestAlign() override;
    virtual bool DoCanResize(int& newSize);

private:
    bool Vertical() const { return GetAlign() == alLeft || GetAlign() == alRight; }
    // The control the splitter resizes, or null.
    TControl* FindControl() const;
    int SizeOf(const TControl& control) const;
    // Along the split, in the parent's client coordinates.
    int Along(int x, int y) const;
    void MoveSplit(int along);
    void ShowLine();
    void UpdateControlSize();
    void StopSizing();

    int minSize_ = 30;
    bool autoSnap_ = true;
    bool beveled_ = false;
    TResizeStyle resizeStyle_ = rsPattern;
    // the drag in progress
    thorn::ComponentRef<TControl> control_;
    int downAlong_ = 0;
    int startSize_ = 0;
    int newSize_ = 0;
    SizeRange range_;
};
