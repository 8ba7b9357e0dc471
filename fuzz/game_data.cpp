// Reads arbitrary bytes as the game-data catalogue ("pw.xml") of a start
// folder that holds the shipped pictures: through the catalogue's loader,
// then into a project as a new mission reads it. A catalogue may only be
// refused with EGameDataError; one that is taken must keep every limit.
#include <pthread.h>
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "model/DetachedEditor.h"
#include "model/GameData.h"
#include "model/mapproject.h"
#include "platform/Files.h"

namespace {

namespace fs = std::filesystem;
using Limits = thorn::GameDataLimits;

// What the start folder holds, parents before children, for a signal
// handler to remove in reverse with the calls a handler may make. Filled
// before the handler is installed and not changed while it is.
std::vector<std::string> removedOnSignal;
constexpr int kCleanedSignals[] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction previousActions[std::size(kCleanedSignals)];

void RemoveListedFiles() {
    for (auto path = removedOnSignal.rbegin(); path != removedOnSignal.rend(); ++path)
        if (::unlink(path->c_str()) != 0) ::rmdir(path->c_str());
}

// An interrupted run (Ctrl-C, a fuzzing job stopped) leaves no start folder
// behind; then the signal goes on to whoever handled it before (libFuzzer,
// or the default that ends the program). A run started with the signal
// ignored (under nohup, or as a background job) has lost its folder all the
// same, so it ends too: as the signal's default action ends it.
extern "C" void RemoveStartFolderOnSignal(int signal) {
    RemoveListedFiles();
    for (size_t i = 0; i < std::size(kCleanedSignals); ++i)
        if (kCleanedSignals[i] == signal) ::sigaction(signal, &previousActions[i], nullptr);
    // Delivered at once, not when this handler returns.
    sigset_t self;
    sigemptyset(&self);
    sigaddset(&self, signal);
    ::pthread_sigmask(SIG_UNBLOCK, &self, nullptr);
    ::raise(signal);
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    ::sigaction(signal, &fallback, nullptr);
    ::raise(signal);
    ::_exit(128 + signal);
}

// A private start folder with a copy of the repository's pictures.
struct StartFolder {
    StartFolder() {
        std::string pattern = (fs::temp_directory_path() / "thorn-game-data-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) std::abort();
        path = pattern;
        fs::copy(fs::path(THORN_SOURCE_DIR) / "startdir" / "res", path / "res", fs::copy_options::recursive);
        removedOnSignal = {path.string(), (path / "res").string()};
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(path / "res"))
            removedOnSignal.push_back(entry.path().string());
        // Written for every input.
        removedOnSignal.push_back((path / "pw.xml").string());
        removedOnSignal.push_back((path / "pw.xml.tmp").string());
        struct sigaction action {};
        action.sa_handler = RemoveStartFolderOnSignal;
        sigemptyset(&action.sa_mask);
        for (size_t i = 0; i < std::size(kCleanedSignals); ++i)
            ::sigaction(kCleanedSignals[i], &action, &previousActions[i]);
        project.SetEditorLink(&editor);
    }
    ~StartFolder() {
        for (size_t i = 0; i < std::size(kCleanedSignals); ++i)
            ::sigaction(kCleanedSignals[i], &previousActions[i], nullptr);
        project.SetEditorLink(nullptr);
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    fs::path path;
    thorn::DetachedEditor editor;
    CMapProject project;
};

bool Within(size_t count, int least, int most) {
    return count >= static_cast<size_t>(least) && count <= static_cast<size_t>(most);
}

bool KeepsTheLimits(const thorn::GameCatalogue& c) {
    if (c.unitNames.size() != size_t{c.standardUnits} + c.nonStandardUnits) return false;
    if (!Within(c.unitNames.size(), Limits::kMinUnitTypes, Limits::kMaxUnitTypes)) return false;
    if (!Within(c.castles.size(), Limits::kMinCastleTypes, Limits::kMaxCastleTypes)) return false;
    if (!Within(c.armies.size(), Limits::kMinArmyTypes, Limits::kMaxArmyTypes)) return false;
    if (!Within(c.resources.size(), Limits::kMinResources, Limits::kMaxResources)) return false;
    if (!Within(c.skills.size(), 0, Limits::kMaxSkills)) return false;
    if (!Within(c.computerPlayers.size(), Limits::kMinComputerPlayers, Limits::kMaxComputerPlayers)) return false;
    for (const auto* types : {&c.castles, &c.armies})
        for (const auto& type : *types)
            if (!type.picture || type.picture->Width() > Limits::kMaxIconSide ||
                type.picture->Height() > Limits::kMaxIconSide)
                return false;
    for (const auto& resource : c.resources)
        if (resource.min < 0 || resource.min > resource.max) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static StartFolder folder;
    const fs::path file = folder.path / "pw.xml";
    if (!thorn::WriteFileReplacing(file, std::span<const uint8_t>(data, size))) std::abort();

    std::unique_ptr<TXMLDocument> document;
    try {
        document = thorn::OpenGameData(file);
        if (!KeepsTheLimits(thorn::ReadGameCatalogue(document->GetDocumentElement(), folder.path))) std::abort();
    } catch (const thorn::EGameDataError&) {
        return 0;
    }
    // Taken: a new mission on no world reads it whole.
    CMapProject& project = folder.project;
    folder.editor.SetGameData(document->GetDocumentElement(), folder.path);
    project.Reset();
    if (!project.NewMissionFromImage()) std::abort();
    if (project.NumCastleTypes + project.NumArmyTypes != folder.editor.CastlePictures().GetBitmaps()->GetCount())
        std::abort();
    folder.editor.SetGameData({}, folder.path);
    return 0;
}
