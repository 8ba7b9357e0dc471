#pragma once

#include <filesystem>
#include <string>

#include "editor/Main.h"
#include "gui/headless/HeadlessHost.h"
#include "support/TempDir.h"

namespace thorn::test {

// A copy of the shipped start folder, made the current folder while the
// object lives (the folder before comes back afterwards).
class StartFolderCopy {
public:
    StartFolderCopy();
    ~StartFolderCopy();
    StartFolderCopy(const StartFolderCopy&) = delete;
    StartFolderCopy& operator=(const StartFolderCopy&) = delete;

    const std::filesystem::path& Path() const { return dir_.Path(); }
    std::filesystem::path operator/(std::string_view name) const { return dir_ / name; }

private:
    TempDir dir_;
    std::filesystem::path previous_;
};

// The editor as its program starts it, on the headless host, in a copy of
// the start folder: Start runs the program's start-up, Close closes the main
// window as its user does from the frame.
class EditorSession {
public:
    EditorSession() = default;
    ~EditorSession();

    void Start();
    void Close();

    HeadlessHost& Host() const { return app_.Host(); }
    TMainForm& Main() const { return *MainForm.Get(); }
    const StartFolderCopy& Folder() const { return folder_; }
    std::filesystem::path operator/(std::string_view name) const { return folder_ / name; }

private:
    StartFolderCopy folder_;
    MainModuleScope module_;
    HeadlessApplication app_;
};

std::string ReadText(const std::filesystem::path& file);
void WriteText(const std::filesystem::path& file, const std::string& text);

}  // namespace thorn::test
