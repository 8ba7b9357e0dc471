#pragma once

#include <filesystem>

#include "export/ReplaceTogether.h"

namespace thorn {

// A private folder for one export, made with mkdtemp under a root (the
// system's temporary folder when the root is empty) as
// "thorn-export-XXXXXX", holding only what the export writes, and removed
// with everything in it when the object goes. While it lives the folder is
// locked (flock); an export killed on the way leaves its folder unlocked,
// and the next export removes every such folder of this user's under the
// root before it makes its own.
class ExportFolder {
public:
    // Throws ExportError naming the root and why when the folder cannot be
    // made.
    explicit ExportFolder(const std::filesystem::path& root = {}, const ExportStepHook& step = {});
    ~ExportFolder();
    ExportFolder(const ExportFolder&) = delete;
    ExportFolder& operator=(const ExportFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // The folder it was made in: the temporary folder the designer knows.
    const std::filesystem::path& Root() const { return root_; }

private:
    std::filesystem::path root_;
    std::filesystem::path path_;
    int lock_ = -1;
};

}  // namespace thorn
