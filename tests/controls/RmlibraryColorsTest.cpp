#include <gtest/gtest.h>

#include "controls/Rmlibrary_Colors.h"
#include "platform/Classes.h"

namespace {

constexpr TColor Rgb(int red, int green, int blue) { return red | (green << 8) | (blue << 16); }

TEST(RmlibraryColors, DarkerAndLighterShades) {
    EXPECT_EQ(DarkenColor(Rgb(200, 100, 50), 25), Rgb(160, 80, 40));
    EXPECT_EQ(LightenColor(Rgb(100, 50, 10), 50), Rgb(150, 75, 15));
    EXPECT_EQ(LightenColor(Rgb(5, 3, 1), 50), Rgb(8, 4, 2)) << "7.5, 4.5 and 1.5 round to even";
    EXPECT_EQ(DarkenColor(clBtnFace, 0), static_cast<TColor>(ColorToRGB(clBtnFace)));

    EXPECT_THROW(LightenColor(clWhite, 10), ERangeError);
    EXPECT_THROW(DarkenColor(clWhite, -10), ERangeError);
    EXPECT_THROW(DarkenColor(clBlack, -100), ERangeError);
    EXPECT_THROW(LightenColor(Rgb(0, 0, 10), -200), ERangeError);
}

TEST(RmlibraryColors, ColourRuns) {
    TColorsArray colors{clRed};
    CreateColorArray(clBlack, clWhite, 3, colors);
    EXPECT_EQ(colors, (TColorsArray{Rgb(0, 0, 0), Rgb(128, 128, 128), Rgb(255, 255, 255)}));
    CreateColorArray(clWhite, Rgb(0, 255, 0), 3, colors);
    EXPECT_EQ(colors, (TColorsArray{Rgb(255, 255, 255), Rgb(127, 255, 127), Rgb(0, 255, 0)}));
    CreateColorArray(clBtnFace, clWhite, 1, colors);
    EXPECT_EQ(colors, (TColorsArray{static_cast<TColor>(ColorToRGB(clBtnFace))}));
    CreateColorArray(clBlack, clWhite, 0, colors);
    EXPECT_TRUE(colors.empty());
}

}  // namespace
