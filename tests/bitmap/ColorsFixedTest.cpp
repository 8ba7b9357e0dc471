// Colours, fixed point, rectangles, the gamma table and the word-level
// helpers, against worked values and plain recomputations.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "bitmap/Pix32.h"
#include "bitmap/Pix32_LowLevel.h"
#include "support/Pixels.h"

namespace {

TEST(Colors, ConversionsBetweenGuiAndTColor32) {
    EXPECT_EQ(Color32(TColor{0x000000FF}), 0xFFFF0000u);
    EXPECT_EQ(Color32(TColor{0x00123456}), 0xFF563412u);
    EXPECT_EQ(WinColor(0x80FF0000u), 0x000000FF);
    EXPECT_EQ(WinColor(0x12345678u), 0x00785634);
    // A system colour is resolved first: button face of the classic look.
    EXPECT_EQ(Color32(clBtnFace), 0xFFD4D0C8u);
    EXPECT_EQ(Color32(uint8_t{1}, uint8_t{2}, uint8_t{3}, uint8_t{4}), 0x04010203u);
    EXPECT_EQ(Gray32(0x40, 0x80), 0x80404040u);
    TArrayOfColor32 palette{1, 2, 3};
    EXPECT_EQ(Color32(uint8_t{2}, palette), 3u);
    TColor32 colors[] = {5, 6, 7};
    EXPECT_EQ(ArrayOfColor32(colors, 1), (TArrayOfColor32{5, 6}));
}

TEST(Colors, ChannelsIntensityAndAlpha) {
    EXPECT_EQ(RedComponent(0x11223344u), 0x22);
    EXPECT_EQ(GreenComponent(0x11223344u), 0x33);
    EXPECT_EQ(BlueComponent(0x11223344u), 0x44);
    EXPECT_EQ(AlphaComponent(0x11223344u), 0x11);
    EXPECT_EQ(Intensity(0xFFFFFFFFu), 255);
    EXPECT_EQ(Intensity(0xFF00FF00u), 173);
    EXPECT_EQ(Intensity(0xFF102030u), (0x10 * 61 + 0x20 * 174 + 0x30 * 21) >> 8);
    EXPECT_EQ(SetAlpha(0x12345678u, 300), 0xFF345678u);
    EXPECT_EQ(SetAlpha(0x12345678u, -1), 0x00345678u);
    EXPECT_EQ(SetAlpha(0x12345678u, 0x80), 0x80345678u);
}

TEST(Colors, HslRoundTripsAndWorkedValues) {
    EXPECT_EQ(HSLtoRGB(0, 0, 0.5f), 0xFF808080u);  // Round(127.5) is 128, halves to even
    EXPECT_EQ(HSLtoRGB(0, 1, 0.5f), 0xFFFF0000u);
    EXPECT_EQ(HSLtoRGB(1.0f / 3, 1, 0.5f), 0xFF00FF00u);
    EXPECT_EQ(HSLtoRGB(2.0f / 3, 1, 0.5f), 0xFF0000FFu);
    float h, s, l;
    RGBtoHSL(0xFF0000FFu, h, s, l);
    EXPECT_NEAR(h, 2.0 / 3, 1e-6);
    EXPECT_NEAR(s, 1, 1e-6);
    EXPECT_NEAR(l, 0.5, 1e-6);
    RGBtoHSL(0xFFFF00FFu, h, s, l);  // magenta: 4 + (1 - 0)/1 = 5, /6
    EXPECT_NEAR(h, 5.0 / 6, 1e-6);
    RGBtoHSL(0xFF808080u, h, s, l);
    EXPECT_EQ(h, 0);
    EXPECT_EQ(s, 0);
    for (TColor32 c : {0xFF123456u, 0xFFABCDEFu, 0xFF00C080u, 0xFFFFFF00u}) {
        RGBtoHSL(c, h, s, l);
        TColor32 back = HSLtoRGB(h, s, l);
        for (int shift = 0; shift < 24; shift += 8)
            EXPECT_NEAR(static_cast<int>(back >> shift & 0xFF), static_cast<int>(c >> shift & 0xFF), 1) << std::hex << c;
    }
}

TEST(Colors, GammaTable) {
    EXPECT_EQ(GAMMA_TABLE[0], 0);
    EXPECT_EQ(GAMMA_TABLE[255], 255);
    EXPECT_EQ(GAMMA_TABLE[128], 157);
    SetGamma(1.0f);
    for (int i = 0; i < 256; ++i) EXPECT_EQ(GAMMA_TABLE[i], i);
    SetGamma(2.0f);
    EXPECT_EQ(GAMMA_TABLE[128], 64);  // 255 * (128/255)^2 = 64.25
    SetGamma(0.7f);
    EXPECT_EQ(GAMMA_TABLE[128], 157);
}

TEST(FixedPoint, ConversionsAndRounding) {
    EXPECT_EQ(Fixed(1.5f), 0x18000);
    EXPECT_EQ(Fixed(-0.5f), -0x8000);
    EXPECT_EQ(Fixed(3), 0x30000);
    EXPECT_EQ(Fixed(-1), static_cast<TFixed>(0xFFFF0000u));
    EXPECT_EQ(FixedRound(0x00018000), 1);
    EXPECT_EQ(FixedRound(0x00018001), 2);
    EXPECT_EQ(FixedFloor(-1), -1);
    EXPECT_EQ(FixedCeil(1), 1);
    EXPECT_EQ(FixedCeil(0x10000), 1);
    EXPECT_EQ(FixedMul(Fixed(3), Fixed(-2)), Fixed(-6));
    EXPECT_EQ(FixedMul(0x18000, 0x18000), 0x24000);  // 1.5 * 1.5 = 2.25
    EXPECT_EQ(FixedDiv(Fixed(3), Fixed(2)), 0x18000);
    EXPECT_EQ(FixedDiv(Fixed(-1), Fixed(3)), -21845);  // truncated toward zero
    EXPECT_THROW(FixedDiv(1, 0), Exception);
}

TEST(Geometry, PointsAndRectangles) {
    EXPECT_EQ(Point(TFloatPoint{2.5f, 3.5f}), (TPoint{2, 4}));
    EXPECT_EQ(Point(TFixedPoint{0x18000, 0x18001}), (TPoint{1, 2}));
    EXPECT_EQ(FloatPoint(TFixedPoint{0x18000, -0x8000}), (TFloatPoint{1.5f, -0.5f}));
    EXPECT_EQ(FixedPoint(TPoint{2, -3}), (TFixedPoint{0x20000, -0x30000}));
    EXPECT_EQ(MakeRect(TFloatRect{0.5f, 0.5f, 2.5f, 2.5f}, rrClosest), (TRect{0, 0, 2, 2}));
    EXPECT_EQ(MakeRect(TFloatRect{0.2f, 0.2f, 0.8f, 0.8f}, rrInside), (TRect{1, 1, 1, 1}));
    EXPECT_EQ(MakeRect(TFloatRect{-0.5f, 0.2f, 1.2f, 2.0f}, rrOutside), (TRect{-1, 0, 2, 2}));
    EXPECT_EQ(MakeRect(TFixedRect{0x8000, 0x18000, 0x28000, 0x10000}, rrClosest), (TRect{0, 1, 2, 1}));
    TRect dst;
    EXPECT_TRUE(IntersectRect(dst, {0, 0, 10, 10}, {10, 0, 20, 10}));
    EXPECT_EQ(dst, (TRect{10, 0, 10, 10}));
    EXPECT_FALSE(IntersectRect(dst, {0, 0, 5, 5}, {6, 6, 9, 9}));
    EXPECT_EQ(dst, (TRect{0, 0, 0, 0}));
    TFloatRect fdst;
    EXPECT_FALSE(IntersectRectF(fdst, {0, 0, 1, 1}, {2, 2, 3, 3}));
    EXPECT_EQ(fdst, TFloatRect{});
    TRect r{1, 2, 3, 4};
    InflateRect(r, 1, 2);
    EXPECT_EQ(r, (TRect{0, 0, 4, 6}));
    OffsetRect(r, -1, 1);
    EXPECT_EQ(r, (TRect{-1, 1, 3, 7}));
    EXPECT_TRUE(IsRectEmpty({5, 0, 5, 9}));
    EXPECT_FALSE(IsRectEmpty({0, 0, 1, 1}));
    EXPECT_TRUE(PtInRect({0, 0, 2, 2}, {1, 1}));
    EXPECT_FALSE(PtInRect({0, 0, 2, 2}, {2, 1}));
}

TEST(LowLevel, ClampConstrainSwapAndClip) {
    EXPECT_EQ(Clamp(-3), 0);
    EXPECT_EQ(Clamp(256), 255);
    EXPECT_EQ(Clamp(7), 7);
    EXPECT_EQ(Constrain(5, 6, 9), 6);
    EXPECT_EQ(Constrain(10, 6, 9), 9);
    int32_t a = 5, b = -3;
    EXPECT_TRUE(TestClip(a, b, 10));
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, 5);
    a = 12, b = 15;
    EXPECT_FALSE(TestClip(a, b, 10));
    EXPECT_EQ(a, 12);
    EXPECT_EQ(b, 9);
    EXPECT_EQ(SAR_8(-1), -1);
    EXPECT_EQ(SAR_16(-65537), -2);
    EXPECT_EQ(ColorSwap(TColor{0x00112233}), 0xFF332211u);
    EXPECT_EQ(ColorSwap(clBtnFace), 0xFF0F0000u);  // no system-colour lookup
}

