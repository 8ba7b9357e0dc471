#pragma once

#include <filesystem>
#include <memory>

#include "editor/Main.h"
#include "editor/Program.h"
#include "gui/headless/HeadlessHost.h"

// The editor as its program starts it, on the headless host, for the
// benchmarks that time what its user does.
namespace thorn::bench {

// A copy of the shipped start folder, made once in the scratch folder, and
// the current folder while the object lives.
class InStartFolder {
public:
    InStartFolder();
    ~InStartFolder();
    InStartFolder(const InStartFolder&) = delete;
    InStartFolder& operator=(const InStartFolder&) = delete;

    static const std::filesystem::path& Path();

private:
    std::filesystem::path previous_;
};

// The program from its module's objects to its main window's first painted
// frame; closed from its frame when the object goes.
class EditorRun {
public:
    EditorRun();
    ~EditorRun();
    EditorRun(const EditorRun&) = delete;
    EditorRun& operator=(const EditorRun&) = delete;

    static TMainForm& Main() { return *MainForm.Get(); }
    HeadlessHost& Host() const { return session_->Host(); }

private:
    std::unique_ptr<MainModuleScope> module_ = std::make_unique<MainModuleScope>();
    std::unique_ptr<HeadlessApplication> session_ = std::make_unique<HeadlessApplication>();
};

// What New does with a picture once the designer has chosen it, the view at
// the zoom given; throws when the picture is refused or the world is left
// unpainted.
void OpenWorld(const std::filesystem::path& picture, float zoom);

}  // namespace thorn::bench
