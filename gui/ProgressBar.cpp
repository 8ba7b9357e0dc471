#include "gui/ProgressBar.h"

#include <algorithm>

#include "gui/ControlAccess.h"
#include "gui/Edges.h"

namespace {

constexpr int kGap = 2;  // between blocks

}  // namespace

TProgressBar::TProgressBar() {
    SetControlStyle({csCaptureMouse, csClickEvents, csOpaque, csDoubleClicks});
    SetColor(clBtnFace);
    SetParentColor(false);
    SetBounds(0, 0, 150, 16);
}

void TProgressBar::SetRange(int min, int max) {
    if (max < min) throw EInvalidOperation("Property out of range: the maximum of a progress bar below its minimum");
    if (min == min_ && max == max_) return;
    min_ = min;
    max_ = max;
    position_ = std::clamp(position_, min_, max_);
    Invalidate();
}

void TProgressBar::SetPosition(int value) {
    value = std::clamp(value, min_, max_);
    if (value == position_) return;
    position_ = value;
    Invalidate();
}

void TProgressBar::StepBy(int delta) {
    SetPosition(static_cast<int>(std::clamp<int64_t>(static_cast<int64_t>(position_) + delta, min_, max_)));
}

void TProgressBar::StepIt() {
    // Past the end the bar starts over, as a bar of endless work does.
    int64_t next = static_cast<int64_t>(position_) + step_;
    if (next > max_)
        next = min_;
    else if (next < min_)
        next = max_;
    SetPosition(static_cast<int>(next));
}

void TProgressBar::SetSmooth(bool value) {
    if (value == smooth_) return;
    smooth_ = value;
    Invalidate();
}

void TProgressBar::SetOrientation(TProgressBarOrientation value) {
    if (value == orientation_) return;
    orientation_ = value;
    SetBounds(GetLeft(), GetTop(), GetHeight(), GetWidth());
    Invalidate();
}

void TProgressBar::WMNCCalcSize(TRect& rect) const {
    TWinControl::WMNCCalcSize(rect);
    InflateRect(rect, -1, -1);
}

void TProgressBar::WMNCPaint(TCanvas& canvas) {
    TRect r{0, 0, GetWidth(), GetHeight()};
    DrawEdge(canvas, r, BDR_SUNKENOUTER, BF_RECT);
}

void TProgressBar::PaintWindow(TCanvas& canvas) {
    TRect client = GetClientRect();
    bool vertical = orientation_ == pbVertical;
    int length = vertical ? client.Height() : client.Width();
    int64_t span = static_cast<int64_t>(max_) - min_;
    int filled = span > 0 ? static_cast<int>((static_cast<int64_t>(position_) - min_) * length / span) : 0;
    // Along the bar, from its start: [from, to) becomes a rectangle.
    auto part = [&](int from, int to) {
        return vertical ? TRect{client.Left, client.Bottom - to, client.Right, client.Bottom - from}
                        : TRect{client.Left + from, client.Top, client.Left + to, client.Bottom};
    };
    if (smooth_) {
        canvas.FillColor(part(0, filled), clHighlight);
        return;
    }
    // Blocks two thirds as long as the bar is thick; a block that is begun
    // shows whole, as far as the bar reaches.
    int thickness = vertical ? client.Width() : client.Height();
    int block = std::max(2, thickness * 2 / 3);
    for (int at = 0; at < filled; at += block + kGap) canvas.FillColor(part(at, std::min(at + block, length)), clHighlight);
}
