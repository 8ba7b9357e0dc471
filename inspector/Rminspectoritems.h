#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "inspector/Rmbaseedit.h"
#include "inspector/Rmcheckbox.h"
#include "inspector/Rmcombobox.h"
#include "inspector/Rminspector.h"
#include "inspector/Rmspin.h"
#include "platform/DateTime.h"
#include "platform/StringList.h"

// The eleven kinds of grid rows and the editors made for them. Every kind
// keeps its value, shows it as the row's text, takes it from a text, and
// opens, prepares and reads its editor (an editor of another class is left
// alone). A kind's class name is how form streams and the editor's grids
// create it.

// ---- the kinds

class TrmStringInspectorItem : public TrmCustomInspectorItem {
public:
    TrmStringInspectorItem();

    const std::string& GetValue() const { return value_; }
    void SetValue(const std::string& value);
    int GetMaxLength() const { return maxLength_; }
    void SetMaxLength(int value) { maxLength_ = value; }
    char GetPasswordChar() const { return passwordChar_; }
    void SetPasswordChar(char value) { passwordChar_ = value; }

    std::string GetStringValue() const override { return value_; }
    void SetStringValue(const std::string& value) override { SetValue(value); }
    const thorn::ClassInfo* EditorClass() const override;
    void GetValueFromEditor(TWinControl* editor) override;
    void SetValueIntoEditor(TWinControl* editor) override;
    void SetupEditor(TrmInspector* inspector, TWinControl* editor) override;
    void PublishProperties(thorn::PropertyList& list) override;

private:
    std::string value_;
    int maxLength_ = 0;
    char passwordChar_ = 0;
};

// A long text, edited elsewhere: its row shows it in a read-only button
// edit whose ellipsis raises the grid's OnComplexEdit.
class TrmComplexInspectorItem : public TrmCustomInspectorItem {
public:
    TrmComplexInspectorItem();

    const std::string& GetValue() const { return value_; }
    void SetValue(const std::string& value);

    std::string GetStringValue() const override { return value_; }
    void SetStringValue(const std::string& value) override { SetValue(value); }
    const thorn::ClassInfo* EditorClass() const override;
    // The editor is read-only: only the summary follows.
    void GetValueFromEditor(TWinControl* editor) override;
    void SetValueIntoEditor(TWinControl* editor) override;
    void SetupEditor(TrmInspector* inspector, TWinControl* editor) override;
    void PublishProperties(thorn::PropertyList& list) override;

private:
    std::string value_;
};

// A choice among Items.
class TrmComboInspectorItem : public TrmCustomInspectorItem {
public:
    TrmComboInspectorItem();

    const std::string& GetValue() const { return value_; }
    void SetValue(const std::string& value);
    TStringList& GetItems() { return items_; }
    void SetItems(const TStrings& value) { items_.Assign(value); }

    std::string GetStringValue() const override { return value_; }
    void SetStringValue(const std::string& value) override { SetValue(value); }
    const thorn::ClassInfo* EditorClass() const override;
    void GetValueFromEditor(TWinControl* editor) override;
    void SetValueIntoEditor(TWinControl* editor) override;
    void SetupEditor(TrmInspector* inspector, TWinControl* editor) override;
    void PublishProperties(thorn::PropertyList& list) override;

private:
    std::string value_;
    TStringList items_;
};

// The combo kind whose editor is the button combo of the secondary
// controls (found by its class name; without that library the row opens no
// editor): a read-only choice whose ellipsis raises the grid's
// OnComplexEdit. The value shows in the editor and is taken from it.
class TrmComboInspectorItemEx : public TrmComboInspectorItem {
public:
    const thorn::ClassInfo* EditorClass() const override;
    void GetValueFromEditor(TWinControl* editor) override;
    void SetValueIntoEditor(TWinControl* editor) override;
    void SetupEditor(TrmInspector* inspector, TWinControl* editor) override;
};

class TrmIntegerInspectorItem : public TrmCustomInspectorItem {
public:
    TrmIntegerInspectorItem();

