#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "platform/Pictures.h"

// Small pieces every picture reader shares: little-endian fields read at
// offsets the caller has already checked, the size limits, and the error.
namespace thorn::picture {

inline uint16_t Le16(std::span<const uint8_t> bytes, size_t at) {
    return static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

inline uint32_t Le32(std::span<const uint8_t> bytes, size_t at) {
    return static_cast<uint32_t>(bytes[at]) | (static_cast<uint32_t>(bytes[at + 1]) << 8) |
           (static_cast<uint32_t>(bytes[at + 2]) << 16) | (static_cast<uint32_t>(bytes[at + 3]) << 24);
}

// Throws EInvalidGraphic with the message.
[[noreturn]] void Fail(const std::string& message);

// Refuses sides outside 1..limits.maxSide and more than limits.maxPixels
// pixels; kind names the format in the message ("BMP", "JPEG", "icon").
void CheckPictureSize(int64_t width, int64_t height, const PictureLimits& limits, std::string_view kind);

// A picture of the given size, every pixel opaque black.
DecodedPicture MakeOpaquePicture(int32_t width, int32_t height);

}  // namespace thorn::picture
