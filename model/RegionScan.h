#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "bitmap/Pix32.h"

namespace thorn {

// A run of pixels of one colour on one row, both ends inclusive.
struct PixelRun {
    int32_t y = 0;
    int32_t x0 = 0;
    int32_t x1 = 0;
};

// A four-connected region of one 32-bit colour.
struct PictureRegion {
    TColor32 colour = 0;
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;   // inclusive
    int32_t bottom = 0;  // inclusive
    uint64_t pixels = 0;
    // The region's first pixel by columns (x outer, y inner).
    int32_t firstX = 0;
    int32_t firstY = 0;
    // Its runs, rows from the top: runs[firstRun .. firstRun + runCount).
    size_t firstRun = 0;
    size_t runCount = 0;
};

// The regions of a picture, pixels of value 0 belonging to none.
struct RegionScan {
    // The first regions by their first pixel by columns, in that order.
    std::vector<PictureRegion> regions;
    std::vector<PixelRun> runs;
    // How many regions the picture holds in all.
    size_t total = 0;

    std::span<const PixelRun> RunsOf(const PictureRegion& region) const {
        return {runs.data() + region.firstRun, region.runCount};
    }
};

// Finds the regions of the picture in one pass over its rows, joining runs
// that overlap on neighbouring rows; keeps the first `limit` of them.
RegionScan ScanRegions(const TBitmap32& picture, size_t limit);

}  // namespace thorn
