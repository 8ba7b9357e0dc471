#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>

#include "bitmap/Pix32.h"

// Deterministic world pictures for the benchmarks: an ocean border, a round
// green-land lake in the middle, 99 province regions (a 9 x 11 grid warped by
// slow waves, each cell its own colour) and about 1200 speckles of 3 to 10
// pixels on province borders, each of a colour between its two neighbours,
// as anti-aliased drawings leave them.
namespace thorn::bench {

inline constexpr TColor32 kOcean = 0xFF0000FF;
inline constexpr TColor32 kGreen = 0xFF00FF00;

// The colour of province cell n.
TColor32 ProvinceColour(int32_t cell);
// A world of width x height; another variant has its borders waved
// elsewhere and other speckles, as a designer's next version of the picture.
std::unique_ptr<TBitmap32> MakeWorld(int32_t width, int32_t height, uint32_t variant = 0);
// The square world of the given side, made on first use and kept for the
// whole program.
const TBitmap32& SharedWorld(int32_t side);
// A copy of a world for a run that takes the picture over, as the import
// does.
std::unique_ptr<TBitmap32> CopyOf(const TBitmap32& world);

// The world as a scanned or compressed drawing leaves it: every border
// pixel mixed from its two sides and one pixel in about eighty nudged to a
// colour of its own, which makes tens of thousands of regions.
std::unique_ptr<TBitmap32> MakeNoisyWorld(int32_t side);

// Sea with some hundreds of round islands, some of them overlapping and some
// holding a lake: a picture of two colours, whose regions a labelling of
// one colour against the other finds as well.
inline constexpr TColor32 kIslandLand = 0xFF30A030;
std::unique_ptr<TBitmap32> MakeIslands(int32_t side);

// Writes a picture as a 24-bit BMP file, the form picture programs save a
// drawing in.
void SaveBmp24(const TBitmap32& picture, const std::filesystem::path& file);

// A folder of the system's temporary folder for this program's files,
// removed with everything in it when the program ends.
const std::filesystem::path& ScratchFolder();

}  // namespace thorn::bench
