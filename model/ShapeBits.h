#pragma once

#include <cstdint>
#include <vector>

#include "bitmap/Pix32.h"

namespace thorn {

// The pixels a shape covers in its w x h box, one bit a pixel.
class ShapeBits {
public:
    ShapeBits(int32_t width, int32_t height);

    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    // Row y from one byte a pixel, 0 or 1, for the whole width.
    void SetRow(int32_t y, const uint8_t* set);
    // Columns [from, to) of row y as one byte a pixel, 0 or 1.
    void GetRow(int32_t y, int32_t from, int32_t to, uint8_t* on) const;
    // Whether every pixel of this shape is one of other's too (a box of
    // another size never is).
    bool Within(const ShapeBits& other) const;
    // Whether this shape and other, its box's corner at `at` of this one's,
    // share a pixel inside `within` (this one's coordinates).
    bool Meets(const ShapeBits& other, TPoint at, const TRect& within) const;

private:
    // The 64 pixels of row y from column x on, x's in the lowest bit; those
    // outside the box read 0.
    uint64_t Bits64(int32_t y, int32_t x) const;

    int32_t width_, height_;
    size_t words_;  // a row
    std::vector<uint64_t> bits_;
};

// The pixels of the bitmap that are not 0.
ShapeBits ShapeOf(const TBitmap32& bitmap);

}  // namespace thorn
