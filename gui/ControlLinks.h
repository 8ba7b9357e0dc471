#pragma once

#include <functional>

#include "platform/Types.h"

class TBitmap32;
class TControl;
class TObject;
class TTimer;
class TWinControl;

// What the base of the kit needs of the units built on it: the form a
// control sits on, the running application, and a control's pop-up menu.
// The higher units implement these, so the controls' base reaches them
// without knowing their classes and can be read and built before them.
namespace thorn {

class Host;

// What a control needs of its form (form coordinates are the window's
// inside, which is the back buffer's).
class FormLink {
public:
    // Marks a rectangle (form coordinates) to be painted again.
    virtual void InvalidateClientRect(const TRect& r) = 0;
    // Presents a rectangle of the back buffer again without painting it.
    virtual void PresentLater(const TRect& r) = 0;
    virtual TBitmap32& BackBuffer() = 0;
    // Focus: the form's focused control, whether the form is the active one,
    // moving the focus to a control, and taking it from a control that goes
    // (removing: it leaves the form) or can no longer hold it.
    virtual TWinControl* GetFocusedControl() const = 0;
    virtual bool GetActive() const = 0;
    virtual void FocusControl(TWinControl* control) = 0;
    virtual void DefocusControl(TWinControl* control, bool removing) = 0;

protected:
    ~FormLink() = default;
};

// The form control sits on (the top of its parent chain when that is a
// form), or null.
FormLink* FormLinkOf(const TControl& control);

// What controls and timers need of the running application.
class ApplicationLink {
public:
    // The control holding the mouse capture (one at a time), or null.
    virtual TControl* GetCaptureControl() const = 0;
    virtual void SetCaptureControl(TControl* control) = 0;
    // A control's cursor changed: the cursor shown is looked up again.
    virtual void ApplyControlCursor() = 0;
    virtual Host& GetHost() const = 0;
    // Timers due are fired from the message loop.
    virtual void RegisterTimer(TTimer* timer) = 0;
    virtual void UnregisterTimer(TTimer* timer) = 0;
    // Runs fn, handling any exception it throws as an event handler's.
    virtual void Guard(TObject* sender, const std::function<void()>& fn) = 0;

protected:
    ~ApplicationLink() = default;
};

// The running application, or null when there is none.
ApplicationLink* RunningApplication();

// Shows the pop-up menu of control, or of the nearest parent that has one,
// at screen point at, after OnContextPopup of each control on the way has
// had its say; answers whether a menu showed or a handler took the request.
bool ShowContextMenu(TControl& control, TPoint at, bool fromKeyboard);

}  // namespace thorn
