#pragma once

#include "platform/Graphics.h"

// The sizes the province labels may take. Every label is a picture of its
// name drawn in the label font, so a font of 2000 points made each one
// thousands of pixels a side: the small sample world took 14 s and 1.9 GB
// to open. The range runs from the smallest size still read on the map to
// the largest the font dialog lists.
namespace thorn {

inline constexpr int kMinLabelFontSize = 6;
inline constexpr int kMaxLabelFontSize = 72;

// The resolutions a settings file may give the label font's size in; any
// other is no screen's, and the screen's own stands.
inline constexpr int kMinLabelPixelsPerInch = 48;
inline constexpr int kMaxLabelPixelsPerInch = 480;

// Whether a font of this height (in pixels, negative for the characters
// alone) is within the sizes above as the screen draws them.
bool LabelFontHeightFits(int height);

// Keeps the label font within the sizes above as the screen draws it (at 96
// pixels per inch, whatever resolution its size was given in): a font beyond
// them takes the nearest size, at the screen's resolution.
void KeepLabelFontSize(TFont& font);

}  // namespace thorn
