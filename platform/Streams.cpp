#include "platform/Streams.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

#include "platform/Files.h"

int64_t TStream::GetSize() {
    int64_t position = GetPosition();
    int64_t size = Seek(0, TSeekOrigin::soEnd);
    SetPosition(position);
    return size;
}

void TStream::ReadBuffer(void* buffer, int64_t count) {
    if (count > 0 && Read(buffer, count) != count) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
    if (count > 0 && Write(buffer, count) != count) throw EWriteError("Stream write error");
}

int64_t TMemoryStream::Read(void* buffer, int64_t count) {
    int64_t available = std::max<int64_t>(0, GetSize() - position_);
    int64_t n = std::clamp<int64_t>(count, 0, available);
    if (n > 0) std::memcpy(buffer, bytes_.data() + position_, static_cast<size_t>(n));
    position_ += n;
    return n;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count) {
    if (count <= 0) return 0;
    if (position_ + count > GetSize()) bytes_.resize(static_cast<size_t>(position_ + count));
    std::memcpy(bytes_.data() + position_, buffer, static_cast<size_t>(count));
    position_ += count;
    return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
    int64_t base = origin == TSeekOrigin::soBeginning ? 0 : origin == TSeekOrigin::soCurrent ? position_ : GetSize();
    position_ = std::max<int64_t>(0, base + offset);
    return position_;
}

void TMemoryStream::SetSize(int64_t size) {
    bytes_.resize(static_cast<size_t>(std::max<int64_t>(0, size)));
    position_ = std::min(position_, GetSize());
}

void TMemoryStream::LoadFromStream(TStream& source) {
    source.SetPosition(0);
    bytes_.assign(static_cast<size_t>(source.GetSize()), 0);
    source.ReadBuffer(bytes_.data(), GetSize());
    position_ = 0;
}

void TMemoryStream::LoadFromFile(const std::filesystem::path& file) {
    TFileStream in(file, TFileMode::fmOpenRead);
    LoadFromStream(in);
}

void TMemoryStream::SaveToStream(TStream& dest) { dest.WriteBuffer(bytes_.data(), GetSize()); }

void TMemoryStream::SaveToFile(const std::filesystem::path& file) {
    TFileStream out(file, TFileMode::fmCreate);
    SaveToStream(out);
}

TFileStream::TFileStream(const std::filesystem::path& file, TFileMode mode) : file_(file) {
    int flags = O_RDWR;
    const char* how = "r+b";
    switch (mode) {
    case TFileMode::fmCreate: flags = O_RDWR | O_CREAT | O_TRUNC, how = "w+b"; break;
    case TFileMode::fmOpenRead: flags = O_RDONLY, how = "rb"; break;
    case TFileMode::fmOpenWrite:
    case TFileMode::fmOpenReadWrite: break;
    }
    const std::string refused =
        "Cannot " + std::string(mode == TFileMode::fmCreate ? "create" : "open") + " file " + thorn::Quoted(file) + ". ";
    // Opened without waiting: a FIFO would block the open until a writer
    // came, a device may never end; only a regular file is taken.
    const int fd = ::open(file.c_str(), flags | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) throw EFOpenError(refused + (errno == EISDIR ? "It is a folder." : std::strerror(errno)));
    struct stat status {};
    std::string why;
    if (::fstat(fd, &status) != 0) why = std::strerror(errno);
    else if (S_ISDIR(status.st_mode)) why = "It is a folder.";
    else if (!S_ISREG(status.st_mode)) why = "It is not a regular file.";
    else if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) why = std::strerror(errno);
    else handle_.reset(::fdopen(fd, how));
    if (!handle_) {
        if (why.empty()) why = std::strerror(errno);
        ::close(fd);
        throw EFOpenError(refused + why);
    }
}

int64_t TFileStream::Read(void* buffer, int64_t count) {
    if (count <= 0) return 0;
    return static_cast<int64_t>(std::fread(buffer, 1, static_cast<size_t>(count), handle_.get()));
}

int64_t TFileStream::Write(const void* buffer, int64_t count) {
    if (count <= 0) return 0;
    return static_cast<int64_t>(std::fwrite(buffer, 1, static_cast<size_t>(count), handle_.get()));
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
    int whence = origin == TSeekOrigin::soBeginning ? SEEK_SET : origin == TSeekOrigin::soCurrent ? SEEK_CUR : SEEK_END;
    if (fseeko(handle_.get(), offset, whence) != 0) return -1;
    return ftello(handle_.get());
}
