#include "controls/ScreenControl.h"

namespace thorn {

bool ScreenPopupWindow::PopupKeyDown(TKey key, TShiftState shift) {
    ComponentRef<ScreenPopupWindow> self(this);
    ControlAccess::KeyDown(content_, key, shift);
    if (!self) return true;
    if (key == 0) return true;
    return TPopupWindow::PopupKeyDown(key, shift);
}

bool ScreenPopupWindow::PopupKeyPress(char ch) {
    ComponentRef<ScreenPopupWindow> self(this);
    ControlAccess::KeyPress(content_, ch);
    if (!self || ch == 0) return true;
    return TPopupWindow::PopupKeyPress(ch);
}

void ScreenPopupWindow::DoClosePopup(TPopupCloseReason reason) {
    ComponentRef<ScreenPopupWindow> self(this);
    if (content_.GetVisible()) content_.Hide();
    if (self) TPopupWindow::DoClosePopup(reason);
}

}  // namespace thorn
