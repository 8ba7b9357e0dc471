// Matrix routines, affine and projective mappings and drawing through them:
// pixels worked out from the mapping rules by hand, or against a plain
// double-precision homography solved here.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "bitmap/Pix32.h"
#include "bitmap/Pix32_Transforms.h"
#include "support/Pixels.h"

namespace {

constexpr TColor32 Background = 0xFF00FF00u;

using thorn::test::ExpectedMix;
using thorn::test::FillNumbered;
using thorn::test::Numbered;

// A matrix from its rows as written on paper.
TFloatMatrix FromRows(std::array<std::array<float, 3>, 3> rows) {
    TFloatMatrix m;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) m[c][r] = rows[r][c];
    return m;
}

void ExpectNear(const TFloatMatrix& a, const TFloatMatrix& b, float tolerance) {
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) EXPECT_NEAR(a[i][j], b[i][j], tolerance) << i << "," << j;
}

// ------------------------------------------------------------- matrices

TEST(Matrix, DeterminantAdjointAndInverse) {
    TFloatMatrix m = FromRows({{{2, 0, 1}, {1, 3, 2}, {1, 1, 2}}});
    EXPECT_FLOAT_EQ(Determinant(m), 6);  // 2*(6-2) - 0 + 1*(1-3)
    TFloatMatrix adj = m;
    Adjoint(adj);
    // The adjugate worked out by cofactors.
    EXPECT_EQ(adj, FromRows({{{4, 1, -3}, {0, 3, -3}, {-2, -2, 6}}}));
    TFloatMatrix scaled = IdentityMatrix;
    Scale(scaled, 6);
    EXPECT_EQ(Mult(adj, m), scaled);

    TFloatMatrix inv = m;
    Invert(inv);
    ExpectNear(Mult(inv, m), IdentityMatrix, 1e-6f);

    TFloatMatrix singular = FromRows({{{1, 2, 3}, {2, 4, 6}, {0, 1, 1}}});
    Invert(singular);
    EXPECT_EQ(singular, IdentityMatrix);
    TFloatMatrix tiny = FromRows({{{0.01f, 0, 0}, {0, 0.01f, 0}, {0, 0, 0.01f}}});  // determinant 1E-6
    Invert(tiny);
    EXPECT_EQ(tiny, IdentityMatrix);
}

TEST(Matrix, ProductActsRightFactorFirst) {
    TFloatMatrix translate = FromRows({{{1, 0, 5}, {0, 1, 7}, {0, 0, 1}}});
    TFloatMatrix scale = FromRows({{{2, 0, 0}, {0, 3, 0}, {0, 0, 1}}});
    TVector3f v{1, 1, 1};
    EXPECT_EQ(VectorTransform(Mult(translate, scale), v), (TVector3f{7, 10, 1}));  // scaled, then moved
    EXPECT_EQ(VectorTransform(Mult(scale, translate), v), (TVector3f{12, 24, 1}));
    EXPECT_EQ(VectorTransform(scale, {4, 5, 0}), (TVector3f{8, 15, 0}));
}

// ------------------------------------------------------------- affine

TEST(AffineTransformation, BuildsTheForwardMatrixInCallOrder) {
    TAffineTransformation t;
    EXPECT_EQ(t.Matrix(), IdentityMatrix);
    t.Scale(2, 2);
    t.Translate(5, 0);
    EXPECT_EQ(VectorTransform(t.Matrix(), {1, 1, 1}), (TVector3f{7, 2, 1}));
    t.Clear();
    t.Skew(0.5f, 0);
    EXPECT_EQ(VectorTransform(t.Matrix(), {2, 4, 1}), (TVector3f{4, 4, 1}));
    t.Clear();
    t.Rotate(5, 5, 180);
    TVector3f p = VectorTransform(t.Matrix(), {0, 0, 1});
    EXPECT_NEAR(p[0], 10, 1e-5);
    EXPECT_NEAR(p[1], 10, 1e-5);
}

TEST(AffineTransformation, EveryChangeAsksForANewPreparation) {
    TAffineTransformation t;
    t.PrepareTransform();
    EXPECT_TRUE(t.TransformValid());
    t.Translate(1, 1);
    EXPECT_FALSE(t.TransformValid());
    t.PrepareTransform();
    t.SetSrcRect({0, 0, 1, 1});
    EXPECT_FALSE(t.TransformValid());
    t.PrepareTransform();
    t.Clear();
    EXPECT_FALSE(t.TransformValid());
}

