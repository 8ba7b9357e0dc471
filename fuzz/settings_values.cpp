// Reads arbitrary bytes as the settings file "ini.xml" into the editor, as
// its start does (on the headless host, in a copy of the shipped start
// folder), then writes the settings back as its close does. What is written
// must be read and written again as the same text: every value the editor
// takes from a file it keeps as it took it, and what it writes it takes back
// unchanged at the next start.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <span>
#include <string>

#include "editor/Main.h"
#include "editor/Program.h"
#include "editor/SettingsFile.h"
#include "gui/Application.h"
#include "gui/headless/HeadlessHost.h"
#include "model/GameData.h"

namespace {

// The editor stands once for the whole run; its start folder is a
// temporary copy, so nothing it writes lands in the sources. It is the
// current folder while the editor starts and ends.
class Editor {
public:
    Editor() : previous_(std::filesystem::current_path()) {
        std::string name = (std::filesystem::temp_directory_path() / "settings_values.XXXXXX").string();
        if (!mkdtemp(name.data())) std::abort();
        folder_ = name;
        std::filesystem::copy(std::filesystem::path(THORN_SOURCE_DIR) / "startdir", folder_,
                              std::filesystem::copy_options::recursive);
        std::filesystem::current_path(folder_);
        module_ = std::make_unique<thorn::MainModuleScope>();
        app_ = std::make_unique<thorn::HeadlessApplication>();
        thorn::CreateEditorWindows(app_->App());
        app_->App().Run();
        // The fuzzer's own paths (its corpus folders) are relative to the
        // folder it was started in.
        std::filesystem::current_path(previous_);
    }
    ~Editor() {
        std::filesystem::current_path(folder_);
        app_.reset();
        module_.reset();
        std::filesystem::current_path(previous_);
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    Editor(const Editor&) = delete;
    Editor& operator=(const Editor&) = delete;

private:
    std::filesystem::path previous_, folder_;
    std::unique_ptr<thorn::MainModuleScope> module_;
    std::unique_ptr<thorn::HeadlessApplication> app_;
};

// The settings the editor holds now, written as its close writes them.
std::string Written() {
    TXMLDocument document;
    SaveSettings(thorn::EditorSettingsNode(document));
    return document.SaveToString();
}

void Read(std::span<const uint8_t> bytes) {
    TXMLDocument document;
    document.LoadFromBytes(bytes, "ini.xml");
    LoadSettings(thorn::FindChildNode(document.GetDocumentElement(), "Editor"));
    Application->ProcessMessages();
}

std::span<const uint8_t> Bytes(const std::string& text) {
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Editor editor;
    try {
        Read(std::span(data, size));
    } catch (const EXMLDocError&) {
        return 0;
    }
    const std::string first = Written();
    try {
        Read(Bytes(first));
    } catch (const EXMLDocError&) {
        std::abort();  // written, and refused at the next start
    }
    if (Written() != first) std::abort();
    return 0;
}
