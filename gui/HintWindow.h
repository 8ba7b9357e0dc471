#pragma once

#include <string>
#include <string_view>

#include "gui/Forms.h"

// The small pop-up that shows a control's hint near the mouse.
class THintWindow : public TCustomForm {
public:
    THintWindow();

    // The size the hint needs (at most maxWidth wide), at (0, 0).
    virtual TRect CalcHintRect(int maxWidth, std::string_view hint);
    // Shows the hint in rect (screen coordinates).
    virtual void ActivateHint(const TRect& rect, std::string_view hint);
    // Hides it.
    void ReleaseHandle();

protected:
    void Paint() override;
};
