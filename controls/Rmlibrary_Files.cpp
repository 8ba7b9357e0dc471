#include "controls/Rmlibrary_Files.h"

#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <limits>
#include <vector>

#include "platform/Crc32.h"

namespace {

constexpr int64_t kCopyBuffer = 61440;
constexpr int64_t kCrcBlock = 2048;

int32_t CrcOfRest(TStream& stream) {
    thorn::Crc32 crc;
    std::vector<uint8_t> block(kCrcBlock);
    for (int64_t got; (got = stream.Read(block.data(), kCrcBlock)) > 0;)
        crc.Update(std::span(block).first(static_cast<size_t>(got)));
    return static_cast<int32_t>(crc.Value());
}

int32_t Saturated(uint64_t value) {
    return static_cast<int32_t>(std::min<uint64_t>(value, std::numeric_limits<int32_t>::max()));
}

// Magic numbers of the file systems the original platform named.
constexpr int64_t kFatMagic = 0x4d44;
constexpr int64_t kHpfsMagic = 0xf995e849;
constexpr int64_t kNtfsMagic = 0x5346544e;
constexpr int64_t kNtfs3Magic = 0x7366746e;

int32_t FileSystemKind(int64_t magic) {
    switch (magic) {
        case kFatMagic: return 1;
        case kHpfsMagic: return 2;
        case kNtfsMagic:
        case kNtfs3Magic: return 3;
        default: return 0;
    }
}

constexpr int32_t kCaseSensitiveSearch = 0x1;
constexpr int32_t kCasePreservedNames = 0x2;
constexpr int32_t kReadOnlyVolume = 0x80000;

}  // namespace

int64_t TrmStream::CopyTo(TStream& dest, int64_t count) {
    if (count == 0) {
        SetPosition(0);
        count = GetSize();
    }
    if (count <= 0) return 0;
    std::vector<uint8_t> buffer(static_cast<size_t>(std::min(count, kCopyBuffer)));
    for (int64_t left = count; left > 0;) {
        const int64_t piece = std::min<int64_t>(left, static_cast<int64_t>(buffer.size()));
        ReadBuffer(buffer.data(), piece);
        dest.WriteBuffer(buffer.data(), piece);
        left -= piece;
    }
    return count;
}

int32_t GetFileCRC32(const std::filesystem::path& file) {
    TFileStream stream(file, TFileMode::fmOpenRead);
    return CrcOfRest(stream);
}

int32_t GetStrmCRC32(TStream& stream) {
    stream.SetPosition(0);
    return CrcOfRest(stream);
}

std::string GetTempDir() {
    std::error_code error;
    std::string folder = std::filesystem::temp_directory_path(error).string();
    if (error || folder.empty()) folder = "/tmp";
    if (folder.back() != '/') folder += '/';
    return folder;
}

std::string GetTempFile(std::string_view prefix, bool inTempFolder) {
    std::error_code error;
    const std::filesystem::path folder =
        inTempFolder ? std::filesystem::path(GetTempDir()) : std::filesystem::current_path(error);
    if (error) return {};
    std::string start(prefix.substr(0, 3));
    std::replace(start.begin(), start.end(), '/', '_');
    std::string name = (folder / (start + "XXXXXX.tmp")).string();
    const int handle = mkstemps(name.data(), 4);
    if (handle < 0) return {};
    close(handle);
    return name;
}

int32_t GetMediaInfo(int32_t drive, int32_t kind) {
    if (drive != 0) return -1;
    struct statvfs disk {};
    struct statfs volume {};
    if (statvfs(".", &disk) != 0 || statfs(".", &volume) != 0) return -1;
    // A cluster is the disk's fragment, in sectors of 512 bytes when it is
    // made of whole ones.
    const uint64_t clusterBytes = disk.f_frsize ? disk.f_frsize : disk.f_bsize;
    const uint64_t sectorBytes = clusterBytes % 512 == 0 ? 512 : clusterBytes;
    const uint64_t sectorsPerCluster = clusterBytes / sectorBytes;
    const bool fat = FileSystemKind(volume.f_type) == 1;
    switch (kind) {
        case 1: return Saturated(sectorsPerCluster);
        case 2: return Saturated(sectorBytes);
        case 3: return Saturated(disk.f_bavail);
        case 4: return Saturated(disk.f_blocks);
        case 5: return Saturated(clusterBytes * disk.f_blocks);
        case 6: return Saturated(clusterBytes * disk.f_bavail);
        case 7: return static_cast<int32_t>(static_cast<uint32_t>(disk.f_fsid));
        case 8: return Saturated(clusterBytes);
        case 9: return FileSystemKind(volume.f_type);
        case 10:
            return (fat ? 0 : kCaseSensitiveSearch) | kCasePreservedNames |
                   ((disk.f_flag & ST_RDONLY) ? kReadOnlyVolume : 0);
        case 11: return Saturated(disk.f_namemax);
        default: return -1;
    }
}
