#include "inspector/Rminspectoritems.h"

#include <cstdlib>
#include <limits>
#include <optional>
#include <string_view>

#include "inspector/ItemEditors.h"
#include "inspector/Rmbtnedit.h"
#include "inspector/Rmlibrary.h"
#include "inspector/TypedNumber.h"
#include "platform/Conversions.h"
#include "platform/Properties.h"

namespace {

constexpr std::string_view kStateNames[] = {"cbxUndefined", "cbxTrue", "cbxFalse"};

// The kinds and their editors are registered once, whoever starts the
// module first (its own initialisation or a grid).
int moduleCount = 0;

void InitializeItems() {
    if (moduleCount++ > 0) return;
    RegisterClass<TrmStringInspectorItem>("TrmStringInspectorItem");
    RegisterClass<TrmComplexInspectorItem>("TrmComplexInspectorItem");
    RegisterClass<TrmComboInspectorItem>("TrmComboInspectorItem");
    RegisterClass<TrmComboInspectorItemEx>("TrmComboInspectorItemEx");
    RegisterClass<TrmIntegerInspectorItem>("TrmIntegerInspectorItem");
    RegisterClass<TrmSafeIntegerInspectorItem>("TrmSafeIntegerInspectorItem");
    RegisterClass<TrmDateInspectorItem>("TrmDateInspectorItem");
    RegisterClass<TrmCheckBoxInspectorItem>("TrmCheckBoxInspectorItem");
    RegisterClass<TrmCheckBoxExInspectorItem>("TrmCheckBoxExInspectorItem");
    RegisterClass<TrmNodeInspectorItem>("TrmNodeInspectorItem");
    RegisterClass<TrmBlankInspectorItem>("TrmBlankInspectorItem");
    RegisterClass<TrmInspectorEdit>("TrmInspectorEdit");
    RegisterClass<TrmInspectorBtnCombo>("TrmInspectorBtnCombo");
    RegisterClass<TrmSafeSpinEdit>("TrmSafeSpinEdit");
    RegisterClass<TrmInspectorCheckBox>("TrmInspectorCheckBox");
    RegisterClass<TrmInspectorCheckBoxEx>("TrmInspectorCheckBoxEx");
    RegisterClass<TrmBtnEdit>("TrmBtnEdit");
}

const bool kRegistered = (InitializeItems(), true);

const thorn::ClassInfo* Registered(std::string_view name) {
    InitializeItems();
    return GetClass(name);
}

template <typename Editor>
Editor* EditorAs(const TrmCustomInspectorItem& item, TWinControl* editor) {
    return item.IsOwnEditor(editor) ? dynamic_cast<Editor*>(editor) : nullptr;
}

bool NoShiftKeys(TShiftState shift) {
    return !shift.Contains(ssShift) && !shift.Contains(ssAlt) && !shift.Contains(ssCtrl);
}

// What the edit-like editors of the grid share: the grid's font, no
// border, Tab for the grid, the selected row's colour.
void SetupEdit(TrmInspector& grid, TrmCustomEdit& edit) {
    edit.SetFont(grid.GetFont());
    edit.SetBorderStyle(bsNone);
    edit.SetWantTabs(true);
    edit.SetColor(grid.GetSelectedItemBgColor());
}

void SetupBox(TrmInspector& grid, TrmCustomCheckBox& box) {
    box.SetFont(grid.GetFont());
    box.SetCBXAlignment(cbxLeft);
    box.WantTabs = true;
    box.WantArrows = true;
    box.SetFlat(false);
    box.SetShowFocusRect(false);
    box.SetFillBackground(true);
    box.SetBackgroundColor(grid.GetSelectedItemBgColor());
}

// Up and Down of an editor move the grid's selection.
bool PassToGrid(TWinControl& editor, TKey& key, TShiftState shift) {
    if ((key != VK_UP && key != VK_DOWN) || !NoShiftKeys(shift)) return false;
    if (auto* grid = dynamic_cast<TrmInspector*>(editor.GetOwner())) grid->EditorKeyDown(&editor, key, shift);
    key = 0;
    return true;
}

// The edit's grid learns that it lost the keyboard: the edit has ended.
void TellGridOfFocusLost(TWinControl& editor) {
    if (auto* grid = dynamic_cast<TrmInspector*>(editor.GetOwner())) grid->EditorKillFocus(&editor);
}

}  // namespace

