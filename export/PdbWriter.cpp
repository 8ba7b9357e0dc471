#include "export/PdbWriter.h"

#include <algorithm>
#include <limits>
#include <ostream>

#include "export/PackageBytes.h"
#include "export/PackageWalk.h"
#include "platform/Files.h"

namespace fs = std::filesystem;

namespace {

constexpr uint32_t kPalmEpochOffset = 2082844800;  // seconds from 1904 to 1970
constexpr uint16_t kResourceDatabase = 0x0001;
constexpr uint32_t kImgHeaderSize = 22;
constexpr uint32_t kAniHeaderSize = 13;
constexpr uint32_t kAniFrameHeaderSize = 8;
constexpr std::array<uint8_t, 4> kImgTag = {'i', 'm', 'g', 0};
constexpr std::array<uint8_t, 4> kAniTag = {'a', 'n', 'i', 0};
constexpr std::array<uint8_t, 4> kWavTag = {'w', 'a', 'v', 0};

// Adds rows of a row table to the records: a row that does not fit the
// current record starts the next one. Answers the rows' total length, or
// nothing when the table runs past the bytes or a row alone exceeds a record.
std::optional<uint64_t> CutAtRows(std::span<const uint8_t> table, uint32_t rows, bool wide,
                                  std::vector<uint32_t>& records, uint64_t& current) {
    uint64_t total = 0;
    for (uint32_t r = 0; r < rows; ++r) {
        const uint32_t length = wide ? thorn::ReadLe16(&table[2 * r]) : table[r];
        if (length > kPdbRecordLimit) return std::nullopt;
        total += length;
        if (current + length <= kPdbRecordLimit) {
            current += length;
        } else {
            records.push_back(static_cast<uint32_t>(current));
            current = length;
        }
    }
    return total;
}

std::vector<uint32_t> SplitImgBytes(std::span<const uint8_t> file) {
    if (file.size() < kImgHeaderSize || file[0] != 0xFE) return {};
    // Only the one-frame form: its block length accounts for the whole file.
    if (kImgHeaderSize + uint64_t(thorn::ReadLe32(&file[18])) != file.size()) return {};
    const bool wide = (file[1] & 0x02) != 0;
    const uint32_t rows = thorn::ReadLe16(&file[16]);
    const uint64_t tableEnd = kImgHeaderSize + uint64_t(rows) * (wide ? 2 : 1);
    // The header and the whole row table open the first record.
    if (tableEnd > file.size() || tableEnd > kPdbRecordLimit) return {};
    std::vector<uint32_t> records;
    uint64_t current = tableEnd;
    const auto rowsLength = CutAtRows(file.subspan(kImgHeaderSize), rows, wide, records, current);
    if (!rowsLength || tableEnd + *rowsLength != file.size()) return {};
    records.push_back(static_cast<uint32_t>(current));
    return records;
}

std::vector<uint32_t> SplitAniBytes(std::span<const uint8_t> file) {
    if (file.size() < kAniHeaderSize) return {};
    const bool wide = (file[1] & 0x02) != 0;
    const uint32_t frames = file[10];
    const uint64_t dataStart = kAniHeaderSize + 4ull * frames;
    if (dataStart > file.size()) return {};
    std::vector<uint32_t> records;
    uint64_t current = dataStart;
    uint64_t previousEnd = 0;
    for (uint32_t i = 0; i < frames; ++i) {
        const uint64_t end = thorn::ReadLe32(&file[kAniHeaderSize + 4 * i]);
        if (end < previousEnd || dataStart + end > file.size()) return {};
        const uint64_t size = end - previousEnd;
        if (current + size <= kPdbRecordLimit) {
            current += size;  // the frame stays whole
        } else {
            // Cut inside the frame: its header and row table stay together.
            const auto frame = file.subspan(static_cast<size_t>(dataStart + previousEnd), static_cast<size_t>(size));
            if (frame.size() < kAniFrameHeaderSize) return {};
            const uint32_t rows = thorn::ReadLe16(&frame[6]);
            const uint64_t tableEnd = kAniFrameHeaderSize + uint64_t(rows) * (wide ? 2 : 1);
            if (tableEnd > frame.size() || tableEnd > kPdbRecordLimit) return {};
            if (current + tableEnd <= kPdbRecordLimit) {
                current += tableEnd;
            } else {
                records.push_back(static_cast<uint32_t>(current));
                current = tableEnd;
            }
            const auto rowsLength = CutAtRows(frame.subspan(kAniFrameHeaderSize), rows, wide, records, current);
            if (!rowsLength || tableEnd + *rowsLength != size) return {};
        }
        previousEnd = end;
    }
    if (dataStart + previousEnd != file.size()) return {};
    records.push_back(static_cast<uint32_t>(current));
    return records;
}

std::vector<uint32_t> SplitFileBytes(const fs::path& path, std::vector<uint32_t> (*split)(std::span<const uint8_t>)) {
    const auto bytes = thorn::ReadWholeFile(path);
    if (!bytes) return {};
    return split(*bytes);
}

void CheckFits(uint64_t value, const char* what) {
    if (value > std::numeric_limits<uint32_t>::max()) throw thorn::PackageError(what);
}

}  // namespace

