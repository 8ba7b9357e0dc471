#include "export/ReplaceTogether.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <system_error>

#include "platform/Classes.h"
#include "platform/Files.h"

namespace fs = std::filesystem;

namespace thorn {
namespace {

constexpr std::string_view kKeptSuffix = ".old";
constexpr std::string_view kJournalSuffix = ".replacing";
// A journal names a handful of files.
constexpr uint64_t kMaxJournalSize = 64 << 10;

// A temporary file synced to the disk before it is answered.
TemporaryFileOptions Synced(std::string_view suffix = ".tmp") {
    TemporaryFileOptions options;
    options.sync = true;
    options.suffix = suffix;
    return options;
}

// Whether something other than a folder stands at path: a folder is never
// kept, so a rename over it fails and the set is put back.
bool HoldsAFile(const fs::path& path) {
    std::error_code error;
    const fs::file_status status = fs::symlink_status(path, error);
    return !error && fs::exists(status) && !fs::is_directory(status);
}

// The target under a second name beside it: a hard link where the file
// system makes one (the target stays in place, and nothing is copied), else
// a synced copy. Throws FileWriteError when neither can be made.
fs::path KeepCopy(const fs::path& target) {
    constexpr int kAttempts = 100;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        fs::path kept = TemporaryNameBeside(target, kKeptSuffix);
        // No flag: a target that is a link is kept as the link it is.
        if (::linkat(AT_FDCWD, target.c_str(), AT_FDCWD, kept.c_str(), 0) == 0) return kept;
        if (errno != EEXIST) break;
    }
    struct stat status {};
    TemporaryFileOptions options = Synced(kKeptSuffix);
    if (::stat(target.c_str(), &status) == 0) options.mode = status.st_mode;
    std::vector<uint8_t> bytes;
    try {
        bytes = ReadRegularFile(target, UINT64_MAX);
    } catch (const EStreamError& error) {
        throw FileWriteError(target, "it cannot be kept until the new one stands (" + error.Message() + ")");
    }
    return WriteTemporaryBeside(target, bytes, options);
}

// Makes the names in the folder fd holds last. Answers errno, or 0; a file
// system that cannot sync a folder (EINVAL) keeps its names as it can, and
// so does a folder that could not be opened (fd < 0).
int SyncFolder(int fd) {
    if (fd < 0 || ::fsync(fd) == 0 || errno == EINVAL) return 0;
    return errno;
}

// Removes a file, never a folder.
void RemoveFile(const fs::path& path) {
    if (HoldsAFile(path)) ::unlink(path.c_str());
}

}  // namespace

