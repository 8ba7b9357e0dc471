#pragma once

#include "gui/Controls.h"
#include "gui/Host.h"

// The layer's own door to the protected message methods of controls: the
// form's routing and painting reach them only through here.
namespace thorn {

class ControlAccess {
public:
    // mouse
    static void ButtonDown(TControl& c, const TWMMouse& m) { c.WMButtonDown(m); }
    static void ButtonDblClk(TControl& c, const TWMMouse& m) { c.WMButtonDblClk(m); }
    static void ButtonUp(TControl& c, const TWMMouse& m) { c.WMButtonUp(m); }
    static void MouseMove(TControl& c, const TWMMouse& m) { c.WMMouseMove(m); }
    static bool MouseWheel(TControl& c, TShiftState s, int delta, TPoint screen) {
        return c.WMMouseWheel(s, delta, screen);
    }
    static void MouseEnter(TControl& c) { c.CMMouseEnter(); }
    static void MouseLeave(TControl& c) { c.CMMouseLeave(); }
    static void CancelMode(TControl& c) { c.CMCancelMode(); }
    static void CaptureChanged(TControl& c) { c.WMCaptureChanged(); }
    static bool HintShow(TControl& c, THintInfo& info) { return c.CMHintShow(info); }
    static void ContextPopup(TControl& c, TPoint pos, bool& handled) { c.DoContextPopup(pos, handled); }

    // keyboard
    static uint32_t GetDlgCode(TWinControl& c) { return c.WMGetDlgCode(); }
    static bool WantSpecialKey(TWinControl& c, TKey key) { return c.CMWantSpecialKey(key); }
    static bool ChildKey(TWinControl& c, TKey key, TShiftState s, TWinControl* sender) {
        return c.CMChildKey(key, s, sender);
    }
    static void KeyDown(TWinControl& c, TKey& key, TShiftState s) { c.KeyDown(key, s); }
    static void KeyUp(TWinControl& c, TKey& key, TShiftState s) { c.KeyUp(key, s); }
    static void KeyPress(TWinControl& c, char& ch) { c.KeyPress(ch); }
    static void SetFocusMsg(TWinControl& c) { c.WMSetFocus(); }
    static void KillFocusMsg(TWinControl& c) { c.WMKillFocus(); }
    static void Enter(TWinControl& c) { c.CMEnter(); }
    static void Exit(TWinControl& c) { c.CMExit(); }
    static void FocusChanged(TWinControl& c, TWinControl* focused) { c.CMFocusChanged(focused); }

    // input as a form's window hands it over
    static void RouteMouse(TCustomForm& f, const MouseInput& input);
    static void RouteKey(TCustomForm& f, const KeyInput& input);
    static void RouteChar(TCustomForm& f, char ch);

    // painting
    // Paints wc and everything on it whose area meets clip. boundsOrigin is
    // where wc's top-left corner lies in the canvas' bitmap; clip is in
    // bitmap coordinates.
    static void PaintTree(TWinControl& wc, TCanvas& canvas, TPoint boundsOrigin, const TRect& clip);
    // The control's own background and paint, and its graphic children.
    static void PaintOwnLayer(TWinControl& wc, TCanvas& canvas, TPoint clientOrigin, const TRect& clientArea);

    // The offset of a control's client area inside its bounds (a form's lies
    // below its menu bar).
    static TPoint ClientOffset(const TControl& c);
    // The client area inside the bounds ((0, 0) at the top-left corner):
    // what the frame (WMNCCalcSize) and the shown scroll bars leave.
    static TRect ClientAreaInBounds(const TControl& c);
    // What the frame alone leaves: where the scroll bars sit.
    static TRect FrameInBounds(const TWinControl& c);

    // window scroll bars
    static WindowScrollBars* ScrollBarsOf(const TWinControl& c) { return c.scrollBars_.get(); }
    static WindowScrollBars& EnsureScrollBars(TWinControl& c);
    static void Scroll(TWinControl& c, int bar, int code, int pos);
    // The client area changed size without the bounds changing (a scroll
    // bar came or went): the control hears it as a resize and repaints.
    static void NonClientChanged(TWinControl& c) { c.NonClientChanged(); }
    // Where c's client (0, 0) lies in its form's coordinates (the window's
    // inside, which is the back buffer's); false when c is on no form.
    static bool ClientOriginInForm(const TControl& c, TPoint& origin);
    // The part of c's client area that can be seen, in form coordinates
    // (clipped by every parent); false when none.
    static bool VisibleClientRectInForm(const TControl& c, TRect& rect);
};

}  // namespace thorn