TEST(AffineTransformation, ScaleTwoHalvesDestinationPoints) {
    TAffineTransformation t;
    t.Scale(2, 2);
    t.PrepareTransform();
    EXPECT_EQ(t.A, 2048);
    EXPECT_EQ(t.B, 0);
    EXPECT_EQ(t.E, 2048);
    int32_t x, y;
    t.Transform(20, 20, x, y);
    EXPECT_EQ(x, 10);
    EXPECT_EQ(y, 10);
    t.Transform(21, -1, x, y);  // (21*2048 + 2047) >> 12 and (-2048 + 2047) >> 12
    EXPECT_EQ(x, 10);
    EXPECT_EQ(y, -1);
    t.Transform256(21, 20, x, y);
    EXPECT_EQ(x, (21 * 2048 + 7) >> 4);
    EXPECT_EQ(y, 2560);
}

TEST(AffineTransformation, QuarterTurnSwapsTheFootprint) {
    TAffineTransformation t;
    t.SetSrcRect({0, 0, 10, 20});
    t.Rotate(0, 0, 90);
    TRect r = t.GetTransformedBounds();
    EXPECT_EQ(r.Width(), 20);
    EXPECT_EQ(r.Height(), 10);
    EXPECT_EQ(r, (TRect{0, -10, 20, 0}));  // Round(-0.5) and Round(20.5) go to even
}

TEST(AffineTransformation, LargeProductsDoNotWrap) {
    TAffineTransformation t;
    t.Scale(1.0f / 256, 1024);  // the inverse scales x by 256: A = 1048576
    t.PrepareTransform();
    ASSERT_EQ(t.A, 1048576);
    ASSERT_EQ(t.E, 4);
    int32_t x, y;
    t.Transform(5000, 3000, x, y);  // 5000 * 1048576 needs 33 bits
    EXPECT_EQ(x, 1280000);
    EXPECT_EQ(y, 3);
    t.Transform(10000000, 0, x, y);  // beyond 32 bits: saturated, far outside any picture
    EXPECT_EQ(x, std::numeric_limits<int32_t>::max());
    t.Transform(-10000000, 0, x, y);
    EXPECT_EQ(x, std::numeric_limits<int32_t>::min());
    t.Transform256(1000, 0, x, y);
    EXPECT_EQ(x, 1000 * 256 * 256);
    t.Transform256(100000, 0, x, y);
    EXPECT_EQ(x, std::numeric_limits<int32_t>::max());

    t.Clear();
    t.Scale(1.0f / 1024, 1.0f / 1024);  // determinant below 1E-5: taken as singular
    t.PrepareTransform();
    EXPECT_EQ(t.A, 4096);
    EXPECT_EQ(t.E, 4096);
}

// ------------------------------------------------------------- drawing

TEST(TransformDrawing, ScaledByTwoNearest) {
    TBitmap32 src, dst;
    FillNumbered(src, 3, 3);
    dst.SetSize(8, 8);
    dst.Clear(Background);
    TAffineTransformation t;
    t.SetSrcRect({0, 0, 3, 3});
    t.Scale(2, 2);
    Transform(&dst, &src, t);
    // Destination (i, j) takes source (floor(i/2), floor(j/2)); columns and
    // rows from 6 on fall past the source.
    for (int32_t j = 0; j < 8; ++j)
        for (int32_t i = 0; i < 8; ++i)
            EXPECT_EQ(dst.GetPixel(i, j), i < 6 && j < 6 ? Numbered(i / 2, j / 2) : Background) << i << "," << j;
}

TEST(TransformDrawing, QuarterTurnNearest) {
    TBitmap32 src, dst;
    FillNumbered(src, 3, 2);
    dst.SetSize(4, 5);
    dst.Clear(Background);
    TAffineTransformation t;
    t.SetSrcRect({0, 0, 3, 2});
    t.Rotate(0, 0, 90);  // (x, y) goes to (y, -x) ...
    t.Translate(0, 3);   // ... then down by the width: (y, 3 - x)
    Transform(&dst, &src, t);
    for (int32_t j = 0; j < 5; ++j)
        for (int32_t i = 0; i < 4; ++i) {
            int32_t sx = 3 - j, sy = i;
            bool inside = sx >= 0 && sx <= 2 && sy >= 0 && sy <= 1;
            EXPECT_EQ(dst.GetPixel(i, j), inside ? Numbered(sx, sy) : Background) << i << "," << j;
        }
}

