#include "model/TileTexels.h"

#include <algorithm>

#include "model/Textures.h"

namespace thorn {

TileTexels::TileTexels(const CTextures& textures, uint8_t tile) {
    const int32_t side = textures.TileWidth();
    const int64_t firstColumn = int64_t{tile} * side;
    const TBitmap32& strip = textures.Strip();
    const bool usable = side > 0 && firstColumn + side <= strip.Width() && strip.Height() >= side;
    side_ = usable ? side : 1;
    // Each row repeated to at least kLeastRun texels, so that a paint takes
    // a small tile (the stand-in's is one texel) in long runs all the same.
    const int32_t repeats = (kLeastRun + side_ - 1) / side_;
    run_ = side_ * repeats;
    texels_.resize(static_cast<size_t>(run_) * static_cast<size_t>(side_));
    for (int32_t y = 0; y < side_; ++y) {
        TColor32* row = texels_.data() + static_cast<size_t>(y) * static_cast<size_t>(run_);
        if (usable)
            std::copy_n(strip.PixelPtr(static_cast<int32_t>(firstColumn), y), side_, row);
        else
            row[0] = CTextures::kStandInColor;
        for (int32_t k = 1; k < repeats; ++k) std::copy_n(row, side_, row + static_cast<ptrdiff_t>(k) * side_);
    }
    opaque_ = std::all_of(texels_.begin(), texels_.end(), [](TColor32 t) { return t >> 24 == 0xFF; });
}

}  // namespace thorn
