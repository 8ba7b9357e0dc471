#pragma once

#include <cstdint>
#include <vector>

#include "bitmap/Pix32.h"

class CTextures;

namespace thorn {

// The texels of one tile of a texture strip, copied out of the strip, so
// that a shape painted from them later looks as it does now. A strip not
// loaded, or a tile past its end, gives the stand-in colour everywhere.
class TileTexels {
public:
    TileTexels(const CTextures& textures, uint8_t tile);

    static constexpr int32_t kLeastRun = 64;

    int32_t Side() const { return side_; }
    // Row y (taken modulo the side) of the tile, repeated to Run() texels
    // (a whole number of sides, kLeastRun or more); y is not negative.
    const TColor32* Row(int32_t y) const {
        return texels_.data() + static_cast<size_t>(y % side_) * static_cast<size_t>(run_);
    }
    int32_t Run() const { return run_; }
    // Every texel has alpha 255: a shape painted from the tile keeps all its
    // pixels, and covers whatever it is drawn over.
    bool Opaque() const { return opaque_; }

private:
    int32_t side_ = 1;
    int32_t run_ = 1;
    std::vector<TColor32> texels_;
    bool opaque_ = true;
};

}  // namespace thorn
