#include <gtest/gtest.h>

#include <array>
#include <set>
#include <utility>

#include "bitmap/Canvas.h"
#include "bitmap/Pix32.h"
#include "platform/Text.h"

namespace {

constexpr TColor32 kWhite = 0xFFFFFFFFu;
constexpr TColor32 kRed = 0xFFFF0000u;
constexpr TColor32 kBlue = 0xFF0000FFu;

class BitmapCanvas : public ::testing::Test {
protected:
    BitmapCanvas() {
        bitmap.SetSize(20, 20);
        bitmap.Clear(kWhite);
    }
    TBitmap32 bitmap;
    TCanvas& canvas() { return *bitmap.Canvas(); }
    TColor32 At(int x, int y) const { return bitmap.GetPixel(x, y); }
};

TEST_F(BitmapCanvas, TheBitmapsCanvasDrawsIntoItsPixelsAndReportsChanges) {
    int changes = 0;
    bitmap.OnChange = [&](TObject*) { ++changes; };
    canvas().Brush().SetColor(clRed);
    canvas().FillRect({2, 3, 5, 6});
    EXPECT_EQ(At(2, 3), kRed);
    EXPECT_EQ(At(4, 5), kRed);
    EXPECT_EQ(At(5, 5), kWhite);  // half-open
    EXPECT_EQ(At(4, 6), kWhite);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(canvas().GetPixel(3, 4), clRed);
    canvas().Brush().SetStyle(bsClear);
    canvas().FillRect({0, 0, 20, 20});
    EXPECT_EQ(At(0, 0), kWhite);
}

TEST_F(BitmapCanvas, LinesLeaveOutTheirLastPointAndMoveThePen) {
    canvas().Pen().SetColor(clBlue);
    canvas().MoveTo(1, 1);
    canvas().LineTo(6, 1);
    EXPECT_EQ(At(1, 1), kBlue);
    EXPECT_EQ(At(5, 1), kBlue);
    EXPECT_EQ(At(6, 1), kWhite);
    EXPECT_EQ(canvas().GetPenPos(), (TPoint{6, 1}));
    std::array<TPoint, 3> path{TPoint{0, 10}, TPoint{0, 15}, TPoint{5, 15}};
    canvas().Polyline(path);
    EXPECT_EQ(At(0, 14), kBlue);
    EXPECT_EQ(At(0, 15), kBlue);  // a corner is drawn by the next segment
    EXPECT_EQ(At(5, 15), kWhite);

    canvas().Pen().SetStyle(psDot);
    canvas().MoveTo(0, 19);
    canvas().LineTo(12, 19);
    std::string dots;
    for (int x = 0; x < 12; ++x) dots += At(x, 19) == kBlue ? '#' : '.';
    EXPECT_EQ(dots, "###...###...");
}

TEST_F(BitmapCanvas, RectanglesFrameWithThePenAndFillWithTheBrush) {
    canvas().Pen().SetColor(clBlue);
    canvas().Brush().SetColor(clRed);
    canvas().Rectangle(2, 2, 7, 6);
    EXPECT_EQ(At(2, 2), kBlue);
    EXPECT_EQ(At(6, 5), kBlue);
    EXPECT_EQ(At(7, 5), kWhite);
    EXPECT_EQ(At(3, 3), kRed);
    EXPECT_EQ(At(5, 4), kRed);
    canvas().Brush().SetColor(clBlack);
    canvas().FrameRect({10, 10, 14, 14});
    EXPECT_EQ(At(10, 13), 0xFF000000u);
    EXPECT_EQ(At(11, 11), kWhite);
}

TEST_F(BitmapCanvas, XorAndFocusRectanglesUndoThemselves) {
    canvas().Brush().SetColor(clRed);
    canvas().FillRect({0, 0, 10, 10});
    canvas().DrawFocusRect({1, 1, 9, 9});
    EXPECT_NE(At(1, 1), kRed);  // dotted: every other pixel inverted
    EXPECT_EQ(At(2, 1), kRed);
    canvas().DrawFocusRect({1, 1, 9, 9});
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) ASSERT_EQ(At(x, y), kRed) << x << "," << y;

