#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bitmap/Canvas.h"
#include "gui/ControlTypes.h"
#include "platform/Components.h"
#include "platform/Graphics.h"
#include "platform/Types.h"

// Controls. Only forms and pop-ups are windows of the operating system; every
// other control is drawn by this layer into its form's back buffer and gets
// its input from the form, which does hit testing, capture, focus, keyboard
// routing and hints. Window messages are virtual methods named after them.
//
// A control's Left and Top are in its parent's client coordinates. A control
// without a parent, or under a hidden parent, is not shown.

class TControl;
class TWinControl;
class TCustomForm;
class TBasicAction;
class TBasicActionLink;
class TPopupMenu;
class TSizeConstraints;

namespace thorn {
class ControlAccess;
class WindowScrollBars;
}

enum TControlStyleMember : uint8_t {
    csAcceptsControls,
    csCaptureMouse,
    csDesignInteractive,
    csClickEvents,
    csFramed,
    csSetCaption,
    csOpaque,
    csDoubleClicks,
    csFixedWidth,
    csFixedHeight,
    csNoDesignVisible,
    csReplicatable,
    csNoStdEvents,
    csDisplayDragImage,
    csReflector,
    csActionClient,
    csMenuEvents,
};
using TControlStyle = thorn::EnumSet<TControlStyleMember>;

enum TControlStateMember : uint8_t {
    csLButtonDown,
    csClicked,
    csPalette,
    csReadingState,
    csAlignmentNeeded,
    csFocusing,
    csCreating,
    csPaintCopy,
    csCustomPaint,
    csDestroyingHandle,
    csDocking,
};
using TControlState = thorn::EnumSet<TControlStateMember>;

using TMouseEvent = std::function<void(TObject* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TObject* sender, TShiftState shift, int x, int y)>;
using TMouseWheelEvent =
    std::function<void(TObject* sender, TShiftState shift, int wheelDelta, TPoint mousePos, bool& handled)>;
using TKeyEvent = std::function<void(TObject* sender, TKey& key, TShiftState shift)>;
using TKeyPressEvent = std::function<void(TObject* sender, char& key)>;
using TCanResizeEvent = std::function<void(TObject* sender, int& newWidth, int& newHeight, bool& resize)>;
using TContextPopupEvent = std::function<void(TObject* sender, TPoint mousePos, bool& handled)>;

// A mouse message as the layer delivers it: client coordinates of the
// control that receives it.
struct TWMMouse {
    TMouseButton Button = mbLeft;
    TShiftState Shift;
    int X = 0;
    int Y = 0;
};

// What a control may change before its hint is shown (CMHintShow).
struct THintInfo {
    TControl* HintControl = nullptr;
    TPoint CursorPos;     // client coordinates of HintControl
    TRect CursorRect;     // the hint stays while the cursor is inside
    TPoint HintPos;       // screen position of the hint window
    int HintMaxWidth = 0;
    TColor HintColor = clInfoBk;
    std::string HintStr;  // the short hint
    int HideTimeout = 0;  // milliseconds; 0 = the application's
};

// The base of every control: position, visibility, colour, font, text,
// hint, cursor and mouse input.
class TControl : public TComponent {
public:
    TControl();
    ~TControl() override;

    void BeforeDestruction() override;

    // ---- parent and geometry
    TWinControl* GetParent() const { return parent_; }
    virtual void SetParent(TWinControl* parent);
    int GetLeft() const { return left_; }
    int GetTop() const { return top_; }
    int GetWidth() const { return width_; }
    int GetHeight() const { return height_; }
    void SetLeft(int value) { SetBounds(value, top_, width_, height_); }
    void SetTop(int value) { SetBounds(left_, value, width_, height_); }
    void SetWidth(int value) { SetBounds(left_, top_, value, height_); }
    void SetHeight(int value) { SetBounds(left_, top_, width_, value); }
    // Moves and sizes the control; sizes below 0 become 0.
    virtual void SetBounds(int left, int top, int width, int height);
    TRect GetBoundsRect() const { return {left_, top_, left_ + width_, top_ + height_}; }
    void SetBoundsRect(const TRect& r) { SetBounds(r.Left, r.Top, r.Width(), r.Height()); }
    // (0, 0, ClientWidth, ClientHeight).
    virtual TRect GetClientRect() const;
    int GetClientWidth() const { return GetClientRect().Width(); }
    int GetClientHeight() const { return GetClientRect().Height(); }
    // The part of the client area that can be seen (inside every parent's
    // client area, on a form), in client coordinates; empty when none.
    TRect GetVisibleClientRect() const;
    void SetClientWidth(int value);
    void SetClientHeight(int value);
    // Screen coordinates of the client area's top-left corner.
    virtual TPoint GetClientOrigin() const;
    TPoint ClientToScreen(TPoint p) const;
    TPoint ScreenToClient(TPoint p) const;
    // Between this control's client coordinates and an ancestor's (the parent
    // when none is given).
    TPoint ClientToParent(TPoint p, const TWinControl* ancestor = nullptr) const;
    TPoint ParentToClient(TPoint p, const TWinControl* ancestor = nullptr) const;