// ================================================================ the base

bool TrmCustomInspectorItem::IsOwnEditor(const TWinControl* editor) const {
    const thorn::ClassInfo* kind = EditorClass();
    return editor && kind && thorn::ClassOf(*editor) == kind;
}

const thorn::ClassInfo* TrmCustomInspectorItem::GetItemClass() const {
    std::string_view name = "TrmStringInspectorItem";
    if (dynamic_cast<const TrmStringInspectorItem*>(this)) name = "TrmStringInspectorItem";
    else if (dynamic_cast<const TrmComplexInspectorItem*>(this)) name = "TrmComplexInspectorItem";
    else if (dynamic_cast<const TrmComboInspectorItem*>(this)) name = "TrmComboInspectorItem";
    else if (dynamic_cast<const TrmComboInspectorItemEx*>(this)) name = "TrmComboInspectorItemEx";
    else if (dynamic_cast<const TrmIntegerInspectorItem*>(this)) name = "TrmIntegerInspectorItem";
    else if (dynamic_cast<const TrmDateInspectorItem*>(this)) name = "TrmDateInspectorItem";
    else if (dynamic_cast<const TrmCheckBoxInspectorItem*>(this)) name = "TrmCheckBoxInspectorItem";
    else if (dynamic_cast<const TrmNodeInspectorItem*>(this)) name = "TrmNodeInspectorItem";
    else if (dynamic_cast<const TrmSafeIntegerInspectorItem*>(this)) name = "TrmSafeIntegerInspectorItem";
    else if (dynamic_cast<const TrmBlankInspectorItem*>(this)) name = "TrmBlankInspectorItem";
    else if (dynamic_cast<const TrmCheckBoxExInspectorItem*>(this)) name = "TrmCheckBoxExInspectorItem";
    return Registered(name);
}

// ================================================================ string

TrmStringInspectorItem::TrmStringInspectorItem() : TrmCustomInspectorItem(true) {}

void TrmStringInspectorItem::SetValue(const std::string& value) {
    if (value == value_) return;
    value_ = value;
    ValueChanged();
}

const thorn::ClassInfo* TrmStringInspectorItem::EditorClass() const {
    static const thorn::ClassInfo* kind = Registered("TrmInspectorEdit");
    return kind;
}

void TrmStringInspectorItem::GetValueFromEditor(TWinControl* editor) {
    auto* edit = EditorAs<TrmInspectorEdit>(*this, editor);
    if (!edit) return;
    SetValue(edit->GetText());
    TrmCustomInspectorItem::GetValueFromEditor(editor);
}

void TrmStringInspectorItem::SetValueIntoEditor(TWinControl* editor) {
    if (auto* edit = EditorAs<TrmInspectorEdit>(*this, editor)) edit->SetText(value_);
}

void TrmStringInspectorItem::SetupEditor(TrmInspector* inspector, TWinControl* editor) {
    auto* edit = EditorAs<TrmInspectorEdit>(*this, editor);
    if (!edit || !inspector) return;
    SetupEdit(*inspector, *edit);
    edit->SetMaxLength(maxLength_);
    edit->SetPasswordChar(passwordChar_);
}

void TrmStringInspectorItem::PublishProperties(thorn::PropertyList& list) {
    TrmCustomInspectorItem::PublishProperties(list);
    list.Integer("MaxLength", [this] { return maxLength_; }, [this](int32_t v) { SetMaxLength(v); }, 0);
    list.Char("PasswordChar", [this] { return passwordChar_; }, [this](char v) { SetPasswordChar(v); }, '\0');
    list.String("Value", [this] { return value_; }, [this](const std::string& v) { SetValue(v); });
}

