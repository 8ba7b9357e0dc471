#include "export/ExportDriver.h"

#include <new>
#include <system_error>

#include "export/CellImages.h"
#include "export/ExportFiles.h"
#include "export/ExportFolder.h"
#include "export/MissionRecord.h"
#include "export/MissionTexts.h"
#include "export/Packer.h"
#include "export/PieceShades.h"
#include "export/Previews.h"
#include "model/mapproject.h"

namespace fs = std::filesystem;

namespace thorn {
namespace {

// The folder the packages go to: the chosen file's.
fs::path DestinationOf(const fs::path& fileName) {
    return fileName.has_parent_path() ? fileName.parent_path() : fs::path(".");
}

fs::path MakeMissionFolder(const ExportFolder& tree, const std::string& base) {
    const fs::path folder = tree.Path() / "Scenarios" / base / "Mission001";
    std::error_code error;
    fs::create_directories(folder, error);
    if (error) throw TemporaryWriteError(folder, error.message());
    return folder;
}

void WriteMissionRecord(CMapProject& project, const fs::path& folder) {
    project.ShowProgress("Preparing data for compress", 3);
    project.SetProgress(1);
    PdaMission mission = BuildPdaMission(project);
    project.SetProgress(2);
    const std::vector<uint8_t> bytes = MissionFileBytes(mission);
    project.SetProgress(3);
    project.ShowProgress("Writing mission data...", 2);
    project.SetProgress(1);
    WriteGameFile(folder / "mission.dat", bytes);
    project.SetProgress(2);
}

// The pictures share each piece's bevel; the world's cells are dropped
// before the previews are made.
void WritePictures(CMapProject& project, const fs::path& folder) {
    PieceShadeCache shades(project.MapPieces);
    {
        const CellPicture cells = BuildCellPicture(project, shades);
        CompressWorldImage(project, folder, cells);
        CompressDomainsImage(project, folder, cells);
    }
    const PreviewMap preview = BuildPreviewMap(project, shades);
    WritePreviewImage(folder / "Preview.img", 96, 96, preview);
    WritePreviewImage(folder / "PreviewHi.img", 200, 200, preview);
    WritePreviewImage(folder / "PreviewLo.img", 60, 60, preview);
}

}  // namespace

ExportResult ExportMission(CMapProject& project, const fs::path& fileName, const ExportOptions& options) {
    ExportResult result;
    const ProgressScope progress(project);
    try {
        if (const std::string failure = project.ValidateMission(); !failure.empty()) throw ExportError(failure);
        const std::string base = fileName.stem().string();
        // The base name becomes a folder of the export and the packages' names.
        if (const std::string problem = MissionNameProblem(base); !problem.empty()) throw ExportError(problem);
        const CStringTable& table = *project.Tables.GetAt(project.CurrentStringTable);

        const ExportFolder tree(options.temporaryRoot, options.pack.step);
        try {
            const fs::path folder = MakeMissionFolder(tree, base);
            WriteMissionRecord(project, folder);
            WriteMissionTextFiles(project, table, folder);
            WritePictures(project, folder);
        } catch (const TemporaryWriteError& error) {
            // The file is one of the private tree's, gone with it: what the
            // designer can mend is the folder it was made in.
            throw ExportError(Joined({"the temporary folder \"", tree.Root().string(),
                                      "\" cannot take the mission's files: ", error.Reason()}));
        }

        project.ShowProgress("Execute compressor...", 2);
        project.SetProgress(1);
        result.packed = true;
        const PackResult packed = PackExportDirectory(tree.Path(), DestinationOf(fileName), base, options.pack);
        result.ok = packed.ok;
        result.message = packed.message;
    } catch (const ExportError& refusal) {
        result.message = refusal.what();
    } catch (const std::bad_alloc&) {
        result.message = "there is not enough memory to compile it";
    } catch (const std::exception& error) {
        result.message = Joined({"of an unexpected error (", error.what(), ")"});
    } catch (...) {
        result.message = "of an unexpected error";
    }
    return result;
}

std::array<fs::path, 2> MissionPackageFiles(const fs::path& fileName) {
    return PackageFilesOf(DestinationOf(fileName), fileName.stem().string());
}

}  // namespace thorn

int CMapProject::ExportMission(const fs::path& fileName) {
    const thorn::ExportResult result = thorn::ExportMission(*this, fileName);
    if (!result.ok) Editor().ShowError(thorn::Joined({"You can't save mission because ", result.message}));
    return result.packed ? 1 : 0;
}
