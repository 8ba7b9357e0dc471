#pragma once

#include <cstdint>

#include "bitmap/Pix32.h"
#include "model/ShapeBits.h"
#include "model/TileTexels.h"

namespace thorn {

// The mask's set pixels textured from the tile and bevelled: what
// FillFromTexture and then BevelEdges make of it, in one pass over its rows.
// Answers how many pixels were set before.
uint32_t PaintTexturedBevel(TBitmap32& mask, const TileTexels& texels);

// The same paint of a shape given by its bits (whose painted shape, with an
// opaque tile, is the shape itself), drawn onto target with the box's
// top-left corner at `at`: only the part of it inside `part` (target
// coordinates), and there only where the shape is set, each painted pixel
// replacing the one below as an opaque pixel blended over it would.
void DrawTexturedBevel(const ShapeBits& shape, const TileTexels& texels, TBitmap32& target, TPoint at,
                       const TRect& part);

}  // namespace thorn
