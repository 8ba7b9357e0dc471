#include <gtest/gtest.h>

#include "support/PictureFiles.h"
#include "platform/Classes.h"
#include "platform/Pictures.h"
#include "support/Readers.h"

// g++ 12 warns about members left out of designated initializers even when
// they have defaults, which is how the picture specs here are written.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

using thorn::DecodeBmp;
using thorn::DecodedPicture;
using thorn::test::BmpFile;
using thorn::test::DibSpec;

uint32_t At(const DecodedPicture& p, int x, int y) { return p.pixels.at(static_cast<size_t>(y) * p.width + x); }

// A grey ramp palette with a twist, so that an index read as another shows.
std::vector<uint32_t> RampPalette(int count) {
    std::vector<uint32_t> palette;
    for (int i = 0; i < count; ++i)
        palette.push_back((static_cast<uint32_t>(i) << 16) | (static_cast<uint32_t>(255 - i) << 8) | (i / 2));
    return palette;
}
uint32_t Ramp(uint32_t i) { return 0xFF000000u | (i << 16) | ((255 - i) << 8) | (i / 2); }

std::string MessageOf(const std::vector<uint8_t>& file) {
    return thorn::test::MessageOf<EInvalidGraphic>([&] { DecodeBmp(file); });
}

TEST(BmpReader, OneBitRowsArePaddedAndBottomUp) {
    DibSpec spec{.width = 10, .height = 2, .bitCount = 1, .palette = {0x000000, 0xFF8040}};
    // Bottom row first: row 1 = 1000000001, row 0 = 0101010101; four bytes per row.
    spec.pixels = {0x80, 0x40, 0, 0, 0x55, 0x40, 0, 0};
    auto p = DecodeBmp(BmpFile(spec));
    ASSERT_EQ(p.width, 10);
    ASSERT_EQ(p.height, 2);
    EXPECT_EQ(At(p, 0, 1), 0xFFFF8040u);
    EXPECT_EQ(At(p, 1, 1), 0xFF000000u);
    EXPECT_EQ(At(p, 9, 1), 0xFFFF8040u);
    EXPECT_EQ(At(p, 0, 0), 0xFF000000u);
    EXPECT_EQ(At(p, 1, 0), 0xFFFF8040u);
    EXPECT_EQ(At(p, 9, 0), 0xFFFF8040u);
}

TEST(BmpReader, FourAndEightBitPalettesAndIndicesPastTheTable) {
    DibSpec four{.width = 3, .height = 1, .bitCount = 4, .colorsUsed = 3, .palette = RampPalette(3)};
    four.pixels = {0x12, 0x50, 0, 0};  // indices 1, 2, 5 (5 has no entry: black)
    auto p = DecodeBmp(BmpFile(four));
    EXPECT_EQ(At(p, 0, 0), Ramp(1));
    EXPECT_EQ(At(p, 1, 0), Ramp(2));
    EXPECT_EQ(At(p, 2, 0), 0xFF000000u);

    DibSpec eight{.width = 2, .height = 2, .bitCount = 8, .palette = RampPalette(256)};
    eight.pixels = {7, 200, 0, 0, 255, 0, 0, 0};
    p = DecodeBmp(BmpFile(eight));
    EXPECT_EQ(At(p, 0, 0), Ramp(255));
    EXPECT_EQ(At(p, 0, 1), Ramp(7));
    EXPECT_EQ(At(p, 1, 1), Ramp(200));
}

TEST(BmpReader, TwoBitPixels) {
    DibSpec spec{.width = 4, .height = 1, .bitCount = 2, .palette = RampPalette(4)};
    spec.pixels = {0b00011011, 0, 0, 0};
    auto p = DecodeBmp(BmpFile(spec));
    EXPECT_EQ(At(p, 0, 0), Ramp(0));
    EXPECT_EQ(At(p, 3, 0), Ramp(3));
}

