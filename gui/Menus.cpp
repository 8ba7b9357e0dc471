#include "gui/Menus.h"

#include <algorithm>

#include "gui/Application.h"
#include "gui/ControlAccess.h"
#include "gui/ImageList.h"
#include "gui/MenuBar.h"
#include "gui/MenuWindow.h"
#include "platform/Collections.h"

std::string StripHotkey(std::string_view caption) {
    std::string text;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&') {
            if (i + 1 < caption.size() && caption[i + 1] == '&') {
                text += '&';
                ++i;
            }
            continue;
        }
        text += caption[i];
    }
    return text;
}

// ==================================================================== TMenuItem

TMenuItem::TMenuItem() = default;

TMenuItem::~TMenuItem() {
    actionLink_.reset();
    for (TMenuItem* item : items_) item->parent_ = nullptr;
    if (parent_) parent_->TakeOut(this);
}

void TMenuItem::BeforeDestruction() {
    TComponent::BeforeDestruction();
    actionLink_.reset();
    if (parent_) {
        TMenuItem* parent = parent_;
        parent->TakeOut(this);
        parent->Changed();
    }
    // Sub-items go with their parent, unless their own owner is going too
    // (it frees them itself) or nobody owns them (their holder does).
    std::vector<TMenuItem*> items;
    items.swap(items_);
    for (TMenuItem* item : items) {
        item->parent_ = nullptr;
        if (item->GetOwner() && item->GetOwner() != this && !item->GetComponentState().Contains(csDestroying))
            thorn::Free(item);
    }
}

TMenuItem* TMenuItem::GetItem(int index) const {
    if (index < 0 || index >= GetCount()) ThrowListIndexError(index);
    return items_[static_cast<size_t>(index)];
}

void TMenuItem::TakeOut(TMenuItem* item) {
    std::erase(items_, item);
    item->parent_ = nullptr;
}

