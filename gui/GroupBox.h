#pragma once

#include "gui/Controls.h"

// A frame with a caption that holds other controls: an etched line around
// them with the caption let into its top at the left. The children sit
// inside the frame, below the caption. Alt with the caption's accelerator
// focuses the first control in the box.
class TCustomGroupBox : public TCustomControl {
public:
    TCustomGroupBox();

protected:
    void Paint() override;
    void AdjustClientRect(TRect& rect) override;
    bool CMDialogChar(char ch, TShiftState shift) override;
    void CMTextChanged() override;
    void CMFontChanged() override;

private:
    int CaptionHeight() const;
};

class TGroupBox : public TCustomGroupBox {};
