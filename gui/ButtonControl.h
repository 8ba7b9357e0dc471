#pragma once

#include "gui/Controls.h"

// What push buttons and check boxes share: the left mouse button or Space
// holds the control pushed (the mouse only while the pointer stays on it),
// and letting go on it presses it. A press that is interrupted (a modal box,
// the focus going away) lets go without pressing.
class TButtonControl : public TCustomControl {
public:
    bool IsPressed() const { return pressed_; }

protected:
    // The control was pressed: released on it, or Space let go.
    virtual void Press() = 0;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void KeyDown(TKey& key, TShiftState shift) override;
    void KeyUp(TKey& key, TShiftState shift) override;
    void CMCancelMode() override;
    void WMKillFocus() override;

private:
    void SetPressed(bool value);

    bool pressed_ = false;
    bool tracking_ = false;
    bool spaceDown_ = false;
};
