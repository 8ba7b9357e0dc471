#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "ImgDecoder.h"
#include "export/GfxPicture.h"
#include "platform/Classes.h"

namespace {

using Bytes = std::vector<uint8_t>;
using thorn::test::DecodeImg;

Bytes Encode(uint16_t width, uint16_t height, const Bytes& pixels, uint8_t transparent = 0) {
    CGfxPicture picture(width, height, pixels, transparent);
    Bytes file(picture.GetSize());
    EXPECT_EQ(picture.Write(file), file.size());
    return file;
}

// The codes of a one-row, one-frame picture with a u8 row table.
Bytes RowCodes(const Bytes& file) {
    EXPECT_EQ(file[16] | file[17] << 8, 1);
    return Bytes(file.begin() + 23, file.end());
}

Bytes NeverRepeating(size_t n) {
    Bytes row(n);
    for (size_t i = 0; i < n; ++i) row[i] = static_cast<uint8_t>(i * 7);
    return row;
}

TEST(GfxPicture, LongRunIsTwoRepeatCodes) {
    const Bytes file = Encode(200, 1, Bytes(200, 5));
    const Bytes expected = {0xFE, 0x00, 200, 0, 1, 0, 0, 0, 0, 0,  // magic, flags, size, reserved
                            0, 0, 0, 0, 200, 0, 1, 0,              // frame rectangle
                            5, 0, 0, 0,                            // block length
                            4,                                     // row table
                            0x80, 5, 0xB8, 5};
    EXPECT_EQ(file, expected);
}

TEST(GfxPicture, LiteralsThenRunsThenLastPixel) {
    EXPECT_EQ(RowCodes(Encode(7, 1, {1, 2, 3, 3, 3, 3, 5})), (Bytes{2, 1, 2, 0xFC, 3, 0xFF, 5}));
    EXPECT_EQ(RowCodes(Encode(3, 1, {0xA, 0xB, 0xC})), (Bytes{2, 0xA, 0xB, 0xFF, 0xC}));
}

TEST(GfxPicture, LiteralsAreCutAt127) {
    const Bytes row = NeverRepeating(130);
    Bytes expected = {127};
    expected.insert(expected.end(), row.begin(), row.begin() + 127);
    for (uint8_t b : {uint8_t{2}, row[127], row[128], uint8_t{0xFF}, row[129]}) expected.push_back(b);
    EXPECT_EQ(RowCodes(Encode(130, 1, row)), expected);
}

TEST(GfxPicture, TransparentPixelsTravelInRepeatCodesAndTailsAreDropped) {
    // Row 1 widens the frame to all four columns.
    const Bytes file = Encode(4, 2, {0, 0, 7, 0, 1, 1, 1, 1}, 1);
    EXPECT_EQ(file[1], 0x01);
    const Bytes block(file.begin() + 22, file.end());
    EXPECT_EQ(block, (Bytes{4, 2, 0xFE, 0, 1, 7, 0xFC, 1}));
    EXPECT_EQ(RowCodes(Encode(3, 1, {7, 0, 8}, 1)), (Bytes{1, 7, 0xFF, 0, 0xFF, 8}));
}

TEST(GfxPicture, TransparentFrameShrinksToItsVisiblePixels) {
    Bytes pixels(6 * 5, 0);
    pixels[1 * 6 + 2] = 9;
    pixels[3 * 6 + 4] = 9;
    CGfxPicture picture(6, 5, pixels, 1);
    EXPECT_EQ(picture.frameLeft[0], 2u);
    EXPECT_EQ(picture.frameTop[0], 1u);
    EXPECT_EQ(picture.frameWidth[0], 3u);
    EXPECT_EQ(picture.frameHeight[0], 3u);
    const auto decoded = DecodeImg(picture.Bytes());
    EXPECT_EQ(decoded.frames.at(0).pixels, pixels);
}

TEST(GfxPicture, WhollyTransparentFrameKeepsTheFullRectangle) {
    const Bytes file = Encode(3, 2, Bytes(6, 0), 1);
    const Bytes expected = {0xFE, 0x01, 3, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 2, 0, 2, 0, 0, 0, 0, 0};
    EXPECT_EQ(file, expected);
}

TEST(GfxPicture, RowTableWidensPast255) {
    // n never-repeating pixels code to n + 1 + ceil((n - 1) / 127) bytes.
    const Bytes narrow = Encode(252, 1, NeverRepeating(252));
    EXPECT_EQ(narrow[1], 0x00);
    EXPECT_EQ(narrow[22], 255);
    EXPECT_EQ(narrow.size(), 22u + 1 + 255);

    const Bytes wide = Encode(253, 2, [] {
        Bytes p = NeverRepeating(253);
        p.resize(506, 4);  // a short second row, stored in the wide table too
        return p;
    }());
    EXPECT_EQ(wide[1], 0x02);
    EXPECT_EQ(wide[22] | wide[23] << 8, 256);
    EXPECT_EQ(wide[24] | wide[25] << 8, 4);  // -128 4, -125 4
    EXPECT_EQ(wide.size(), 22u + 4 + 256 + 4);
}

TEST(GfxPicture, ZeroWidthPictureIsAHeaderOnly) {
    const Bytes file = Encode(0, 7, {});
    const Bytes expected = {0xFE, 0, 0, 0, 7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7, 0, 0, 0, 0, 0};
    EXPECT_EQ(file, expected);
}

TEST(GfxPicture, WriteChecksItsBuffer) {
    CGfxPicture picture(2, 2, Bytes{1, 2, 3, 4}, 0);
    EXPECT_EQ(picture.Write({}), picture.GetSize());
    Bytes tooShort(picture.GetSize() - 1);
    EXPECT_THROW(picture.Write(tooShort), ERangeError);
    EXPECT_THROW(CGfxPicture(4, 4, Bytes(15), 0), ERangeError);
    EXPECT_THROW(picture.SetSize(65536, 1, 1, 0), ERangeError);
    EXPECT_THROW(picture.SetSize(1, 1, 256, 0), ERangeError);
}

TEST(GfxPicture, DecodesBackToTheSourcePicture) {
    std::mt19937 random(20240611);
    for (int round = 0; round < 300; ++round) {
        const auto width = static_cast<uint16_t>(random() % 300);
        const auto height = static_cast<uint16_t>(random() % 40);
        const int palette = 1 + static_cast<int>(random() % 6);  // few values give runs
        const bool transparent = random() % 2 == 0;
        Bytes pixels(size_t(width) * height);
        for (auto& p : pixels) p = static_cast<uint8_t>(random() % 3 == 0 ? random() % 256 : random() % palette);
        const Bytes file = Encode(width, height, pixels, transparent ? 1 : 0);
        const auto decoded = DecodeImg(file);
        ASSERT_EQ(decoded.width, width);
        ASSERT_EQ(decoded.height, height);
        ASSERT_EQ(decoded.frames.size(), 1u);
        ASSERT_EQ(decoded.frames[0].pixels, pixels) << "round " << round;
        // Runs of four or more are always repeat codes: no literal holds one.
        // A literal never holds the transparent index.
        const auto& frame = decoded.frames[0];
        size_t at = 22 + frame.rowLengths.size() * (decoded.wideRowTable ? 2 : 1);
        for (uint16_t length : frame.rowLengths) {
            const size_t end = at + length;
            int8_t last = 0;
            while (at < end) {
                last = static_cast<int8_t>(file[at++]);
                if (last < 0) {
                    ++at;
                    continue;
                }
                for (int k = 0; k < last; ++k) {
                    if (transparent) {
                        ASSERT_NE(file[at + k], 0);
                    }
                    if (k >= 3) {
                        ASSERT_FALSE(file[at + k] == file[at + k - 1] && file[at + k] == file[at + k - 2] &&
                                     file[at + k] == file[at + k - 3]);
                    }
                }
                at += last;
            }
            if (!transparent && length > 0) {
                ASSERT_LT(last, 0) << "a row ends in a repeat code";
            }
        }
    }
}

TEST(GfxPicture, SeveralFramesWithDelta) {
    CGfxPicture picture;
    picture.SetSize(5, 3, 3, 9);
    const Bytes frames[3] = {{1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 3, 3, 3, 3, 3},
                             {1, 1, 5, 1, 1, 2, 2, 2, 2, 2, 3, 3, 3, 3, 3},
                             {7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 8}};
    for (uint32_t i = 0; i < 3; ++i) std::copy(frames[i].begin(), frames[i].end(), picture.GetFrame(i).begin());
    picture.delta = 1;
    const uint32_t blocks = picture.Encode();
    EXPECT_EQ(picture.GetSize(), 14 + 12 * 3 + blocks);
    const Bytes file = picture.Bytes();
    EXPECT_EQ(file[1], 0x04);
    EXPECT_EQ(file[11], 3);
    EXPECT_EQ(file[12], 9);
    const auto decoded = thorn::test::DecodeImgFrames(file);
    ASSERT_EQ(decoded.frames.size(), 3u);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(decoded.frames[i].pixels, frames[i]) << i;
    EXPECT_TRUE(picture.GetFrame(3).empty());
}

TEST(GfxPicture, OneWideFrameWidensEveryFrame) {
    CGfxPicture picture;
    picture.SetSize(300, 1, 2, 0);
    const Bytes wide = NeverRepeating(300);
    std::copy(wide.begin(), wide.end(), picture.GetFrame(0).begin());
    std::fill(picture.GetFrame(1).begin(), picture.GetFrame(1).end(), 6);
    picture.Encode();
    EXPECT_EQ(picture.wideRowTable, 1);
    EXPECT_EQ(picture.frameDataSize[1], 2u + 6);  // u16 table entry, -128 6, -128 6, -44 6
    const auto decoded = thorn::test::DecodeImgFrames(picture.Bytes());
    EXPECT_TRUE(decoded.wideRowTable);
    EXPECT_EQ(decoded.frames.at(0).pixels, wide);
    EXPECT_EQ(decoded.frames.at(1).pixels, Bytes(300, 6));
}

}  // namespace
