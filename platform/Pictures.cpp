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

using Reader = DecodedPicture (*)(std::span<const uint8_t>, const PictureLimits&);

// The reader of a picture by its first bytes; refuses what none reads.
Reader ReaderFor(std::span<const uint8_t> file) {
    if (StartsWith(file, {'B', 'M'})) return DecodeBmp;
    if (StartsWith(file, {0xFF, 0xD8, 0xFF})) return DecodeJpeg;
    if (StartsWith(file, {0x00, 0x00, 0x01, 0x00})) return DecodeIco;
    if (IsMetafile(file)) picture::Fail("Metafile pictures (WMF, EMF) are not supported");
    if (StartsWith(file, {0x89, 'P', 'N', 'G'})) picture::Fail("PNG pictures are not supported");
    if (file.empty()) picture::Fail("The picture file is empty");
    throw EUnknownPictureFormat("Unsupported picture format: the file is not a BMP, JPEG or icon picture");
}

// The most bytes a picture file within the limits takes: every reader
// stores a pixel in fewer than 8 bytes, plus room for headers, palettes
// and markers.
uint64_t MaxFileBytes(const PictureLimits& limits) {
    constexpr uint64_t kRoom = uint64_t{1} << 20;
    return kRoom + 8 * static_cast<uint64_t>(std::max<int64_t>(limits.maxPixels, 0));
}

std::string Named(const std::string& message, const std::filesystem::path& file) {
    return message + " (" + Quoted(file) + ")";
}

}  // namespace

DecodedPicture DecodePicture(std::span<const uint8_t> file, const PictureLimits& limits) {
    return ReaderFor(file)(file, limits);
}

DecodedPicture LoadPictureFile(const std::filesystem::path& file, const PictureLimits& limits) {
    try {
        // The kind of picture and the file's size are checked before the
        // file is read whole.
        const std::vector<uint8_t> bytes = ReadRegularFile(file, MaxFileBytes(limits), [&](auto head, uint64_t size) {
            ReaderFor(head);
            if (size > MaxFileBytes(limits))
                picture::Fail("The picture file is too large (" + std::to_string(size) + " bytes)");
        });
        return DecodePicture(bytes, limits);
    } catch (const EUnknownPictureFormat& e) {
        throw EUnknownPictureFormat(Named(e.what(), file));
    } catch (const EInvalidGraphic& e) {
        throw EInvalidGraphic(Named(e.what(), file));
    }
}

}  // namespace thorn
