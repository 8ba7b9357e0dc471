#pragma once

#include "gui/Application.h"
#include "gui/ControlAccess.h"
#include "gui/Forms.h"

namespace thorn {

// A hint window laid over a control's own text (a cut-off label shown
// whole) that the mouse passes through, as a tool-tip does on systems that
// can make a window transparent to it: what the pointer does over the hint
// goes to the window below, so the control keeps hot tracking, its clicks
// and its hint, and hears the pointer leave when it leaves.
template <typename Base>
class PassThroughHint : public Base {
public:
    // The window under the hint; null keeps the input for the hint itself.
    void SetWindowBelow(TCustomForm* form) { below_ = form; }

protected:
    void RouteMouse(const MouseInput& input) override {
        TCustomForm* below = below_.Get();
        if (!below || !below->IsShowing()) {
            Base::RouteMouse(input);
            return;
        }
        const TPoint screen{this->GetLeft() + input.x, this->GetTop() + input.y};
        MouseInput moved = input;
        moved.x = screen.X - below->GetLeft();
        moved.y = screen.Y - below->GetTop();
        // Leaving the hint is leaving the window below only when the pointer
        // is not over that window now.
        if (input.action == MouseAction::Leave && Application) {
            const TPoint pointer = Application->GetHost().GetCursorPos();
            if (PtInRect(below->GetBoundsRect(), pointer)) return;
        }
        ControlAccess::RouteMouse(*below, moved);
    }

private:
    ComponentRef<TCustomForm> below_;
};

}  // namespace thorn
