// Reads arbitrary bytes as a bitmap's "Data" stream: sizes that the bytes
// cannot hold must fail cleanly, leaving the bitmap as it was, and a stream
// that reads must give exactly the pixels it holds.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>

#include "bitmap/Pix32.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TMemoryStream stream(std::span<const uint8_t>(data, size));
    TBitmap32 bitmap;
    bitmap.SetSize(2, 1);
    bitmap.Clear(0xFF102030u);
    try {
        bitmap.ReadData(stream);
    } catch (const EReadError&) {
        if (bitmap.Width() != 2 || bitmap.Height() != 1 || bitmap.GetPixel(1, 0) != 0xFF102030u) std::abort();
        return 0;
    }
    int32_t sides[2];
    std::memcpy(sides, data, sizeof sides);
    if (bitmap.Width() != std::max(sides[0], 0) || bitmap.Height() != std::max(sides[1], 0)) std::abort();
    if (!bitmap.Empty()) {
        size_t bytes = static_cast<size_t>(bitmap.Width()) * static_cast<size_t>(bitmap.Height()) * 4;
        if (8 + bytes > size || std::memcmp(bitmap.Bits(), data + 8, bytes) != 0) std::abort();
    }
    // What was read writes back as the same bytes.
    TMemoryStream out;
    bitmap.WriteData(out);
    if (bitmap.Empty()) return 0;
    if (out.Bytes().size() > size || std::memcmp(out.Bytes().data(), data, out.Bytes().size()) != 0) std::abort();
    return 0;
}
