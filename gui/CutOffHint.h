#pragma once

#include <string_view>

#include "gui/HintWindow.h"
#include "gui/Host.h"
#include "platform/Components.h"

namespace thorn {

// The hint in which a control shows one of its texts whole where it cuts it
// off (a tree's row past the right edge), laid over that text. The mouse
// passes through it to the window below, as through a tool-tip on systems
// that can make a window transparent to it: the control keeps hot tracking,
// its clicks and its hint, and hears the pointer leave when it leaves. A
// kind of control keeps one for all its controls: one shows at a time.
class CutOffHint {
public:
    // Whether it shows text now.
    bool Shows(std::string_view text) const;
    // Closes it, when it shows. It may be closed from inside its own input
    // (passed through to the window below): it is freed once that has
    // returned.
    void Close();
    // Shows text over rect (screen coordinates) in a new hint window of type
    // Window (a THintWindow), in the hint colour and the control's font,
    // passing the mouse through to the control's form. The application
    // must be running.
    template <typename Window>
    void Show(const TControl& control, const TRect& rect, std::string_view text) {
        Close();
        auto* shown = Make<PassThrough<Window>>(Owner());
        shown->below = control.GetParentForm();
        Present(*shown, control, rect, text);
    }

private:
    template <typename Window>
    class PassThrough : public Window {
    public:
        ComponentRef<TCustomForm> below;

    protected:
        void RouteMouse(const MouseInput& input) override {
            if (!PassMouse(*this, below.Get(), input)) Window::RouteMouse(input);
        }
    };

    // The application, which owns the hints.
    static TComponent& Owner();
    // Hands input on hint to the window below it; false when that window is
    // gone or hidden, and the hint takes the input itself.
    static bool PassMouse(const TCustomForm& hint, TCustomForm* below, const MouseInput& input);
    void Present(THintWindow& shown, const TControl& control, const TRect& rect, std::string_view text);

    ComponentRef<THintWindow> hint_;
};

}  // namespace thorn
