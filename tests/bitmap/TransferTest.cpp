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

namespace {

TColor32 Numbered(int32_t x, int32_t y) { return 0xFF000000u + static_cast<uint32_t>(y * 256 + x); }

void Number(TBitmap32& b, int32_t w, int32_t h) {
    b.SetSize(w, h);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) b.SetPixel(x, y, Numbered(x, y));
}

void Random(TBitmap32& b, int32_t w, int32_t h, uint32_t seed) {
    std::mt19937 rng(seed);
    b.SetSize(w, h);
    for (int32_t i = 0; i < w * h; ++i) b.Bits()[i] = rng();
}

TEST(BlockTransfer, CopiesAndClips) {
    TBitmap32 src, dst;
    Number(src, 4, 4);
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
        Number(b, 6, 6);
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
    Number(s, 8, 8);
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
    Random(src, 7, 5, 3);
    a.SetSize(9, 9);
    b.SetSize(9, 9);
    StretchTransfer(&a, TRect{1, 2, 6, 6}, a.BoundsRect(), &src, TRect{2, 1, 7, 5}, sfLanczos, dmOpaque);
    BlockTransfer(&b, 1, 2, b.BoundsRect(), &src, TRect{2, 1, 7, 5}, dmOpaque);
    EXPECT_TRUE(a.Equal(&b));
}

TEST(StretchTransfer, NearestMapsRoundHalvesToEven) {
    TBitmap32 src, dst;
    Number(src, 3, 2);
    dst.SetSize(7, 5);
    StretchTransfer(&dst, dst.BoundsRect(), dst.BoundsRect(), &src, src.BoundsRect(), sfNearest, dmOpaque);
    // Columns: Round(i * 2/6) = 0 0 1 1 1 2 2; rows: Round(j * 1/4) = 0 0 0 1 1.
    int columns[] = {0, 0, 1, 1, 1, 2, 2};
    int rows[] = {0, 0, 0, 1, 1};
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) EXPECT_EQ(dst.GetPixel(x, y), Numbered(columns[x], rows[y])) << x << "," << y;
    // Clipped: the map is the same for the pixels left.
    TBitmap32 clipped;
    clipped.SetSize(7, 5);
    StretchTransfer(&clipped, TRect{0, 0, 7, 5}, TRect{3, 1, 6, 4}, &src, src.BoundsRect(), sfNearest, dmOpaque);
    EXPECT_EQ(clipped.GetPixel(3, 3), Numbered(1, 1));
    EXPECT_EQ(clipped.GetPixel(5, 1), Numbered(2, 0));
    EXPECT_EQ(clipped.GetPixel(6, 1), 0u);
}

