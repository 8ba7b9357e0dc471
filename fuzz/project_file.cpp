// Loads arbitrary bytes as a project file into a project prepared as the
// open command prepares it (the start folder's catalogue read by a new
// mission). A refused file must leave a reset project; an accepted one must
// save to bytes that load again and save to the same bytes.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <span>
#include <vector>

#include "model/DetachedEditor.h"
#include "model/GameData.h"
#include "model/mapproject.h"

namespace {

// The repository's start folder (the build names the source tree: this file's
// own name may be relative when the compiler cache rewrites paths).
struct StartCatalogue {
    StartCatalogue()
        : folder(std::filesystem::path(THORN_SOURCE_DIR) / "startdir"),
          document(thorn::OpenGameData(folder / "pw.xml")) {}
    std::filesystem::path folder;
    std::unique_ptr<TXMLDocument> document;
};

bool IsReset(const CMapProject& project) {
    return project.Provinces.GetCount() == 0 && project.MapPieces.GetCount() == 0 && project.Tables.GetCount() == 0 &&
           project.Events.GetCount() == 0 && project.WorldWidth == 1 && project.WorldHeight == 1 &&
           project.FileName.empty() && project.Modified == 0;
}

// One project prepared once, as the open command prepares it; every load
// resets it first, and the catalogue's pivots (which the file does not hold)
// are put back before each input so that inputs do not depend on each other.
struct Prepared {
    Prepared() {
        editor.SetGameData(catalogue.document->GetDocumentElement(), catalogue.folder);
        project.SetEditorLink(&editor);
        if (!project.NewMissionFromImage()) std::abort();
        pivots = project.CastlePivots;
    }
    StartCatalogue catalogue;
    thorn::DetachedEditor editor;
    CMapProject project;
    Orv::CSimpleArray<TPoint> pivots;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Prepared prepared;
    CMapProject& project = prepared.project;
    project.CastlePivots = prepared.pivots;
    project.Modified = 0;

    if (!project.LoadProjectFromBytes(std::span<const uint8_t>(data, size), "fuzz.pw")) {
        if (!IsReset(project)) std::abort();
        return 0;
    }
    const std::vector<uint8_t> saved = project.ProjectBytes();
    if (!project.LoadProjectFromBytes(saved, "again.pw")) std::abort();
    if (project.ProjectBytes() != saved) std::abort();
    return 0;
}
