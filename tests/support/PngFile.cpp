#include "PngFile.h"

#include <zlib.h>

#include <stdexcept>
#include <string_view>

#include "TempDir.h"
#include "bitmap/Pix32.h"

namespace thorn::test {
namespace {

void PutU32BigEndian(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

// Length, type, data and the CRC-32 of type and data.
void PutChunk(std::vector<uint8_t>& out, std::string_view type, const std::vector<uint8_t>& data) {
    PutU32BigEndian(out, static_cast<uint32_t>(data.size()));
    size_t start = out.size();
    out.insert(out.end(), type.begin(), type.end());
    out.insert(out.end(), data.begin(), data.end());
    uLong crc = crc32(0L, out.data() + start, static_cast<uInt>(out.size() - start));
    PutU32BigEndian(out, static_cast<uint32_t>(crc));
}

}  // namespace

std::vector<uint8_t> PngFile(const TBitmap32& picture) {
    const int width = picture.Width(), height = picture.Height();
    std::vector<uint8_t> raw;
    raw.reserve(static_cast<size_t>(height) * (1 + 3 * static_cast<size_t>(width)));
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);  // filter: none
        for (int x = 0; x < width; ++x) {
            uint32_t p = picture.GetPixel(x, y);
            raw.push_back(static_cast<uint8_t>(p >> 16));
            raw.push_back(static_cast<uint8_t>(p >> 8));
            raw.push_back(static_cast<uint8_t>(p));
        }
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), Z_BEST_SPEED) != Z_OK)
        throw std::runtime_error("zlib could not compress the picture");
    packed.resize(packedSize);

    std::vector<uint8_t> file{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    PutU32BigEndian(header, static_cast<uint32_t>(width));
    PutU32BigEndian(header, static_cast<uint32_t>(height));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, no filter, no interlace
    PutChunk(file, "IHDR", header);
    PutChunk(file, "IDAT", packed);
    PutChunk(file, "IEND", {});
    return file;
}

void WritePng(const std::filesystem::path& file, const TBitmap32& picture) { WriteFileBytes(file, PngFile(picture)); }

}  // namespace thorn::test
