#include "gui/ButtonControl.h"

void TButtonControl::SetPressed(bool value) {
    if (value == pressed_) return;
    pressed_ = value;
    Invalidate();
}

void TButtonControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == mbLeft) {
        thorn::ComponentRef<TButtonControl> self(this);
        if (CanFocus() && !Focused()) SetFocus();
        if (!self) return;
        tracking_ = true;
        SetPressed(true);
    }
    TCustomControl::MouseDown(button, shift, x, y);
}

void TButtonControl::MouseMove(TShiftState shift, int x, int y) {
    if (tracking_) SetPressed(PtInRect(GetClientRect(), {x, y}));
    TCustomControl::MouseMove(shift, x, y);
}

void TButtonControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    thorn::ComponentRef<TButtonControl> self(this);
    if (button == mbLeft && tracking_) {
        tracking_ = false;
        bool inside = PtInRect(GetClientRect(), {x, y});
        SetPressed(false);
        if (inside) Press();
    }
    if (self) TCustomControl::MouseUp(button, shift, x, y);
}

void TButtonControl::KeyDown(TKey& key, TShiftState shift) {
    if (key == VK_SPACE && shift.Empty()) {
        spaceDown_ = true;
        SetPressed(true);
    }
    TCustomControl::KeyDown(key, shift);
}

void TButtonControl::KeyUp(TKey& key, TShiftState shift) {
    thorn::ComponentRef<TButtonControl> self(this);
    if (key == VK_SPACE && spaceDown_) {
        spaceDown_ = false;
        SetPressed(false);
        Press();
    }
    if (self) TCustomControl::KeyUp(key, shift);
}

void TButtonControl::CMCancelMode() {
    tracking_ = false;
    spaceDown_ = false;
    SetPressed(false);
    TCustomControl::CMCancelMode();
}

void TButtonControl::WMKillFocus() {
    spaceDown_ = false;
    if (!tracking_) SetPressed(false);
    TCustomControl::WMKillFocus();
}
