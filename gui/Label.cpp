#include "gui/Label.h"

#include "gui/Buttons.h"
#include "gui/Drawing.h"
#include "platform/Text.h"

TCustomLabel::TCustomLabel() {
    SetControlStyle(GetControlStyle().Include(csOpaque));
    SetBounds(0, 0, 65, 17);
    SetAutoSize(true);
}

void TCustomLabel::SetAlignment(TAlignment value) {
    if (value == alignment_) return;
    alignment_ = value;
    Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout value) {
    if (value == layout_) return;
    layout_ = value;
    Invalidate();
}

void TCustomLabel::SetWordWrap(bool value) {
    if (value == wordWrap_) return;
    wordWrap_ = value;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetTransparent(bool value) {
    if (value == transparent_) return;
    transparent_ = value;
    SetControlStyle(GetControlStyle().Set(csOpaque, !value));
    Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool value) {
    if (value == showAccelChar_) return;
    showAccelChar_ = value;
    AdjustBounds();
    Invalidate();
}

uint32_t TCustomLabel::TextFormat() const {
    uint32_t format = DT_EXPANDTABS;
    if (wordWrap_) format |= DT_WORDBREAK;
    if (!showAccelChar_) format |= DT_NOPREFIX;
    if (alignment_ == taRightJustify) format |= DT_RIGHT;
    if (alignment_ == taCenter) format |= DT_CENTER;
    return format;
}

TSize TCustomLabel::TextSize(int width) const {
    // An empty caption still takes a line.
    if (GetCaption().empty()) return {0, thorn::GetFontMetrics(GetFont()).height};
    TRect r{0, 0, wordWrap_ ? width : 0, 0};
    thorn::DrawText(thorn::PixelView{}, r, TextFormat() | DT_CALCRECT, GetFont(), GetCaption());
    return {r.Width(), r.Height()};
}

bool TCustomLabel::CanAutoSize(int& newWidth, int& newHeight) {
    TSize size = TextSize(newWidth);
    if (!wordWrap_) newWidth = size.cx;
    newHeight = size.cy;
    return true;
}

void TCustomLabel::AdjustBounds() {
    if (!GetAutoSize() || GetComponentState().Contains(csDestroying)) return;
    TSize size = TextSize(GetWidth());
    int width = wordWrap_ ? GetWidth() : size.cx;
    int left = GetLeft();
    if (alignment_ == taRightJustify) left = GetLeft() + GetWidth() - width;
    if (alignment_ == taCenter) left = GetLeft() + (GetWidth() - width) / 2;
    SetBounds(left, GetTop(), width, size.cy);
}

void TCustomLabel::CMTextChanged() {
    TGraphicControl::CMTextChanged();
    AdjustBounds();
}

void TCustomLabel::CMFontChanged() {
    TGraphicControl::CMFontChanged();
    AdjustBounds();
}

bool TCustomLabel::CMDialogChar(char ch, TShiftState shift) {
    TWinControl* target = focusControl_.Get();
    if (target && showAccelChar_ && IsAccel(ch, GetCaption()) && target->CanFocus()) {
        target->SetFocus();
        return true;
    }
    return TGraphicControl::CMDialogChar(ch, shift);
}

void TCustomLabel::Paint() {
    TCanvas& canvas = Canvas();
    TRect r = GetClientRect();
    if (!transparent_) canvas.FillColor(r, GetColor());
    canvas.Font().Assign(GetFont());
    canvas.Brush().SetStyle(bsClear);
    uint32_t format = TextFormat();
    if (layout_ != tlTop) {
        TRect measured = r;
        canvas.DrawText(measured, format | DT_CALCRECT, GetCaption());
        int room = r.Height() - measured.Height();
        r.Top += layout_ == tlBottom ? room : room / 2;
    }
    if (IsEnabledDeep())
        canvas.DrawText(r, format, GetCaption());
    else
        thorn::DrawDisabledText(canvas, r, format, GetCaption());
}
