#include "controls/DropDownEdit.h"

#include "bitmap/Pix32.h"
#include "inspector/Rmspeedbtns.h"

void MakeDropDownButton(TrmCustomBtnEdit& edit) {
    TrmSpeedButton& button = *edit.Btn1();
    button.Font().SetName("Marlett");
    button.Font().SetSize(10);
    button.Font().SetColor(clBtnText);
    button.SetCaption("6");
    const TBitmap32 none;
    edit.SetBtn1Glyph(&none);
}

namespace thorn {

DropDownEdit::DropDownEdit() {
    MakeDropDownButton(*this);
    OnBtn1Click = [this](TObject* sender) { ToggleListBox(sender); };
    list_ = Make<TrmCustomScreenListBox>(*this);
    list_->SetParent(this);
    list_->SetBounds(0, 0, GetWidth(), GetHeight() * 8);
    list_->OnKeyDown = [this](TObject* sender, TKey& key, TShiftState shift) { DoLBKeyDown(sender, key, shift); };
    list_->OnMouseDown = [this](TObject* sender, TMouseButton button, TShiftState shift, int x, int y) {
        DoLBMouseDown(sender, button, shift, x, y);
    };
    list_->OnScreenClose = [this](TObject*, TPopupCloseReason reason) {
        // The window losing the keyboard is the control's focus loss.
        if (reason == pcFocusLost) CloseUp();
    };
    OnExit = [this](TObject* sender) { DoLBExit(sender); };
    SetText({});
}

DropDownEdit::~DropDownEdit() = default;

void DropDownEdit::BeforeDestruction() {
    list_->OnScreenClose = nullptr;
    TrmCustomBtnEdit::BeforeDestruction();
}

TStrings& DropDownEdit::GetComboItems() const { return *list_->GetItems(); }

void DropDownEdit::SetComboItems(const TStrings& value) { list_->SetItems(value); }

int DropDownEdit::GetItemIndex() const { return GetComboItems().IndexOf(GetText()); }

void DropDownEdit::CloseUp() {
    if (OnCloseUp) OnCloseUp(this);
}

void DropDownEdit::FocusAndSelect() {
    ComponentRef<DropDownEdit> self(this);
    if (CanFocus() && !Focused()) SetFocus();
    if (self) SelectAll();
}

void DropDownEdit::ToggleListBox(TObject*) {
    ComponentRef<DropDownEdit> self(this);
    const TPoint topLeft = GetParent() ? GetParent()->ClientToScreen({GetLeft(), GetTop()}) : TPoint{GetLeft(), GetTop()};
    if (OnDropDown) OnDropDown(this);
    if (!self) return;
    FocusAndSelect();
    if (!self) return;
    const int width = dropDownWidth_ > 0 ? dropDownWidth_ : GetWidth();
    const int height = PrepareDrop();
    list_->ShowAt(DropDownRect(topLeft, GetHeight(), width, height));
}

void DropDownEdit::HideAndCloseUp() {
    ComponentRef<DropDownEdit> self(this);
    list_->SetVisible(false);
    if (self) CloseUp();
}

void DropDownEdit::CloseList() {
    if (list_->GetVisible()) HideAndCloseUp();
}

bool DropDownEdit::DropDownKey(TKey& key, TShiftState shift, bool altHeld) {
    if (!GetEditorEnabled() && key == VK_DELETE) key = 0;
    if (!((key == VK_DOWN || key == VK_UP) && altHeld) && !(key == VK_F4 && NoShiftKeys(shift))) return false;
    key = 0;
    if (list_->GetVisible())
        HideAndCloseUp();
    else
        ToggleListBox(this);
    return true;
}

void DropDownEdit::KeyPress(char& key) {
    if (!GetEditorEnabled() || key == '\r') key = 0;
    TrmCustomBtnEdit::KeyPress(key);
}

void DropDownEdit::CMFontChanged() {
    TrmCustomBtnEdit::CMFontChanged();
    if (list_) list_->SetFont(GetFont());
}

void DropDownEdit::CMCancelMode() {
    TrmCustomBtnEdit::CMCancelMode();
    CloseList();
}

void DropDownEdit::WMKillFocus() {
    ComponentRef<DropDownEdit> self(this);
    TrmCustomBtnEdit::WMKillFocus();
    if (self) CloseList();
}

void DropDownEdit::DoLBMouseDown(TObject*, TMouseButton, TShiftState, int, int) {
    const int index = list_->GetItemIndex();
    if (index < 0) return;
    // OnChange may free the combo.
    ComponentRef<DropDownEdit> self(this);
    list_->SetVisible(false);
    SetText(GetComboItems().Get(index));
    if (self) FocusAndSelect();
    if (self) ListPicked(index, false);
}

void DropDownEdit::DoLBKeyDown(TObject*, TKey& key, TShiftState) {
    ComponentRef<DropDownEdit> self(this);
    if (key == VK_ESCAPE) {
        key = 0;
        list_->SetVisible(false);
        FocusAndSelect();
    } else if (key == VK_RETURN) {
        key = 0;
        list_->SetVisible(false);
        const int index = list_->GetItemIndex();
        if (index >= 0 && EnterTakesItem(index)) SetText(GetComboItems().Get(index));
        if (self) FocusAndSelect();
        if (self) ListPicked(index, true);
    }
}

void DropDownEdit::DoLBExit(TObject*) {
    if (list_->GetVisible()) list_->SetVisible(false);
}

}  // namespace thorn
