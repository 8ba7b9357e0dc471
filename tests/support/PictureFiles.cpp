#include "PictureFiles.h"

#include <cstdio>
#include <cstdlib>

#include "TempDir.h"
#include "bitmap/Pix32.h"

namespace thorn::test {

ByteWriter& ByteWriter::U8(uint8_t v) {
    bytes_.push_back(v);
    return *this;
}
ByteWriter& ByteWriter::U16(uint16_t v) { return U8(static_cast<uint8_t>(v)).U8(static_cast<uint8_t>(v >> 8)); }
ByteWriter& ByteWriter::U32(uint32_t v) { return U16(static_cast<uint16_t>(v)).U16(static_cast<uint16_t>(v >> 16)); }
ByteWriter& ByteWriter::Raw(std::span<const uint8_t> bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
}
ByteWriter& ByteWriter::Raw(std::initializer_list<uint8_t> bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
}
ByteWriter& ByteWriter::Chars(std::string_view text) {
    bytes_.insert(bytes_.end(), text.begin(), text.end());
    return *this;
}
ByteWriter& ByteWriter::ShortString(std::string_view text) {
    return U8(static_cast<uint8_t>(text.size())).Chars(text.substr(0, 255));
}
ByteWriter& ByteWriter::Zeros(size_t count) {
    bytes_.insert(bytes_.end(), count, 0);
    return *this;
}
void ByteWriter::PatchU32(size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes_[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

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

std::vector<uint8_t> Bmp24File(const TBitmap32& picture) {
    DibSpec spec{.width = picture.Width(), .height = picture.Height()};
    const size_t stride = (static_cast<size_t>(picture.Width()) * 3 + 3) / 4 * 4;
    for (int32_t y = picture.Height() - 1; y >= 0; --y) {
        for (int32_t x = 0; x < picture.Width(); ++x) {
            const TColor32 c = picture.GetPixel(x, y);
            spec.pixels.insert(spec.pixels.end(), {static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8),
                                                   static_cast<uint8_t>(c >> 16)});
        }
        spec.pixels.resize(spec.pixels.size() + stride - static_cast<size_t>(picture.Width()) * 3, 0);
    }
    return BmpFile(spec);
}

void WriteBmp24(const std::filesystem::path& file, const TBitmap32& picture) {
    WriteFileBytes(file, Bmp24File(picture));
}

std::vector<uint8_t> IcoFile(uint8_t width, uint8_t height, uint16_t bitCount, const std::vector<uint8_t>& image) {
    ByteWriter w;
    w.U16(0).U16(1).U16(1);
    w.U8(width).U8(height).U8(0).U8(0).U16(1).U16(bitCount).U32(static_cast<uint32_t>(image.size())).U32(22);
    w.Raw(image);
    return w.Bytes();
}

std::vector<uint8_t> JpegFile(int width, int height, int components, J_COLOR_SPACE space,
                              std::span<const uint8_t> samples, int quality, bool progressive) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = components;
    info.in_color_space = space;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    if (progressive) jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<uint8_t*>(samples.data()) + size_t{info.next_scanline} * width * components;
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<uint8_t> file(buffer, buffer + size);
    std::free(buffer);
    return file;
}

std::vector<uint8_t> JpegFile(const TBitmap32& picture, int quality) {
    std::vector<uint8_t> rgb;
    for (int32_t y = 0; y < picture.Height(); ++y)
        for (int32_t x = 0; x < picture.Width(); ++x) {
            const TColor32 c = picture.GetPixel(x, y);
            rgb.insert(rgb.end(), {static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c)});
        }
    return JpegFile(picture.Width(), picture.Height(), 3, JCS_RGB, rgb, quality);
}

void WriteJpeg(const std::filesystem::path& file, const TBitmap32& picture, int quality) {
    WriteFileBytes(file, JpegFile(picture, quality));
}

}  // namespace thorn::test
