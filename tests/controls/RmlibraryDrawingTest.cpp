#include <gtest/gtest.h>

#include "bitmap/Pix32.h"
#include "controls/Rmlibrary_Drawing.h"
#include "controls/Rmlibrary_Numbers.h"
#include "platform/Text.h"

namespace {

constexpr TColor32 kWhite = 0xFFFFFFFFu;

TColor32 Opaque(TColor color) { return 0xFF000000u | (ColorToRGB(color) & 0xFF) << 16 | (ColorToRGB(color) & 0xFF00) |
                                       (ColorToRGB(color) >> 16 & 0xFF); }

class Drawing : public ::testing::Test {
protected:
    Drawing() {
        bitmap.SetSize(260, 60);
        bitmap.Clear(kWhite);
        canvas().Pen().SetColor(clFuchsia);
        canvas().Brush().SetColor(clAqua);
    }
    TCanvas& canvas() { return *bitmap.Canvas(); }
    TColor32 At(int x, int y) const { return bitmap.GetPixel(x, y); }
    uint8_t Red(int x, int y) const { return static_cast<uint8_t>(At(x, y) >> 16); }
    // The pen and brush the drawing routines must hand back.
    void ExpectToolsKept() {
        EXPECT_EQ(canvas().Pen().GetColor(), clFuchsia);
        EXPECT_EQ(canvas().Brush().GetColor(), clAqua);
        EXPECT_EQ(canvas().Brush().GetStyle(), bsSolid);
    }
    TBitmap32 bitmap;
};

TEST_F(Drawing, ColourBands) {
    GradientFillColors(canvas(), {clRed, clLime, clBlue}, {10, 5, 40, 15});
    EXPECT_EQ(At(10, 5), Opaque(clRed));
    EXPECT_EQ(At(19, 14), Opaque(clRed));
    EXPECT_EQ(At(20, 5), Opaque(clLime));
    EXPECT_EQ(At(39, 14), Opaque(clBlue));
    EXPECT_EQ(At(40, 5), kWhite);
    EXPECT_EQ(At(10, 15), kWhite);
    EXPECT_EQ(At(9, 5), kWhite);
    ExpectToolsKept();
}

TEST_F(Drawing, LinearAndShrinkingGradients) {
    // 255 bands: one column each on a strip of 255.
    GradientFill(canvas(), clBlack, clWhite, {0, 0, 255, 10}, gfLinear);
    EXPECT_EQ(At(0, 5), Opaque(clBlack));
    EXPECT_EQ(At(127, 9), 0xFF808080u);
    EXPECT_EQ(At(254, 0), Opaque(clWhite));
    EXPECT_EQ(At(254, 10), kWhite) << "below the rectangle";
    EXPECT_EQ(At(255, 5), kWhite);

    // Ten steps in 20 x 20: ring k has MulDiv(k, 255, 9) of red.
    struct Case {
        TGradientFill style;
        TColor32 corner;  // (20, 20): outside the rounded and oval shapes
        TColor32 edge;    // (30, 20): the outermost step
    } const cases[] = {{gfRectangle, 0xFF000000u, 0xFF000000u},
                       {gfRoundRect, kWhite, 0xFF000000u},
                       {gfOval, kWhite, 0xFF000000u}};
    for (const auto& [style, corner, edge] : cases) {
        SCOPED_TRACE(style);
        bitmap.Clear(kWhite);
        GradientFill(canvas(), clBlack, clRed, {20, 20, 40, 40}, style);
        EXPECT_EQ(At(20, 20), corner);
        EXPECT_EQ(At(30, 20), edge);
        EXPECT_EQ(At(30, 22), 0xFF000000u | MulDiv(2, 255, 9) << 16);
        EXPECT_EQ(At(29, 29), Opaque(clRed));
        EXPECT_EQ(At(40, 30), kWhite);
        ExpectToolsKept();
    }
}

TEST_F(Drawing, RadialGradientTurnsOnceRoundTheRectangle) {
    // Start on the left, the end colour half a turn on, on the right.
    GradientFill(canvas(), clBlack, clRed, {20, 10, 60, 50}, gfRadial);
    EXPECT_LT(Red(22, 30), 10);
    EXPECT_GT(Red(58, 30), 245);
    EXPECT_NEAR(Red(40, 12), 128, 8);  // a quarter turn: half way
    EXPECT_NEAR(Red(40, 48), 128, 8);
    EXPECT_EQ(At(19, 30), kWhite);  // drawn in the rectangle, not at the canvas origin
    EXPECT_EQ(At(21, 11), kWhite);  // outside the ellipse
    ExpectToolsKept();
}

// Every pixel a different colour.
void Number(TBitmap32& b, int width, int height) {
    b.SetSize(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) b.SetPixel(x, y, 0xFF000000u | static_cast<uint32_t>(y * width + x));
}

TEST_F(Drawing, TurnedPictures) {
    TBitmap32 source;
    Number(source, 4, 4);
    struct Case {
        double angle;
        TPoint (*from)(int x, int y);  // the source pixel of (x, y)
    } const cases[] = {
        {0, [](int x, int y) { return TPoint{x, y}; }},
        {90, [](int x, int y) { return TPoint{3 - y, x}; }},
        {180, [](int x, int y) { return TPoint{3 - x, 3 - y}; }},
        {-90, [](int x, int y) { return TPoint{y, 3 - x}; }},
    };
    for (const auto& [angle, from] : cases) {
        TBitmap32 turned;
        RotateImage(turned, source, angle);
        ASSERT_EQ(turned.Width(), 4);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x) {
                const TPoint p = from(x, y);
                EXPECT_EQ(turned.GetPixel(x, y), source.GetPixel(p.X, p.Y)) << angle << ": " << x << "," << y;
            }
    }

