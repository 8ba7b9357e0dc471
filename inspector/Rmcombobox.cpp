#include "inspector/Rmcombobox.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "platform/ClassRegistry.h"
#include "platform/Properties.h"
#include "platform/Registry.h"

namespace {

const bool kRegistered = (RegisterClass<TrmComboBox>("TrmComboBox"), true);

constexpr std::string_view kRegKeyNames[] = {"rkHKEY_CLASSES_ROOT", "rkHKEY_CURRENT_USER", "rkHKEY_LOCAL_MACHINE",
                                             "rkHKEY_USERS"};
constexpr std::string_view kStyleNames[] = {"csDropDown", "csSimple", "csDropDownList", "csOwnerDrawFixed",
                                            "csOwnerDrawVariable"};
constexpr char kEnter = '\r';
constexpr char kEscape = '\x1b';

// A character that typing puts into the text (not Backspace, Enter, Escape
// or a control key's code).
bool IsTypedCharacter(char ch) {
    const auto code = static_cast<unsigned char>(ch);
    return code >= 0x20 && code != 0x7F;
}

HKEY RootOf(TRegKey key) {
    switch (key) {
        case rkHKEY_CURRENT_USER: return HKEY_CURRENT_USER;
        case rkHKEY_LOCAL_MACHINE: return HKEY_LOCAL_MACHINE;
        case rkHKEY_USERS: return HKEY_USERS;
        default: return HKEY_CLASSES_ROOT;
    }
}

std::string ValueName(int index) { return "Item_" + std::to_string(index); }

}  // namespace

TrmComboBox::TrmComboBox() = default;

TrmComboBox::~TrmComboBox() = default;

void TrmComboBox::SetRegPath(const std::string& value) {
    regPath_ = value;
    FixRegPath();
}

void TrmComboBox::SetRegName(const std::string& value) {
    regName_ = value;
    FixRegPath();
}

void TrmComboBox::FixRegPath() {
    const bool endsInSeparator = !regPath_.empty() && regPath_.back() == '\\';
    if (regName_.empty() && endsInSeparator) regPath_.pop_back();
    if (!regName_.empty() && !regPath_.empty() && !endsInSeparator) regPath_ += '\\';
}

// ---- history

void TrmComboBox::InsertText(const std::string& text) {
    TControl::SetText(text);
    UpdateHistory();
}

void TrmComboBox::UpdateHistory() {
    entryText_ = GetText();
    if (mruCombo_) {
        const int index = history_.IndexOf(entryText_);
        if (index < 0)
            history_.Insert(0, entryText_);
        else
            history_.Move(index, 0);
        while (history_.GetCount() > std::max(0, maxHistory_)) history_.Delete(history_.GetCount() - 1);
        SaveHistory();
    }
    SetSelStart(static_cast<int>(GetText().size()));
}

void TrmComboBox::LoadHistory() {
    if (history_.GetCount() == 0 && !regPath_.empty() && !regName_.empty()) {
        TRegistry registry;
        registry.SetRootKey(RootOf(regKey_));
        if (registry.OpenKeyReadOnly(HistoryKey())) {
            for (int i = 0; i < maxHistory_; ++i) {
                const std::string name = ValueName(i);
                if (!registry.ValueExists(name)) continue;
                std::string entry;
                try {
                    entry = registry.ReadString(name);
                } catch (const ERegistryException&) {
                    continue;  // a value of another type is no entry
                }
                if (history_.IndexOf(entry) < 0) history_.Add(entry);
            }
            registry.CloseKey();
        }
    }
    GetItems()->Assign(history_);
}

void TrmComboBox::SaveHistory() {
    if (regPath_.empty() || regName_.empty()) return;
    TRegistry registry;
    registry.SetRootKey(RootOf(regKey_));
    if (!registry.OpenKey(HistoryKey(), true)) return;
    for (int i = 0; i < maxHistory_ && i < history_.GetCount(); ++i) registry.WriteString(ValueName(i), history_[i]);
    registry.CloseKey();
}

void TrmComboBox::Loaded() {
    TCustomComboBox::Loaded();
    if (mruCombo_ && !GetComponentState().Contains(csDesigning)) LoadHistory();
}

void TrmComboBox::DropDown() {
    if (mruCombo_) LoadHistory();
    TCustomComboBox::DropDown();
}

// ---- Enter and Escape

void TrmComboBox::KeyPress(char& key) {
    thorn::ComponentRef<TrmComboBox> self(this);
    TCustomComboBox::KeyPress(key);
    if (!self) return;
    lastKey_ = key;
    if (key != kEnter && key != kEscape) return;
    // Taken here: the edit part would only refuse them with a beep.
    key = 0;
    if (GetText() != entryText_) Change();
    lastKey_ = 0;
}

