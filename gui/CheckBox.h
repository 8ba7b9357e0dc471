#pragma once

#include <cstdint>

#include "gui/ButtonControl.h"

enum TCheckBoxState : uint8_t { cbUnchecked, cbChecked, cbGrayed };

// A box the user ticks, with its caption beside it (to the right, or to the
// left with Alignment taLeftJustify). A click on the box or the caption, a
// Space (pushed while held, toggled on release) or Alt with the caption's
// accelerator moves it on: unchecked, checked, then grayed when AllowGrayed,
// and round again. Every change of State, by the user or by program, runs
// OnClick. The focused box shows a dotted rectangle around its caption.
class TCustomCheckBox : public TButtonControl {
public:
    TCustomCheckBox();

    TCheckBoxState GetState() const { return state_; }
    void SetState(TCheckBoxState value);
    bool GetChecked() const { return state_ == cbChecked; }
    void SetChecked(bool value) { SetState(value ? cbChecked : cbUnchecked); }
    bool GetAllowGrayed() const { return allowGrayed_; }
    void SetAllowGrayed(bool value) { allowGrayed_ = value; }
    TAlignment GetAlignment() const { return alignment_; }
    void SetAlignment(TAlignment value);

protected:
    // The user's step to the next state.
    virtual void Toggle();
    void Press() override { Toggle(); }
    void Paint() override;
    bool CMDialogChar(char ch, TShiftState shift) override;

private:
    TRect BoxRect() const;
    TRect CaptionRect() const;

    TCheckBoxState state_ = cbUnchecked;
    bool allowGrayed_ = false;
    TAlignment alignment_ = taRightJustify;
};

class TCheckBox : public TCustomCheckBox {};