    canvas().Pen().SetMode(pmXor);
    canvas().Pen().SetColor(clWhite);
    canvas().MoveTo(0, 5);
    canvas().LineTo(10, 5);
    EXPECT_EQ(At(3, 5), 0xFF00FFFFu);
    canvas().MoveTo(0, 5);
    canvas().LineTo(10, 5);
    EXPECT_EQ(At(3, 5), kRed);
}

TEST_F(BitmapCanvas, OriginAndClipPlaceAControlsDrawing) {
    canvas().SetPlacement(&bitmap, {5, 5}, {5, 5, 10, 10});
    canvas().Brush().SetColor(clRed);
    canvas().FillRect({-10, -10, 100, 100});
    EXPECT_EQ(At(4, 4), kWhite);
    EXPECT_EQ(At(5, 5), kRed);
    EXPECT_EQ(At(9, 9), kRed);
    EXPECT_EQ(At(10, 10), kWhite);
    EXPECT_EQ(canvas().GetClipRect(), (TRect{0, 0, 5, 5}));
    canvas().Pen().SetColor(clBlue);
    canvas().MoveTo(-5, 2);
    canvas().LineTo(20, 2);
    EXPECT_EQ(At(4, 7), kWhite);
    EXPECT_EQ(At(5, 7), kBlue);
    EXPECT_EQ(At(10, 7), kWhite);
}

TEST_F(BitmapCanvas, ShapesFillTheirInside) {
    canvas().Pen().SetStyle(psClear);
    canvas().Brush().SetColor(clBlue);
    std::array<TPoint, 3> triangle{TPoint{0, 0}, TPoint{10, 0}, TPoint{0, 10}};
    canvas().Polygon(triangle);
    EXPECT_EQ(At(1, 1), kBlue);
    EXPECT_EQ(At(8, 0), kBlue);
    EXPECT_EQ(At(8, 8), kWhite);
    bitmap.Clear(kWhite);
    canvas().Ellipse(0, 0, 20, 20);
    EXPECT_EQ(At(10, 10), kBlue);
    EXPECT_EQ(At(0, 0), kWhite);
    EXPECT_EQ(At(19, 19), kWhite);
    // The disc is symmetric.
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 10; ++x) ASSERT_EQ(At(x, y), At(19 - x, y)) << x << "," << y;
}

// A triangle outlined and filled in one colour is whole: the fill meets the
// outline that runs through its corners' pixels, with no gap inside and
// nothing outside. The pixels at distance i from the tip span 2i + 1.
TEST_F(BitmapCanvas, AnOutlinedFilledTriangleIsWhole) {
    canvas().Pen().SetColor(clBlue);
    canvas().Brush().SetColor(clBlue);
    struct Triangle {
        const char* what;
        std::array<TPoint, 3> corners;
        TPoint tip, away, across;  // the tip, one step away from it, one step across
    };
    const Triangle triangles[] = {
        {"pointing left", {TPoint{4, 8}, TPoint{7, 5}, TPoint{7, 11}}, {4, 8}, {1, 0}, {0, 1}},
        {"pointing right", {TPoint{10, 8}, TPoint{7, 5}, TPoint{7, 11}}, {10, 8}, {-1, 0}, {0, 1}},
        {"pointing up", {TPoint{8, 4}, TPoint{5, 7}, TPoint{11, 7}}, {8, 4}, {0, 1}, {1, 0}},
        {"pointing down", {TPoint{8, 10}, TPoint{5, 7}, TPoint{11, 7}}, {8, 10}, {0, -1}, {1, 0}},
    };
    for (const Triangle& t : triangles) {
        SCOPED_TRACE(t.what);
        bitmap.Clear(kWhite);
        canvas().Polygon(t.corners);
        std::set<std::pair<int, int>> expected, drawn;
        for (int i = 0; i <= 3; ++i)
            for (int j = -i; j <= i; ++j)
                expected.insert({t.tip.X + i * t.away.X + j * t.across.X, t.tip.Y + i * t.away.Y + j * t.across.Y});
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x)
                if (At(x, y) == kBlue) drawn.insert({x, y});
        EXPECT_EQ(drawn, expected);
    }
}