    // Corners turned in from outside the source are grey; a picture can be
    // turned in place.
    TBitmap32 square;
    Number(square, 10, 10);
    const TColor32 middle = square.GetPixel(5, 5);
    RotateImage(square, square, 45);
    EXPECT_EQ(square.GetPixel(0, 0), 0xFFC0C0C0u);
    EXPECT_EQ(square.GetPixel(9, 9), 0xFFC0C0C0u);
    EXPECT_EQ(square.GetPixel(5, 5), middle);
}

TEST_F(Drawing, TurnedTextSitsInItsSquare) {
    canvas().Font().SetName("Arial");
    canvas().Font().SetHeight(-14);
    canvas().Brush().SetStyle(bsClear);
    const TSize extent = canvas().TextExtent("Thorn");
    const int d = RectDiameter({0, 0, extent.cx, extent.cy});
    for (int angle : {0, 90, 45}) {
        SCOPED_TRACE(angle);
        bitmap.Clear(kWhite);
        RotateText(canvas(), "Thorn", {10, 5, 11, 6}, angle);
        TRect ink{260, 60, 0, 0};
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 260; ++x)
                if (At(x, y) != kWhite)
                    ink = {std::min(ink.Left, x), std::min(ink.Top, y), std::max(ink.Right, x + 1),
                           std::max(ink.Bottom, y + 1)};
        EXPECT_GE(ink.Left, 10);
        EXPECT_GE(ink.Top, 5);
        EXPECT_LE(ink.Right, 10 + d);
        EXPECT_LE(ink.Bottom, 5 + d);
        if (angle == 0) {
            EXPECT_GT(ink.Width(), ink.Height());
        } else if (angle == 90) {
            EXPECT_GT(ink.Height(), ink.Width());
        }
    }
}

// Turned counter-clockwise: the text reads upwards at 90 degrees and
// downwards at 270, so its heavy start lies at the bottom or the top.
TEST_F(Drawing, TurnedTextReadsUpwardsAtNinetyDegrees) {
    canvas().Font().SetName("Arial");
    canvas().Font().SetHeight(-14);
    canvas().Brush().SetStyle(bsClear);
    bitmap.SetSize(260, 160);
    for (int angle : {90, 270}) {
        SCOPED_TRACE(angle);
        bitmap.Clear(kWhite);
        RotateText(canvas(), "WWW......", {10, 20, 11, 21}, angle);
        int top = 0, bottom = 0, firstRow = 160, lastRow = 0;
        for (int y = 0; y < 160; ++y)
            for (int x = 0; x < 260; ++x)
                if (At(x, y) != kWhite) firstRow = std::min(firstRow, y), lastRow = std::max(lastRow, y);
        for (int y = firstRow; y <= lastRow; ++y)
            for (int x = 0; x < 260; ++x)
                if (At(x, y) != kWhite) (2 * y < firstRow + lastRow ? top : bottom) += 1;
        if (angle == 90) {
            EXPECT_GT(bottom, 2 * top);
        } else {
            EXPECT_GT(top, 2 * bottom);
        }
    }
}

}  // namespace
