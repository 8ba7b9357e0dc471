#include "platform/RegistryStore.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <mutex>
#include <optional>
#include <system_error>
#include <vector>

#include "platform/Classes.h"
#include "platform/Files.h"
#include "platform/Registry.h"

namespace thorn {

namespace {

RegistryWarningSink& WarningSink() {
    static RegistryWarningSink sink = [](const std::string& message) {
        std::fprintf(stderr, "%s\n", message.c_str());
    };
    return sink;
}

}  // namespace

RegistryWarningSink SetRegistryWarningSink(RegistryWarningSink sink) {
    RegistryWarningSink replaced = std::move(WarningSink());
    WarningSink() = std::move(sink);
    return replaced;
}

}  // namespace thorn

namespace thorn::registry {

namespace {

// The file as the store last read or wrote it. Its bytes tell whether the
// file changed since: a file replaced by another writer may well get the
// inode, size and time stamp of one before it, but not its bytes unless it
// holds the same settings.
struct Snapshot {
    enum class State { Unknown, Missing, Parsed, Damaged, Unreadable };
    State state = State::Unknown;
    std::vector<uint8_t> bytes;
    std::unique_ptr<Key> top = std::make_unique<Key>();
    std::string whyUnreadable;
};

std::mutex& SnapshotMutex() {
    static std::mutex mutex;
    return mutex;
}

Snapshot& Current() {
    static Snapshot snapshot;
    return snapshot;
}

void Forget(Snapshot& snapshot) { snapshot = Snapshot{}; }

std::string SizeLimitText() { return std::to_string(kMaxFileSize >> 20) + " MiB"; }

// Brings the snapshot up to what the file holds now.
void Refresh(Snapshot& snapshot, const std::filesystem::path& file) {
    using State = Snapshot::State;
    if ((snapshot.state == State::Parsed || snapshot.state == State::Damaged) && FileHolds(file, snapshot.bytes))
        return;
    bool tooLarge = false;
    std::vector<uint8_t> bytes;
    try {
        bytes = ReadRegularFile(file, kMaxFileSize, [&](std::span<const uint8_t>, uint64_t size) {
            tooLarge = size > kMaxFileSize;
        });
    } catch (const EStreamError& error) {
        std::error_code ignored;
        Forget(snapshot);
        if (tooLarge) snapshot.state = State::Damaged;
        else if (std::filesystem::status(file, ignored).type() == std::filesystem::file_type::not_found)
            snapshot.state = State::Missing;
        else
            snapshot.state = State::Unreadable, snapshot.whyUnreadable = error.Message();
        return;
    }
    Forget(snapshot);
    std::unique_ptr<Key> top = Parse(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    snapshot.state = top ? State::Parsed : State::Damaged;
    if (top) snapshot.top = std::move(top);
    snapshot.bytes = std::move(bytes);
}

// Held from a writer's read to its write: an exclusive lock on the lock file
// beside the store's file, which every writer of every program takes.
class WriterLock {
public:
    explicit WriterLock(const std::filesystem::path& file) {
        std::filesystem::path lockFile = file;
        lockFile += ".lock";
        fd_ = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd_ < 0) Fail(lockFile);
        while (::flock(fd_, LOCK_EX) != 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            ::close(fd_);
            errno = error;
            Fail(lockFile);
        }
    }
    ~WriterLock() { ::close(fd_); }
    WriterLock(const WriterLock&) = delete;
    WriterLock& operator=(const WriterLock&) = delete;

private:
    [[noreturn]] static void Fail(const std::filesystem::path& lockFile) {
        throw EWriteError("Cannot lock the settings through " + Quoted(lockFile) + ": " + std::strerror(errno));
    }

    int fd_ = -1;
};

std::filesystem::path StoreFile() {
    const std::filesystem::path file = RegistryFile();
    if (file.empty()) throw EWriteError("There is no configuration folder: neither XDG_CONFIG_HOME nor HOME is set");
    return file;
}

}  // namespace

void Read(const std::function<void(const Key& top)>& read) {
    const std::filesystem::path file = RegistryFile();
    std::lock_guard guard(SnapshotMutex());
    Snapshot& snapshot = Current();
    if (file.empty()) Forget(snapshot);
    else Refresh(snapshot, file);
    read(*snapshot.top);
}

bool Change(const std::function<bool(Key& top)>& change) {
    const std::filesystem::path file = StoreFile();
    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
    if (error) throw EWriteError("Cannot make the folder " + Quoted(file.parent_path()) + ": " + error.message());

    std::optional<std::string> warning;
    std::exception_ptr failure;
    {
        const WriterLock lock(file);
        std::lock_guard guard(SnapshotMutex());
        Snapshot& snapshot = Current();
        Refresh(snapshot, file);
        if (snapshot.state == Snapshot::State::Unreadable) throw EReadError(snapshot.whyUnreadable);
        try {
            if (!change(*snapshot.top)) return false;
            const std::string text = Format(*snapshot.top);
            if (text.size() > kMaxFileSize)
                throw EWriteError("The settings would take more than the " + SizeLimitText() + " their file may hold");
            if (snapshot.state == Snapshot::State::Damaged) {
                const std::filesystem::path aside = KeepDamagedAside(file);
                warning = "The settings file " + Quoted(file) + " could not be read; it is kept as " + Quoted(aside) +
                          " and the settings start afresh.";
            }
            ReplaceFileSynced(file, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
            snapshot.state = Snapshot::State::Parsed;
            snapshot.bytes.assign(text.begin(), text.end());
        } catch (...) {
            // The tree may hold the refused change: the file is read afresh.
            Forget(snapshot);
            failure = std::current_exception();
        }
    }
    // Told even when the write then failed: the file was moved all the same.
    if (warning && WarningSink()) WarningSink()(*warning);
    if (failure) std::rethrow_exception(failure);
    return true;
}

}  // namespace thorn::registry
