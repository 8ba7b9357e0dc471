// Pixels, runs, lines, rectangles and the stipple, with the pixels worked
// out by hand or by a plain recomputation here.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "bitmap/Pix32.h"
#include "bitmap/Pix32_Blend.h"
#include "bitmap/Pix32_DrawingEx.h"
#include "support/Pixels.h"

namespace {

using thorn::test::CountingBitmap;

using thorn::test::ExpectPixels;
using thorn::test::NonZero;
using thorn::test::Points;

constexpr TColor32 C = 0xFF102030u, kWhite = 0xFFFFFFFFu, kBlack = 0xFF000000u;

TEST(Pixels, CheckedAndBorderReads) {
    CountingBitmap b(3, 3);
    b.SetOuterColor(0x55u);
    b.SetPixel(2, 2, 7);
    EXPECT_EQ(b.GetPixelS(-1, 0), 0x55u);
    EXPECT_EQ(b.GetPixelS(0, 3), 0x55u);
    EXPECT_EQ(b.GetPixelS(2, 2), 7u);
    b.SetPixelS(3, 0, C);
    b.SetPixelS(0, -1, C);
    EXPECT_TRUE(NonZero(b) == (Points{{2, 2}}));
    EXPECT_EQ(b.GetPixelB(10, 10), 7u);
    EXPECT_EQ(b.GetPixelB(-4, 2), 0u);
    TBitmap32 empty;
    empty.SetOuterColor(9);
    EXPECT_EQ(empty.GetPixelS(0, 0), 9u);
    empty.SetPixelS(0, 0, 1);
    empty.SetPixelTS(0, 0, 1);
}

TEST(Pixels, BlendedWrites) {
    CountingBitmap b(2, 1, 0xFF000000u);
    b.SetPixelT(0, 0, 0x80FFFFFFu);
    EXPECT_EQ(b.GetPixel(0, 0), CombineReg(0x80FFFFFFu, 0xFF000000u, 0x80));
    TColor32* p = b.Bits();
    b.SetPixelT(p, 0xFF00FF00u);
    EXPECT_EQ(p, b.Bits() + 1);
    EXPECT_EQ(b.GetPixel(0, 0), 0xFF00FF00u);
    b.SetPixelTS(5, 0, 0xFFFFFFFFu);
    EXPECT_EQ(b.GetPixel(1, 0), 0xFF000000u);
}

TEST(Pixels, SubPixelSplatSharesTheAlphaOverFourPixels) {
    CountingBitmap b(4, 4, 0xFF000000u);
    // At (1.25, 2.5): weights from the gamma table.
    b.SET_T256(256 + 64, 512 + 128, 0xFFFFFFFFu);
    auto weight = [](int fx, int fy) { return 255u * GAMMA_TABLE[fx] * GAMMA_TABLE[fy] >> 16; };
    auto expected = [](uint32_t w) {
        TColor32 bg = 0xFF000000u;
        CombineMem(0xFFFFFFFFu, bg, w);
        return bg;
    };
    EXPECT_EQ(b.GetPixel(1, 2), expected(weight(64 ^ 255, 128 ^ 255)));
    EXPECT_EQ(b.GetPixel(2, 2), expected(weight(64, 128 ^ 255)));
    EXPECT_EQ(b.GetPixel(2, 3), expected(weight(64, 128)));
    EXPECT_EQ(b.GetPixel(1, 3), expected(weight(64 ^ 255, 128)));
    // A whole-pixel splat puts all of it on one pixel (weight 253).
    CountingBitmap c(2, 2);
    c.SetPixelX(Fixed(0), Fixed(0), 0xFFFFFFFFu);
    EXPECT_EQ(c.GetPixel(0, 0), CombineReg(0xFFFFFFFFu, 0, 253));  // over transparent black
    // The checked splat keeps to the bitmap at every edge.
    CountingBitmap d(2, 2);
    for (int32_t x : {-300, -200, -1, 0, 200, 300, 511, 600})
        for (int32_t y : {-300, -200, -1, 0, 200, 300, 511, 600}) d.SET_TS256(x, y, 0xFFFFFFFFu);
    d.SetPixelFS(-0.5f, 1.7f, 0xFFFFFFFFu);
    d.SetPixelXS(Fixed(5), Fixed(-5), 0xFFFFFFFFu);
    EXPECT_NE(d.GetPixel(0, 0), 0u);
}

TEST(Runs, HorizontalAndVerticalClipping) {
    CountingBitmap b(10, 3);
    b.HorzLineS(5, 0, -3, C);
    Points expected;
    for (int x = 0; x <= 5; ++x) expected.insert({x, 0});
    EXPECT_EQ(NonZero(b), expected);
    b.HorzLineS(0, 3, 9, C);
    b.HorzLineS(10, 1, 20, C);
    b.VertLineS(-1, 0, 2, C);
    EXPECT_EQ(NonZero(b), expected);
    b.VertLineS(9, 5, -5, C);
    for (int y = 0; y < 3; ++y) expected.insert({9, y});
    EXPECT_EQ(NonZero(b), expected);
    b.HorzLine(3, 2, 2, C);  // nothing when X2 < X1
    EXPECT_EQ(NonZero(b), expected);
}

// A line and the pixels it sets. Along the major axis the error term,
// starting at half the major length, steps sideways only once it passes the
// major length, so a tie stays on the row (or column) it is on.
struct Walk {
    const char* what;
    int32_t x1, y1, x2, y2;
    bool last;
    Points pixels;
};

const Walk kWalks[] = {
    {"a row without its end", 0, 0, 3, 0, false, {{0, 0}, {1, 0}, {2, 0}}},
    {"a row with its end", 0, 0, 3, 0, true, {{0, 0}, {1, 0}, {2, 0}, {3, 0}}},
    {"a row backwards", 3, 1, 0, 1, false, {{3, 1}, {2, 1}, {1, 1}}},
    {"a column upwards", 5, 5, 5, 2, true, {{5, 5}, {5, 4}, {5, 3}, {5, 2}}},
    {"a point", 2, 2, 2, 2, false, {}},
    {"shallow", 0, 0, 4, 1, false, {{0, 0}, {1, 0}, {2, 0}, {3, 1}}},
    {"shallow tie", 0, 0, 2, 1, true, {{0, 0}, {1, 0}, {2, 1}}},
    {"shallow with a late tie", 0, 0, 7, 3, false, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}, {5, 2}, {6, 2}}},
    {"shallow backwards", 7, 3, 0, 0, false, {{7, 3}, {6, 3}, {5, 2}, {4, 2}, {3, 1}, {2, 1}, {1, 1}}},
    {"steep tie", 0, 0, 1, 2, true, {{0, 0}, {0, 1}, {1, 2}}},
    {"steep of odd length", 0, 0, 1, 3, true, {{0, 0}, {0, 1}, {0, 2}, {1, 3}}},
    {"steep upwards with a tie", 0, 5, 2, 0, true, {{0, 5}, {0, 4}, {1, 3}, {1, 2}, {1, 1}, {2, 0}}},
    {"steep upwards", 1, 9, 4, 0, true,
     {{1, 9}, {1, 8}, {2, 7}, {2, 6}, {2, 5}, {3, 4}, {3, 3}, {3, 2}, {4, 1}, {4, 0}}},
    {"steep backwards", 9, 9, 0, 2, false, {{9, 9}, {8, 8}, {7, 8}, {6, 7}, {5, 6}, {4, 5}, {3, 4}, {2, 4}, {1, 3}}},
    {"diagonal", 0, 0, 4, 4, true, {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}}},
    {"diagonal upwards", 2, 8, 9, 1, false, {{2, 8}, {3, 7}, {4, 6}, {5, 5}, {6, 4}, {7, 3}, {8, 2}}},
};
TEST(Lines, WorkedWalksSetTheirPixels) {
    for (const Walk& w : kWalks) {
        SCOPED_TRACE(w.what);
        TBitmap32 plain, blended;
        plain.SetSize(10, 10);
        blended.SetSize(10, 10);
        blended.Clear(kBlack);
        plain.Line(w.x1, w.y1, w.x2, w.y2, C, w.last);
        EXPECT_EQ(NonZero(plain), w.pixels);
        blended.LineT(w.x1, w.y1, w.x2, w.y2, 0x80FFFFFFu, w.last);
        for (int32_t y = 0; y < 10; ++y)
            for (int32_t x = 0; x < 10; ++x)
                EXPECT_EQ(blended.GetPixel(x, y),
                          w.pixels.count({x, y}) ? CombineReg(0x80FFFFFFu, kBlack, 0x80) : kBlack) << x << "," << y;
    }
}

