#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/Classes.h"
#include "platform/Pictures.h"
#include "support/PictureFiles.h"
#include "support/Readers.h"

namespace {

using thorn::DecodeJpeg;
using thorn::test::JpegFile;

std::vector<uint8_t> Gradient(int width, int height) {
    std::vector<uint8_t> rgb;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            rgb.push_back(static_cast<uint8_t>(x * 4));
            rgb.push_back(static_cast<uint8_t>(y * 5));
            rgb.push_back(static_cast<uint8_t>(128));
        }
    return rgb;
}

std::string MessageOf(const std::vector<uint8_t>& file) {
    return thorn::test::MessageOf<EInvalidGraphic>([&] { DecodeJpeg(file); });
}

TEST(JpegReader, ColourPicturesDecodeCloseToTheOriginalAndOpaque) {
    for (bool progressive : {false, true}) {
        const auto rgb = Gradient(48, 32);
        auto p = DecodeJpeg(JpegFile(48, 32, 3, JCS_RGB, rgb, 95, progressive));
        ASSERT_EQ(p.width, 48);
        ASSERT_EQ(p.height, 32);
        int worst = 0;
        for (size_t i = 0; i < p.pixels.size(); ++i) {
            const uint32_t px = p.pixels[i];
            ASSERT_EQ(px >> 24, 0xFFu);
            worst = std::max({worst, std::abs(static_cast<int>((px >> 16) & 0xFF) - rgb[i * 3]),
                              std::abs(static_cast<int>((px >> 8) & 0xFF) - rgb[i * 3 + 1]),
                              std::abs(static_cast<int>(px & 0xFF) - rgb[i * 3 + 2])});
        }
        EXPECT_LE(worst, 8) << progressive;
    }
}

TEST(JpegReader, GreyscaleGivesEqualChannels) {
    std::vector<uint8_t> grey(16 * 8);
    for (size_t i = 0; i < grey.size(); ++i) grey[i] = static_cast<uint8_t>(i * 2);
    auto p = DecodeJpeg(JpegFile(16, 8, 1, JCS_GRAYSCALE, grey));
    for (size_t i = 0; i < p.pixels.size(); ++i) {
        const uint32_t px = p.pixels[i];
        EXPECT_EQ((px >> 16) & 0xFF, px & 0xFF);
        EXPECT_EQ((px >> 8) & 0xFF, px & 0xFF);
        EXPECT_NEAR(static_cast<int>(px & 0xFF), grey[i], 4);
        EXPECT_EQ(px >> 24, 0xFFu);
    }
}

TEST(JpegReader, CmykWithTheAdobeMarkerIsInverted) {
    // libjpeg writes CMYK with Adobe's marker, whose convention stores 255 for
    // no ink. Pure red: no cyan and no black, full magenta and yellow.
    std::vector<uint8_t> cmyk;
    for (int i = 0; i < 8 * 8; ++i) cmyk.insert(cmyk.end(), {255, 0, 0, 255});
    auto p = DecodeJpeg(JpegFile(8, 8, 4, JCS_CMYK, cmyk));
    for (uint32_t px : p.pixels) {
        EXPECT_NEAR(static_cast<int>((px >> 16) & 0xFF), 255, 3);
        EXPECT_NEAR(static_cast<int>((px >> 8) & 0xFF), 0, 3);
        EXPECT_NEAR(static_cast<int>(px & 0xFF), 0, 3);
    }
}

// The file up to the end of its first start-of-scan segment, then the end
// marker: a scan without data. Empty when the file has no scan.
std::vector<uint8_t> WithEmptyScan(const std::vector<uint8_t>& file) {
    for (size_t at = 2; at + 4 <= file.size();) {  // segment by segment after the start marker
        const size_t end = at + 2 + (size_t{file[at + 2]} << 8 | file[at + 3]);
        if (file[at + 1] == 0xDA && end <= file.size()) {
            std::vector<uint8_t> cut(file.begin(), file.begin() + static_cast<ptrdiff_t>(end));
            cut.insert(cut.end(), {0xFF, 0xD9});
            return cut;
        }
        at = end;
    }
    return {};
}

TEST(JpegReader, TruncatedAndDamagedFilesFailCleanly) {
    const auto file = JpegFile(16, 16, 3, JCS_RGB, Gradient(16, 16));
    // Every prefix either fails or, when only the end marker is missing, gives the whole picture.
    for (size_t n = 0; n < file.size(); ++n) {
        std::vector<uint8_t> prefix(file.begin(), file.begin() + static_cast<ptrdiff_t>(n));
        try {
            auto p = DecodeJpeg(prefix);
            EXPECT_GE(n, file.size() - 2) << n;
            EXPECT_EQ(p.width, 16);
        } catch (const EInvalidGraphic&) {
        }
    }
    std::vector<uint8_t> cut(file.begin(), file.end() - 40);  // inside the scan data
    EXPECT_NE(MessageOf(cut).find("truncated"), std::string::npos);
    // A scan whose data ends at once in the end marker: the header's 512 x
    // 512 would come out grey.
    for (bool progressive : {false, true}) {
        SCOPED_TRACE(progressive ? "progressive" : "baseline");
        const auto empty =
            WithEmptyScan(JpegFile(512, 512, 3, JCS_RGB, std::vector<uint8_t>(512 * 512 * 3, 200), 75, progressive));
        ASSERT_FALSE(empty.empty());
        EXPECT_NE(MessageOf(empty).find("truncated"), std::string::npos);
    }
    std::vector<uint8_t> garbage = {0xFF, 0xD8, 0xFF, 0x12, 0x00, 0x01, 0x02};
    EXPECT_NE(MessageOf(garbage).find("cannot be read"), std::string::npos);
    EXPECT_NE(MessageOf({0xFF, 0xD8}).find("not a JPEG"), std::string::npos);
}

TEST(JpegReader, HugeSidesAreRefusedBeforeDecoding) {
    auto file = JpegFile(8, 8, 3, JCS_RGB, Gradient(8, 8));
    for (size_t i = 0; i + 8 < file.size(); ++i)
        if (file[i] == 0xFF && (file[i + 1] == 0xC0 || file[i + 1] == 0xC2)) {
            file[i + 5] = 0xFF;  // height 0xFF08
            file[i + 6] = 0x08;
            break;
        }
    EXPECT_NE(MessageOf(file).find("too large"), std::string::npos);
    thorn::PictureLimits small;
    small.maxPixels = 32;
    EXPECT_THROW(DecodeJpeg(JpegFile(8, 8, 3, JCS_RGB, Gradient(8, 8)), small), EInvalidGraphic);
}

}  // namespace