TEST(TransformDrawing, HalfPixelShiftMixesNeighboursAndTheOuterColour) {
    TBitmap32 src, dst;
    src.SetSize(4, 2);
    const TColor32 pixels[2][4] = {{0xFF102030u, 0xFFF0E0D0u, 0x80404040u, 0xFF00FF7Fu},
                                   {0xFFFFFFFFu, 0xFF000000u, 0xFF123456u, 0x00FEDCBAu}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) src.SetPixel(x, y, pixels[y][x]);
    src.SetStretchFilter(sfLinear);
    src.SetOuterColor(0x40AABBCCu);
    dst.SetSize(6, 3);
    dst.Clear(Background);
    TAffineTransformation t;
    t.SetSrcRect({0, 0, 4, 2});
    t.Translate(0.5f, 0);
    Transform(&dst, &src, t);

    // The inverse is x - 0.5: destination column i reads source column
    // i - 1 with fraction 128 (weight 127 for the left pixel), row j with
    // fraction 0 (weight 255 for the upper row). The band reaches one pixel
    // past the source on every side, where the outer colour stands in.
    auto at = [&](int x, int y) { return x >= 0 && x < 4 && y >= 0 && y < 2 ? pixels[y][x] : src.OuterColor(); };
    for (int32_t j = 0; j < 3; ++j)
        for (int32_t i = 0; i < 6; ++i) {
            int x = i - 1, y = j;
            TColor32 expected = Background;
            if (x >= -1 && x <= 3 && y <= 1)
                expected = ExpectedMix(ExpectedMix(at(x, y), at(x + 1, y), 127),
                                       ExpectedMix(at(x, y + 1), at(x + 1, y + 1), 127), 255);
            EXPECT_EQ(dst.GetPixel(i, j), expected) << i << "," << j;
        }
}

TEST(TransformDrawing, BlendAndCustomModes) {
    TBitmap32 src, dst;
    src.SetSize(2, 1);
    src.SetPixel(0, 0, 0x80FF0000u);
    src.SetPixel(1, 0, 0xFF0000FFu);
    src.SetDrawMode(dmBlend);
    src.SetMasterAlpha(100);
    dst.SetSize(2, 1);
    dst.Clear(0xFF00FF00u);
    TAffineTransformation t;
    t.SetSrcRect({0, 0, 2, 1});
    Transform(&dst, &src, t);
    EXPECT_EQ(dst.GetPixel(0, 0), ExpectedMix(0x80FF0000u, 0xFF00FF00u, (101 * 0x80) >> 8));
    EXPECT_EQ(dst.GetPixel(1, 0), ExpectedMix(0xFF0000FFu, 0xFF00FF00u, (101 * 0xFF) >> 8));

    int calls = 0;
    src.SetDrawMode(dmCustom);
    src.OnPixelCombine = [&](TColor32 f, TColor32& b, TColor32 m) {
        ++calls;
        b = f ^ m;
    };
    Transform(&dst, &src, t);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(dst.GetPixel(0, 0), 0x80FF0000u ^ 100u);

    src.OnPixelCombine = nullptr;  // custom without a callback copies
    Transform(&dst, &src, t);
    EXPECT_EQ(dst.GetPixel(1, 0), 0xFF0000FFu);
}

TEST(TransformDrawing, NothingOutsideTheSourceOrIntoEmptyBitmaps) {
    TBitmap32 src, dst, empty;
    FillNumbered(src, 4, 4);
    dst.SetSize(4, 4);
    dst.Clear(Background);
    TAffineTransformation t;
    t.SetSrcRect({10, 10, 20, 20});  // wholly outside the source
    t.Translate(-10, -10);
    Transform(&dst, &src, t);
    for (int32_t i = 0; i < 16; ++i) EXPECT_EQ(dst.Bits()[i], Background);
    t.SetSrcRect({0, 0, 4, 4});
    Transform(&dst, &empty, t);
    Transform(&empty, &src, t);
    Transform(nullptr, &src, t);
    Transform(&dst, nullptr, t);
    for (int32_t i = 0; i < 16; ++i) EXPECT_EQ(dst.Bits()[i], Background);
}

// ------------------------------------------------------------- projective