TEST(Lines, ALineNotifiesOnceEvenWhenItSetsNothing) {
    thorn::test::CountingBitmap b(6, 6);
    b.Line(2, 2, 2, 2, C, false);
    b.Line(0, 0, 4, 1, C, false);
    EXPECT_EQ(b.changes, 2);
}

TEST(Lines, ClippedLines) {
    CountingBitmap b(10, 10);
    b.LineS(-10, 5, 20, 5, C, false);
    Points row;
    for (int x = 0; x <= 8; ++x) row.insert({x, 5});
    EXPECT_EQ(NonZero(b), row);
    b.LineS(-10, 5, 20, 5, C, true);
    row.insert({9, 5});
    EXPECT_EQ(NonZero(b), row);
    int changes = 0;
    b.OnChange = [&](TObject*) { ++changes; };
    b.LineS(-5, 3, 3, -5, C, true);  // passes outside the corner
    b.LineS(-5, -5, -1, 20, C, true);
    b.LineTS(20, 0, 30, 9, C, true);
    EXPECT_EQ(changes, 0);
    b.LineS(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, C, true);  // huge coordinates are clipped too
    EXPECT_EQ(b.GetPixel(0, 0), C);
    EXPECT_EQ(b.GetPixel(9, 9), C);
}

TEST(Lines, ClipLineMovesEndsOntoTheBox) {
    int32_t x1 = 2, y1 = 3, x2 = 5, y2 = 6;
    EXPECT_TRUE(ClipLine(x1, y1, x2, y2, 0, 0, 9, 9));
    EXPECT_EQ((std::array{x1, y1, x2, y2}), (std::array{2, 3, 5, 6}));
    x1 = -5, y1 = 3, x2 = 3, y2 = -5;
    EXPECT_FALSE(ClipLine(x1, y1, x2, y2, 0, 0, 9, 9));
    // From (-10, 0) to (10, 20): it reaches x = 0 at y = 10, below the box.
    x1 = -10, y1 = 0, x2 = 10, y2 = 20;
    EXPECT_FALSE(ClipLine(x1, y1, x2, y2, 0, 0, 9, 9));
    x1 = -4, y1 = 2, x2 = 14, y2 = 8;  // slope 1/3
    EXPECT_TRUE(ClipLine(x1, y1, x2, y2, 0, 0, 9, 9));
    // 2 + MulDiv(4, 6, 18) = 3; then from the moved start, 8 + MulDiv(-5, 5, 14) = 6.
    EXPECT_EQ((std::array{x1, y1, x2, y2}), (std::array{0, 3, 9, 6}));
}