TEST(BmpReader, SixteenBitsDefaultToFiveFiveFive) {
    DibSpec spec{.width = 3, .height = 1, .bitCount = 16};
    spec.pixels = {0x00, 0x7C, 0x1F, 0x00, 0x00, 0x02, 0, 0};  // red, blue, green 16 of 31
    auto p = DecodeBmp(BmpFile(spec));
    EXPECT_EQ(At(p, 0, 0), 0xFFFF0000u);
    EXPECT_EQ(At(p, 1, 0), 0xFF0000FFu);
    EXPECT_EQ(At(p, 2, 0), 0xFF008400u);  // 16 * 255 / 31 = 131.6
}

TEST(BmpReader, SixteenBitFieldsFiveSixFiveAfterAnInfoHeader) {
    DibSpec spec{.width = 2, .height = 1, .bitCount = 16, .compression = 3, .masks = {0xF800, 0x07E0, 0x001F, 0}};
    spec.pixels = {0x00, 0xF8, 0x20, 0x00};  // red, green 1 of 63
    auto p = DecodeBmp(BmpFile(spec));
    EXPECT_EQ(At(p, 0, 0), 0xFFFF0000u);
    EXPECT_EQ(At(p, 1, 0), 0xFF000400u);
}

TEST(BmpReader, SixteenBitAlphaMaskStillArrivesOpaque) {
    DibSpec spec{.headerSize = 56, .width = 1, .height = 1, .bitCount = 16, .compression = 3,
                 .masks = {0x0F00, 0x00F0, 0x000F, 0xF000}};
    spec.pixels = {0x0F, 0x0F, 0, 0};  // alpha 0, red 15, blue 15
    auto p = DecodeBmp(BmpFile(spec));
    EXPECT_EQ(At(p, 0, 0), 0xFFFF00FFu);
}

TEST(BmpReader, TwentyFourBitsTopDownAndBottomUp) {
    DibSpec spec{.width = 3, .height = -2, .bitCount = 24};
    spec.pixels = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0, 10, 11, 12, 13, 14, 15, 16, 17, 18, 0, 0, 0};
    auto top = DecodeBmp(BmpFile(spec));
    EXPECT_EQ(top.height, 2);
    EXPECT_EQ(At(top, 0, 0), 0xFF030201u);
    EXPECT_EQ(At(top, 2, 0), 0xFF090807u);
    EXPECT_EQ(At(top, 0, 1), 0xFF0C0B0Au);
    spec.height = 2;
    auto bottom = DecodeBmp(BmpFile(spec));
    EXPECT_EQ(At(bottom, 0, 1), 0xFF030201u);
    EXPECT_EQ(At(bottom, 2, 0), 0xFF121110u);
}

TEST(BmpReader, ThirtyTwoBitsKeepAlphaUnlessAllAlphaIsZero) {
    DibSpec spec{.width = 2, .height = 1, .bitCount = 32};
    spec.pixels = {1, 2, 3, 0x80, 4, 5, 6, 0};
    auto p = DecodeBmp(BmpFile(spec));
    EXPECT_EQ(At(p, 0, 0), 0x80030201u);
    EXPECT_EQ(At(p, 1, 0), 0x00060504u);
    spec.pixels = {1, 2, 3, 0, 4, 5, 6, 0};
    p = DecodeBmp(BmpFile(spec));
    EXPECT_EQ(At(p, 0, 0), 0xFF030201u);
    EXPECT_EQ(At(p, 1, 0), 0xFF060504u);
}

TEST(BmpReader, ThirtyTwoBitFieldsInV4AndV5Headers) {
    for (uint32_t header : {108u, 124u}) {
        DibSpec spec{.headerSize = header, .width = 1, .height = 1, .bitCount = 32, .compression = 3,
                     .masks = {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000}};
        spec.pixels = {0x11, 0x22, 0x33, 0x44};  // red 0x11, green 0x22, blue 0x33, alpha 0x44
        auto p = DecodeBmp(BmpFile(spec));
        EXPECT_EQ(At(p, 0, 0), 0x44112233u) << header;
    }
}

