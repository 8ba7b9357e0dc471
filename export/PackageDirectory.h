#pragma once

#include <array>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "export/ReplaceTogether.h"
#include "platform/Classes.h"
#include "platform/Files.h"

// The directory that both package forms (.pdb and .pak) carry: one entry per
// folder and file of the packed tree, in pre-order, saying where each file's
// bytes are. Files whose bytes equal an earlier file's share its bytes.

namespace thorn {

// What the package writers print to and which clock stamps their headers;
// tests replace both, and may watch the steps of an export that change its
// folders.
struct PackEnvironment {
    std::function<std::time_t()> now = [] { return std::time(nullptr); };
    std::ostream* console = nullptr;  // standard output when null
    ExportStepHook step;

    std::ostream& Console() const;
};

// The answer of a package writer. On failure nothing was written and message
// says why, worded to complete "You can't save mission because %s".
struct PackResult {
    bool ok = false;
    std::string message;
};

// Stops the writing of one package; what() is the message for the designer.
class PackageError : public Exception {
public:
    using Exception::Exception;
};

// "the file "<file>" cannot be written: <the system's reason>", worded to
// complete "You can't save mission because %s".
std::string CannotWriteMessage(const FileWriteError& failure);

}  // namespace thorn

// A folder tree read from disk. The root, named "Package", stands for the
// packed folder itself.
struct DirectoryNode {
    std::string name;  // as the file system gives it
    bool folder = false;
    std::vector<DirectoryNode> children;

    // This node and everything below it.
    size_t CountNodes() const;
};
using DirectoryTree = DirectoryNode;

DirectoryTree MakeDirectoryTree();

// Adds the folder's subfolders (each with its own content), then its files,
// below parent. Both lists are sorted by name with ASCII case folding. A folder
// that cannot be listed adds nothing. Links to folders are not followed (they
// could loop); links to files count as files.
void WalkDirectory(const std::filesystem::path& folder, DirectoryNode& parent);

// The name lower-cased (Windows-1252), cut before its last ".".
std::string GetBaseName(std::string_view fileName);
// The four bytes after the first "." of the lower-cased name (the first four
// bytes when there is no "."), NUL-padded.
std::array<uint8_t, 4> GetFileTypeTag(std::string_view fileName);
// The size of a file, or nothing when it cannot be opened.
std::optional<uint64_t> FileSizeByName(const std::filesystem::path& path);

inline constexpr std::array<uint8_t, 4> kFolderTag = {'.', '.', '.', 0};

// One 30-byte directory record.
struct PackageDirEntry {
    static constexpr size_t kByteSize = 30;
    static constexpr size_t kNameSize = 16;

    std::array<uint8_t, kNameSize> name{};  // NUL-padded; no NUL when 16 long
    std::array<uint8_t, 4> tag{};
    uint32_t location = 0;  // first record id (.pdb) or byte offset (.pak)
    uint32_t size = 0;      // a file's byte count
    uint16_t childCount = 0;  // folders: direct children
    uint16_t span = 0;        // folders: 1 + every entry of its subtree
    uint8_t depth = 0;        // 1 directly in the packed folder
    uint8_t recordCount = 0;
    bool folder = false;  // not stored: the tag tells it until it is scrambled

    void SetName(std::string_view baseName);
    void AppendTo(std::vector<uint8_t>& out) const;
};

// The entry count (u32, little-endian, negated when asked) and the entries.
struct PackageDirectory {
    std::vector<PackageDirEntry> entries;

    size_t ByteSize() const { return 4 + entries.size() * PackageDirEntry::kByteSize; }
    void AppendTo(std::vector<uint8_t>& out, bool negateCount) const;
};

// A file whose bytes are stored in the package, in storing order.
struct FileListItem {
    uint32_t entryIndex = 0;
    std::filesystem::path path;
    uint32_t size = 0;
};
using FileList = std::vector<FileListItem>;

// The entry of an earlier stored file with the same bytes, if any. Files that
// cannot be read count as different.
std::optional<uint32_t> FindIdenticalFile(const std::filesystem::path& path, const FileList& files,
                                          std::span<const PackageDirEntry> entries, uint32_t size);

// Sets every folder's span. Throws thorn::PackageError when a span does not
// fit its 16 bits.
void CountDirectoryChildren(std::span<PackageDirEntry> entries);

// Hides the names and tags from a casual look: names XOR a fixed key, tags
// XOR a fixed mask. The NUL padding stays 0.
void ScrambleDirectory(std::span<PackageDirEntry> entries);

// Appends every listed file's bytes to package, printing "\nAdding files...\n"
// and each path. Throws thorn::PackageError when a file cannot be read or no
// longer has the size the directory gives it.
void AppendPackageFiles(const FileList& files, std::vector<uint8_t>& package, std::ostream& console);
