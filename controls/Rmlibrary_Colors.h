#pragma once

#include <cstdint>
#include <vector>

#include "platform/Graphics.h"

// Colour routines of the controls library: lighter and darker shades and
// runs of colours between two. System colours are taken at their current
// values; every result is a plain colour.

using TColorsArray = std::vector<TColor>;

// Each of red, green and blue divided by 1 + percent / 100 (DarkenColor) or
// multiplied by it (LightenColor), rounded with halves to even. A component
// that would leave 0..255 raises ERangeError.
TColor DarkenColor(TColor color, int32_t percent);
TColor LightenColor(TColor color, int32_t percent);

// count colours from start to end: entry i has each component start +
// MulDiv(i, end - start, count - 1), modulo 256. One colour is start; no
// colours for a count below 1.
void CreateColorArray(TColor start, TColor end, int32_t count, TColorsArray& colors);
