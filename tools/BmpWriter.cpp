#include "tools/BmpWriter.h"

#include <stdexcept>

namespace thorn::startdir {

namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr int32_t kPixelsPerMetre = 2835;  // 72 dots per inch

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// The two headers, with the sizes filled in once the pixels are known.
std::vector<uint8_t> Headers(int width, int height, int bits, uint32_t compression, uint32_t colours) {
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, 0);  // file size, patched by Finish
    Put32(out, 0);
    Put32(out, kFileHeaderSize + kInfoHeaderSize + colours * 4);
    Put32(out, kInfoHeaderSize);
    Put32(out, static_cast<uint32_t>(width));
    Put32(out, static_cast<uint32_t>(height));
    Put16(out, 1);
    Put16(out, static_cast<uint32_t>(bits));
    Put32(out, compression);
    Put32(out, 0);  // image size, patched by Finish
    Put32(out, kPixelsPerMetre);
    Put32(out, kPixelsPerMetre);
    Put32(out, colours);
    Put32(out, 0);
    return out;
}

void Patch32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

void Finish(std::vector<uint8_t>& out, size_t pixelStart) {
    Patch32(out, 2, static_cast<uint32_t>(out.size()));
    Patch32(out, 34, static_cast<uint32_t>(out.size() - pixelStart));
}

}  // namespace

std::vector<uint8_t> EncodeBmp24(const Raster& picture) {
    const int w = picture.Width(), h = picture.Height();
    std::vector<uint8_t> out = Headers(w, h, 24, 0, 0);
    const size_t start = out.size();
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) {
            const Rgb c = picture.Get(x, y);
            out.push_back(c.b);
            out.push_back(c.g);
            out.push_back(c.r);
        }
        while ((out.size() - start) % 4 != 0) out.push_back(0);
    }
    Finish(out, start);
    return out;
}

std::vector<uint8_t> EncodeBmp8(int width, int height, std::span<const uint8_t> indices,
                                std::span<const Rgb> palette, bool runLength) {
    if (palette.size() > 256 || indices.size() != static_cast<size_t>(width) * height)
        throw std::invalid_argument("EncodeBmp8: palette or pixel count out of range");
    std::vector<uint8_t> out = Headers(width, height, 8, runLength ? 1 : 0, static_cast<uint32_t>(palette.size()));
    for (const Rgb& c : palette) {
        out.push_back(c.b);
        out.push_back(c.g);
        out.push_back(c.r);
        out.push_back(0);
    }
    const size_t start = out.size();
    for (int y = height - 1; y >= 0; --y) {
        const uint8_t* row = indices.data() + static_cast<size_t>(y) * width;
        if (!runLength) {
            out.insert(out.end(), row, row + width);
            while ((out.size() - start) % 4 != 0) out.push_back(0);
            continue;
        }
        // Runs of one index only (count, index), then the end of the line.
        for (int x = 0; x < width;) {
            int run = 1;
            while (x + run < width && run < 255 && row[x + run] == row[x]) ++run;
            out.push_back(static_cast<uint8_t>(run));
            out.push_back(row[x]);
            x += run;
        }
        out.push_back(0);
        out.push_back(0);
    }
    if (runLength) {
        out.push_back(0);  // end of the bitmap
        out.push_back(1);
    }
    Finish(out, start);
    return out;
}

std::vector<uint8_t> EncodeBmp8(const Raster& picture, bool runLength) {
    std::vector<Rgb> palette;
    std::vector<uint8_t> indices;
    indices.reserve(static_cast<size_t>(picture.Width()) * picture.Height());
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x) {
            const Rgb c = picture.Get(x, y);
            size_t i = 0;
            while (i < palette.size() && !(palette[i] == c)) ++i;
            if (i == palette.size()) {
                if (palette.size() == 256) throw std::runtime_error("a picture of more than 256 colours");
                palette.push_back(c);
            }
            indices.push_back(static_cast<uint8_t>(i));
        }
    return EncodeBmp8(picture.Width(), picture.Height(), indices, palette, runLength);
}

}  // namespace thorn::startdir
