#include "platform/Pictures.h"

#include <algorithm>
#include <system_error>

#include "platform/Classes.h"
#include "platform/Files.h"
#include "platform/PictureFormat.h"

namespace thorn {
namespace {

bool StartsWith(std::span<const uint8_t> file, std::initializer_list<uint8_t> prefix) {
    return file.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), file.begin());
}

// A placeable metafile starts with its key; a plain one with its type (1 or
// 2) and a header of nine words; an enhanced one with a header record whose
// signature is " EMF" at offset 40.
bool IsMetafile(std::span<const uint8_t> file) {
    if (StartsWith(file, {0xD7, 0xCD, 0xC6, 0x9A})) return true;
    if (StartsWith(file, {0x01, 0x00, 0x09, 0x00}) || StartsWith(file, {0x02, 0x00, 0x09, 0x00})) return true;
    return StartsWith(file, {0x01, 0x00, 0x00, 0x00}) && file.size() >= 44 && file[40] == ' ' && file[41] == 'E' &&
           file[42] == 'M' && file[43] == 'F';
}

}  // namespace

DecodedPicture DecodePicture(std::span<const uint8_t> file, const PictureLimits& limits) {
    if (StartsWith(file, {'B', 'M'})) return DecodeBmp(file, limits);
    if (StartsWith(file, {0xFF, 0xD8, 0xFF})) return DecodeJpeg(file, limits);
    if (StartsWith(file, {0x00, 0x00, 0x01, 0x00})) return DecodeIco(file, limits);
    if (IsMetafile(file)) picture::Fail("Metafile pictures (WMF, EMF) are not supported");
    if (StartsWith(file, {0x89, 'P', 'N', 'G'})) picture::Fail("PNG pictures are not supported");
    picture::Fail("Unsupported picture format: the file is not a BMP, JPEG or icon picture");
}

DecodedPicture LoadPictureFile(const std::filesystem::path& file, const PictureLimits& limits) {
    std::error_code error;
    if (std::filesystem::is_directory(file, error))
        throw EFOpenError("Cannot open file \"" + file.string() + "\": it is a folder");
    const auto bytes = ReadWholeFile(file);
    if (!bytes) throw EFOpenError("Cannot open file \"" + file.string() + "\"");
    try {
        return DecodePicture(*bytes, limits);
    } catch (const EInvalidGraphic& e) {
        throw EInvalidGraphic(std::string(e.what()) + " (\"" + file.string() + "\")");
    }
}

}  // namespace thorn
