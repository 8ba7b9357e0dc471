// Picture files into and out of bitmaps, and text on bitmaps with real
// fonts: files are written here, by hand or with libjpeg.
#include <gtest/gtest.h>

#include <cstdio>
#include <jpeglib.h>

#include <vector>

#include "bitmap/Pix32.h"
#include "bitmap/Pix32_Blend.h"
#include "platform/Text.h"
#include "support/TempDir.h"

namespace {

void Put16(std::vector<uint8_t>& b, uint32_t v) {
    b.push_back(v & 0xFF);
    b.push_back(v >> 8 & 0xFF);
}
void Put32(std::vector<uint8_t>& b, uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

// A 24-bit bottom-up BMP of 2 x 2 pixels: rows of 6 bytes padded to 8.
std::vector<uint8_t> Bmp24() {
    std::vector<uint8_t> b{'B', 'M'};
    Put32(b, 14 + 40 + 16);
    Put32(b, 0);
    Put32(b, 14 + 40);
    Put32(b, 40);
    Put32(b, 2);
    Put32(b, 2);
    Put16(b, 1);
    Put16(b, 24);
    Put32(b, 0);
    Put32(b, 16);
    Put32(b, 2835);
    Put32(b, 2835);
    Put32(b, 0);
    Put32(b, 0);
    // Bottom row first: blue, green, red per pixel.
    for (uint8_t v : {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0, 0}) b.push_back(v);
    for (uint8_t v : {0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0, 0}) b.push_back(v);
    return b;
}

// A 16 x 8 JPEG of one colour, at the best quality.
std::vector<uint8_t> Jpeg(uint8_t r, uint8_t g, uint8_t b) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &out, &size);
    info.image_width = 16;
    info.image_height = 8;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<uint8_t> row;
    for (int i = 0; i < 16; ++i) row.insert(row.end(), {r, g, b});
    while (info.next_scanline < info.image_height) {
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<uint8_t> file(out, out + size);
    jpeg_destroy_compress(&info);
    std::free(out);
    return file;
}

TEST(Files, A24BitBmpLoadsOpaque) {
    thorn::test::TempDir dir;
    thorn::test::WriteFileBytes(dir / "small.bmp", Bmp24());
    TBitmap32 b;
    b.LoadFromFile(dir / "small.bmp");
    ASSERT_EQ(b.Width(), 2);
    ASSERT_EQ(b.Height(), 2);
    EXPECT_EQ(b.GetPixel(0, 0), 0xFF302010u);
    EXPECT_EQ(b.GetPixel(1, 0), 0xFF605040u);
    EXPECT_EQ(b.GetPixel(0, 1), 0xFF030201u);
    EXPECT_EQ(b.GetPixel(1, 1), 0xFF060504u);
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
    TBitmap32 b;
    b.SetSize(3, 2);
    for (int32_t i = 0; i < 6; ++i) b.Bits()[i] = 0x10203040u * static_cast<uint32_t>(i + 1);
    b.SaveToFile(dir / "saved.bmp");
    TBitmap32 c;
    c.LoadFromFile(dir / "saved.bmp");
    EXPECT_TRUE(c.Equal(&b));
    TMemoryStream stream;
    b.SaveToStream(stream);
    stream.SetPosition(0);
    TBitmap32 d;
    int changes = 0;
    d.OnChange = [&](TObject*) { ++changes; };
    d.LoadFromStream(stream);
    EXPECT_TRUE(d.Equal(&b));
    EXPECT_GE(changes, 1);
}

TEST(Files, AFailedLoadKeepsTheOldPicture) {
    thorn::test::TempDir dir;
    TBitmap32 b;
    b.SetSize(1, 1);
    b.Clear(0xFF123456u);
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
    TBitmap32 b;
    b.SetSize(80, 30);
    b.Clear(0xFF000000u);
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
    TBitmap32 c;
    c.SetSize(80, 30);
    c.SetFont(font);
    c.Textout(2, 2, TRect{0, 0, 5, 30}, "HI");
    for (int32_t y = 0; y < 30; ++y)
        for (int32_t x = 5; x < 80; ++x) EXPECT_EQ(c.GetPixel(x, y), 0u);
    // Formatted: centred text in a rectangle leaves the left part alone.
    TBitmap32 d;
    d.SetSize(200, 30);
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
    TBitmap32 base;
    base.SetSize(120, 50);
    base.Clear(0xFF204060u);

    TBitmap32 t;  // Assign copies pixels and settings, not the font
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
    TBitmap32 base;
    base.SetSize(120, 50);
    base.Clear(0xFFFFFFFFu);
    TBitmap32 a, b;
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
