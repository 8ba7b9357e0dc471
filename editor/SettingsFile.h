#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "editor/SettingsDocument.h"
#include "platform/XMLDoc.h"

// Copies the "Editor" element of the settings file into the preferences,
// the label font, the tool windows, the main window and the warnings
// window's bounds. Null reads nothing. A missing element or attribute, or a
// value that does not convert or lies outside what its use can take (a
// byte past 255, a label font too small or too large to draw, a split or a
// splitter's size the window has no room for), leaves what it stands for as
// it was; bounds of no size, or off the desktop, are not applied, a window
// larger than the desktop takes the desktop's size, and the main window
// never starts minimised.
void LoadSettings(IXMLNode node);
// Writes the same values back into the "Editor" element, each as the live
// objects hold it now; the other elements and attributes stay. The five
// children are made when the element lacks them. Null writes nothing.
void SaveSettings(IXMLNode node);

namespace thorn {

// The file's value forms.
// Integer: a signed decimal 32-bit number.
std::optional<int32_t> ReadSettingsInteger(std::string_view text);
// Word or flag: a decimal number (0 false, any other true), or "True" or
// "False" in any case.
std::optional<bool> ReadSettingsBoolean(std::string_view text);

}  // namespace thorn