    int32_t GetValue() const { return value_; }
    // With UseRange, a number outside MinValue..MaxValue raises "Value must
    // be between <min> and <max>" and the value stays.
    virtual void SetValue(int32_t value);
    int32_t GetMinValue() const { return minValue_; }
    // Taken only below MaxValue; with UseRange a smaller value follows.
    virtual void SetMinValue(int32_t value);
    int32_t GetMaxValue() const { return maxValue_; }
    // Taken only above MinValue; with UseRange a larger value follows.
    virtual void SetMaxValue(int32_t value);
    bool GetUseRange() const { return useRange_; }
    void SetUseRange(bool value) { useRange_ = value; }

    std::string GetStringValue() const override;
    // Text that is no integer raises the conversion error.
    void SetStringValue(const std::string& value) override;
    const thorn::ClassInfo* EditorClass() const override;
    // Text that is not (yet) a number keeps the value, without a message; a
    // number beyond the range is kept inside it, without a message. The
    // row's own text is no edit (a value the program stored beyond the range
    // stays).
    void GetValueFromEditor(TWinControl* editor) override;
    void SetValueIntoEditor(TWinControl* editor) override;
    void SetupEditor(TrmInspector* inspector, TWinControl* editor) override;
    // A number being typed stays in the editor as typed, until the edit ends.
    void RefreshEditor(TWinControl* editor, bool typing) override;
    void PublishProperties(thorn::PropertyList& list) override;

protected:
    void CheckRange(int32_t value) const;
    // A typed number as the row keeps it: inside the range with UseRange,
    // inside 32 bits without.
    int32_t KeptTyped(int64_t number) const;
    bool Loading() const { return IsLoading(); }
    void StoreValue(int32_t value) { value_ = value; }

private:
    int32_t value_ = 0;
    bool useRange_ = false;
    int32_t maxValue_ = 1;
    int32_t minValue_ = 0;
};

// An integer kept as text, which may be empty; a number outside the range
// is ignored without a message.
class TrmSafeIntegerInspectorItem : public TrmIntegerInspectorItem {
public:
    TrmSafeIntegerInspectorItem();

    const std::string& GetText() const { return text_; }
    void SetValue(int32_t value) override;
    void SetMinValue(int32_t value) override;
    void SetMaxValue(int32_t value) override;

    std::string GetStringValue() const override { return text_; }
    void SetStringValue(const std::string& value) override;
    const thorn::ClassInfo* EditorClass() const override;
    void SetValueIntoEditor(TWinControl* editor) override;
    void SetupEditor(TrmInspector* inspector, TWinControl* editor) override;
    void PublishProperties(thorn::PropertyList& list) override;

    void GetValueFromEditor(TWinControl* editor) override;

private:
    void SetText(const std::string& text);
    // Gives the row's range to its spin edit.
    void ShareRange(TrmSpinEdit& spin) const;

    std::string text_;
};

// A date, shown in the short date format, edited in the date edit of the
// secondary controls (found by its class name; without that library the row
// opens no editor).
class TrmDateInspectorItem : public TrmCustomInspectorItem {
public:
    TrmDateInspectorItem();

    TDateTime GetValue() const { return value_; }
    void SetValue(TDateTime value);
    const std::string& GetDateFormat() const { return dateFormat_; }
    void SetDateFormat(const std::string& value) { dateFormat_ = value; }

    std::string GetStringValue() const override;
    // Text that is no date raises the conversion error.
    void SetStringValue(const std::string& value) override;
    const thorn::ClassInfo* EditorClass() const override;
    void GetValueFromEditor(TWinControl* editor) override;
    void SetValueIntoEditor(TWinControl* editor) override;
    void SetupEditor(TrmInspector* inspector, TWinControl* editor) override;
    void PublishProperties(thorn::PropertyList& list) override;

private:
    bool Loading() const;

    TDateTime value_ = 0;
    std::string dateFormat_;
};

class TrmCheckBoxInspectorItem : public TrmCustomInspectorItem {
public:
    TrmCheckBoxInspectorItem();

    bool GetValue() const { return value_; }
    void SetValue(bool value);

    std::string GetStringValue() const override;
    void SetStringValue(const std::string& value) override;
    const thorn::ClassInfo* EditorClass() const override;
    void GetValueFromEditor(TWinControl* editor) override;
    // Shows the value without reporting a change.
    void SetValueIntoEditor(TWinControl* editor) override;
    void SetupEditor(TrmInspector* inspector, TWinControl* editor) override;
    void PublishProperties(thorn::PropertyList& list) override;

private:
    bool value_ = false;
};