TEST(ProjectiveTransformation, OwnCornersMapEveryPixelOntoItself) {
    TBitmap32 src, dst;
    FillNumbered(src, 5, 4);
    dst.SetSize(5, 4);
    TProjectiveTransformation t;
    t.SetSrcRect({0, 0, 5, 4});
    t.SetX0(0), t.SetY0(0), t.SetX1(5), t.SetY1(0), t.SetX2(5), t.SetY2(4), t.SetX3(0), t.SetY3(4);
    Transform(&dst, &src, t);
    for (int32_t j = 0; j < 4; ++j)
        for (int32_t i = 0; i < 5; ++i) EXPECT_EQ(dst.GetPixel(i, j), Numbered(i, j));
    EXPECT_EQ(t.GetTransformedBounds(), (TRect{0, 0, 6, 4}));
}

TEST(ProjectiveTransformation, DegenerateShapeFallsBackToIdentity) {
    TProjectiveTransformation t;
    t.SetSrcRect({0, 0, 4, 4});
    // Three corners on one line and the fourth off it: k = 0.
    t.SetX0(0), t.SetY0(0), t.SetX1(2), t.SetY1(0), t.SetX2(4), t.SetY2(0), t.SetX3(1), t.SetY3(3);
    t.PrepareTransform();
    EXPECT_EQ(t.Wx, IdentityMatrix);
    t.SetX1(4), t.SetX3(0), t.SetY2(4), t.SetY3(4);
    t.SetSrcRect({2, 0, 2, 4});  // no width
    t.PrepareTransform();
    EXPECT_EQ(t.Wx, IdentityMatrix);
}

// The destination-to-source homography through the four corner pairs,
// solved directly in double precision.
struct Homography {
    std::array<double, 8> k{};

    Homography(const std::array<double, 8>& quad, const std::array<double, 8>& rect) {
        double a[8][9] = {};
        for (int c = 0; c < 4; ++c) {
            double x = quad[2 * c], y = quad[2 * c + 1], u = rect[2 * c], v = rect[2 * c + 1];
            double rowU[9] = {x, y, 1, 0, 0, 0, -u * x, -u * y, u};
            double rowV[9] = {0, 0, 0, x, y, 1, -v * x, -v * y, v};
            for (int i = 0; i < 9; ++i) a[2 * c][i] = rowU[i], a[2 * c + 1][i] = rowV[i];
        }
        for (int col = 0; col < 8; ++col) {
            int pivot = col;
            for (int r = col + 1; r < 8; ++r)
                if (std::fabs(a[r][col]) > std::fabs(a[pivot][col])) pivot = r;
            for (int i = 0; i < 9; ++i) std::swap(a[col][i], a[pivot][i]);
            for (int r = 0; r < 8; ++r) {
                if (r == col) continue;
                double f = a[r][col] / a[col][col];
                for (int i = 0; i < 9; ++i) a[r][i] -= f * a[col][i];
            }
        }
        for (int i = 0; i < 8; ++i) k[i] = a[i][8] / a[i][i];
    }

    // False where the point has no image.
    bool Map(double x, double y, double& u, double& v) const {
        double w = k[6] * x + k[7] * y + 1;
        if (std::fabs(w) < 1e-6) return false;
        u = (k[0] * x + k[1] * y + k[2]) / w;
        v = (k[3] * x + k[4] * y + k[5]) / w;
        return true;
    }
};

bool NearHalf(double v) { return std::fabs(v - std::floor(v) - 0.5) < 1e-3; }

TEST(ProjectiveTransformation, QuadrilateralAgainstAnIndependentHomography) {
    TBitmap32 src, dst;
    FillNumbered(src, 16, 12);
    dst.SetSize(24, 18);
    dst.Clear(Background);
    const std::array<double, 8> quad{2, 1, 20, 3, 17, 15, 1, 12};
    TProjectiveTransformation t;
    t.SetSrcRect({0, 0, 16, 12});
    t.SetX0(2), t.SetY0(1), t.SetX1(20), t.SetY1(3), t.SetX2(17), t.SetY2(15), t.SetX3(1), t.SetY3(12);
    Transform(&dst, &src, t);
    EXPECT_EQ(t.GetTransformedBounds(), (TRect{0, 0, 20, 16}));

    Homography h(quad, {0, 0, 16, 0, 16, 12, 0, 12});
    int checked = 0;
    for (int32_t j = 0; j < 18; ++j)
        for (int32_t i = 0; i < 24; ++i) {
            TColor32 expected = Background;
            double u, v;
            if (i <= 20 && j <= 16 && h.Map(i, j, u, v)) {
                if (NearHalf(u) || NearHalf(v)) continue;
                int32_t x = static_cast<int32_t>(std::nearbyint(u)), y = static_cast<int32_t>(std::nearbyint(v));
                if (x >= 0 && x <= 15 && y >= 0 && y <= 11) expected = Numbered(x, y);
            }
            EXPECT_EQ(dst.GetPixel(i, j), expected) << i << "," << j;
            ++checked;
        }
    EXPECT_GT(checked, 400);
}