TEST(BmpReader, ThirtyTwoBitFieldsWithoutAlphaMask) {
    // Usual masks after an info header: the fourth byte is alpha as stored.
    DibSpec usual{.width = 1, .height = 1, .bitCount = 32, .compression = 3, .masks = {0xFF0000, 0xFF00, 0xFF, 0}};
    usual.pixels = {0x33, 0x22, 0x11, 0x44};
    EXPECT_EQ(DecodeBmp(BmpFile(usual)).pixels[0], 0x44112233u);
    // Ten bits a channel: no alpha, opaque.
    DibSpec wide{.width = 1, .height = 1, .bitCount = 32, .compression = 3,
                 .masks = {0x3FF00000, 0x000FFC00, 0x000003FF, 0}};
    const uint32_t v = (0x200u << 20) | 0x3FFu;  // red 512 of 1023, green 0, blue full
    wide.pixels = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
                   static_cast<uint8_t>(v >> 24)};
    EXPECT_EQ(DecodeBmp(BmpFile(wide)).pixels[0], 0xFF8000FFu);  // 512 * 255 / 1023 = 127.6
}

TEST(BmpReader, AlphaBitFieldsAfterAnInfoHeader) {
    DibSpec spec{.width = 1, .height = 1, .bitCount = 32, .compression = 6,
                 .masks = {0xFF000000, 0x00FF0000, 0x0000FF00, 0x000000FF}};
    spec.pixels = {0x40, 0x30, 0x20, 0x10};  // alpha 0x40, blue 0x30, green 0x20, red 0x10
    EXPECT_EQ(DecodeBmp(BmpFile(spec)).pixels[0], 0x40102030u);
}

TEST(BmpReader, AlphaBitFieldsWithAVersionTwoHeaderReadOnlyTheHeadersMasks) {
    // A 52-byte header holds the red, green and blue masks but no alpha mask:
    // nothing past the header is taken for one, even when the file ends there.
    DibSpec spec{.headerSize = 52, .width = 1, .height = 1, .bitCount = 32, .compression = 6,
                 .masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0}};
    const auto file = BmpFile(spec);
    EXPECT_THROW(DecodeBmp(file), EInvalidGraphic);
    spec.pixels = {0x30, 0x20, 0x10, 0x00};
    EXPECT_EQ(DecodeBmp(BmpFile(spec)).pixels[0], 0xFF102030u);
}

TEST(BmpReader, Os2CoreHeaderWithThreeBytePalette) {
    DibSpec spec{.headerSize = 12, .width = 2, .height = 1, .bitCount = 8, .palette = RampPalette(256)};
    spec.pixels = {3, 250, 0, 0};
    auto p = DecodeBmp(BmpFile(spec));
    EXPECT_EQ(At(p, 0, 0), Ramp(3));
    EXPECT_EQ(At(p, 1, 0), Ramp(250));

    DibSpec rgb{.headerSize = 12, .width = 1, .height = 1, .bitCount = 24, .pixels = {9, 8, 7, 0}};
    EXPECT_EQ(DecodeBmp(BmpFile(rgb)).pixels[0], 0xFF070809u);
}

TEST(BmpReader, Os2VersionTwoHeaders) {
    DibSpec full{.headerSize = 64, .width = 1, .height = 1, .bitCount = 4, .palette = RampPalette(16)};
    full.pixels = {0xF0, 0, 0, 0};
    EXPECT_EQ(DecodeBmp(BmpFile(full)).pixels[0], Ramp(15));
    DibSpec shortest{.headerSize = 16, .width = 1, .height = 1, .bitCount = 24, .pixels = {1, 2, 3, 0}};
    EXPECT_EQ(DecodeBmp(BmpFile(shortest)).pixels[0], 0xFF030201u);
    full.compression = 3;  // Huffman in OS/2
    EXPECT_NE(MessageOf(BmpFile(full)).find("OS/2"), std::string::npos);
}

TEST(BmpReader, ShortColourTableEndsAtThePixels) {
    // The header says 256 colours but the file holds two before the pixels.
    DibSpec spec{.width = 1, .height = 1, .bitCount = 8, .colorsUsed = 0, .palette = {0x112233, 0x445566}};
    spec.pixels = {1, 0, 0, 0};
    EXPECT_EQ(DecodeBmp(BmpFile(spec)).pixels[0], 0xFF445566u);
}

