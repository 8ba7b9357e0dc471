#pragma once

#include <cstdint>
#include <filesystem>

#include "support/PictureFiles.h"
#include "support/Pixels.h"

namespace thorn::test {

// The picture as a 32-bit BMP file with its alpha.
void WriteBmp32(const std::filesystem::path& file, const TBitmap32& picture);

// Colours of the tests' world pictures.
inline constexpr TColor32 kOcean = 0xFF0000FF;
inline constexpr TColor32 kGreen = 0xFF00FF00;
// A distinct opaque colour for each n below 65536, never ocean nor green.
constexpr TColor32 ProvinceColour(uint32_t n) { return 0xFF800000u | (n & 0xFFFFu); }

}  // namespace thorn::test
