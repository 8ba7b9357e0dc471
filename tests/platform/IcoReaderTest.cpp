#include <gtest/gtest.h>

#include "support/PictureFiles.h"
#include "platform/Classes.h"
#include "platform/Pictures.h"
#include "support/Readers.h"

// g++ 12 warns about members left out of designated initializers even when
// they have defaults, which is how the picture specs here are written.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

using thorn::DecodeIco;
using thorn::test::DibBytes;
using thorn::test::DibSpec;
using thorn::test::IcoFile;

std::vector<uint8_t> Concat(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A 2 x 2 icon image: the header counts colour rows and mask rows.
DibSpec IconImage(uint16_t bits, std::vector<uint8_t> colour, std::vector<uint8_t> mask,
                  std::vector<uint32_t> palette = {}) {
    DibSpec spec{.width = 2, .height = 4, .bitCount = bits, .colorsUsed = static_cast<uint32_t>(palette.size()),
                 .palette = std::move(palette)};
    spec.pixels = Concat(std::move(colour), mask);
    return spec;
}

std::string MessageOf(const std::vector<uint8_t>& file) {
    return thorn::test::MessageOf<EInvalidGraphic>([&] { DecodeIco(file); });
}

TEST(IcoReader, TwentyFourBitImageWithItsMask) {
    // Bottom row: red, green; top row: blue, white. The mask (bottom row first)
    // makes the bottom-right and top-left pixels transparent.
    const std::vector<uint8_t> colour = {0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0};
    const std::vector<uint8_t> mask = {0x40, 0, 0, 0, 0x80, 0, 0, 0};
    auto p = DecodeIco(IcoFile(2, 2, 24, DibBytes(IconImage(24, colour, mask))));
    ASSERT_EQ(p.width, 2);
    ASSERT_EQ(p.height, 2);
    EXPECT_EQ(p.pixels[0], 0xFF000000u);  // top-left: transparent, black
    EXPECT_EQ(p.pixels[1], 0xFFFFFFFFu);
    EXPECT_EQ(p.pixels[2], 0xFFFF0000u);
    EXPECT_EQ(p.pixels[3], 0xFF000000u);  // bottom-right: transparent
}

TEST(IcoReader, PaletteImages) {
    const std::vector<uint32_t> palette = {0x000000, 0x123456};
    const std::vector<uint8_t> colour = {0x40, 0, 0, 0, 0xC0, 0, 0, 0};  // 1 bit: bottom 0 1, top 1 1
    const std::vector<uint8_t> mask = {0, 0, 0, 0, 0x40, 0, 0, 0};
    auto p = DecodeIco(IcoFile(2, 2, 1, DibBytes(IconImage(1, colour, mask, palette))));
    EXPECT_EQ(p.pixels[0], 0xFF123456u);
    EXPECT_EQ(p.pixels[1], 0xFF000000u);  // masked
    EXPECT_EQ(p.pixels[2], 0xFF000000u);
    EXPECT_EQ(p.pixels[3], 0xFF123456u);

    const std::vector<uint8_t> eight = {1, 0, 0, 0, 1, 1, 0, 0};
    p = DecodeIco(IcoFile(2, 2, 8, DibBytes(IconImage(8, eight, std::vector<uint8_t>(8, 0), palette))));
    EXPECT_EQ(p.pixels[0], 0xFF123456u);
    EXPECT_EQ(p.pixels[3], 0xFF000000u);
}

TEST(IcoReader, ThirtyTwoBitAlphaIsBlendedOverBlack) {
    const std::vector<uint8_t> colour = {200, 100, 50, 128, 10, 20, 30, 255, 1, 2, 3, 0, 40, 50, 60, 64};
    auto p = DecodeIco(IcoFile(2, 2, 32, DibBytes(IconImage(32, colour, std::vector<uint8_t>(8, 0)))));
    EXPECT_EQ(p.pixels[2], 0xFF193264u);  // red 50, green 100, blue 200 at 128/255: 25, 50, 100
    EXPECT_EQ(p.pixels[3], 0xFF1E140Au);
    EXPECT_EQ(p.pixels[0], 0xFF000000u);  // alpha 0 over black
    EXPECT_EQ(p.pixels[1], 0xFF0F0D0Au);  // 60, 50, 40 at 64/255
    // Without any alpha the mask decides, as for 24 bits.
    const std::vector<uint8_t> noAlpha = {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 0};
    p = DecodeIco(IcoFile(2, 2, 32, DibBytes(IconImage(32, noAlpha, {0x80, 0, 0, 0, 0, 0, 0, 0}))));
    EXPECT_EQ(p.pixels[2], 0xFF000000u);
    EXPECT_EQ(p.pixels[3], 0xFF060504u);
}

TEST(IcoReader, PngImagesAreRefused) {
    const std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13};
    EXPECT_NE(MessageOf(IcoFile(16, 16, 32, png)).find("PNG"), std::string::npos);
    EXPECT_NE(MessageOf(IcoFile(16, 16, 32, png)).find("not supported"), std::string::npos);
}

TEST(IcoReader, DamagedDirectoriesAndImagesFailCleanly) {
    const auto good = IcoFile(2, 2, 24, DibBytes(IconImage(24, std::vector<uint8_t>(16, 7), std::vector<uint8_t>(8, 0))));
    ASSERT_NO_THROW(DecodeIco(good));
    for (size_t n = 0; n < good.size(); ++n) {
        std::vector<uint8_t> prefix(good.begin(), good.begin() + static_cast<ptrdiff_t>(n));
        EXPECT_THROW(DecodeIco(prefix), EInvalidGraphic) << n;
    }
    EXPECT_NE(MessageOf({0, 0, 1, 0, 0, 0}).find("no image"), std::string::npos);
    EXPECT_NE(MessageOf({0, 0, 2, 0, 1, 0}).find("not an icon"), std::string::npos);
    auto farOffset = good;
    farOffset[18] = 0xFF;
    EXPECT_NE(MessageOf(farOffset).find("truncated"), std::string::npos);
    auto hugeIcon = IcoFile(0, 0, 24, DibBytes(DibSpec{.width = 40000, .height = 80000, .bitCount = 24}));
    EXPECT_NE(MessageOf(hugeIcon).find("too large"), std::string::npos);
}

TEST(IcoReader, DecodePictureRecognisesIcons) {
    const auto icon = IcoFile(2, 2, 24, DibBytes(IconImage(24, std::vector<uint8_t>(16, 9), std::vector<uint8_t>(8, 0))));
    EXPECT_EQ(thorn::DecodePicture(icon).pixels[0], 0xFF090909u);
}

}  // namespace
