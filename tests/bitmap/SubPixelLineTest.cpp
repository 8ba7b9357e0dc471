// Sub-pixel anti-aliased lines: splat positions and weights worked out
// plainly, clipping with the last point, and the stipple carried across
// clipped pieces.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "bitmap/Pix32.h"
#include "bitmap/Pix32_Blend.h"

namespace {

// One splat at (x/256, y/256) on a plain pixel array: four weights from
// the gamma table, applied in the order top-left, top-right, bottom-right,
// bottom-left.
void PlainSplat(std::vector<TColor32>& px, int width, int x, int y, TColor32 colour) {
    int fx = x & 255, fy = y & 255, cxp = x >> 8, cyp = y >> 8;
    uint32_t a = colour >> 24;
    uint32_t cx = a * GAMMA_TABLE[fx ^ 255], cy = GAMMA_TABLE[fy ^ 255], nx = a * GAMMA_TABLE[fx], ny = GAMMA_TABLE[fy];
    auto put = [&](int px_, int py_, uint32_t w) {
        TColor32& p = px[static_cast<size_t>(py_ * width + px_)];
        if (w == 0) return;
        p = w >= 255 ? colour : CombineReg(colour, p, w);
    };
    put(cxp, cyp, cx * cy >> 16);
    put(cxp + 1, cyp, nx * cy >> 16);
    put(cxp + 1, cyp + 1, nx * ny >> 16);
    put(cxp, cyp + 1, cx * ny >> 16);
}

std::vector<TColor32> Pixels(const TBitmap32& b) { return {b.Bits(), b.Bits() + b.Width() * b.Height()}; }

TEST(SubPixelLines, WholePixelStepsWithoutTheLastPoint) {
    TBitmap32 b;
    b.SetSize(6, 3);
    b.Clear(0xFF000000u);
    b.LineX(Fixed(1), Fixed(1), Fixed(4), Fixed(1), 0xFFFFFFFFu, false);
    // Three splats on whole pixels (weight 255*255*255 >> 16 = 253); the
    // last partial one has no length and so no alpha.
    std::vector<TColor32> expected(18, 0xFF000000u);
    for (int x = 1; x <= 3; ++x) expected[6 + x] = CombineReg(0xFFFFFFFFu, 0xFF000000u, 253);
    EXPECT_EQ(Pixels(b), expected);
}

TEST(SubPixelLines, WithTheLastPointTheStepsShrink) {
    TBitmap32 b;
    b.SetSize(6, 3);
    b.Clear(0xFF000000u);
    b.LineX(Fixed(1), Fixed(1), Fixed(4), Fixed(1), 0xFFFFFFFFu, true);
    // Length 3 + 1 pixels: four splats 49152/65536 of a pixel apart, from
    // (65536 + 127) >> 8 = 256.
    std::vector<TColor32> expected(18, 0xFF000000u);
    for (int k = 0; k < 4; ++k) PlainSplat(expected, 6, (65536 + 127 + k * 49152) >> 8, (65536 + 127) >> 8, 0xFFFFFFFFu);
    EXPECT_EQ(Pixels(b), expected);
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
    TBitmap32 b;
    b.SetSize(5, 3);
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
