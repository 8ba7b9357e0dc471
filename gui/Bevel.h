#pragma once

#include <cstdint>

#include "gui/Controls.h"

enum TBevelStyle : uint8_t { bsLowered, bsRaised };
enum TBevelShape : uint8_t { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };

// A drawn box, frame or line in the classic look: lowered (cut into the
// face) or raised. bsBox is a one-pixel sunken or raised rectangle, bsFrame
// an etched (or bumped) double one, the lines two pixels along one side;
// bsSpacer draws nothing.
class TBevel : public TGraphicControl {
public:
    TBevel();

    TBevelShape GetShape() const { return shape_; }
    void SetShape(TBevelShape value);
    TBevelStyle GetStyle() const { return style_; }
    void SetStyle(TBevelStyle value);

protected:
    void Paint() override;

private:
    TBevelShape shape_ = bsBox;
    TBevelStyle style_ = bsLowered;
};
