#pragma once

#include <string>
#include <string_view>

#include "gui/ControlTypes.h"

// Shortcuts as menus show them: "Ctrl+O", "F4", "Ctrl+Shift+S", "Del". The
// shift keys come first, in the order Ctrl, Alt, Shift.

// The text of a shortcut; empty for none or for a key without a name.
std::string ShortCutToText(TShortCut shortCut);
// The shortcut a text names (shift-key names and the key name in any letter
// case); scNone when the text names none.
TShortCut TextToShortCut(std::string_view text);
// The key and shift keys of a shortcut.
void ShortCutToKey(TShortCut shortCut, TKey& key, TShiftState& shift);
