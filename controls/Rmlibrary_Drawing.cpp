#include "controls/Rmlibrary_Drawing.h"

#include <cmath>
#include <numbers>
#include <vector>

#include "bitmap/Pix32.h"
#include "controls/Rmlibrary_Numbers.h"

namespace {

constexpr int32_t kLinearSteps = 255;
constexpr int32_t kRadialSteps = 360;
constexpr int32_t kRoundCorner = 30;
// Each wedge reaches this far past its neighbour, so no gap shows between them.
constexpr double kWedgeOverlap = 0.027;
constexpr TColor32 kOutsideGrey = 0xFFC0C0C0;

// The colour step/steps of the way from start to end (start for steps 0).
TColor Between(TColor start, TColor end, int32_t step, int32_t steps) {
    const uint32_t from = ColorToRGB(start), to = ColorToRGB(end);
    TColor result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const auto a = static_cast<int32_t>((from >> shift) & 0xFF), b = static_cast<int32_t>((to >> shift) & 0xFF);
        const int32_t value = steps > 0 ? a + MulDiv(step, b - a, steps) : a;
        result |= static_cast<TColor>((value & 0xFF) << shift);
    }
    return result;
}

// Draws with pen and brush of one colour, then gives the canvas its own back.
class SolidColor {
public:
    explicit SolidColor(TCanvas& canvas) : canvas_(canvas) {
        pen_.Assign(canvas.Pen());
        brush_.Assign(canvas.Brush());
    }
    ~SolidColor() {
        canvas_.Pen().Assign(pen_);
        canvas_.Brush().Assign(brush_);
    }
    SolidColor(const SolidColor&) = delete;
    SolidColor& operator=(const SolidColor&) = delete;

    void Use(TColor color) {
        canvas_.Pen().SetColor(color);
        canvas_.Pen().SetWidth(1);
        canvas_.Pen().SetStyle(psSolid);
        canvas_.Pen().SetMode(pmCopy);
        canvas_.Brush().SetColor(color);
        canvas_.Brush().SetStyle(bsSolid);
    }

private:
    TCanvas& canvas_;
    TPen pen_;
    TBrush brush_;
};

void Shrinking(TCanvas& canvas, TColor start, TColor end, TRect r, TGradientFill style) {
    const int32_t steps = std::min(r.Height() / 2, r.Width() / 2);
    SolidColor solid(canvas);
    for (int32_t i = 0; i < steps; ++i) {
        solid.Use(Between(start, end, i, steps - 1));
        if (style == gfRectangle)
            canvas.Rectangle(r);
        else if (style == gfRoundRect)
            canvas.RoundRect(r.Left, r.Top, r.Right, r.Bottom, kRoundCorner, kRoundCorner);
        else
            canvas.Ellipse(r.Left, r.Top, r.Right, r.Bottom);
        r = {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
    }
}

void Radial(TCanvas& canvas, TColor start, TColor end, const TRect& r) {
    const int32_t halfWidth = r.Width() / 2, halfHeight = r.Height() / 2;
    const auto pointAt = [&](double angle) {
        return TPoint{r.Left + static_cast<int32_t>(std::nearbyint((1 - std::cos(angle)) * halfWidth)),
                      r.Top + static_cast<int32_t>(std::nearbyint((1 - std::sin(angle)) * halfHeight))};
    };
    SolidColor solid(canvas);
    TPoint previous = pointAt(0);
    for (int32_t i = 0; i < kRadialSteps; ++i) {
        solid.Use(i < kRadialSteps / 2 - 1 ? Between(start, end, i, kRadialSteps / 2 - 1)
                                           : Between(start, end, kRadialSteps - 1 - i, kRadialSteps / 2));
        const double angle = (i + 1) * 2 * std::numbers::pi / kRadialSteps;
        const TPoint from = pointAt(angle + kWedgeOverlap);
        // Ends that round to one point make a wedge thinner than a pixel,
        // which the pie would take for the whole ellipse.
        if (from != previous) canvas.Pie(r.Left, r.Top, r.Right, r.Bottom, from.X, from.Y, previous.X, previous.Y);
        previous = pointAt(angle);
    }
}

}  // namespace

void GradientFillColors(TCanvas& canvas, const TColorsArray& colors, const TRect& rect) {
    const auto n = static_cast<int32_t>(colors.size());
    for (int32_t i = 0; i < n; ++i)
        canvas.FillColor({rect.Left + MulDiv(i, rect.Width(), n), rect.Top, rect.Left + MulDiv(i + 1, rect.Width(), n),
                          rect.Bottom},
                         colors[static_cast<size_t>(i)]);
}

void GradientFill(TCanvas& canvas, TColor start, TColor end, const TRect& rect, TGradientFill style) {
    switch (style) {
        case gfLinear: {
            TColorsArray colors;
            for (int32_t i = 0; i < kLinearSteps; ++i) colors.push_back(Between(start, end, i, kLinearSteps - 1));
            GradientFillColors(canvas, colors, rect);
            break;
        }
        case gfRectangle:
        case gfRoundRect:
        case gfOval: Shrinking(canvas, start, end, rect, style); break;
        case gfRadial: Radial(canvas, start, end, rect); break;
    }
}

void RotateImage(TBitmap32& dest, const TBitmap32& source, double angle) {
    const int32_t width = source.Width(), height = source.Height();
    // Read from a copy: dest may be source itself.
    const std::vector<TColor32> pixels(source.Bits(), source.Bits() + static_cast<size_t>(width) * height);
    dest.SetSize(width, height);
    const int32_t cx = width / 2, cy = height / 2;
    const double theta = std::numbers::pi * angle / 180, c = std::cos(theta), s = std::sin(theta);
    // Twice the offsets from the middle, to pixel centres, keep the sums whole.
    for (int32_t y = 0; y < height; ++y) {
        TColor32* row = dest.ScanLine(y);
        const double Y = 2.0 * (y - cy) + 1;
        for (int32_t x = 0; x < width; ++x) {
            const double X = 2.0 * (x - cx) + 1;
            const int64_t sx = (static_cast<int64_t>(std::nearbyint(X * c - Y * s)) - 1) / 2 + cx;
            const int64_t sy = (static_cast<int64_t>(std::nearbyint(X * s + Y * c)) - 1) / 2 + cy;
            row[x] = sx >= 0 && sx < width && sy >= 0 && sy < height ? pixels[static_cast<size_t>(sy * width + sx)]
                                                                     : kOutsideGrey;
        }
    }
    dest.Changed();
}

void RotateText(TCanvas& canvas, std::string_view text, const TRect& rect, int32_t angle) {
    const TSize extent = canvas.TextExtent(text);
    const int32_t d = RectDiameter({0, 0, extent.cx, extent.cy});
    // Every face here is an outline font, which turns as a whole.
    canvas.TurnedTextOut(rect.Left + d / 2, rect.Top + d / 2, text, angle * 10);
}