// Wu's walk: along the major axis a 16-bit accumulator gains
// (minor << 16) / major a step, stepping sideways when it wraps; its top
// byte w shares the colour between the pixel (gamma of 255 - w) and its
// neighbour on the minor side (gamma of w), blended with that master alpha.
TColor32 WuPixel(uint8_t w) {
    TColor32 p = kBlack;
    BlendMemEx(kWhite, p, GAMMA_TABLE[w]);
    return p;
}

TEST(Lines, AntiAliasedWorkedWalks) {
    // Shallow, four steps of a quarter pixel: w = 64, 128, 192, then a wrap
    // to row 1.
    CountingBitmap b(6, 5, kBlack);
    b.LineA(0, 0, 4, 1, kWhite, true);
    ExpectPixels(b, {{0, 0, kWhite}, {1, 0, WuPixel(191)}, {1, 1, WuPixel(64)}, {3, 0, WuPixel(63)},
                     {3, 1, WuPixel(192)}, {4, 1, WuPixel(255)}, {4, 2, WuPixel(0)}, {0, 1, kBlack}, {5, 1, kBlack}});
    // Backwards along x: the neighbour is still the next row down.
    b.Clear(kBlack);
    b.LineA(2, 0, 0, 1, kWhite, true);
    ExpectPixels(b, {{2, 0, kWhite}, {1, 0, WuPixel(127)}, {1, 1, WuPixel(128)}, {0, 1, WuPixel(255)}});
    // Steep: the neighbour is the next column; without the last point the
    // walk stops a step short.
    b.Clear(kBlack);
    b.LineA(0, 0, 1, 4, kWhite, false);
    ExpectPixels(b, {{0, 0, kWhite}, {0, 1, WuPixel(191)}, {1, 1, WuPixel(64)}, {0, 3, WuPixel(63)},
                     {1, 3, WuPixel(192)}, {1, 4, kBlack}});
    b.Clear(kBlack);
    b.LineA(1, 2, 0, 0, kWhite, true);
    ExpectPixels(b, {{1, 2, kWhite}, {1, 1, WuPixel(127)}, {0, 1, WuPixel(128)}, {0, 0, WuPixel(255)}});
    // Rows and columns are blended lines.
    b.Clear(kBlack);
    b.LineA(0, 3, 3, 3, 0x80FFFFFFu, false);
    EXPECT_EQ(b.GetPixel(2, 3), CombineReg(0x80FFFFFFu, kBlack, 0x80));
    EXPECT_EQ(b.GetPixel(3, 3), kBlack);
}

TEST(Lines, ClippedAntiAliasedLineStaysInsideTheBitmap) {
    // A 6x6 picture inside a larger store would show stray writes; here the
    // bitmap is sized so its last row is the store's end: ASan and the
    // pixel count both catch a write past it.
    CountingBitmap b(6, 6);
    b.LineAS(-3, -1, 12, 6, 0xFFFFFFFFu, true);
    b.LineAS(0, 0, 5, 5, 0xFFFFFFFFu, true);
    b.LineAS(5, 0, 3, 5, 0xFFFFFFFFu, true);
    b.LineAS(0, 5, 5, 4, 0xFFFFFFFFu, true);
    b.LineA(0, 5, 5, 3, 0xFFFFFFFFu, true);
    b.LineA(5, 5, 4, 0, 0xFFFFFFFFu, true);
    EXPECT_FALSE(NonZero(b).empty());
    b.MoveTo(-10, -10);
    b.LineToAS(20, 20);
    EXPECT_NE(b.GetPixel(3, 3), 0u);
}

