#include "platform/Files.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <system_error>

#include "platform/Classes.h"

namespace thorn {
namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// "16 MiB" for whole mebibytes, else the bytes.
std::string SizeText(uint64_t bytes) {
    constexpr uint64_t kMiB = uint64_t{1} << 20;
    if (bytes >= kMiB && bytes % kMiB == 0) return std::to_string(bytes / kMiB) + " MiB";
    return std::to_string(bytes) + " bytes";
}

// How many letters or digits make a temporary file's name unique.
constexpr size_t kTemporaryLetters = 6;

std::string RandomLetters(size_t count) {
    static constexpr std::string_view kLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937 generator{std::random_device{}()};
    std::uniform_int_distribution<size_t> pick(0, kLetters.size() - 1);
    std::string letters(count, ' ');
    for (char& c : letters) c = kLetters[pick(generator)];
    return letters;
}

struct Descriptor {
    int fd;
    ~Descriptor() { ::close(fd); }
};

[[noreturn]] void FailWriting(const std::filesystem::path& file, int error) {
    throw FileWriteError(file, std::strerror(error));
}

// The folder that holds file, as a path that opens.
std::filesystem::path FolderOf(const std::filesystem::path& file) {
    return file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
}

// Makes the names in file's folder last: a rename or a new name reaches the
// disk only with its folder. Answers errno, or 0. The name is given by then,
// so this is as much as can be done: a file system that cannot sync a folder
// (EINVAL) keeps its names as it can, and so does a folder this user cannot
// open (one to write in but not to list).
int SyncFolderOf(const std::filesystem::path& file) {
    const int fd = ::open(FolderOf(file).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return 0;
    const Descriptor closer{fd};
    if (::fsync(fd) != 0 && errno != EINVAL) return errno;
    return 0;
}

// Gives from the name to without replacing anything that holds it: answers
// 0, or errno (EEXIST when the name is taken).
int RenameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
    // A file system without that rename: a second name made only where none
    // is, then the first one dropped.
    if (::link(from.c_str(), to.c_str()) != 0) return errno;
    if (::unlink(from.c_str()) != 0) {
        const int error = errno;
        ::unlink(to.c_str());
        return error;
    }
    return 0;
}

[[noreturn]] void FailKeepingAside(const std::filesystem::path& target, const std::string& why) {
    throw EWriteError("Cannot keep the damaged file " + Quoted(target) + " aside: " + why);
}

}  // namespace

FileWriteError::FileWriteError(std::filesystem::path file, std::string reason)
    : EWriteError("Cannot write file " + Quoted(file) + ": " + reason), file_(std::move(file)),
      reason_(std::move(reason)) {}

std::string Quoted(const std::filesystem::path& path) {
    // Built by appending: "\"" + a temporary trips a false overlap warning
    // of GCC 12 in optimised builds.
    std::string quoted(1, '"');
    quoted += path.string();
    quoted += '"';
    return quoted;
}

std::vector<uint8_t> ReadRegularFile(const std::filesystem::path& file, uint64_t maxBytes,
                                     const FileHeadCheck& checkHead) {
    const std::string name = Quoted(file);
    const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) throw EFOpenError("Cannot open file " + name + ": " + std::strerror(errno));
    const Descriptor closer{fd};
    struct stat status {};
    if (::fstat(fd, &status) != 0) throw EFOpenError("Cannot open file " + name + ": " + std::strerror(errno));
    if (!S_ISREG(status.st_mode)) throw EFOpenError("Cannot open file " + name + ": not a regular file");
    const uint64_t size = static_cast<uint64_t>(status.st_size);

    std::vector<uint8_t> bytes;
    // Reads up to count more bytes; fewer only at the end of the file.
    auto readMore = [&](uint64_t count) {
        const size_t start = bytes.size();
        bytes.resize(start + static_cast<size_t>(count));
        size_t got = start;
        while (got < bytes.size()) {
            const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) throw EReadError("Cannot read file " + name + ": " + std::strerror(errno));
            if (n == 0) break;
            got += static_cast<size_t>(n);
        }
        bytes.resize(got);
    };
    readMore(std::min<uint64_t>(size, kFileHeadSize));
    if (checkHead) checkHead(bytes, size);
    if (size > maxBytes)
        throw EReadError("Cannot read file " + name + ": it is larger than " + SizeText(maxBytes));
    if (size > bytes.size()) readMore(size - bytes.size());
    // The size measured is all there is: a file that shrank or grew since
    // is not taken half read.
    if (bytes.size() == size) readMore(1);
    if (bytes.size() != size) throw EReadError("Cannot read file " + name + ": it changed while it was read");
    return bytes;
}

bool FileHolds(const std::filesystem::path& file, std::span<const uint8_t> bytes) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    const Descriptor closer{fd};
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || static_cast<uint64_t>(status.st_size) != bytes.size())
        return false;
    std::vector<uint8_t> piece(size_t{64} << 10);
    size_t compared = 0;
    while (true) {
        const ssize_t n = ::read(fd, piece.data(), piece.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return compared == bytes.size();
        const auto got = static_cast<size_t>(n);
        if (got > bytes.size() - compared || std::memcmp(piece.data(), bytes.data() + compared, got) != 0) return false;
        compared += got;
    }
}

std::optional<std::vector<uint8_t>> ReadWholeFile(const std::filesystem::path& file) {
    try {
        return ReadRegularFile(file, std::numeric_limits<uint64_t>::max());
    } catch (const EStreamError&) {
        return std::nullopt;
    }
}

