#include "gui/Buttons.h"

#include <cctype>

#include "gui/Drawing.h"
#include "gui/Edges.h"
#include "gui/Forms.h"
#include "platform/Text.h"

char AcceleratorOf(std::string_view caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        return static_cast<char>(std::toupper(static_cast<unsigned char>(caption[i + 1])));
    }
    return 0;
}

bool IsAccel(char ch, std::string_view caption) {
    char accel = AcceleratorOf(caption);
    return accel && accel == static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
}

TButton::TButton() {
    SetControlStyle({csSetCaption, csDoubleClicks, csOpaque, csCaptureMouse});
    SetBounds(0, 0, 75, 25);
    SetTabStop(true);
    SetColor(clBtnFace);
}

void TButton::SetDefault(bool value) {
    if (value == default_) return;
    default_ = value;
    TCustomForm* form = GetParentForm();
    TWinControl* focused = form ? form->GetActiveControl() : nullptr;
    active_ = focused == this || (default_ && !dynamic_cast<TButton*>(focused));
    Invalidate();
}

void TButton::Click() {
    thorn::ComponentRef<TButton> self(this);
    if (TCustomForm* form = GetParentForm(); form && modalResult_ != mrNone) form->SetModalResult(modalResult_);
    if (self) TButtonControl::Click();
}

void TButton::Paint() {
    TCanvas& c = Canvas();
    TRect r = GetClientRect();
    c.FillColor(r, GetColor());
    bool focused = Focused();
    if (active_ || focused) {
        // The default frame: one dark line around the button.
        c.Brush().SetColor(clWindowFrame);
        c.FrameRect(r);
        r = {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
    }
    uint32_t state = DFCS_BUTTONPUSH;
    if (IsPressed()) state |= DFCS_PUSHED;
    if (!IsEnabledDeep()) state |= DFCS_INACTIVE;
    TRect face = r;
    DrawFrameControl(c, face, DFC_BUTTON, state | DFCS_ADJUSTRECT);
    TRect content = r;
    if (IsPressed()) OffsetRect(content, 1, 1);
    c.Font().Assign(GetFont());
    c.Brush().SetStyle(bsClear);
    PaintContent(c, content);
    c.Brush().SetStyle(bsSolid);
    if (focused) {
        TRect focus{r.Left + 3, r.Top + 3, r.Right - 3, r.Bottom - 3};
        c.DrawFocusRect(focus);
    }
}

void TButton::PaintContent(TCanvas& canvas, const TRect& content) {
    TRect text = content;
    uint32_t format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    if (IsEnabledDeep()) {
        canvas.Font().SetColor(clBtnText);
        canvas.DrawText(text, format, GetCaption());
    } else {
        thorn::DrawDisabledText(canvas, text, format, GetCaption());
    }
}

bool TButton::CMDialogKey(TKey key, TShiftState shift) {
    bool plain = !shift.Contains(ssShift) && !shift.Contains(ssCtrl) && !shift.Contains(ssAlt);
    if (plain && ((key == VK_RETURN && active_) || (key == VK_ESCAPE && cancel_)) && CanFocus()) {
        Click();
        return true;
    }
    return TButtonControl::CMDialogKey(key, shift);
}

bool TButton::CMDialogChar(char ch, TShiftState shift) {
    if (IsAccel(ch, GetCaption()) && CanFocus()) {
        Click();
        return true;
    }
    return TButtonControl::CMDialogChar(ch, shift);
}

void TButton::CMFocusChanged(TWinControl* focused) {
    bool active = dynamic_cast<TButton*>(focused) ? focused == this : default_;
    if (active != active_) {
        active_ = active;
        Invalidate();
    }
}
