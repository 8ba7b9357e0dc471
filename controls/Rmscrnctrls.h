#pragma once

#include <functional>
#include <memory>

#include "gui/ListBox.h"
#include "gui/PopupWindow.h"

// Controls that show on the screen in a top-level pop-up window of their
// own rather than inside their parent: the drop-down lists of the combos,
// and the calendar of the date edit. The list box is here; a tree or a
// path tree shown the same way is one more ScreenControl over its class.
namespace thorn {

// Where a drop-down of width x height goes on the screen for a control
// controlHeight high whose top-left corner lies at topLeft (screen): just
// below it, or just above it when the screen is not taller than the bottom
// the drop-down would have.
TRect DropDownRect(TPoint topLeft, int controlHeight, int width, int height);

using TScreenCloseEvent = std::function<void(TObject* sender, TPopupCloseReason reason)>;

// Base shown in a borderless pop-up window with a one-pixel frame. The
// parent it is given is the control it drops down for (its owner control);
// it lives in its window. Visible follows the window: shown, the window
// opens on the screen where ShowAt put it (taking the mouse: a press outside
// closes it and is used up); hidden, it closes. It closes itself on a press
// outside, on Escape it leaves, and when the owner control's window loses
// the keyboard; OnScreenClose tells its owner control why.
//
// The keyboard stays with the owner control's window; while the control is
// shown, keys without Alt typed there reach it first (ScreenKeyDown,
// ScreenKeyPress), and what it leaves goes on to the focused control.
template <typename Base>
class ScreenControl : public Base {
public:
    ScreenControl() : window_(std::make_unique<TPopupWindow>()) {
        window_->SetColor(clWindowFrame);
        window_->OnClosePopup = [this](TObject*, TPopupCloseReason reason) { WindowClosed(reason); };
        window_->OnPopupKey = [this](TObject*, TKey& key, TShiftState shift) {
            if (!shift.Contains(ssAlt)) ScreenKeyDown(key, shift);
        };
        window_->OnPopupChar = [this](TObject*, char& key) { ScreenKeyPress(key); };
        Base::SetVisible(false);
        Base::SetParent(window_.get());
    }

    void BeforeDestruction() override {
        window_->OnClosePopup = nullptr;
        window_->ClosePopup(pcClosed);
        Base::SetParent(nullptr);
        window_.reset();
        Base::BeforeDestruction();
    }

    // The control it drops down for.
    TWinControl* GetOwnerControl() const { return ownerControl_.Get(); }
    void SetParent(TWinControl* parent) override {
        if (parent != window_.get()) ownerControl_ = parent;
    }
    // Where it shows, on the screen: the window's rectangle.
    TRect GetScreenRect() const { return screenRect_; }
    // Shows it at screenRect (moved onto the work area), on top of the other
    // pop-ups.
    void ShowAt(const TRect& screenRect) {
        screenRect_ = screenRect;
        Base::SetVisible(true);
        Place();
    }
    void SetVisible(bool value) override {
        if (value) {
            ShowAt(screenRect_);
        } else if (window_) {
            Base::SetVisible(false);
            window_->ClosePopup(pcClosed);
        }
    }
    TPopupWindow* GetScreenWindow() const { return window_.get(); }

    TScreenCloseEvent OnScreenClose;

protected:
    // A key typed in the owner control's window while the control is shown;
    // set key to 0 to take it.
    virtual void ScreenKeyDown(TKey& key, TShiftState shift) { this->KeyDown(key, shift); }
    virtual void ScreenKeyPress(char& key) { this->KeyPress(key); }

private:
    void Place() {
        window_->Popup(ownerControl_.Get(), screenRect_);
        const TRect inside = window_->GetClientRect();
        Base::SetBounds(1, 1, std::max(0, inside.Width() - 2), std::max(0, inside.Height() - 2));
        screenRect_ = window_->GetBoundsRect();
    }
    void WindowClosed(TPopupCloseReason reason) {
        ComponentRef<ScreenControl> self(this);
        if (Base::GetVisible()) Base::SetVisible(false);
        if (self && reason != pcClosed && OnScreenClose) OnScreenClose(this, reason);
    }

    std::unique_ptr<TPopupWindow> window_;
    ComponentRef<TWinControl> ownerControl_;
    TRect screenRect_;
};

}  // namespace thorn

// The drop-down list of the library's combos: a list box on the screen,
// its selection shown as focused while the keyboard stays with the combo.
class TrmCustomScreenListBox : public thorn::ScreenControl<TCustomListBox> {
public:
    TrmCustomScreenListBox();
};
