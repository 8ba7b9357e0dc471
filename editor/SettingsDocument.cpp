#include "editor/SettingsDocument.h"

#include <system_error>

#include "model/GameData.h"
#include "platform/Files.h"

namespace thorn {

SettingsFileState OpenSettingsDocument(TXMLDocument& doc, const std::filesystem::path& file, std::string& fault) {
    std::error_code error;
    if (!std::filesystem::exists(file, error) && !error) return SettingsFileState::Missing;
    try {
        doc.LoadFromFile(file);
        return SettingsFileState::Read;
    } catch (const Exception& e) {
        doc.Clear();
        fault = e.Message();
        return SettingsFileState::Damaged;
    }
}

namespace {

constexpr const char* kEditorChildren[] = {"Font", "MissForm", "EventsForm", "ErrorsForm", "MainForm"};

}  // namespace

IXMLNode EditorSettingsNode(TXMLDocument& doc) {
    IXMLNode root = doc.AddDocumentElement("Thornvale");
    IXMLNode editor = thorn::FindChildNode(root, "Editor");
    if (!editor) editor = root.AddChild("Editor");
    for (const char* name : kEditorChildren)
        if (!thorn::FindChildNode(editor, name)) editor.AddChild(name);
    return editor;
}

void WriteSettingsDocument(const TXMLDocument& doc, const std::filesystem::path& file, bool keepDamaged) {
    std::error_code error;
    // A damaged file that went away since (the user took it) needs no keeping.
    if (keepDamaged && std::filesystem::exists(std::filesystem::symlink_status(file, error)))
        KeepDamagedAside(file);
    doc.SaveToFile(file);
}

}  // namespace thorn
