#pragma once

#include <cstdint>

// Clips the segment (x1, y1)-(x2, y2) to the inclusive box minX..maxX,
// minY..maxY. Answers whether any part of it lies in the box; when it does,
// the end points have been moved onto the box (rounding to the nearest
// pixel, halves away from zero).
bool ClipLine(int32_t& x1, int32_t& y1, int32_t& x2, int32_t& y2, int32_t minX, int32_t minY, int32_t maxX,
              int32_t maxY);
