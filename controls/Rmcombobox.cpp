#include "controls/Rmcombobox.h"

#include <algorithm>
#include <string_view>

#include "controls/Rmbtncombo.h"
#include "platform/ClassRegistry.h"
#include "platform/Properties.h"

namespace {

const bool kRegistered = (RegisterClass<TrmNewComboBox>("TrmNewComboBox"), true);

bool NoShiftKeys(TShiftState shift) {
    return !shift.Contains(ssShift) && !shift.Contains(ssAlt) && !shift.Contains(ssCtrl);
}

}  // namespace

TrmCustomComboBox::TrmCustomComboBox() {
    OnBtn1Click = [this](TObject* sender) { ToggleListBox(sender); };
    SetUseDefaultGlyphs(false);
    MakeDropDownButton(*this);
    list_ = thorn::Make<TrmCustomScreenListBox>(*this);
    list_->SetParent(this);
    list_->SetBounds(0, 0, GetWidth(), GetHeight() * 8);
    list_->OnKeyDown = [this](TObject* sender, TKey& key, TShiftState shift) { DoLBKeyDown(sender, key, shift); };
    list_->OnMouseDown = [this](TObject* sender, TMouseButton button, TShiftState shift, int x, int y) {
        DoLBMouseDown(sender, button, shift, x, y);
    };
    list_->OnScreenClose = [this](TObject*, TPopupCloseReason reason) {
        if (reason == pcFocusLost && OnCloseUp) OnCloseUp(this);
    };
    list_->SetFont(GetFont());
    OnExit = [this](TObject* sender) { DoLBExit(sender); };
    SetText({});
}

TrmCustomComboBox::~TrmCustomComboBox() = default;

void TrmCustomComboBox::BeforeDestruction() {
    list_->OnScreenClose = nullptr;
    TrmCustomBtnEdit::BeforeDestruction();
}

TStrings& TrmCustomComboBox::GetComboItems() const { return *list_->GetItems(); }

void TrmCustomComboBox::SetComboItems(const TStrings& value) { list_->SetItems(value); }

int TrmCustomComboBox::GetItemIndex() const { return GetComboItems().IndexOf(GetText()); }

void TrmCustomComboBox::SetItemIndex(int value) {
    const TStrings& items = GetComboItems();
    if (value < 0 || value >= items.GetCount()) value = -1;
    // The list stays on the item shown, so that a step goes on from it.
    list_->SetItemIndex(value);
    SetText(value >= 0 ? items.Get(value) : std::string());
}

int TrmCustomComboBox::GetItemHeight() const { return list_->GetItemHeight(); }

bool TrmCustomComboBox::DroppedDown() const { return list_->GetVisible(); }

void TrmCustomComboBox::SetEnabled(bool value) {
    TrmCustomBtnEdit::SetEnabled(value);
    SetBtn1Enabled(value);
}

void TrmCustomComboBox::InternalChanged() {
    SetModified(true);
    if (OnChanged) OnChanged(this);
}

void TrmCustomComboBox::FocusAndSelect() {
    thorn::ComponentRef<TrmCustomComboBox> self(this);
    if (CanFocus() && !Focused()) SetFocus();
    if (self) SelectAll();
}

void TrmCustomComboBox::ToggleListBox(TObject*) {
    thorn::ComponentRef<TrmCustomComboBox> self(this);
    const TPoint topLeft = GetParent() ? GetParent()->ClientToScreen({GetLeft(), GetTop()}) : TPoint{GetLeft(), GetTop()};
    if (OnDropDown) OnDropDown(this);
    if (!self) return;
    FocusAndSelect();
    if (!self) return;
    const int width = dropDownWidth_ ? dropDownWidth_ : GetWidth();
    const int count = GetComboItems().GetCount();
    const int rows = count == 0 ? 1 : std::min(count, std::max(1, dropDownCount_));
    const int height = rows * GetItemHeight() + 2;
    droppedIndex_ = list_->GetItemIndex();
    list_->SetItemIndex(droppedIndex_);
    list_->ShowAt(thorn::DropDownRect(topLeft, GetHeight(), width, height));
}

void TrmCustomComboBox::CloseList() {
    if (!list_->GetVisible()) return;
    // OnCloseUp may free the combo box, and its list with it.
    thorn::ComponentRef<TrmCustomComboBox> self(this);
    if (OnCloseUp) OnCloseUp(this);
    if (self) list_->SetVisible(false);
}

