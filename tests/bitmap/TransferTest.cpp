// Block and stretch transfer: clipping, draw modes, nearest and bilinear
// maps worked out by hand, and the kernel resampler against a plain
// two-dimensional recomputation of its weights.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

#include "bitmap/Pix32.h"
#include "bitmap/Pix32_Blend.h"
#include "bitmap/Pix32_Transfer.h"
#include "support/Pixels.h"

namespace {

using thorn::test::CountingBitmap;

using thorn::test::Numbered;

using thorn::test::FillNumbered;
using thorn::test::FillRandom;

TEST(BlockTransfer, CopiesAndClips) {
    TBitmap32 src, dst;
    FillNumbered(src, 4, 4);
    dst.SetSize(5, 5);
    BlockTransfer(&dst, -1, 2, dst.BoundsRect(), &src, TRect{0, 0, 4, 4}, dmOpaque);
    EXPECT_EQ(dst.GetPixel(0, 2), Numbered(1, 0));
    EXPECT_EQ(dst.GetPixel(2, 4), Numbered(3, 2));
    EXPECT_EQ(dst.GetPixel(3, 2), 0u);
    EXPECT_EQ(dst.GetPixel(0, 1), 0u);
    dst.Clear(0);
    // A source rectangle partly outside the source, and a clip.
    BlockTransfer(&dst, 1, 1, TRect{0, 0, 3, 5}, &src, TRect{-1, -1, 3, 3}, dmOpaque);
    EXPECT_EQ(dst.GetPixel(1, 1), 0u);  // source (-1, -1) does not exist
    EXPECT_EQ(dst.GetPixel(2, 2), Numbered(0, 0));
    EXPECT_EQ(dst.GetPixel(3, 3), 0u);  // outside the clip
}

TEST(BlockTransfer, OverlappingCopyWithinOneBitmapDoesNotSmear) {
    for (auto [dx, dy] : std::vector<std::pair<int, int>>{{1, 1}, {-1, -1}, {2, 0}, {-2, 0}, {0, 1}, {1, -1}}) {
        TBitmap32 b;
        FillNumbered(b, 6, 6);
        BlockTransfer(&b, 1 + dx, 1 + dy, b.BoundsRect(), &b, TRect{1, 1, 5, 5}, dmOpaque);
        for (int y = 1; y < 5; ++y)
            for (int x = 1; x < 5; ++x) {
                bool inside = x + dx >= 0 && x + dx < 6 && y + dy >= 0 && y + dy < 6;
                if (inside) {
                    EXPECT_EQ(b.GetPixel(x + dx, y + dy), Numbered(x, y)) << dx << "," << dy;
                }
            }
    }
    TBitmap32 s;
    FillNumbered(s, 8, 8);
    StretchTransfer(&s, TRect{2, 2, 8, 8}, s.BoundsRect(), &s, TRect{0, 0, 3, 3}, sfNearest, dmOpaque);
    EXPECT_EQ(s.GetPixel(7, 7), Numbered(2, 2));
    EXPECT_EQ(s.GetPixel(3, 3), Numbered(0, 0));
}

TEST(BlockTransfer, NullAndEmptyBitmaps) {
    TBitmap32 dst, src, empty;
    dst.SetSize(2, 2);
    BlockTransfer(&dst, 0, 0, dst.BoundsRect(), nullptr, TRect{0, 0, 1, 1}, dmOpaque);
    BlockTransfer(&dst, 0, 0, dst.BoundsRect(), &empty, TRect{0, 0, 1, 1}, dmOpaque);
    StretchTransfer(&dst, dst.BoundsRect(), dst.BoundsRect(), nullptr, TRect{0, 0, 1, 1}, sfLinear, dmOpaque);
    src.SetSize(1, 1);
    try {
        BlockTransfer(nullptr, 0, 0, TRect{}, &src, src.BoundsRect(), dmOpaque);
        FAIL();
    } catch (const ETransformError& error) {
        EXPECT_STREQ(error.what(), "Destination bitmap is nil or empty");
    }
    EXPECT_THROW(StretchTransfer(&empty, TRect{}, TRect{}, &src, src.BoundsRect(), sfNearest, dmOpaque), ETransformError);
    try {
        StretchTransfer(&dst, dst.BoundsRect(), dst.BoundsRect(), &src, TRect{0, 0, 2, 1}, sfNearest, dmOpaque);
        FAIL();
    } catch (const ETransformError& error) {
        EXPECT_STREQ(error.what(), "Source rectangle is invalid");
    }
    // An empty source rectangle does nothing, without error.
    StretchTransfer(&dst, dst.BoundsRect(), dst.BoundsRect(), &src, TRect{5, 5, 5, 9}, sfNearest, dmOpaque);
    // Drawing a null bitmap onto another does nothing.
    dst.Draw(0, 0, nullptr);
    src.DrawTo(nullptr);
}

TEST(BlockTransfer, DrawModes) {
    TBitmap32 src, dst;
    src.SetSize(3, 1);
    src.SetPixel(0, 0, 0xFF112233u);
    src.SetPixel(1, 0, 0x80FFFFFFu);
    src.SetPixel(2, 0, 0x00FFFFFFu);
    dst.SetSize(3, 1);
    dst.Clear(0xFF000000u);
    src.SetDrawMode(dmBlend);
    src.DrawTo(&dst);
    EXPECT_EQ(dst.GetPixel(0, 0), 0xFF112233u);  // master alpha 255: the plain blend copies opaque pixels
    EXPECT_EQ(dst.GetPixel(1, 0), CombineReg(0x80FFFFFFu, 0xFF000000u, 128));
    EXPECT_EQ(dst.GetPixel(2, 0), 0xFF000000u);

    dst.Clear(0xFF000000u);
    src.SetMasterAlpha(128);
    src.DrawTo(&dst);
    EXPECT_EQ(dst.GetPixel(0, 0), CombineReg(0xFF112233u, 0xFF000000u, (129 * 255) >> 8));
    EXPECT_EQ(dst.GetPixel(1, 0), CombineReg(0x80FFFFFFu, 0xFF000000u, (129 * 128) >> 8));

    dst.Clear(0xFF000000u);
    int notified = 0;
    dst.OnChange = [&](TObject*) { ++notified; };
    src.SetMasterAlpha(0);
    src.DrawTo(&dst);
    EXPECT_EQ(dst.GetPixel(0, 0), 0xFF000000u);
    EXPECT_EQ(notified, 1);

    src.SetDrawMode(dmCustom);  // without a callback: a copy
    src.DrawTo(&dst);
    EXPECT_EQ(dst.GetPixel(2, 0), 0x00FFFFFFu);

    std::vector<TColor32> seen;
    src.OnPixelCombine = [&](TColor32 f, TColor32& b, TColor32 m) {
        seen.push_back(f);
        b = f ^ m;
    };
    src.DrawTo(&dst, 1, 0);
    EXPECT_EQ(seen, (std::vector<TColor32>{0xFF112233u, 0x80FFFFFFu}));
    EXPECT_EQ(dst.GetPixel(1, 0), 0xFF112233u ^ 0u);
}

TEST(StretchTransfer, EqualSizesCopyWhateverTheFilter) {
    TBitmap32 src, a, b;
    FillRandom(src, 7, 5, 3);
    a.SetSize(9, 9);
    b.SetSize(9, 9);
    StretchTransfer(&a, TRect{1, 2, 6, 6}, a.BoundsRect(), &src, TRect{2, 1, 7, 5}, sfLanczos, dmOpaque);
    BlockTransfer(&b, 1, 2, b.BoundsRect(), &src, TRect{2, 1, 7, 5}, dmOpaque);
    EXPECT_TRUE(a.Equal(&b));
}

TEST(StretchTransfer, NearestMapsRoundHalvesToEven) {
    TBitmap32 src, dst;
    FillNumbered(src, 3, 2);
    dst.SetSize(7, 5);
    StretchTransfer(&dst, dst.BoundsRect(), dst.BoundsRect(), &src, src.BoundsRect(), sfNearest, dmOpaque);
    // Columns: Round(i * 2/6) = 0 0 1 1 1 2 2; rows: Round(j * 1/4) = 0 0 0 1 1.
    int columns[] = {0, 0, 1, 1, 1, 2, 2};
    int rows[] = {0, 0, 0, 1, 1};
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) EXPECT_EQ(dst.GetPixel(x, y), Numbered(columns[x], rows[y])) << x << "," << y;
    // Clipped: the map is the same for the pixels left.
    CountingBitmap clipped(7, 5);
    StretchTransfer(&clipped, TRect{0, 0, 7, 5}, TRect{3, 1, 6, 4}, &src, src.BoundsRect(), sfNearest, dmOpaque);
    EXPECT_EQ(clipped.GetPixel(3, 3), Numbered(1, 1));
    EXPECT_EQ(clipped.GetPixel(5, 1), Numbered(2, 0));
    EXPECT_EQ(clipped.GetPixel(6, 1), 0u);
}

