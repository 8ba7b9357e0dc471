#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "controls/Rmlibrary_Files.h"
#include "support/FifoTrap.h"
#include "support/TempDir.h"

namespace {

using thorn::test::TempDir;

// 5120 bytes, more than two of the blocks the checksum reads at a time; its
// CRC-32 as zlib computes it.
std::vector<uint8_t> CountingBytes() {
    std::vector<uint8_t> bytes;
    for (int i = 0; i < 5120; ++i) bytes.push_back(static_cast<uint8_t>(i));
    return bytes;
}
constexpr int32_t kCountingCrc = 0x670222cb;

// A stream of the library's kind over memory.
class MemoryRmStream : public TrmStream {
public:
    explicit MemoryRmStream(std::span<const uint8_t> bytes) : memory_(bytes) {}
    int64_t Read(void* buffer, int64_t count) override { return memory_.Read(buffer, count); }
    int64_t Write(const void* buffer, int64_t count) override { return memory_.Write(buffer, count); }
    int64_t Seek(int64_t offset, TSeekOrigin origin) override { return memory_.Seek(offset, origin); }

private:
    TMemoryStream memory_;
};

TEST(RmlibraryFiles, ChecksumsOfFilesAndStreams) {
    TempDir dir;
    thorn::test::WriteFileBytes(dir / "counting.bin", CountingBytes());
    EXPECT_EQ(GetFileCRC32(dir / "counting.bin"), kCountingCrc);
    EXPECT_THROW(GetFileCRC32(dir / "missing.bin"), EFOpenError);
    thorn::test::FifoTrap fifo(dir / "fifo");
    EXPECT_THROW(GetFileCRC32(fifo.Path()), EFOpenError);
    EXPECT_EQ(fifo.Released(), 0);

    TMemoryStream stream(CountingBytes());
    stream.Seek(0, TSeekOrigin::soEnd);  // read from the start all the same
    EXPECT_EQ(GetStrmCRC32(stream), kCountingCrc);
    TMemoryStream empty;
    EXPECT_EQ(GetStrmCRC32(empty), 0);
}

TEST(RmlibraryFiles, CopyTo) {
    MemoryRmStream source(CountingBytes());
    MemoryRmStream big([] {
        std::vector<uint8_t> b(70000);
        for (size_t i = 0; i < b.size(); ++i) b[i] = static_cast<uint8_t>(i * 7);
        return b;
    }());

    // More than one buffer's worth, from the current position.
    big.SetPosition(100);
    TMemoryStream part;
    EXPECT_EQ(big.CopyTo(part, 65000), 65000);
    ASSERT_EQ(part.GetSize(), 65000);
    EXPECT_EQ(part.Bytes()[0], static_cast<uint8_t>(100 * 7));
    EXPECT_EQ(part.Bytes()[64999], static_cast<uint8_t>(65099 * 7));

    // 0 is the whole stream, wherever the position stood.
    TMemoryStream whole;
    EXPECT_EQ(big.CopyTo(whole, 0), 70000);
    EXPECT_EQ(whole.GetSize(), 70000);

    source.SetPosition(source.GetSize() - 10);
    TMemoryStream tooMuch;
    EXPECT_THROW(source.CopyTo(tooMuch, 11), EReadError);
    EXPECT_EQ(source.CopyTo(tooMuch, -5), 0);
}

TEST(RmlibraryFiles, TemporaryFiles) {
    TempDir dir;
    const char* saved = std::getenv("TMPDIR");
    const std::string savedValue = saved ? saved : "";
    setenv("TMPDIR", dir.Path().c_str(), 1);
    const std::string folder = GetTempDir();
    const std::string first = GetTempFile("mission", true);
    const std::string second = GetTempFile("mission", true);
    saved ? setenv("TMPDIR", savedValue.c_str(), 1) : unsetenv("TMPDIR");

    EXPECT_EQ(folder, dir.Path().string() + "/");
    for (const std::string& name : {first, second}) {
        const std::filesystem::path file(name);
        EXPECT_EQ(file.parent_path(), dir.Path());
        EXPECT_TRUE(file.filename().string().starts_with("mis"));
        EXPECT_EQ(file.extension(), ".tmp");
        EXPECT_TRUE(std::filesystem::is_regular_file(file));
        EXPECT_EQ(std::filesystem::file_size(file), 0u);
    }
    EXPECT_NE(first, second);

    const std::filesystem::path here = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    const std::string local = GetTempFile("x/y", false);
    std::filesystem::current_path(here);
    EXPECT_EQ(std::filesystem::path(local).parent_path(), dir.Path());
    EXPECT_TRUE(std::filesystem::path(local).filename().string().starts_with("x_y"));
}

TEST(RmlibraryFiles, MediaInfoOfTheCurrentDisk) {
    const int64_t sectorsPerCluster = GetMediaInfo(0, 1), bytesPerSector = GetMediaInfo(0, 2);
    const int64_t totalClusters = GetMediaInfo(0, 4);
    ASSERT_GT(sectorsPerCluster, 0);
    ASSERT_GT(bytesPerSector, 0);
    EXPECT_EQ(GetMediaInfo(0, 8), sectorsPerCluster * bytesPerSector);
    EXPECT_EQ(GetMediaInfo(0, 5), std::min<int64_t>(sectorsPerCluster * bytesPerSector * totalClusters, INT32_MAX));
    EXPECT_LE(GetMediaInfo(0, 3), totalClusters);
    EXPECT_LE(GetMediaInfo(0, 6), GetMediaInfo(0, 5));
    EXPECT_GE(GetMediaInfo(0, 9), 0);
    EXPECT_LE(GetMediaInfo(0, 9), 3);
    EXPECT_TRUE(GetMediaInfo(0, 10) & 0x2);
    EXPECT_GT(GetMediaInfo(0, 11), 0);
    for (const auto& [drive, kind] : {std::pair{0, 0}, {0, 12}, {1, 4}, {3, 11}, {-1, 4}})
        EXPECT_EQ(GetMediaInfo(drive, kind), -1) << drive << " " << kind;
}

// What stat(1) reports of the file system of folder: "<name length>
// <blocks> <block size> <id in hex> <type>".
std::string StatOfFileSystem(const std::filesystem::path& folder) {
    const std::string command = "stat -f -c '%l %b %S %i %T' '" + folder.string() + "' 2>/dev/null";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    char line[256] = {};
    if (!pipe || !std::fgets(line, sizeof line, pipe.get())) return {};
    return line;
}

// Drive 0 is the disk of the current folder, whichever that is; stat(1)
// reads the same figures independently.
TEST(RmlibraryFiles, MediaInfoFollowsTheCurrentFolder) {
    const std::filesystem::path here = std::filesystem::current_path();
    for (const std::filesystem::path& folder : {here, std::filesystem::path("/dev/shm")}) {
        if (!std::filesystem::is_directory(folder)) continue;
        SCOPED_TRACE(folder);
        std::istringstream report(StatOfFileSystem(folder));
        int64_t nameLength = 0, blocks = 0, blockSize = 0;
        std::string id, type;
        ASSERT_TRUE(report >> nameLength >> blocks >> blockSize >> id >> type);
        std::filesystem::current_path(folder);
        const int32_t kinds[] = {GetMediaInfo(0, 4), GetMediaInfo(0, 8), GetMediaInfo(0, 11), GetMediaInfo(0, 9),
                                 GetMediaInfo(0, 7)};
        std::filesystem::current_path(here);
        EXPECT_EQ(kinds[0], std::min<int64_t>(blocks, INT32_MAX));
        EXPECT_EQ(kinds[1], blockSize);
        EXPECT_EQ(kinds[2], nameLength);
        const int32_t system = type.find("fat") != std::string::npos || type == "msdos" ? 1
                               : type == "hpfs"                                         ? 2
                               : type.find("ntfs") != std::string::npos                 ? 3
                                                                                        : 0;
        EXPECT_EQ(kinds[3], system) << type;
        char serial[16];
        std::snprintf(serial, sizeof serial, "%08x", static_cast<uint32_t>(kinds[4]));
        EXPECT_NE(id.find(serial), std::string::npos) << serial << " in " << id;
    }
}

}  // namespace