    TAlign GetAlign() const { return align_; }
    void SetAlign(TAlign value);
    // The edges of the parent's client area the control keeps its distance
    // to when the parent is resized: both edges of an axis stretch it, one
    // edge moves it with that edge, none keeps its centre in proportion.
    TAnchors GetAnchors() const { return anchors_; }
    void SetAnchors(TAnchors value);
    // The smallest and largest size the control takes, whoever sizes it.
    TSizeConstraints& Constraints();
    bool GetAutoSize() const { return autoSize_; }
    virtual void SetAutoSize(bool value);

    // ---- state
    bool GetVisible() const { return visible_; }
    virtual void SetVisible(bool value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible, with every parent up to a shown form.
    virtual bool IsShowing() const;
    bool GetEnabled() const { return enabled_; }
    virtual void SetEnabled(bool value);
    // Enabled, with every parent.
    bool IsEnabledDeep() const;
    TControlStyle GetControlStyle() const { return controlStyle_; }
    void SetControlStyle(TControlStyle value) { controlStyle_ = value; }
    TControlState GetControlState() const { return controlState_; }
    void SetControlState(TControlState value) { controlState_ = value; }

    // ---- appearance
    TColor GetColor() const { return color_; }
    void SetColor(TColor value);
    bool GetParentColor() const { return parentColor_; }
    void SetParentColor(bool value);
    const TFont& GetFont() const { return font_; }
    TFont& Font() { return font_; }
    void SetFont(const TFont& value) { font_.Assign(value); }
    bool GetParentFont() const { return parentFont_; }
    void SetParentFont(bool value);
    const std::string& GetText() const { return text_; }
    void SetText(const std::string& value);
    const std::string& GetCaption() const { return text_; }
    void SetCaption(const std::string& value) { SetText(value); }
    const std::string& GetHint() const { return hint_; }
    void SetHint(const std::string& value) { hint_ = value; }
    bool GetShowHint() const { return showHint_; }
    void SetShowHint(bool value);
    bool GetParentShowHint() const { return parentShowHint_; }
    void SetParentShowHint(bool value);
    TCursor GetCursor() const { return cursor_; }
    void SetCursor(TCursor value);

    // ---- painting
    // Marks the control's area to be painted again by the message loop.
    virtual void Invalidate();
    // Invalidates and paints at once.
    virtual void Repaint();
    // Paints what is marked now.
    virtual void Update();
    void Refresh() { Repaint(); }
    // Marks part of the control (client coordinates) for painting.
    void InvalidateRect(const TRect& r);

    // ---- mouse
    bool GetMouseCapture() const;
    void SetMouseCapture(bool value);
    void BringToFront();
    void SendToBack();

    // The form the control is on, null when it is on none.
    TCustomForm* GetParentForm() const;

    // ---- action: the control shows the action's state and Click runs it
    // (instead of OnClick) while it is tied to one.
    TBasicAction* GetAction() const;
    void SetAction(TBasicAction* action);
    // Updates the control's action, if any (OnUpdate).
    void InitiateAction();
    // The menu a right click (or the menu key) shows, when the control has one.
    TPopupMenu* GetPopupMenu() const;
    void SetPopupMenu(TPopupMenu* menu);

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnResize;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TMouseWheelEvent OnMouseWheel;
    TCanResizeEvent OnCanResize;
    // Before the pop-up menu shows; handled keeps it from showing. mousePos is
    // in client coordinates, (-1, -1) from the keyboard.
    TContextPopupEvent OnContextPopup;

protected:
    friend class thorn::ControlAccess;
    friend class TWinControl;

    // The link that ties the control to its action; a control that shows more
    // of an action (a check mark, an image) returns a link of its own.
    virtual std::unique_ptr<TBasicActionLink> CreateActionLink();
    TBasicActionLink* GetActionLink() const { return actionLink_.get(); }
    // Runs OnContextPopup.
    virtual void DoContextPopup(TPoint mousePos, bool& handled);

    // ---- messages
    // The control's own response to a new size (its children laid out
    // again); the program hears of it afterwards, through SizeChanged.
    virtual void WMSize();
    virtual void WMMove();
    // The size changed: WMSize, then Resize (OnResize) once the control has
    // laid itself out, unless a handler freed it meanwhile.
    void SizeChanged();
    virtual void WMButtonDown(const TWMMouse& message);
    virtual void WMButtonDblClk(const TWMMouse& message);
    virtual void WMButtonUp(const TWMMouse& message);
    virtual void WMMouseMove(const TWMMouse& message);
    // Answers whether the wheel was handled; the base asks OnMouseWheel,
    // then the parent.
    virtual bool WMMouseWheel(TShiftState shift, int wheelDelta, TPoint screenPos);
    virtual void CMMouseEnter();
    virtual void CMMouseLeave();
    virtual void CMEnabledChanged();
    virtual void CMVisibleChanged();
    virtual void CMFontChanged();
    virtual void CMParentFontChanged();
    virtual void CMColorChanged();
    virtual void CMParentColorChanged();
    virtual void CMTextChanged();
    // Replaces count characters of the text at pos in place, without
    // CMTextChanged: for a control that keeps its own copy of the text in
    // step and reports the change itself.
    void SpliceText(size_t pos, size_t count, std::string_view text) { text_.replace(pos, count, text); }
    virtual void CMShowHintChanged();
    virtual void CMParentShowHintChanged();
    virtual void CMCursorChanged();
    virtual void CMCancelMode();
    virtual void CMSysColorChange();
    // Lets a control change its hint before it shows; answer false to show none.
    virtual bool CMHintShow(THintInfo& info);
    // Whether (x, y) in client coordinates is part of the control for the mouse.
    virtual bool CMHitTest(int x, int y);
    // Mouse capture went away.
    virtual void WMCaptureChanged() {}
    // An Alt+character accelerator offered to the control; answer true when
    // it was taken. Windowed controls pass it on to their children.
    virtual bool CMDialogChar(char ch, TShiftState shift) { return false; }

    // ---- behaviour hooks
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void Click();
    virtual void DblClick();
    virtual void Resize();
    virtual bool CanResize(int& newWidth, int& newHeight);
    virtual bool CanAutoSize(int& newWidth, int& newHeight);
    // Sizes the control to its content when AutoSize is on.
    virtual void AdjustSize();
    // A limit of Constraints changed: the size is brought inside them.
    virtual void DoConstraintsChange();
    // Asks the parent to lay its children out again.
    virtual void RequestAlign();
    void Loaded() override;
    // The area that painting this control covers, in its parent's client
    // coordinates (its bounds).
    virtual TRect GetPaintBounds() const { return GetBoundsRect(); }
    // Whether the layer paints this control into the form's buffer itself
    // (TWinControl) or asks the parent to (graphic controls).
    virtual bool IsWindowed() const { return false; }
    // Paints the control: client coordinates, clipped by the caller.
    virtual void PaintControl(TCanvas& canvas) {}

    bool IsUpdatingBounds() const { return updatingBounds_ > 0; }

private:
    void DoFontChanged();
    void ChangeSizeState(int width, int height);
    // Remembers where the control stands against its parent's client area,
    // which anchoring measures every later size of the parent against.
    void UpdateAnchorRules();

    TWinControl* parent_ = nullptr;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    TAlign align_ = alNone;
    TAnchors anchors_ = kDefaultAnchors;
    // Per axis: the width (both edges), the left side (far edge only) or the
    // centre (neither), and the parent's client size when it was taken.
    TPoint anchorRules_;
    TPoint originalParentSize_;
    bool anchoring_ = false;
    std::unique_ptr<TSizeConstraints> constraints_;
    bool autoSize_ = false;
    bool visible_ = true;
    bool enabled_ = true;
    TControlStyle controlStyle_{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    TControlState controlState_;
    TColor color_ = clWindow;
    bool parentColor_ = true;
    TFont font_;
    bool parentFont_ = true;
    bool applyingParentFont_ = false;
    std::string text_;
    std::string hint_;
    bool showHint_ = false;
    bool parentShowHint_ = true;
    TCursor cursor_ = crDefault;
    int updatingBounds_ = 0;
    std::unique_ptr<TBasicActionLink> actionLink_;
    thorn::ComponentRef<TPopupMenu> popupMenu_;
};

// A control that holds other controls and can take the keyboard focus.
class TWinControl : public TControl {
public:
    TWinControl();
    ~TWinControl() override;
    // Frees the child controls, then what the control owns, while it is
    // still whole. A child freed this way leaves its owner; one without an
    // owner only loses its parent.
    void BeforeDestruction() override;

    // ---- children: graphic controls first, then windowed ones, each in
    // z-order (later on top).
    int GetControlCount() const { return static_cast<int>(controls_.size() + winControls_.size()); }
    TControl* GetControl(int index) const;
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);
    bool ContainsControl(const TControl* control) const;
    // The topmost visible child at pos (client coordinates); disabled
    // children only when allowed; with allLevels the deepest control.
    TControl* ControlAtPos(TPoint pos, bool allowDisabled, bool allowWinControls = true,
                           bool allLevels = false) const;

    // ---- focus
    virtual bool CanFocus() const;
    bool Focused() const;
    virtual void SetFocus();
    bool GetTabStop() const { return tabStop_; }
    void SetTabStop(bool value) { tabStop_ = value; }
    // Position among the parent's windowed children in the tab order, -1
    // without a parent.
    int GetTabOrder() const;
    void SetTabOrder(int value);
    // Every windowed control below this one in tab order, depth first.
    void GetTabOrderList(std::vector<TWinControl*>& list) const;
    TWinControl* FindNextControl(TWinControl* current, bool goForward, bool checkTabStop, bool checkParent) const;
    void SelectNext(TWinControl* current, bool goForward, bool checkTabStop);
    // Focuses the first control in tab order.
    void SelectFirst();

    // ---- keys handed on: a control that passes the keys typed to it on to
    // another (a pop-up passing on what its owner's window typed) hands them
    // over here, and the other handles them as typed (KeyDown, KeyUp,
    // KeyPress, with their events).
    void PerformKeyDown(TKey& key, TShiftState shift) { KeyDown(key, shift); }
    void PerformKeyUp(TKey& key, TShiftState shift) { KeyUp(key, shift); }
    void PerformKeyPress(char& key) { KeyPress(key); }

    // ---- layout
    void DisableAlign();
    void EnableAlign();
    void Realign();
    // Inner margin between the bounds and the client area (a border).
    int GetBorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int value);
    TRect GetClientRect() const override;

    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

protected:
    friend class thorn::ControlAccess;
    friend class TCustomForm;
    friend class TControl;

