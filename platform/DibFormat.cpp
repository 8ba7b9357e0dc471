#include "platform/DibFormat.h"

#include <algorithm>
#include <array>
#include <bit>
#include <string>
#include <vector>

#include "platform/PictureFormat.h"

namespace thorn::picture {
namespace {

constexpr uint32_t kRgb = 0;
constexpr uint32_t kRle8 = 1;
constexpr uint32_t kRle4 = 2;
constexpr uint32_t kBitFields = 3;
constexpr uint32_t kJpeg = 4;
constexpr uint32_t kPng = 5;
constexpr uint32_t kAlphaBitFields = 6;

constexpr size_t kCoreHeader = 12;
constexpr size_t kInfoHeader = 40;
constexpr size_t kMaxOs2Header = 64;

// One colour channel of a bit-field pixel: where it sits and how wide its
// largest value is, scaled to 0..255 when read.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    uint32_t maximum = 0;

    explicit Channel(uint32_t m = 0) : mask(m) {
        if (mask != 0) {
            shift = std::countr_zero(mask);
            maximum = mask >> shift;
        }
    }
    uint32_t Read(uint32_t pixel) const {
        if (maximum == 0) return 0;
        const uint64_t value = (pixel & mask) >> shift;
        // An 8-bit channel scales to itself: spare the division.
        if (maximum == 255) return static_cast<uint32_t>(value);
        return static_cast<uint32_t>((value * 255 + maximum / 2) / maximum);
    }
};

struct Layout {
    bool os2 = false;  // an OS/2 header: compression 3 and 4 mean other things
    size_t headerSize = 0;
    int32_t width = 0;
    int32_t rows = 0;  // rows of colour pixels
    bool topDown = false;
    uint16_t bitCount = 0;
    uint32_t compression = kRgb;
    uint32_t colorsUsed = 0;
    std::array<uint32_t, 4> masks{};  // red, green, blue, alpha
    size_t tableStart = 0;  // offset of the colour table (after any masks)
    size_t paletteEntrySize = 4;
    std::vector<uint32_t> palette;  // opaque TColor32 values
};

[[noreturn]] void Truncated() { Fail("The bitmap is truncated: its header or pixels run past the end of the file"); }

void ReadHeader(std::span<const uint8_t> dib, bool halfHeight, const PictureLimits& limits, Layout& layout) {
    if (dib.size() < 4) Truncated();
    const uint32_t headerSize = Le32(dib, 0);
    const bool windowsHeader = headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 108 ||
                               headerSize == 124;
    if (headerSize != kCoreHeader && !windowsHeader && (headerSize < 16 || headerSize > kMaxOs2Header))
        Fail("Bitmaps with a " + std::to_string(headerSize) + "-byte header are not supported");
    if (dib.size() < headerSize) Truncated();
    layout.headerSize = headerSize;

    int64_t height = 0;
    if (headerSize == kCoreHeader) {
        layout.width = Le16(dib, 4);
        height = Le16(dib, 6);
        layout.bitCount = Le16(dib, 10);
        layout.paletteEntrySize = 3;
    } else {
        layout.os2 = !windowsHeader;
        layout.width = static_cast<int32_t>(Le32(dib, 4));
        height = static_cast<int32_t>(Le32(dib, 8));
        layout.bitCount = Le16(dib, 14);
        // OS/2 headers may stop after any field; the missing ones are zero.
        auto field = [&](size_t at) { return at + 4 <= headerSize ? Le32(dib, at) : 0u; };
        layout.compression = field(16);
        layout.colorsUsed = field(32);
    }
    if (height < 0) {
        layout.topDown = true;
        height = -height;
    }
    if (halfHeight) height /= 2;
    CheckPictureSize(layout.width, height, limits, "bitmap");
    layout.rows = static_cast<int32_t>(height);
}

void CheckFormat(Layout& layout) {
    const uint32_t c = layout.compression;
    const uint16_t bits = layout.bitCount;
    if (layout.os2 && (c == 3 || c == 4)) Fail("OS/2 bitmaps compressed with Huffman or RLE24 are not supported");
    if (c == kJpeg || c == kPng) Fail("Bitmaps holding JPEG or PNG data are not supported");
    if (c != kRgb && c != kRle8 && c != kRle4 && c != kBitFields && c != kAlphaBitFields)
        Fail("The bitmap's compression (" + std::to_string(c) + ") is not supported");
    if (bits != 1 && bits != 2 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        Fail("Bitmaps of " + std::to_string(bits) + " bits per pixel are not supported");
    if (c == kRle8 && bits != 8) Fail("An RLE8 bitmap must have 8 bits per pixel");
    if (c == kRle4 && bits != 4) Fail("An RLE4 bitmap must have 4 bits per pixel");
    if ((c == kBitFields || c == kAlphaBitFields) && bits != 16 && bits != 32)
        Fail("A bitmap with bit fields must have 16 or 32 bits per pixel");
}

void ReadMasks(std::span<const uint8_t> dib, Layout& layout) {
    layout.tableStart = layout.headerSize;
    const bool bitFields = layout.compression == kBitFields || layout.compression == kAlphaBitFields;
    if (bitFields) {
        // The masks are in the header from its 52-byte version on; an older
        // header is followed by them.
        size_t count = layout.compression == kAlphaBitFields ? 4 : 3;
        size_t at = layout.headerSize;
        if (layout.headerSize >= 52) {
            // Only the masks the header has room for: a 52-byte one holds no
            // alpha mask, and what follows it is not one.
            at = kInfoHeader;
            count = std::min(count, (layout.headerSize - kInfoHeader) / 4);
        } else {
            layout.tableStart = layout.headerSize + count * 4;
            if (dib.size() < layout.tableStart) Truncated();
        }
        for (size_t i = 0; i < count; ++i) layout.masks[i] = Le32(dib, at + 4 * i);
        if (layout.headerSize >= 56) layout.masks[3] = Le32(dib, kInfoHeader + 12);
        if (layout.bitCount == 16) layout.masks[3] = 0;  // 16-bit pictures arrive opaque
        // Without its own alpha mask, a 32-bit picture with the usual colour
        // masks keeps its fourth byte as alpha, as the platform's blit does.
        const bool ownAlpha = layout.compression == kAlphaBitFields || layout.headerSize >= 56;
        if (layout.bitCount == 32 && !ownAlpha && layout.masks[0] == 0xFF0000 && layout.masks[1] == 0xFF00 &&
            layout.masks[2] == 0xFF)
            layout.masks[3] = 0xFF000000;
    } else if (layout.bitCount == 16) {
        layout.masks = {0x7C00, 0x03E0, 0x001F, 0};
    } else if (layout.bitCount == 32) {
        layout.masks = {0xFF0000, 0xFF00, 0xFF, 0xFF000000};
    }
}

// Reads the colour table, which ends at the pixels when their offset is
// known; answers where the pixels start.
size_t ReadPalette(std::span<const uint8_t> dib, std::optional<size_t> pixelOffset, Layout& layout) {
    uint64_t count = layout.colorsUsed;
    if (layout.bitCount <= 8) {
        const uint32_t full = 1u << layout.bitCount;
        if (count > full)
            Fail("The bitmap's colour table is too large (" + std::to_string(count) + " colours for " +
                 std::to_string(layout.bitCount) + " bits per pixel)");
        if (count == 0) count = full;
    }
    const size_t start = layout.tableStart;
    if (start > dib.size()) Truncated();
    uint64_t tableBytes = count * layout.paletteEntrySize;
    if (pixelOffset) {
        if (*pixelOffset < start) Fail("The bitmap's pixel offset points into its header");
        if (*pixelOffset > dib.size()) Fail("The bitmap's pixel offset lies past the end of the file");
        // Old writers often store fewer entries than the header implies.
        tableBytes = std::min<uint64_t>(tableBytes, *pixelOffset - start);
    } else if (tableBytes > dib.size() - start) {
        Truncated();
    }
    if (layout.bitCount <= 8) {
        const size_t entries = static_cast<size_t>(tableBytes / layout.paletteEntrySize);
        layout.palette.reserve(entries);
        for (size_t i = 0; i < entries; ++i) {
            const size_t at = start + i * layout.paletteEntrySize;
            layout.palette.push_back(0xFF000000u | (uint32_t{dib[at + 2]} << 16) | (uint32_t{dib[at + 1]} << 8) |
                                     dib[at]);
        }
    }
    return pixelOffset ? *pixelOffset : start + static_cast<size_t>(tableBytes);
}

uint32_t PaletteColor(const Layout& layout, uint32_t index) {
    return index < layout.palette.size() ? layout.palette[index] : 0xFF000000u;
}

uint32_t* OutputRow(DibImage& image, const Layout& layout, int64_t fileRow) {
    const int64_t y = layout.topDown ? fileRow : layout.rows - 1 - fileRow;
    return image.picture.pixels.data() + y * layout.width;
}

void DecodeUncompressed(std::span<const uint8_t> dib, size_t start, const Layout& layout, DibImage& image) {
    const uint64_t rowBits = static_cast<uint64_t>(layout.width) * layout.bitCount;
    const uint64_t stride = (rowBits + 31) / 32 * 4;
    image.pixelEnd = static_cast<size_t>(start + std::min<uint64_t>(stride * layout.rows, dib.size() - start));

    const Channel red(layout.masks[0]), green(layout.masks[1]), blue(layout.masks[2]), alpha(layout.masks[3]);
    const int bits = layout.bitCount;
    for (int64_t r = 0; r < layout.rows; ++r) {
        const uint8_t* src = dib.data() + start + r * stride;
        uint32_t* out = OutputRow(image, layout, r);
        if (bits <= 8) {
            const int perByte = 8 / bits;
            const uint32_t valueMask = (1u << bits) - 1;
            for (int32_t x = 0; x < layout.width; ++x) {
                const int shift = 8 - bits * (x % perByte + 1);
                out[x] = PaletteColor(layout, (src[x / perByte] >> shift) & valueMask);
            }
        } else if (bits == 24) {
            for (int32_t x = 0; x < layout.width; ++x, src += 3)
                out[x] = 0xFF000000u | (uint32_t{src[2]} << 16) | (uint32_t{src[1]} << 8) | src[0];
        } else {
            const size_t bytes = static_cast<size_t>(bits / 8);
            for (int32_t x = 0; x < layout.width; ++x, src += bytes) {
                const uint32_t v = bits == 16 ? static_cast<uint32_t>(src[0] | (src[1] << 8))
                                              : Le32(std::span<const uint8_t>(src, 4), 0);
                uint32_t a = 0xFF;
                if (bits == 32) {
                    a = alpha.Read(v);
                    if (a != 0) image.alphaAllZero = false;
                }
                out[x] = (a << 24) | (red.Read(v) << 16) | (green.Read(v) << 8) | blue.Read(v);
            }
        }
    }
}

// Run-length coded 8- and 4-bit pixels. Pixels the code skips stay black;
// runs past a row's end are dropped. Every step consumes input, so the loop
// ends with the data.
void DecodeRle(std::span<const uint8_t> dib, size_t start, const Layout& layout, DibImage& image) {
    const bool four = layout.compression == kRle4;
    const std::span<const uint8_t> data = dib.subspan(start);
    size_t pos = 0;
    int64_t x = 0, row = 0;
    auto put = [&](uint32_t index) {
        if (x < layout.width && row < layout.rows) OutputRow(image, layout, row)[x] = PaletteColor(layout, index);
        ++x;
    };
    while (true) {
        if (row >= layout.rows) break;  // everything below the picture is ignored
        if (data.size() - pos < 2) Truncated();
        const uint8_t count = data[pos], value = data[pos + 1];
        pos += 2;
        if (count > 0) {
            for (int i = 0; i < count; ++i) put(four ? ((i & 1) ? (value & 0x0F) : (value >> 4)) : value);
            continue;
        }
        if (value == 0) {  // end of line
            x = 0;
            ++row;
        } else if (value == 1) {  // end of bitmap
            break;
        } else if (value == 2) {  // move right and up
            if (data.size() - pos < 2) Truncated();
            x += data[pos];
            row += data[pos + 1];
            pos += 2;
        } else {  // a literal run of `value` pixels, padded to a 16-bit boundary
            const size_t bytes = four ? (value + 1u) / 2 : value;
            const size_t padded = (bytes + 1) & ~size_t{1};
            if (data.size() - pos < bytes) Truncated();
            for (int i = 0; i < value; ++i) {
                const uint8_t b = data[pos + (four ? i / 2 : i)];
                put(four ? ((i & 1) ? (b & 0x0F) : (b >> 4)) : b);
            }
            pos += std::min(padded, data.size() - pos);
        }
    }
    image.pixelEnd = start + pos;
}

}  // namespace

DibImage DecodeDib(std::span<const uint8_t> dib, std::optional<size_t> pixelOffset, bool halfHeight,
                   const PictureLimits& limits) {
    Layout layout;
    ReadHeader(dib, halfHeight, limits, layout);
    CheckFormat(layout);
    ReadMasks(dib, layout);
    const size_t start = ReadPalette(dib, pixelOffset, layout);

    DibImage image;
    image.thirtyTwoBits = layout.bitCount == 32;
    const bool rle = layout.compression == kRle8 || layout.compression == kRle4;
    if (!rle) {
        // Check the pixel bytes are there before allocating for them; the
        // last row's padding may be missing.
        const uint64_t rowBits = static_cast<uint64_t>(layout.width) * layout.bitCount;
        const uint64_t needed = (rowBits + 31) / 32 * 4 * (static_cast<uint64_t>(layout.rows) - 1) + (rowBits + 7) / 8;
        if (start > dib.size() || needed > dib.size() - start) Truncated();
    } else if (start >= dib.size()) {
        Truncated();
    }
    image.picture = MakeOpaquePicture(layout.width, layout.rows);
    if (rle)
        DecodeRle(dib, start, layout, image);
    else
        DecodeUncompressed(dib, start, layout, image);
    return image;
}

}  // namespace thorn::picture
