// Sub-pixel anti-aliased lines: worked splat positions and weights, clipping
// with the last point, and the stipple carried across clipped pieces.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <initializer_list>
#include <vector>

#include "bitmap/Pix32.h"
#include "bitmap/Pix32_Blend.h"
#include "support/Pixels.h"

namespace {

using thorn::test::CountingBitmap;

using thorn::test::PixelsOf;

constexpr TColor32 kWhite = 0xFFFFFFFFu, kBlack = 0xFF000000u;

// A black w x h bitmap with splats at the given places (in 1/256 pixel),
// the last one with the alpha given: what a sub-pixel line should draw.
std::vector<TColor32> Splats(int32_t w, int32_t h, std::initializer_list<std::array<int32_t, 2>> whole,
                             std::array<int32_t, 2> last, uint32_t lastAlpha) {
    CountingBitmap b(w, h, kBlack);
    for (auto [x, y] : whole) b.SET_T256(x, y, kWhite);
    b.SET_T256(last[0], last[1], lastAlpha << 24 | 0xFFFFFF);
    return PixelsOf(b);
}

TEST(SubPixelLines, WholePixelStepsWithoutTheLastPoint) {
    CountingBitmap b(6, 3, kBlack);
    b.LineX(Fixed(1), Fixed(1), Fixed(4), Fixed(1), kWhite, false);
    // Three splats on whole pixels (weight 255*255*255 >> 16 = 253); the
    // last partial one has no length and so no alpha.
    std::vector<TColor32> expected(18, kBlack);
    for (int x = 1; x <= 3; ++x) expected[6 + x] = CombineReg(kWhite, kBlack, 253);
    EXPECT_EQ(PixelsOf(b), expected);
}

TEST(SubPixelLines, WithTheLastPointTheStepsShrink) {
    CountingBitmap b(6, 3, kBlack);
    b.LineX(Fixed(1), Fixed(1), Fixed(4), Fixed(1), kWhite, true);
    // Length 3 + 1 pixels: four splats 49152/65536 of a pixel apart, from
    // (65536 + 127) >> 8 = 256.
    EXPECT_EQ(PixelsOf(b), Splats(6, 3, {{256, 256}, {448, 256}, {640, 256}, {832, 256}}, {0, 0}, 0));
}

// From (1 + 1/512, 1) to (6.5 + 1/512, 1.25): the length is 360820/65536,
// so five whole steps of (65468, 2976)/65536 from the start rounded to
// 1/256 ((v + 127) >> 8), then a last splat of alpha 255 * 33140 >> 16 = 128
// for the rest of the length, halfway between the last whole step and the
// end.
TEST(SubPixelLines, WorkedSplatsOfASlopedLine) {
    CountingBitmap b(8, 3, kBlack);
    b.LineX(Fixed(1) + 128, Fixed(1), Fixed(1) + 128 + 360448, Fixed(1) + 16384, kWhite, false);
    EXPECT_EQ(PixelsOf(b),
              Splats(8, 3, {{256, 256}, {512, 268}, {768, 279}, {1024, 291}, {1279, 302}}, {1472, 311}, 128));
}

TEST(SubPixelLines, ClippedLineInsideHonoursTheLastPoint) {
    TBitmap32 a, b;
    a.SetSize(12, 12);
    b.SetSize(12, 12);
    a.LineXS(Fixed(3), Fixed(3), Fixed(8), Fixed(6), 0xFFFFFFFFu, true);
    b.LineX(Fixed(3), Fixed(3), Fixed(8), Fixed(6), 0xFFFFFFFFu, true);
    EXPECT_TRUE(a.Equal(&b));
    a.Clear(0);
    b.Clear(0);
    a.LineFS(3, 3, 8, 6, 0xFFFFFFFFu, false);
    b.LineF(3, 3, 8, 6, 0xFFFFFFFFu, false);
    EXPECT_TRUE(a.Equal(&b));
}

TEST(SubPixelLines, StippleCarriesAcrossClippedPieces) {
    CountingBitmap b(5, 3);
    b.SetStipple(TArrayOfColor32{0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFFFFu});
    // Wholly outside: the counter moves by the line's length.
    b.LineXSP(Fixed(-10), Fixed(-10), Fixed(-5), Fixed(-10), false);
    EXPECT_FLOAT_EQ(b.StippleCounter(), 1.0f);  // 5 in a pattern of 4
    b.SetStippleCounter(0);
    // From x = -3 to 6 in a box from -1 to 5: 2 pixels cut at the start,
    // then 6 + 1 pixels drawn in 7 steps and the partial one, and the end
    // piece of 1 pixel less the last point: 2 + 8 + 0 = 10.
    b.LineXSP(Fixed(-3), Fixed(1), Fixed(6), Fixed(1), false);
    EXPECT_FLOAT_EQ(std::fmod(b.StippleCounter(), 4.0f), 2.0f);
    EXPECT_NE(b.GetPixel(2, 1), 0u);
    b.SetStippleCounter(0);
    b.LineXP(Fixed(1), Fixed(1), Fixed(3), Fixed(1), false);  // 2 steps and the partial one
    EXPECT_FLOAT_EQ(b.StippleCounter(), 3.0f);
    b.MoveToF(0, 0);
    b.LineToFSP(4, 2);
    b.LineFSP(-1, -1, 9, 9, true);
    b.LineFP(1, 1, 2, 2, true);
}

}  // namespace
