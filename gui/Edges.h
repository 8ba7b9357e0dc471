#pragma once

#include <cstdint>

#include "bitmap/Canvas.h"
#include "platform/Types.h"

// The classic three-dimensional look: edges, frame controls and 3-D frames
// drawn with the system colours.

// Edge parts.
inline constexpr uint32_t BDR_RAISEDOUTER = 0x1;
inline constexpr uint32_t BDR_SUNKENOUTER = 0x2;
inline constexpr uint32_t BDR_RAISEDINNER = 0x4;
inline constexpr uint32_t BDR_SUNKENINNER = 0x8;
inline constexpr uint32_t BDR_OUTER = 0x3;
inline constexpr uint32_t BDR_INNER = 0xC;
inline constexpr uint32_t EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
inline constexpr uint32_t EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
inline constexpr uint32_t EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER;
inline constexpr uint32_t EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;

// Edge sides and options.
inline constexpr uint32_t BF_LEFT = 0x1;
inline constexpr uint32_t BF_TOP = 0x2;
inline constexpr uint32_t BF_RIGHT = 0x4;
inline constexpr uint32_t BF_BOTTOM = 0x8;
inline constexpr uint32_t BF_TOPLEFT = BF_TOP | BF_LEFT;
inline constexpr uint32_t BF_BOTTOMRIGHT = BF_BOTTOM | BF_RIGHT;
inline constexpr uint32_t BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM;
inline constexpr uint32_t BF_MIDDLE = 0x800;
inline constexpr uint32_t BF_SOFT = 0x1000;
inline constexpr uint32_t BF_ADJUST = 0x2000;
inline constexpr uint32_t BF_FLAT = 0x4000;
inline constexpr uint32_t BF_MONO = 0x8000;

// Frame control kinds and states.
inline constexpr uint32_t DFC_CAPTION = 1;
inline constexpr uint32_t DFC_MENU = 2;
inline constexpr uint32_t DFC_SCROLL = 3;
inline constexpr uint32_t DFC_BUTTON = 4;
inline constexpr uint32_t DFCS_BUTTONCHECK = 0x0;
inline constexpr uint32_t DFCS_BUTTONRADIO = 0x4;
inline constexpr uint32_t DFCS_BUTTON3STATE = 0x8;
inline constexpr uint32_t DFCS_BUTTONPUSH = 0x10;
inline constexpr uint32_t DFCS_SCROLLUP = 0x0;
inline constexpr uint32_t DFCS_SCROLLDOWN = 0x1;
inline constexpr uint32_t DFCS_SCROLLLEFT = 0x2;
inline constexpr uint32_t DFCS_SCROLLRIGHT = 0x3;
inline constexpr uint32_t DFCS_SCROLLCOMBOBOX = 0x5;
inline constexpr uint32_t DFCS_SCROLLSIZEGRIP = 0x8;
inline constexpr uint32_t DFCS_CAPTIONCLOSE = 0x0;
inline constexpr uint32_t DFCS_MENUARROW = 0x0;
inline constexpr uint32_t DFCS_MENUCHECK = 0x1;
inline constexpr uint32_t DFCS_MENUBULLET = 0x2;
inline constexpr uint32_t DFCS_INACTIVE = 0x100;
inline constexpr uint32_t DFCS_PUSHED = 0x200;
inline constexpr uint32_t DFCS_CHECKED = 0x400;
inline constexpr uint32_t DFCS_ADJUSTRECT = 0x2000;
inline constexpr uint32_t DFCS_FLAT = 0x4000;
inline constexpr uint32_t DFCS_MONO = 0x8000;

// Draws the edge parts on the chosen sides of r (logical coordinates); with
// BF_ADJUST, r becomes the area inside the edge.
bool DrawEdge(TCanvas& canvas, TRect& r, uint32_t edge, uint32_t flags);
// Draws a push button, check box, radio button, scroll arrow, size grip or
// caption button filling r; the menu marks (sub-menu arrow, check mark,
// radio bullet) are drawn alone, centred in r, in the canvas font's colour.
bool DrawFrameControl(TCanvas& canvas, TRect& r, uint32_t kind, uint32_t state);
// Lines of width pixels: top and left in topColor, bottom and right in
// bottomColor; r shrinks by width on every side.
void Frame3D(TCanvas& canvas, TRect& r, TColor topColor, TColor bottomColor, int width);

// The frame of an edit-like control (edit, list, list view, combo box):
// framed, a sunken edge two pixels wide, or a plain one-pixel line without
// ctl3D; unframed, none. The width it takes off every side:
int ControlFrameWidth(bool framed, bool ctl3D);
// Draws it around bounds.
void DrawControlFrame(TCanvas& canvas, const TRect& bounds, bool framed, bool ctl3D);
