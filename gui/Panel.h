#pragma once

#include <cstdint>

#include "gui/Forms.h"

enum TBevelCut : uint8_t { bvNone, bvLowered, bvRaised, bvSpace };
using TPanelBevel = TBevelCut;

// A face that holds other controls: from the outside in, the outer bevel,
// BorderWidth of face, the inner bevel (each bevel BevelWidth wide; a
// bvSpace bevel is face too), then the caption in the middle, lined up by
// Alignment. Aligned children fill the area inside the bevels. BorderStyle
// bsSingle adds a sunken edge around it all.
class TCustomPanel : public TCustomControl {
public:
    TCustomPanel();

    TAlignment GetAlignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    TPanelBevel GetBevelInner() const { return bevelInner_; }
    void SetBevelInner(TPanelBevel value);
    TPanelBevel GetBevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TPanelBevel value);
    int GetBevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int value);
    TBorderStyle GetBorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle value);

protected:
    void Paint() override;
    void AdjustClientRect(TRect& rect) override;
    // BorderWidth lies between the bevels, inside the client area.
    void WMNCCalcSize(TRect& rect) const override;
    void WMNCPaint(TCanvas& canvas) override;

private:
    void Changed();

    TAlignment alignment_ = taCenter;
    TPanelBevel bevelInner_ = bvNone;
    TPanelBevel bevelOuter_ = bvRaised;
    int bevelWidth_ = 1;
    TBorderStyle borderStyle_ = bsNone;
};

class TPanel : public TCustomPanel {};
