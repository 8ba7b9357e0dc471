#pragma once

#include <filesystem>

namespace thorn {

// A private folder for one export, made with mkdtemp under a root (the
// system's temporary folder when the root is empty), holding only what the
// export writes, and removed with everything in it when the object goes.
class ExportFolder {
public:
    // Throws ExportError when the folder cannot be made.
    explicit ExportFolder(const std::filesystem::path& root = {});
    ~ExportFolder();
    ExportFolder(const ExportFolder&) = delete;
    ExportFolder& operator=(const ExportFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace thorn
