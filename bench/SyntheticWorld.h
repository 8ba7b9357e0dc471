#pragma once

#include <cstdint>
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
// A square world of the given side.
std::unique_ptr<TBitmap32> MakeWorld(int32_t side);
// The same world, made on first use and kept for the whole program.
const TBitmap32& SharedWorld(int32_t side);
// A copy of a world for a run that takes the picture over, as the import
// does.
std::unique_ptr<TBitmap32> CopyOf(const TBitmap32& world);

}  // namespace thorn::bench
