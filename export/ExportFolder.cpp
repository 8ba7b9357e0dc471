#include "export/ExportFolder.h"

#include <stdlib.h>

#include <string>
#include <system_error>
#include <vector>

#include "export/ExportFiles.h"

namespace fs = std::filesystem;

namespace thorn {

ExportFolder::ExportFolder(const fs::path& root) {
    std::error_code error;
    const fs::path base = root.empty() ? fs::temp_directory_path(error) : root;
    if (error) throw ExportError("there is no temporary folder to write the mission into");
    const std::string pattern = (base / "thorn-export-XXXXXX").string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (mkdtemp(name.data()) == nullptr)
        throw ExportError(Joined({"no temporary folder could be made in \"", base.string(), "\""}));
    path_ = name.data();
}

ExportFolder::~ExportFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

}  // namespace thorn
