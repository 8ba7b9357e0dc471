#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/XMLDoc.h"

// Copies the "Editor" element of the settings file into the preferences,
// the label font, the tool windows, the main window and the warnings
// window's bounds. Null reads nothing. A missing element or attribute, or a
// value that does not convert, leaves what it stands for as it was; bounds
// of no size, or off the desktop, are not applied, a window larger than the
// desktop takes the desktop's size, the pages leave the world view its least
// width, and the main window never starts minimised.
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

// How reading "ini.xml" went at start-up.
enum class SettingsFileState { Read, Missing, Damaged };

// Reads the settings file into doc. A file that is missing leaves doc empty;
// one that cannot be read or parsed leaves it empty too and its reason in
// fault.
SettingsFileState OpenSettingsDocument(TXMLDocument& doc, const std::filesystem::path& file, std::string& fault);

// The "Editor" element under the document element with its five children,
// each made where the document lacks it (a new document gets the element
// "Thornvale").
IXMLNode EditorSettingsNode(TXMLDocument& doc);

// Writes doc to file. A damaged file there is first kept beside it as
// "<file>.damaged", so what the user may still mend is not lost.
void WriteSettingsDocument(const TXMLDocument& doc, const std::filesystem::path& file, bool keepDamaged);

}  // namespace thorn
