// Picture files into and out of bitmaps, and text on bitmaps with real
// fonts: files are written by the tests' own writers or with libjpeg.
#include <gtest/gtest.h>

#include <vector>

#include "bitmap/Pix32.h"
#include "bitmap/Pix32_Blend.h"
#include "platform/Text.h"
#include "support/PictureFiles.h"
#include "support/Pixels.h"
#include "support/TempDir.h"

namespace {

using thorn::test::CountingBitmap;

// A 24-bit bottom-up BMP of 2 x 2 pixels: rows of 6 bytes padded to 8.
std::vector<uint8_t> Bmp24() {
    const TColor32 colours[] = {0xFF302010u, 0xFF605040u, 0xFF030201u, 0xFF060504u};
    return thorn::test::Bmp24File(*thorn::test::DrawPicture(2, 2, [&](int32_t x, int32_t y) { return colours[2 * y + x]; }));
}

// A 16 x 8 JPEG of one colour, at the best quality.
std::vector<uint8_t> Jpeg(uint8_t r, uint8_t g, uint8_t b) {
    std::vector<uint8_t> rgb;
    for (int i = 0; i < 16 * 8; ++i) rgb.insert(rgb.end(), {r, g, b});
    return thorn::test::JpegFile(16, 8, 3, JCS_RGB, rgb, 100);
}

TEST(Files, A24BitBmpLoadsOpaque) {
    thorn::test::TempDir dir;
    thorn::test::WriteFileBytes(dir / "small.bmp", Bmp24());
    TBitmap32 b;
    b.LoadFromFile(dir / "small.bmp");
    ASSERT_EQ(b.Width(), 2);
    ASSERT_EQ(b.Height(), 2);
    thorn::test::ExpectPixels(b, {{0, 0, 0xFF302010u}, {1, 0, 0xFF605040u}, {0, 1, 0xFF030201u}, {1, 1, 0xFF060504u}});
}

TEST(Files, AJpegLoadsOpaque) {
    thorn::test::TempDir dir;
    thorn::test::WriteFileBytes(dir / "plain.jpg", Jpeg(200, 100, 50));
    TBitmap32 b;
    b.LoadFromFile(dir / "plain.jpg");
    ASSERT_EQ(b.Width(), 16);
    ASSERT_EQ(b.Height(), 8);
    for (int32_t i = 0; i < 16 * 8; ++i) {
        TColor32 c = b.Bits()[i];
        EXPECT_EQ(c >> 24, 255u);
        EXPECT_NEAR(RedComponent(c), 200, 3);
        EXPECT_NEAR(GreenComponent(c), 100, 3);
        EXPECT_NEAR(BlueComponent(c), 50, 3);
    }
}

TEST(Files, SavedBitmapsComeBackWithTheirAlpha) {
    thorn::test::TempDir dir;
    CountingBitmap b(3, 2), c, d;
    for (int32_t i = 0; i < 6; ++i) b.Bits()[i] = 0x10203040u * static_cast<uint32_t>(i + 1);
    b.SaveToFile(dir / "saved.bmp");
    c.LoadFromFile(dir / "saved.bmp");
    EXPECT_TRUE(c.Equal(&b));
    TMemoryStream stream;
    b.SaveToStream(stream);
    stream.SetPosition(0);
    d.LoadFromStream(stream);
    EXPECT_TRUE(d.Equal(&b));
    EXPECT_GE(d.changes, 1);
}

TEST(Files, AFailedLoadKeepsTheOldPicture) {
    thorn::test::TempDir dir;
    CountingBitmap b(1, 1, 0xFF123456u);
    EXPECT_THROW(b.LoadFromFile(dir / "missing.bmp"), EFOpenError);
    std::vector<uint8_t> broken = Bmp24();
    broken.resize(40);
    thorn::test::WriteFileBytes(dir / "broken.bmp", broken);
    EXPECT_THROW(b.LoadFromFile(dir / "broken.bmp"), EInvalidGraphic);
    TMemoryStream stream(broken);
    EXPECT_THROW(b.LoadFromStream(stream), EInvalidGraphic);
    EXPECT_EQ(b.Width(), 1);
    EXPECT_EQ(b.GetPixel(0, 0), 0xFF123456u);
}

TFont Arial(int size) {
    TFont font;
    font.SetName("Arial");
    font.SetSize(size);
    return font;
}

TEST(Text, MeasuresWithItsOwnFontEvenWithoutPixels) {
    TBitmap32 b;
    b.SetFont(Arial(12));
    TSize extent = b.TextExtent("Thornvale");
    EXPECT_EQ(extent, thorn::TextExtent(Arial(12), "Thornvale"));
    EXPECT_GT(extent.cx, 20);
    EXPECT_EQ(extent.cy, thorn::GetFontMetrics(Arial(12)).height);
    EXPECT_EQ(b.TextWidth("Thornvale"), extent.cx);
    EXPECT_EQ(b.TextHeight("Thornvale"), extent.cy);
    b.Font().SetSize(24);
    EXPECT_GT(b.TextWidth("Thornvale"), extent.cx);
    EXPECT_EQ(b.Font().GetName(), "Arial");
}

TEST(Text, TextoutDrawsInTheFontsColourAndNotifies) {
    CountingBitmap b(80, 30, 0xFF000000u);
    TFont font = Arial(14);
    font.SetColor(clRed);
    b.SetFont(font);
    int changes = 0;
    b.OnChange = [&](TObject*) { ++changes; };
    b.Textout(2, 2, "HI");
    EXPECT_EQ(changes, 1);
    int red = 0;
    for (int32_t i = 0; i < 80 * 30; ++i) {
        TColor32 c = b.Bits()[i];
        if (RedComponent(c) > 0) ++red;
        EXPECT_EQ(GreenComponent(c), 0);
        EXPECT_EQ(BlueComponent(c), 0);
    }
    EXPECT_GT(red, 10);
    // Clipped: nothing right of column 5.
    CountingBitmap c(80, 30);
    c.SetFont(font);
    c.Textout(2, 2, TRect{0, 0, 5, 30}, "HI");
    for (int32_t y = 0; y < 30; ++y)
        for (int32_t x = 5; x < 80; ++x) EXPECT_EQ(c.GetPixel(x, y), 0u);
    // Formatted: centred text in a rectangle leaves the left part alone.
    CountingBitmap d(200, 30);
    d.SetFont(font);
    d.Textout(TRect{0, 0, 200, 30}, DT_CENTER | DT_SINGLELINE, "HI");
    for (int32_t y = 0; y < 30; ++y)
        for (int32_t x = 0; x < 80; ++x) EXPECT_EQ(d.GetPixel(x, y), 0u);
    TBitmap32 empty;
    int emptyChanges = 0;
    empty.OnChange = [&](TObject*) { ++emptyChanges; };
    empty.Textout(0, 0, "x");
    EXPECT_EQ(emptyChanges, 1);
}

TEST(Text, RenderTextBlendsCoverageTimesTheColoursAlpha) {
    CountingBitmap base(120, 50, 0xFF204060u), t;  // Assign copies pixels and settings, not the font
    t.SetFont(Arial(28));
    t.Assign(base);
    t.RenderText(4, 4, "Il", 0, 0x00FF0000u);
    EXPECT_TRUE(t.Equal(&base));  // alpha 0 leaves the target alone

    t.Assign(base);
    t.RenderText(4, 4, "Il", 0, 0xFFFF0000u);
    bool fullyCovered = false;
    for (int32_t i = 0; i < 120 * 50; ++i) fullyCovered |= t.Bits()[i] == 0xFFFF0000u;
    EXPECT_TRUE(fullyCovered);  // opaque work pixels are copied by the plain blend
    EXPECT_EQ(t.GetPixel(119, 49), 0xFF204060u);
    EXPECT_EQ(t.GetPixel(2, 2), 0xFF204060u);

    // Half the colour's alpha: a fully covered pixel mixes with weight
    // ((128 + 1) * 255) >> 8.
    t.Assign(base);
    t.RenderText(4, 4, "Il", 0, 0x80FF0000u);
    bool halfCovered = false;
    TColor32 half = CombineReg(0xFFFF0000u, 0xFF204060u, (129 * 255) >> 8);
    for (int32_t i = 0; i < 120 * 50; ++i) halfCovered |= t.Bits()[i] == half;
    EXPECT_TRUE(halfCovered);
}

TEST(Text, RenderTextLevelsAreKeptInRange) {
    CountingBitmap base(120, 50, 0xFFFFFFFFu), a, b;
    a.SetFont(Arial(20));
    b.SetFont(Arial(20));
    a.Assign(base);
    b.Assign(base);
    a.RenderText(3, 3, "Map", 7, 0xFF000080u);
    b.RenderText(3, 3, "Map", 4, 0xFF000080u);
    EXPECT_TRUE(a.Equal(&b));
    EXPECT_FALSE(a.Equal(&base));
    a.Assign(base);
    b.Assign(base);
    a.RenderText(3, 3, "Map", -1, 0xFF000080u);
    b.RenderText(3, 3, "Map", 0, 0xFF000080u);
    EXPECT_TRUE(a.Equal(&b));
    // Smoothed at level 2: nothing is drawn beyond a quarter of the
    // enlarged text's extent, rounded up to whole blocks.
    TFont large = Arial(20);
    large.SetSize(20 << 2);
    TSize big = thorn::TextExtent(large, "Map ");
    int32_t width = ((big.cx >> 2) + 1), height = big.cy >> 2;
    a.Assign(base);
    a.RenderText(3, 3, "Map", 2, 0xFF000080u);
    for (int32_t y = 0; y < 50; ++y)
        for (int32_t x = 0; x < 120; ++x)
            if (x < 3 || y < 3 || x >= 3 + width || y >= 3 + height) {
                EXPECT_EQ(a.GetPixel(x, y), 0xFFFFFFFFu);
            }
    TBitmap32 empty;
    empty.RenderText(0, 0, "x", 2, 0xFF000000u);
    EXPECT_TRUE(empty.Empty());
}

}  // namespace
