#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "platform/Pictures.h"

// The device-independent bitmap inside BMP files and icons: an info header
// (any version, or the OS/2 ones), bit masks, a colour table and the pixels.
namespace thorn::picture {

struct DibImage {
    DecodedPicture picture;    // alpha 255, or as stored for 32 bits
    bool thirtyTwoBits = false;
    bool alphaAllZero = true;  // of a 32-bit image: whether every alpha was 0
    size_t pixelEnd = 0;       // offset in the DIB just past the pixel rows
};

// Decodes the DIB that starts at dib[0] (its info header). pixelOffset is
// where the pixels start within dib (a BMP file header says so); without it
// they follow the colour table, as in an icon. An icon's header counts the
// AND mask's rows in its height: halfHeight reads only the colour rows.
DibImage DecodeDib(std::span<const uint8_t> dib, std::optional<size_t> pixelOffset, bool halfHeight,
                   const PictureLimits& limits);

}  // namespace thorn::picture
