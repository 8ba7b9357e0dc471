#include "controls/Rmcombobox.h"

#include <algorithm>

#include "platform/ClassRegistry.h"
#include "platform/Properties.h"

namespace {

const bool kRegistered = (RegisterClass<TrmNewComboBox>("TrmNewComboBox"), true);

}  // namespace

TrmCustomComboBox::TrmCustomComboBox() {
    SetUseDefaultGlyphs(false);
    GetListBox()->SetFont(GetFont());
}

TrmCustomComboBox::~TrmCustomComboBox() = default;

void TrmCustomComboBox::SetItemIndex(int value) {
    const TStrings& items = GetComboItems();
    if (value < 0 || value >= items.GetCount()) value = -1;
    // The list stays on the item shown, so that a step goes on from it.
    GetListBox()->SetItemIndex(value);
    SetText(value >= 0 ? items.Get(value) : std::string());
}

int TrmCustomComboBox::GetItemHeight() const { return GetListBox()->GetItemHeight(); }

bool TrmCustomComboBox::DroppedDown() const { return GetListBox()->GetVisible(); }

void TrmCustomComboBox::SetEnabled(bool value) {
    // Leaving the focus (OnExit) may free the combo box.
    const thorn::ComponentWatch watch(this);
    TrmCustomBtnEdit::SetEnabled(value);
    if (watch.Freed()) return;
    SetBtn1Enabled(value);
}

void TrmCustomComboBox::InternalChanged() {
    SetModified(true);
    if (OnChanged) OnChanged(this);
}

int TrmCustomComboBox::PrepareDrop() {
    const int count = GetComboItems().GetCount();
    const int most = dropDownCount_ >= 1 ? dropDownCount_ : kDefaultDropDownCount;
    const int rows = count == 0 ? 1 : std::min(count, most);
    TrmCustomScreenListBox& list = *GetListBox();
    droppedIndex_ = list.GetItemIndex();
    list.SetItemIndex(droppedIndex_);
    return rows * GetItemHeight() + 2;
}

void TrmCustomComboBox::CloseList() {
    if (!DroppedDown()) return;
    // OnCloseUp may free the combo box, and its list with it.
    thorn::ComponentRef<TrmCustomComboBox> self(this);
    CloseUp();
    if (self) GetListBox()->SetVisible(false);
}

void TrmCustomComboBox::ListPicked(int index, bool byEnter) {
    if (byEnter || index != droppedIndex_) InternalChanged();
}

void TrmCustomComboBox::KeyDown(TKey& key, TShiftState shift) {
    thorn::ComponentRef<TrmCustomComboBox> self(this);
    if (DropDownKey(key, shift, shift.Contains(ssAlt))) return;
    if ((key == VK_DOWN || key == VK_UP) && thorn::NoShiftKeys(shift)) {
        const TKey pressed = key;
        key = 0;
        TrmCustomScreenListBox& list = *GetListBox();
        if (list.GetVisible()) return;
        const int index = list.GetItemIndex();
        int next = index;
        if (pressed == VK_UP && index >= 1) next = index - 1;
        if (pressed == VK_DOWN && index + 1 < GetComboItems().GetCount()) next = index + 1;
        if (next == index) return;
        list.SetItemIndex(next);
        SetText(GetComboItems().Get(next));
        if (!self) return;
        InternalChanged();
        if (self) SelectAll();
        return;
    }
    TrmCustomBtnEdit::KeyDown(key, shift);
}

// ---- streaming

void TrmNewComboBox::PublishProperties(thorn::PropertyList& list) {
    TrmCustomComboBox::PublishProperties(list);
    list.Enumeration<TBorderStyle>("BorderStyle", [this] { return GetBorderStyle(); },
                                   [this](TBorderStyle v) { SetBorderStyle(v); }, thorn::kBorderStyleNames, bsSingle);
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
