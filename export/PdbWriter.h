#pragma once

#include <array>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <iosfwd>
#include <span>
#include <string_view>
#include <vector>

#include "export/PackageDirectory.h"
#include "export/PackageWalk.h"

// The Palm OS resource database (.pdb) the handheld game reads a mission
// from: a big-endian header and resource list, then record 0x1000 holding the
// package directory, then the files' bytes in records of at most 64000 bytes.
// Files are split at places the game can use (picture rows, animation
// frames); a file equal to an earlier one shares that one's records.

inline constexpr uint32_t kPdbHeaderSize = 78;
inline constexpr uint32_t kPdbResourceEntrySize = 10;
inline constexpr uint32_t kPdbRecordLimit = 64000;
inline constexpr uint32_t kPdbRecordsPerFile = 255;
inline constexpr uint32_t kPdbRecordsPerDatabase = 32767;
inline constexpr uint16_t kPdbDirectoryId = 0x1000;

// Seconds since 1904-01-01 for a calendar time; 0xFFFFFFFF for the (time_t)-1
// of a clock that has no time.
uint32_t PalmTimeNow(std::time_t now);

// The database header as the file holds it (big-endian).
using PdbHeader = std::array<uint8_t, kPdbHeaderSize>;

// The 78-byte header: name (at most 31 characters), type and creator (at most
// 4) NUL-padded; attributes 1 (resource database), version 1, both dates
// palmTime, everything else 0 but the record count.
PdbHeader BuildPdbHeader(std::string_view name, std::string_view type, std::string_view creator, uint16_t records,
                         uint32_t palmTime);

struct PdbResourceEntry {
    std::array<uint8_t, 4> type = {'D', 'A', 'T', 'A'};
    uint16_t id = 0;
    uint32_t offset = 0;

    void AppendTo(std::vector<uint8_t>& out) const;
};

// The sizes of the records holding a file, in order; empty when it cannot be
// split. Files of at most 64000 bytes are one record; larger ones are cut by
// their tag: "img", "ani" and "wav" (plain cuts) only. The count may exceed
// 255: the caller refuses that.
std::vector<uint32_t> SplitFileIntoRecords(const std::filesystem::path& path, const std::array<uint8_t, 4>& tag,
                                           uint32_t fileSize);
// A one-frame picture cut between rows; empty when the file is not a
// well-formed one-frame picture or a record would exceed 64000 bytes.
std::vector<uint32_t> SplitImgFile(const std::filesystem::path& path);
// An animation cut between frames, or between rows inside a frame too large.
std::vector<uint32_t> SplitAniFile(const std::filesystem::path& path);
std::vector<uint32_t> SplitPlainFile(uint64_t size);

// The .pdb's part of the walk that fills the directory: the resource list
// and where the next file's records go.
struct PdbWalk {
    PackageDirectory& directory;  // sized to the node count beforehand
    FileList& files;
    std::vector<PdbResourceEntry>& resources;
    std::ostream& console;
    uint64_t dataOffset = 0;  // from the first file record
    uint32_t nextId = kPdbDirectoryId + 1;
};

// Fills the entries of node and everything below it from entry index on
// (node is the tree's root); answers the next index. Throws
// thorn::PackageError when a file cannot be stored (after printing why).
uint32_t CollectPdbEntries(const std::filesystem::path& folder, const DirectoryNode& node, uint32_t index,
                           PdbWalk& walk);

// Packs the source folder's tree into destination (written whole or not at
// all; an earlier file stays on failure), or hands its bytes to write. The
// directory's count is negated when the names are not scrambled.
thorn::PackResult PackDirectoryToPdb(bool scramble, std::string_view databaseName, std::string_view creator,
                                     std::string_view type, const std::filesystem::path& source,
                                     const std::filesystem::path& destination, const thorn::PackEnvironment& env = {},
                                     const WritePackageBytes& write = {});
