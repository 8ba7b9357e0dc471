#include "editor/SettingsDocument.h"

#include <system_error>

#include "model/GameData.h"
#include "platform/Files.h"

namespace thorn {

SettingsFileState OpenSettingsDocument(TXMLDocument& doc, const std::filesystem::path& file, std::string& fault) {
    std::error_code error;
    const std::filesystem::file_type type = std::filesystem::status(file, error).type();
    if (type == std::filesystem::file_type::not_found) return SettingsFileState::Missing;
    if (type != std::filesystem::file_type::regular) {
        doc.Clear();
        std::filesystem::path target = file;
        try {
            target = FollowLinks(file);
        } catch (const EFOpenError&) {
            // A loop of links: the link itself is where nothing is kept.
        }
        std::error_code ignored;
        fault = Quoted(std::filesystem::absolute(target, ignored).lexically_normal()) +
                ": " + (error ? error.message() : std::string("it is not a regular file"));
        return SettingsFileState::Unusable;
    }
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