TEST(Lines, SubPixelLinesDrawAndKeepToTheBitmap) {
    CountingBitmap b(20, 20, 0xFF000000u);
    b.LineX(Fixed(2), Fixed(2), Fixed(17), Fixed(11), 0xFFFFFFFFu, true);
    EXPECT_NE(b.GetPixel(2, 2), 0xFF000000u);
    EXPECT_NE(b.GetPixel(12, 8), 0xFF000000u);  // on the line
    EXPECT_EQ(b.GetPixel(2, 15), 0xFF000000u);
    CountingBitmap c(5, 5);
    c.LineFS(-10.5f, 2.3f, 30.2f, 2.7f, 0xFFFFFFFFu, true);
    c.LineXS(Fixed(4), Fixed(4), Fixed(9), Fixed(9), 0xFFFFFFFFu, true);
    c.LineXS(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, 0xFFFFFFFFu, true);
    c.MoveToF(-1, -1);
    c.LineToFS(6, 2);
    EXPECT_NE(c.GetPixel(2, 2), 0u);
    // Shorter than 1/256 of a pixel: nothing is drawn.
    CountingBitmap d(3, 3);
    d.LineX(Fixed(1), Fixed(1), Fixed(1) + 100, Fixed(1), 0xFFFFFFFFu, false);
    EXPECT_TRUE(NonZero(d).empty());
}

TEST(Stipple, ColoursStepThroughThePattern) {
    TBitmap32 b;
    constexpr TColor32 red = 0xFFFF0000u, blue = 0xFF0000FFu;
    b.SetStipple(TArrayOfColor32{red, blue});
    b.SetStippleStep(0.5f);
    EXPECT_EQ(b.GetStippleColor(), red);
    EXPECT_EQ(b.GetStippleColor(), CombineReg(red, blue, 127));
    EXPECT_EQ(b.GetStippleColor(), blue);
    EXPECT_EQ(b.GetStippleColor(), CombineReg(blue, red, 127));
    EXPECT_EQ(b.GetStippleColor(), red);
    // Quarter steps: the weight of the colour before falls as the counter
    // passes its place.
    b.SetStipple(TArrayOfColor32{red, blue});
    b.SetStippleStep(0.25f);
    EXPECT_EQ(b.GetStippleColor(), red);
    for (uint32_t weight : {191u, 127u, 64u, 0u}) EXPECT_EQ(b.GetStippleColor(), CombineReg(red, blue, weight));
    TBitmap32 none;
    EXPECT_EQ(none.GetStippleColor(), 0xFF000000u);
}

TEST(Stipple, LargeStepsAndAdvancesStayInThePattern) {
    TBitmap32 b;
    TColor32 colours[] = {1, 2, 3};
    b.SetStipple(colours, 2);
    b.SetStippleStep(1000.25f);
    std::set<TColor32> possible;
    for (uint32_t w = 0; w < 256; ++w)
        for (int i = 0; i < 3; ++i) possible.insert(CombineReg(colours[i], colours[(i + 1) % 3], w));
    for (int i = 0; i < 50; ++i) EXPECT_TRUE(possible.count(b.GetStippleColor()));
    b.SetStippleStep(1);
    b.SetStippleCounter(0);
    b.AdvanceStippleCounter(7.5f);  // 7.5 - 2*3
    EXPECT_FLOAT_EQ(b.StippleCounter(), 1.5f);
    b.AdvanceStippleCounter(-2);
    EXPECT_FLOAT_EQ(b.StippleCounter(), 2.5f);
    b.SetStippleCounter(-1e9f);
    TColor32 c = b.GetStippleColor();
    EXPECT_TRUE(c != 0);
}

TEST(Stipple, StippledRunsKeepCountingOutsideTheBitmap) {
    CountingBitmap b(4, 1);
    b.SetStipple(TArrayOfColor32{0xFF000001u, 0xFF000002u, 0xFF000003u, 0xFF000004u, 0xFF000005u, 0xFF000006u});
    b.HorzLineTSP(-2, 0, 5);  // 8 pixels: two before the bitmap, two after
    EXPECT_EQ(b.GetPixel(0, 0), 0xFF000003u);
    EXPECT_EQ(b.GetPixel(3, 0), 0xFF000006u);
    EXPECT_FLOAT_EQ(b.StippleCounter(), 2.0f);  // 2 + 4 drawn + 2 after = 8, 2 in a pattern of 6
    b.HorzLineTSP(3, 0, 0);  // backwards
    EXPECT_EQ(b.GetPixel(3, 0), 0xFF000003u);
    EXPECT_EQ(b.GetPixel(0, 0), 0xFF000006u);
    b.HorzLineTSP(10, 0, 20);
    EXPECT_FLOAT_EQ(b.StippleCounter(), 5.0f);  // 6 + 11 pixels = 17, 5 in a pattern of 6
    CountingBitmap v(1, 3);
    v.SetStipple(TArrayOfColor32{0xFF0000AAu, 0xFF0000BBu});
    v.VertLineTSP(0, -1, 2);
    EXPECT_EQ(v.GetPixel(0, 0), 0xFF0000BBu);
    EXPECT_EQ(v.GetPixel(0, 1), 0xFF0000AAu);
    EXPECT_EQ(v.GetPixel(0, 2), 0xFF0000BBu);
}

