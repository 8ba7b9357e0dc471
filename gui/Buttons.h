#pragma once

#include "gui/Controls.h"

// A push button in the classic look: Caption (with "&" marking its
// accelerator), Default (answers Enter when no other button has the focus),
// Cancel (answers Escape), ModalResult (given to its form when clicked).
// A click by mouse, Space, Enter, Escape or accelerator runs Click.
class TButton : public TCustomControl {
public:
    TButton();

    bool GetDefault() const { return default_; }
    void SetDefault(bool value);
    bool GetCancel() const { return cancel_; }
    void SetCancel(bool value) { cancel_ = value; }
    TModalResult GetModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult value) { modalResult_ = value; }
    // Whether Enter clicks this button now.
    bool IsActive() const { return active_; }
    bool IsPressed() const { return pressed_; }

    // Gives the form the button's modal result, then runs OnClick.
    void Click() override;

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void KeyDown(TKey& key, TShiftState shift) override;
    void KeyUp(TKey& key, TShiftState shift) override;
    bool CMDialogKey(TKey key, TShiftState shift) override;
    bool CMDialogChar(char ch, TShiftState shift) override;
    void CMFocusChanged(TWinControl* focused) override;
    void CMCancelMode() override;

private:
    void SetPressed(bool value);

    bool default_ = false;
    bool cancel_ = false;
    bool active_ = false;
    bool pressed_ = false;
    bool tracking_ = false;
    bool spaceDown_ = false;
    TModalResult modalResult_ = mrNone;
};

// The character a "&" marks in caption (upper-cased), or 0.
char AcceleratorOf(std::string_view caption);
