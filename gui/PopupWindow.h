#pragma once

#include <functional>
#include <vector>

#include "gui/Forms.h"

// Why a pop-up closed.
enum TPopupCloseReason : uint8_t {
    pcClosed,         // its owner or the program closed it
    pcEscape,         // Escape while it was the topmost pop-up
    pcClickOutside,   // a press outside every open pop-up
    pcFocusLost,      // the window of its owner lost the keyboard
};

using TPopupCloseEvent = std::function<void(TObject* sender, TPopupCloseReason reason)>;

// A borderless top-level window of the host, shown over its owner control
// without taking the keyboard from the owner's window: drop-down lists,
// menus, calendars. Its content is its child controls (or its own Paint).
//
// Open pop-ups form a stack, the last opened on top. While any is open:
// - keys typed in the owner's window reach the topmost pop-up first
//   (PopupKeyDown, PopupKeyUp, PopupKeyPress); what it leaves goes on to the
//   focused control as usual, except Escape, which closes it;
// - a press anywhere outside the open pop-ups closes them all and is used up,
//   so the control under the pointer never sees it;
// - the owner's window losing the keyboard closes the pop-ups of its controls.
class TPopupWindow : public TCustomForm {
public:
    TPopupWindow();
    ~TPopupWindow() override;
    void BeforeDestruction() override;

    // Shows the pop-up at screenRect (fitted onto the work area) on behalf of
    // owner, which may be null, on top of the open pop-ups. Showing it again
    // moves it.
    void Popup(TControl* owner, const TRect& screenRect);
    // Shows the pop-up width x height with its left edge under owner's left
    // edge, just below owner, or just above it when the work area ends first.
    void DropDown(TControl& owner, int width, int height);
    // Closes the pop-ups opened after this one, then this one; OnClosePopup
    // tells each why. Nothing happens when it is not open.
    void ClosePopup(TPopupCloseReason reason = pcClosed);
    bool IsPopupOpen() const { return open_; }
    TControl* GetPopupOwner() const { return owner_.Get(); }
    // The pop-up opened right after this one and still open, or null.
    TPopupWindow* GetChildPopup() const;

    // A key down while this is the topmost pop-up; set key to 0 to take it.
    TKeyEvent OnPopupKey;
    // A key released while this is the topmost pop-up; set key to 0 to take it.
    TKeyEvent OnPopupKeyUp;
    // A typed character while this is the topmost pop-up; set it to 0 to take it.
    TKeyPressEvent OnPopupChar;
    TPopupCloseEvent OnClosePopup;

protected:
    // Answer true when the key was taken. The base asks OnPopupKey, then
    // closes on Escape.
    virtual bool PopupKeyDown(TKey key, TShiftState shift);
    // The base asks OnPopupKeyUp.
    virtual bool PopupKeyUp(TKey key, TShiftState shift);
    virtual bool PopupKeyPress(char ch);
    virtual void DoClosePopup(TPopupCloseReason reason);

    // A press on the pop-up's own window outside its client area (a host
    // that captures the mouse for it) counts as a press outside; keys that
    // reach its own window go where they would have gone in the owner's.
    void RouteMouse(const thorn::MouseInput& input) override;
    void RouteKey(const thorn::KeyInput& input) override;
    void RouteChar(char ch) override;

private:
    friend struct PopupStackAccess;

    thorn::ComponentRef<TControl> owner_;
    bool open_ = false;
};

namespace thorn {

// r made no larger than the work area and moved onto it. A window larger
// than the screen shows nothing more, and one of any size asked for could
// not even be made.
TRect KeepOnWorkArea(TRect r);

// The open pop-ups, first opened first.
std::vector<TPopupWindow*> OpenPopups();
// Closes every open pop-up, topmost first.
void CloseAllPopups(TPopupCloseReason reason = pcClosed);

// ---- hooks of the forms' routing (forms that are not pop-ups)
// A key down in a form: offered to the topmost pop-up; true when taken.
bool PopupsTakeKey(TKey key, TShiftState shift);
// A key released in a form: offered to the topmost pop-up; true when taken.
bool PopupsTakeKeyUp(TKey key, TShiftState shift);
// A typed character: offered to the topmost pop-up; true when taken.
bool PopupsTakeChar(char ch);
// A press on form, outside every pop-up: closes them all; true when any was
// open (the press is then used up).
bool PopupsTakePress(TCustomForm& form);
// The form whose press is closing the pop-ups now (null: none).
TCustomForm* FormPressedOutsidePopups();
// form's window lost the keyboard: the pop-ups of controls on it close.
void PopupsOwnerDeactivated(TCustomForm& form);
// The host gave the keyboard to a pop-up's window, or took it away.
void NotePopupKeyboard(TCustomForm& popup, bool has);
// Whether a pop-up's window holds the keyboard now.
bool PopupHasKeyboard();

}  // namespace thorn