// The RLE8 example of the format's documentation: runs, a literal run with
// its pad byte, a move, an end of line and the end of the picture.
TEST(BmpReader, RunLengthEightBits) {
    DibSpec spec{.width = 20, .height = 3, .bitCount = 8, .compression = 1, .palette = RampPalette(256)};
    spec.pixels = {0x03, 0x04, 0x05, 0x06, 0x00, 0x03, 0x45, 0x56, 0x67, 0x00, 0x02, 0x78,
                   0x00, 0x02, 0x05, 0x01, 0x02, 0x78, 0x00, 0x00, 0x09, 0x1E, 0x00, 0x01};
    auto p = DecodeBmp(BmpFile(spec));
    const uint32_t black = 0xFF000000u;
    // File row 0 is the bottom row (y = 2).
    const std::vector<uint32_t> bottom = {Ramp(4),    Ramp(4),    Ramp(4),    Ramp(6),    Ramp(6),
                                          Ramp(6),    Ramp(6),    Ramp(6),    Ramp(0x45), Ramp(0x56),
                                          Ramp(0x67), Ramp(0x78), Ramp(0x78), black,      black};
    for (size_t x = 0; x < bottom.size(); ++x) EXPECT_EQ(At(p, static_cast<int>(x), 2), bottom[x]) << x;
    // Moved 5 right and 1 up from x = 13: two pixels at 18 and 19 of the middle row.
    for (int x = 0; x < 18; ++x) EXPECT_EQ(At(p, x, 1), black) << x;
    EXPECT_EQ(At(p, 18, 1), Ramp(0x78));
    EXPECT_EQ(At(p, 19, 1), Ramp(0x78));
    for (int x = 0; x < 9; ++x) EXPECT_EQ(At(p, x, 0), Ramp(0x1E)) << x;
    EXPECT_EQ(At(p, 9, 0), black);
}

// The RLE4 example of the format's documentation.
TEST(BmpReader, RunLengthFourBits) {
    DibSpec spec{.width = 28, .height = 3, .bitCount = 4, .compression = 2, .palette = RampPalette(16)};
    spec.pixels = {0x03, 0x04, 0x05, 0x06, 0x00, 0x06, 0x45, 0x56, 0x67, 0x00, 0x04, 0x78,
                   0x00, 0x02, 0x05, 0x01, 0x04, 0x78, 0x00, 0x00, 0x09, 0x1E, 0x00, 0x01};
    auto p = DecodeBmp(BmpFile(spec));
    const std::vector<uint32_t> bottom = {0, 4, 0, 0, 6, 0, 6, 0, 4, 5, 5, 6, 6, 7, 7, 8, 7, 8};
    for (size_t x = 0; x < bottom.size(); ++x) EXPECT_EQ(At(p, static_cast<int>(x), 2), Ramp(bottom[x])) << x;
    EXPECT_EQ(At(p, 18, 2), 0xFF000000u);
    for (int x = 23; x < 27; ++x) EXPECT_EQ(At(p, x, 1), Ramp(x % 2 ? 7 : 8)) << x;
    EXPECT_EQ(At(p, 22, 1), 0xFF000000u);
    const std::vector<uint32_t> top = {1, 14, 1, 14, 1, 14, 1, 14, 1};
    for (size_t x = 0; x < top.size(); ++x) EXPECT_EQ(At(p, static_cast<int>(x), 0), Ramp(top[x])) << x;
}

TEST(BmpReader, RunLengthClipsRunsAndMovesOutsideThePicture) {
    DibSpec spec{.width = 2, .height = 2, .bitCount = 8, .compression = 1, .palette = RampPalette(256)};
    // A run of 255 past the row's end, a literal run past it, a move far
    // right and up beyond the top, then no end marker is needed.
    spec.pixels = {0xFF, 0x09, 0x00, 0x03, 0x01, 0x02, 0x03, 0x00, 0x00, 0x02, 0xFF, 0xFF};
    auto p = DecodeBmp(BmpFile(spec));
    EXPECT_EQ(At(p, 0, 1), Ramp(9));
    EXPECT_EQ(At(p, 1, 1), Ramp(9));
    EXPECT_EQ(At(p, 0, 0), 0xFF000000u);
}

