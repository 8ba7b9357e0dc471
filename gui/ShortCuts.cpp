#include "gui/ShortCuts.h"

#include <array>
#include <utility>

#include "platform/Components.h"

namespace {

struct KeyName {
    TKey key;
    const char* name;
};

constexpr std::array<KeyName, 18> kNamedKeys{{
    {VK_BACK, "BkSp"},   {VK_TAB, "Tab"},    {VK_ESCAPE, "Esc"},  {VK_RETURN, "Enter"}, {VK_SPACE, "Space"},
    {VK_PRIOR, "PgUp"},  {VK_NEXT, "PgDn"},  {VK_END, "End"},     {VK_HOME, "Home"},    {VK_LEFT, "Left"},
    {VK_UP, "Up"},       {VK_RIGHT, "Right"}, {VK_DOWN, "Down"},  {VK_INSERT, "Ins"},   {VK_DELETE, "Del"},
    {VK_ADD, "Num +"},   {VK_SUBTRACT, "Num -"}, {VK_MULTIPLY, "Num *"},
}};

constexpr std::array<std::pair<TShortCut, const char*>, 3> kShiftNames{{
    {scCtrl, "Ctrl+"}, {scAlt, "Alt+"}, {scShift, "Shift+"}}};

std::string KeyText(TKey key) {
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return std::string(1, static_cast<char>(key));
    if (key >= VK_F1 && key < VK_F1 + 24) {
        std::string name = "F";  // appended: GCC 12 warns falsely of an overlap for "F" + text
        name += std::to_string(key - VK_F1 + 1);
        return name;
    }
    for (const KeyName& k : kNamedKeys)
        if (k.key == key) return k.name;
    return {};
}

}  // namespace

std::string ShortCutToText(TShortCut shortCut) {
    std::string key = KeyText(shortCut & 0xFF);
    if (key.empty()) return {};
    std::string text;
    for (const auto& [bit, name] : kShiftNames)
        if (shortCut & bit) text += name;
    return text + key;
}

TShortCut TextToShortCut(std::string_view text) {
    TShortCut shift = 0;
    // Shift-key names, each ended by "+", in any order.
    for (bool found = true; found;) {
        found = false;
        for (const auto& [bit, name] : kShiftNames) {
            std::string_view prefix(name);
            if (text.size() > prefix.size() && thorn::SameText(text.substr(0, prefix.size()), prefix)) {
                shift |= bit;
                text.remove_prefix(prefix.size());
                found = true;
            }
        }
    }
    for (TKey key = 1; key < 0x100; ++key) {
        std::string name = KeyText(key);
        if (!name.empty() && thorn::SameText(name, text)) return static_cast<TShortCut>(shift | key);
    }
    return scNone;
}

void ShortCutToKey(TShortCut shortCut, TKey& key, TShiftState& shift) {
    key = shortCut & 0xFF;
    shift = {};
    if (shortCut & scShift) shift.Include(ssShift);
    if (shortCut & scCtrl) shift.Include(ssCtrl);
    if (shortCut & scAlt) shift.Include(ssAlt);
}