TEST(StretchTransfer, OnePixelWideTargetTakesTheMiddleColumn) {
    TBitmap32 src, dst;
    FillNumbered(src, 4, 4);
    dst.SetSize(1, 1);
    StretchTransfer(&dst, dst.BoundsRect(), dst.BoundsRect(), &src, src.BoundsRect(), sfNearest, dmOpaque);
    EXPECT_EQ(dst.GetPixel(0, 0), Numbered(1, 1));  // (0 + 4 - 1) div 2
}

TEST(StretchTransfer, NearestBlendsWithMasterAlpha) {
    TBitmap32 src, dst;
    src.SetSize(1, 1);
    src.Clear(0xFFFFFFFFu);
    src.SetDrawMode(dmBlend);
    src.SetMasterAlpha(100);
    dst.SetSize(3, 3);
    dst.Clear(0xFF000000u);
    src.DrawTo(&dst, dst.BoundsRect());
    EXPECT_EQ(dst.GetPixel(2, 2), CombineReg(0xFFFFFFFFu, 0xFF000000u, (101 * 255) >> 8));
}

// Per-channel (a*wa + b*(256 - wa)) >> 8.
TColor32 Lerp(TColor32 a, TColor32 b, uint32_t wa) {
    TColor32 out = 0;
    for (int s = 0; s < 32; s += 8) out |= (((a >> s & 0xFF) * wa + (b >> s & 0xFF) * (256 - wa)) >> 8) << s;
    return out;
}

