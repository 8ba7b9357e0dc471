#include "EditorRun.h"

#include <stdexcept>

#include "SyntheticWorld.h"
#include "gui/Application.h"

namespace thorn::bench {

InStartFolder::InStartFolder() : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(Path());
}

InStartFolder::~InStartFolder() { std::filesystem::current_path(previous_); }

const std::filesystem::path& InStartFolder::Path() {
    static const std::filesystem::path copy = [] {
        const std::filesystem::path folder = ScratchFolder() / "startdir";
        std::filesystem::remove_all(folder);
        std::filesystem::copy(std::filesystem::path(THORN_SOURCE_DIR) / "startdir", folder,
                              std::filesystem::copy_options::recursive);
        return folder;
    }();
    return copy;
}

EditorRun::EditorRun() {
    CreateEditorWindows(session_->App());
    Main().Show();
    Application->ProcessMessages();
    if (session_->Host().PresentCount(Main()) == 0 || Main().HasPendingPaint())
        throw std::runtime_error("the main window was not painted");
}

EditorRun::~EditorRun() {
    if (MapProject) MapProject->Modified = 0;
    session_->Host().RequestClose(Main());
    Application->ProcessMessages();
}

void OpenWorld(const std::filesystem::path& picture, float zoom) {
    MapProject->EnableProjectUI(0);
    MapProject->Reset();
    if (MapProject->ImportWorldImage(picture, 0) == 0 || MapProject->NewMissionFromImage() == 0)
        throw std::runtime_error("the world was refused: " + picture.string());
    MapProject->SetZoom(zoom);
    MapProject->EnableProjectUI(1);
    Application->ProcessMessages();
    if (EditorRun::Main().HasPendingPaint()) throw std::runtime_error("the world was not painted");
}

}  // namespace thorn::bench
