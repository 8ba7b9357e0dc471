#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "support/ByteWriter.h"

// Picture files assembled field by field, as the BMP and icon formats lay
// them out, so the readers are checked against the formats themselves.
namespace thorn::test {

// A DIB: info header of headerSize bytes (12 = OS/2 core, 16/64 = OS/2 2.x,
// 40/52/56/108/124 = the Windows versions), bit masks (inside the header
// from 52 bytes on, after it otherwise when the compression asks for them),
// the colour table and the pixel bytes exactly as given.
struct DibSpec {
    uint32_t headerSize = 40;
    int32_t width = 1;
    int32_t height = 1;
    uint16_t bitCount = 24;
    uint32_t compression = 0;
    uint32_t colorsUsed = 0;
    std::array<uint32_t, 4> masks{};  // red, green, blue, alpha
    std::vector<uint32_t> palette;    // 0x00RRGGBB, written as the header wants
    std::vector<uint8_t> pixels;
};

std::vector<uint8_t> DibBytes(const DibSpec& spec);
// A BMP file: the file header with the right size and pixel offset, then the DIB.
std::vector<uint8_t> BmpFile(const DibSpec& spec);
// Pixel offset field of a BMP file.
inline constexpr size_t kBmpOffsetField = 10;

// An icon file with one entry holding the image bytes.
std::vector<uint8_t> IcoFile(uint8_t width, uint8_t height, uint16_t bitCount, const std::vector<uint8_t>& image);

}  // namespace thorn::test