void TrmCustomComboBox::KeyDown(TKey& key, TShiftState shift) {
    thorn::ComponentRef<TrmCustomComboBox> self(this);
    if (!GetEditorEnabled() && key == VK_DELETE) key = 0;
    if (((key == VK_DOWN || key == VK_UP) && shift.Contains(ssAlt)) || (key == VK_F4 && NoShiftKeys(shift))) {
        key = 0;
        if (list_->GetVisible()) {
            list_->SetVisible(false);
            if (self && OnCloseUp) OnCloseUp(this);
        } else {
            ToggleListBox(this);
        }
        return;
    }
    if ((key == VK_DOWN || key == VK_UP) && NoShiftKeys(shift)) {
        const TKey pressed = key;
        key = 0;
        if (list_->GetVisible()) return;
        const int index = list_->GetItemIndex();
        int next = index;
        if (pressed == VK_UP && index >= 1) next = index - 1;
        if (pressed == VK_DOWN && index + 1 < GetComboItems().GetCount()) next = index + 1;
        if (next == index) return;
        list_->SetItemIndex(next);
        SetText(GetComboItems().Get(next));
        if (!self) return;
        InternalChanged();
        if (self) SelectAll();
        return;
    }
    TrmCustomBtnEdit::KeyDown(key, shift);
}

void TrmCustomComboBox::KeyPress(char& key) {
    if (!GetEditorEnabled() || key == '\r') key = 0;
    TrmCustomBtnEdit::KeyPress(key);
}

void TrmCustomComboBox::CMFontChanged() {
    TrmCustomBtnEdit::CMFontChanged();
    if (list_) list_->SetFont(GetFont());
}

void TrmCustomComboBox::CMCancelMode() {
    TrmCustomBtnEdit::CMCancelMode();
    CloseList();
}

void TrmCustomComboBox::WMKillFocus() {
    thorn::ComponentRef<TrmCustomComboBox> self(this);
    TrmCustomBtnEdit::WMKillFocus();
    if (self) CloseList();
}

void TrmCustomComboBox::DoLBMouseDown(TObject*, TMouseButton, TShiftState, int, int) {
    const int index = list_->GetItemIndex();
    if (index < 0) return;
    thorn::ComponentRef<TrmCustomComboBox> self(this);
    list_->SetVisible(false);
    SetText(GetComboItems().Get(index));
    if (self) FocusAndSelect();
    if (self && index != droppedIndex_) InternalChanged();
}

void TrmCustomComboBox::DoLBKeyDown(TObject*, TKey& key, TShiftState) {
    thorn::ComponentRef<TrmCustomComboBox> self(this);
    if (key == VK_ESCAPE) {
        key = 0;
        list_->SetVisible(false);
        FocusAndSelect();
    } else if (key == VK_RETURN) {
        key = 0;
        list_->SetVisible(false);
        if (const int index = list_->GetItemIndex(); index != droppedIndex_ && index >= 0)
            SetText(GetComboItems().Get(index));
        if (self) FocusAndSelect();
        if (self) InternalChanged();
    }
}

void TrmCustomComboBox::DoLBExit(TObject*) {
    if (list_->GetVisible()) list_->SetVisible(false);
}

// ---- streaming

namespace {
constexpr std::string_view kBorderStyleNames[] = {"bsNone",   "bsSingle",     "bsSizeable",
                                                  "bsDialog", "bsToolWindow", "bsSizeToolWin"};
}  // namespace

void TrmNewComboBox::PublishProperties(thorn::PropertyList& list) {
    TrmCustomComboBox::PublishProperties(list);
    list.Enumeration<TBorderStyle>("BorderStyle", [this] { return GetBorderStyle(); },
                                   [this](TBorderStyle v) { SetBorderStyle(v); }, kBorderStyleNames, bsSingle);
    list.Integer("Color", [this] { return GetColor(); }, [this](int32_t v) { SetColor(v); }, clWindow);
    list.Boolean("Ctl3D", [this] { return GetCtl3D(); }, [this](bool v) { SetCtl3D(v); }, true);
    list.Boolean("Enabled", [this] { return GetEnabled(); }, [this](bool v) { SetEnabled(v); }, true);
    list.Integer("MaxLength", [this] { return GetMaxLength(); }, [this](int32_t v) { SetMaxLength(v); }, 0);
    list.Boolean("ReadOnly", [this] { return GetReadOnly(); }, [this](bool v) { SetReadOnly(v); }, false);
    list.String("Text", [this] { return GetText(); }, [this](const std::string& v) { SetText(v); });
    list.Boolean("EditorEnabled", [this] { return GetEditorEnabled(); }, [this](bool v) { SetEditorEnabled(v); },
                 true);
    list.Integer("DropDownCount", [this] { return GetDropDownCount(); }, [this](int32_t v) { SetDropDownCount(v); },
                 8);
    list.Integer("DropDownWidth", [this] { return GetDropDownWidth(); }, [this](int32_t v) { SetDropDownWidth(v); },
                 0);
    list.Object("Items", [this] { return &GetComboItems(); });
    list.Boolean("Visible", [this] { return GetVisible(); }, [this](bool v) { SetVisible(v); }, true);
}