// ================================================================ complex

TrmComplexInspectorItem::TrmComplexInspectorItem() : TrmCustomInspectorItem(true) {}

void TrmComplexInspectorItem::SetValue(const std::string& value) {
    if (value == value_) return;
    value_ = value;
    ValueChanged();
}

const thorn::ClassInfo* TrmComplexInspectorItem::EditorClass() const {
    static const thorn::ClassInfo* kind = Registered("TrmBtnEdit");
    return kind;
}

void TrmComplexInspectorItem::GetValueFromEditor(TWinControl* editor) {
    if (IsOwnEditor(editor)) TrmCustomInspectorItem::GetValueFromEditor(editor);
}

void TrmComplexInspectorItem::SetValueIntoEditor(TWinControl* editor) {
    if (auto* edit = EditorAs<TrmBtnEdit>(*this, editor)) edit->SetText(value_);
}

void TrmComplexInspectorItem::SetupEditor(TrmInspector* inspector, TWinControl* editor) {
    auto* edit = EditorAs<TrmBtnEdit>(*this, editor);
    if (!edit || !inspector) return;
    SetupEdit(*inspector, *edit);
    edit->SetReadOnly(true);
    thorn::ComponentRef<TrmInspector> grid(inspector);
    edit->OnBtn1Click = [grid](TObject* sender) {
        if (grid) grid->DoComplexEdit(sender);
    };
}

void TrmComplexInspectorItem::PublishProperties(thorn::PropertyList& list) {
    TrmCustomInspectorItem::PublishProperties(list);
    list.String("Value", [this] { return value_; }, [this](const std::string& v) { SetValue(v); });
}

// ================================================================ combo

TrmComboInspectorItem::TrmComboInspectorItem() : TrmCustomInspectorItem(true) {}

void TrmComboInspectorItem::SetValue(const std::string& value) {
    if (value == value_) return;
    value_ = value;
    ValueChanged();
}

const thorn::ClassInfo* TrmComboInspectorItem::EditorClass() const {
    static const thorn::ClassInfo* kind = Registered("TrmInspectorBtnCombo");
    return kind;
}

void TrmComboInspectorItem::GetValueFromEditor(TWinControl* editor) {
    auto* combo = EditorAs<TrmInspectorBtnCombo>(*this, editor);
    if (!combo) return;
    SetValue(combo->GetText());
    TrmCustomInspectorItem::GetValueFromEditor(editor);
}

void TrmComboInspectorItem::SetValueIntoEditor(TWinControl* editor) {
    auto* combo = EditorAs<TrmInspectorBtnCombo>(*this, editor);
    if (!combo) return;
    // An entry chosen that shows the value stays chosen: of two entries of
    // one text, the user's is the one the row's handler finds.
    const int chosen = combo->GetItemIndex();
    if (chosen >= 0 && chosen < combo->GetItems()->GetCount() && combo->GetItems()->Get(chosen) == value_) return;
    combo->SetItemIndex(combo->GetItems()->IndexOf(value_));
}

void TrmComboInspectorItem::SetupEditor(TrmInspector* inspector, TWinControl* editor) {
    auto* combo = EditorAs<TrmInspectorBtnCombo>(*this, editor);
    if (!combo || !inspector) return;
    combo->SetCtl3D(false);
    combo->SetColor(inspector->GetSelectedItemBgColor());
    combo->SetFont(inspector->GetFont());
    combo->SetItems(items_);
    combo->SetItemIndex(0);
    // The list's rows as high as the text, so that the box fills the cell.
    combo->SetItemHeight(std::abs(inspector->RowHeight() - 7));
    combo->SetStyle(csOwnerDrawFixed);
}

void TrmComboInspectorItem::PublishProperties(thorn::PropertyList& list) {
    TrmCustomInspectorItem::PublishProperties(list);
    list.String("Value", [this] { return value_; }, [this](const std::string& v) { SetValue(v); });
    list.Object("Items", [this] { return &items_; });
}