void TMenuItem::Add(TMenuItem* item) { Insert(GetCount(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
    if (!item) return;
    for (TMenuItem* p = this; p; p = p->parent_)
        if (p == item) throw EInvalidOperation("A menu item cannot hold itself");
    if (item->parent_) item->parent_->Remove(item);
    if (index < 0 || index > GetCount()) ThrowListIndexError(index);
    items_.insert(items_.begin() + index, item);
    item->parent_ = this;
    Changed();
}

void TMenuItem::Remove(TMenuItem* item) {
    if (!item || item->parent_ != this) return;
    TakeOut(item);
    Changed();
}

void TMenuItem::Delete(int index) {
    TMenuItem* item = GetItem(index);
    Remove(item);
    if (item->GetOwner()) thorn::Free(item);
}

void TMenuItem::Clear() {
    while (GetCount() > 0) Delete(GetCount() - 1);
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
    auto it = std::find(items_.begin(), items_.end(), item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

TMenuItem* TMenuItem::Find(std::string_view caption) const {
    std::string wanted = StripHotkey(caption);
    for (TMenuItem* item : items_)
        if (thorn::SameText(StripHotkey(item->caption_), wanted)) return item;
    return nullptr;
}

TMenu* TMenuItem::GetParentMenu() const {
    const TMenuItem* root = this;
    while (root->parent_) root = root->parent_;
    auto* menu = dynamic_cast<TMenu*>(root->GetOwner());
    return menu && menu->GetItems() == root ? menu : nullptr;
}

void TMenuItem::Changed() {
    if (TMenu* menu = GetParentMenu()) menu->MenuChanged();
}

void TMenuItem::SetCaption(const std::string& value) {
    if (value == caption_) return;
    caption_ = value;
    Changed();
}

void TMenuItem::SetChecked(bool value) {
    if (value == checked_) return;
    checked_ = value;
    if (value && radioItem_ && parent_)
        for (TMenuItem* sibling : parent_->items_)
            if (sibling != this && sibling->radioItem_ && sibling->groupIndex_ == groupIndex_)
                sibling->SetChecked(false);
    Changed();
}

void TMenuItem::SetRadioItem(bool value) {
    if (value == radioItem_) return;
    radioItem_ = value;
    if (value && checked_) {
        checked_ = false;
        SetChecked(true);
    }
    Changed();
}

void TMenuItem::SetGroupIndex(int value) {
    if (value == groupIndex_) return;
    groupIndex_ = value;
    if (radioItem_ && checked_) {
        checked_ = false;
        SetChecked(true);
    }
}

void TMenuItem::SetEnabled(bool value) {
    if (value == enabled_) return;
    enabled_ = value;
    Changed();
}

void TMenuItem::SetVisible(bool value) {
    if (value == visible_) return;
    visible_ = value;
    Changed();
}

void TMenuItem::SetDefault(bool value) {
    if (value == default_) return;
    default_ = value;
    Changed();
}

void TMenuItem::SetShortCut(TShortCut value) {
    if (value == shortCut_) return;
    shortCut_ = value;
    Changed();
}

void TMenuItem::SetImageIndex(int value) {
    if (value == imageIndex_) return;
    imageIndex_ = value;
    Changed();
}

TBasicAction* TMenuItem::GetAction() const { return actionLink_ ? actionLink_->GetAction() : nullptr; }

void TMenuItem::SetAction(TBasicAction* action) {
    if (!action) {
        actionLink_.reset();
        return;
    }
    if (!actionLink_) actionLink_ = std::make_unique<TMenuActionLink>(*this);
    actionLink_->SetAction(action);
}

void TMenuItem::InitiateAction() {
    if (actionLink_) actionLink_->Update();
}

void TMenuItem::Click() {
    if (!enabled_) return;
    thorn::ComponentRef<TMenuItem> self(this);
    bool linked = GetAction() != nullptr;
    if (autoCheck_ && !linked) SetChecked(!checked_);
    if (linked)
        actionLink_->Execute();
    else if (OnClick)
        OnClick(this);
}

TMenuItem* TMenuItem::FindShortCut(TShortCut shortCut) const {
    for (TMenuItem* item : items_) {
        if (item->shortCut_ == shortCut) return item;
        if (TMenuItem* inner = item->FindShortCut(shortCut)) return inner;
    }
    return nullptr;
}

// ======================================================================== TMenu

TMenu::TMenu() { items_ = thorn::Make<TMenuItem>(*this); }

TMenu::~TMenu() = default;

void TMenu::SetImages(TCustomImageList* value) {
    if (value == images_.Get()) return;
    images_ = value;
    imagesSubscription_.reset();
    if (value) imagesSubscription_ = value->Subscribe([this] { MenuChanged(); });
    MenuChanged();
}

bool TMenu::IsShortCut(TKey key, TShiftState shift) {
    TShortCut wanted = ShortCut(key, shift);
    if (wanted == scNone || !items_) return false;
    TMenuItem* item = items_->FindShortCut(wanted);
    if (!item) return false;
    thorn::ComponentRef<TMenuItem> ref(item);
    // The item and every title above it must be enabled once their actions
    // have said what they are now.
    for (TMenuItem* p = item; p && p != items_; p = p->GetParent()) {
        p->InitiateAction();
        if (!ref || !p->GetEnabled()) return false;
    }
    item->Click();
    return true;
}

void TMenu::MenuChanged() { thorn::MenuWindow::RefreshOpen(); }

// ==================================================================== TMainMenu

TMainMenu::~TMainMenu() = default;

void TMainMenu::BeforeDestruction() {
    if (TCustomForm* form = window_.Get(); form && form->GetMenu() == this) form->SetMenu(nullptr);
    TMenu::BeforeDestruction();
}

void TMainMenu::MenuChanged() {
    TMenu::MenuChanged();
    if (TCustomForm* form = window_.Get(); form && form->GetMenuBar()) form->GetMenuBar()->Changed();
}

// =================================================================== TPopupMenu

TPopupMenu::TPopupMenu() = default;

TPopupMenu::~TPopupMenu() = default;

void TPopupMenu::BeforeDestruction() {
    CloseMenu();
    TMenu::BeforeDestruction();
}

void TPopupMenu::Popup(int x, int y) {
    thorn::ComponentRef<TPopupMenu> self(this);
    if (OnPopup) OnPopup(this);
    if (!self) return;
    if (!window_) window_ = std::make_unique<thorn::MenuWindow>(*this, nullptr, nullptr);
    CloseMenu();
    window_->OpenAt(*GetItems(), {x, y}, dynamic_cast<TControl*>(popupComponent_.Get()), alignment_);
}

void TPopupMenu::CloseMenu() {
    if (window_ && window_->IsPopupOpen()) window_->ClosePopup(pcClosed);
}

bool TPopupMenu::IsOpen() const { return window_ && window_->IsPopupOpen(); }

// A control's pop-up menu is kept where the menu's class is known: the
// controls' base only holds the reference.
TPopupMenu* TControl::GetPopupMenu() const { return popupMenu_.Get(); }

void TControl::SetPopupMenu(TPopupMenu* menu) { popupMenu_ = menu; }

// ================================================================ dispatching

namespace thorn {

bool IsMenuKey(TWinControl& focus, TKey key, TShiftState shift) {
    ComponentRef<TWinControl> ref(&focus);
    for (TControl* c = &focus; c; c = c->GetParent()) {
        TPopupMenu* menu = c->GetPopupMenu();
        if (menu && menu->IsShortCut(key, shift)) return true;
        if (!ref) return false;
    }
    TCustomForm* form = focus.GetParentForm();
    if (!form) return false;
    ComponentRef<TCustomForm> formRef(form);
    if (form->IsShortCut(key, shift)) return true;
    TCustomForm* main = Application && formRef ? Application->GetMainForm() : nullptr;
    return main && main != form && main->IsShowing() && main->GetEnabled() && main->IsShortCut(key, shift);
}

bool ShowContextMenu(TControl& control, TPoint at, bool fromKeyboard) {
    ComponentRef<TControl> ref(&control);
    for (TControl* c = &control; c; c = c->GetParent()) {
        bool handled = false;
        ComponentRef<TControl> cRef(c);
        TPoint local = fromKeyboard ? TPoint{-1, -1} : c->ScreenToClient(at);
        ControlAccess::ContextPopup(*c, local, handled);
        if (handled) return true;
        if (!cRef) return false;
        TPopupMenu* menu = c->GetPopupMenu();
        if (menu && menu->GetAutoPopup()) {
            menu->SetPopupComponent(c);
            menu->Popup(at.X, at.Y);
            return true;
        }
    }
    return false;
}

}  // namespace thorn
