#pragma once

#include <cstdint>
#include <string_view>

#include "bitmap/Canvas.h"
#include "controls/Rmlibrary_Colors.h"
#include "platform/Types.h"

class TBitmap32;

// Drawing routines of the controls library: colour bands and gradients,
// turned pictures and turned text. They leave the canvas's pen and brush as
// they found them.

enum TGradientFill { gfLinear, gfRectangle, gfRoundRect, gfOval, gfRadial };

// Fills rect with one vertical band per colour, left to right: band i from
// Left + MulDiv(i, width, n) to Left + MulDiv(i + 1, width, n).
void GradientFillColors(TCanvas& canvas, const TColorsArray& colors, const TRect& rect);

// Fills rect with a run of colours from start to end:
//   gfLinear     255 vertical bands, left to right;
//   gfRectangle, gfRoundRect (corners of 30 x 30), gfOval
//                shapes shrinking by one pixel a step, start outside and end
//                in the middle, as many steps as half the smaller side;
//   gfRadial     360 wedges of the ellipse in rect, start to end over the
//                first half turn and back over the second.
void GradientFill(TCanvas& canvas, TColor start, TColor end, const TRect& rect, TGradientFill style);

// Makes dest a copy of source turned by angle degrees about its middle: each
// pixel of dest takes the source pixel it came from, and opaque grey
// (0xC0, 0xC0, 0xC0) where that lies outside the source.
void RotateImage(TBitmap32& dest, const TBitmap32& source, double angle);

// Draws text turned counter-clockwise by angle degrees, centred on its
// baseline at the middle of a square of the text's diameter whose top-left
// corner is rect's.
void RotateText(TCanvas& canvas, std::string_view text, const TRect& rect, int32_t angle);
