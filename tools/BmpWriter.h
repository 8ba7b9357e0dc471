#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "tools/Raster.h"

// BMP files as every picture program reads them: a file header, a 40-byte
// info header, bottom-up rows.
namespace thorn::startdir {

// 24 bits per pixel, uncompressed.
std::vector<uint8_t> EncodeBmp24(const Raster& picture);

// 8 bits per pixel with a palette of up to 256 colours; `indices` holds
// width * height palette indices, row 0 at the top. With `runLength` the rows
// are stored run-length coded (RLE8), which keeps pictures of large one-colour
// regions small.
std::vector<uint8_t> EncodeBmp8(int width, int height, std::span<const uint8_t> indices,
                                std::span<const Rgb> palette, bool runLength);
// The same, with the picture's own colours as the palette, in the order
// they first appear. Throws std::runtime_error for more than 256 colours.
std::vector<uint8_t> EncodeBmp8(const Raster& picture, bool runLength);

}  // namespace thorn::startdir
