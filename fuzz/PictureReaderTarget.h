#pragma once

// What every picture reader's fuzz target checks: the reader either decodes
// the bytes into a picture whose pixels match its size or refuses them with
// EInvalidGraphic; it never reads outside them or misbehaves otherwise.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "platform/Classes.h"
#include "platform/Pictures.h"

namespace thorn::fuzz {

using PictureDecoder = DecodedPicture (*)(std::span<const uint8_t>, const PictureLimits&);

inline int CheckPictureReader(const uint8_t* data, size_t size, PictureDecoder decode) {
    // Smaller than the editor's limit, so one input cannot ask for half a
    // gigabyte and slow the search down.
    PictureLimits limits;
    limits.maxPixels = int64_t{1} << 22;
    try {
        const DecodedPicture picture = decode(std::span<const uint8_t>(data, size), limits);
        if (picture.width < 1 || picture.height < 1 ||
            picture.pixels.size() != static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height))
            std::abort();
    } catch (const EInvalidGraphic&) {
    }
    return 0;
}

}  // namespace thorn::fuzz
