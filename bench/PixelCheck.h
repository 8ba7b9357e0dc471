#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "bitmap/Pix32.h"

// Pictures for the pixel benchmarks and the comparisons of what both sides
// of a case drew.
namespace thorn::bench {

// A picture of w x h pixels of random bytes; with opaque set, every alpha
// is 255.
void RandomPixels(TBitmap32& b, int32_t w, int32_t h, uint32_t seed, bool opaque = false);

// Colours scaled by their alpha, rounded: the form peers that composite
// premultiplied pixels take.
void Premultiply(const TBitmap32& from, TBitmap32& into);

// Which pixels a comparison looks at (all when empty).
using PixelFilter = std::function<bool(int32_t x, int32_t y)>;

// The largest difference of one channel between two pictures of one size,
// over red, green and blue, and alpha too when withAlpha is set. Throws
// Disagreement when the sizes differ.
int MaxChannelDifference(const TBitmap32& a, const TBitmap32& b, bool withAlpha, const PixelFilter& compared = {});

// "same pixels" when a and b are equal; otherwise throws Disagreement
// naming the first differing pixel and how many differ.
std::string SamePixels(const TBitmap32& a, const TBitmap32& b);

// "colours within N" when no red, green or blue channel differs by more than
// bound (the largest difference seen is N); otherwise throws Disagreement.
std::string ColoursWithin(const TBitmap32& a, const TBitmap32& b, int bound, const std::string& why,
                          const PixelFilter& compared = {});

}  // namespace thorn::bench
