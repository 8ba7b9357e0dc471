#include "export/PakWriter.h"

#include <limits>
#include <ostream>

#include "export/PackageBytes.h"
#include "export/PackageWalk.h"

namespace fs = std::filesystem;

void PakHeader::AppendTo(std::vector<uint8_t>& out) const {
    thorn::AppendPadded(out, creator, 4, 4);
    thorn::AppendPadded(out, type, 4, 4);
    thorn::AppendLe32(out, time);
    thorn::AppendLe32(out, entryCount);
}

uint32_t CollectPakEntries(const fs::path& folder, const DirectoryNode& node, uint32_t index, PakWalk& walk) {
    const auto store = [&walk](const fs::path&, PackageDirEntry& entry) {
        walk.console << "added\n";
        if (walk.dataOffset > std::numeric_limits<uint32_t>::max())
            throw thorn::PackageError("the package would be over 4 GiB");
        entry.location = static_cast<uint32_t>(walk.dataOffset);
        entry.recordCount = 1;
        walk.dataOffset += entry.size;
    };
    PackageWalk packageWalk{walk.directory, walk.files, walk.console, false, store};
    return packageWalk.Collect(folder, node, index);
}

thorn::PackResult PackDirectoryToPak(bool scramble, std::string_view creator, std::string_view type,
                                     const fs::path& source, const fs::path& destination,
                                     const thorn::PackEnvironment& env, const WritePackageBytes& write) {
    std::ostream& console = env.Console();
    const auto build = [&](const DirectoryTree& tree, PackageDirectory& directory, FileList& files) {
        PakWalk walk{directory, files, console};
        CollectPakEntries(source, tree, 0, walk);
        CountDirectoryChildren(directory.entries);

        const uint64_t dataStart = PakHeader::kByteSize + directory.entries.size() * PackageDirEntry::kByteSize;
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
        const PakHeader header{creator, type, static_cast<uint32_t>(env.now()),
                               static_cast<uint32_t>(directory.entries.size())};
        header.AppendTo(package);
        for (const auto& entry : directory.entries) entry.AppendTo(package);
        console << "\nAdding files...\n";
        AppendPackageFiles(files, package, console);
        return package;
    };
    return WritePackage(source, destination, console, build, write);
}