TEST(ProjectiveTransformation, VanishingLineMapsToNoSourcePixel) {
    TBitmap32 src, dst;
    FillNumbered(src, 8, 8);
    dst.SetSize(8, 8);
    dst.Clear(Background);
    TProjectiveTransformation t;
    t.SetSrcRect({0, 0, 8, 8});
    t.SetX0(0), t.SetY0(0), t.SetX1(8), t.SetY1(0), t.SetX2(8), t.SetY2(8), t.SetX3(0), t.SetY3(8);
    t.PrepareTransform();
    // An inverse mapping (X, Y) / (X - 3): its divisor is exactly 0 on the
    // whole of column 3.
    t.Wx = TFloatMatrix{{{1, 0, 1}, {0, 1, 0}, {0, 0, -3}}};
    int32_t x = 0, y = 0;
    t.Transform(3, 5, x, y);
    EXPECT_EQ(x, TTransformation::NoSource);
    EXPECT_EQ(y, TTransformation::NoSource);
    t.Transform256(3, 0, x, y);
    EXPECT_EQ(x, TTransformation::NoSource);
    t.Transform(5, 4, x, y);  // (5 / 2, 4 / 2) rounded to even
    EXPECT_EQ(x, 2);
    EXPECT_EQ(y, 2);

    Transform(&dst, &src, t);
    for (int32_t j = 0; j < 8; ++j)
        for (int32_t i = 0; i < 8; ++i) {
            TColor32 expected = Background;
            if (i != 3) {
                int32_t sx = static_cast<int32_t>(std::nearbyint(i / (i - 3.0)));
                int32_t sy = static_cast<int32_t>(std::nearbyint(j / (i - 3.0)));
                if (sx >= 0 && sx < 8 && sy >= 0 && sy < 8) expected = Numbered(sx, sy);
            }
            EXPECT_EQ(dst.GetPixel(i, j), expected) << i << "," << j;
        }

    // The sub-pixel path skips the line too.
    dst.Clear(Background);
    src.SetStretchFilter(sfLinear);
    Transform(&dst, &src, t);
    for (int32_t j = 0; j < 8; ++j) EXPECT_EQ(dst.GetPixel(3, j), Background);
}

// ------------------------------------------------------------- borders

TEST(SetBorderTransparent, ClearsTheOutlineAlphaOnly) {
    TBitmap32 b;
    FillNumbered(b, 5, 4);
    int changes = 0;
    b.OnChange = [&](TObject*) { ++changes; };
    SetBorderTransparent(b, b.BoundsRect());  // right and bottom clipped to the last pixel
    EXPECT_EQ(changes, 1);
    for (int32_t y = 0; y < 4; ++y)
        for (int32_t x = 0; x < 5; ++x) {
            bool ring = x == 0 || y == 0 || x == 4 || y == 3;
            EXPECT_EQ(b.GetPixel(x, y), ring ? Numbered(x, y) & 0x00FFFFFFu : Numbered(x, y)) << x << "," << y;
        }

    FillNumbered(b, 5, 4);
    SetBorderTransparent(b, TRect{3, 2, 1, 1});  // spans put in order first: columns 1..3, rows 1..2
    for (int32_t y = 0; y < 4; ++y)
        for (int32_t x = 0; x < 5; ++x) {
            bool ring = x >= 1 && x <= 3 && y >= 1 && y <= 2;
            EXPECT_EQ(b.GetPixel(x, y) >> 24, ring ? 0u : 0xFFu) << x << "," << y;
        }

    FillNumbered(b, 5, 4);
    SetBorderTransparent(b, TRect{7, 0, 9, 3});  // beside the bitmap
    for (int32_t i = 0; i < 20; ++i) EXPECT_EQ(b.Bits()[i] >> 24, 0xFFu);
}

}  // namespace
