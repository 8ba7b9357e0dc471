#include <algorithm>
#include <climits>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

#include "platform/PictureFormat.h"
#include "platform/Pictures.h"

// libjpeg reports errors through a callback that must not return. Ours
// longjmps back to the C-style step that called into the library; those
// steps hold no C++ objects with destructors, and the C++ code around them
// turns a failed step into EInvalidGraphic with libjpeg's own message.
namespace thorn {
namespace {

struct ErrorManager {
    jpeg_error_mgr base;  // first, so the library's pointer is ours too
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    bool truncated;
};

extern "C" void JpegErrorExit(j_common_ptr info) {
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, errors->message);
    std::longjmp(errors->jump, 1);
}

// Warnings about damaged data are passed over, so a picture with a small
// flaw that every viewer shows opens here too, except the data ending too
// soon: at the end of the file, or at a marker inside a scan that still
// wanted data (a header of 512 x 512 followed at once by the end marker).
// That picture would come out partly or wholly grey, so it is refused as
// truncated.
extern "C" void JpegEmitMessage(j_common_ptr info, int level) {
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    const int code = info->err->msg_code;
    if (level < 0 && (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER)) errors->truncated = true;
    if (level < 0) ++info->err->num_warnings;
}

extern "C" void JpegOutputMessage(j_common_ptr) {}

// A progressive picture may hold any number of scans, each a full pass over
// the coefficients; a hostile file with thousands would take minutes.
constexpr int kMaxScans = 500;

extern "C" void JpegProgress(j_common_ptr info) {
    auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
    if (decompress->input_scan_number > kMaxScans) {
        auto* errors = reinterpret_cast<ErrorManager*>(info->err);
        std::snprintf(errors->message, sizeof errors->message, "more than %d scans", kMaxScans);
        std::longjmp(errors->jump, 1);
    }
}

// The decompressor and its error manager, destroyed on every path out.
struct Decoder {
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    jpeg_progress_mgr progress{};

    Decoder() {
        info.err = jpeg_std_error(&errors.base);
        errors.base.error_exit = JpegErrorExit;
        errors.base.emit_message = JpegEmitMessage;
        errors.base.output_message = JpegOutputMessage;
    }
    ~Decoder() { jpeg_destroy_decompress(&info); }
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;
};

// The steps that call into libjpeg: each answers false after a longjmp.
// They hold only trivially destructible locals.
bool StartReading(Decoder& d, const uint8_t* data, size_t size, long maxMemory) {
    if (setjmp(d.errors.jump)) return false;
    jpeg_create_decompress(&d.info);
    d.progress.progress_monitor = JpegProgress;
    d.info.progress = &d.progress;
    d.info.mem->max_memory_to_use = maxMemory;
    jpeg_mem_src(&d.info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&d.info, TRUE);
    return true;
}

bool StartDecompress(Decoder& d) {
    if (setjmp(d.errors.jump)) return false;
    const J_COLOR_SPACE in = d.info.jpeg_color_space;
    d.info.out_color_space = (in == JCS_CMYK || in == JCS_YCCK) ? JCS_CMYK : JCS_EXT_BGRA;
    jpeg_start_decompress(&d.info);
    return true;
}

// Reads every row into rows, which has room for output_width * 4 bytes per
// row and output_height rows.
bool ReadRows(Decoder& d, uint8_t* rows, size_t stride) {
    if (setjmp(d.errors.jump)) return false;
    while (d.info.output_scanline < d.info.output_height && !d.errors.truncated) {
        JSAMPROW row = rows + d.info.output_scanline * stride;
        jpeg_read_scanlines(&d.info, &row, 1);
    }
    return true;
}

[[noreturn]] void FailWith(const Decoder& d) {
    if (d.errors.truncated) picture::Fail(std::string("The JPEG picture is truncated (") + d.errors.message + ")");
    picture::Fail(std::string("The JPEG picture cannot be read: ") + d.errors.message);
}

// CMYK rows as libjpeg gives them, four bytes a pixel, become opaque RGB in
// place. Adobe's writers store the inks inverted, which the marker says.
void ConvertCmyk(std::vector<uint32_t>& pixels, bool adobeInverted) {
    for (uint32_t& pixel : pixels) {
        uint8_t ink[4];
        std::memcpy(ink, &pixel, 4);
        if (!adobeInverted)
            for (uint8_t& v : ink) v = static_cast<uint8_t>(255 - v);
        auto channel = [&](uint8_t c) { return static_cast<uint32_t>((c * ink[3] + 127) / 255); };
        pixel = 0xFF000000u | (channel(ink[0]) << 16) | (channel(ink[1]) << 8) | channel(ink[2]);
    }
}

}  // namespace

DecodedPicture DecodeJpeg(std::span<const uint8_t> file, const PictureLimits& limits) {
    if (file.size() < 3 || file[0] != 0xFF || file[1] != 0xD8 || file[2] != 0xFF)
        picture::Fail("The file is not a JPEG picture");
    Decoder d;
    // Enough for the coefficients of a progressive picture at the limit;
    // libjpeg refuses a picture that would need more.
    const int64_t memory = std::min<int64_t>(limits.maxPixels * 8 + (int64_t{16} << 20), LONG_MAX);
    if (!StartReading(d, file.data(), file.size(), static_cast<long>(memory))) FailWith(d);
    picture::CheckPictureSize(d.info.image_width, d.info.image_height, limits, "JPEG");
    if (!StartDecompress(d)) FailWith(d);
    if (d.info.output_width != d.info.image_width || d.info.output_height != d.info.image_height ||
        d.info.output_components != 4)
        picture::Fail("The JPEG picture cannot be read: unexpected output format");

    auto result = picture::MakeOpaquePicture(static_cast<int32_t>(d.info.output_width),
                                             static_cast<int32_t>(d.info.output_height));
    const size_t stride = static_cast<size_t>(result.width) * 4;
    if (!ReadRows(d, reinterpret_cast<uint8_t*>(result.pixels.data()), stride)) FailWith(d);
    if (d.errors.truncated) picture::Fail("The JPEG picture is truncated");
    if (d.info.out_color_space == JCS_CMYK) ConvertCmyk(result.pixels, d.info.saw_Adobe_marker);
    return result;
}

}  // namespace thorn
