#include "export/ReplaceTogether.h"

#include <stdlib.h>
#include <unistd.h>

#include <string>
#include <system_error>

#include "platform/Files.h"

namespace fs = std::filesystem;

namespace thorn {
namespace {

// A fresh name beside target to keep the earlier file under while the new
// one takes its place; empty when none can be made.
fs::path AsideName(const fs::path& target) {
    std::string pattern = target.string() + ".old-XXXXXX";
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) return {};
    ::close(fd);
    return pattern;
}

// Whether something other than a folder stands at path: a folder is never
// moved aside, so a rename over it fails and the set is put back.
bool HoldsAFile(const fs::path& path) {
    std::error_code error;
    const fs::file_status status = fs::symlink_status(path, error);
    return !error && fs::exists(status) && !fs::is_directory(status);
}

}  // namespace

ReplaceTogether::~ReplaceTogether() { RemoveTemporaries(); }

bool ReplaceTogether::Stage(const fs::path& target, std::span<const uint8_t> bytes) {
    fs::path temporary = target;
    temporary += ".tmp";
    if (!WriteWholeFile(temporary, bytes)) return false;
    staged_.push_back({target, std::move(temporary), {}, false});
    return true;
}

std::optional<fs::path> ReplaceTogether::Commit() {
    std::error_code error;
    // The earlier files step aside rather than being renamed over, so that
    // each can come back if a later one cannot be put in place.
    for (Staged& file : staged_) {
        if (!HoldsAFile(file.target)) continue;
        fs::path aside = AsideName(file.target);
        if (!aside.empty()) fs::rename(file.target, aside, error);
        if (aside.empty() || error) {
            if (!aside.empty()) fs::remove(aside, error);
            const fs::path failed = file.target;
            RollBack();
            return failed;
        }
        file.aside = std::move(aside);
    }
    for (Staged& file : staged_) {
        fs::rename(file.temporary, file.target, error);
        if (error) {
            const fs::path failed = file.target;
            RollBack();
            return failed;
        }
        file.placed = true;
    }
    for (const Staged& file : staged_)
        if (!file.aside.empty()) fs::remove(file.aside, error);
    staged_.clear();
    return std::nullopt;
}

void ReplaceTogether::RollBack() {
    std::error_code ignored;
    for (auto file = staged_.rbegin(); file != staged_.rend(); ++file) {
        if (file->placed) fs::remove(file->target, ignored);
        if (!file->aside.empty()) fs::rename(file->aside, file->target, ignored);
        file->placed = false;
        file->aside.clear();
    }
    RemoveTemporaries();
}

void ReplaceTogether::RemoveTemporaries() {
    std::error_code ignored;
    for (const Staged& file : staged_)
        if (!file.placed) fs::remove(file.temporary, ignored);
    staged_.clear();
}

}  // namespace thorn
