#include "gui/Edges.h"

#include <algorithm>
#include <array>

#include "platform/Graphics.h"

namespace {

void HLine(TCanvas& c, int x1, int x2, int y, TColor color) { c.FillColor({x1, y, x2, y + 1}, color); }
void VLine(TCanvas& c, int x, int y1, int y2, TColor color) { c.FillColor({x, y1, x + 1, y2}, color); }

// One ring of an edge: top and left in lt, bottom and right in rb.
void Ring(TCanvas& c, TRect& r, uint32_t sides, TColor lt, TColor rb) {
    if (r.Right <= r.Left || r.Bottom <= r.Top) return;
    if (sides & BF_TOP) HLine(c, r.Left, r.Right, r.Top, lt);
    if (sides & BF_LEFT) VLine(c, r.Left, r.Top, r.Bottom, lt);
    if (sides & BF_BOTTOM) HLine(c, r.Left, r.Right, r.Bottom - 1, rb);
    if (sides & BF_RIGHT) VLine(c, r.Right - 1, r.Top, r.Bottom, rb);
    // The corners where the two colours meet belong to the bottom-right.
    if ((sides & BF_BOTTOM) && (sides & BF_LEFT)) c.FillColor({r.Left, r.Bottom - 1, r.Left + 1, r.Bottom}, rb);
    if ((sides & BF_TOP) && (sides & BF_RIGHT)) c.FillColor({r.Right - 1, r.Top, r.Right, r.Top + 1}, rb);
    if (sides & BF_TOP) ++r.Top;
    if (sides & BF_LEFT) ++r.Left;
    if (sides & BF_BOTTOM) --r.Bottom;
    if (sides & BF_RIGHT) --r.Right;
}

// A filled triangle pointing in a direction, centred in r.
void Arrow(TCanvas& c, const TRect& r, int direction, TColor color) {
    int size = std::max(2, std::min(r.Width(), r.Height()) / 3);
    int cx = r.Left + r.Width() / 2, cy = r.Top + r.Height() / 2;
    for (int i = 0; i < size; ++i) {
        int half = i;
        switch (direction) {
            case 0: HLine(c, cx - half, cx + half + 1, cy - size / 2 + i, color); break;   // up
            case 1: HLine(c, cx - half, cx + half + 1, cy + size / 2 - i, color); break;   // down
            case 2: VLine(c, cx - size / 2 + i, cy - half, cy + half + 1, color); break;   // left
            default: VLine(c, cx + size / 2 - i, cy - half, cy + half + 1, color); break;  // right
        }
    }
}

// The raised or pushed face of a push button or scroll arrow; r becomes the
// area inside its edge.
void ButtonFace(TCanvas& c, TRect& r, bool pushed, bool flat) {
    if (flat)
        DrawEdge(c, r, pushed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT | BF_MIDDLE | BF_ADJUST);
    else if (pushed)
        DrawEdge(c, r, EDGE_SUNKEN, BF_RECT | BF_MIDDLE | BF_ADJUST | BF_FLAT);
    else
        DrawEdge(c, r, EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_ADJUST | BF_SOFT);
}

void CheckMark(TCanvas& c, const TRect& box, TColor color) {
    // The classic seven-pixel tick, three pixels thick.
    static constexpr std::array<std::array<int, 2>, 7> kTick{{{0, 2}, {1, 3}, {2, 4}, {3, 3}, {4, 2}, {5, 1}, {6, 0}}};
    int x0 = box.Left + (box.Width() - 7) / 2, y0 = box.Top + (box.Height() - 7) / 2;
    for (const auto& p : kTick) c.FillColor({x0 + p[0], y0 + p[1], x0 + p[0] + 1, y0 + p[1] + 3}, color);
}

}  // namespace

