#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/FontCache.h"
#include "platform/Text.h"

// Drawing glyphs and lines of text into a pixel store, shared by the plain
// and the formatted text calls.
namespace thorn::text {

// One character of a line, and whether a '&' prefix underlined it.
struct TextCell {
    unsigned char ch = 0;
    bool underline = false;
};

std::vector<TextCell> CellsOf(std::string_view text);

// A GUI colour as the red, green and blue of a pixel (0x00RRGGBB).
uint32_t PixelRgb(TColor color);

// Writes into a pixel store inside a clip rectangle (always within the
// store), changing red, green and blue and never the alpha byte.
class Painter {
public:
    Painter(PixelView target, const TRect* clip);
    // Narrows the clip to r as well.
    void Clip(const TRect& r);
    void Fill(int64_t left, int64_t top, int64_t right, int64_t bottom, uint32_t rgb);
    // Fills the pixels of the rectangle whose centres lie inside the shape:
    // inside(x + 0.5, y + 0.5) is true.
    template <typename Inside>
    void FillWhere(int64_t left, int64_t top, int64_t right, int64_t bottom, uint32_t rgb, Inside inside) {
        left = std::max(left, left_), top = std::max(top, top_);
        right = std::min(right, right_), bottom = std::min(bottom, bottom_);
        for (int64_t y = top; y < bottom; ++y) {
            uint32_t* row = view_.Row(static_cast<int32_t>(y));
            for (int64_t x = left; x < right; ++x)
                if (inside(x + 0.5, y + 0.5)) row[x] = (row[x] & 0xFF000000u) | rgb;
        }
    }
    void DrawGlyph(const Glyph& glyph, int64_t penX, int64_t baseline, uint32_t rgb);

private:
    PixelView view_;
    int64_t left_, top_, right_, bottom_;
};

// Tabs advance to the next multiple of tabWidth from the line's start when
// tabWidth > 0; otherwise a tab is an ordinary character.

// The pen position after cell, for a pen at x from the line's start.
int64_t Advance(SizedFont& font, int64_t x, const TextCell& cell, int32_t tabWidth);
// The pen position after the whole line.
int32_t LineWidth(SizedFont& font, std::span<const TextCell> cells, int32_t tabWidth);

// Draws a line whose text cell has its top-left corner at (x, y), with the
// font's underline and strike-out and the cells' own underlines.
void PaintLine(Painter& painter, SizedFont& sized, const TFont& font, int64_t x, int64_t y,
               std::span<const TextCell> cells, int32_t tabWidth);

}  // namespace thorn::text