    // ---- keyboard messages
    // The dialog keys (DLGC_ flags) this control handles itself.
    virtual uint32_t WMGetDlgCode() { return 0; }
    // A dialog key (Tab, Enter, Escape, arrows) the focused control left;
    // answer true when it was handled. The base passes it to the children.
    virtual bool CMDialogKey(TKey key, TShiftState shift);
    // An Alt+character accelerator; the base passes it to the children.
    bool CMDialogChar(char ch, TShiftState shift) override;
    // Whether the control takes this special key itself.
    virtual bool CMWantSpecialKey(TKey key) { return false; }
    // A key about to reach the focused control sender, offered to its
    // parents first; answer true to take it.
    virtual bool CMChildKey(TKey key, TShiftState shift, TWinControl* sender);
    virtual void WMSetFocus() { Invalidate(); }
    virtual void WMKillFocus() { Invalidate(); }
    virtual void CMEnter() { DoEnter(); }
    virtual void CMExit() { DoExit(); }
    // A control on this control's form got the focus.
    virtual void CMFocusChanged(TWinControl* focused) {}
    void CMEnabledChanged() override;
    void CMVisibleChanged() override;
    void CMFontChanged() override;
    void CMColorChanged() override;
    void CMShowHintChanged() override;

    virtual void KeyDown(TKey& key, TShiftState shift);
    virtual void KeyUp(TKey& key, TShiftState shift);
    virtual void KeyPress(char& key);
    virtual void DoEnter();
    virtual void DoExit();

