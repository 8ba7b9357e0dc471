#pragma once

#include "gui/Controls.h"
#include "gui/Forms.h"
#include "gui/headless/HeadlessHost.h"

namespace thorn::test {

// Where a point of a control's client area lies in its form's window.
inline TPoint OnWindow(const TControl& control, TPoint client) {
    const TPoint screen = control.ClientToScreen(client);
    const TCustomForm& form = *control.GetParentForm();
    return {screen.X - form.GetLeft(), screen.Y - form.GetTop()};
}

// The user clicks the middle of a control.
inline void ClickOn(HeadlessHost& host, const TControl& control) {
    const TPoint p = OnWindow(control, {control.GetClientWidth() / 2, control.GetClientHeight() / 2});
    host.Click(*control.GetParentForm(), p.X, p.Y);
}

}  // namespace thorn::test
