#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "platform/Classes.h"

// Picture files read into 32-bit pixels, and the 32-bit BMP written back:
// what the picture objects of the original platform gave the bitmap library.
namespace thorn {

// A picture as the bitmap library receives it: TColor32 pixels (0xAARRGGBB,
// in memory blue, green, red, alpha), row 0 at the top, width * height of them.
struct DecodedPicture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;
};

// How large a picture a reader accepts. Sides outside 1..maxSide or more
// than maxPixels pixels are refused before anything is allocated.
struct PictureLimits {
    int32_t maxSide = 32767;
    int64_t maxPixels = int64_t{128} << 20;
};

// Every reader throws EInvalidGraphic with a message for the user when the
// bytes are not a picture it can read (damaged, truncated, hostile, or of an
// unsupported kind); it never reads outside the given bytes.

// Thrown for content of no picture format the readers know (nor one they
// know and refuse, such as a metafile or a PNG).
class EUnknownPictureFormat : public EInvalidGraphic {
public:
    using EInvalidGraphic::EInvalidGraphic;
};

// Chooses the reader by the content, not by a file name: BMP, JPEG or icon.
// Metafiles (WMF, EMF), PNG, no bytes at all and unknown content are refused.
DecodedPicture DecodePicture(std::span<const uint8_t> file, const PictureLimits& limits = {});

// A BMP file: 1, 2, 4, 8, 16, 24 and 32 bits, RLE4, RLE8, bit fields, info
// headers of every version, the OS/2 headers, bottom-up or top-down. Every
// pixel is opaque except in a 32-bit picture, whose alpha is kept as stored
// (unless every alpha byte is zero: then it is opaque too).
DecodedPicture DecodeBmp(std::span<const uint8_t> file, const PictureLimits& limits = {});

// An icon file: its first image as it looks drawn on black, fully opaque.
// PNG-compressed images are refused.
DecodedPicture DecodeIco(std::span<const uint8_t> file, const PictureLimits& limits = {});

// A JPEG file (greyscale, YCbCr/RGB, CMYK/YCCK), fully opaque.
DecodedPicture DecodeJpeg(std::span<const uint8_t> file, const PictureLimits& limits = {});

// A complete BMP file holding the pixels as 32 bits with their alpha (a V4
// header with bit fields, bottom-up rows), which DecodeBmp and common viewers
// read back unchanged. pixels.size() must be width * height; a side of 0
// gives a header-only file with no pixels.
std::vector<uint8_t> EncodeBmp32(int32_t width, int32_t height, std::span<const uint32_t> pixels);

// Reads and decodes a picture file. A file that cannot be opened (missing, a
// folder or anything else that is not a regular file, unreadable) raises
// EFOpenError naming it and saying why. Its first bytes and its size are
// checked before it is read whole: a file that is no picture, or larger
// than a picture within the limits can be, raises EInvalidGraphic (content
// of no known format EUnknownPictureFormat), as does one that cannot be
// decoded.
DecodedPicture LoadPictureFile(const std::filesystem::path& file, const PictureLimits& limits = {});

}  // namespace thorn
