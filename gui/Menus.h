#pragma once

#include <memory>
#include <string>
#include <vector>

#include "gui/ActnList.h"
#include "gui/ControlLinks.h"
#include "gui/ControlTypes.h"
#include "platform/Components.h"
#include "platform/Types.h"

class TMenu;
class TCustomForm;
class TCustomImageList;
namespace thorn {
class MenuWindow;
}

// One entry of a menu: a command, a separator (caption "-") or the title of
// a sub-menu (an item with items). "&" in the caption marks the accelerator
// letter ("&&" is an "&"). An item tied to an action shows the action's
// caption, hint, shortcut, enabled, checked, visible and image, and runs it
// when chosen.
//
// Items are components of any owner (usually the form); an item holds its
// sub-items and frees them when it is freed. Checked radio items of one
// GroupIndex within one parent exclude each other.
class TMenuItem : public TComponent {
public:
    TMenuItem();
    ~TMenuItem() override;
    void BeforeDestruction() override;

    // ---- sub-items
    int GetCount() const { return static_cast<int>(items_.size()); }
    TMenuItem* GetItem(int index) const;
    TMenuItem* GetParent() const { return parent_; }
    // Appends item (taken out of its previous parent).
    void Add(TMenuItem* item);
    void Insert(int index, TMenuItem* item);
    // Takes item out without freeing it.
    void Remove(TMenuItem* item);
    // Takes the item at index out and frees it.
    void Delete(int index);
    // Frees every sub-item.
    void Clear();
    int IndexOf(const TMenuItem* item) const;
    // The sub-item with that caption, "&" left out and case ignored, or null.
    TMenuItem* Find(std::string_view caption) const;
    // The menu the item belongs to, or null.
    TMenu* GetParentMenu() const;

    // ---- what the item shows
    const std::string& GetCaption() const { return caption_; }
    void SetCaption(const std::string& value);
    // A separator line.
    bool IsLine() const { return caption_ == "-"; }
    bool GetChecked() const { return checked_; }
    void SetChecked(bool value);
    bool GetRadioItem() const { return radioItem_; }
    void SetRadioItem(bool value);
    int GetGroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int value);
    // Choosing the item flips Checked.
    bool GetAutoCheck() const { return autoCheck_; }
    void SetAutoCheck(bool value) { autoCheck_ = value; }
    bool GetEnabled() const { return enabled_; }
    void SetEnabled(bool value);
    bool GetVisible() const { return visible_; }
    void SetVisible(bool value);
    // Shown in bold: what a double click would choose.
    bool GetDefault() const { return default_; }
    void SetDefault(bool value);
    TShortCut GetShortCut() const { return shortCut_; }
    void SetShortCut(TShortCut value);
    // An index into the menu's Images, -1 for none.
    int GetImageIndex() const { return imageIndex_; }
    void SetImageIndex(int value);
    const std::string& GetHint() const { return hint_; }
    void SetHint(const std::string& value) { hint_ = value; }

    // ---- action
    TBasicAction* GetAction() const;
    void SetAction(TBasicAction* action);
    // Updates the item's action, so that it shows the action's state now.
    void InitiateAction();

    // Chooses the item: an enabled item flips Checked when AutoCheck is on,
    // then runs its action, or OnClick when it has none.
    virtual void Click();
    TNotifyEvent OnClick;

    // The item whose shortcut is shortCut among this item's sub-items, at
    // any depth; null when none.
    TMenuItem* FindShortCut(TShortCut shortCut) const;

protected:
    // Something the menu shows changed.
    void Changed();

private:
    void TakeOut(TMenuItem* item);

    TMenuItem* parent_ = nullptr;
    std::vector<TMenuItem*> items_;
    std::string caption_;
    std::string hint_;
    bool checked_ = false;
    bool radioItem_ = false;
    bool autoCheck_ = false;
    bool enabled_ = true;
    bool visible_ = true;
    bool default_ = false;
    int groupIndex_ = 0;
    int imageIndex_ = -1;
    TShortCut shortCut_ = scNone;
    std::unique_ptr<TBasicActionLink> actionLink_;
};

