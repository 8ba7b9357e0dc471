#include "platform/Text.h"

#include <algorithm>
#include <limits>

#include "platform/FontCache.h"
#include "platform/TextPaint.h"

namespace thorn {
namespace text {

std::vector<TextCell> CellsOf(std::string_view text) {
    std::vector<TextCell> cells;
    cells.reserve(text.size());
    for (char c : text) cells.push_back({static_cast<unsigned char>(c), false});
    return cells;
}

uint32_t PixelRgb(TColor color) {
    const uint32_t bgr = ColorToRGB(color);
    return ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
}

Painter::Painter(PixelView target, const TRect* clip)
    : view_(target), left_(0), top_(0), right_(std::max(0, target.width)), bottom_(std::max(0, target.height)) {
    if (!target.bits) right_ = bottom_ = 0;
    if (clip) Clip(*clip);
}

void Painter::Clip(const TRect& r) {
    left_ = std::max<int64_t>(left_, r.Left);
    top_ = std::max<int64_t>(top_, r.Top);
    right_ = std::min<int64_t>(right_, r.Right);
    bottom_ = std::min<int64_t>(bottom_, r.Bottom);
}

namespace {

// Moves each colour channel of the pixel towards rgb by coverage / 255.
inline void Blend(uint32_t& pixel, uint32_t rgb, uint32_t coverage) {
    const uint32_t keep = 255 - coverage;
    uint32_t out = pixel & 0xFF000000u;
    for (int shift = 0; shift <= 16; shift += 8) {
        const uint32_t d = (pixel >> shift) & 0xFF, s = (rgb >> shift) & 0xFF;
        out |= ((d * keep + s * coverage + 127) / 255) << shift;
    }
    pixel = out;
}

}  // namespace

void Painter::Fill(int64_t left, int64_t top, int64_t right, int64_t bottom, uint32_t rgb) {
    left = std::max(left, left_), top = std::max(top, top_);
    right = std::min(right, right_), bottom = std::min(bottom, bottom_);
    for (int64_t y = top; y < bottom; ++y) {
        uint32_t* row = view_.Row(static_cast<int32_t>(y));
        for (int64_t x = left; x < right; ++x) row[x] = (row[x] & 0xFF000000u) | rgb;
    }
}

void Painter::DrawGlyph(const Glyph& glyph, int64_t penX, int64_t baseline, uint32_t rgb) {
    const int64_t gx = penX + glyph.left, gy = baseline - glyph.top;
    const int64_t x0 = std::max(gx, left_), x1 = std::min(gx + glyph.width, right_);
    const int64_t y0 = std::max(gy, top_), y1 = std::min(gy + glyph.rows, bottom_);
    if (x0 >= x1) return;
    for (int64_t y = y0; y < y1; ++y) {
        uint32_t* row = view_.Row(static_cast<int32_t>(y));
        const uint8_t* cover = glyph.coverage.data() + (y - gy) * glyph.width;
        for (int64_t x = x0; x < x1; ++x)
            if (const uint8_t c = cover[x - gx]; c != 0) Blend(row[x], rgb, c);
    }
}

int64_t Advance(SizedFont& font, int64_t x, const TextCell& cell, int32_t tabWidth) {
    if (cell.ch == '\t' && tabWidth > 0) return (x / tabWidth + 1) * tabWidth;
    return x + font.GlyphOf(cell.ch).advance;
}

int32_t LineWidth(SizedFont& font, std::span<const TextCell> cells, int32_t tabWidth) {
    int64_t x = 0;
    for (const TextCell& cell : cells) x = Advance(font, x, cell, tabWidth);
    return static_cast<int32_t>(std::min<int64_t>(x, std::numeric_limits<int32_t>::max()));
}

void PaintLine(Painter& painter, SizedFont& sized, const TFont& font, int64_t x, int64_t y,
               std::span<const TextCell> cells, int32_t tabWidth) {
    const uint32_t rgb = PixelRgb(font.GetColor());
    const int64_t baseline = y + sized.Metrics().ascent;
    const Stroke under = sized.Underline();
    int64_t pen = x;
    for (const TextCell& cell : cells) {
        const int64_t start = pen;
        if (cell.ch != '\t' || tabWidth <= 0) painter.DrawGlyph(sized.GlyphOf(cell.ch), pen, baseline, rgb);
        pen = x + Advance(sized, pen - x, cell, tabWidth);
        if (cell.underline)
            painter.Fill(start, baseline + under.offset, pen, baseline + under.offset + under.thickness, rgb);
    }
    if (font.GetStyle() & fsUnderline)
        painter.Fill(x, baseline + under.offset, pen, baseline + under.offset + under.thickness, rgb);
    if (font.GetStyle() & fsStrikeOut) {
        const Stroke strike = sized.StrikeOut();
        painter.Fill(x, baseline + strike.offset, pen, baseline + strike.offset + strike.thickness, rgb);
    }
}

}  // namespace text

FontMetrics GetFontMetrics(const TFont& font) { return text::FontFor(font).Metrics(); }

TSize TextExtent(const TFont& font, std::string_view text) {
    auto& sized = text::FontFor(font);
    return {text::LineWidth(sized, text::CellsOf(text), 0), sized.Metrics().height};
}

void TextOut(PixelView target, int32_t x, int32_t y, const TFont& font, std::string_view text, const TRect* clip) {
    ExtTextOut(target, x, y, clip ? ETO_CLIPPED : 0, clip, font, text);
}

void ExtTextOut(PixelView target, int32_t x, int32_t y, uint32_t options, const TRect* rect, const TFont& font,
                std::string_view text, std::optional<TColor> background) {
    text::Painter painter(target, nullptr);
    if (rect && (options & ETO_OPAQUE) && background)
        painter.Fill(rect->Left, rect->Top, rect->Right, rect->Bottom, text::PixelRgb(*background));
    if (rect && (options & ETO_CLIPPED)) painter.Clip(*rect);
    auto& sized = text::FontFor(font);
    const auto cells = text::CellsOf(text);
    if (background) {
        const int64_t width = text::LineWidth(sized, cells, 0);
        painter.Fill(x, y, x + width, int64_t{y} + sized.Metrics().height, text::PixelRgb(*background));
    }
    text::PaintLine(painter, sized, font, x, y, cells, 0);
}

ResolvedFont ResolveFont(const TFont& font) {
    return text::ResolveFace(font.GetName(), font.GetStyle() & fsBold, font.GetStyle() & fsItalic);
}

}  // namespace thorn
