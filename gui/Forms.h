#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bitmap/Pix32.h"
#include "gui/ControlLinks.h"
#include "gui/Controls.h"
#include "gui/Host.h"

enum TCloseAction : uint8_t { caNone, caHide, caFree, caMinimize };
enum TPosition : uint8_t {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poDesktopCenter,
    poMainFormCenter,
    poOwnerFormCenter
};

using TCloseEvent = std::function<void(TObject* sender, TCloseAction& action)>;
using TCloseQueryEvent = std::function<void(TObject* sender, bool& canClose)>;
using TShortCutEvent = std::function<void(TKey key, TShiftState shift, bool& handled)>;

class TMainMenu;
namespace thorn {
class MenuBar;
}

// A top-level window (or a pop-up): the only controls that are windows of
// the operating system. The form paints itself and every control on it into
// one back buffer (a TBitmap32 of its client size), only where something
// was invalidated, and hands the changed rectangles to its host window. It
// routes the host's mouse and keyboard input to its controls: hit testing,
// capture while a button is held, enter and leave, focus and tab order,
// dialog keys and shortcuts.
//
// Width and Height are the size of the window's inside: the frame belongs to
// the system. A main menu's bar takes the top of it; the client area is the
// rest. "Form coordinates" below are those of the window's inside.
class TCustomForm : public TWinControl, public thorn::FormLink, private thorn::HostWindowClient {
public:
    TCustomForm();
    ~TCustomForm() override;
    void BeforeDestruction() override;

    // ---- showing and closing
    void SetVisible(bool value) override;
    // Shows the form and brings it to the front.
    void Show();
    void Hide() { SetVisible(false); }
    // Asks OnCloseQuery, then OnClose, and hides, frees or keeps the form as
    // the close action says; closing the main form ends the application. In
    // a modal loop Close only sets the modal result to mrCancel.
    void Close();
    virtual bool CloseQuery();
    // Shows the form modally: every other form is disabled until the modal
    // result is set; answers the modal result.
    virtual TModalResult ShowModal();
    TModalResult GetModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult value) { modalResult_ = value; }
    bool IsModal() const { return modal_; }
    // Frees the form once the current event has returned.
    void Release();
    // Whether the form's window is the active one.
    bool GetActive() const override { return active_; }
    // The text naming a dialog in tests' scripts and failures; the caption
    // unless a form has a better one (a message box gives its text).
    virtual std::string DialogText() const { return GetCaption(); }

    // ---- focus
    TWinControl* GetActiveControl() const { return activeControl_.Get(); }
    // The control with the keyboard focus (the form itself when none).
    TWinControl* GetFocusedControl() const override { return focusedControl_.Get(); }
    // Focuses control (on this form); null focuses the form itself.
    void SetActiveControl(TWinControl* control);
    void FocusControl(TWinControl* control) override;
    // Moves the focus away from control (or from inside it); removing: it is
    // going away.
    void DefocusControl(TWinControl* control, bool removing) override;
    // Makes control the focused control, with exit and enter events; answers
    // false when an event handler moved the focus elsewhere.
    bool SetFocusedControl(TWinControl* control);
    bool GetKeyPreview() const { return keyPreview_; }
    void SetKeyPreview(bool value) { keyPreview_ = value; }
    // Whether key is a shortcut of this form: OnShortCut, then the main
    // menu's items, then the actions of the action lists the form owns. What
    // matches runs.
    virtual bool IsShortCut(TKey key, TShiftState shift);

    // ---- main menu
    TMainMenu* GetMenu() const;
    // Shows menu's bar at the top of the window (null removes it).
    void SetMenu(TMainMenu* menu);
    int GetMenuBarHeight() const;
    thorn::MenuBar* GetMenuBar() const { return menuBar_.get(); }
    // Lets the actions of the menu items and of the shown controls update
    // their state (OnUpdate); the application calls it when idle.
    virtual void UpdateActions();

    // ---- window
    TFormBorderStyle GetBorderStyle() const { return borderStyle_; }
    // BorderStyle, FormStyle and WindowState reach the form's window at
    // once (a pop-up keeps its own frame).
    void SetBorderStyle(TFormBorderStyle value);
    TBorderIcons GetBorderIcons() const { return borderIcons_; }
    void SetBorderIcons(TBorderIcons value);
    TPosition GetPosition() const { return position_; }
    void SetPosition(TPosition value) { position_ = value; }
    TWindowState GetWindowState() const { return windowState_; }
    void SetWindowState(TWindowState value);
    TFormStyle GetFormStyle() const { return formStyle_; }
    void SetFormStyle(TFormStyle value);
    thorn::WindowKind GetWindowKind() const { return windowKind_; }
    thorn::HostWindow* GetHostWindow() const { return window_.get(); }
    void SetBounds(int left, int top, int width, int height) override;
    TPoint GetClientOrigin() const override;
    // The frame the window system gives the form's window, or will give
    // it when it shows.
    thorn::FrameEdges GetFrameEdges();
    // Places the form as showing it does: as its Position says the first
    // time, then inside the work area, frame and all (a maximised form is
    // the system's to place). Windows placed beside it can reckon with its
    // place before it shows.
    void PlaceForShow();

    bool IsShowing() const override;
    TCanvas& Canvas() { return *canvas_; }

    // ---- painting
    void Invalidate() override;
    void Update() override;
    // Marks a rectangle (form coordinates) to be painted again.
    void InvalidateClientRect(const TRect& r) override;
    // Paints the marked rectangles into the back buffer and presents them.
    void PaintPending();
    bool HasPendingPaint() const { return !dirty_.empty(); }
    // Presents a rectangle of the back buffer again without painting it (a
    // control drew on its canvas outside a paint).
    void PresentLater(const TRect& r) override;
    const TBitmap32& GetBackBuffer() const { return backBuffer_; }
    TBitmap32& BackBuffer() override { return backBuffer_; }
    // The control under a point (form coordinates; the form itself when no
    // child is there).
    TControl* ControlAtClientPos(TPoint p) const;

    // ---- created by TApplication::CreateForm: runs OnCreate; an exception
    // is shown with the application's exception box.
    void DoCreate();

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnPaint;
    // The window's frame became known only once the window showed: a place
    // reckoned with the frame guessed may be reckoned again.
    TNotifyEvent OnFrameRead;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;
    TShortCutEvent OnShortCut;

