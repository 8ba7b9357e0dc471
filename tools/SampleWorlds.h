#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "tools/Raster.h"

// Sample world pictures: land masses in an ocean of the reserved sea colour,
// cut into provinces of distinct colours, with some regions of the reserved
// free green-land colour. Every region is one four-connected piece, large
// enough to be a province piece of the editor's picture analysis.
namespace thorn::startdir {

constexpr Rgb kSeaColour{0, 0, 255};
constexpr Rgb kGreenLandColour{0, 255, 0};

// An elliptic land mass: centre and radii in pixels.
struct LandBlob {
    int x, y, rx, ry;
};

struct WorldPlan {
    std::string_view path;  // relative to the start folder
    int width, height;
    uint32_t seed;
    int regions;       // seeds of regions before the clean-up
    int greenRegions;  // how many of them are green land
    int warp;          // how far borders wander, in pixels
    bool runLength;    // stored RLE8-coded
    std::vector<LandBlob> land;
};

// A world as palette indices: 0 is the sea, 1 green land, 2 and up one
// province each.
struct World {
    int width = 0, height = 0;
    std::vector<uint8_t> indices;
    std::vector<Rgb> palette;
    int provinces = 0;
};

std::vector<WorldPlan> SampleWorldPlans();
World MakeWorld(const WorldPlan& plan);

// The colour of province k (distinct for k < 200, never a reserved colour).
Rgb ProvinceColour(int k);

}  // namespace thorn::startdir