TEST(BmpReader, EveryTruncationFailsCleanly) {
    DibSpec palette{.width = 3, .height = 2, .bitCount = 8, .colorsUsed = 4, .palette = RampPalette(4)};
    palette.pixels = {0, 1, 2, 0, 3, 2, 1, 0};
    DibSpec rgb{.width = 3, .height = 2, .bitCount = 24};
    rgb.pixels.assign(24, 0x5A);
    DibSpec rle{.width = 4, .height = 2, .bitCount = 8, .compression = 1, .palette = RampPalette(2)};
    rle.pixels = {0x04, 0x01, 0x00, 0x00, 0x00, 0x04, 1, 0, 1, 0, 0x00, 0x01};
    for (const auto& spec : {palette, rgb, rle}) {
        const auto file = BmpFile(spec);
        ASSERT_NO_THROW(DecodeBmp(file));
        // Only the final row's padding may be missing.
        const size_t lastPadding = spec.compression == 0 ? (spec.bitCount == 8 ? 1 : 3) : 0;
        for (size_t n = 0; n < file.size() - lastPadding; ++n) {
            std::vector<uint8_t> prefix(file.begin(), file.begin() + static_cast<ptrdiff_t>(n));
            EXPECT_THROW(DecodeBmp(prefix), EInvalidGraphic) << "length " << n;
        }
        for (size_t n = file.size() - lastPadding; n < file.size(); ++n) {
            std::vector<uint8_t> prefix(file.begin(), file.begin() + static_cast<ptrdiff_t>(n));
            EXPECT_EQ(DecodeBmp(prefix).pixels, DecodeBmp(file).pixels);
        }
    }
}

TEST(BmpReader, HostileSizesAreRefusedBeforeAllocating) {
    auto sized = [](int32_t w, int32_t h) {
        DibSpec spec{.width = w, .height = h, .bitCount = 8, .compression = 1, .palette = RampPalette(2)};
        spec.pixels = {0x00, 0x01};  // RLE: the sides alone decide what is allocated
        return MessageOf(BmpFile(spec));
    };
    EXPECT_NE(sized(0, 5).find("invalid size"), std::string::npos);
    EXPECT_NE(sized(5, 0).find("invalid size"), std::string::npos);
    EXPECT_NE(sized(-5, 5).find("invalid size"), std::string::npos);
    EXPECT_EQ(sized(32768, 1),
              "The bitmap picture is too large (32768 x 1 pixels): a side may be at most 32767 pixels");
    EXPECT_NE(sized(1, -32768).find("too large"), std::string::npos);
    EXPECT_NE(sized(1, INT32_MIN).find("too large"), std::string::npos);
    EXPECT_EQ(sized(20000, 20000),
              "The bitmap picture is too large (20000 x 20000 pixels): it may hold at most 134217728 pixels");
    EXPECT_EQ(sized(32767, 1), "(no error)");
    // Uncompressed pixels must be in the file before anything is allocated.
    DibSpec big{.width = 30000, .height = 4000, .bitCount = 24, .pixels = {1, 2, 3}};
    EXPECT_NE(MessageOf(BmpFile(big)).find("truncated"), std::string::npos);
}

