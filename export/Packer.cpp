#include "export/Packer.h"

#include <string>

#include "export/AnsiText.h"
#include "export/PakWriter.h"
#include "export/PdbWriter.h"

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
    thorn::PackResult pdb = PackDirectoryToPdb(true, databaseName, kPackageCreator, kPackageType, exportTree,
                                               destinationFolder / (base + ".pdb"), env);
    // A fresh .pak beside an old .pdb would not make a mission: the pair is
    // written together or the .pak is left as it was.
    if (!pdb.ok) return pdb;
    return PackDirectoryToPak(true, kPackageCreator, kPackageType, exportTree, destinationFolder / (base + ".pak"),
                              env);
}