uint32_t PalmTimeNow(std::time_t now) {
    if (now == static_cast<std::time_t>(-1)) return 0xFFFFFFFF;
    return static_cast<uint32_t>(static_cast<int64_t>(now) + kPalmEpochOffset);
}

PdbHeader BuildPdbHeader(std::string_view name, std::string_view type, std::string_view creator, uint16_t records,
                         uint32_t palmTime) {
    std::vector<uint8_t> out;
    out.reserve(kPdbHeaderSize);
    thorn::AppendPadded(out, name, 32, 31);
    thorn::AppendBe16(out, kResourceDatabase);
    thorn::AppendBe16(out, 1);  // version
    thorn::AppendBe32(out, palmTime);  // created
    thorn::AppendBe32(out, palmTime);  // modified
    thorn::AppendBe32(out, 0);  // last backup
    thorn::AppendBe32(out, 0);  // modification number
    thorn::AppendBe32(out, 0);  // application info
    thorn::AppendBe32(out, 0);  // sort info
    thorn::AppendPadded(out, type, 4, 4);
    thorn::AppendPadded(out, creator, 4, 4);
    thorn::AppendBe32(out, 0);  // unique id seed
    thorn::AppendBe32(out, 0);  // next record list
    thorn::AppendBe16(out, records);
    PdbHeader header{};
    std::copy(out.begin(), out.end(), header.begin());
    return header;
}

void PdbResourceEntry::AppendTo(std::vector<uint8_t>& out) const {
    out.insert(out.end(), type.begin(), type.end());
    thorn::AppendBe16(out, id);
    thorn::AppendBe32(out, offset);
}

std::vector<uint32_t> SplitPlainFile(uint64_t size) {
    std::vector<uint32_t> records;
    while (size > kPdbRecordLimit) {
        records.push_back(kPdbRecordLimit);
        size -= kPdbRecordLimit;
    }
    records.push_back(static_cast<uint32_t>(size));
    return records;
}

std::vector<uint32_t> SplitImgFile(const fs::path& path) { return SplitFileBytes(path, SplitImgBytes); }

std::vector<uint32_t> SplitAniFile(const fs::path& path) { return SplitFileBytes(path, SplitAniBytes); }

std::vector<uint32_t> SplitFileIntoRecords(const fs::path& path, const std::array<uint8_t, 4>& tag, uint32_t fileSize) {
    if (fileSize <= kPdbRecordLimit) return {fileSize};
    std::vector<uint32_t> records;
    if (tag == kImgTag) {
        records = SplitImgFile(path);
    } else if (tag == kAniTag) {
        records = SplitAniFile(path);
    } else if (tag == kWavTag) {
        records = SplitPlainFile(fileSize);
    }
    // The cuts must cover exactly the size the directory gives the file.
    uint64_t covered = 0;
    for (uint32_t size : records) covered += size;
    if (covered != fileSize) return {};
    return records;
}

