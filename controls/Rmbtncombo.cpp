#include "controls/Rmbtncombo.h"

#include <algorithm>
#include <string_view>

#include "bitmap/Pix32.h"
#include "inspector/Rmspeedbtns.h"
#include "platform/ClassRegistry.h"
#include "platform/Properties.h"

namespace {

const bool kRegistered = (RegisterClass<TrmBtnCombo>("TrmBtnCombo"), true);

bool NoShiftKeys(TShiftState shift) {
    return !shift.Contains(ssShift) && !shift.Contains(ssAlt) && !shift.Contains(ssCtrl);
}

}  // namespace

void MakeDropDownButton(TrmCustomBtnEdit& edit) {
    TrmSpeedButton& button = *edit.Btn1();
    button.Font().SetName("Marlett");
    button.Font().SetSize(10);
    button.Font().SetColor(clBtnText);
    button.SetCaption("6");
    const TBitmap32 none;
    edit.SetBtn1Glyph(&none);
}

TrmCustomBtnCombo::TrmCustomBtnCombo() {
    MakeDropDownButton(*this);
    OnBtn1Click = [this](TObject* sender) { ToggleListBox(sender); };
    SetBtn2Visible(true);
    OnBtn2Click = [this](TObject* sender) { DownClick(sender); };
    list_ = thorn::Make<TrmCustomScreenListBox>(*this);
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

TrmCustomBtnCombo::~TrmCustomBtnCombo() = default;

void TrmCustomBtnCombo::BeforeDestruction() {
    list_->OnScreenClose = nullptr;
    TrmCustomBtnEdit::BeforeDestruction();
}

TStrings& TrmCustomBtnCombo::GetComboItems() const { return *list_->GetItems(); }

void TrmCustomBtnCombo::SetComboItems(const TStrings& value) { list_->SetItems(value); }

int TrmCustomBtnCombo::GetItemIndex() const { return GetComboItems().IndexOf(GetText()); }

void TrmCustomBtnCombo::SetItemIndex(int value) {
    const TStrings& items = GetComboItems();
    SetText(value >= 0 && value < items.GetCount() ? items.Get(value) : std::string());
}

bool TrmCustomBtnCombo::GetDroppedDown() const { return list_->GetVisible(); }

void TrmCustomBtnCombo::SetEnabled(bool value) {
    TrmCustomBtnEdit::SetEnabled(value);
    SetBtn1Enabled(value);
    SetBtn2Enabled(value);
}

void TrmCustomBtnCombo::DownClick(TObject*) {
    if (OnBtnClick) OnBtnClick(this);
}

void TrmCustomBtnCombo::CloseUp() {
    if (OnCloseUp) OnCloseUp(this);
}

void TrmCustomBtnCombo::FocusAndSelect() {
    thorn::ComponentRef<TrmCustomBtnCombo> self(this);
    if (CanFocus() && !Focused()) SetFocus();
    if (self) SelectAll();
}

int TrmCustomBtnCombo::ListHeight() const { return dropDownHeight_ ? dropDownHeight_ : GetHeight() * 8; }

void TrmCustomBtnCombo::ToggleListBox(TObject*) {
    thorn::ComponentRef<TrmCustomBtnCombo> self(this);
    const TPoint topLeft = GetParent() ? GetParent()->ClientToScreen({GetLeft(), GetTop()}) : TPoint{GetLeft(), GetTop()};
    if (OnDropDown) OnDropDown(this);
    if (!self) return;
    FocusAndSelect();
    if (!self) return;
    list_->SetFont(GetFont());
    const int width = dropDownWidth_ ? dropDownWidth_ : GetWidth();
    list_->SetItemIndex(GetItemIndex());
    list_->ShowAt(thorn::DropDownRect(topLeft, GetHeight(), width, ListHeight()));
}

void TrmCustomBtnCombo::HideList() { list_->SetVisible(false); }

void TrmCustomBtnCombo::CloseList() {
    if (!list_->GetVisible()) return;
    HideList();
    CloseUp();
}

void TrmCustomBtnCombo::KeyDown(TKey& key, TShiftState shift) {
    thorn::ComponentRef<TrmCustomBtnCombo> self(this);
    if (!GetEditorEnabled() && key == VK_DELETE) key = 0;
    const bool altOnly = shift == TShiftState{ssAlt};
    if (((key == VK_DOWN || key == VK_UP) && altOnly) || (key == VK_F4 && NoShiftKeys(shift))) {
        key = 0;
        if (list_->GetVisible())
            CloseList();
        else
            ToggleListBox(this);
        return;
    }
    if (NoShiftKeys(shift)) {
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
                if (list_->GetVisible()) {
                    FocusAndSelect();
                    return;
                }
                const int count = GetComboItems().GetCount();
                if (count == 0) return;
                const int page = ListHeight() / std::max(1, list_->GetItemHeight()) - 1;
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
                list_->SetItemIndex(index);
                SetText(GetComboItems().Get(index));
                if (self) FocusAndSelect();
                return;
            }
            default: break;
        }
    }
    if (key == VK_RETURN && shift == TShiftState{ssCtrl} && !list_->GetVisible()) {
        key = 0;
        DownClick(this);
        return;
    }
    TrmCustomBtnEdit::KeyDown(key, shift);
}

void TrmCustomBtnCombo::KeyPress(char& key) {
    if (!GetEditorEnabled() || key == '\r') key = 0;
    TrmCustomBtnEdit::KeyPress(key);
}

void TrmCustomBtnCombo::CMFontChanged() {
    TrmCustomBtnEdit::CMFontChanged();
    if (list_) list_->SetFont(GetFont());
}

void TrmCustomBtnCombo::CMCancelMode() {
    TrmCustomBtnEdit::CMCancelMode();
    CloseList();
}

void TrmCustomBtnCombo::WMKillFocus() {
    thorn::ComponentRef<TrmCustomBtnCombo> self(this);
    TrmCustomBtnEdit::WMKillFocus();
    if (self) CloseList();
}

void TrmCustomBtnCombo::DoLBMouseDown(TObject*, TMouseButton, TShiftState, int, int) {
    const int index = list_->GetItemIndex();
    if (index < 0) return;
    HideList();
    // OnChange may free the combo.
    thorn::ComponentRef<TrmCustomBtnCombo> self(this);
    SetText(GetComboItems().Get(index));
    if (self) FocusAndSelect();
}

void TrmCustomBtnCombo::DoLBKeyDown(TObject*, TKey& key, TShiftState) {
    if (key == VK_ESCAPE) {
        key = 0;
        HideList();
        FocusAndSelect();
    } else if (key == VK_RETURN) {
        key = 0;
        HideList();
        thorn::ComponentRef<TrmCustomBtnCombo> self(this);
        if (const int index = list_->GetItemIndex(); index >= 0) SetText(GetComboItems().Get(index));
        if (self) FocusAndSelect();
    }
}

void TrmCustomBtnCombo::DoLBExit(TObject*) {
    if (list_->GetVisible()) HideList();
}

// ---- streaming

namespace {
constexpr std::string_view kBorderStyleNames[] = {"bsNone",   "bsSingle",     "bsSizeable",
                                                  "bsDialog", "bsToolWindow", "bsSizeToolWin"};
}  // namespace

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
                                   [this](TBorderStyle v) { SetBorderStyle(v); }, kBorderStyleNames, bsSingle);
    list.Boolean("ReadOnly", [this] { return GetReadOnly(); }, [this](bool v) { SetReadOnly(v); }, false);
    list.Boolean("Visible", [this] { return GetVisible(); }, [this](bool v) { SetVisible(v); }, true);
}
