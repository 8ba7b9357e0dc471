#pragma once

#include <cstdint>

#include "bitmap/Pix32.h"

// The row loops of nearest and bilinear stretching, each beside the plain
// loop it must match pixel for pixel.
namespace thorn {

// out[k] = in[map[k]] for k < count; every map[k] lies in 0 .. inWidth - 1.
void GatherRow(const TColor32* in, int32_t inWidth, const int32_t* map, TColor32* out, int32_t count);
void GatherRowReference(const TColor32* in, const int32_t* map, TColor32* out, int32_t count);

// Per channel (a*w + b*(256 - w)) >> 8, for w in 0..256.
inline TColor32 Lerp(TColor32 a, TColor32 b, uint32_t w) {
    const uint32_t rest = 256 - w;
    const uint32_t rb = ((a & 0x00FF00FFu) * w + (b & 0x00FF00FFu) * rest) >> 8 & 0x00FF00FFu;
    const uint32_t ag = ((a >> 8 & 0x00FF00FFu) * w + (b >> 8 & 0x00FF00FFu) * rest) & 0xFF00FF00u;
    return rb | ag;
}

// out[i] = Lerp(a[i], b[i], w) for i < count.
void LerpRow(const TColor32* a, const TColor32* b, uint32_t w, TColor32* out, int32_t count);
void LerpRowReference(const TColor32* a, const TColor32* b, uint32_t w, TColor32* out, int32_t count);

// out[k] = Lerp(line[first[k]], line[second[k]], weight[k]) for k < count;
// every index lies in 0 .. lineSize - 1.
void LerpGatherRow(const TColor32* line, int32_t lineSize, const int32_t* first, const int32_t* second,
                   const uint32_t* weight, TColor32* out, int32_t count);
void LerpGatherRowReference(const TColor32* line, const int32_t* first, const int32_t* second, const uint32_t* weight,
                            TColor32* out, int32_t count);

}  // namespace thorn