TEST(StretchTransfer, OnePixelWideTargetTakesTheMiddleColumn) {
    TBitmap32 src, dst;
    Number(src, 4, 4);
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
    TBitmap32 edge;
    edge.SetSize(1, 2);
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
        Random(src, sw + 2, sh + 1, static_cast<uint32_t>(sw * dh));
        TRect srcRect{1, 1, 1 + sw, 1 + sh};
        dst.SetSize(dw, dh);
        StretchTransfer(&dst, dst.BoundsRect(), dst.BoundsRect(), &src, srcRect, sfLinear, dmOpaque);
        Random(blended, dw, dh, 99);
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

// The weights of one axis as the formulas give them, written out plainly.
TMappingTable PlainTable(int dstW, int srcW, TStretchFilter f) {
    auto kernel = [f](float x) -> float {
        float a = std::fabs(x);
        switch (f) {
        case sfNearest: return x > -0.5f && x <= 0.5f ? 1.0f : 0.0f;
        case sfLinear: return a < 1 ? 1 - a : 0.0f;
        case sfSpline: return a < 1 ? 0.5f * a * a * a - a * a + 2.0f / 3 : a < 2 ? (2 - a) * (2 - a) * (2 - a) / 6 : 0.0f;
        case sfMitchell:
            return a < 1 ? (7 * a * a * a - 12 * a * a + 16.0f / 3) / 6
                         : a < 2 ? (-7.0f / 3 * a * a * a + 12 * a * a - 20 * a + 32.0f / 3) / 6 : 0.0f;
        case sfLanczos: {
            auto sinc = [](float t) {
                if (t == 0) return 1.0f;
                float pt = static_cast<float>(std::numbers::pi * t);
                return static_cast<float>(std::sin(static_cast<double>(pt)) / pt);
            };
            return a < 3 ? sinc(a) * sinc(a / 3) : 0.0f;
        }
        }
        return 0;
    };
    double width = f == sfLanczos ? 3 : f == sfSpline || f == sfMitchell ? 2 : 1;
    double scale = static_cast<double>(dstW - 1) / (srcW - 1);
    TMappingTable table(dstW);
    for (int k = 0; k < dstW; ++k) {
        double c = k / scale;
        double reach = scale >= 1 ? width : width / scale;
        for (long j = static_cast<long>(std::floor(c - reach)); j <= static_cast<long>(std::ceil(c + reach)); ++j) {
            double w = scale >= 1 ? std::nearbyint(kernel(static_cast<float>(c - j)) * 256.0)
                                  : std::nearbyint(kernel(static_cast<float>((c - j) * scale)) * 256.0 * scale);
            if (w != 0) table[k].push_back({static_cast<int32_t>(std::clamp<long>(j, 0, srcW - 1)), static_cast<int32_t>(w)});
        }
        if (table[k].empty()) table[k].push_back({static_cast<int32_t>(std::floor(c)), 256});
        int sum = 0;
        for (auto& e : table[k]) sum += e.Weight;
        table[k][(table[k].size() - 1) / 2].Weight -= sum - 256;
    }
    return table;
}

// Each destination pixel as the double sum over both clusters of pixel
// times both weights, taking bits 16..23 of each channel's sum.
TColor32 PlainPixel(const TBitmap32& src, const std::vector<TMappingEntry>& cx, const std::vector<TMappingEntry>& cy,
                    bool clamp) {
    TColor32 out = 0;
    for (int s = 0; s < 32; s += 8) {
        int64_t sum = 0;
        for (const auto& ey : cy)
            for (const auto& ex : cx) sum += int64_t{src.GetPixel(ex.Pos, ey.Pos) >> s & 0xFF} * ex.Weight * ey.Weight;
        if (clamp) sum = std::clamp<int64_t>(sum, 0, 0xFF0000);
        out |= static_cast<TColor32>((sum & 0xFF0000) >> 16) << s;
    }
    return out;
}

TEST(Resample, MatchesThePlainTwoDimensionalSum) {
    struct Case {
        int sw, sh, dw, dh;
    };
    for (TStretchFilter f : {sfLinear, sfSpline, sfLanczos, sfMitchell})
        for (Case c : {Case{9, 7, 4, 3}, Case{5, 6, 13, 4}, Case{4, 4, 11, 9}, Case{31, 3, 7, 10}}) {
            if (f == sfLinear && c.dw > c.sw && c.dh > c.sh) continue;  // bilinear path
            TBitmap32 src, dst;
            Random(src, c.sw, c.sh, 17 + c.sw);
            dst.SetSize(c.dw, c.dh);
            StretchTransfer(&dst, dst.BoundsRect(), dst.BoundsRect(), &src, src.BoundsRect(), f, dmOpaque);
            TMappingTable mx = PlainTable(c.dw, c.sw, f), my = PlainTable(c.dh, c.sh, f);
            bool clamp = f == sfLanczos || f == sfMitchell;
            for (int y = 0; y < c.dh; ++y)
                for (int x = 0; x < c.dw; ++x)
                    ASSERT_EQ(dst.GetPixel(x, y), PlainPixel(src, mx[x], my[y], clamp))
                        << int(f) << " " << c.sw << "x" << c.sh << "->" << c.dw << "x" << c.dh << " at " << x << "," << y;
        }
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

TEST(Resample, EnlargingOneWayAndReducingTheOtherUsesTheTriangleKernel) {
    TBitmap32 src, dst;
    Random(src, 3, 8, 5);
    dst.SetSize(7, 3);
    StretchTransfer(&dst, dst.BoundsRect(), dst.BoundsRect(), &src, src.BoundsRect(), sfLinear, dmOpaque);
    TMappingTable mx = PlainTable(7, 3, sfLinear), my = PlainTable(3, 8, sfLinear);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 7; ++x) EXPECT_EQ(dst.GetPixel(x, y), PlainPixel(src, mx[x], my[y], false));
}

TEST(Resample, BlendsAndCallsBack) {
    TBitmap32 src, dst, plain;
    Random(src, 9, 9, 8);
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
