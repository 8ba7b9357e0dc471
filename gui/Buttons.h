#pragma once

#include <string_view>

#include "gui/ButtonControl.h"

// A push button in the classic look: Caption (with "&" marking its
// accelerator), Default (answers Enter when no other button has the focus),
// Cancel (answers Escape), ModalResult (given to its form when clicked).
// A click by mouse, Space, Enter, Escape or accelerator runs Click.
class TButton : public TButtonControl {
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

    // Gives the form the button's modal result, then runs OnClick.
    void Click() override;

protected:
    void Paint() override;
    // The caption inside the face (pushed with it); a descendant may draw
    // more there. The canvas has the button's font and a clear brush.
    virtual void PaintContent(TCanvas& canvas, const TRect& content);
    void Press() override { Click(); }
    bool CMDialogKey(TKey key, TShiftState shift) override;
    bool CMDialogChar(char ch, TShiftState shift) override;
    void CMFocusChanged(TWinControl* focused) override;

private:
    bool default_ = false;
    bool cancel_ = false;
    bool active_ = false;
    TModalResult modalResult_ = mrNone;
};

// The character a "&" marks in caption (upper-cased), or 0.
char AcceleratorOf(std::string_view caption);
// Whether ch (either case) is the accelerator of caption.
bool IsAccel(char ch, std::string_view caption);
