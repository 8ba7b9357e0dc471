#include "gui/Buttons.h"

#include <cctype>

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
    if (self) TCustomControl::Click();
}

void TButton::SetPressed(bool value) {
    if (value == pressed_) return;
    pressed_ = value;
    Invalidate();
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
    if (pressed_) state |= DFCS_PUSHED;
    if (!IsEnabledDeep()) state |= DFCS_INACTIVE;
    TRect face = r;
    DrawFrameControl(c, face, DFC_BUTTON, state | DFCS_ADJUSTRECT);
    TRect text = r;
    if (pressed_) OffsetRect(text, 1, 1);
    c.Font().Assign(GetFont());
    c.Brush().SetStyle(bsClear);
    uint32_t format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    if (!IsEnabledDeep()) {
        TRect shade = text;
        OffsetRect(shade, 1, 1);
        c.Font().SetColor(clBtnHighlight);
        c.DrawText(shade, format, GetCaption());
        c.Font().SetColor(clBtnShadow);
    } else {
        c.Font().SetColor(clBtnText);
    }
    c.DrawText(text, format, GetCaption());
    c.Brush().SetStyle(bsSolid);
    if (focused) {
        TRect focus{r.Left + 3, r.Top + 3, r.Right - 3, r.Bottom - 3};
        c.DrawFocusRect(focus);
    }
}

void TButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == mbLeft) {
        if (CanFocus() && !Focused()) SetFocus();
        tracking_ = true;
        SetPressed(true);
    }
    TCustomControl::MouseDown(button, shift, x, y);
}

void TButton::MouseMove(TShiftState shift, int x, int y) {
    if (tracking_) SetPressed(PtInRect(GetClientRect(), {x, y}));
    TCustomControl::MouseMove(shift, x, y);
}

void TButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    thorn::ComponentRef<TButton> self(this);
    if (button == mbLeft && tracking_) {
        tracking_ = false;
        bool inside = PtInRect(GetClientRect(), {x, y});
        SetPressed(false);
        if (inside) Click();
    }
    if (self) TCustomControl::MouseUp(button, shift, x, y);
}

void TButton::KeyDown(TKey& key, TShiftState shift) {
    if (key == VK_SPACE && shift.Empty()) {
        spaceDown_ = true;
        SetPressed(true);
    }
    TCustomControl::KeyDown(key, shift);
}

void TButton::KeyUp(TKey& key, TShiftState shift) {
    thorn::ComponentRef<TButton> self(this);
    if (key == VK_SPACE && spaceDown_) {
        spaceDown_ = false;
        SetPressed(false);
        Click();
    }
    if (self) TCustomControl::KeyUp(key, shift);
}

bool TButton::CMDialogKey(TKey key, TShiftState shift) {
    bool plain = !shift.Contains(ssShift) && !shift.Contains(ssCtrl) && !shift.Contains(ssAlt);
    if (plain && ((key == VK_RETURN && active_) || (key == VK_ESCAPE && cancel_)) && CanFocus()) {
        Click();
        return true;
    }
    return TCustomControl::CMDialogKey(key, shift);
}

bool TButton::CMDialogChar(char ch, TShiftState shift) {
    char accel = AcceleratorOf(GetCaption());
    if (accel && accel == static_cast<char>(std::toupper(static_cast<unsigned char>(ch))) && CanFocus()) {
        Click();
        return true;
    }
    return TCustomControl::CMDialogChar(ch, shift);
}

void TButton::CMFocusChanged(TWinControl* focused) {
    bool active = dynamic_cast<TButton*>(focused) ? focused == this : default_;
    if (active != active_) {
        active_ = active;
        Invalidate();
    }
}

void TButton::CMCancelMode() {
    tracking_ = false;
    spaceDown_ = false;
    SetPressed(false);
    TCustomControl::CMCancelMode();
}
