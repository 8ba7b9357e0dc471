// Writes the seed corpora of the picture readers: tiny BMP files of every
// kind the reader knows, icons, and JPEG files written by libjpeg.
//   make_picture_seeds <corpus folder>   (writes bmp_reader/, ico_reader/, jpeg_reader/)
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "platform/Files.h"
#include "platform/Pictures.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct Writer {
    Bytes b;
    Writer& U8(uint8_t v) { return b.push_back(v), *this; }
    Writer& U16(uint16_t v) { return U8(static_cast<uint8_t>(v)).U8(static_cast<uint8_t>(v >> 8)); }
    Writer& U32(uint32_t v) { return U16(static_cast<uint16_t>(v)).U16(static_cast<uint16_t>(v >> 16)); }
    Writer& Raw(const Bytes& v) { return b.insert(b.end(), v.begin(), v.end()), *this; }
};

struct Dib {
    uint32_t header = 40;
    int32_t width = 4, height = 4;
    uint16_t bits = 24;
    uint32_t compression = 0;
    std::vector<uint32_t> masks;
    int paletteSize = 0;
    Bytes pixels;
};

Bytes DibBytes(const Dib& d) {
    Writer w;
    w.U32(d.header);
    if (d.header == 12) {
        w.U16(static_cast<uint16_t>(d.width)).U16(static_cast<uint16_t>(d.height)).U16(1).U16(d.bits);
    } else {
        w.U32(static_cast<uint32_t>(d.width)).U32(static_cast<uint32_t>(d.height)).U16(1).U16(d.bits);
        w.U32(d.compression).U32(0).U32(2835).U32(2835).U32(static_cast<uint32_t>(d.paletteSize)).U32(0);
        for (uint32_t m : d.masks) w.U32(m);
        while (w.b.size() < d.header) w.U8(0);
    }
    for (int i = 0; i < d.paletteSize; ++i) {
        w.U8(static_cast<uint8_t>(i * 37)).U8(static_cast<uint8_t>(255 - i * 11)).U8(static_cast<uint8_t>(i * 5));
        if (d.header != 12) w.U8(0);
    }
    return w.Raw(d.pixels).b;
}

Bytes BmpFile(const Dib& d) {
    const Bytes dib = DibBytes(d);
    Writer w;
    w.U8('B').U8('M').U32(static_cast<uint32_t>(14 + dib.size())).U32(0);
    w.U32(static_cast<uint32_t>(14 + dib.size() - d.pixels.size()));
    return w.Raw(dib).b;
}

Bytes Pattern(size_t count) {
    Bytes b(count);
    for (size_t i = 0; i < count; ++i) b[i] = static_cast<uint8_t>(i * 29 + 7);
    return b;
}

Bytes IcoFile(const Bytes& image, uint16_t bits) {
    Writer w;
    w.U16(0).U16(1).U16(1).U8(4).U8(4).U8(0).U8(0).U16(1).U16(bits);
    w.U32(static_cast<uint32_t>(image.size())).U32(22);
    return w.Raw(image).b;
}

Bytes Icon(uint16_t bits, int paletteSize) {
    const size_t stride = (4u * bits + 31) / 32 * 4;
    Bytes pixels = Pattern(stride * 4);
    pixels.insert(pixels.end(), {0x90, 0, 0, 0, 0x60, 0, 0, 0, 0x00, 0, 0, 0, 0xF0, 0, 0, 0});
    return IcoFile(DibBytes({.height = 8, .bits = bits, .paletteSize = paletteSize, .pixels = pixels}), bits);
}

Bytes Jpeg(int components, J_COLOR_SPACE space, bool progressive, bool arithmetic, int restart) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = 12;
    info.image_height = 9;
    info.input_components = components;
    info.in_color_space = space;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 75, TRUE);
    if (progressive) jpeg_simple_progression(&info);
    info.arith_code = arithmetic ? TRUE : FALSE;
    info.restart_interval = static_cast<unsigned>(restart);
    jpeg_start_compress(&info, TRUE);
    const Bytes samples = Pattern(12 * 9 * static_cast<size_t>(components));
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<uint8_t*>(samples.data()) + info.next_scanline * 12 * components;
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    Bytes file(buffer, buffer + size);
    std::free(buffer);
    return file;
}

