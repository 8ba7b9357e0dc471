#include "EditorSession.h"

#include <fstream>
#include <functional>
#include <sstream>
#include <stdexcept>

#include "editor/Dlg_error.h"
#include "editor/Program.h"
#include "gui/Application.h"
#include "platform/XMLDoc.h"
#include "support/SourceTree.h"

namespace thorn::test {

StartFolderCopy::StartFolderCopy() : previous_(std::filesystem::current_path()) {
    std::filesystem::copy(SourceDir() / "startdir", dir_.Path(), std::filesystem::copy_options::recursive);
    std::filesystem::current_path(dir_.Path());
}

StartFolderCopy::~StartFolderCopy() { std::filesystem::current_path(previous_); }

EditorSession::EditorSession() {
    // What an earlier session's warnings window kept; a program starts
    // without it.
    ErrorsFormBounds = {};
}

EditorSession::~EditorSession() = default;

void EditorSession::Start() {
    CreateEditorWindows(app_.App());
    app_.App().Run();
}

void EditorSession::Close() {
    Host().RequestClose(Main());
    Application->ProcessMessages();
}

void EditorSession::NewMission(const std::string& world) {
    MapProject->Reset();
    if (MapProject->ImportWorldImage(folder_ / "worlds" / world, 0) == 0) throw std::runtime_error("import refused");
    if (MapProject->NewMissionFromImage() == 0) throw std::runtime_error("mission refused");
    MapProject->EnableProjectUI(1);
    Application->ProcessMessages();
}

std::map<std::string, std::string> FolderContents(const std::filesystem::path& folder) {
    std::map<std::string, std::string> contents;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            contents[entry.path().lexically_relative(folder).generic_string()] = ReadText(entry.path());
    return contents;
}

std::map<std::string, std::string> Attributes(const std::filesystem::path& file) {
    TXMLDocument doc;
    doc.LoadFromFile(file);
    std::map<std::string, std::string> out;
    std::function<void(IXMLNode, const std::string&)> walk = [&](IXMLNode node, const std::string& path) {
        const std::string here = path + node.NodeName();
        for (const char* name : {"AutoResize", "AutoShowErr", "ConvertCapTo", "MaxCapPopulation", "MaxPopulation",
                                 "MinCapPopulation", "MinPopulation", "OwnerColors", "ShArmies", "ShCastles",
                                 "ShIcons", "ShNames", "ShPaths", "TransArmies", "TransCastles", "TransValue",
                                 "Charset", "Color", "Height", "Name", "Pitch", "PixelsPerInch", "Size", "Bold",
                                 "Italic", "Underline", "StrikeOut", "Visible", "Width", "Left", "Top", "SplitPos",
                                 "Splitter", "State", "SplitPlPos", "SplitPrPos", "FilePanel", "ShowPanel",
                                 "ZoomPanel", "ProvHeight", "ProvWidName", "ProvWidOwner", "Custom", "Extra", "keep"})
            if (node.HasAttribute(name)) out[here + "/" + name] = node.Attributes(name);
        for (IXMLNode child : node.ChildNodes()) walk(child, here + "/");
    };
    walk(doc.GetDocumentElement(), "");
    return out;
}

std::string ReadText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteText(const std::filesystem::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary) << text;
}

}  // namespace thorn::test