TEST(StretchTransfer, BilinearEnlargementWorkedOut) {
    TBitmap32 src, dst;
    src.SetSize(2, 2);
    src.SetPixel(0, 0, 0xFF000000u);
    src.SetPixel(1, 0, 0xFFFF0000u);
    src.SetPixel(0, 1, 0x0000FF00u);
    src.SetPixel(1, 1, 0x800000FFu);
    dst.SetSize(4, 4);
    StretchTransfer(&dst, dst.BoundsRect(), dst.BoundsRect(), &src, src.BoundsRect(), sfLinear, dmOpaque);
    // x = i/3: weights 256 - Round(frac*256) = 256, 171, 85; the last pixel
    // sits on the last column and takes it whole as the pair's second.
    uint32_t w[] = {256, 171, 85, 0};
    for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 4; ++i) {
            TColor32 left = Lerp(src.GetPixel(0, 0), src.GetPixel(0, 1), w[j]);
            TColor32 right = Lerp(src.GetPixel(1, 0), src.GetPixel(1, 1), w[j]);
            EXPECT_EQ(dst.GetPixel(i, j), Lerp(left, right, w[i])) << i << "," << j;
        }
}

TEST(StretchTransfer, BilinearFromOneColumnReadsOnlyThatColumn) {
    TBitmap32 src, dst;
    src.SetSize(3, 2);
    src.Clear(0xFFFF0000u);
    src.SetPixel(1, 0, 0xFF00FF00u);
    src.SetPixel(1, 1, 0xFF0000FFu);
    dst.SetSize(4, 4);
    StretchTransfer(&dst, dst.BoundsRect(), dst.BoundsRect(), &src, TRect{1, 0, 2, 2}, sfLinear, dmOpaque);
    uint32_t w[] = {256, 171, 85, 0};
    for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 4; ++i) EXPECT_EQ(dst.GetPixel(i, j), Lerp(0xFF00FF00u, 0xFF0000FFu, w[j]));
    // The same at the left edge of the source: nothing left of it is read.
    CountingBitmap edge(1, 2);
    edge.SetPixel(0, 0, 0xFF00FF00u);
    edge.SetPixel(0, 1, 0xFF0000FFu);
    StretchTransfer(&dst, dst.BoundsRect(), dst.BoundsRect(), &edge, edge.BoundsRect(), sfLinear, dmOpaque);
    EXPECT_EQ(dst.GetPixel(3, 1), Lerp(0xFF00FF00u, 0xFF0000FFu, 171));
}

