#include "platform/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
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

struct Descriptor {
    int fd;
    ~Descriptor() { ::close(fd); }
};

}  // namespace

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

bool WriteWholeFile(const std::filesystem::path& file, std::span<const uint8_t> bytes) {
    std::error_code ignored;
    FilePtr f(std::fopen(file.c_str(), "wb"));
    if (!f) return false;
    bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f.get()) == bytes.size();
    written = std::fflush(f.get()) == 0 && written;
    if (std::fclose(f.release()) != 0 || !written) {
        std::filesystem::remove(file, ignored);
        return false;
    }
    return true;
}

bool WriteFileReplacing(const std::filesystem::path& file, std::span<const uint8_t> bytes) {
    std::filesystem::path temporary = file;
    temporary += ".tmp";
    if (!WriteWholeFile(temporary, bytes)) return false;
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

void ReplaceFileSynced(const std::filesystem::path& file, std::span<const uint8_t> bytes) {
    std::filesystem::path target;
    try {
        target = FollowLinks(file);
    } catch (const EFOpenError& error) {
        throw EWriteError(error.Message());
    }
    const std::string name = Quoted(target);
    auto fail = [&](int error) { throw EWriteError("Cannot write file " + name + ": " + std::strerror(error)); };
    // Unique per writer, so that two programs replacing the file at once
    // never write into each other's temporary file.
    std::string temporary = target.string() + ".XXXXXX.tmp";
    const int fd = ::mkostemps(temporary.data(), 4, O_CLOEXEC);
    if (fd < 0) fail(errno);
    const Descriptor closer{fd};
    struct Unfinished {
        const std::string& file;
        bool renamed = false;
        ~Unfinished() {
            if (!renamed) ::unlink(file.c_str());
        }
    } unfinished{temporary};

    struct stat old {};
    if (::stat(target.c_str(), &old) == 0 && ::fchmod(fd, old.st_mode & 07777) != 0) fail(errno);
    size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) fail(n < 0 ? errno : EIO);
        written += static_cast<size_t>(n);
    }
    // Synced first: a crash after the rename must not leave an empty file
    // under the old name.
    if (::fsync(fd) != 0) fail(errno);
    if (::rename(temporary.c_str(), target.c_str()) != 0) fail(errno);
    unfinished.renamed = true;
}

}  // namespace thorn
