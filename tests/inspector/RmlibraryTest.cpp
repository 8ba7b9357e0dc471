#include <gtest/gtest.h>
#include <zlib.h>

#include <string>

#include "bitmap/Pix32.h"
#include "inspector/Rmlibrary.h"
#include "platform/Text.h"

namespace {

TEST(Rmlibrary, PathHashIsTheStandardCrc32) {
    std::string everyByte;
    for (int c = 1; c < 256; ++c) everyByte += static_cast<char>(c);
    const std::string texts[] = {"", "123456789", "\x01Players\x01Player 1", "/a/b/c", everyByte,
                                 std::string(5000, 'x')};
    for (const std::string& text : texts) {
        SCOPED_TRACE(text.substr(0, 20));
        const auto expected = static_cast<uint32_t>(
            crc32(0, reinterpret_cast<const Bytef*>(text.data()), static_cast<uInt>(text.size())));
        EXPECT_EQ(static_cast<uint32_t>(GetStrCRC32(text)), expected);
    }
    EXPECT_EQ(GetStrCRC32(""), 0);
    EXPECT_EQ(static_cast<uint32_t>(GetStrCRC32("123456789")), 0xCBF43926u);
}

TEST(Rmlibrary, SetInRangeClampsAndRefusesAnEmptyRange) {
    struct Case {
        int32_t value, minimum, maximum, expected;
    };
    const Case cases[] = {{-3, 0, 10, 0}, {12, 0, 10, 10}, {7, 7, 7, 7}, {5, 0, 10, 5}, {INT32_MIN, -1, 1, -1}};
    for (const Case& c : cases) EXPECT_EQ(SetInRange(c.value, c.minimum, c.maximum), c.expected) << c.value;
    try {
        SetInRange(1, 5, 3);
        FAIL() << "no exception";
    } catch (const ERangeError& e) {
        EXPECT_STREQ(e.what(), "5 is not less than or equal to 3");
    }
}

TEST(Rmlibrary, BooleanTexts) {
    struct Case {
        const char* text;
        bool value;
    };
    const Case cases[] = {{" TRUE\t", true}, {"true", true}, {"tRuE", true}, {"True1", false},
                          {"yes", false},    {"1", false},   {"T", false},   {"", false}};
    for (const Case& c : cases) EXPECT_EQ(StrToBool(c.text), c.value) << '"' << c.text << '"';
    for (bool b : {false, true}) EXPECT_EQ(BoolToStr(StrToBool(BoolToStr(b))), b ? "True" : "False");
}

TEST(Rmlibrary, ReplaceColorsLeavesInkWhereBlackWasAndBackgroundElsewhere) {
    TBitmap32 glyph;
    glyph.SetSize(3, 2);
    const TColor32 before[] = {0xFF000000u, 0xFFFFFFFFu, 0xFF808080u, 0x00000000u, 0xFF000001u, 0xFFC0C0C0u};
    std::copy(std::begin(before), std::end(before), glyph.Bits());
    ReplaceColors(glyph, clBtnFace, clBtnText);
    const TColor32 ink = Color32(clBtnText), back = Color32(clBtnFace);
    const TColor32 after[] = {ink, back, back, ink, back, back};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(glyph.Bits()[i], after[i]) << "pixel " << i;
    EXPECT_EQ(RectWidth({2, 3, 12, 5}), 10);
    EXPECT_EQ(RectHeight({2, 3, 12, 5}), 2);
}

TEST(Rmlibrary, GrayTextIsEmbossedOrMeasuredOnePixelLarger) {
    TBitmap32 bitmap;
    bitmap.SetSize(120, 40);
    bitmap.Clear(0xFF123456u);
    TCanvas canvas(&bitmap);
    canvas.Font().SetName("Arial");
    canvas.Font().SetColor(clRed);

    TRect measured{0, 0, 0, 0};
    DrawGrayText(canvas, "Grey", measured, DT_CALCRECT | DT_SINGLELINE);
    TRect plain{0, 0, 0, 0};
    canvas.DrawText(plain, DT_CALCRECT | DT_SINGLELINE, "Grey");
    EXPECT_EQ(measured, (TRect{0, 0, plain.Right + 1, plain.Bottom + 1}));
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 120; ++x) ASSERT_EQ(bitmap.GetPixel(x, y), 0xFF123456u) << "measuring drew";

    TRect r{0, 0, 120, 40};
    DrawGrayText(canvas, "Grey", r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    EXPECT_EQ(r, (TRect{0, 0, 121, 41}));
    bool highlight = false, shadow = false;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 120; ++x) {
            highlight |= bitmap.GetPixel(x, y) == Color32(clBtnHighlight);
            shadow |= bitmap.GetPixel(x, y) == Color32(clBtnShadow);
        }
    EXPECT_TRUE(highlight);
    EXPECT_TRUE(shadow);
    EXPECT_EQ(canvas.Font().GetColor(), clRed);
    EXPECT_EQ(canvas.Brush().GetStyle(), bsSolid);
}

}  // namespace