TEST(LowLevel, MulDivRoundsHalvesAwayFromZero) {
    EXPECT_EQ(MulDiv(5, 3, 2), 8);
    EXPECT_EQ(MulDiv(-5, 3, 2), -8);
    EXPECT_EQ(MulDiv(5, -3, -2), 8);
    EXPECT_EQ(MulDiv(7, 1, 3), 2);
    EXPECT_EQ(MulDiv(1, 1, 0), -1);
    EXPECT_EQ(MulDiv(0x40000000, 4, 2), -1);  // 2^31 does not fit
    EXPECT_EQ(MulDiv(0x40000000, 4, 3), 1431655765);
    EXPECT_EQ(MulDiv(-0x40000000, 4, 2), -1);
    EXPECT_EQ(MulDiv(2147483647, 2147483647, 2147483647), 2147483647);
}

TEST(LowLevel, FillAndMoveWords) {
    uint32_t words[6] = {0, 0, 0, 0, 0, 0};
    FillLongword(words + 1, 3, 7);
    EXPECT_EQ(words[0], 0u);
    EXPECT_EQ(words[3], 7u);
    EXPECT_EQ(words[4], 0u);
    FillLongword(words, 0, 9);
    FillLongword(words, -4, 9);
    EXPECT_EQ(words[0], 0u);
    uint32_t seq[5] = {1, 2, 3, 4, 5};
    MoveLongword(seq + 1, seq, 4);
    EXPECT_EQ(seq[0], 2u);
    EXPECT_EQ(seq[3], 5u);
}