void WriteWholeFile(const std::filesystem::path& file, std::span<const uint8_t> bytes) {
    FilePtr f(std::fopen(file.c_str(), "wb"));
    if (!f) FailWriting(file, errno);
    int error = 0;
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f.get()) != bytes.size()) error = errno;
    if (std::fflush(f.get()) != 0 && error == 0) error = errno;
    if (std::fclose(f.release()) != 0 && error == 0) error = errno;
    if (error == 0) return;
    ::unlink(file.c_str());
    FailWriting(file, error);
}

std::filesystem::path WriteTemporaryBeside(const std::filesystem::path& target, std::span<const uint8_t> bytes,
                                           const TemporaryFileOptions& options) {
    auto fail = [&](int error) { FailWriting(target, error); };
    // O_EXCL with O_CREAT opens nothing that exists, a link or a FIFO
    // included; a name taken by another writer is drawn again.
    constexpr int kAttempts = 100;
    std::filesystem::path temporary;
    int fd = -1;
    for (int attempt = 0; attempt < kAttempts && fd < 0; ++attempt) {
        temporary = TemporaryNameBeside(target, options.suffix);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) fail(errno);
    }
    if (fd < 0) fail(EEXIST);
    struct Unfinished {
        int fd;
        const std::filesystem::path& file;
        bool done = false;
        ~Unfinished() {
            if (fd >= 0) ::close(fd);
            if (!done) ::unlink(file.c_str());
        }
    } unfinished{fd, temporary};
    if (options.mode && ::fchmod(fd, *options.mode & 07777) != 0) fail(errno);
    size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) fail(n < 0 ? errno : EIO);
        written += static_cast<size_t>(n);
    }
    if (options.sync && ::fsync(fd) != 0) fail(errno);
    unfinished.fd = -1;
    if (::close(fd) != 0) fail(errno);
    unfinished.done = true;
    return temporary;
}

std::filesystem::path TemporaryNameBeside(const std::filesystem::path& target, std::string_view suffix) {
    return target.string() + "." + RandomLetters(kTemporaryLetters) + std::string(suffix);
}

bool IsTemporaryNameOf(std::string_view name, std::string_view targetName, std::string_view suffix) {
    if (name.size() != targetName.size() + 1 + kTemporaryLetters + suffix.size()) return false;
    if (!name.starts_with(targetName) || name[targetName.size()] != '.' || !name.ends_with(suffix)) return false;
    const std::string_view letters = name.substr(targetName.size() + 1, kTemporaryLetters);
    return std::all_of(letters.begin(), letters.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

bool WriteFileReplacing(const std::filesystem::path& file, std::span<const uint8_t> bytes) {
    std::filesystem::path temporary;
    try {
        temporary = WriteTemporaryBeside(file, bytes);
    } catch (const EWriteError&) {
        return false;
    }
    std::error_code renamed, ignored;
    std::filesystem::rename(temporary, file, renamed);
    if (renamed) {
        std::filesystem::remove(temporary, ignored);
        return false;
    }
    return true;
}

std::filesystem::path FollowLinks(const std::filesystem::path& file) {
    // As many links as the system itself follows in one look-up.
    constexpr int kMaxLinks = 40;
    std::filesystem::path target = file;
    for (int followed = 0; followed <= kMaxLinks; ++followed) {
        std::error_code error;
        if (!std::filesystem::is_symlink(target, error)) return target;
        const std::filesystem::path next = std::filesystem::read_symlink(target, error);
        if (error) throw EFOpenError("Cannot open file " + Quoted(file) + ": " + error.message());
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    throw EFOpenError("Cannot open file " + Quoted(file) + ": " + std::strerror(ELOOP));
}

std::optional<uint32_t> ReplaceableMode(const std::filesystem::path& target) {
    struct stat old {};
    if (::lstat(target.c_str(), &old) != 0) {
        if (errno == ENOENT) return std::nullopt;
        FailWriting(target, errno);
    }
    if (!S_ISREG(old.st_mode)) throw FileWriteError(target, "it is not a regular file");
    // The permission bits are asked too: the owner of every file (root)
    // passes the access check even where the file says no one writes.
    if ((old.st_mode & 0222) == 0) FailWriting(target, EACCES);
    if (::access(target.c_str(), W_OK) != 0) FailWriting(target, errno);
    return old.st_mode & 07777;
}

void ReplaceFileSynced(const std::filesystem::path& file, std::span<const uint8_t> bytes) {
    std::filesystem::path target;
    try {
        target = FollowLinks(file);
    } catch (const EFOpenError&) {
        FailWriting(file, ELOOP);
    }
    TemporaryFileOptions options;
    // Synced first: a crash after the rename must not leave an empty file
    // under the old name.
    options.sync = true;
    options.mode = ReplaceableMode(target);
    const std::filesystem::path temporary = WriteTemporaryBeside(target, bytes, options);
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        FailWriting(target, error);
    }
    if (const int error = SyncFolderOf(target)) FailWriting(target, error);
}

std::filesystem::path KeepDamagedAside(const std::filesystem::path& file) {
    const std::filesystem::path target = FollowLinks(file);
    const auto fail = [&](const std::string& why) { FailKeepingAside(target, why); };
    struct stat status {};
    if (::lstat(target.c_str(), &status) != 0) fail(std::strerror(errno));
    if (!S_ISREG(status.st_mode)) fail("it is not a regular file");
    constexpr int kMostKept = 100;
    for (int attempt = 1; attempt <= kMostKept; ++attempt) {
        std::filesystem::path aside = target;
        aside += attempt == 1 ? std::string(".damaged") : ".damaged-" + std::to_string(attempt);
        const int error = RenameNoReplace(target, aside);
        if (error == EEXIST) continue;
        if (error != 0) fail(std::strerror(error));
        if (const int unsynced = SyncFolderOf(target)) fail(std::strerror(unsynced));
        return aside;
    }
    FailKeepingAside(target, "too many damaged copies are kept beside it");
}

}  // namespace thorn