TEST(Stipple, FrameIsDrawnClockwise) {
    CountingBitmap b(3, 3);
    TArrayOfColor32 pattern;
    for (uint32_t i = 1; i <= 8; ++i) pattern.push_back(0xFF000000u + i);
    b.SetStipple(pattern);
    b.FrameRectTSP(0, 0, 3, 3);
    EXPECT_EQ(b.GetPixel(0, 0), 0xFF000001u);
    EXPECT_EQ(b.GetPixel(1, 0), 0xFF000002u);
    EXPECT_EQ(b.GetPixel(2, 0), 0xFF000003u);
    EXPECT_EQ(b.GetPixel(2, 1), 0xFF000004u);
    EXPECT_EQ(b.GetPixel(2, 2), 0xFF000005u);
    EXPECT_EQ(b.GetPixel(1, 2), 0xFF000006u);
    EXPECT_EQ(b.GetPixel(0, 2), 0xFF000007u);
    EXPECT_EQ(b.GetPixel(0, 1), 0xFF000008u);
    EXPECT_EQ(b.GetPixel(1, 1), 0u);
}

// ------------------------------------------------------------ at the edges

constexpr int32_t kEdgeW = 6, kEdgeH = 5;
// Places just outside, on and inside every edge: one coordinate inside and
// the other outside, both outside, both inside.
constexpr int32_t kEdgeXs[] = {-2, -1, 0, 2, kEdgeW - 1, kEdgeW};
constexpr int32_t kEdgeYs[] = {-2, -1, 0, 2, kEdgeH - 1, kEdgeH};

TEST(Pixels, ReadsAtEveryEdge) {
    TBitmap32 b;
    thorn::test::FillNumbered(b, kEdgeW, kEdgeH);
    b.SetOuterColor(0x55u);
    for (int32_t y : kEdgeYs)
        for (int32_t x : kEdgeXs) {
            SCOPED_TRACE(std::to_string(x) + "," + std::to_string(y));
            const bool inside = x >= 0 && y >= 0 && x < kEdgeW && y < kEdgeH;
            EXPECT_EQ(b.GetPixelS(x, y), inside ? thorn::test::Numbered(x, y) : 0x55u);
            EXPECT_EQ(b.GetPixelB(x, y),
                      thorn::test::Numbered(std::clamp(x, 0, kEdgeW - 1), std::clamp(y, 0, kEdgeH - 1)));
        }
}

// The places where draw(bitmap, offset) leaves the edge test's bitmap
// other than it leaves the same part of a larger bitmap around it, drawn
// offset by the margin.
template <typename Draw>
Points DifferFromALargerBitmap(Draw draw) {
    constexpr int32_t margin = 6;
    constexpr TColor32 kBack = 0xFF607080u;
    CountingBitmap small(kEdgeW, kEdgeH, kBack), large(kEdgeW + 2 * margin, kEdgeH + 2 * margin, kBack);
    draw(small, 0);
    draw(large, margin);
    Points differ;
    for (int32_t y = 0; y < kEdgeH; ++y)
        for (int32_t x = 0; x < kEdgeW; ++x)
            if (small.GetPixel(x, y) != large.GetPixel(x + margin, y + margin)) differ.insert({x, y});
    return differ;
}