// The bilinear map of one axis from its definition: x = i * (srcW-1)/(dstW-1),
// the first pixel's weight 256 - Round(frac * 256), the last column taken
// whole as the second of a pair.
struct Tap {
    int first, second;
    uint32_t weight;
};
std::vector<Tap> PlainLinearMap(int dstW, int srcLo, int srcW) {
    std::vector<Tap> taps;
    double s = static_cast<double>(srcW - 1) / (dstW - 1);
    for (int i = 0; i < dstW; ++i) {
        double x = srcLo + i * s;
        int pos = static_cast<int>(std::floor(x));
        uint32_t w = 256 - static_cast<uint32_t>(std::nearbyint((x - pos) * 256));
        if (srcW == 1)
            taps.push_back({srcLo, srcLo, 256});
        else if (pos >= srcLo + srcW - 1)
            taps.push_back({pos - 1, pos, 0});
        else
            taps.push_back({pos, pos + 1, w});
    }
    return taps;
}

TEST(StretchTransfer, BilinearMatchesThePlainFormulaOnRandomPictures) {
    for (auto [sw, sh, dw, dh] : std::vector<std::array<int, 4>>{{7, 5, 37, 11}, {3, 9, 100, 10}, {64, 48, 129, 97}}) {
        TBitmap32 src, dst, blended;
        FillRandom(src, sw + 2, sh + 1, static_cast<uint32_t>(sw * dh));
        TRect srcRect{1, 1, 1 + sw, 1 + sh};
        dst.SetSize(dw, dh);
        StretchTransfer(&dst, dst.BoundsRect(), dst.BoundsRect(), &src, srcRect, sfLinear, dmOpaque);
        FillRandom(blended, dw, dh, 99);
        TBitmap32 background;
        background.Assign(blended);
        src.SetMasterAlpha(180);
        StretchTransfer(&blended, dst.BoundsRect(), TRect{2, 3, dw - 1, dh}, &src, srcRect, sfLinear, dmBlend);
        auto mx = PlainLinearMap(dw, 1, sw), my = PlainLinearMap(dh, 1, sh);
        for (int y = 0; y < dh; ++y)
            for (int x = 0; x < dw; ++x) {
                TColor32 left = Lerp(src.GetPixel(mx[x].first, my[y].first), src.GetPixel(mx[x].first, my[y].second), my[y].weight);
                TColor32 right =
                    Lerp(src.GetPixel(mx[x].second, my[y].first), src.GetPixel(mx[x].second, my[y].second), my[y].weight);
                TColor32 expected = Lerp(left, right, mx[x].weight);
                ASSERT_EQ(dst.GetPixel(x, y), expected) << sw << "x" << sh << " at " << x << "," << y;
                TColor32 under = background.GetPixel(x, y);
                if (x >= 2 && y >= 3 && x < dw - 1) BlendMemEx(expected, under, 180);
                ASSERT_EQ(blended.GetPixel(x, y), under) << x << "," << y;
            }
    }
}

