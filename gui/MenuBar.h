#pragma once

#include <memory>
#include <vector>

#include "gui/Host.h"
#include "gui/Menus.h"
#include "gui/PopupWindow.h"

class TCanvas;

namespace thorn {

class MenuWindow;

// The bar of a form's main menu, drawn at the top of the window: the
// captions of the menu's visible top items in a row. A press on a title
// drops its menu down (a second press closes it); while one is down, moving
// over another title opens that one instead, and releasing the button over
// an item of the menu chooses it.
//
// Keyboard: Alt pressed and released alone (nothing else pressed between,
// whatever took it; see LoneAlt), or F10 (when no shortcut takes it), puts
// the bar in menu mode with the first title highlighted; there
// Left and Right move, Down, Up or Enter drop the menu, a letter drops the
// menu it is the accelerator of, Escape, Alt or F10 leave. Alt with a
// title's accelerator drops that menu at once (after the form's controls
// had their accelerators). A title without items runs as a command.
class MenuBar {
public:
    MenuBar(TCustomForm& form, TMainMenu& menu);
    ~MenuBar();
    MenuBar(const MenuBar&) = delete;
    MenuBar& operator=(const MenuBar&) = delete;

    TMainMenu* GetMenu() const { return menu_.Get(); }
    int Height() const;
    // Paints the bar across the top of the window (form coordinates).
    void Paint(TCanvas& canvas);

    // ---- the titles (form coordinates)
    int TitleCount() const { return static_cast<int>(titles_.size()); }
    TMenuItem* Title(int index) const;
    TRect TitleRect(int index) const;
    int TitleAt(TPoint p) const;
    // The title highlighted (in menu mode or with its menu down), -1 none.
    int GetHotIndex() const { return hot_; }
    bool IsMenuMode() const { return menuMode_; }
    // The window of the bar's menus (open or not), null before the first.
    MenuWindow* GetDropDown() const { return dropDown_.get(); }

    // ---- input from the form; each answers whether the bar took it
    bool Mouse(const MouseInput& input);
    // First look at a key down (menu mode takes every key).
    bool KeyDown(TKey key, TShiftState shift);
    bool KeyUp(TKey key, TShiftState shift);
    bool KeyPress(char ch);
    // A key that neither a shortcut nor a control took: F10 and Alt with a
    // title's accelerator.
    bool UnhandledKey(TKey key, TShiftState shift);

    // Drops the menu of title index (or runs a title without items);
    // firstSelected highlights its first item.
    void OpenTitle(int index, bool firstSelected);
    // Leaves menu mode, closing the bar's menu.
    void Cancel();
    // Titles changed: lays the bar out again and repaints it.
    void Changed();

    // ---- from the bar's menu windows
    // Left or Right in a menu of the bar: the menu of the title beside.
    void Step(int direction);
    void DropDownClosed(TPopupCloseReason reason);

private:
    void Layout();
    void SetHot(int index);
    void EnterMenuMode();
    void Repaint();
    int NextTitle(int from, int step) const;
    bool ForwardToMenus(const MouseInput& input);

    TCustomForm& form_;
    ComponentRef<TMainMenu> menu_;
    std::vector<ComponentRef<TMenuItem>> titles_;
    std::vector<TRect> rects_;
    std::unique_ptr<MenuWindow> dropDown_;
    int hot_ = -1;
    bool menuMode_ = false;
    bool tracking_ = false;   // the button went down on the bar and is held
    bool switching_ = false;  // the menu closes to open another title's
    int pressedCommand_ = -1; // a title without items pressed
};

}  // namespace thorn
