#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "bitmap/Canvas.h"
#include "platform/Graphics.h"
#include "platform/Types.h"

class TBitmap32;

// Free routines the property grid and its editor controls share: the path
// hash, the integer clamp, Boolean texts, rectangle extents, button glyph
// colours and the embossed text of disabled controls.

// The standard CRC-32 of the text's bytes, first character first (0 for the
// empty text), as a signed number: the path index sorts and compares it so.
int32_t GetStrCRC32(std::string_view text);

// value kept inside [minimum, maximum]. A minimum above the maximum raises
// ERangeError "<minimum> is not less than or equal to <maximum>".
int32_t SetInRange(int32_t value, int32_t minimum, int32_t maximum);

// "True" or "False".
std::string BoolToStr(bool value);
// Whether text, without the characters below 33 at either end and with ASCII
// letters taken in any case, is "true". Every other text is false; none
// raises.
bool StrToBool(std::string_view text);

inline int32_t RectWidth(const TRect& r) { return r.Right - r.Left; }
inline int32_t RectHeight(const TRect& r) { return r.Bottom - r.Top; }

// Turns a black-on-white glyph into the given colours, in place: every black
// pixel (red, green and blue all 0) takes ink, every other pixel background;
// system colours are taken at their current values and every pixel ends
// opaque. The callers pass clBtnFace and clBtnText.
void ReplaceColors(TBitmap32& bitmap, TColor background, TColor ink);

// Text in the embossed style of disabled controls: in clBtnHighlight one
// pixel down and to the right, then in clBtnShadow in place, with DrawText's
// formats (the canvas' brush style and font colour are kept). With
// DT_CALCRECT nothing is drawn and rect receives the measured size. Either
// way rect grows by one pixel to the right and at the bottom, the room the
// offset copy takes.
void DrawGrayText(TCanvas& canvas, std::string_view text, TRect& rect, uint32_t format);
