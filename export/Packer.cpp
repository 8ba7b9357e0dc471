#include "export/Packer.h"

#include <cerrno>
#include <cstring>
#include <optional>
#include <ostream>
#include <span>
#include <string>

#include "export/AnsiText.h"
#include "export/PakWriter.h"
#include "export/PdbWriter.h"
#include "export/ReplaceTogether.h"
#include "platform/Files.h"

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kReservedMission = "scenario01";

// Removes the export tree on every way out of the packer.
class TreeRemover {
public:
    explicit TreeRemover(fs::path tree) : tree_(std::move(tree)) {}
    ~TreeRemover() {
        std::error_code ignored;
        fs::remove_all(tree_, ignored);
    }
    TreeRemover(const TreeRemover&) = delete;
    TreeRemover& operator=(const TreeRemover&) = delete;

private:
    fs::path tree_;
};

bool InOneFolder(const fs::path& a, const fs::path& b) {
    std::error_code error;
    return a.parent_path() == b.parent_path() || fs::equivalent(a.parent_path(), b.parent_path(), error);
}

bool IsPlainFileName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

}  // namespace

std::string MissionNameProblem(std::string_view baseName) {
    if (!IsPlainFileName(baseName)) return "the name \"" + std::string(baseName) + "\" is not a file name";
    if (GetBaseName(thorn::Utf8FileNameToAnsi(baseName)) == kReservedMission)
        return "the name \"" + std::string(baseName) + "\" is reserved for the game's own mission";
    return {};
}

std::array<fs::path, 2> PackageFilesOf(const fs::path& folder, std::string_view baseName) {
    const std::string base(baseName);
    return {folder / (base + ".pdb"), folder / (base + ".pak")};
}

thorn::PackResult PackExportDirectory(const fs::path& exportTree, const fs::path& destinationFolder,
                                      std::string_view baseName, const thorn::PackEnvironment& env) {
    const TreeRemover remover(exportTree);
    if (std::string problem = MissionNameProblem(baseName); !problem.empty()) return {false, std::move(problem)};
    const std::string databaseName = thorn::Utf8FileNameToAnsi(baseName);

    // A package reached through a link is written where the link leads, and
    // the link stays. The pair is put in place in one folder, which the
    // links must not part.
    const auto [pdbNamed, pakNamed] = PackageFilesOf(destinationFolder, baseName);
    fs::path pdbFile, pakFile;
    for (auto [named, file] : {std::pair(&pdbNamed, &pdbFile), std::pair(&pakNamed, &pakFile)}) {
        try {
            *file = thorn::FollowLinks(*named);
        } catch (const EFOpenError&) {
            return {false, thorn::CannotWriteMessage(thorn::FileWriteError(*named, std::strerror(ELOOP)))};
        }
    }
    if (!InOneFolder(pdbFile, pakFile))
        return {false, "the files " + thorn::Quoted(pdbFile) + " and " + thorn::Quoted(pakFile) +
                           " that the links lead to are not in one folder"};
    // The .pdb and the .pak make one mission: a new one beside an old other
    // would look like a mission and not be one. Both are written whole
    // before either replaces its earlier file.
    thorn::ReplaceTogether pair({pdbFile, pakFile}, env.step);
    // An earlier export of this name killed on the way is put right first.
    if (const std::optional<fs::path> left = pair.Recover()) {
        env.Console() << "Cannot restore destination file " << left->string() << "\n\n";
        return {false, "the file " + thorn::Quoted(*left) + " that an earlier export left cannot be put right"};
    }
    const auto stageAs = [&pair](const fs::path& file) {
        return [&pair, file](std::span<const uint8_t> bytes) { pair.Stage(file, bytes); };
    };
    thorn::PackResult pdb = PackDirectoryToPdb(true, databaseName, kPackageCreator, kPackageType, exportTree, pdbFile,
                                               env, stageAs(pdbFile));
    if (!pdb.ok) return pdb;
    thorn::PackResult pak =
        PackDirectoryToPak(true, kPackageCreator, kPackageType, exportTree, pakFile, env, stageAs(pakFile));
    if (!pak.ok) return pak;
    try {
        pair.Commit();
    } catch (const thorn::FileWriteError& failure) {
        env.Console() << "Cannot replace destination file " << failure.File().string() << "\n\n";
        return {false, thorn::CannotWriteMessage(failure)};
    }
    return {true, {}};
}