// A safe call leaves a bitmap as the same call leaves the same part of a
// larger bitmap around it: nothing outside lands on a neighbouring row or
// past the store, nothing inside is lost, and a stippled run cut at the
// ends keeps the colours the uncut run has there.
TEST(SafeDrawing, ABitmapGetsWhatALargerOneGetsInsideIt) {
    constexpr TColor32 kHalf = 0x80F0E0D0u;
    const TArrayOfColor32 pattern{0xFF0000AAu, 0x80BB0000u, 0xFF00CC00u};
    struct Call {
        const char* what;
        void (*draw)(TBitmap32&, int32_t x, int32_t y, const TArrayOfColor32& pattern);
    };
    const Call calls[] = {
        {"SetPixelS", [](TBitmap32& b, int32_t x, int32_t y, const TArrayOfColor32&) { b.SetPixelS(x, y, C); }},
        {"SetPixelTS", [](TBitmap32& b, int32_t x, int32_t y, const TArrayOfColor32&) { b.SetPixelTS(x, y, kHalf); }},
        {"SET_TS256",
         [](TBitmap32& b, int32_t x, int32_t y, const TArrayOfColor32&) { b.SET_TS256(x * 256 + 100, y * 256 + 60, C); }},
        {"HorzLineS",
         [](TBitmap32& b, int32_t x, int32_t y, const TArrayOfColor32&) {
             b.HorzLineS(x, y, x + 3, C);
             b.HorzLineS(x - 3, y + 1, x, C);
         }},
        {"HorzLineTS",
         [](TBitmap32& b, int32_t x, int32_t y, const TArrayOfColor32&) {
             b.HorzLineTS(x, y, x + 3, kHalf);
             b.HorzLineTS(x, y + 1, x - 3, kHalf);
         }},
        {"VertLineS",
         [](TBitmap32& b, int32_t x, int32_t y, const TArrayOfColor32&) {
             b.VertLineS(x, y, y + 3, C);
             b.VertLineS(x + 1, y - 3, y, C);
         }},
        {"VertLineTS",
         [](TBitmap32& b, int32_t x, int32_t y, const TArrayOfColor32&) {
             b.VertLineTS(x, y, y + 3, kHalf);
             b.VertLineTS(x + 1, y, y - 3, kHalf);
         }},
        {"HorzLineTSP",
         [](TBitmap32& b, int32_t x, int32_t y, const TArrayOfColor32& pattern) {
             b.SetStipple(pattern);
             b.HorzLineTSP(x, y, x + 3);
             b.SetStipple(pattern);
             b.HorzLineTSP(x, y + 1, x - 3);
         }},
        {"VertLineTSP",
         [](TBitmap32& b, int32_t x, int32_t y, const TArrayOfColor32& pattern) {
             b.SetStipple(pattern);
             b.VertLineTSP(x, y, y + 3);
             b.SetStipple(pattern);
             b.VertLineTSP(x + 1, y, y - 3);
         }},
        {"LineA",
         [](TBitmap32& b, int32_t x, int32_t y, const TArrayOfColor32&) {
             b.LineA(x, y, x + 4, y + 1, kHalf, true);
             b.LineA(x, y, x - 1, y - 3, kHalf, true);
         }},
        {"frames",
         [](TBitmap32& b, int32_t x, int32_t y, const TArrayOfColor32&) {
             b.FrameRectS(x - 1, y - 1, x + 2, y + 3, C);
             b.FrameRectTS(x - 2, y - 1, x + 1, y + 1, kHalf);
         }},
        {"fills",
         [](TBitmap32& b, int32_t x, int32_t y, const TArrayOfColor32&) {
             b.FillRectS(x - 1, y - 1, x + 2, y + 1, C);
             b.FillRectTS(x, y, x + 3, y + 2, kHalf);
         }},
        {"RaiseRectTS",
         [](TBitmap32& b, int32_t x, int32_t y, const TArrayOfColor32&) { b.RaiseRectTS(x - 1, y - 1, x + 3, y + 2, 60); }},
    };
    for (const Call& call : calls)
        for (int32_t y : kEdgeYs)
            for (int32_t x : kEdgeXs) {
                SCOPED_TRACE(std::string(call.what) + " at " + std::to_string(x) + "," + std::to_string(y));
                EXPECT_EQ(DifferFromALargerBitmap([&](TBitmap32& b, int32_t offset) {
                              call.draw(b, x + offset, y + offset, pattern);
                          }),
                          Points{});
            }
}

// A sub-pixel line from the middle to less than two pixels from an edge,
// inside the clipping box, is walked with checked splats: it leaves the
// bitmap as it leaves the same part of a larger one, where it lies deep
// inside.
TEST(SafeDrawing, SubPixelLinesNearAnEdge) {
    const TArrayOfColor32 pattern{0xFF0000AAu, 0xFFBB0000u};
    const std::pair<float, float> ends[] = {{-0.75f, 1.5f}, {5.75f, 2.0f},  {5.75f, 3.5f}, {3.5f, -0.75f},
                                            {1.5f, 4.75f},  {-0.9f, -0.9f}, {5.9f, 4.9f}};
    for (const std::pair<float, float>& end : ends)
        for (const bool stippled : {false, true}) {
            SCOPED_TRACE(std::to_string(end.first) + "," + std::to_string(end.second) + (stippled ? ", stippled" : ""));
            EXPECT_EQ(DifferFromALargerBitmap([&](TBitmap32& b, int32_t offset) {
                          const TFixed x1 = Fixed(2.5f + offset), y1 = Fixed(2.25f + offset);
                          const TFixed x2 = Fixed(end.first + offset), y2 = Fixed(end.second + offset);
                          b.SetStipple(pattern);
                          if (stippled)
                              b.LineXSP(x1, y1, x2, y2, true);
                          else
                              b.LineXS(x1, y1, x2, y2, C, true);
                      }),
                      Points{});
        }
}