TEST(BmpReader, HostileHeadersFailWithClearMessages) {
    DibSpec good{.width = 1, .height = 1, .bitCount = 24, .pixels = {1, 2, 3, 0}};
    auto file = BmpFile(good);
    auto offsetPastEnd = file;
    offsetPastEnd[thorn::test::kBmpOffsetField] = 0xF0;
    EXPECT_NE(MessageOf(offsetPastEnd).find("past the end"), std::string::npos);
    auto offsetInHeader = file;
    offsetInHeader[thorn::test::kBmpOffsetField] = 20;
    EXPECT_NE(MessageOf(offsetInHeader).find("header"), std::string::npos);
    auto hugeOffset = file;
    for (int i = 0; i < 4; ++i) hugeOffset[thorn::test::kBmpOffsetField + i] = 0xFF;
    EXPECT_THROW(DecodeBmp(hugeOffset), EInvalidGraphic);

    DibSpec tooManyColours{.width = 1, .height = 1, .bitCount = 8, .colorsUsed = 1000, .pixels = {0, 0, 0, 0}};
    EXPECT_NE(MessageOf(BmpFile(tooManyColours)).find("colour table"), std::string::npos);
    DibSpec absurdColours{.width = 1, .height = 1, .bitCount = 24, .colorsUsed = 0xFFFFFFFF, .pixels = {1, 2, 3, 0}};
    EXPECT_EQ(DecodeBmp(BmpFile(absurdColours)).pixels[0], 0xFF030201u);  // unused by 24-bit pixels

    DibSpec oddDepth{.width = 1, .height = 1, .bitCount = 3, .pixels = {0, 0, 0, 0}};
    EXPECT_NE(MessageOf(BmpFile(oddDepth)).find("3 bits"), std::string::npos);
    DibSpec strangeHeader{.headerSize = 200, .width = 1, .height = 1, .pixels = {0, 0, 0, 0}};
    EXPECT_NE(MessageOf(BmpFile(strangeHeader)).find("200-byte header"), std::string::npos);
    DibSpec png{.width = 1, .height = 1, .bitCount = 0, .compression = 5, .pixels = {0x89, 'P', 'N', 'G'}};
    EXPECT_NE(MessageOf(BmpFile(png)).find("PNG"), std::string::npos);
    DibSpec rleDepth{.width = 1, .height = 1, .bitCount = 24, .compression = 1, .pixels = {0, 1}};
    EXPECT_NE(MessageOf(BmpFile(rleDepth)).find("RLE8"), std::string::npos);
    DibSpec fieldsDepth{.width = 1, .height = 1, .bitCount = 24, .compression = 3, .pixels = {0, 0, 0, 0}};
    EXPECT_NE(MessageOf(BmpFile(fieldsDepth)).find("bit fields"), std::string::npos);
    DibSpec zeroMasks{.width = 1, .height = 1, .bitCount = 16, .compression = 3, .pixels = {0xFF, 0xFF, 0, 0}};
    EXPECT_EQ(DecodeBmp(BmpFile(zeroMasks)).pixels[0], 0xFF000000u);

    EXPECT_NE(MessageOf({'B', 'M', 1, 2}).find("not a BMP"), std::string::npos);
    EXPECT_NE(MessageOf({'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0, 0, 0, 0, 0, 0}).find("not a BMP"),
              std::string::npos);
}

TEST(BmpWriter, WritesAVersionFourHeaderWithAlphaMaskBottomUp) {
    const std::vector<uint32_t> pixels = {0x80112233, 0x00445566, 0xFF778899, 0x01020304};
    const auto file = thorn::EncodeBmp32(2, 2, pixels);
    ASSERT_EQ(file.size(), 14u + 108u + 16u);
    auto le32 = [&](size_t at) {
        return uint32_t{file[at]} | uint32_t{file[at + 1]} << 8 | uint32_t{file[at + 2]} << 16 |
               uint32_t{file[at + 3]} << 24;
    };
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(le32(2), file.size());
    EXPECT_EQ(le32(10), 122u);
    EXPECT_EQ(le32(14), 108u);
    EXPECT_EQ(le32(18), 2u);
    EXPECT_EQ(le32(22), 2u);
    EXPECT_EQ(file[28], 32);
    EXPECT_EQ(le32(30), 3u);  // bit fields
    EXPECT_EQ(le32(54), 0x00FF0000u);
    EXPECT_EQ(le32(58), 0x0000FF00u);
    EXPECT_EQ(le32(62), 0x000000FFu);
    EXPECT_EQ(le32(66), 0xFF000000u);
    // Bottom row first, each pixel as blue, green, red, alpha.
    EXPECT_EQ(le32(122), 0xFF778899u);
    EXPECT_EQ(file[126], 0x04);
    EXPECT_EQ(file[129], 0x01);
    EXPECT_EQ(le32(130), 0x80112233u);

    auto back = DecodeBmp(file);
    EXPECT_EQ(back.width, 2);
    EXPECT_EQ(back.pixels, pixels);
}

TEST(BmpWriter, RefusesAPixelCountThatDoesNotMatch) {
    std::vector<uint32_t> three(3);
    EXPECT_THROW(thorn::EncodeBmp32(2, 2, three), EInvalidGraphic);
    EXPECT_EQ(thorn::EncodeBmp32(0, 0, {}).size(), 122u);
}

}  // namespace
