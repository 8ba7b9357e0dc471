#pragma once

#include "bitmap/Canvas.h"
#include "platform/Components.h"

class TControl;

namespace thorn {

// The canvas of a control. While the control paints, it draws into the
// form's back buffer at the control's place, clipped to what the layer
// paints. Drawing outside a paint goes into the back buffer too, clipped to
// the visible part of the control, and is shown at the next idle moment.
class ControlCanvas : public TCanvas {
public:
    explicit ControlCanvas(TControl& control) : control_(control) {}

    // Runs paint with this canvas drawing where placement draws; afterwards
    // (also when paint throws) the canvas is bound afresh at its next use.
    template <typename Paint>
    void PaintWithin(const TCanvas& placement, Paint&& paint) {
        BeginPaint(placement);
        // A handler of the paint may free the control, and this canvas.
        struct Ending {
            ControlCanvas& canvas;
            ComponentRef<TComponent> control;
            ~Ending() {
                if (control) canvas.EndPaint();
            }
        } ending{*this, Control()};
        paint();
    }

protected:
    void RequiredState() override;

private:
    TComponent* Control() const;
    void BeginPaint(const TCanvas& placement);
    void EndPaint();

    TControl& control_;
    bool painting_ = false;
};

}  // namespace thorn
