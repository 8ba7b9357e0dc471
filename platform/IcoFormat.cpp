#include <algorithm>
#include <string>

#include "platform/DibFormat.h"
#include "platform/PictureFormat.h"
#include "platform/Pictures.h"

namespace thorn {
namespace {

constexpr size_t kDirectoryHeader = 6;
constexpr size_t kDirectoryEntry = 16;
constexpr uint8_t kPngSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

bool IsPng(std::span<const uint8_t> data) {
    return data.size() >= sizeof kPngSignature && std::equal(std::begin(kPngSignature), std::end(kPngSignature), data.begin());
}

// Whether the AND mask marks pixel (x, y) transparent; the mask's rows are
// bottom-up, one bit per pixel, padded to 32 bits.
bool MaskedOut(std::span<const uint8_t> mask, int32_t width, int32_t height, int32_t x, int32_t y) {
    const size_t stride = (static_cast<size_t>(width) + 31) / 32 * 4;
    const size_t row = static_cast<size_t>(height - 1 - y);
    return (mask[row * stride + static_cast<size_t>(x) / 8] >> (7 - x % 8)) & 1;
}

}  // namespace

// The first image, as the platform draws an icon at its own size onto a
// fresh black store: transparent pixels stay black and a 32-bit image's
// alpha is blended over black; the result is opaque.
DecodedPicture DecodeIco(std::span<const uint8_t> file, const PictureLimits& limits) {
    if (file.size() < kDirectoryHeader || picture::Le16(file, 0) != 0 || picture::Le16(file, 2) != 1)
        picture::Fail("The file is not an icon");
    if (picture::Le16(file, 4) == 0) picture::Fail("The icon file holds no image");
    if (file.size() < kDirectoryHeader + kDirectoryEntry) picture::Fail("The icon file is truncated");
    const uint32_t size = picture::Le32(file, kDirectoryHeader + 8);
    const uint32_t offset = picture::Le32(file, kDirectoryHeader + 12);
    if (offset > file.size() || size > file.size() - offset)
        picture::Fail("The icon file is truncated: its image lies past the end of the file");
    const auto data = file.subspan(offset, size);
    if (IsPng(data)) picture::Fail("Icons with PNG-compressed images are not supported");

    auto image = picture::DecodeDib(data, std::nullopt, true, limits);
    DecodedPicture& result = image.picture;
    if (image.thirtyTwoBits && !image.alphaAllZero) {
        for (uint32_t& pixel : result.pixels) {
            const uint32_t a = pixel >> 24;
            auto over = [a](uint32_t c) { return (c * a + 127) / 255; };
            pixel = 0xFF000000u | (over((pixel >> 16) & 0xFF) << 16) | (over((pixel >> 8) & 0xFF) << 8) | over(pixel & 0xFF);
        }
        return std::move(result);
    }
    const size_t maskBytes = (static_cast<size_t>(result.width) + 31) / 32 * 4 * static_cast<size_t>(result.height);
    if (image.pixelEnd > data.size() || maskBytes > data.size() - image.pixelEnd)
        picture::Fail("The icon is truncated: its transparency mask is missing");
    const auto mask = data.subspan(image.pixelEnd, maskBytes);
    for (int32_t y = 0; y < result.height; ++y)
        for (int32_t x = 0; x < result.width; ++x) {
            uint32_t& pixel = result.pixels[static_cast<size_t>(y) * result.width + x];
            pixel = MaskedOut(mask, result.width, result.height, x, y) ? 0xFF000000u : (pixel | 0xFF000000u);
        }
    return std::move(result);
}

}  // namespace thorn