void TrmComboBox::Change() {
    const char last = lastKey_;
    // Enter and Escape act on the change they cause themselves; a later
    // change (a pick with the mouse after Escape, say) is not theirs.
    lastKey_ = 0;
    // Only a typed character earns a completion when its key comes up; the
    // text changed, so a selected tail is no longer the completion's.
    completionDue_ = IsTypedCharacter(last);
    typedMark_ = -1;
    if (last == kEnter && autoUpdateHistory_) UpdateHistory();
    if (last == kEscape) {
        TControl::SetText(entryText_);
        SelectAll();
    }
    TCustomComboBox::Change();
}

// ---- completion

void TrmComboBox::Complete(int index, int typed) {
    lastMatch_ = index;
    SetItemIndex(index);
    SetSelStart(typed);
    SetSelLength(static_cast<int>(GetText().size()) - typed);
    typedMark_ = GetSelStart();
}

void TrmComboBox::KeyUp(TKey& key, TShiftState shift) {
    thorn::ComponentRef<TrmComboBox> self(this);
    TCustomComboBox::KeyUp(key, shift);
    if (!self) return;
    // A key that typed nothing (End, Enter, Shift, an arrow) never
    // completes, so a tail the user deleted stays deleted.
    const bool due = std::exchange(completionDue_, false);
    if (!due || !textCompletion_ || !GetEditPart() || key == VK_DELETE || key == VK_BACK) return;
    const auto length = static_cast<int>(GetText().size());
    if (GetSelStart() != length) return;
    const int found = FindString(GetText());
    if (found >= 0) Complete(found, length);
}

void TrmComboBox::KeyDown(TKey& key, TShiftState shift) {
    thorn::ComponentRef<TrmComboBox> self(this);
    // OnKeyDown hears every key first, as it does in the plain combo box.
    TCustomControl::KeyDown(key, shift);
    if (!self || key == 0) return;
    if (textCompletion_ && GetEditPart()) {
        if (key == VK_DOWN && !shift.Contains(ssAlt) && !GetDroppedDown()) {
            key = 0;
            const int typed = GetSelStart();
            const int found = FindString(std::string_view(GetText()).substr(0, static_cast<size_t>(typed)), lastMatch_);
            if (found >= 0) Complete(found, typed);
            return;
        }
        // Left and Right settle the tail a completion selected; any other
        // selection, or none, they move through as usual.
        const bool tailSelected = GetSelStart() == typedMark_ && GetSelLength() > 0 &&
                                  GetSelStart() + GetSelLength() == static_cast<int>(GetText().size());
        if (key == VK_LEFT && tailSelected) {
            key = 0;
            SetSelStart(typedMark_);
            return;
        }
        if (key == VK_RIGHT && tailSelected) {
            key = 0;
            typedMark_ = static_cast<int>(GetText().size());
            SetSelStart(typedMark_);
            return;
        }
    }
    ComboKeyDown(key, shift);
}

// ---- focus

void TrmComboBox::DoEnter() {
    entryText_ = GetText();
    TCustomComboBox::DoEnter();
}

void TrmComboBox::DoExit() {
    thorn::ComponentRef<TrmComboBox> self(this);
    if (autoUpdateHistory_ && GetText() != entryText_) UpdateHistory();
    if (self) TCustomComboBox::DoExit();
}

// ---- streaming

void TrmComboBox::PublishProperties(thorn::PropertyList& list) {
    TCustomComboBox::PublishProperties(list);
    list.Enumeration<TComboBoxStyle>("Style", [this] { return GetStyle(); },
                                     [this](TComboBoxStyle v) { SetStyle(v); }, kStyleNames, csDropDown);
    list.Integer("DropDownCount", [this] { return GetDropDownCount(); }, [this](int32_t v) { SetDropDownCount(v); },
                 8);
    list.Integer("MaxLength", [this] { return GetMaxLength(); }, [this](int32_t v) { SetMaxLength(v); }, 0);
    list.Boolean("Sorted", [this] { return GetSorted(); }, [this](bool v) { SetSorted(v); }, false);
    list.Object("Items", [this] { return GetItems(); });
    list.String("Text", [this] { return GetText(); }, [this](const std::string& v) { TControl::SetText(v); });
    list.Boolean("TextCompletion", [this] { return textCompletion_; }, [this](bool v) { textCompletion_ = v; },
                 false);
    list.Object("History", [this] { return &history_; });
    list.Integer("MaxHistory", [this] { return maxHistory_; }, [this](int32_t v) { maxHistory_ = v; }, 20);
    list.Enumeration<TRegKey>("RegKey", [this] { return regKey_; }, [this](TRegKey v) { regKey_ = v; },
                              kRegKeyNames);
    list.String("RegPath", [this] { return regPath_; }, [this](const std::string& v) { SetRegPath(v); });
    list.String("RegName", [this] { return regName_; }, [this](const std::string& v) { SetRegName(v); });
    list.Boolean("MRUCombo", [this] { return mruCombo_; }, [this](bool v) { mruCombo_ = v; }, false);
    list.Boolean("AutoUpdateHistory", [this] { return autoUpdateHistory_; },
                 [this](bool v) { autoUpdateHistory_ = v; }, true);
}
