#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

class TBitmap32;

// Screenshots of the real-window tests as PNG files, to look at: eight-bit
// RGB, one IDAT chunk compressed by zlib, no filtering. Alpha is dropped.
namespace thorn::test {

std::vector<uint8_t> PngFile(const TBitmap32& picture);
void WritePng(const std::filesystem::path& file, const TBitmap32& picture);

}  // namespace thorn::test
