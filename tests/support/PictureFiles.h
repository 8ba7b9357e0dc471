#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <span>
#include <string_view>
#include <vector>

#include <jpeglib.h>

class TBitmap32;

// Picture files written by the tests: BMP and icon files assembled field by
// field as their formats lay them out, JPEG files from libjpeg, so the
// readers are checked against the formats and another program's output.
namespace thorn::test {

// Little-endian fields one after the other.
class ByteWriter {
public:
    ByteWriter& U8(uint8_t v);
    ByteWriter& U16(uint16_t v);
    ByteWriter& U32(uint32_t v);
    ByteWriter& I32(int32_t v) { return U32(static_cast<uint32_t>(v)); }
    ByteWriter& Raw(std::span<const uint8_t> bytes);
    ByteWriter& Raw(std::initializer_list<uint8_t> bytes);
    // The characters' bytes, without an end mark.
    ByteWriter& Chars(std::string_view text);
    // A length byte, then the characters (at most 255).
    ByteWriter& ShortString(std::string_view text);
    ByteWriter& Zeros(size_t count);
    void PatchU32(size_t at, uint32_t v);
    size_t Size() const { return bytes_.size(); }
    const std::vector<uint8_t>& Bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};

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
// The bitmap as a 24-bit bottom-up BMP file, rows padded to four bytes; the
// alpha of the pixels is dropped.
std::vector<uint8_t> Bmp24File(const TBitmap32& picture);
void WriteBmp24(const std::filesystem::path& file, const TBitmap32& picture);

// An icon file with one entry holding the image bytes.
std::vector<uint8_t> IcoFile(uint8_t width, uint8_t height, uint16_t bitCount, const std::vector<uint8_t>& image);

// A JPEG file of width x height pixels of `components` samples each, in the
// given colour space, written by libjpeg.
std::vector<uint8_t> JpegFile(int width, int height, int components, J_COLOR_SPACE space,
                              std::span<const uint8_t> samples, int quality = 95, bool progressive = false);
// The bitmap's colours as a baseline JPEG file.
std::vector<uint8_t> JpegFile(const TBitmap32& picture, int quality);
void WriteJpeg(const std::filesystem::path& file, const TBitmap32& picture, int quality);

}  // namespace thorn::test
