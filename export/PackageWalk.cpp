#include "export/PackageWalk.h"

#include <limits>
#include <ostream>

#include "export/AnsiText.h"
#include "platform/Files.h"

namespace fs = std::filesystem;

namespace {

constexpr uint32_t kFieldLimit16 = 0xFFFF;
constexpr uint32_t kDepthLimit = 0xFF;

PackageDirEntry MakeFolderEntry(const DirectoryNode& node, uint32_t depth) {
    if (depth > kDepthLimit) throw thorn::PackageError("the folder \"" + node.name + "\" lies more than 255 levels deep");
    if (node.children.size() > kFieldLimit16)
        throw thorn::PackageError("the folder \"" + node.name + "\" holds more than 65535 entries");
    PackageDirEntry entry;
    entry.folder = true;
    entry.SetName(GetBaseName(thorn::Utf8FileNameToAnsi(node.name)));
    entry.tag = kFolderTag;
    entry.depth = static_cast<uint8_t>(depth);
    entry.childCount = static_cast<uint16_t>(node.children.size());
    return entry;
}

PackageDirEntry MakeFileEntry(const DirectoryNode& node, uint32_t depth) {
    if (depth > kDepthLimit) throw thorn::PackageError("the file \"" + node.name + "\" lies more than 255 levels deep");
    PackageDirEntry entry;
    const std::string ansi = thorn::Utf8FileNameToAnsi(node.name);
    entry.SetName(GetBaseName(ansi));
    entry.tag = GetFileTypeTag(ansi);
    entry.depth = static_cast<uint8_t>(depth);
    return entry;
}

// The size of a file about to be packed: it must be readable and fit the
// entry's 32 bits.
uint32_t PackedFileSize(const fs::path& path, std::ostream& console) {
    const auto size = FileSizeByName(path);
    if (!size) {
        console << "cannot read file\n\n";
        throw thorn::PackageError("the file " + thorn::Quoted(path) + " cannot be read");
    }
    if (*size > std::numeric_limits<uint32_t>::max()) {
        console << "file too large\n\n";
        throw thorn::PackageError("the file " + thorn::Quoted(path) + " is over 4 GiB");
    }
    return static_cast<uint32_t>(*size);
}

}  // namespace

uint32_t PackageWalk::Collect(const fs::path& folder, const DirectoryNode& node, uint32_t index) {
    auto& entries = directory.entries;
    const bool root = depth == 0;  // only the tree's root is walked at depth 0
    fs::path inner = folder;
    if (!root) {
        if (index >= entries.size()) entries.resize(index + 1);
        const fs::path path = folder / node.name;
        if (node.folder) {
            console << path.string() << "\\\n";
            entries[index] = MakeFolderEntry(node, depth);
            inner = path;
        } else {
            PackageDirEntry entry = MakeFileEntry(node, depth);
            console << path.string() << " - ";
            entry.size = PackedFileSize(path, console);
            if (entry.size == 0 && reportEmptyFiles) console << " NULL SIZE";
            if (const auto same = FindIdenticalFile(path, files, std::span(entries).first(index), entry.size)) {
                entry.location = entries[*same].location;
                entry.recordCount = entries[*same].recordCount;
                console << "merged\n";
            } else {
                files.push_back({index, path, entry.size});
                store(path, entry);
            }
            entries[index] = entry;
        }
        ++index;
    }
    if (root || node.folder) {
        ++depth;
        for (const auto& child : node.children) index = Collect(inner, child, index);
        --depth;
    }
    return index;
}

thorn::PackResult WritePackage(const fs::path& source, const fs::path& destination, std::ostream& console,
                               const BuildPackage& build, const WritePackageBytes& write) {
    std::error_code error;
    if (!fs::is_directory(source, error)) {
        console << "Cannot find directory " << source.string() << "\n\n";
        return {false, "the folder " + thorn::Quoted(source) + " does not exist"};
    }
    console << "Packing directory " << source.string() << " to file " << destination.string() << "\n\n";
    try {
        DirectoryTree tree = MakeDirectoryTree();
        console << "Getting directory structure...";
        WalkDirectory(source, tree);
        console << "ok\n\n";
        PackageDirectory directory;
        directory.entries.resize(tree.CountNodes() - 1);
        FileList files;
        console << "Analyzing files and directories...\n";
        const std::vector<uint8_t> package = build(tree, directory, files);
        try {
            if (write)
                write(package);
            else
                thorn::ReplaceFileSynced(destination, package);
        } catch (const thorn::FileWriteError& failure) {
            console << "Cannot open destination file " << destination.string() << "\n\n";
            throw thorn::PackageError(thorn::CannotWriteMessage(failure));
        }
        console << "\nAll done\n\n";
        return {true, {}};
    } catch (const thorn::PackageError& failure) {
        return {false, failure.what()};
    }
}
