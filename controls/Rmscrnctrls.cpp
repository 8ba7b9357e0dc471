#include "controls/Rmscrnctrls.h"

#include "gui/Application.h"

namespace thorn {

TRect DropDownRect(TPoint topLeft, int controlHeight, int width, int height) {
    // Whatever size was asked for, the drop-down is no larger than the work
    // area, and above or below is chosen by the size it will have.
    const TRect fitted = KeepOnWorkArea({0, 0, width, height});
    width = fitted.Width();
    height = fitted.Height();
    const int below = topLeft.Y + controlHeight;
    const int screenHeight = Screen ? Screen->GetHeight() : below + height + 1;
    const int top = screenHeight <= below + height ? topLeft.Y - height : below;
    return {topLeft.X, top, topLeft.X + width, top + height};
}

}  // namespace thorn

TrmCustomScreenListBox::TrmCustomScreenListBox() {
    SetBorderStyle(bsNone);
    SetActiveLook(true);
    SetTabStop(false);
}

TrmCustomScreenTreeView::TrmCustomScreenTreeView() {
    SetBorderStyle(bsNone);
    SetActiveLook(true);
    SetTabStop(false);
}

TrmCustomScreenPathTreeView::TrmCustomScreenPathTreeView() {
    SetBorderStyle(bsNone);
    SetActiveLook(true);
    SetTabStop(false);
}