    // ---- layout
    void WMSize() override;
    virtual void AlignControls(TControl* control, TRect& rect);
    virtual void AdjustClientRect(TRect& rect) {}
    void AlignControl(TControl* control);
    // Whether a child that moves or changes size has the children laid out
    // again: a control that sizes itself to them, or lays them out, or
    // scrolls over them says so.
    virtual bool RealignsOnChildBounds() const { return GetAutoSize(); }

    // ---- non-client area and window scroll bars
    // Takes the control's frame off rect (its bounds, (0, 0) at the top-left
    // corner), leaving the area the scroll bars and the client share; the
    // base takes off BorderWidth. The layer takes the shown window scroll
    // bars (gui/ScrollBars.h) off what this leaves.
    virtual void WMNCCalcSize(TRect& rect) const;
    // The frame changed (a border, its style, a window scroll bar) and with
    // it the client area, the bounds staying: the control hears it as a
    // resize and repaints.
    void NonClientChanged();
    // What the user did on a window scroll bar: an SB_ code, and for
    // SB_THUMBTRACK and SB_THUMBPOSITION the thumb's position. The control
    // moves its content and sets the bar's position itself.
    virtual void WMHScroll(int code, int pos) {}
    virtual void WMVScroll(int code, int pos) {}
    // Presses, moves and releases on a window scroll bar go to the bar.
    void WMButtonDown(const TWMMouse& message) override;
    void WMButtonDblClk(const TWMMouse& message) override;
    void WMButtonUp(const TWMMouse& message) override;
    void WMMouseMove(const TWMMouse& message) override;
    void WMCaptureChanged() override;