ReplaceTogether::ReplaceTogether(std::vector<fs::path> targets, ExportStepHook step)
    : targets_(std::move(targets)), step_(std::move(step)) {
    if (targets_.empty()) throw EInvalidOperation("ReplaceTogether needs at least one target");
    const fs::path folder = targets_.front().parent_path().empty() ? fs::path(".") : targets_.front().parent_path();
    // A folder that cannot be opened is neither locked nor synced: one that
    // is not there fails when the files are staged, and one the user may
    // write in but not list takes them all the same.
    folderLock_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderLock_ >= 0) {
        while (::flock(folderLock_, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
}

ReplaceTogether::~ReplaceTogether() {
    RemoveTemporaries();
    if (folderLock_ >= 0) ::close(folderLock_);
}

void ReplaceTogether::Step(std::string_view what, const fs::path& file) const {
    if (step_) step_(std::string(what) + " " + file.filename().string());
}

fs::path ReplaceTogether::Journal() const {
    fs::path journal = targets_.front();
    journal += kJournalSuffix;
    return journal;
}

std::optional<fs::path> ReplaceTogether::Recover() {
    if (folderLock_ < 0) return std::nullopt;
    const fs::path journal = Journal();
    std::error_code error;
    const fs::file_status status = fs::symlink_status(journal, error);
    if (fs::exists(status)) {
        // One line a target: its name, a tab and the name of its kept copy
        // (none when it had no earlier file).
        std::vector<Staged> earlier;
        try {
            if (!fs::is_regular_file(status)) return journal;
            const std::vector<uint8_t> bytes = ReadRegularFile(journal, kMaxJournalSize);
            std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
            while (!text.empty()) {
                const size_t end = text.find('\n');
                if (end == std::string_view::npos) return journal;
                const std::string_view line = text.substr(0, end);
                text.remove_prefix(end + 1);
                const size_t tab = line.find('\t');
                if (tab == std::string_view::npos) return journal;
                const std::string_view name = line.substr(0, tab), kept = line.substr(tab + 1);
                const auto target = std::find_if(targets_.begin(), targets_.end(),
                                                 [name](const fs::path& t) { return t.filename() == name; });
                if (target == targets_.end() || (!kept.empty() && !IsTemporaryNameOf(kept, name, kKeptSuffix)))
                    return journal;
                earlier.push_back({*target, {}, kept.empty() ? fs::path() : target->parent_path() / kept, true});
            }
        } catch (const EStreamError&) {
            return journal;
        }
        PutEarlierBack(earlier);
        for (const Staged& file : earlier)
            if (!file.kept.empty() && HoldsAFile(file.kept) && !HoldsAFile(file.target)) return file.kept;
        Step("forget the journal", journal);
        if (::unlink(journal.c_str()) != 0) return journal;
    }
    // What earlier sets left beside the targets: temporary files, kept
    // copies, a journal never put in place.
    const fs::path folder = journal.parent_path().empty() ? fs::path(".") : journal.parent_path();
    std::vector<std::string> names;
    for (const fs::path& target : targets_) names.push_back(target.filename().string());
    const std::string journalName = journal.filename().string();
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        const bool left = IsTemporaryNameOf(name, journalName) ||
                          std::any_of(names.begin(), names.end(), [&](const std::string& target) {
                              return IsTemporaryNameOf(name, target) || IsTemporaryNameOf(name, target, kKeptSuffix);
                          });
        if (!left || !HoldsAFile(entry.path())) continue;
        Step("remove", entry.path());
        ::unlink(entry.path().c_str());
    }
    return std::nullopt;
}

void ReplaceTogether::Stage(const fs::path& target, std::span<const uint8_t> bytes) {
    Step("stage", target);
    TemporaryFileOptions options = Synced();
    options.mode = ReplaceableMode(target);
    fs::path temporary = WriteTemporaryBeside(target, bytes, options);
    staged_.push_back({target, std::move(temporary), {}, false});
}

void ReplaceTogether::Commit() {
    // Whatever stops the set leaves every target as it was. The file is
    // taken by value: it may be one of the staged files' names, which go.
    const auto fail = [this](fs::path file, const std::string& reason) {
        RemoveTemporaries();
        throw FileWriteError(std::move(file), reason);
    };
    // The earlier files are kept under second names, and stay in place.
    for (Staged& file : staged_) {
        if (!HoldsAFile(file.target)) continue;
        Step("keep", file.target);
        try {
            file.kept = KeepCopy(file.target);
        } catch (const FileWriteError& error) {
            fail(file.target, error.Reason());
        }
    }
    const fs::path journal = Journal();
    std::string lines;
    for (const Staged& file : staged_)
        lines += file.target.filename().string() + "\t" + file.kept.filename().string() + "\n";
    Step("write the journal", journal);
    try {
        const fs::path temporary = WriteTemporaryBeside(
            journal, std::span(reinterpret_cast<const uint8_t*>(lines.data()), lines.size()), Synced());
        if (::rename(temporary.c_str(), journal.c_str()) != 0) {
            const int error = errno;
            ::unlink(temporary.c_str());
            throw FileWriteError(journal, std::strerror(error));
        }
        // The journal and the kept copies it names reach the disk before
        // any target is replaced.
        if (const int error = SyncFolder(folderLock_)) throw FileWriteError(journal, std::strerror(error));
    } catch (const FileWriteError& error) {
        ::unlink(journal.c_str());
        fail(journal, error.Reason());
    }
    // From here to the journal's removal a kill is undone by the next set.
    const auto undo = [&](fs::path failed, int error) {
        PutEarlierBack(staged_);
        ::unlink(journal.c_str());
        fail(std::move(failed), std::strerror(error));
    };
    for (Staged& file : staged_) {
        Step("place", file.target);
        if (::rename(file.temporary.c_str(), file.target.c_str()) != 0) {
            const int error = errno;
            undo(file.target, error);
        }
        file.placed = true;
    }
    // Every new target lasts before the journal that would undo them goes.
    if (const int error = SyncFolder(folderLock_)) undo(journal, error);
    Step("forget the journal", journal);
    if (::unlink(journal.c_str()) != 0) {
        const int error = errno;
        undo(journal, error);
    }
    for (const Staged& file : staged_) {
        if (file.kept.empty()) continue;
        Step("drop", file.kept);
        ::unlink(file.kept.c_str());
    }
    staged_.clear();
    // The journal's removal made to last. Should it not, a power cut leaves
    // the journal, and the next set puts the earlier one back: a whole pair
    // all the same, so the new set is not refused for it.
    SyncFolder(folderLock_);
}

void ReplaceTogether::PutEarlierBack(const std::vector<Staged>& files) const {
    for (const Staged& file : files) {
        Step("put back", file.target);
        if (file.kept.empty()) {
            // It had no earlier file: what stands there is the new one.
            if (file.placed) RemoveFile(file.target);
        } else if (HoldsAFile(file.kept)) {
            // A copy already put back is gone: a second recovery leaves
            // its target as the first made it.
            ::rename(file.kept.c_str(), file.target.c_str());
        }
    }
}

void ReplaceTogether::RemoveTemporaries() {
    for (const Staged& file : staged_) {
        if (!file.placed) RemoveFile(file.temporary);
        if (!file.kept.empty()) RemoveFile(file.kept);
    }
    staged_.clear();
}

}  // namespace thorn
