#pragma once

#include <memory>
#include <vector>

#include "gui/Menus.h"
#include "gui/PopupWindow.h"

namespace thorn {

class MenuBar;

// The window of one level of an open menu: the visible sub-items of one
// item, top to bottom, with their check marks, images, captions, shortcut
// texts and sub-menu arrows. A menu bar, a pop-up menu or the level above
// opens it. It takes every key while it is the topmost pop-up: Up, Down,
// Home and End move the highlight, Right opens a sub-menu (or the next menu
// of the bar), Left closes one (or opens the previous menu of the bar),
// Enter chooses, Escape closes this level, a letter chooses the item it is
// the accelerator of, Alt and F10 close every menu. The mouse highlights
// what it passes over, opens sub-menus at once and chooses on release.
//
// Choosing an item closes every menu of its tree; the item's Click runs from
// the message loop right after.
class MenuWindow : public TPopupWindow {
public:
    MenuWindow(TMenu& menu, MenuBar* bar, MenuWindow* parentWindow);
    ~MenuWindow() override;

    // Shows the visible sub-items of parent with the window's top-left corner
    // at p (or its top-right, or top-centre), kept on the work area.
    void OpenAt(TMenuItem& parent, TPoint p, TControl* owner, TPopupAlignment alignment = paLeft);
    // Shows them beside itemRect (screen coordinates) of the level above: to
    // its right, or to its left when the work area ends first.
    void OpenBeside(TMenuItem& parent, const TRect& itemRect, TControl* owner);

    TMenu* GetMenu() const { return menu_.Get(); }
    TMenuItem* GetParentItem() const { return parentItem_.Get(); }
    MenuWindow* GetParentWindow() const { return parentWindow_; }
    // The window of the sub-menu (open or not), null before the first.
    MenuWindow* GetSubMenu() const { return subMenu_.get(); }

    // ---- rows: the visible sub-items in order
    int RowCount() const { return static_cast<int>(rows_.size()); }
    TMenuItem* RowItem(int row) const;
    // Client coordinates.
    TRect RowRect(int row) const;
    int RowAt(TPoint p) const;
    int GetSelected() const { return selected_; }
    // Highlights row (-1: none) and shows its hint as the application's.
    void Select(int row);
    // Chooses row: opens its sub-menu (highlighting the first of its items
    // when firstSelected), or runs an enabled command.
    void Choose(int row, bool firstSelected);
    // The next row that can take the highlight after from (step 1) or before
    // it (step -1), round the end; from -1 starts at the first or last row.
    int NextSelectable(int from, int step) const;

    // Lays out and repaints every open menu window (the items changed).
    static void RefreshOpen();

protected:
    void Paint() override;
    bool PopupKeyDown(TKey key, TShiftState shift) override;
    bool PopupKeyPress(char ch) override;
    void DoClosePopup(TPopupCloseReason reason) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void CMMouseLeave() override;

private:
    void Layout();
    TSize Measure();
    void PaintRow(TCanvas& canvas, int row);
    void OpenSubMenu(int row, bool firstSelected);
    void CloseSubMenu();
    MenuWindow& Root();
    // Closes every window of this menu tree and leaves the bar's menu mode.
    void CloseTree();

    ComponentRef<TMenu> menu_;
    MenuBar* bar_;
    MenuWindow* parentWindow_;
    ComponentRef<TMenuItem> parentItem_;
    std::vector<ComponentRef<TMenuItem>> rows_;
    std::vector<TRect> rowRects_;
    std::unique_ptr<MenuWindow> subMenu_;
    int selected_ = -1;
    int gutter_ = 0;        // width of the check and image column
    int captionWidth_ = 0;  // widest caption
    int textHeight_ = 0;
};

}  // namespace thorn