// Three states shown by their captions: true, false and undefined (a mixed
// selection; chosen by the user only with UndefinedEnable).
class TrmCheckBoxExInspectorItem : public TrmCustomInspectorItem {
public:
    TrmCheckBoxExInspectorItem();
    ~TrmCheckBoxExInspectorItem() override;

    TCBExState GetState() const { return state_; }
    void SetValue(TCBExState value);
    void SetState(TCBExState value) { SetValue(value); }
    TrmCheckBoxExStrings& GetStrings() const { return *strings_; }
    // Takes a copy of the captions.
    void SetStrings(const TrmCheckBoxExStrings& value);
    bool GetUndefinedEnable() const { return undefinedEnable_; }
    void SetUndefinedEnable(bool value) { undefinedEnable_ = value; }

    std::string GetStringValue() const override { return strings_->CaptionOf(state_); }
    // The state whose caption the text is (FalseState tested last);
    // Undefined for any other text.
    void SetStringValue(const std::string& value) override;
    const thorn::ClassInfo* EditorClass() const override;
    void GetValueFromEditor(TWinControl* editor) override;
    void SetValueIntoEditor(TWinControl* editor) override;
    void SetupEditor(TrmInspector* inspector, TWinControl* editor) override;
    void PublishProperties(thorn::PropertyList& list) override;

private:
    TCBExState state_ = cbxUndefined;
    std::unique_ptr<TrmCheckBoxExStrings> strings_;
    bool undefinedEnable_ = false;
};

// A group row: its value is the summary of its children.
class TrmNodeInspectorItem : public TrmCustomInspectorItem {
public:
    const std::string& GetValue() const { return value_; }
    void SetValue(const std::string& value);
    // Stores the summary the grid computed, without telling anyone.
    void SetSummary(const std::string& value) { value_ = value; }

    std::string GetStringValue() const override { return value_; }
    void SetStringValue(const std::string& value) override { SetValue(value); }
    const thorn::ClassInfo* EditorClass() const override { return nullptr; }
    void SetValueIntoEditor(TWinControl* editor) override {}
    void SetupEditor(TrmInspector* inspector, TWinControl* editor) override {}
    void PublishProperties(thorn::PropertyList& list) override;

private:
    std::string value_;
};

// A row that only shows a text.
class TrmBlankInspectorItem : public TrmCustomInspectorItem {
public:
    const std::string& GetValue() const { return value_; }
    void SetValue(const std::string& value);

    std::string GetStringValue() const override { return value_; }
    void SetStringValue(const std::string& value) override { SetValue(value); }
    const thorn::ClassInfo* EditorClass() const override { return nullptr; }
    void SetValueIntoEditor(TWinControl* editor) override {}
    void SetupEditor(TrmInspector* inspector, TWinControl* editor) override {}
    void PublishProperties(thorn::PropertyList& list) override;

private:
    std::string value_;
};

// ---- the editors made for the grid

// The string and integer rows' edit; a typed Tab is dropped (the Tab key
// itself reaches the grid). Its grid learns when it loses the keyboard.
class TrmInspectorEdit : public TrmCustomEdit {
protected:
    void KeyPress(char& key) override;
    void WMKillFocus() override;
};

// The combo rows' editor: Up and Down move the grid's selection while the
// list is closed; while it is down, every key is the combo box's.
class TrmInspectorBtnCombo : public TrmComboBox {
protected:
    void KeyDown(TKey& key, TShiftState shift) override;
};

// The safe integer rows' spin edit: a step from an empty text starts at a
// limit, and leaving it never rewrites the text itself (the row keeps the
// range, and its grid, which learns when the edit loses the keyboard, shows
// the stored value again).
class TrmSafeSpinEdit : public TrmSpinEdit {
protected:
    void IncValue() override;
    void DecValue() override;
    void ExitCheck() override {}
    void WMKillFocus() override;
};

// The check-box rows' editors: Up and Down move the grid's selection, a
// typed Tab is dropped.
class TrmInspectorCheckBox : public TrmCheckBox {
protected:
    void KeyDown(TKey& key, TShiftState shift) override;
    void KeyPress(char& key) override;
};

class TrmInspectorCheckBoxEx : public TrmCheckBoxEx {
protected:
    void KeyDown(TKey& key, TShiftState shift) override;
    void KeyPress(char& key) override;
};