void Write(const std::filesystem::path& file, const Bytes& bytes) {
    std::filesystem::create_directories(file.parent_path());
    if (!thorn::WriteFileReplacing(file, bytes)) {
        std::fprintf(stderr, "cannot write %s\n", file.c_str());
        std::exit(1);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_picture_seeds <corpus folder>\n");
        return 2;
    }
    const std::filesystem::path corpus = argv[1];
    const auto bmp = corpus / "bmp_reader";
    Write(bmp / "1bit.bmp", BmpFile({.bits = 1, .paletteSize = 2, .pixels = Pattern(16)}));
    Write(bmp / "2bit.bmp", BmpFile({.bits = 2, .paletteSize = 4, .pixels = Pattern(16)}));
    Write(bmp / "4bit.bmp", BmpFile({.bits = 4, .paletteSize = 16, .pixels = Pattern(16)}));
    Write(bmp / "8bit.bmp", BmpFile({.bits = 8, .paletteSize = 6, .pixels = Pattern(16)}));
    Write(bmp / "rle8.bmp", BmpFile({.bits = 8, .compression = 1, .paletteSize = 8,
                                     .pixels = {3, 1, 0, 3, 2, 3, 4, 0, 0, 0, 0, 2, 1, 1, 2, 5, 0, 0, 4, 6, 0, 1}}));
    Write(bmp / "rle4.bmp", BmpFile({.bits = 4, .compression = 2, .paletteSize = 8,
                                     .pixels = {3, 0x12, 0, 3, 0x34, 0x50, 0, 0, 0, 2, 1, 1, 2, 0x56, 0, 0, 4, 0x77, 0, 1}}));
    Write(bmp / "16bit555.bmp", BmpFile({.bits = 16, .pixels = Pattern(32)}));
    Write(bmp / "16bit565.bmp", BmpFile({.bits = 16, .compression = 3, .masks = {0xF800, 0x07E0, 0x001F},
                                         .pixels = Pattern(32)}));
    Write(bmp / "24bit-topdown.bmp", BmpFile({.height = -4, .pixels = Pattern(48)}));
    Write(bmp / "32bit-alpha.bmp", BmpFile({.bits = 32, .pixels = Pattern(64)}));
    Write(bmp / "32bit-v5.bmp", BmpFile({.header = 124, .bits = 32, .compression = 3,
                                         .masks = {0xFF, 0xFF00, 0xFF0000, 0xFF000000}, .pixels = Pattern(64)}));
    Write(bmp / "os2-core.bmp", BmpFile({.header = 12, .bits = 8, .paletteSize = 256, .pixels = Pattern(16)}));
    Write(bmp / "os2-v2.bmp", BmpFile({.header = 64, .bits = 4, .paletteSize = 16, .pixels = Pattern(16)}));
    const std::vector<uint32_t> rgba = {0x80FF0000, 0xFF00FF00, 0x000000FF, 0x40404040};
    Write(bmp / "written.bmp", thorn::EncodeBmp32(2, 2, rgba));

    const auto ico = corpus / "ico_reader";
    Write(ico / "1bit.ico", Icon(1, 2));
    Write(ico / "4bit.ico", Icon(4, 16));
    Write(ico / "8bit.ico", Icon(8, 5));
    Write(ico / "24bit.ico", Icon(24, 0));
    Write(ico / "32bit.ico", Icon(32, 0));
    Write(ico / "png.ico", IcoFile({0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13}, 32));

    const auto jpeg = corpus / "jpeg_reader";
    Write(jpeg / "baseline.jpg", Jpeg(3, JCS_RGB, false, false, 0));
    Write(jpeg / "grey.jpg", Jpeg(1, JCS_GRAYSCALE, false, false, 0));
    Write(jpeg / "progressive.jpg", Jpeg(3, JCS_RGB, true, false, 0));
    Write(jpeg / "cmyk.jpg", Jpeg(4, JCS_CMYK, false, false, 0));
    Write(jpeg / "arithmetic.jpg", Jpeg(3, JCS_RGB, false, true, 0));
    Write(jpeg / "restarts.jpg", Jpeg(3, JCS_RGB, false, false, 1));
    return 0;
}
