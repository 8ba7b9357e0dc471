#pragma once

#include <filesystem>
#include <map>
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
// the start folder: Start runs the program's start-up and its message loop
// until nothing is left to do, Close closes the main window as its user
// does from the frame. Messages the start-up shows are answered from the
// host's script, queued before Start.
class EditorSession {
public:
    EditorSession();
    ~EditorSession();

    void Start();
    void Close();
    // A world picture of the start folder imported and made into a new
    // mission, as the New command does it.
    void NewMission(const std::string& world);

    HeadlessHost& Host() const { return app_.Host(); }
    TMainForm& Main() const { return *MainForm.Get(); }
    const StartFolderCopy& Folder() const { return folder_; }
    std::filesystem::path operator/(std::string_view name) const { return folder_ / name; }

private:
    StartFolderCopy folder_;
    MainModuleScope module_;
    HeadlessApplication app_;
};

// Every file under a folder with its bytes, by its path inside the folder.
std::map<std::string, std::string> FolderContents(const std::filesystem::path& folder);

// The settings file's attributes, as "Thornvale/Editor/Font/Size" = value.
std::map<std::string, std::string> Attributes(const std::filesystem::path& file);

std::string ReadText(const std::filesystem::path& file);
void WriteText(const std::filesystem::path& file, const std::string& text);

}  // namespace thorn::test
