#include "tools/TextureStrips.h"

#include <algorithm>
#include <array>

#include "tools/Random.h"

namespace thorn::startdir {

namespace {

constexpr Rgb kEarth{196, 178, 132};
constexpr Rgb kGrass{92, 150, 60};
constexpr Rgb kWhite{255, 255, 255};

// The player colours of the editor's settings, softened towards the earth so
// the ground still shows through.
constexpr std::array<Rgb, 6> kPlayerColours{
    Rgb{224, 0, 0}, Rgb{176, 176, 0}, Rgb{64, 208, 64}, Rgb{0, 0, 208}, Rgb{208, 0, 208}, Rgb{128, 128, 128},
};

Rgb TileBase(int tile) {
    if (tile == 0) return kEarth;
    if (tile == 7) return kGrass;
    return Mix(kEarth, kPlayerColours[tile - 1], 176);
}

// Ground: two shades of the base mixed by smooth noise, a fine grain, and a
// few pebbles. Everything repeats every tile, so a tile joins itself.
Rgb GroundPixel(int tile, int x, int y) {
    const Rgb base = TileBase(tile);
    const uint32_t seed = 1000u + static_cast<uint32_t>(tile) * 17u;
    const int n = FractalNoise(x, y, kTileSide, seed);
    Rgb c = Mix(Shade(base, -40), Shade(base, 30), n);
    const uint32_t h = Hash(static_cast<uint32_t>(x), static_cast<uint32_t>(y), seed);
    c = Shade(c, static_cast<int>(h % 13) - 6);
    if (h % 97 == 0) c = Mix(c, Rgb{214, 210, 200}, 160);  // a pebble
    return c;
}

Rgb SeaPixel(int tile, int x, int y) {
    const uint32_t seed = 2000u + static_cast<uint32_t>(tile) * 31u;
    // Each tile a slightly different water, from deep blue to greener.
    const Rgb tint = Mix(Rgb{22, 62, 142}, Rgb{40, 84, 120}, tile * 32);
    const int n = FractalNoise(x, y, kTileSide, seed);
    Rgb c = Mix(Shade(tint, -18), Shade(tint, 22), n);
    // Short wave crests: every 8 rows a line bent by noise, shown only where
    // a second noise is high, so the crests break into wavelets.
    const int bend = ValueNoise(x, 0, 16, kTileSide, seed + 7 + static_cast<uint32_t>(y / 8)) * 6 / 256;
    const int phase = (y + bend) % 8;
    const int crest = ValueNoise(x, y / 8 * 8, 8, kTileSide, seed + 9);
    if (crest > 150 && phase == 0) c = Mix(c, Rgb{168, 208, 240}, std::min(255, (crest - 150) * 4));
    else if (crest > 150 && phase == 1) c = Mix(c, Rgb{92, 140, 208}, 110);
    return c;
}

template <class PixelOf>
Raster Strip(PixelOf pixelOf) {
    Raster strip(kTileSide * kTileCount, kTileSide, Rgb{});
    for (int tile = 0; tile < kTileCount; ++tile)
        for (int y = 0; y < kTileSide; ++y)
            for (int x = 0; x < kTileSide; ++x) strip.Set(tile * kTileSide + x, y, pixelOf(tile, x, y));
    return strip;
}

}  // namespace

Raster NormalMapTextures() { return Strip(GroundPixel); }

Raster SelectedMapTextures() {
    return Strip([](int tile, int x, int y) {
        Rgb c = Mix(GroundPixel(tile, x, y), kWhite, 90);
        if ((x + y) % 16 < 2) c = Mix(c, kWhite, 150);  // a diagonal hatch
        return c;
    });
}

Raster SeaTextures() { return Strip(SeaPixel); }

}  // namespace thorn::startdir
