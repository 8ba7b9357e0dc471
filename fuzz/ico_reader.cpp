// Feeds arbitrary bytes to the icon reader: it must either decode them or
// refuse them with EInvalidGraphic, never read outside them or misbehave.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "platform/Classes.h"
#include "platform/Pictures.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Smaller than the editor's limit, so one input cannot ask for half a
    // gigabyte and slow the search down.
    thorn::PictureLimits limits;
    limits.maxPixels = int64_t{1} << 22;
    try {
        const auto picture = thorn::DecodeIco(std::span<const uint8_t>(data, size), limits);
        if (picture.width < 1 || picture.height < 1 ||
            picture.pixels.size() != static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height))
            std::abort();
    } catch (const EInvalidGraphic&) {
    }
    return 0;
}
