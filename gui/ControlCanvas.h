#pragma once

#include "bitmap/Canvas.h"

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
        struct Ending {
            ControlCanvas& canvas;
            ~Ending() { canvas.EndPaint(); }
        } ending{*this};
        paint();
    }

protected:
    void RequiredState() override;

private:
    void BeginPaint(const TCanvas& placement);
    void EndPaint();

    TControl& control_;
    bool painting_ = false;
};

}  // namespace thorn