// The editor lives in the library above this one, which registers it when
// it is linked in: it is looked up each time, never kept as missing.
const thorn::ClassInfo* TrmComboInspectorItemEx::EditorClass() const { return Registered("TrmBtnCombo"); }

void TrmComboInspectorItemEx::GetValueFromEditor(TWinControl* editor) {
    if (!IsOwnEditor(editor)) return;
    SetValue(editor->GetText());
    TrmCustomInspectorItem::GetValueFromEditor(editor);
}

void TrmComboInspectorItemEx::SetValueIntoEditor(TWinControl* editor) {
    auto* combo = EditorAs<thorn::ComboExEditor>(*this, editor);
    if (combo) combo->SetItemIndex(GetItems().IndexOf(GetValue()));
}

void TrmComboInspectorItemEx::SetupEditor(TrmInspector* inspector, TWinControl* editor) {
    auto* combo = EditorAs<thorn::ComboExEditor>(*this, editor);
    auto* edit = EditorAs<TrmCustomBtnEdit>(*this, editor);
    if (!combo || !edit || !inspector) return;
    edit->SetBorderStyle(bsNone);
    edit->SetReadOnly(true);
    edit->SetFont(inspector->GetFont());
    combo->SetComboItems(GetItems());
    combo->SetItemIndex(0);
    edit->SetEditorEnabled(false);
    thorn::ComponentRef<TrmInspector> grid(inspector);
    combo->SetEllipsisClick([grid](TObject* sender) {
        if (grid) grid->DoComplexEdit(sender);
    });
}

// ================================================================ integer

TrmIntegerInspectorItem::TrmIntegerInspectorItem() : TrmCustomInspectorItem(true) {}

void TrmIntegerInspectorItem::CheckRange(int32_t value) const {
    if (value > maxValue_ || value < minValue_)
        throw ErmInspectorError("Value must be between " + IntToStr(minValue_) + " and " + IntToStr(maxValue_));
}

void TrmIntegerInspectorItem::SetValue(int32_t value) {
    // A form stream may give the value before the range it belongs to.
    if (useRange_ && !Loading()) CheckRange(value);
    if (value == value_) return;
    value_ = value;
    ValueChanged();
}

void TrmIntegerInspectorItem::SetMaxValue(int32_t value) {
    if (!Loading() && value <= minValue_) return;
    maxValue_ = value;
    if (useRange_ && !Loading() && value_ > maxValue_) {
        value_ = maxValue_;
        ValueChanged();
    }
}

void TrmIntegerInspectorItem::SetMinValue(int32_t value) {
    if (!Loading() && value >= maxValue_) return;
    minValue_ = value;
    if (useRange_ && !Loading() && value_ < minValue_) {
        value_ = minValue_;
        ValueChanged();
    }
}

std::string TrmIntegerInspectorItem::GetStringValue() const { return IntToStr(value_); }

void TrmIntegerInspectorItem::SetStringValue(const std::string& value) { SetValue(StrToInt(value)); }

const thorn::ClassInfo* TrmIntegerInspectorItem::EditorClass() const {
    static const thorn::ClassInfo* kind = Registered("TrmInspectorEdit");
    return kind;
}

int32_t TrmIntegerInspectorItem::KeptTyped(int64_t number) const {
    if (useRange_) return thorn::KeptInRange(number, minValue_, maxValue_);
    return thorn::KeptInRange(number, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max());
}

void TrmIntegerInspectorItem::GetValueFromEditor(TWinControl* editor) {
    if (!IsOwnEditor(editor)) return;
    // A number typed digit by digit passes through numbers beyond the range
    // ("1" on the way to "150" in 100..200): the row keeps the nearest one
    // and the grid leaves the text as typed until the edit ends. Text that
    // is not a number yet ("", "-") waits for the next key.
    const std::string& text = editor->GetText();
    if (const std::optional<int64_t> number = thorn::TypedNumber(text); number && text != GetAsString())
        SetValue(KeptTyped(*number));
    TrmCustomInspectorItem::GetValueFromEditor(editor);
}

