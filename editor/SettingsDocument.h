#pragma once

#include <filesystem>
#include <string>

#include "platform/XMLDoc.h"

// The settings file "ini.xml" as a document: read at start-up, given the
// elements the editor writes into, and written back at close.
namespace thorn {

// How reading "ini.xml" went at start-up. Unusable: what stands there,
// links followed, is no regular file (a device, a FIFO, a folder): it is
// neither read nor set aside nor written over.
enum class SettingsFileState { Read, Missing, Damaged, Unusable };

// Reads the settings file into doc. A file that is missing leaves doc empty;
// one that cannot be read or parsed leaves it empty too and its reason in
// fault; for one that is unusable fault is where the settings cannot be
// kept and why ("<where>": <why>).
SettingsFileState OpenSettingsDocument(TXMLDocument& doc, const std::filesystem::path& file, std::string& fault);

// The "Editor" element under the document element with its five children,
// each made where the document lacks it (a new document gets the element
// "Thornvale").
IXMLNode EditorSettingsNode(TXMLDocument& doc);

// Writes doc to file's target (a link stays a link). A damaged file there is
// first kept beside it as "<file>.damaged" ("<file>.damaged-2" and so on
// when earlier ones hold that name), so what the user may still mend is
// not lost. Throws when either cannot be done; the file is then as it was.
void WriteSettingsDocument(const TXMLDocument& doc, const std::filesystem::path& file, bool keepDamaged);

}  // namespace thorn