// A line from far outside across the bitmap, clipped, sets the pixels of
// its row, column or diagonal inside and no other.
TEST(SafeDrawing, ClippedLinesSetOnlyTheirOwnPixels) {
    using Draw = void (*)(TBitmap32&, int32_t, int32_t, int32_t, int32_t);
    const std::pair<const char*, Draw> forms[] = {
        {"LineS", [](TBitmap32& b, int32_t x1, int32_t y1, int32_t x2, int32_t y2) { b.LineS(x1, y1, x2, y2, C, true); }},
        {"LineTS",
         [](TBitmap32& b, int32_t x1, int32_t y1, int32_t x2, int32_t y2) { b.LineTS(x1, y1, x2, y2, 0x80FFFFFFu, true); }},
        {"LineAS",
         [](TBitmap32& b, int32_t x1, int32_t y1, int32_t x2, int32_t y2) { b.LineAS(x1, y1, x2, y2, 0xFFFFFFFFu, true); }},
    };
    struct Crossing {
        const char* what;
        int32_t x1, y1, x2, y2;
        bool (*on)(int32_t x, int32_t y);
    };
    const Crossing crossings[] = {
        {"a row", -5, 2, kEdgeW + 4, 2, [](int32_t, int32_t y) { return y == 2; }},
        {"a row backwards", kEdgeW + 4, 2, -5, 2, [](int32_t, int32_t y) { return y == 2; }},
        {"the top row", -1, 0, kEdgeW, 0, [](int32_t, int32_t y) { return y == 0; }},
        {"the bottom row", kEdgeW, kEdgeH - 1, -1, kEdgeH - 1, [](int32_t, int32_t y) { return y == kEdgeH - 1; }},
        {"a column", 3, -5, 3, kEdgeH + 4, [](int32_t x, int32_t) { return x == 3; }},
        {"a column upwards", 3, kEdgeH + 4, 3, -5, [](int32_t x, int32_t) { return x == 3; }},
        {"the first column", 0, kEdgeH, 0, -1, [](int32_t x, int32_t) { return x == 0; }},
        {"the last column", kEdgeW - 1, -1, kEdgeW - 1, kEdgeH, [](int32_t x, int32_t) { return x == kEdgeW - 1; }},
        {"a diagonal", -3, -3, 8, 8, [](int32_t x, int32_t y) { return x == y; }},
        {"a diagonal backwards", 8, 8, -3, -3, [](int32_t x, int32_t y) { return x == y; }},
        {"a diagonal to the right edge", 1, -1, 9, 7, [](int32_t x, int32_t y) { return x == y + 2; }},
    };
    for (const auto& [form, draw] : forms)
        for (const Crossing& c : crossings) {
            SCOPED_TRACE(std::string(form) + ", " + c.what);
            CountingBitmap b(kEdgeW, kEdgeH);
            draw(b, c.x1, c.y1, c.x2, c.y2);
            Points expected;
            for (int32_t y = 0; y < kEdgeH; ++y)
                for (int32_t x = 0; x < kEdgeW; ++x)
                    if (c.on(x, y)) expected.insert({x, y});
            EXPECT_EQ(NonZero(b), expected);
        }
}

TEST(Rectangles, FillsClipAndNotify) {
    CountingBitmap b(6, 6);
    int changes = 0;
    b.OnChange = [&](TObject*) { ++changes; };
    b.FillRectS(-5, -5, 3, 3, C);
    Points expected;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) expected.insert({x, y});
    EXPECT_EQ(NonZero(b), expected);
    EXPECT_EQ(changes, 1);
    b.FillRectS(5, 5, 5, 9, C);
    b.FillRectS(6, 0, 9, 9, C);
    b.FillRectS(0, -9, 9, 0, C);
    EXPECT_EQ(changes, 1);
    b.FillRect(2, 2, 2, 4, C);
    EXPECT_EQ(changes, 2);
    b.FillRectS(TRect{4, 4, 100, 100}, C);
    EXPECT_EQ(b.GetPixel(5, 5), C);
}

TEST(Rectangles, TransparentFills) {
    CountingBitmap b(2, 2, 0xFF204060u);
    int changes = 0;
    b.OnChange = [&](TObject*) { ++changes; };
    b.FillRectT(0, 0, 2, 2, 0xFF0A0B0Cu);
    EXPECT_EQ(b.GetPixel(1, 1), 0xFF0A0B0Cu);
    b.FillRectT(0, 0, 2, 2, 0x00FFFFFFu);
    EXPECT_EQ(b.GetPixel(1, 1), 0xFF0A0B0Cu);
    EXPECT_EQ(changes, 2);
    b.FillRectTS(-1, -1, 1, 1, 0x40FFFFFFu);
    EXPECT_EQ(b.GetPixel(0, 0), CombineReg(0x40FFFFFFu, 0xFF0A0B0Cu, 0x40));
    EXPECT_EQ(b.GetPixel(1, 1), 0xFF0A0B0Cu);
}

TEST(Rectangles, Frames) {
    CountingBitmap b(5, 4);
    b.FrameRectS(0, 0, 4, 4, C);
    Points expected{{0, 0}, {1, 0}, {2, 0}, {3, 0}, {0, 3}, {1, 3}, {2, 3}, {3, 3}, {0, 1}, {0, 2}, {3, 1}, {3, 2}};
    EXPECT_EQ(NonZero(b), expected);
    CountingBitmap c(5, 4);
    c.FrameRectTS(TRect{1, 1, 2, 2}, C);
    EXPECT_EQ(NonZero(c), (Points{{1, 1}}));
    c.FrameRectS(-3, -3, 0, 0, C);
    EXPECT_EQ(NonZero(c), (Points{{1, 1}}));
}