// Past the caches: every length and alignment copies (or fills) the words,
// nothing beside them.
TEST(LowLevel, StreamedCopiesMatchPlainOnes) {
    thorn::test::ForEachVectorSet([] {
        std::vector<uint32_t> source(80), dest(96);
        for (size_t i = 0; i < source.size(); ++i) source[i] = static_cast<uint32_t>(i * 2654435761u);
        for (int32_t offset = 0; offset < 17; ++offset)
            for (int32_t count = 0; count < 64; ++count) {
                std::fill(dest.begin(), dest.end(), 0xDEADBEEFu);
                StreamLongword(source.data() + 1, dest.data() + offset, count);
                for (int32_t i = 0; i < static_cast<int32_t>(dest.size()); ++i) {
                    const bool copied = i >= offset && i < offset + count;
                    ASSERT_EQ(dest[i], copied ? source[i - offset + 1] : 0xDEADBEEFu) << offset << " " << count;
                }
                std::fill(dest.begin(), dest.end(), 0xDEADBEEFu);
                StreamFillLongword(dest.data() + offset, count, 0x01020304u);
                for (int32_t i = 0; i < static_cast<int32_t>(dest.size()); ++i) {
                    const bool filled = i >= offset && i < offset + count;
                    ASSERT_EQ(dest[i], filled ? 0x01020304u : 0xDEADBEEFu) << offset << " " << count;
                }
            }
    });
}

}  // namespace