uint32_t CollectPdbEntries(const fs::path& folder, const DirectoryNode& node, uint32_t index, PdbWalk& walk) {
    const auto store = [&walk](const fs::path& path, PackageDirEntry& entry) {
        const auto records = SplitFileIntoRecords(path, entry.tag, entry.size);
        if (records.empty() || records.size() > kPdbRecordsPerFile) {
            walk.console << "cannot split file\n\n";
            if (records.empty())
                throw thorn::PackageError("the file " + thorn::Quoted(path) + " is over 64000 bytes and cannot be split");
            throw thorn::PackageError("the file " + thorn::Quoted(path) + " needs more than 255 records");
        }
        if (walk.resources.size() + records.size() > kPdbRecordsPerDatabase) {
            walk.console << "too many records\n\n";
            throw thorn::PackageError("the package needs more than 32767 records");
        }
        entry.location = walk.nextId;
        for (uint32_t size : records) {
            walk.resources.push_back(
                {.id = static_cast<uint16_t>(walk.nextId), .offset = static_cast<uint32_t>(walk.dataOffset)});
            walk.dataOffset += size;
            CheckFits(walk.dataOffset, "the package would be over 4 GiB");
            ++walk.nextId;
        }
        entry.recordCount = static_cast<uint8_t>(records.size());
        walk.console << (records.size() == 1 ? "added\n" : "splitted\n");
    };
    PackageWalk packageWalk{walk.directory, walk.files, walk.console, true, store};
    return packageWalk.Collect(folder, node, index);
}

thorn::PackResult PackDirectoryToPdb(bool scramble, std::string_view databaseName, std::string_view creator,
                                     std::string_view type, const fs::path& source, const fs::path& destination,
                                     const thorn::PackEnvironment& env, const WritePackageBytes& write) {
    std::ostream& console = env.Console();
    const auto build = [&](const DirectoryTree& tree, PackageDirectory& directory, FileList& files) {
        std::vector<PdbResourceEntry> resources = {{.id = kPdbDirectoryId, .offset = 0}};
        PdbWalk walk{directory, files, resources, console};
        CollectPdbEntries(source, tree, 0, walk);
        // The directory is a record like any other.
        if (directory.ByteSize() > kPdbRecordLimit) {
            console << "directory too large\n\n";
            throw thorn::PackageError("the package directory would be over 64000 bytes");
        }

        CountDirectoryChildren(directory.entries);
        if (scramble) ScrambleDirectory(directory.entries);

        const uint64_t directoryOffset = kPdbHeaderSize + uint64_t(kPdbResourceEntrySize) * resources.size();
        const uint64_t dataStart = directoryOffset + directory.ByteSize();
        CheckFits(dataStart + walk.dataOffset, "the package would be over 4 GiB");
        resources[0].offset = static_cast<uint32_t>(directoryOffset);
        for (size_t i = 1; i < resources.size(); ++i) resources[i].offset += static_cast<uint32_t>(dataStart);

        console << "\nWriting header...\n";
        std::vector<uint8_t> package;
        package.reserve(static_cast<size_t>(dataStart + walk.dataOffset));
        const auto header = BuildPdbHeader(databaseName, type, creator, static_cast<uint16_t>(resources.size()),
                                           PalmTimeNow(env.now()));
        thorn::AppendBytes(package, header);
        for (const auto& resource : resources) resource.AppendTo(package);
        directory.AppendTo(package, !scramble);
        AppendPackageFiles(files, package, console);
        return package;
    };
    return WritePackage(source, destination, console, build, write);
}
