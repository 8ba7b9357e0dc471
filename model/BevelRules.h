#pragma once

#include <cstdint>

#include "bitmap/Pix32.h"
#include "bitmap/Pix32_Blend.h"
#include "model/BitmapHelpers.h"

namespace thorn {

// The colour a set pixel of a shape takes from the bevel, its rims settled:
// B(dx, dy) is the colour of the pixel dx, dy away (0 where the shape has no
// pixel), B(0, 0) the pixel's own.
//
// The rims are defined by a walk over the diagonals x + y = 0, 1, 2 ... with
// each diagonal taken from its lower-left end, every point writing into a
// light and a dark layer, a later write replacing an earlier one; then the
// light layer and the dark layer are blended onto the shape. Every write
// reaching a point comes from the point itself or from a direct neighbour,
// so the last write is settled here per pixel, in the walk's order: for the
// light layer the left neighbour writes first, then the one above, then the
// point itself; for the dark layer the point writes first, then the one
// below, then the right neighbour. Every rule reads only the 5 x 5 pixels
// around the point, so a point whose 5 x 5 pixels are all set keeps its
// colour.
template <typename Around>
inline TColor32 BevelledColour(const Around& B) {
    const TColor32 c = B(0, 0);

    TColor32 light = 0;
    if (B(0, -1) == 0 || B(-1, 0) == 0 || B(-1, -1) == 0) {
        light = LightenColor32(LightenColor32(c));
    } else {
        // From above (x, y-1), which is set: step c, else step a.
        if (B(-1, -2) == 0)
            light = LightenColor32(c);
        else if (B(0, -2) == 0)
            light = LightenColor32(B(0, -1));
        // From the left (x-1, y), which is set: steps b and c.
        else if (B(-2, 0) == 0 || B(-2, -1) == 0)
            light = LightenColor32(c);
    }

    TColor32 dark = 0;
    const bool right = B(1, 0) != 0, below = B(0, 1) != 0;
    // From the right (x+1, y): steps b and c.
    if (right && ((B(2, 0) == 0 && B(1, 1) != 0 && below) || (B(2, 1) == 0 && B(2, 0) != 0 && B(1, 1) != 0)))
        dark = DarkenColor32(c);
    // From below (x, y+1): steps a and c.
    else if (below && ((B(0, 2) == 0 && B(1, 1) != 0 && right) || (B(1, 2) == 0 && B(1, 1) != 0 && B(0, 2) != 0)))
        dark = DarkenColor32(c);
    else if (!below || !right || B(1, 1) == 0)
        dark = DarkenColor32(DarkenColor32(c));

    TColor32 out = c;
    if (light != 0) BlendMem(light, out);
    if (dark != 0) BlendMem(dark, out);
    return out;
}

}  // namespace thorn
