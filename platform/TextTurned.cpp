// Text along a turned baseline: each glyph's outline is turned by FreeType
// and placed where the pen lands on the turned baseline, so the letters
// keep the spacing of the upright text.
#include <cmath>
#include <numbers>

#include "platform/FontCache.h"
#include "platform/Text.h"
#include "platform/TextPaint.h"

namespace thorn {
namespace {

// Screen positions of a turned line: a point u pixels along the baseline
// from its middle and h pixels above it.
struct TurnedLine {
    double x, y;    // the middle of the baseline
    double c, s;    // cosine and sine of the turn
    double width;   // of the upright line

    double X(double u, double h) const { return x + u * c - h * s; }
    double Y(double u, double h) const { return y - u * s - h * c; }

    // Fills the part of the band between heights low and high above the
    // baseline that lies under the text.
    void FillBand(text::Painter& painter, double low, double high, uint32_t rgb) const {
        const double half = width / 2;
        double left = INFINITY, top = INFINITY, right = -INFINITY, bottom = -INFINITY;
        for (double u : {-half, half})
            for (double h : {low, high}) {
                left = std::min(left, X(u, h)), right = std::max(right, X(u, h));
                top = std::min(top, Y(u, h)), bottom = std::max(bottom, Y(u, h));
            }
        painter.FillWhere(static_cast<int64_t>(std::floor(left)), static_cast<int64_t>(std::floor(top)),
                          static_cast<int64_t>(std::ceil(right)), static_cast<int64_t>(std::ceil(bottom)), rgb,
                          [&](double px, double py) {
                              const double dx = px - x, dy = py - y;
                              const double u = dx * c - dy * s, h = -dx * s - dy * c;
                              return u >= -half && u < half && h > low && h <= high;
                          });
    }
};

}  // namespace

void TurnedTextOut(PixelView target, int32_t x, int32_t y, const TFont& font, std::string_view text,
                   int32_t escapement, const TRect* clip, std::optional<TColor> background) {
    text::Painter painter(target, clip);
    auto& sized = text::FontFor(font);
    const auto cells = text::CellsOf(text);
    const double radians = escapement * std::numbers::pi / 1800.0;
    const TurnedLine line{static_cast<double>(x), static_cast<double>(y), std::cos(radians), std::sin(radians),
                          static_cast<double>(text::LineWidth(sized, cells, 0))};
    const FontMetrics& metrics = sized.Metrics();
    const uint32_t rgb = text::PixelRgb(font.GetColor());
    if (background) line.FillBand(painter, -metrics.descent, metrics.ascent, text::PixelRgb(*background));

    int64_t pen = 0;
    for (const text::TextCell& cell : cells) {
        const double u = static_cast<double>(pen) - line.width / 2;
        const double px = line.X(u, 0), py = line.Y(u, 0);
        const double cornerX = std::floor(px), cornerY = std::floor(py);
        const text::Glyph glyph = sized.TurnedGlyph(cell.ch, radians, px - cornerX, py - cornerY);
        painter.DrawGlyph(glyph, static_cast<int64_t>(cornerX), static_cast<int64_t>(cornerY), rgb);
        pen = text::Advance(sized, pen, cell, 0);
    }
    // The strokes fill the rows that upright text fills below (positive
    // offsets) or above the baseline.
    const auto stroke = [&](text::Stroke s) { line.FillBand(painter, -(s.offset + s.thickness), -s.offset, rgb); };
    if (font.GetStyle() & fsUnderline) stroke(sized.Underline());
    if (font.GetStyle() & fsStrikeOut) stroke(sized.StrikeOut());
}

}  // namespace thorn
