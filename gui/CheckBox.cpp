#include "gui/CheckBox.h"

#include <algorithm>

#include "gui/Buttons.h"
#include "gui/Drawing.h"
#include "gui/Edges.h"
#include "platform/Text.h"

namespace {

constexpr int kBox = 13;
// Between the box and the caption.
constexpr int kGap = 4;
constexpr uint32_t kCaptionFormat = DT_SINGLELINE | DT_VCENTER;

}  // namespace

TCustomCheckBox::TCustomCheckBox() {
    SetControlStyle({csSetCaption, csCaptureMouse, csOpaque});
    SetBounds(0, 0, 97, 17);
    SetTabStop(true);
}

void TCustomCheckBox::SetState(TCheckBoxState value) {
    if (value == state_) return;
    state_ = value;
    Invalidate();
    Click();
}

void TCustomCheckBox::SetAlignment(TAlignment value) {
    if (value == alignment_) return;
    alignment_ = value;
    Invalidate();
}

void TCustomCheckBox::Toggle() {
    switch (state_) {
        case cbUnchecked: SetState(cbChecked); break;
        case cbChecked: SetState(allowGrayed_ ? cbGrayed : cbUnchecked); break;
        default: SetState(cbUnchecked); break;
    }
}

TRect TCustomCheckBox::BoxRect() const {
    TRect client = GetClientRect();
    int top = (client.Height() - kBox) / 2;
    int left = alignment_ == taLeftJustify ? client.Right - kBox : 0;
    return {left, top, left + kBox, top + kBox};
}

TRect TCustomCheckBox::CaptionRect() const {
    TRect client = GetClientRect();
    return alignment_ == taLeftJustify ? TRect{0, 0, client.Right - kBox - kGap, client.Bottom}
                                       : TRect{kBox + kGap, 0, client.Right, client.Bottom};
}

void TCustomCheckBox::Paint() {
    TCanvas& canvas = Canvas();
    uint32_t state = DFCS_BUTTONCHECK;
    if (state_ == cbChecked) state |= DFCS_CHECKED;
    if (state_ == cbGrayed) state |= DFCS_BUTTON3STATE | DFCS_CHECKED;
    if (IsPressed()) state |= DFCS_PUSHED;
    if (!IsEnabledDeep()) state |= DFCS_INACTIVE;
    TRect box = BoxRect();
    DrawFrameControl(canvas, box, DFC_BUTTON, state);
    TRect caption = CaptionRect();
    uint32_t format = kCaptionFormat | (alignment_ == taLeftJustify ? DT_RIGHT : DT_LEFT);
    canvas.Font().Assign(GetFont());
    canvas.Brush().SetStyle(bsClear);
    if (IsEnabledDeep())
        canvas.DrawText(caption, format, GetCaption());
    else
        thorn::DrawDisabledText(canvas, caption, format, GetCaption());
    if (Focused() && !GetCaption().empty()) {
        // Around the text itself, a pixel away from it.
        TRect text{0, 0, 0, 0};
        thorn::DrawText(thorn::PixelView{}, text, DT_SINGLELINE | DT_CALCRECT, GetFont(), GetCaption());
        int width = std::min(text.Width(), caption.Width()), height = text.Height();
        int left = alignment_ == taLeftJustify ? caption.Right - width : caption.Left;
        int top = caption.Top + (caption.Height() - height) / 2;
        canvas.DrawFocusRect({left - 1, top - 1, left + width + 1, top + height + 1});
    }
}

bool TCustomCheckBox::CMDialogChar(char ch, TShiftState shift) {
    if (IsAccel(ch, GetCaption()) && CanFocus()) {
        SetFocus();
        Toggle();
        return true;
    }
    return TButtonControl::CMDialogChar(ch, shift);
}