void TrmIntegerInspectorItem::SetValueIntoEditor(TWinControl* editor) {
    if (IsOwnEditor(editor)) editor->SetText(GetAsString());
}

void TrmIntegerInspectorItem::RefreshEditor(TWinControl* editor, bool typing) {
    if (!typing) SetValueIntoEditor(editor);
}

void TrmIntegerInspectorItem::SetupEditor(TrmInspector* inspector, TWinControl* editor) {
    auto* edit = EditorAs<TrmCustomEdit>(*this, editor);
    if (edit && inspector) SetupEdit(*inspector, *edit);
}

void TrmIntegerInspectorItem::PublishProperties(thorn::PropertyList& list) {
    TrmCustomInspectorItem::PublishProperties(list);
    list.Integer("MinValue", [this] { return minValue_; }, [this](int32_t v) { SetMinValue(v); }, 0);
    list.Integer("MaxValue", [this] { return maxValue_; }, [this](int32_t v) { SetMaxValue(v); }, 1);
    list.Boolean("UseRange", [this] { return useRange_; }, [this](bool v) { SetUseRange(v); }, false);
    list.Integer("Value", [this] { return value_; }, [this](int32_t v) { SetValue(v); });
}

// ================================================================ safe integer

TrmSafeIntegerInspectorItem::TrmSafeIntegerInspectorItem() {
    SetMaxValue(255);
    SetMinValue(0);
    SetUseRange(true);
}

void TrmSafeIntegerInspectorItem::SetText(const std::string& text) {
    if (int32_t number = 0; TryStrToInt(text, number)) StoreValue(number);
    if (text == text_) return;
    text_ = text;
    ValueChanged();
}

void TrmSafeIntegerInspectorItem::SetValue(int32_t value) {
    if (GetUseRange() && !Loading() && (value < GetMinValue() || value > GetMaxValue())) return;
    SetText(IntToStr(value));
}

void TrmSafeIntegerInspectorItem::SetStringValue(const std::string& value) {
    if (value.empty()) {
        SetText({});
        return;
    }
    const int32_t number = StrToInt(value);
    if (!GetUseRange() || Loading()) {
        SetText(value);
        return;
    }
    if (number < GetMinValue() || number > GetMaxValue()) return;
    SetText(IntToStr(number));
}

void TrmSafeIntegerInspectorItem::SetMaxValue(int32_t value) {
    const int32_t before = GetMaxValue();
    TrmIntegerInspectorItem::SetMaxValue(value);
    if (GetMaxValue() == before || Loading() || !GetUseRange() || text_.empty()) return;
    if (int32_t number = 0; TryStrToInt(text_, number) && number > GetMaxValue()) SetText(IntToStr(GetMaxValue()));
}

void TrmSafeIntegerInspectorItem::SetMinValue(int32_t value) {
    const int32_t before = GetMinValue();
    TrmIntegerInspectorItem::SetMinValue(value);
    if (GetMinValue() == before || Loading() || !GetUseRange() || text_.empty()) return;
    if (int32_t number = 0; TryStrToInt(text_, number) && number < GetMinValue()) SetText(IntToStr(GetMinValue()));
}

const thorn::ClassInfo* TrmSafeIntegerInspectorItem::EditorClass() const {
    static const thorn::ClassInfo* kind = Registered("TrmSafeSpinEdit");
    return kind;
}

void TrmSafeIntegerInspectorItem::GetValueFromEditor(TWinControl* editor) {
    if (!IsOwnEditor(editor)) return;
    const std::string& text = editor->GetText();
    // An empty text is a value here; "-" is a number not typed yet; a number
    // beyond the range is kept inside it, as the integer kind keeps it.
    if (text != text_) {
        if (text.empty())
            SetText({});
        else if (const std::optional<int64_t> number = thorn::TypedNumber(text))
            SetText(IntToStr(KeptTyped(*number)));
    }
    TrmCustomInspectorItem::GetValueFromEditor(editor);
}