TEST_F(BitmapCanvas, CopiesAreRawAndStretchByNearestPixel) {
    TBitmap32 source;
    source.SetSize(2, 1);
    source.SetPixel(0, 0, 0x00FF0000u);  // transparent red copies as it is
    source.SetPixel(1, 0, kBlue);
    canvas().StretchDraw({0, 0, 4, 2}, source);
    EXPECT_EQ(At(1, 1), 0x00FF0000u);
    EXPECT_EQ(At(2, 0), kBlue);
    EXPECT_EQ(At(4, 0), kWhite);
    canvas().Draw(18, 19, source);  // clipped at the edge
    EXPECT_EQ(At(18, 19), 0x00FF0000u);
    EXPECT_EQ(At(19, 19), kBlue);
}

TEST_F(BitmapCanvas, TextUsesThePlatformsMeasures) {
    canvas().Font().SetName("Tahoma");
    canvas().Font().SetSize(8);
    TSize extent = canvas().TextExtent("Province");
    EXPECT_EQ(extent, thorn::TextExtent(canvas().Font(), "Province"));
    canvas().Brush().SetColor(clRed);
    canvas().TextOut(1, 2, "Wi");
    EXPECT_EQ(canvas().GetPenPos().X, 1 + canvas().TextWidth("Wi"));
    // The opaque background fills the text cell.
    EXPECT_EQ(At(1, 2), kRed);
    TRect r{0, 0, 100, 0};
    int height = canvas().DrawText(r, DT_CALCRECT | DT_SINGLELINE, "Province");
    EXPECT_EQ(height, extent.cy);
    EXPECT_EQ(r.Right, extent.cx);
}

TEST_F(BitmapCanvas, RoundedRectanglesAndWedges) {
    canvas().Pen().SetColor(clRed);
    canvas().Brush().SetColor(clBlue);
    canvas().RoundRect(0, 0, 20, 20, 10, 10);
    EXPECT_EQ(At(0, 0), kWhite);  // cut off by the rounded corner
    EXPECT_EQ(At(10, 0), kRed);
    EXPECT_EQ(At(19, 10), kRed);
    EXPECT_EQ(At(10, 10), kBlue);
    EXPECT_EQ(At(1, 1), kRed);  // on the corner's curve

    struct Wedge {
        TPoint from, to;
        std::array<bool, 4> filled;  // quarters right-top, left-top, left-bottom, right-bottom
    } const wedges[] = {
        {{20, 10}, {10, 0}, {true, false, false, false}},
        {{10, 0}, {20, 10}, {false, true, true, true}},  // the long way round
        {{0, 10}, {20, 10}, {false, false, true, true}},
        {{19, 0}, {29, -10}, {true, true, true, true}},  // the same ray: the whole ellipse
    };
    canvas().Pen().SetColor(clBlue);
    for (const auto& [from, to, filled] : wedges) {
        bitmap.Clear(kWhite);
        canvas().Pie(0, 0, 20, 20, from.X, from.Y, to.X, to.Y);
        const TPoint probes[] = {{15, 5}, {5, 5}, {5, 15}, {15, 15}};
        for (int q = 0; q < 4; ++q)
            EXPECT_EQ(At(probes[q].X, probes[q].Y), filled[q] ? kBlue : kWhite) << from.X << "," << from.Y << " " << q;
        EXPECT_EQ(At(0, 0), kWhite);
    }
}

TEST_F(BitmapCanvas, TurnedTextIsThePlatformsAtTheOriginWithTheBrush) {
    canvas().Font().SetName("Arial");
    canvas().Font().SetHeight(-12);
    canvas().Brush().SetColor(clRed);
    canvas().SetPlacement(&bitmap, {3, 4}, bitmap.BoundsRect());
    canvas().TurnedTextOut(6, 5, "Ab", 900);
    TBitmap32 expected;
    expected.SetSize(20, 20);
    expected.Clear(kWhite);
    thorn::TurnedTextOut(expected.PixelStore(), 9, 9, canvas().Font(), "Ab", 900, nullptr, clRed);
    EXPECT_TRUE(bitmap.Equal(&expected));
    // The text runs upwards from (9, 9): its descent lies to the right.
    EXPECT_EQ(At(11, 9), kRed);
    EXPECT_EQ(At(13, 9), kWhite);
}

}  // namespace
