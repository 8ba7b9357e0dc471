#pragma once

#include <memory>
#include <type_traits>

#include "gui/ControlAccess.h"
#include "gui/PopupWindow.h"

namespace thorn {

// The pop-up window a screen control shows in. While it is open, the keys
// typed in its owner's window reach the control first (its OnKeyDown among
// them, so the owner can take Enter or Escape there); what the control
// leaves goes on as for any pop-up, Escape closing it. However it closes,
// the control is hidden with it.
class ScreenPopupWindow : public TPopupWindow {
public:
    explicit ScreenPopupWindow(TWinControl& content) : content_(content) {}

protected:
    bool PopupKeyDown(TKey key, TShiftState shift) override;
    bool PopupKeyPress(char ch) override;
    void DoClosePopup(TPopupCloseReason reason) override;

private:
    TWinControl& content_;
};

// A control that lives as a top-level pop-up window on the screen rather
// than inside its parent: shown at screen coordinates its owner works out,
// drawn as focused while the owner keeps the keyboard, and hidden by its
// owner, by a press outside it or by the owner's window losing the
// keyboard. While shown it holds the mouse whenever the pointer is outside
// it, so that the press which closes it is seen; over it, the mouse is let
// go so its rows react as usual.
template <typename Base>
class ScreenControl : public Base {
public:
    ScreenControl() : window_(std::make_unique<ScreenPopupWindow>(*this)) {
        Base::SetVisible(false);
        this->SetParent(window_.get());
        this->SetBorderStyle(bsSingle);
        this->SetCtl3D(false);  // a thin line round it
        this->SetTabStop(false);
        if constexpr (requires(Base& b) { b.SetActiveLook(true); }) this->SetActiveLook(true);
    }
    void BeforeDestruction() override {
        window_->OnClosePopup = nullptr;
        if (window_->IsPopupOpen()) window_->ClosePopup(pcClosed);
        if (this->GetMouseCapture()) this->SetMouseCapture(false);
        Base::BeforeDestruction();
        this->SetParent(nullptr);
    }

    // Where the control shows, in screen coordinates; kept while it is
    // hidden for the next time it shows.
    TRect GetScreenBounds() const { return screenBounds_; }
    void SetScreenBounds(const TRect& bounds) {
        screenBounds_ = bounds;
        window_->SetBounds(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
        Base::SetBounds(0, 0, bounds.Width(), bounds.Height());
        if (window_->IsPopupOpen()) window_->Popup(PopupOwner(), bounds);
    }
    // Shows the control width x height just below owner (above it when the
    // screen ends first).
    void DropDown(TControl& owner, int width, int height) {
        popupOwner_ = &owner;
        window_->DropDown(owner, width, height);
        screenBounds_ = window_->GetBoundsRect();
        Base::SetBounds(0, 0, width, height);
        this->Show();
    }
    // The control the pop-up belongs to: the one set here, else the
    // control's owner when that is a control.
    TControl* PopupOwner() const {
        if (TControl* owner = popupOwner_.Get()) return owner;
        return dynamic_cast<TControl*>(this->GetOwner());
    }
    void SetPopupOwner(TControl* owner) { popupOwner_ = owner; }
    TPopupWindow& GetPopupWindow() const { return *window_; }

    // The mouse follows what is shown: held when it shows, let go when it hides.
    void SetVisible(bool value) override {
        if (changing_) return;
        changing_ = true;
        struct Done {
            bool& flag;
            ~Done() { flag = false; }
        } done{changing_};
        ComponentRef<ScreenControl> self(this);
        if (!value && this->GetMouseCapture()) this->SetMouseCapture(false);
        Base::SetVisible(value);
        if (value) {
            window_->Popup(PopupOwner(), screenBounds_);
            screenBounds_ = window_->GetBoundsRect();
            if (self && this->IsShowing()) this->SetMouseCapture(true);
        } else if (window_->IsPopupOpen()) {
            window_->ClosePopup(pcClosed);
        }
    }

protected:
    void CMMouseEnter() override {
        Base::CMMouseEnter();
        if (this->GetMouseCapture()) this->SetMouseCapture(false);
    }
    void CMMouseLeave() override {
        Base::CMMouseLeave();
        if (this->IsShowing()) this->SetMouseCapture(true);
    }
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override {
        ComponentRef<ScreenControl> self(this);
        if (button == mbLeft && !PtInRect(this->GetClientRect(), {x, y})) this->Hide();
        if (self) Base::MouseDown(button, shift, x, y);
    }
    void MouseMove(TShiftState shift, int x, int y) override {
        if (PtInRect(this->GetClientRect(), {x, y}) && this->GetMouseCapture() && !shift.Contains(ssLeft))
            this->SetMouseCapture(false);
        Base::MouseMove(shift, x, y);
    }

private:
    std::unique_ptr<ScreenPopupWindow> window_;
    ComponentRef<TControl> popupOwner_;
    TRect screenBounds_{0, 0, 121, 97};
    bool changing_ = false;
};

}  // namespace thorn
