#include "export/Packer.h"

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

thorn::PackResult PackExportDirectory(const fs::path& exportTree, const fs::path& destinationFolder,
                                      std::string_view baseName, const thorn::PackEnvironment& env) {
    const TreeRemover remover(exportTree);
    if (std::string problem = MissionNameProblem(baseName); !problem.empty()) return {false, std::move(problem)};
    const std::string databaseName = thorn::Utf8FileNameToAnsi(baseName);

    const std::string base(baseName);
    const fs::path pdbFile = destinationFolder / (base + ".pdb");
    const fs::path pakFile = destinationFolder / (base + ".pak");
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
        return [&pair, file](std::span<const uint8_t> bytes) { return pair.Stage(file, bytes); };
    };
    thorn::PackResult pdb = PackDirectoryToPdb(true, databaseName, kPackageCreator, kPackageType, exportTree, pdbFile,
                                               env, stageAs(pdbFile));
    if (!pdb.ok) return pdb;
    thorn::PackResult pak =
        PackDirectoryToPak(true, kPackageCreator, kPackageType, exportTree, pakFile, env, stageAs(pakFile));
    if (!pak.ok) return pak;
    if (const std::optional<fs::path> failed = pair.Commit()) {
        env.Console() << "Cannot replace destination file " << failed->string() << "\n\n";
        return {false, "the file " + thorn::Quoted(*failed) + " cannot be written"};
    }
    return {true, {}};
}
