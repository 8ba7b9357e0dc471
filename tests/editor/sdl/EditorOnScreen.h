#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>

#include "../EditorSession.h"
#include "Hand.h"
#include "SdlSession.h"
#include "XScreen.h"

namespace thorn::test {

// The editor in real windows, on a copy of the start folder, with an X hand
// to drive it.
class EditorOnScreen : public SdlSession {
protected:
    // The hand's timer goes first, then the editor's objects (which free the
    // windows the application owns), then the application.
    ~EditorOnScreen() override;

    // The program started as it starts, its main window shown and painted;
    // started again, on a fresh application and fresh editor objects. The
    // hand waits patienceMs for each step.
    void StartEditor(uint64_t patienceMs = 30000);

    // Where the test's pictures go: the folder the test started in.
    const std::filesystem::path output = std::filesystem::current_path();
    StartFolderCopy folder;
    std::unique_ptr<MainModuleScope> module;
    XScreen screen;
    std::unique_ptr<Hand> hand;
};

}  // namespace thorn::test
