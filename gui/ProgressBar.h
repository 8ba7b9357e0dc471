#pragma once

#include <cstdint>

#include "gui/Controls.h"

enum TProgressBarOrientation : uint8_t { pbHorizontal, pbVertical };

// How far a long operation has come: the part of the bar from Min to
// Position is filled, in blocks or (Smooth) in one piece, left to right or
// bottom to top. StepIt adds Step and starts again at Min once it passes
// Max (at Max once a negative step passes Min); StepBy stops at the ends.
class TProgressBar : public TWinControl {
public:
    TProgressBar();

    int GetMin() const { return min_; }
    int GetMax() const { return max_; }
    // A range whose maximum lies below its minimum is refused with
    // EInvalidOperation; the position is kept inside the range.
    void SetMin(int value) { SetRange(value, max_); }
    void SetMax(int value) { SetRange(min_, value); }
    void SetRange(int min, int max);
    int GetPosition() const { return position_; }
    void SetPosition(int value);
    int GetStep() const { return step_; }
    void SetStep(int value) { step_ = value; }
    void StepIt();
    void StepBy(int delta);
    bool GetSmooth() const { return smooth_; }
    void SetSmooth(bool value);
    TProgressBarOrientation GetOrientation() const { return orientation_; }
    void SetOrientation(TProgressBarOrientation value);

protected:
    void PaintWindow(TCanvas& canvas) override;
    void WMNCCalcSize(TRect& rect) const override;
    void WMNCPaint(TCanvas& canvas) override;

private:
    int min_ = 0;
    int max_ = 100;
    int position_ = 0;
    int step_ = 10;
    bool smooth_ = false;
    TProgressBarOrientation orientation_ = pbHorizontal;
};
