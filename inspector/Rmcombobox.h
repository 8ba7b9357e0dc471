#pragma once

#include <cstdint>
#include <string>

#include "gui/ComboBox.h"
#include "platform/StringList.h"

// The registry root a combo box keeps its history under.
enum TRegKey : uint8_t { rkHKEY_CLASSES_ROOT, rkHKEY_CURRENT_USER, rkHKEY_LOCAL_MACHINE, rkHKEY_USERS };

// The combo box with two additions: the typed text completes from the
// items (TextCompletion), and an input history (History, most recent first,
// at most MaxHistory entries) that can be kept in the registry as the string
// values "Item_0", "Item_1" ... of the key RegName under RegPath, and shown
// as the items (MRUCombo).
//
// A completion comes when the key of a typed character is released with the
// caret at the end of the text: the first item that begins with the text is
// shown, the rest of it selected. Down shows the next such item, Left keeps
// the completed text with the caret after the typed part, Right accepts it.
// Keys that type nothing never complete, so a deleted tail stays deleted.
//
// Enter records the text in the history (AutoUpdateHistory), as leaving
// the control does; Escape puts back the text the control had when it took
// the focus (or at the last history update) and selects it.
class TrmComboBox : public TCustomComboBox {
public:
    TrmComboBox();
    ~TrmComboBox() override;

    bool GetTextCompletion() const { return textCompletion_; }
    void SetTextCompletion(bool value) { textCompletion_ = value; }
    TStringList& GetHistory() { return history_; }
    // Takes a copy of the lines.
    void SetHistory(const TStrings& value) { history_.Assign(value); }
    // How many entries the history keeps: each history update drops the
    // oldest beyond it, and the registry holds as many. Setting it cuts
    // nothing at once.
    int GetMaxHistory() const { return maxHistory_; }
    void SetMaxHistory(int value) { maxHistory_ = value; }
    TRegKey GetRegKey() const { return regKey_; }
    void SetRegKey(TRegKey value) { regKey_ = value; }
    const std::string& GetRegPath() const { return regPath_; }
    void SetRegPath(const std::string& value);
    const std::string& GetRegName() const { return regName_; }
    void SetRegName(const std::string& value);
    bool GetMRUCombo() const { return mruCombo_; }
    void SetMRUCombo(bool value) { mruCombo_ = value; }
    bool GetAutoUpdateHistory() const { return autoUpdateHistory_; }
    void SetAutoUpdateHistory(bool value) { autoUpdateHistory_ = value; }

    // Empties the history list (not the registry, not the items).
    void ClearHistory() { history_.Clear(); }
    // Shows text, then records it as UpdateHistory does.
    void InsertText(const std::string& text);
    // Records the current text: it becomes the text Escape returns to and,
    // with MRUCombo, the first history entry (saved to the registry).
    void UpdateHistory();
    // With an empty history, reads it from the registry; then the items
    // become the history's lines.
    void LoadHistory();
    // Writes the first MaxHistory entries to the registry.
    void SaveHistory();

    void PublishProperties(thorn::PropertyList& list) override;
    void Loaded() override;

protected:
    void Change() override;
    void DropDown() override;
    void KeyDown(TKey& key, TShiftState shift) override;
    void KeyUp(TKey& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    void DoEnter() override;
    void DoExit() override;

private:
    // RegPath ends in one "\" exactly when RegName is set.
    void FixRegPath();
    std::string HistoryKey() const { return regPath_ + regName_; }
    // Shows item index with the text after the first typed characters
    // selected, for the user to accept or type over.
    void Complete(int index, int typed);

    bool textCompletion_ = false;
    TStringList history_;
    std::string entryText_;
    char lastKey_ = 0;
    int maxHistory_ = 20;
    TRegKey regKey_ = rkHKEY_CLASSES_ROOT;
    std::string regPath_;
    std::string regName_;
    bool mruCombo_ = false;
    bool autoUpdateHistory_ = true;
    int typedMark_ = -1;  // the end of the typed part, before a completed tail; -1 once the text changed
    int lastMatch_ = -1;
    bool completionDue_ = false;  // a typed character changed the text since the last key release
};
