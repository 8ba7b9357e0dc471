#include "gui/Bevel.h"

#include "gui/Edges.h"

TBevel::TBevel() { SetBounds(0, 0, 50, 50); }

void TBevel::SetShape(TBevelShape value) {
    if (value == shape_) return;
    shape_ = value;
    Invalidate();
}

void TBevel::SetStyle(TBevelStyle value) {
    if (value == style_) return;
    style_ = value;
    Invalidate();
}

void TBevel::Paint() {
    TCanvas& canvas = Canvas();
    TRect r = GetClientRect();
    int w = r.Width(), h = r.Height();
    bool lowered = style_ == bsLowered;
    TColor dark = lowered ? clBtnShadow : clBtnHighlight;
    TColor light = lowered ? clBtnHighlight : clBtnShadow;
    switch (shape_) {
        case bsBox: Frame3D(canvas, r, dark, light, 1); break;
        case bsFrame: DrawEdge(canvas, r, lowered ? EDGE_ETCHED : EDGE_BUMP, BF_RECT); break;
        case bsTopLine:
            canvas.FillColor({0, 0, w, 1}, dark);
            canvas.FillColor({0, 1, w, 2}, light);
            break;
        case bsBottomLine:
            canvas.FillColor({0, h - 2, w, h - 1}, dark);
            canvas.FillColor({0, h - 1, w, h}, light);
            break;
        case bsLeftLine:
            canvas.FillColor({0, 0, 1, h}, dark);
            canvas.FillColor({1, 0, 2, h}, light);
            break;
        case bsRightLine:
            canvas.FillColor({w - 2, 0, w - 1, h}, dark);
            canvas.FillColor({w - 1, 0, w, h}, light);
            break;
        default: break;
    }
}
