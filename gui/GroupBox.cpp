#include "gui/GroupBox.h"

#include "gui/Buttons.h"
#include "gui/Drawing.h"
#include "gui/Edges.h"
#include "platform/Text.h"

namespace {

// Between the frame's left side and the caption, and around the caption.
constexpr int kCaptionIndent = 8;
constexpr int kCaptionPad = 2;

}  // namespace

TCustomGroupBox::TCustomGroupBox() {
    SetControlStyle({csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks});
    SetBounds(0, 0, 185, 105);
}

int TCustomGroupBox::CaptionHeight() const { return thorn::GetFontMetrics(GetFont()).height; }

void TCustomGroupBox::AdjustClientRect(TRect& rect) {
    rect = {rect.Left + 2, rect.Top + CaptionHeight() + 2, rect.Right - 2, rect.Bottom - 2};
}

void TCustomGroupBox::CMTextChanged() {
    TCustomControl::CMTextChanged();
    Invalidate();
}

void TCustomGroupBox::CMFontChanged() {
    TCustomControl::CMFontChanged();
    Realign();
}

bool TCustomGroupBox::CMDialogChar(char ch, TShiftState shift) {
    if (IsAccel(ch, GetCaption())) {
        if (TWinControl* first = FindNextControl(nullptr, true, true, false)) {
            first->SetFocus();
            return true;
        }
    }
    return TCustomControl::CMDialogChar(ch, shift);
}

void TCustomGroupBox::Paint() {
    TCanvas& canvas = Canvas();
    TRect client = GetClientRect();
    canvas.Font().Assign(GetFont());
    int height = CaptionHeight();
    TRect frame{client.Left, client.Top + height / 2, client.Right, client.Bottom};
    DrawEdge(canvas, frame, EDGE_ETCHED, BF_RECT);
    if (GetCaption().empty()) return;
    TRect text{kCaptionIndent, 0, 0, 0};
    thorn::DrawText(thorn::PixelView{}, text, DT_SINGLELINE | DT_CALCRECT, GetFont(), GetCaption());
    text = {text.Left, 0, text.Right + 2 * kCaptionPad, height};
    canvas.FillColor(text, GetColor());
    OffsetRect(text, kCaptionPad, 0);
    canvas.Brush().SetStyle(bsClear);
    if (IsEnabledDeep())
        canvas.DrawText(text, DT_SINGLELINE | DT_LEFT | DT_NOCLIP, GetCaption());
    else
        thorn::DrawDisabledText(canvas, text, DT_SINGLELINE | DT_LEFT | DT_NOCLIP, GetCaption());
}
