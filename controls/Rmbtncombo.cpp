#include "controls/Rmbtncombo.h"

#include <algorithm>

#include "platform/ClassRegistry.h"
#include "platform/Properties.h"

namespace {

const bool kRegistered = (RegisterClass<TrmBtnCombo>("TrmBtnCombo"), true);

}  // namespace

TrmCustomBtnCombo::TrmCustomBtnCombo() {
    SetBtn2Visible(true);
    OnBtn2Click = [this](TObject* sender) { DownClick(sender); };
}

TrmCustomBtnCombo::~TrmCustomBtnCombo() = default;

void TrmCustomBtnCombo::SetItemIndex(int value) {
    const TStrings& items = GetComboItems();
    SetText(value >= 0 && value < items.GetCount() ? items.Get(value) : std::string());
}

bool TrmCustomBtnCombo::GetDroppedDown() const { return GetListBox()->GetVisible(); }

void TrmCustomBtnCombo::SetEnabled(bool value) {
    // Leaving the focus (OnExit) may free the combo box.
    const thorn::ComponentWatch watch(this);
    TrmCustomBtnEdit::SetEnabled(value);
    if (watch.Freed()) return;
    SetBtn1Enabled(value);
    SetBtn2Enabled(value);
}

void TrmCustomBtnCombo::DownClick(TObject*) {
    if (OnBtnClick) OnBtnClick(this);
}

int TrmCustomBtnCombo::ListHeight() const { return dropDownHeight_ > 0 ? dropDownHeight_ : GetHeight() * 8; }

int TrmCustomBtnCombo::PrepareDrop() {
    TrmCustomScreenListBox& list = *GetListBox();
    list.SetFont(GetFont());
    list.SetItemIndex(GetItemIndex());
    return ListHeight();
}

void TrmCustomBtnCombo::KeyDown(TKey& key, TShiftState shift) {
    thorn::ComponentRef<TrmCustomBtnCombo> self(this);
    if (DropDownKey(key, shift, shift == TShiftState{ssAlt})) return;
    TrmCustomScreenListBox& list = *GetListBox();
    if (thorn::NoShiftKeys(shift)) {
        switch (key) {
            case VK_PRIOR:
            case VK_NEXT:
            case VK_END:
            case VK_HOME:
            case VK_LEFT:
            case VK_UP:
            case VK_RIGHT:
            case VK_DOWN: {
                const TKey pressed = key;
                key = 0;
                if (list.GetVisible()) {
                    FocusAndSelect();
                    return;
                }
                const int count = GetComboItems().GetCount();
                if (count == 0) return;
                const int page = ListHeight() / std::max(1, list.GetItemHeight()) - 1;
                int index = GetItemIndex();
                switch (pressed) {
                    case VK_PRIOR: index -= page; break;
                    case VK_NEXT: index += page; break;
                    case VK_END: index = count - 1; break;
                    case VK_HOME: index = 0; break;
                    case VK_LEFT:
                    case VK_UP: index -= 1; break;
                    default: index += 1; break;
                }
                index = std::clamp(index, 0, count - 1);
                list.SetItemIndex(index);
                SetText(GetComboItems().Get(index));
                if (self) FocusAndSelect();
                return;
            }
            default: break;
        }
    }
    if (key == VK_RETURN && shift == TShiftState{ssCtrl} && !list.GetVisible()) {
        key = 0;
        DownClick(this);
        return;
    }
    TrmCustomBtnEdit::KeyDown(key, shift);
}

// ---- streaming

void TrmBtnCombo::PublishProperties(thorn::PropertyList& list) {
    TrmCustomBtnCombo::PublishProperties(list);
    list.Boolean("EditorEnabled", [this] { return GetEditorEnabled(); }, [this](bool v) { SetEditorEnabled(v); },
                 true);
    list.Boolean("Enabled", [this] { return GetEnabled(); }, [this](bool v) { SetEnabled(v); }, true);
    list.Integer("DropDownHeight", [this] { return GetDropDownHeight(); }, [this](int32_t v) { SetDropDownHeight(v); },
                 0);
    list.Integer("DropDownWidth", [this] { return GetDropDownWidth(); }, [this](int32_t v) { SetDropDownWidth(v); },
                 0);
    list.Object("Items", [this] { return &GetComboItems(); });
    list.Integer("ItemIndex", [this] { return GetItemIndex(); }, [this](int32_t v) { SetItemIndex(v); });
    list.StoredWhen([] { return false; });
    list.String("Text", [this] { return GetText(); }, [this](const std::string& v) { SetText(v); });
    list.Boolean("EllipsisBtnVisible", [this] { return GetEllipsisBtnVisible(); },
                 [this](bool v) { SetEllipsisBtnVisible(v); }, true);
    list.Enumeration<TBorderStyle>("BorderStyle", [this] { return GetBorderStyle(); },
                                   [this](TBorderStyle v) { SetBorderStyle(v); }, thorn::kBorderStyleNames, bsSingle);
    list.Boolean("ReadOnly", [this] { return GetReadOnly(); }, [this](bool v) { SetReadOnly(v); }, false);
    list.Boolean("Visible", [this] { return GetVisible(); }, [this](bool v) { SetVisible(v); }, true);
}
