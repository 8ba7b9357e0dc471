#include "export/PakWriter.h"

#include <algorithm>
#include <limits>
#include <ostream>

#include "export/PackageBytes.h"
#include "platform/Files.h"

namespace fs = std::filesystem;

namespace {

void AppendPadded(std::vector<uint8_t>& out, std::string_view text) {
    const size_t length = std::min<size_t>(text.size(), 4);
    out.insert(out.end(), text.begin(), text.begin() + static_cast<std::ptrdiff_t>(length));
    out.insert(out.end(), 4 - length, 0);
}

}  // namespace

uint32_t CollectPakEntries(const fs::path& folder, const DirectoryNode& node, uint32_t index, PakWalk& walk) {
    auto& entries = walk.directory.entries;
    const bool root = walk.depth == 0;  // only the tree's root is walked at depth 0
    fs::path inner = folder;
    if (!root) {
        if (index >= entries.size()) entries.resize(index + 1);
        const fs::path path = folder / node.name;
        if (node.folder) {
            walk.console << path.string() << "\\\n";
            entries[index] = MakeFolderEntry(node, walk.depth);
            inner = path;
        } else {
            PackageDirEntry entry = MakeFileEntry(node, walk.depth);
            entry.recordCount = 1;
            walk.console << path.string() << " - ";
            entry.size = PackedFileSize(path, walk.console, false);
            if (const auto same = FindIdenticalFile(path, walk.files, std::span(entries).first(index), entry.size)) {
                walk.console << "merged\n";
                entry.location = entries[*same].location;
            } else {
                walk.console << "added\n";
                walk.files.push_back({index, path, entry.size});
                if (walk.dataOffset > std::numeric_limits<uint32_t>::max())
                    throw thorn::PackageError("the package would be over 4 GiB");
                entry.location = static_cast<uint32_t>(walk.dataOffset);
                walk.dataOffset += entry.size;
            }
            entries[index] = entry;
        }
        ++index;
    }
    if (root || node.folder) {
        ++walk.depth;
        for (const auto& child : node.children) index = CollectPakEntries(inner, child, index, walk);
        --walk.depth;
    }
    return index;
}

thorn::PackResult PackDirectoryToPak(bool scramble, std::string_view creator, std::string_view type,
                                     const fs::path& source, const fs::path& destination,
                                     const thorn::PackEnvironment& env) {
    std::ostream& console = env.Console();
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
        PakWalk walk{directory, files, console};
        CollectPakEntries(source, tree, 0, walk);
        CountDirectoryChildren(directory.entries);

        const uint64_t dataStart = kPakHeaderSize + directory.entries.size() * PackageDirEntry::kByteSize;
        if (dataStart + walk.dataOffset > std::numeric_limits<uint32_t>::max())
            throw thorn::PackageError("the package would be over 4 GiB");
        // Decided on the folder flags, before scrambling hides the tags.
        for (auto& entry : directory.entries) {
            if (!entry.folder) entry.location += static_cast<uint32_t>(dataStart);
        }
        if (scramble) ScrambleDirectory(directory.entries);

        console << "\nWriting header...\n";
        std::vector<uint8_t> package;
        package.reserve(static_cast<size_t>(dataStart + walk.dataOffset));
        AppendPadded(package, creator);
        AppendPadded(package, type);
        thorn::AppendLe32(package, static_cast<uint32_t>(env.now()));
        thorn::AppendLe32(package, static_cast<uint32_t>(directory.entries.size()));
        for (const auto& entry : directory.entries) entry.AppendTo(package);
        console << "\nAdding files...\n";
        AppendPackageFiles(files, package, console);
        if (!thorn::WriteFileReplacing(destination, package)) {
            console << "Cannot open destination file " << destination.string() << "\n\n";
            throw thorn::PackageError("the file " + thorn::Quoted(destination) + " cannot be written");
        }
        console << "\nAll done\n\n";
        return {true, {}};
    } catch (const thorn::PackageError& failure) {
        return {false, failure.what()};
    }
}
