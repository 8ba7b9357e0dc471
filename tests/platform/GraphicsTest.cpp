#include <gtest/gtest.h>

#include "platform/Graphics.h"

namespace {

TEST(TFont, SizeAndHeightFollowPixelsPerInch) {
    TFont font;
    EXPECT_EQ(font.GetSize(), 8);
    font.SetSize(10);
    EXPECT_EQ(font.GetHeight(), -13);  // 10 * 96 / 72 = 13.33
    font.SetPixelsPerInch(120);
    EXPECT_EQ(font.GetHeight(), -13);  // stored without recomputing the height
    font.SetSize(12);
    EXPECT_EQ(font.GetHeight(), -20);
    EXPECT_EQ(font.GetSize(), 12);
    font.SetPixelsPerInch(0);
    EXPECT_EQ(font.GetPixelsPerInch(), 120);
}

TEST(TFont, ChangesNotifyOnlyWhenAFieldChanges) {
    TFont font;
    int changes = 0;
    font.OnChange = [&](TObject*) { ++changes; };
    font.SetColor(font.GetColor());
    font.SetName("MS Sans Serif");
    EXPECT_EQ(changes, 0);
    font.SetStyle(fsBold | fsItalic);
    font.SetName("Arial");
    EXPECT_EQ(changes, 2);

    TFont other;
    other.OnChange = [&](TObject*) { changes += 10; };
    other.Assign(font);
    EXPECT_EQ(changes, 12);
    EXPECT_TRUE(other == font);
    EXPECT_EQ(other.GetStyle(), fsBold | fsItalic);
}

TEST(Colors, SystemColoursResolveThroughTheTable) {
    EXPECT_EQ(ColorToRGB(clRed), 0x0000FFu);
    EXPECT_EQ(ColorToRGB(clBtnFace), 0xC8D0D4u);
    EXPECT_EQ(ColorToRGB(clWindowText), 0u);
    EXPECT_EQ(GetSysColor(200), 0u);
}

TEST(TPersistent, AssigningAnUnrelatedObjectThrows) {
    struct Other : TPersistent {};
    TFont font;
    Other other;
    EXPECT_THROW(font.Assign(other), EConvertError);
}

}  // namespace
