#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <set>
#include <utility>
#include <vector>

#include <string>

#include <gtest/gtest.h>

#include "bitmap/Pix32.h"
#include "bitmap/Pix32_System.h"

// Pictures made by the tests and ways of checking pixels.
namespace thorn::test {

// A bitmap of the given size and fill that counts its notifications. (Equal
// takes bitmaps of one class alike only: compare it with another of its kind.)
class CountingBitmap : public TBitmap32 {
public:
    explicit CountingBitmap(int32_t width = 0, int32_t height = 0, TColor32 fill = 0);
    int changes = 0;
    int resizes = 0;
};

// One expected pixel.
struct PixelAt {
    int32_t x, y;
    TColor32 colour;
};
// Checks every listed pixel, naming the place of each one that differs.
void ExpectPixels(const TBitmap32& bitmap, std::initializer_list<PixelAt> expected);

using Points = std::set<std::pair<int32_t, int32_t>>;
// The places of the pixels that are not 0.
Points NonZero(const TBitmap32& bitmap);

std::vector<TColor32> PixelsOf(const TBitmap32& bitmap);

// A distinct opaque colour for every place of a picture below 256 x 256,
// varying in more than one channel.
constexpr TColor32 Numbered(int32_t x, int32_t y) {
    return 0xFF000000u + static_cast<uint32_t>(y * 256 + x) * 0x0101u;
}
// Sizes the bitmap and gives every pixel its numbered colour.
void FillNumbered(TBitmap32& bitmap, int32_t width, int32_t height);
// Sizes the bitmap and fills it with random colours (alpha too) from the seed.
void FillRandom(TBitmap32& bitmap, int32_t width, int32_t height, uint32_t seed);
// A picture whose pixel (x, y) is colourAt(x, y).
std::unique_ptr<TBitmap32> DrawPicture(int32_t width, int32_t height,
                                       const std::function<TColor32(int32_t x, int32_t y)>& colourAt);

// (f*w + b*(256 - w) + 128) >> 8 for each of the four channels.
TColor32 ExpectedMix(TColor32 f, TColor32 b, uint32_t w);
// The opaque pixel that a colour of the controls paints.
TColor32 Shown(TColor color);

// Runs check() once for every instruction set the processor has, with the
// pixel loops kept to it, so each vector path meets the same checks.
template <typename Check>
void ForEachVectorSet(Check&& check) {
    for (VectorSet set : {VectorSet::Plain, VectorSet::Sse2, VectorSet::Sse41, VectorSet::Avx2}) {
        if (set > ProcessorVectorSet()) break;
        const VectorSet before = LimitVectorSet(set);
        SCOPED_TRACE("instruction set " + std::to_string(static_cast<int>(set)));
        check();
        LimitVectorSet(before);
    }
}

}  // namespace thorn::test
