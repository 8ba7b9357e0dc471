#include <gtest/gtest.h>

#include <array>

#include "bitmap/Pix32.h"
#include "gui/Canvas.h"
#include "gui/Edges.h"
#include "platform/Text.h"

namespace {

constexpr TColor32 kWhite = 0xFFFFFFFFu;
constexpr TColor32 kRed = 0xFFFF0000u;
constexpr TColor32 kBlue = 0xFF0000FFu;

TColor32 Sys(TColor c) { return thorn::CanvasColor(c); }

class GuiCanvas : public ::testing::Test {
protected:
    GuiCanvas() {
        thorn::InstallBitmapCanvas();
        bitmap.SetSize(20, 20);
        bitmap.Clear(kWhite);
    }
    TBitmap32 bitmap;
    TCanvas& canvas() { return *bitmap.Canvas(); }
    TColor32 At(int x, int y) const { return bitmap.GetPixel(x, y); }
};

TEST_F(GuiCanvas, TheBitmapsCanvasDrawsIntoItsPixelsAndReportsChanges) {
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

TEST_F(GuiCanvas, LinesLeaveOutTheirLastPointAndMoveThePen) {
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

TEST_F(GuiCanvas, RectanglesFrameWithThePenAndFillWithTheBrush) {
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

TEST_F(GuiCanvas, XorAndFocusRectanglesUndoThemselves) {
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

TEST_F(GuiCanvas, OriginAndClipPlaceAControlsDrawing) {
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

TEST_F(GuiCanvas, ShapesFillTheirInside) {
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

TEST_F(GuiCanvas, CopiesAreRawAndStretchByNearestPixel) {
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

TEST_F(GuiCanvas, TextUsesThePlatformsMeasures) {
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

TEST_F(GuiCanvas, EdgesUseTheClassicColours) {
    TRect r{0, 0, 10, 10};
    DrawEdge(canvas(), r, EDGE_RAISED, BF_RECT | BF_ADJUST);
    EXPECT_EQ(r, (TRect{2, 2, 8, 8}));
    EXPECT_EQ(At(3, 0), Sys(cl3DLight));
    EXPECT_EQ(At(3, 1), Sys(clBtnHighlight));
    EXPECT_EQ(At(3, 9), Sys(cl3DDkShadow));
    EXPECT_EQ(At(3, 8), Sys(clBtnShadow));
    EXPECT_EQ(At(5, 5), kWhite);  // no middle asked for

    TRect sunken{10, 10, 20, 20};
    DrawEdge(canvas(), sunken, EDGE_SUNKEN, BF_RECT | BF_MIDDLE);
    EXPECT_EQ(At(12, 10), Sys(clBtnShadow));
    EXPECT_EQ(At(12, 11), Sys(cl3DDkShadow));
    EXPECT_EQ(At(12, 19), Sys(clBtnHighlight));
    EXPECT_EQ(At(15, 15), Sys(clBtnFace));

    bitmap.Clear(kWhite);
    TRect button{0, 0, 20, 20};
    DrawFrameControl(canvas(), button, DFC_BUTTON, DFCS_BUTTONPUSH);
    EXPECT_EQ(At(5, 0), Sys(clBtnHighlight));  // soft: white outside
    EXPECT_EQ(At(5, 19), Sys(cl3DDkShadow));
    EXPECT_EQ(At(10, 10), Sys(clBtnFace));
    TRect check{0, 0, 13, 13};
    DrawFrameControl(canvas(), check, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED);
    EXPECT_EQ(At(3, 3), Sys(clWindow));
    EXPECT_EQ(At(6, 7), Sys(clWindowText));  // the tick
}

}  // namespace