TEST(Kernels, Values) {
    using thorn::FilterKernel;
    EXPECT_FLOAT_EQ(FilterKernel(sfNearest, 0.5f), 1);
    EXPECT_FLOAT_EQ(FilterKernel(sfNearest, -0.5f), 0);
    EXPECT_FLOAT_EQ(FilterKernel(sfLinear, -0.25f), 0.75f);
    EXPECT_FLOAT_EQ(FilterKernel(sfLinear, 1), 0);
    EXPECT_FLOAT_EQ(FilterKernel(sfSpline, 0), 2.0f / 3);
    EXPECT_FLOAT_EQ(FilterKernel(sfSpline, -1), 1.0f / 6);
    EXPECT_FLOAT_EQ(FilterKernel(sfMitchell, 0), 16.0f / 18);
    EXPECT_NEAR(FilterKernel(sfMitchell, 1), 1.0 / 18, 1e-6);
    EXPECT_FLOAT_EQ(FilterKernel(sfMitchell, 2), 0);
    EXPECT_FLOAT_EQ(FilterKernel(sfLanczos, 0), 1);
    EXPECT_NEAR(FilterKernel(sfLanczos, 0.5f), (2 / std::numbers::pi) * (std::sin(std::numbers::pi / 6) / (std::numbers::pi / 6)), 1e-6);
    EXPECT_NEAR(FilterKernel(sfLanczos, 1), 0, 1e-6);
    EXPECT_EQ(thorn::FilterWidth(sfLanczos), 3.0f);
    EXPECT_EQ(thorn::FilterWidth(sfMitchell), 2.0f);
}

TEST(MappingTable, WorkedWeights) {
    // Linear, 2 source pixels onto 4: Scale 3, centres k/3.
    TMappingTable up = thorn::BuildMappingTable(0, 4, 0, 4, 0, 2, sfLinear);
    TMappingTable expectedUp{{{0, 256}}, {{0, 171}, {1, 85}}, {{0, 85}, {1, 171}}, {{1, 256}}};
    EXPECT_EQ(up, expectedUp);
    // Linear, 4 onto 2: Scale 1/3, the kernel three times wider and its
    // weights a third, positions kept inside the source; 255 is made 256
    // in the middle entry.
    TMappingTable down = thorn::BuildMappingTable(0, 2, 0, 2, 0, 4, sfLinear);
    TMappingTable expectedDown{{{0, 28}, {0, 57}, {0, 86}, {1, 57}, {2, 28}},
                               {{1, 28}, {2, 57}, {3, 86}, {3, 57}, {3, 28}}};
    EXPECT_EQ(down, expectedDown);
    // Clipped: only the clusters of the clip, with their own centres.
    TMappingTable part = thorn::BuildMappingTable(0, 4, 2, 3, 0, 2, sfLinear);
    EXPECT_EQ(part, (TMappingTable{{{0, 85}, {1, 171}}}));
    // Degenerate spans.
    EXPECT_TRUE(thorn::BuildMappingTable(0, 4, 0, 4, 3, 3, sfLinear).empty());
    EXPECT_EQ(thorn::BuildMappingTable(0, 3, 0, 3, 5, 6, sfLanczos), (TMappingTable(3, {{5, 256}})));
    EXPECT_EQ(thorn::BuildMappingTable(0, 1, 0, 1, 0, 5, sfLanczos), (TMappingTable{{{2, 256}}}));
}

