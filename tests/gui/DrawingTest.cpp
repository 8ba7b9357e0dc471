#include <gtest/gtest.h>

#include <vector>

#include "support/Pixels.h"
#include "gui/Drawing.h"
#include "platform/Text.h"

namespace {

constexpr TColor32 kKey = 0xFFFF00FFu;
constexpr TColor32 kWhite = 0xFFFFFFFFu;
constexpr TColor32 kBlack = 0xFF000000u;
constexpr TColor32 kBlue = 0xFF0000FFu;

using Bitmap = thorn::test::CountingBitmap;

TEST(Drawing, ATransparentBitmapLeavesItsKeyColourOutWithinTheClip) {
    Bitmap glyph(3, 2, kBlue);
    glyph.SetPixel(1, 0, kKey & 0x00FFFFFFu);  // alpha does not matter
    glyph.SetPixel(0, 1, kKey);
    EXPECT_EQ(thorn::DefaultTransparentColor(glyph), kKey);
    Bitmap target(6, 4, kWhite);
    TCanvas canvas(&target);
    canvas.SetOrigin({1, 1});
    canvas.SetClipRect({0, 0, 2, 3});  // the glyph's last column is clipped away
    thorn::DrawTransparentBitmap(canvas, 0, 0, glyph, kKey);
    const std::vector<TColor32> row1{kWhite, kBlue, kWhite, kWhite, kWhite, kWhite};
    const std::vector<TColor32> row2{kWhite, kWhite, kBlue, kWhite, kWhite, kWhite};
    for (int x = 0; x < 6; ++x) {
        EXPECT_EQ(target.GetPixel(x, 1), row1[x]) << x;
        EXPECT_EQ(target.GetPixel(x, 2), row2[x]) << x;
    }
}

TEST(Drawing, TheDitheredBrushIsACheckerboardAnchoredToTheWindow) {
    Bitmap target(8, 8, kWhite);
    TCanvas canvas(&target);
    thorn::FillDithered(canvas, {0, 0, 4, 8}, clBlack, clWhite);
    canvas.SetOrigin({3, 0});  // a fill placed elsewhere continues the pattern
    thorn::FillDithered(canvas, {1, 0, 5, 8}, clBlack, clWhite);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) EXPECT_EQ(target.GetPixel(x, y), (x + y) % 2 ? kWhite : kBlack) << x << "," << y;
}

TEST(Drawing, DisabledTextAndGlyphsAreEmbossed) {
    Bitmap target(60, 20, Color32(clBtnFace));
    TCanvas canvas(&target);
    canvas.Font().SetColor(clRed);
    thorn::DrawDisabledText(canvas, {0, 0, 60, 20}, DT_SINGLELINE, "Mm");
    // Smoothed glyphs: lighter and darker than the face, never red.
    int light = 0, dark = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 60; ++x) {
            TColor32 p = target.GetPixel(x, y);
            int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            light += r > 0xD4 && g > 0xD0 && b > 0xC8;
            dark += r < 0xD4 && g < 0xD0 && b < 0xC8;
            EXPECT_FALSE(r > g + 0x20) << x << "," << y;
        }
    EXPECT_GT(light, 0);
    EXPECT_GT(dark, 0);
    EXPECT_EQ(canvas.Font().GetColor(), clRed);

    // Dark pixels are embossed; light ones and the key colour leave no mark.
    Bitmap glyph(3, 1, kBlack);
    glyph.SetPixel(1, 0, 0xFFE0E0E0u);
    glyph.SetPixel(2, 0, kKey);
    Bitmap face(5, 3, Color32(clBtnFace));
    TCanvas faceCanvas(&face);
    thorn::DrawDisabledBitmap(faceCanvas, 0, 0, glyph, glyph.BoundsRect(), kKey);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            TColor expected = x == 0 && y == 0 ? clBtnShadow : x == 1 && y == 1 ? clBtnHighlight : clBtnFace;
            EXPECT_EQ(face.GetPixel(x, y), Color32(expected)) << x << "," << y;
        }
}

// The rows a symbol covers: for each row, the first column and the width.
std::vector<std::pair<int, int>> InkRows(const char* symbol, int height) {
    Bitmap target(height, height, kWhite);
    TCanvas canvas(&target);
    canvas.Font().SetName("Marlett");
    canvas.Font().SetHeight(-height);
    canvas.Font().SetColor(clBlack);
    canvas.Brush().SetStyle(bsClear);
    canvas.TextOut(0, 0, symbol);
    std::vector<std::pair<int, int>> rows;
    for (int y = 0; y < height; ++y) {
        int first = -1, count = 0;
        for (int x = 0; x < height; ++x)
            if (target.GetPixel(x, y) == kBlack) {
                if (first < 0) first = x;
                ++count;
            }
        if (count) rows.emplace_back(first, count);
    }
    return rows;
}

TEST(Drawing, TheSymbolFontDrawsItsArrowsAndMarksAsShapes) {
    using Rows = std::vector<std::pair<int, int>>;
    // The drop-down arrow at the size the combo buttons ask for: 7, 5, 3, 1.
    EXPECT_EQ(InkRows("6", 13), (Rows{{3, 7}, {4, 5}, {5, 3}, {6, 1}}));
    EXPECT_EQ(InkRows("5", 13), (Rows{{6, 1}, {5, 3}, {4, 5}, {3, 7}}));
    EXPECT_EQ(InkRows("3", 13).size(), 7u);  // pointing sideways: 7 rows
    EXPECT_FALSE(InkRows("a", 13).empty());
    EXPECT_FALSE(InkRows("r", 13).empty());
    EXPECT_TRUE(InkRows("Z", 13).empty());
    TFont marlett;
    marlett.SetName("marlett");
    marlett.SetSize(10);
    EXPECT_EQ(thorn::TextExtent(marlett, "66"), (TSize{26, 13}));
}

}  // namespace