// Every small frame is its outline: the top and bottom rows and the first
// and last columns, however few rows or columns it has.
TEST(Rectangles, SmallFramesAreTheirOutlines) {
    using Frame = void (*)(TBitmap32&, int32_t, int32_t, int32_t, int32_t);
    const std::pair<const char*, Frame> forms[] = {
        {"FrameRectS", [](TBitmap32& b, int32_t x1, int32_t y1, int32_t x2, int32_t y2) { b.FrameRectS(x1, y1, x2, y2, C); }},
        {"FrameRectTS",
         [](TBitmap32& b, int32_t x1, int32_t y1, int32_t x2, int32_t y2) { b.FrameRectTS(x1, y1, x2, y2, 0x80FFFFFFu); }},
        {"FrameRectTSP",
         [](TBitmap32& b, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
             b.SetStipple(TArrayOfColor32{0xFF000001u, 0xFF000002u});
             b.FrameRectTSP(x1, y1, x2, y2);
         }},
    };
    for (const auto& [form, frame] : forms)
        for (int32_t width = 1; width <= 3; ++width)
            for (int32_t height = 1; height <= 4; ++height) {
                SCOPED_TRACE(std::string(form) + " " + std::to_string(width) + "x" + std::to_string(height));
                CountingBitmap b(6, 6);
                frame(b, 1, 1, 1 + width, 1 + height);
                Points outline;
                for (int32_t y = 1; y <= height; ++y)
                    for (int32_t x = 1; x <= width; ++x)
                        if (x == 1 || x == width || y == 1 || y == height) outline.insert({x, y});
                EXPECT_EQ(NonZero(b), outline);
            }
}

TEST(Rectangles, RaisedBevel) {
    CountingBitmap b(4, 4, 0xFF808080u);
    b.RaiseRectTS(0, 0, 4, 4, 50);
    TColor32 light = 0xFFFFFFFFu;  // alpha 256 clamped to 255: copied
    TColor32 dark = CombineReg(0x7F000000u, 0xFF808080u, 127);
    EXPECT_EQ(b.GetPixel(0, 0), light);
    EXPECT_EQ(b.GetPixel(3, 0), light);
    EXPECT_EQ(b.GetPixel(0, 2), light);
    EXPECT_EQ(b.GetPixel(0, 3), dark);
    EXPECT_EQ(b.GetPixel(3, 2), dark);
    EXPECT_EQ(b.GetPixel(1, 1), 0xFF808080u);
    CountingBitmap s(4, 4, 0xFF808080u);
    s.RaiseRectTS(TRect{0, 0, 4, 4}, -50);
    EXPECT_EQ(s.GetPixel(0, 0), dark);
    EXPECT_EQ(s.GetPixel(3, 3), light);
}

// Every pixel of a bevel: the top row and the left column in the first
// colour, the bottom row and the right column in the second, the inside
// untouched; a bevel cut by the bitmap's right edge has no right column.
TEST(Rectangles, RaisedBevelPixelByPixel) {
    constexpr TColor32 kGrey = 0xFF808080u;
    const TColor32 light = 0xFFFFFFFFu, dark = CombineReg(0x7F000000u, kGrey, 127);
    struct Bevel {
        int32_t x1, y1, x2, y2, contrast;
    };
    for (const Bevel& bevel : {Bevel{1, 1, 5, 5, 50}, Bevel{0, 1, 3, 4, -50}, Bevel{2, 0, 9, 3, 50}, Bevel{1, 2, 6, 6, -50}}) {
        SCOPED_TRACE(std::to_string(bevel.x1) + "," + std::to_string(bevel.y1) + " to " + std::to_string(bevel.x2) + "," +
                     std::to_string(bevel.y2) + " at " + std::to_string(bevel.contrast));
        CountingBitmap b(6, 6, kGrey);
        b.RaiseRectTS(bevel.x1, bevel.y1, bevel.x2, bevel.y2, bevel.contrast);
        const TColor32 first = bevel.contrast > 0 ? light : dark, second = bevel.contrast > 0 ? dark : light;
        for (int32_t y = 0; y < 6; ++y)
            for (int32_t x = 0; x < 6; ++x) {
                const bool in = x >= bevel.x1 && x < bevel.x2 && y >= bevel.y1 && y < bevel.y2;
                TColor32 expected = kGrey;
                if (in && (y == bevel.y1 || (x == bevel.x1 && y != bevel.y2 - 1))) expected = first;
                if (in && (y == bevel.y2 - 1 || (x == bevel.x2 - 1 && y != bevel.y1))) expected = second;
                EXPECT_EQ(b.GetPixel(x, y), expected) << x << "," << y;
            }
    }
}

}  // namespace
