#include <string>

#include "platform/DibFormat.h"
#include "platform/PictureFormat.h"
#include "platform/Pictures.h"

namespace thorn {
namespace {

constexpr size_t kFileHeader = 14;
constexpr uint32_t kV4Header = 108;
constexpr uint32_t kBitFields = 3;
constexpr uint32_t kSrgbColorSpace = 0x73524742;  // 'sRGB'
constexpr uint32_t kPixelsPerMetre = 3780;        // 96 pixels per inch

void PutLe16(std::vector<uint8_t>& out, size_t at, uint16_t v) {
    out[at] = static_cast<uint8_t>(v);
    out[at + 1] = static_cast<uint8_t>(v >> 8);
}

void PutLe32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace

DecodedPicture DecodeBmp(std::span<const uint8_t> file, const PictureLimits& limits) {
    if (file.size() < kFileHeader || file[0] != 'B' || file[1] != 'M') picture::Fail("The file is not a BMP picture");
    const uint32_t pixelOffset = picture::Le32(file, 10);
    // Some writers leave the offset 0: then the pixels follow the colour table.
    std::optional<size_t> offsetInDib;
    if (pixelOffset != 0) {
        if (pixelOffset < kFileHeader) picture::Fail("The BMP picture's pixel offset points into its header");
        offsetInDib = pixelOffset - kFileHeader;
    }
    auto image = picture::DecodeDib(file.subspan(kFileHeader), offsetInDib, false, limits);
    if (image.thirtyTwoBits && image.alphaAllZero)
        for (uint32_t& pixel : image.picture.pixels) pixel |= 0xFF000000u;
    return std::move(image.picture);
}

std::vector<uint8_t> EncodeBmp32(int32_t width, int32_t height, std::span<const uint32_t> pixels) {
    if (width < 0 || height < 0 || pixels.size() != static_cast<size_t>(width) * static_cast<size_t>(height))
        picture::Fail("Cannot write a " + std::to_string(width) + " x " + std::to_string(height) +
                      " BMP picture from " + std::to_string(pixels.size()) + " pixels");
    const size_t headers = kFileHeader + kV4Header;
    const uint64_t pixelBytes = uint64_t{pixels.size()} * 4;
    if (pixelBytes > UINT32_MAX - headers) picture::Fail("The picture is too large for a BMP file");
    std::vector<uint8_t> out(headers + pixelBytes, 0);

    out[0] = 'B';
    out[1] = 'M';
    PutLe32(out, 2, static_cast<uint32_t>(out.size()));
    PutLe32(out, 10, static_cast<uint32_t>(headers));

    const size_t h = kFileHeader;
    PutLe32(out, h + 0, kV4Header);
    PutLe32(out, h + 4, static_cast<uint32_t>(width));
    PutLe32(out, h + 8, static_cast<uint32_t>(height));  // positive: bottom-up rows
    PutLe16(out, h + 12, 1);
    PutLe16(out, h + 14, 32);
    PutLe32(out, h + 16, kBitFields);
    PutLe32(out, h + 20, static_cast<uint32_t>(pixelBytes));
    PutLe32(out, h + 24, kPixelsPerMetre);
    PutLe32(out, h + 28, kPixelsPerMetre);
    PutLe32(out, h + 40, 0x00FF0000);
    PutLe32(out, h + 44, 0x0000FF00);
    PutLe32(out, h + 48, 0x000000FF);
    PutLe32(out, h + 52, 0xFF000000);
    PutLe32(out, h + 56, kSrgbColorSpace);

    size_t at = headers;
    for (int32_t y = height - 1; y >= 0; --y) {
        const auto row = pixels.subspan(static_cast<size_t>(y) * static_cast<size_t>(width), static_cast<size_t>(width));
        for (uint32_t pixel : row) {
            PutLe32(out, at, pixel);
            at += 4;
        }
    }
    return out;
}

}  // namespace thorn