bool DrawEdge(TCanvas& canvas, TRect& r, uint32_t edge, uint32_t flags) {
    TRect inner = r;
    uint32_t sides = flags & BF_RECT;
    bool soft = flags & BF_SOFT;
    if (flags & (BF_FLAT | BF_MONO)) {
        TColor color = (flags & BF_MONO) ? clWindowFrame : clBtnShadow;
        if (edge & BDR_OUTER) Ring(canvas, inner, sides, color, color);
        if (edge & BDR_INNER) {
            TColor fill = (flags & BF_MONO) ? clWindow : clBtnFace;
            Ring(canvas, inner, sides, fill, fill);
        }
    } else {
        if (edge & BDR_RAISEDOUTER)
            Ring(canvas, inner, sides, soft ? clBtnHighlight : cl3DLight, cl3DDkShadow);
        else if (edge & BDR_SUNKENOUTER)
            Ring(canvas, inner, sides, soft ? cl3DDkShadow : clBtnShadow, clBtnHighlight);
        if (edge & BDR_RAISEDINNER)
            Ring(canvas, inner, sides, soft ? cl3DLight : clBtnHighlight, clBtnShadow);
        else if (edge & BDR_SUNKENINNER)
            Ring(canvas, inner, sides, soft ? clBtnShadow : cl3DDkShadow, cl3DLight);
    }
    if (flags & BF_MIDDLE) canvas.FillColor(inner, (flags & BF_MONO) ? clWindow : clBtnFace);
    if (flags & BF_ADJUST) r = inner;
    return true;
}

