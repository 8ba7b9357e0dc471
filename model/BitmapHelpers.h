#pragma once

#include <algorithm>
#include <cstdint>

#include "bitmap/Pix32.h"
#include "platform/Graphics.h"

class CTextures;

// Whole-bitmap operations shared by the map pieces, the world view, the
// game-data pictures and the image export. A pixel of value 0 does not
// belong to the shape; every other value does (0x00FFFFFF included).

// A GUI colour ($00BBGGRR) as an opaque TColor32.
TColor32 ColorToColor32(TColor color);

// Each of red, green and blue moved by (percent*128) div 100 (truncated),
// clamped to 255 for a non-negative percent and to 0 for a negative one;
// alpha kept.
// Inline: the bevel shades every rim pixel a few times.
inline TColor32 ShadeColor32(TColor32 color, int8_t percent) {
    const int32_t d = percent * 128 / 100;
    auto shade = [&](int32_t channel) -> uint32_t {
        const int32_t v = channel + d;
        return static_cast<uint32_t>(percent >= 0 ? std::min(v, 255) : std::max(v, 0));
    };
    return (color & 0xFF000000u) | shade(RedComponent(color)) << 16 | shade(GreenComponent(color)) << 8 |
           shade(BlueComponent(color));
}
inline TColor32 DarkenColor32(TColor32 color) { return ShadeColor32(color, -40); }
inline TColor32 LightenColor32(TColor32 color) { return ShadeColor32(color, 40); }

// Every pixel equal to from (all 32 bits) becomes to.
void ReplaceColor(TBitmap32& bitmap, TColor32 from, TColor32 to);

// The picture stretched by nearest pixel to width x height; answers 1.
int ResizeBitmap(TBitmap32& bitmap, uint16_t width, uint16_t height);

// The bitmap becomes its part (left, top)..(right, bottom), both corners
// inclusive; pixels of the box outside the bitmap read 0.
void CropBitmap(TBitmap32& bitmap, uint16_t left, uint16_t top, uint16_t right, uint16_t bottom);

// Every non-zero pixel becomes color; answers how many. Null gives 0.
uint32_t FillNonZeroPixels(TBitmap32* bitmap, TColor32 color);
// Every non-zero pixel (x, y) becomes texel (x, y) of the tile; answers how
// many.
uint32_t FillFromTexture(TBitmap32& bitmap, const CTextures& textures, uint8_t tile);
// A light rim on the upper and left edges of the shape, a dark rim on its
// lower and right edges, two pixels deep.
void BevelEdges(TBitmap32& bitmap);
// FillFromTexture, then BevelEdges, in one pass (PaintTexturedBevel); the
// count of the fill.
uint32_t TextureAndBevel(TBitmap32& bitmap, const CTextures& textures, uint8_t tile);
// FillNonZeroPixels, then BevelEdges; null gives 0 and does nothing.
uint32_t FillAndBevel(TBitmap32* bitmap, TColor32 color);
// Every non-zero pixel becomes LightenColor32 (DarkenColor32) of itself.
void LightenBitmap(TBitmap32& bitmap);
void DarkenBitmap(TBitmap32& bitmap);
