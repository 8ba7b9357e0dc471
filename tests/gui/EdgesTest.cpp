#include <gtest/gtest.h>

#include "bitmap/Canvas.h"
#include "bitmap/Pix32.h"
#include "gui/Edges.h"

namespace {

constexpr TColor32 kWhite = 0xFFFFFFFFu;

TColor32 Sys(TColor c) { return thorn::CanvasColor(c); }

class Edges : public ::testing::Test {
protected:
    Edges() {
        bitmap.SetSize(20, 20);
        bitmap.Clear(kWhite);
    }
    TBitmap32 bitmap;
    TCanvas& canvas() { return *bitmap.Canvas(); }
    TColor32 At(int x, int y) const { return bitmap.GetPixel(x, y); }
};

TEST_F(Edges, UseTheClassicColours) {
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