bool DrawFrameControl(TCanvas& canvas, TRect& r, uint32_t kind, uint32_t state) {
    bool pushed = state & DFCS_PUSHED;
    bool inactive = state & DFCS_INACTIVE;
    bool flat = state & (DFCS_FLAT | DFCS_MONO);
    switch (kind) {
        case DFC_BUTTON: {
            uint32_t type = state & 0x1F;
            if (type == DFCS_BUTTONPUSH) {
                TRect inner = r;
                ButtonFace(canvas, inner, pushed, flat);
                if (state & DFCS_ADJUSTRECT) r = inner;
                return true;
            }
            // Check boxes and radio buttons: a 13 x 13 box centred on the left.
            int side = std::min({13, r.Width(), r.Height()});
            TRect box{r.Left, r.Top + (r.Height() - side) / 2, r.Left + side, r.Top + (r.Height() - side) / 2 + side};
            TColor face = (pushed || inactive) ? clBtnFace : clWindow;
            TColor mark = inactive ? clBtnShadow : clWindowText;
            if (type == DFCS_BUTTONRADIO) {
                TPen& pen = canvas.Pen();
                TColor oldPen = pen.GetColor();
                TBrush& brush = canvas.Brush();
                TColor oldBrush = brush.GetColor();
                TBrushStyle oldStyle = brush.GetStyle();
                pen.SetColor(clBtnShadow);
                brush.SetColor(face);
                canvas.Ellipse(box.Left, box.Top, box.Right, box.Bottom);
                pen.SetColor(cl3DDkShadow);
                brush.SetStyle(bsClear);
                canvas.Ellipse(box.Left + 1, box.Top + 1, box.Right - 1, box.Bottom - 1);
                if (state & DFCS_CHECKED) {
                    pen.SetColor(mark);
                    brush.SetColor(mark);
                    canvas.Ellipse(box.Left + 4, box.Top + 4, box.Right - 4, box.Bottom - 4);
                }
                pen.SetColor(oldPen);
                brush.SetColor(oldBrush);
                brush.SetStyle(oldStyle);
                return true;
            }
            TRect inner = box;
            if (flat)
                DrawEdge(canvas, inner, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST | BF_MONO);
            else
                DrawEdge(canvas, inner, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
            canvas.FillColor(inner, face);
            if (state & DFCS_CHECKED) CheckMark(canvas, inner, type == DFCS_BUTTON3STATE ? clBtnShadow : mark);
            return true;
        }
        case DFC_SCROLL: {
            uint32_t type = state & 0xFF;
            if (type == DFCS_SCROLLSIZEGRIP) {
                canvas.FillColor(r, clBtnFace);
                // Three groups of diagonals towards the corner: one light
                // line, two dark ones, one gap.
                auto diagonal = [&](int d, TColor color) {
                    for (int i = 0; i < d && i < r.Height() && i < r.Width(); ++i)
                        canvas.FillColor({r.Right - d + i, r.Bottom - 1 - i, r.Right - d + i + 1, r.Bottom - i}, color);
                };
                for (int k = 0; k < 3; ++k) {
                    diagonal(4 * k + 2, clBtnHighlight);
                    diagonal(4 * k + 3, clBtnShadow);
                    diagonal(4 * k + 4, clBtnShadow);
                }
                return true;
            }
            TRect inner = r;
            ButtonFace(canvas, inner, pushed, flat);
            if (pushed) OffsetRect(inner, 1, 1);
            int direction = type == DFCS_SCROLLUP ? 0 : type == DFCS_SCROLLLEFT ? 2 : type == DFCS_SCROLLRIGHT ? 3 : 1;
            if (inactive) {
                TRect shadow = inner;
                OffsetRect(shadow, 1, 1);
                Arrow(canvas, shadow, direction, clBtnHighlight);
            }
            Arrow(canvas, inner, direction, inactive ? clBtnShadow : clBtnText);
            return true;
        }
        case DFC_MENU: {
            TColor color = canvas.Font().GetColor();
            switch (state & 0xFF) {
                case DFCS_MENUCHECK: CheckMark(canvas, r, color); break;
                case DFCS_MENUBULLET: {
                    int cx = r.Left + r.Width() / 2, cy = r.Top + r.Height() / 2;
                    // A round dot of six pixels across.
                    static constexpr std::array<int, 6> kHalfWidths{1, 2, 3, 3, 2, 1};
                    for (int i = 0; i < 6; ++i)
                        HLine(canvas, cx - kHalfWidths[i], cx + kHalfWidths[i], cy - 3 + i, color);
                    break;
                }
                default: {
                    // A right-pointing triangle seven pixels high.
                    int x0 = r.Left + (r.Width() - 4) / 2, cy = r.Top + r.Height() / 2;
                    for (int i = 0; i < 4; ++i) VLine(canvas, x0 + i, cy - 3 + i, cy + 4 - i, color);
                    break;
                }
            }
            return true;
        }
        case DFC_CAPTION: {
            TRect inner = r;
            DrawEdge(canvas, inner, pushed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_ADJUST | BF_SOFT);
            // A cross.
            int n = std::min(inner.Width(), inner.Height()) - 4;
            int x0 = inner.Left + (inner.Width() - n) / 2, y0 = inner.Top + (inner.Height() - n) / 2;
            for (int i = 0; i < n; ++i) {
                canvas.FillColor({x0 + i, y0 + i, x0 + i + 2, y0 + i + 1}, inactive ? clBtnShadow : clBtnText);
                canvas.FillColor({x0 + n - 2 - i, y0 + i, x0 + n - i, y0 + i + 1}, inactive ? clBtnShadow : clBtnText);
            }
            return true;
        }
        default: return false;
    }
}

void Frame3D(TCanvas& canvas, TRect& r, TColor topColor, TColor bottomColor, int width) {
    for (int i = 0; i < width; ++i) {
        Ring(canvas, r, BF_RECT, topColor, bottomColor);
    }
}

int ControlFrameWidth(bool framed, bool ctl3D) { return !framed ? 0 : ctl3D ? 2 : 1; }

void DrawControlFrame(TCanvas& canvas, const TRect& bounds, bool framed, bool ctl3D) {
    if (!framed) return;
    TRect r = bounds;
    if (ctl3D) {
        DrawEdge(canvas, r, EDGE_SUNKEN, BF_RECT);
    } else {
        canvas.Brush().SetColor(clWindowFrame);
        canvas.FrameRect(r);
    }
}
