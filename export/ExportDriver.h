#pragma once

#include <array>
#include <filesystem>
#include <string>

#include "export/PackageDirectory.h"

class CMapProject;

namespace thorn {

// What an export may be given beside the project: where its private
// temporary folder is made (the system's temporary folder when empty) and
// the packer's clock and console.
struct ExportOptions {
    std::filesystem::path temporaryRoot;
    PackEnvironment pack;
};

struct ExportResult {
    bool ok = false;      // both packages were written
    bool packed = false;  // the packer ran
    // On failure, completes "You can't save mission because %s".
    std::string message;
};

// Compiles the mission into "<name>.pdb" and "<name>.pak" beside the chosen
// file name (its name without extension): checks the mission, writes the
// mission record, the text files, the world and domain cells and the three
// previews into a private temporary folder, packs it and removes it. Shows
// its steps in the progress window and hides it on every way out. A mission
// that fails validation, a reserved or unusable name, or a file the game
// could not read stops the export before anything reaches the destination
// folder.
ExportResult ExportMission(CMapProject& project, const std::filesystem::path& fileName,
                           const ExportOptions& options = {});

// The two files ExportMission writes for the chosen file name: the .pdb,
// then the .pak.
std::array<std::filesystem::path, 2> MissionPackageFiles(const std::filesystem::path& fileName);

}  // namespace thorn