void TrmSafeIntegerInspectorItem::SetValueIntoEditor(TWinControl* editor) {
    if (!IsOwnEditor(editor)) return;
    // The spin buttons step inside the row's range, as it stands now; what
    // is typed stays as typed until the edit ends.
    if (auto* spin = dynamic_cast<TrmSpinEdit*>(editor)) ShareRange(*spin);
    editor->SetText(text_);
    editor->Invalidate();
}

void TrmSafeIntegerInspectorItem::ShareRange(TrmSpinEdit& spin) const {
    // Each limit is refused while it crosses the other: the one that moves
    // away from the other goes first.
    if (GetMinValue() > spin.GetMaxValue()) {
        spin.SetMaxValue(GetMaxValue());
        spin.SetMinValue(GetMinValue());
    } else {
        spin.SetMinValue(GetMinValue());
        spin.SetMaxValue(GetMaxValue());
    }
    if (spin.GetUseRanges() != GetUseRange()) spin.SetUseRanges(GetUseRange());
}

void TrmSafeIntegerInspectorItem::SetupEditor(TrmInspector* inspector, TWinControl* editor) {
    auto* edit = EditorAs<TrmCustomEdit>(*this, editor);
    if (edit && inspector) SetupEdit(*inspector, *edit);
}

void TrmSafeIntegerInspectorItem::PublishProperties(thorn::PropertyList& list) {
    TrmCustomInspectorItem::PublishProperties(list);
    list.Integer("MinValue", [this] { return GetMinValue(); }, [this](int32_t v) { SetMinValue(v); }, 0);
    list.Integer("MaxValue", [this] { return GetMaxValue(); }, [this](int32_t v) { SetMaxValue(v); }, 1);
    list.Boolean("UseRange", [this] { return GetUseRange(); }, [this](bool v) { SetUseRange(v); }, false);
    // The text (AsString) is the value; the number is not stored beside it,
    // so an empty text reads back empty.
    list.Integer("Value", [this] { return GetValue(); }, [this](int32_t v) { SetValue(v); });
    list.StoredWhen([] { return false; });
}

// ================================================================ date

TrmDateInspectorItem::TrmDateInspectorItem() : TrmCustomInspectorItem(true) {}

bool TrmDateInspectorItem::Loading() const { return IsLoading(); }

void TrmDateInspectorItem::SetValue(TDateTime value) {
    if (value == value_) return;
    value_ = value;
    ValueChanged();
}

std::string TrmDateInspectorItem::GetStringValue() const { return DateToStr(value_); }

void TrmDateInspectorItem::SetStringValue(const std::string& value) {
    // In a form stream the text only repeats Value, which follows it exactly
    // (a date past the calendar's years has no text that reads back).
    if (TDateTime date = 0; Loading() && !TryStrToDate(value, date)) return;
    SetValue(StrToDate(value));
}

const thorn::ClassInfo* TrmDateInspectorItem::EditorClass() const { return Registered("TrmComboCalendar"); }

void TrmDateInspectorItem::GetValueFromEditor(TWinControl* editor) {
    auto* calendar = EditorAs<thorn::DateEditor>(*this, editor);
    if (!calendar) return;
    SetValue(calendar->GetDate());
    TrmCustomInspectorItem::GetValueFromEditor(editor);
}

void TrmDateInspectorItem::SetValueIntoEditor(TWinControl* editor) {
    if (auto* calendar = EditorAs<thorn::DateEditor>(*this, editor)) calendar->SetDate(value_);
}

void TrmDateInspectorItem::SetupEditor(TrmInspector* inspector, TWinControl* editor) {
    auto* calendar = EditorAs<thorn::DateEditor>(*this, editor);
    auto* edit = EditorAs<TrmCustomEdit>(*this, editor);
    if (!calendar || !edit || !inspector) return;
    SetupEdit(*inspector, *edit);
    calendar->SetDateFormat(dateFormat_);
}

