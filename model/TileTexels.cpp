#include "model/TileTexels.h"

#include <algorithm>

#include "model/Textures.h"

namespace thorn {

TileTexels::TileTexels(const CTextures& textures, uint8_t tile) {
    const int32_t side = textures.TileWidth();
    const int64_t firstColumn = int64_t{tile} * side;
    const TBitmap32& strip = textures.Strip();
    if (side == 0 || firstColumn + side > strip.Width() || strip.Height() < side) {
        texels_.assign(1, CTextures::kStandInColor);
        return;
    }
    side_ = side;
    texels_.resize(static_cast<size_t>(side) * side);
    for (int32_t y = 0; y < side; ++y) {
        const TColor32* from = strip.PixelPtr(static_cast<int32_t>(firstColumn), y);
        std::copy_n(from, side, texels_.begin() + static_cast<ptrdiff_t>(y) * side);
    }
    opaque_ = std::all_of(texels_.begin(), texels_.end(), [](TColor32 t) { return t >> 24 == 0xFF; });
}

}  // namespace thorn
