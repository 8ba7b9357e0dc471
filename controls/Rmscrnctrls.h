#pragma once

#include <functional>
#include <memory>

#include "controls/Rmpathtreeview.h"
#include "gui/ListBox.h"
#include "gui/PopupWindow.h"
#include "gui/TreeView.h"

// Controls that show on the screen in a top-level pop-up window of their
// own rather than inside their parent: the drop-down lists of the combos,
// the calendar of the date edit, and the tree and path tree for choices
// shaped as trees.
namespace thorn {

// Where a drop-down of width x height (at most the work area's size) goes
// on the screen for a control controlHeight high whose top-left corner lies
// at topLeft (screen): just below it, or just above it when the screen is
// not taller than the bottom the drop-down would have.
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
// ScreenKeyUp, ScreenKeyPress), and what it leaves goes on to the focused
// control.
//
// The mouse follows what is shown: the control takes it when it shows and
// whenever the pointer leaves it, so the press that closes it is seen, and
// lets it go over itself (entering, or moving inside without a button held),
// so its rows react as usual; a left press outside its client area hides it.
template <typename Base>
class ScreenControl : public Base {
public:
    ScreenControl() : window_(std::make_unique<TPopupWindow>()) {
        window_->SetColor(clWindowFrame);
        window_->OnClosePopup = [this](TObject*, TPopupCloseReason reason) { WindowClosed(reason); };
        window_->OnPopupKey = [this](TObject*, TKey& key, TShiftState shift) {
            if (!shift.Contains(ssAlt)) ScreenKeyDown(key, shift);
        };
        window_->OnPopupKeyUp = [this](TObject*, TKey& key, TShiftState shift) {
            if (!shift.Contains(ssAlt)) ScreenKeyUp(key, shift);
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
        if (this->IsShowing()) this->SetMouseCapture(true);
    }
    void SetVisible(bool value) override {
        if (value) {
            ShowAt(screenRect_);
        } else if (window_) {
            if (this->GetMouseCapture()) this->SetMouseCapture(false);
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
    virtual void ScreenKeyUp(TKey& key, TShiftState shift) { this->KeyUp(key, shift); }
    virtual void ScreenKeyPress(char& key) { this->KeyPress(key); }

    void CMMouseEnter() override {
        Base::CMMouseEnter();
        if (this->GetMouseCapture()) this->SetMouseCapture(false);
    }
    void CMMouseLeave() override {
        Base::CMMouseLeave();
        if (Base::GetVisible() && this->IsShowing()) this->SetMouseCapture(true);
    }
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override {
        ComponentRef<ScreenControl> self(this);
        if (button == mbLeft && !PtInRect(this->GetClientRect(), {x, y})) SetVisible(false);
        if (self) Base::MouseDown(button, shift, x, y);
    }
    void MouseMove(TShiftState shift, int x, int y) override {
        if (PtInRect(this->GetClientRect(), {x, y}) && !shift.Contains(ssLeft) && this->GetMouseCapture())
            this->SetMouseCapture(false);
        Base::MouseMove(shift, x, y);
    }

private:
    void Place() {
        window_->Popup(ownerControl_.Get(), screenRect_);
        const TRect inside = window_->GetClientRect();
        Base::SetBounds(1, 1, std::max(0, inside.Width() - 2), std::max(0, inside.Height() - 2));
        screenRect_ = window_->GetBoundsRect();
    }
    void WindowClosed(TPopupCloseReason reason) {
        ComponentRef<ScreenControl> self(this);
        if (this->GetMouseCapture()) this->SetMouseCapture(false);
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

// The tree of the screen controls: a tree view on the screen, its selection
// shown as focused while the keyboard stays with its owner control.
class TrmCustomScreenTreeView : public thorn::ScreenControl<TCustomTreeView> {
public:
    TrmCustomScreenTreeView();
};

// The path tree of the screen controls, with the path tree view's handlers.
class TrmCustomScreenPathTreeView : public thorn::ScreenControl<TrmCustomPathTreeView> {
public:
    TrmCustomScreenPathTreeView();
};