void TrmDateInspectorItem::PublishProperties(thorn::PropertyList& list) {
    TrmCustomInspectorItem::PublishProperties(list);
    list.Date("Value", [this] { return value_; }, [this](TDateTime v) { SetValue(v); });
    list.String("DateFormat", [this] { return dateFormat_; }, [this](const std::string& v) { SetDateFormat(v); });
}

// ================================================================ check box

TrmCheckBoxInspectorItem::TrmCheckBoxInspectorItem() : TrmCustomInspectorItem(true) {}

void TrmCheckBoxInspectorItem::SetValue(bool value) {
    if (value == value_) return;
    value_ = value;
    ValueChanged();
}

std::string TrmCheckBoxInspectorItem::GetStringValue() const { return BoolToStr(value_); }

void TrmCheckBoxInspectorItem::SetStringValue(const std::string& value) { SetValue(StrToBool(value)); }

const thorn::ClassInfo* TrmCheckBoxInspectorItem::EditorClass() const {
    static const thorn::ClassInfo* kind = Registered("TrmInspectorCheckBox");
    return kind;
}

void TrmCheckBoxInspectorItem::GetValueFromEditor(TWinControl* editor) {
    if (auto* box = EditorAs<TrmInspectorCheckBox>(*this, editor)) SetStringValue(BoolToStr(box->GetChecked()));
}

void TrmCheckBoxInspectorItem::SetValueIntoEditor(TWinControl* editor) {
    auto* box = EditorAs<TrmInspectorCheckBox>(*this, editor);
    if (!box) return;
    box->SetChecked(StrToBool(GetAsString()));
    box->Invalidate();
}

void TrmCheckBoxInspectorItem::SetupEditor(TrmInspector* inspector, TWinControl* editor) {
    auto* box = EditorAs<TrmInspectorCheckBox>(*this, editor);
    if (!box || !inspector) return;
    SetupBox(*inspector, *box);
    box->SetCaptionTrueFalse(true);
}

void TrmCheckBoxInspectorItem::PublishProperties(thorn::PropertyList& list) {
    TrmCustomInspectorItem::PublishProperties(list);
    list.Boolean("Value", [this] { return value_; }, [this](bool v) { SetValue(v); });
}

// ================================================================ three-state check box

TrmCheckBoxExInspectorItem::TrmCheckBoxExInspectorItem()
    : TrmCustomInspectorItem(true), strings_(std::make_unique<TrmCheckBoxExStrings>()) {}

TrmCheckBoxExInspectorItem::~TrmCheckBoxExInspectorItem() = default;

void TrmCheckBoxExInspectorItem::SetValue(TCBExState value) {
    if (value == state_) return;
    state_ = value;
    ValueChanged();
}

void TrmCheckBoxExInspectorItem::SetStrings(const TrmCheckBoxExStrings& value) {
    strings_->Assign(value);
    ValueChanged();
}

void TrmCheckBoxExInspectorItem::SetStringValue(const std::string& value) {
    TCBExState state = cbxUndefined;
    if (value == strings_->GetTrueState()) state = cbxTrue;
    if (value == strings_->GetFalseState()) state = cbxFalse;
    SetValue(state);
}

const thorn::ClassInfo* TrmCheckBoxExInspectorItem::EditorClass() const {
    static const thorn::ClassInfo* kind = Registered("TrmInspectorCheckBoxEx");
    return kind;
}

void TrmCheckBoxExInspectorItem::GetValueFromEditor(TWinControl* editor) {
    auto* box = EditorAs<TrmInspectorCheckBoxEx>(*this, editor);
    if (!box) return;
    SetValue(box->GetValue());
    TrmCustomInspectorItem::GetValueFromEditor(editor);
}

void TrmCheckBoxExInspectorItem::SetValueIntoEditor(TWinControl* editor) {
    auto* box = EditorAs<TrmInspectorCheckBoxEx>(*this, editor);
    if (!box) return;
    // The captions follow too: they may have changed since the box opened.
    box->SetStrings(*strings_);
    box->SetValue(state_);
}

