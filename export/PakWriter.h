#pragma once

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <string_view>
#include <vector>

#include "export/PackageDirectory.h"
#include "export/PackageWalk.h"

// The flat package (.pak): a 16-byte little-endian header (creator, type,
// calendar time in seconds since 1970, entry count), the package directory
// entries, then every stored file whole. A file entry's location is the
// absolute offset of its bytes; nothing is split.

// The 16-byte header, little-endian: creator and type (in the reverse order
// of the .pdb's), the time and the entry count (never negated).
struct PakHeader {
    static constexpr uint32_t kByteSize = 16;

    std::string_view creator;  // at most 4 characters, NUL-padded
    std::string_view type;
    uint32_t time = 0;  // seconds since 1970-01-01
    uint32_t entryCount = 0;

    void AppendTo(std::vector<uint8_t>& out) const;
};

// The .pak's part of the walk that fills the directory.
struct PakWalk {
    PackageDirectory& directory;  // sized to the node count beforehand
    FileList& files;
    std::ostream& console;
    uint64_t dataOffset = 0;  // from the first file's bytes
};

// Fills the entries of node and everything below it from entry index on
// (node is the tree's root); answers the next index. Throws
// thorn::PackageError only for what an entry cannot hold or a file that
// cannot be read.
uint32_t CollectPakEntries(const std::filesystem::path& folder, const DirectoryNode& node, uint32_t index,
                           PakWalk& walk);

// Packs the source folder's tree into destination (written whole or not at
// all; an earlier file stays on failure), or hands its bytes to write.
thorn::PackResult PackDirectoryToPak(bool scramble, std::string_view creator, std::string_view type,
                                     const std::filesystem::path& source, const std::filesystem::path& destination,
                                     const thorn::PackEnvironment& env = {},
                                     const WritePackageBytes& write = {});
