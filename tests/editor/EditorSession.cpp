#include "EditorSession.h"

#include <fstream>
#include <sstream>

#include "editor/Program.h"
#include "gui/Application.h"
#include "support/SourceTree.h"

namespace thorn::test {

StartFolderCopy::StartFolderCopy() : previous_(std::filesystem::current_path()) {
    std::filesystem::copy(SourceDir() / "startdir", dir_.Path(), std::filesystem::copy_options::recursive);
    std::filesystem::current_path(dir_.Path());
}

StartFolderCopy::~StartFolderCopy() { std::filesystem::current_path(previous_); }

EditorSession::~EditorSession() = default;

void EditorSession::Start() {
    CreateEditorWindows(app_.App());
    Main().Show();
    Application->ProcessMessages();
}

void EditorSession::Close() {
    Host().RequestClose(Main());
    Application->ProcessMessages();
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
