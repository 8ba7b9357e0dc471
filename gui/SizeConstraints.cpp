#include "gui/SizeConstraints.h"

#include <algorithm>

#include "gui/Controls.h"

namespace {

// One axis: setting the minimum drags a smaller maximum up with it.
bool SetLimit(int& limit, int& other, int value, bool isMinimum) {
    value = std::max(0, value);
    if (value == limit) return false;
    limit = value;
    if (value && other && (isMinimum ? other < value : other > value)) other = value;
    return true;
}

}  // namespace

void TSizeConstraints::SetMinWidth(int value) {
    if (SetLimit(minWidth_, maxWidth_, value, true)) Change();
}

void TSizeConstraints::SetMinHeight(int value) {
    if (SetLimit(minHeight_, maxHeight_, value, true)) Change();
}

void TSizeConstraints::SetMaxWidth(int value) {
    if (SetLimit(maxWidth_, minWidth_, value, false)) Change();
}

void TSizeConstraints::SetMaxHeight(int value) {
    if (SetLimit(maxHeight_, minHeight_, value, false)) Change();
}

void TSizeConstraints::Apply(int& width, int& height) const {
    if (maxWidth_) width = std::min(width, maxWidth_);
    if (maxHeight_) height = std::min(height, maxHeight_);
    width = std::max(width, minWidth_);
    height = std::max(height, minHeight_);
}

void TSizeConstraints::Assign(const TPersistent& source) {
    const auto* other = dynamic_cast<const TSizeConstraints*>(&source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    minWidth_ = other->minWidth_;
    minHeight_ = other->minHeight_;
    maxWidth_ = other->maxWidth_;
    maxHeight_ = other->maxHeight_;
    Change();
}

void TSizeConstraints::Change() {
    if (OnChange) OnChange(this);
}

namespace thorn {

TSize AlignedChildrenMinimum(TWinControl& parent) {
    int sides = 0, bars = 0;           // taken by the left and right, top and bottom ones
    int sideHeight = 0, barWidth = 0;  // what those need across
    TSize fill;
    for (int i = 0; i < parent.GetControlCount(); ++i) {
        TControl& c = *parent.GetControl(i);
        if (!c.GetVisible()) continue;
        switch (c.GetAlign()) {
            case alLeft:
            case alRight:
                sides += c.GetWidth();
                sideHeight = std::max(sideHeight, c.Constraints().GetMinHeight());
                break;
            case alTop:
            case alBottom:
                bars += c.GetHeight();
                barWidth = std::max(barWidth, c.Constraints().GetMinWidth());
                break;
            case alClient: fill = {c.Constraints().GetMinWidth(), c.Constraints().GetMinHeight()}; break;
            default: break;
        }
    }
    return {std::max(barWidth, sides + fill.cx), bars + std::max(sideHeight, fill.cy)};
}

}  // namespace thorn