TEST(MappingTable, EveryClusterSumsTo256) {
    for (TStretchFilter f : {sfNearest, sfLinear, sfSpline, sfLanczos, sfMitchell})
        for (auto [dst, src] : std::vector<std::pair<int, int>>{{7, 3}, {3, 7}, {100, 17}, {17, 100}, {1000, 999}, {2, 50}})
            for (const auto& cluster : thorn::BuildMappingTable(0, dst, 0, dst, 0, src, f)) {
                int sum = 0;
                for (const auto& e : cluster) {
                    sum += e.Weight;
                    EXPECT_GE(e.Pos, 0);
                    EXPECT_LT(e.Pos, src);
                }
                EXPECT_EQ(sum, 256) << int(f) << " " << dst << " from " << src;
            }
}

// Four columns onto two and four rows onto two, with the linear weights
// worked out above (171, 57, 28 and 28, 57, 171 of 256 along each axis):
// the blue channel counts the column, the green one the row, and each
// destination channel is bits 16..23 of the double sum.
TEST(Resample, WorkedReduction) {
    TBitmap32 src, dst;
    src.SetSize(4, 4);
    const uint32_t values[] = {0, 100, 200, 255};
    for (int32_t y = 0; y < 4; ++y)
        for (int32_t x = 0; x < 4; ++x) src.SetPixel(x, y, 0xFF000000u | values[y] << 8 | values[x]);
    dst.SetSize(2, 2);
    StretchTransfer(&dst, dst.BoundsRect(), dst.BoundsRect(), &src, src.BoundsRect(), sfLinear, dmOpaque);
    // (100*57 + 200*28) * 256 >> 16 = 44; (100*28 + 200*57 + 255*171) * 256 >> 16 = 225.
    thorn::test::ExpectPixels(dst, {{0, 0, 0xFF002C2Cu}, {1, 0, 0xFF002CE1u}, {0, 1, 0xFF00E12Cu}, {1, 1, 0xFF00E1E1u}});
}

TEST(Resample, SharpEdgesNeverWrapWithNegativeLobes) {
    for (TStretchFilter f : {sfLanczos, sfMitchell}) {
        TBitmap32 src, dst;
        src.SetSize(6, 2);
        src.FillRect(0, 0, 3, 2, 0xFF000000u);
        src.FillRect(3, 0, 6, 2, 0xFFFFFFFFu);
        dst.SetSize(30, 2);
        StretchTransfer(&dst, dst.BoundsRect(), dst.BoundsRect(), &src, src.BoundsRect(), f, dmOpaque);
        for (int x = 0; x < 10; ++x) EXPECT_LT(RedComponent(dst.GetPixel(x, 0)), 40) << x;
        for (int x = 20; x < 30; ++x) EXPECT_GT(RedComponent(dst.GetPixel(x, 0)), 215) << x;
    }
}

TEST(Resample, BlendsAndCallsBack) {
    TBitmap32 src, dst, plain;
    FillRandom(src, 9, 9, 8);
    src.SetDrawMode(dmBlend);
    src.SetMasterAlpha(200);
    src.SetStretchFilter(sfMitchell);
    dst.SetSize(4, 4);
    dst.Clear(0xFF336699u);
    plain.SetSize(4, 4);
    src.DrawTo(&dst, dst.BoundsRect());
    StretchTransfer(&plain, plain.BoundsRect(), plain.BoundsRect(), &src, src.BoundsRect(), sfMitchell, dmOpaque);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            TColor32 expected = 0xFF336699u;
            BlendMemEx(plain.GetPixel(x, y), expected, 200);
            EXPECT_EQ(dst.GetPixel(x, y), expected);
        }
    int calls = 0;
    src.SetDrawMode(dmCustom);
    src.OnPixelCombine = [&](TColor32, TColor32&, TColor32 m) {
        ++calls;
        EXPECT_EQ(m, 200u);
    };
    src.DrawTo(&dst, TRect{-2, -2, 2, 2});
    EXPECT_EQ(calls, 4);
}

}  // namespace
