#pragma once

#include <cstdint>
#include <string_view>

#include "bitmap/Canvas.h"

// Drawing the controls need beyond the canvas' own calls: bitmaps with a
// transparent key colour, the dithered brush of pressed buttons and scroll
// tracks, and the embossed look of disabled texts and glyphs. Each draws
// through the canvas' origin and clip, like the canvas' own calls.
namespace thorn {

// The key colour of a bitmap that names none: its bottom-left pixel.
TColor32 DefaultTransparentColor(const TBitmap32& bitmap);

// Copies source (a rectangle of bitmap) to (x, y), leaving out every pixel
// whose red, green and blue are those of key.
void DrawTransparentBitmap(TCanvas& canvas, int x, int y, const TBitmap32& bitmap, const TRect& source,
                           TColor32 key);
void DrawTransparentBitmap(TCanvas& canvas, int x, int y, const TBitmap32& bitmap, TColor32 key);

// Fills r with a checkerboard of two colours. The pattern is anchored to
// the window, so fills that meet continue each other's pattern.
void FillDithered(TCanvas& canvas, const TRect& r, TColor first, TColor second);

// Text of a disabled control: in the highlight colour one pixel down and to
// the right, then in the shadow colour in place (DT_ formats). The canvas'
// font colour and brush are left as they were.
void DrawDisabledText(TCanvas& canvas, const TRect& r, uint32_t format, std::string_view text);

// A glyph of a disabled control: its dark pixels (neither the key colour
// nor light) in the highlight colour shifted by (1, 1), then in the shadow
// colour in place.
void DrawDisabledBitmap(TCanvas& canvas, int x, int y, const TBitmap32& bitmap, const TRect& source, TColor32 key);

}  // namespace thorn