// The link of a menu item: it follows every property of the action.
class TMenuActionLink : public TBasicActionLink {
public:
    explicit TMenuActionLink(TMenuItem& client) : client_(client) {}
    void SetCaption(const std::string& value) override { client_.SetCaption(value); }
    void SetChecked(bool value) override { client_.SetChecked(value); }
    void SetEnabled(bool value) override { client_.SetEnabled(value); }
    void SetHint(const std::string& value) override { client_.SetHint(value); }
    void SetImageIndex(int value) override { client_.SetImageIndex(value); }
    void SetShortCut(TShortCut value) override { client_.SetShortCut(value); }
    void SetVisible(bool value) override { client_.SetVisible(value); }

private:
    TMenuItem& client_;
};

// A tree of menu items under one root (Items), with the images they show.
class TMenu : public TComponent {
public:
    TMenu();
    ~TMenu() override;

    TMenuItem* GetItems() const { return items_; }
    TCustomImageList* GetImages() const { return images_.Get(); }
    void SetImages(TCustomImageList* value);

    // Finds the item whose shortcut is key with shift and chooses it when it
    // and its parents are enabled (after their actions updated); answers
    // whether one was chosen.
    virtual bool IsShortCut(TKey key, TShiftState shift);

    // ---- used by the items
    // The items changed what they show.
    virtual void MenuChanged();

private:
    TMenuItem* items_ = nullptr;
    thorn::ComponentRef<TCustomImageList> images_;
    std::shared_ptr<void> imagesSubscription_;
};

// The menu of a window's menu bar (TCustomForm::SetMenu).
class TMainMenu : public TMenu {
public:
    ~TMainMenu() override;
    void BeforeDestruction() override;
    // The form whose bar shows the menu, or null.
    TCustomForm* GetWindow() const { return window_.Get(); }
    void MenuChanged() override;

private:
    friend class TCustomForm;
    thorn::ComponentRef<TCustomForm> window_;
};

enum TPopupAlignment : uint8_t { paLeft, paRight, paCenter };

// A menu shown at a point of the screen: on a right click of a control whose
// PopupMenu it is, or by Popup.
class TPopupMenu : public TMenu {
public:
    TPopupMenu();
    ~TPopupMenu() override;
    void BeforeDestruction() override;

    // Runs OnPopup, then shows the menu's visible items with their top-left
    // (or top-right, or top-centre, as Alignment says) corner at the screen
    // point. Returns at once; the chosen item runs once the menu has closed.
    virtual void Popup(int x, int y);
    // Closes the menu if it is open.
    void CloseMenu();
    bool IsOpen() const;
    // The control whose right click opened the menu.
    TComponent* GetPopupComponent() const { return popupComponent_.Get(); }
    void SetPopupComponent(TComponent* value) { popupComponent_ = value; }
    bool GetAutoPopup() const { return autoPopup_; }
    void SetAutoPopup(bool value) { autoPopup_ = value; }
    TPopupAlignment GetAlignment() const { return alignment_; }
    void SetAlignment(TPopupAlignment value) { alignment_ = value; }
    // The menu's window while it exists (for tests and the layer).
    thorn::MenuWindow* GetMenuWindow() const { return window_.get(); }

    TNotifyEvent OnPopup;

private:
    std::unique_ptr<thorn::MenuWindow> window_;
    thorn::ComponentRef<TComponent> popupComponent_;
    bool autoPopup_ = true;
    TPopupAlignment alignment_ = paLeft;
};

// The caption without its accelerator marks ("&&" stays one "&").
std::string StripHotkey(std::string_view caption);

class TWinControl;
class TControl;

namespace thorn {

// Whether key is a shortcut where focus has the keyboard, running what
// matches: the pop-up menus of focus and its parents, then its form
// (IsShortCut: the form's own handler, main menu and action lists), then the
// application's main form when that is another form and enabled (so a tool
// window's keys reach the main window's commands).
bool IsMenuKey(TWinControl& focus, TKey key, TShiftState shift);

}  // namespace thorn
