#pragma once

#include <cstdint>
#include <filesystem>

#include "bitmap/Pix32.h"

// A strip of square texture tiles read from one picture: the tile side is
// the strip's height, and tile i takes columns i*t .. i*t + t - 1. Map
// pieces are painted from three such strips (normal, selected, sea).
class CTextures {
public:
    // Stands in for every texel of a strip that is not loaded (tile side 0)
    // and of a tile past the strip's end, so that a painted piece never
    // loses a pixel to an absent texture.
    static constexpr TColor32 kStandInColor = 0xFF808080;

    CTextures() = default;
    CTextures(const CTextures&) = delete;
    CTextures& operator=(const CTextures&) = delete;

    // Loads the strip from a picture file. Answers 1; a file that cannot be
    // read answers 0 and leaves the strip as it was (the caller reports it).
    int Load(const std::filesystem::path& fileName);

    // Texel (x, y) of tile i, repeating in both directions: strip pixel
    // (i*t + x mod t, y mod t).
    TColor32 GetPixel(uint16_t tile, uint16_t x, uint16_t y) const;

    const TBitmap32& Strip() const { return strip_; }
    uint16_t StripWidth() const { return stripWidth_; }
    uint16_t TileWidth() const { return tileWidth_; }
    uint16_t TileHeight() const { return tileHeight_; }

private:
    TBitmap32 strip_;
    uint16_t stripWidth_ = 0;
    uint16_t tileWidth_ = 0;
    uint16_t tileHeight_ = 0;
};
