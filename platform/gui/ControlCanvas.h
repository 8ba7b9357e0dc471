#pragma once

#include "platform/gui/Canvas.h"

class TControl;

namespace thorn {

// The canvas of a control. While the control paints, it draws into the
// form's back buffer at the control's place, clipped to what the layer
// paints. Drawing outside a paint goes into the back buffer too, clipped to
// the visible part of the control, and is shown at the next idle moment.
class ControlCanvas : public TCanvas {
public:
    explicit ControlCanvas(TControl& control) : control_(control) {}

    void BeginPaint(const TCanvas& placement);
    void EndPaint();

protected:
    void RequiredState() override;

private:
    TControl& control_;
    bool painting_ = false;
};

}  // namespace thorn
