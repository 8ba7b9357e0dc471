#include "export/ExportFolder.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "export/ExportFiles.h"

namespace fs = std::filesystem;

namespace thorn {
namespace {

// mkdtemp's pattern: the prefix and six letters or digits.
constexpr std::string_view kPrefix = "thorn-export-";
constexpr size_t kLetters = 6;

bool IsExportFolderName(std::string_view name) {
    return name.size() == kPrefix.size() + kLetters && name.starts_with(kPrefix) &&
           std::all_of(name.begin() + kPrefix.size(), name.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

// An open descriptor of the folder, locked; -1 when it cannot be had (with
// wait false: when another export holds it).
int LockFolder(const fs::path& folder, bool wait) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return -1;
    int locked;
    while ((locked = ::flock(fd, LOCK_EX | (wait ? 0 : LOCK_NB))) != 0 && errno == EINTR) {
    }
    if (locked != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Removes the folders that exports killed on the way left under base: ours
// by name and owner, and held by no export that still runs.
void RemoveLeftFolders(const fs::path& base, const ExportStepHook& step) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(base, error)) {
        const fs::path folder = entry.path();
        struct stat status {};
        if (!IsExportFolderName(folder.filename().string()) || ::lstat(folder.c_str(), &status) != 0 ||
            !S_ISDIR(status.st_mode) || status.st_uid != ::geteuid())
            continue;
        const int lock = LockFolder(folder, false);
        if (lock < 0) continue;
        if (step) step("remove " + folder.filename().string());
        std::error_code ignored;
        fs::remove_all(folder, ignored);
        ::close(lock);
    }
}

}  // namespace

ExportFolder::ExportFolder(const fs::path& root, const ExportStepHook& step) {
    std::error_code error;
    root_ = root.empty() ? fs::temp_directory_path(error) : root;
    if (error) throw ExportError("there is no temporary folder to write the mission into");
    RemoveLeftFolders(root_, step);
    if (step) step("make the temporary folder");
    const std::string pattern = (root_ / kPrefix).string() + std::string(kLetters, 'X');
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (mkdtemp(name.data()) == nullptr)
        throw ExportError(
            Joined({"no temporary folder could be made in \"", root_.string(), "\": ", std::strerror(errno)}));
    path_ = name.data();
    lock_ = LockFolder(path_, true);
}

ExportFolder::~ExportFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
    if (lock_ >= 0) ::close(lock_);
}

}  // namespace thorn