void TrmCheckBoxExInspectorItem::SetupEditor(TrmInspector* inspector, TWinControl* editor) {
    auto* box = EditorAs<TrmInspectorCheckBoxEx>(*this, editor);
    if (!box || !inspector) return;
    SetupBox(*inspector, *box);
    box->SetCaptionTrueFalse(false);
    box->SetAlwaysLight(false);
    box->SetStrings(*strings_);
    box->SetFullMode(undefinedEnable_);
}

void TrmCheckBoxExInspectorItem::PublishProperties(thorn::PropertyList& list) {
    TrmCustomInspectorItem::PublishProperties(list);
    list.Enumeration<TCBExState>("State", [this] { return state_; }, [this](TCBExState v) { SetValue(v); },
                                 kStateNames);
    list.Object("Strings", [this] { return strings_.get(); });
    list.Boolean("UndefinedEnable", [this] { return undefinedEnable_; }, [this](bool v) { SetUndefinedEnable(v); },
                 false);
}

// ================================================================ group and blank

void TrmNodeInspectorItem::SetValue(const std::string& value) {
    if (value == value_) return;
    value_ = value;
    ValueChanged();
}

void TrmNodeInspectorItem::PublishProperties(thorn::PropertyList& list) {
    TrmCustomInspectorItem::PublishProperties(list);
    list.String("Value", [this] { return value_; }, [this](const std::string& v) { SetValue(v); });
}

void TrmBlankInspectorItem::SetValue(const std::string& value) {
    if (value == value_) return;
    value_ = value;
    ValueChanged();
}

void TrmBlankInspectorItem::PublishProperties(thorn::PropertyList& list) {
    TrmCustomInspectorItem::PublishProperties(list);
    list.String("Value", [this] { return value_; }, [this](const std::string& v) { SetValue(v); });
}

// ================================================================ editors

void TrmInspectorEdit::KeyPress(char& key) {
    if (key == '\t') key = 0;
    TrmCustomEdit::KeyPress(key);
}

void TrmInspectorEdit::WMKillFocus() {
    TrmCustomEdit::WMKillFocus();
    TellGridOfFocusLost(*this);
}

void TrmInspectorBtnCombo::KeyDown(TKey& key, TShiftState shift) {
    if (GetDroppedDown()) {
        // While the list is down every key is the combo box's: the list's
        // keys move its choice, not the grid's row.
        ComboKeyDown(key, shift);
        if (key == 0) return;
    } else if (PassToGrid(*this, key, shift)) {
        return;
    }
    TrmComboBox::KeyDown(key, shift);
}

void TrmSafeSpinEdit::IncValue() { StepBy(GetText().empty() ? GetMinValue() : GetValue(), GetIncrement()); }

void TrmSafeSpinEdit::DecValue() {
    StepBy(GetText().empty() ? GetMaxValue() : GetValue(), -static_cast<int64_t>(GetIncrement()));
}

void TrmSafeSpinEdit::WMKillFocus() {
    TrmSpinEdit::WMKillFocus();
    TellGridOfFocusLost(*this);
}

void TrmInspectorCheckBox::KeyDown(TKey& key, TShiftState shift) {
    if (!PassToGrid(*this, key, shift)) TrmCheckBox::KeyDown(key, shift);
}

void TrmInspectorCheckBox::KeyPress(char& key) {
    if (key == '\t') key = 0;
    TrmCheckBox::KeyPress(key);
}

void TrmInspectorCheckBoxEx::KeyDown(TKey& key, TShiftState shift) {
    if (!PassToGrid(*this, key, shift)) TrmCheckBoxEx::KeyDown(key, shift);
}

void TrmInspectorCheckBoxEx::KeyPress(char& key) {
    if (key == '\t') key = 0;
    TrmCheckBoxEx::KeyPress(key);
}
