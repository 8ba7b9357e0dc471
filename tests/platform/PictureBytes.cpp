#include "PictureBytes.h"

namespace thorn::test {

std::vector<uint8_t> DibBytes(const DibSpec& spec) {
    ByteWriter w;
    w.U32(spec.headerSize);
    if (spec.headerSize == 12) {
        w.U16(static_cast<uint16_t>(spec.width)).U16(static_cast<uint16_t>(spec.height)).U16(1).U16(spec.bitCount);
    } else {
        w.I32(spec.width).I32(spec.height).U16(1).U16(spec.bitCount);
        if (spec.headerSize > 16) {
            w.U32(spec.compression).U32(0).U32(2835).U32(2835).U32(spec.colorsUsed).U32(0);
            const bool windows = spec.headerSize != 64;
            if (windows && spec.headerSize >= 52)
                for (int i = 0; i < (spec.headerSize >= 56 ? 4 : 3); ++i) w.U32(spec.masks[i]);
            w.Zeros(spec.headerSize - w.Size());
        }
        const bool bitFields = spec.compression == 3 || spec.compression == 6;
        if (spec.headerSize == 40 && bitFields)
            for (int i = 0; i < (spec.compression == 6 ? 4 : 3); ++i) w.U32(spec.masks[i]);
    }
    for (uint32_t c : spec.palette) {
        w.U8(static_cast<uint8_t>(c)).U8(static_cast<uint8_t>(c >> 8)).U8(static_cast<uint8_t>(c >> 16));
        if (spec.headerSize != 12) w.U8(0);
    }
    w.Raw(spec.pixels);
    return w.Bytes();
}

std::vector<uint8_t> BmpFile(const DibSpec& spec) {
    const auto dib = DibBytes(spec);
    ByteWriter w;
    w.U8('B').U8('M').U32(static_cast<uint32_t>(14 + dib.size())).U32(0);
    w.U32(static_cast<uint32_t>(14 + dib.size() - spec.pixels.size()));
    w.Raw(dib);
    return w.Bytes();
}

std::vector<uint8_t> IcoFile(uint8_t width, uint8_t height, uint16_t bitCount, const std::vector<uint8_t>& image) {
    ByteWriter w;
    w.U16(0).U16(1).U16(1);
    w.U8(width).U8(height).U8(0).U8(0).U16(1).U16(bitCount).U32(static_cast<uint32_t>(image.size())).U32(22);
    w.Raw(image);
    return w.Bytes();
}

}  // namespace thorn::test