protected:
    friend class thorn::ControlAccess;
    friend class TApplication;

    void SetWindowKind(thorn::WindowKind kind) { windowKind_ = kind; }
    virtual void DoShow();
    virtual void DoHide();
    virtual void Activate();
    virtual void Deactivate();
    virtual void DoClose(TCloseAction& action);
    void PaintWindow(TCanvas& canvas) override;
    void WMNCCalcSize(TRect& rect) const override;
    void WMNCPaint(TCanvas& canvas) override;
    virtual void Paint();
    bool CMDialogKey(TKey key, TShiftState shift) override;
    void CMTextChanged() override;
    void CMVisibleChanged() override {}
    void WMSize() override;
    // The limits reach the window too, so the user cannot drag it past them.
    void DoConstraintsChange() override;

    // Input routing, open to forms that need to adjust it.
    virtual void RouteMouse(const thorn::MouseInput& input);
    virtual void RouteKey(const thorn::KeyInput& input);
    virtual void RouteChar(char ch);

private:
    // thorn::HostWindowClient
    void HostMouse(const thorn::MouseInput& input) override;
    void HostKey(const thorn::KeyInput& input) override;
    void HostChar(char ch) override;
    void HostResized(int width, int height) override;
    void HostMoved(int left, int top) override;
    void HostFrameRead() override;
    void HostCloseRequested() override;
    void HostActivated(bool active) override;
    void HostWindowStateChanged(TWindowState state) override;
    void HostExposed() override;
    void HostOtherInput() override;

    void EnsureWindow();
    // The window a dialog shown without a modal loop belongs to: the form
    // that owns it, else the main form (null for other forms).
    thorn::HostWindow* DialogOwner() const;
    void ApplyConstraintsToWindow();
    void PlaceOnShow();
    // The form moved, and shrunk when larger, into the work area.
    void KeepInWorkArea();
    void SetBoundsFromHost(int left, int top, int width, int height);
    void PaintRect(const TRect& r);
    void SetHover(TControl* control, TPoint formPos);
    // The window lost the keyboard for good: focus, capture, pop-ups and
    // menu mode end.
    void LoseActivation();
    void ClearHover();
    // The window's inside, in form coordinates.
    TRect WindowRect() const { return {0, 0, GetWidth(), GetHeight()}; }

    std::unique_ptr<TCanvas> canvas_;
    std::unique_ptr<thorn::MenuBar> menuBar_;
    std::unique_ptr<thorn::HostWindow> window_;
    thorn::WindowKind windowKind_ = thorn::WindowKind::Normal;
    TBitmap32 backBuffer_;
    TCanvas bufferCanvas_;
    std::vector<TRect> dirty_;
    std::vector<TRect> presentOnly_;
    thorn::ComponentRef<TWinControl> activeControl_;
    thorn::ComponentRef<TWinControl> focusedControl_;
    std::vector<thorn::ComponentRef<TControl>> hoverChain_;
    TShiftState buttons_;
    TModalResult modalResult_ = mrNone;
    // The window a modal form was opened over, which the window system
    // keeps it above.
    thorn::ComponentRef<TCustomForm> modalOwner_;
    bool modal_ = false;
    bool active_ = false;
    bool hasKeyboard_ = false;  // as the host last said
    // Shown and given the keyboard, with no focus event since.
    bool keyboardAsked_ = false;
    bool keyPreview_ = false;
    bool shownOnce_ = false;
    bool settingBoundsFromHost_ = false;
    TFormBorderStyle borderStyle_ = bsSizeable;
    TBorderIcons borderIcons_ = kDefaultBorderIcons;
    TPosition position_ = poDesigned;
    TWindowState windowState_ = wsNormal;
    TFormStyle formStyle_ = fsNormal;
};

class TForm : public TCustomForm {};
