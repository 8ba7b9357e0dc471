#include "gui/Panel.h"

#include <algorithm>

#include "gui/Drawing.h"
#include "gui/Edges.h"
#include "platform/Text.h"

TCustomPanel::TCustomPanel() {
    SetControlStyle({csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csOpaque, csDoubleClicks});
    SetColor(clBtnFace);
    SetParentColor(false);
    SetBounds(0, 0, 185, 41);
}

void TCustomPanel::Changed() {
    Realign();
    Invalidate();
}

void TCustomPanel::SetAlignment(TAlignment value) {
    if (value == alignment_) return;
    alignment_ = value;
    Invalidate();
}

void TCustomPanel::SetBevelInner(TPanelBevel value) {
    if (value == bevelInner_) return;
    bevelInner_ = value;
    Changed();
}

void TCustomPanel::SetBevelOuter(TPanelBevel value) {
    if (value == bevelOuter_) return;
    bevelOuter_ = value;
    Changed();
}

void TCustomPanel::SetBevelWidth(int value) {
    value = std::max(1, value);
    if (value == bevelWidth_) return;
    bevelWidth_ = value;
    Changed();
}

void TCustomPanel::SetBorderStyle(TBorderStyle value) {
    if (value == borderStyle_) return;
    borderStyle_ = value;
    NonClientChanged();
}

void TCustomPanel::WMNCCalcSize(TRect& rect) const {
    if (borderStyle_ == bsSingle) InflateRect(rect, -2, -2);
}

void TCustomPanel::WMNCPaint(TCanvas& canvas) {
    if (borderStyle_ != bsSingle) return;
    TRect r{0, 0, GetWidth(), GetHeight()};
    DrawEdge(canvas, r, EDGE_SUNKEN, BF_RECT);
}

void TCustomPanel::AdjustClientRect(TRect& rect) {
    int inset = GetBorderWidth() + (bevelOuter_ != bvNone ? bevelWidth_ : 0) + (bevelInner_ != bvNone ? bevelWidth_ : 0);
    InflateRect(rect, -inset, -inset);
}

void TCustomPanel::Paint() {
    TCanvas& canvas = Canvas();
    TRect r = GetClientRect();
    auto bevel = [&](TPanelBevel kind) {
        if (kind == bvNone) return;
        bool lowered = kind == bvLowered;
        TColor top = kind == bvSpace ? GetColor() : lowered ? clBtnShadow : clBtnHighlight;
        TColor bottom = kind == bvSpace ? GetColor() : lowered ? clBtnHighlight : clBtnShadow;
        Frame3D(canvas, r, top, bottom, bevelWidth_);
    };
    bevel(bevelOuter_);
    Frame3D(canvas, r, GetColor(), GetColor(), GetBorderWidth());
    bevel(bevelInner_);
    canvas.FillColor(r, GetColor());
    if (GetCaption().empty()) return;
    canvas.Font().Assign(GetFont());
    canvas.Brush().SetStyle(bsClear);
    uint32_t format = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS;
    if (alignment_ == taCenter) format |= DT_CENTER;
    if (alignment_ == taRightJustify) format |= DT_RIGHT;
    if (IsEnabledDeep())
        canvas.DrawText(r, format, GetCaption());
    else
        thorn::DrawDisabledText(canvas, r, format, GetCaption());
}
