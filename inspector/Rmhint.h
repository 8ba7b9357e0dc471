#pragma once

#include <cstdint>
#include <string_view>

#include "gui/HintWindow.h"

namespace thorn {

// What reaches the application while a hint shows, as far as a hint window
// cares: the kinds that end a hint, and the others.
enum class HintMessage : uint8_t {
    Key,                 // a key pressed, released or typed
    Command,             // a menu or control command
    Activate,            // the application becoming active
    Deactivate,          // the application losing the activation
    AppKeyDown,          // a key the application handles before any window
    AppSysCommand,       // a system command of the application
    MouseButton,         // a mouse button pressed, released or double-clicked
    MouseWheel,
    NonClientMouseMove,  // the pointer over a window's frame
    MouseMove,
    Other,
};

}  // namespace thorn

// The borderless tool-tip in which the grid and the path tree views show a
// caption or value that is cut off: the text (broken at words) on the hint
// colour inside a raised edge, kept on the desktop, transparent to the
// mouse. One instance is shared by the path tree views.
class TrmHintWindow : public THintWindow {
public:
    TrmHintWindow();

    // Shows text in rect (screen coordinates), moved onto the desktop:
    // above its bottom, left of its right edge, right of its left edge and
    // below its top, in that order.
    void ActivateHint(const TRect& rect, std::string_view text) override;
    virtual void ActivateHintData(const TRect& rect, std::string_view text, void* data);
    // The size text takes as one line in the hint's font, from (0, 0).
    virtual TRect CalcHintRect(int maxWidth, std::string_view text, void* data);
    TRect CalcHintRect(int maxWidth, std::string_view text) override { return CalcHintRect(maxWidth, text, nullptr); }
    // Whether the message ends the hint: keys, commands, activation changes,
    // the application's keys and system commands, mouse buttons and the
    // wheel, and the pointer over a frame.
    virtual bool IsHintMsg(thorn::HintMessage message) const;
    // True while ActivateHint runs.
    bool IsActivating() const { return activating_; }

protected:
    void Paint() override;
    void WMNCCalcSize(TRect& rect) const override;
    void WMNCPaint(TCanvas& canvas) override;
    bool CMHitTest(int x, int y) override { return false; }

private:
    bool activating_ = false;
};
