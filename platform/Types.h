#pragma once

#include <cstdint>

// The platform's integer geometry. Rectangles are half-open: Right and Bottom
// are one past the last column and row.
struct TPoint {
    int32_t X = 0;
    int32_t Y = 0;
    bool operator==(const TPoint&) const = default;
};

struct TSize {
    int32_t cx = 0;
    int32_t cy = 0;
    bool operator==(const TSize&) const = default;
};

struct TRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
    bool operator==(const TRect&) const = default;

    int32_t Width() const { return Right - Left; }
    int32_t Height() const { return Bottom - Top; }
};

namespace thorn {

// A run of 32-bit pixels, row 0 at the top, Width pixels per row, in the
// memory order blue, green, red, alpha: what the platform's text and picture
// code reads and writes.
struct PixelView {
    uint32_t* bits = nullptr;
    int32_t width = 0;
    int32_t height = 0;

    uint32_t* Row(int32_t y) const { return bits + static_cast<int64_t>(y) * width; }
};

}  // namespace thorn
