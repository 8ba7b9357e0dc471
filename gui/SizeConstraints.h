#pragma once

#include "platform/Classes.h"
#include "platform/Types.h"

class TWinControl;

// The smallest and the largest size a control (or a form's window) may
// take; 0 sets no limit. A minimum above the maximum raises the maximum
// with it, and a maximum below the minimum lowers the minimum.
class TSizeConstraints : public TPersistent {
public:
    int GetMinWidth() const { return minWidth_; }
    void SetMinWidth(int value);
    int GetMinHeight() const { return minHeight_; }
    void SetMinHeight(int value);
    int GetMaxWidth() const { return maxWidth_; }
    void SetMaxWidth(int value);
    int GetMaxHeight() const { return maxHeight_; }
    void SetMaxHeight(int value);

    // Brings a size inside the limits.
    void Apply(int& width, int& height) const;
    bool Empty() const { return !minWidth_ && !minHeight_ && !maxWidth_ && !maxHeight_; }

    void Assign(const TPersistent& source) override;

    // Runs after every change of a limit.
    TNotifyEvent OnChange;

private:
    void Change();

    int minWidth_ = 0;
    int minHeight_ = 0;
    int maxWidth_ = 0;
    int maxHeight_ = 0;
};

namespace thorn {

// The least client size parent's aligned children leave room for: the
// controls aligned to the left and right and those aligned to the top and
// bottom at the sizes they have, the one that fills the rest at its least
// size.
TSize AlignedChildrenMinimum(TWinControl& parent);

}  // namespace thorn