    // ---- painting
    bool IsWindowed() const override { return true; }
    // Erases the background (the Color); answer false to leave it. Controls
    // that paint every pixel skip it (csOpaque).
    virtual bool WMEraseBkgnd(TCanvas& canvas);
    // Paints the border area outside the client rectangle.
    virtual void WMNCPaint(TCanvas& canvas) {}
    // Paints the client area.
    virtual void PaintWindow(TCanvas& canvas) {}

private:
    // Places the anchored children for the client area's present size.
    void AnchorChildren();
    void FreeChildControls();

    std::vector<TControl*> controls_;     // graphic children
    std::vector<TControl*> winControls_;  // windowed children
    std::vector<TWinControl*> tabList_;
    std::unique_ptr<thorn::WindowScrollBars> scrollBars_;
    bool tabStop_ = false;
    int alignLevel_ = 0;
    int borderWidth_ = 0;
};

// A windowless control that draws itself on its parent with a canvas.
class TGraphicControl : public TControl {
public:
    TGraphicControl();
    ~TGraphicControl() override;
    TCanvas& Canvas() { return *canvas_; }

protected:
    friend class thorn::ControlAccess;
    virtual void Paint() {}
    void PaintControl(TCanvas& canvas) override;

private:
    std::unique_ptr<TCanvas> canvas_;
};

// A windowed control that draws itself with a canvas.
class TCustomControl : public TWinControl {
public:
    TCustomControl();
    ~TCustomControl() override;
    TCanvas& Canvas() { return *canvas_; }

protected:
    friend class thorn::ControlAccess;
    virtual void Paint() {}
    void PaintWindow(TCanvas& canvas) override;

private:
    std::unique_ptr<TCanvas> canvas_;
};

// The first part of a hint (before "|"), and the second (the whole hint when
// it has no "|").
std::string GetShortHint(const std::string& hint);
std::string GetLongHint(const std::string& hint);
// The form a control is on, or null.
TCustomForm* GetParentForm(const TControl* control);
