#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "bitmap/Pix32.h"

namespace thorn::test {

// A world picture drawn by a test: width x height pixels, each given by the
// function of its coordinates.
std::unique_ptr<TBitmap32> DrawPicture(int32_t width, int32_t height, const std::function<TColor32(int32_t x, int32_t y)>& colourAt);

// The picture as a 24-bit BMP file (bottom-up rows padded to four bytes);
// the alpha of the pixels is dropped.
void WriteBmp24(const std::filesystem::path& file, const TBitmap32& picture);
// The picture as a 32-bit BMP file with its alpha.
void WriteBmp32(const std::filesystem::path& file, const TBitmap32& picture);
// The picture as a baseline JPEG file of the given quality.
void WriteJpeg(const std::filesystem::path& file, const TBitmap32& picture, int quality);

// Colours of the tests' world pictures.
inline constexpr TColor32 kOcean = 0xFF0000FF;
inline constexpr TColor32 kGreen = 0xFF00FF00;
// A distinct opaque colour for each n below 65536, never ocean nor green.
constexpr TColor32 ProvinceColour(uint32_t n) { return 0xFF800000u | (n & 0xFFFFu); }

}  // namespace thorn::test
