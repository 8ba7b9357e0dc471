#include "WorldPictures.h"

#include <jpeglib.h>

#include <cstdio>
#include <stdexcept>

#include "support/TempDir.h"
#include "platform/Pictures.h"

namespace thorn::test {

std::unique_ptr<TBitmap32> DrawPicture(int32_t width, int32_t height, const std::function<TColor32(int32_t x, int32_t y)>& colourAt) {
    auto picture = std::make_unique<TBitmap32>();
    picture->SetSize(width, height);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) picture->SetPixel(x, y, colourAt(x, y));
    return picture;
}

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

}  // namespace

void WriteBmp24(const std::filesystem::path& file, const TBitmap32& picture) {
    const uint32_t width = static_cast<uint32_t>(picture.Width()), height = static_cast<uint32_t>(picture.Height());
    const uint32_t stride = (width * 3 + 3) / 4 * 4;
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, 14 + 40 + stride * height);
    Put32(out, 0);
    Put32(out, 14 + 40);
    Put32(out, 40);
    Put32(out, width);
    Put32(out, height);
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0);
    Put32(out, stride * height);
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
    for (int32_t y = static_cast<int32_t>(height) - 1; y >= 0; --y) {
        for (uint32_t x = 0; x < width; ++x) {
            const TColor32 c = picture.GetPixel(static_cast<int32_t>(x), y);
            out.push_back(static_cast<uint8_t>(c));
            out.push_back(static_cast<uint8_t>(c >> 8));
            out.push_back(static_cast<uint8_t>(c >> 16));
        }
        out.resize(out.size() + (stride - width * 3), 0);
    }
    WriteFileBytes(file, out);
}

void WriteBmp32(const std::filesystem::path& file, const TBitmap32& picture) {
    std::vector<uint32_t> pixels(picture.Bits(), picture.Bits() + static_cast<size_t>(picture.Width()) * picture.Height());
    WriteFileBytes(file, EncodeBmp32(picture.Width(), picture.Height(), pixels));
}

void WriteJpeg(const std::filesystem::path& file, const TBitmap32& picture, int quality) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(picture.Width());
    info.image_height = static_cast<JDIMENSION>(picture.Height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<uint8_t> row(static_cast<size_t>(picture.Width()) * 3);
    while (info.next_scanline < info.image_height) {
        const int32_t y = static_cast<int32_t>(info.next_scanline);
        for (int32_t x = 0; x < picture.Width(); ++x) {
            const TColor32 c = picture.GetPixel(x, y);
            row[static_cast<size_t>(x) * 3] = static_cast<uint8_t>(c >> 16);
            row[static_cast<size_t>(x) * 3 + 1] = static_cast<uint8_t>(c >> 8);
            row[static_cast<size_t>(x) * 3 + 2] = static_cast<uint8_t>(c);
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    WriteFileBytes(file, std::vector<uint8_t>(buffer, buffer + size));
    jpeg_destroy_compress(&info);
    std::free(buffer);
}

}  // namespace thorn::test
