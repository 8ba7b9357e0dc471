#include "gui/CutOffHint.h"

#include "gui/Application.h"
#include "gui/ControlAccess.h"

namespace thorn {

bool CutOffHint::Shows(std::string_view text) const {
    return hint_ && hint_->GetVisible() && hint_->GetCaption() == text;
}

void CutOffHint::Close() {
    THintWindow* shown = hint_.Get();
    if (!shown) return;
    shown->Hide();
    hint_ = nullptr;
    if (Application)
        Application->ReleaseComponent(shown);
    else
        Free(shown);
}

TComponent& CutOffHint::Owner() { return *Application; }

void CutOffHint::Present(THintWindow& shown, const TControl& control, const TRect& rect, std::string_view text) {
    hint_ = &shown;
    shown.SetColor(clInfoBk);
    shown.Font().Assign(control.GetFont());
    shown.ActivateHint(rect, text);
}

bool CutOffHint::PassMouse(const TCustomForm& hint, TCustomForm* below, const MouseInput& input) {
    if (!below || !below->IsShowing()) return false;
    const TPoint screen{hint.GetLeft() + input.x, hint.GetTop() + input.y};
    MouseInput moved = input;
    moved.x = screen.X - below->GetLeft();
    moved.y = screen.Y - below->GetTop();
    // Leaving the hint is leaving the window below only when the pointer
    // is not over that window now.
    if (input.action == MouseAction::Leave && Application) {
        const TPoint pointer = Application->GetHost().GetCursorPos();
        if (PtInRect(below->GetBoundsRect(), pointer)) return true;
    }
    ControlAccess::RouteMouse(*below, moved);
    return true;
}

}  // namespace thorn
