#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <span>
#include <vector>

#include "export/PackageDirectory.h"

// What the two package writers (.pdb and .pak) have in common: the walk that
// fills the directory, and the frame around the packing of one folder.

// How a package stores a file whose bytes equal no earlier file's (it is
// already in the file list): sets the entry's location and record count and
// says on the console what it did. Throws thorn::PackageError for a file it
// cannot store.
using StoreNewFile = std::function<void(const std::filesystem::path& path, PackageDirEntry& entry)>;

// One walk over a directory tree in pre-order.
struct PackageWalk {
    PackageDirectory& directory;  // sized to the node count beforehand
    FileList& files;
    std::ostream& console;
    bool reportEmptyFiles;  // print " NULL SIZE" after an empty file's path
    StoreNewFile store;
    uint32_t depth = 0;

    // Fills the entries of node (the root, at depth 0, has none) and
    // everything below it from entry index on; answers the next index. A file
    // equal to an earlier one shares its location and record count; any
    // other is added to the file list and handed to store. Throws
    // thorn::PackageError for what an entry cannot hold or a file that cannot
    // be read.
    uint32_t Collect(const std::filesystem::path& folder, const DirectoryNode& node, uint32_t index);
};

// Makes a package's bytes from the tree of its folder, filling the
// directory (sized to the tree) and the file list (empty) on the way.
using BuildPackage =
    std::function<std::vector<uint8_t>(const DirectoryTree& tree, PackageDirectory& directory, FileList& files)>;

// Where a package's bytes go once made; throws thorn::FileWriteError when
// they cannot be written whole.
using WritePackageBytes = std::function<void(std::span<const uint8_t> bytes)>;

// Packs the source folder into destination: refuses a missing folder, reads
// its tree, lets build make the package's bytes from it and writes them
// whole, through write when given (else over destination with
// thorn::ReplaceFileSynced, an earlier file of that name staying on
// failure). A file that cannot be written is named with the system's
// reason. build throws
// thorn::PackageError for what it cannot pack; the answer then carries its
// message.
thorn::PackResult WritePackage(const std::filesystem::path& source, const std::filesystem::path& destination,
                               std::ostream& console, const BuildPackage& build, const WritePackageBytes& write = {});
