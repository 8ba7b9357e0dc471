#include "export/PackageDirectory.h"

#include <algorithm>
#include <fstream>
#include <iostream>

#include "export/AnsiText.h"
#include "export/PackageBytes.h"
#include "platform/Files.h"

namespace fs = std::filesystem;

namespace thorn {

std::ostream& PackEnvironment::Console() const { return console != nullptr ? *console : std::cout; }

std::string CannotWriteMessage(const FileWriteError& failure) {
    return "the file " + Quoted(failure.File()) + " cannot be written: " + failure.Reason();
}

}  // namespace thorn

namespace {

// Not secret, only hiding names from a casual look at the file.
constexpr std::array<uint8_t, 8> kScrambleKey = {0xB5, 0xE3, 0xC9, 0xF4, 0xD8, 0xAE, 0xC1, 0xF7};
constexpr uint32_t kScrambleMask = 0x4B76517A;
constexpr uint32_t kFieldLimit16 = 0xFFFF;

bool FoldedLess(const std::string& a, const std::string& b) {
    const auto fold = [](char c) -> unsigned char {
        return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : static_cast<unsigned char>(c);
    };
    const bool less = std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                                   [&](char x, char y) { return fold(x) < fold(y); });
    if (less) return true;
    const bool greater = std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(),
                                                      [&](char x, char y) { return fold(x) < fold(y); });
    // Names equal but for case keep a fixed order too.
    return !greater && a < b;
}

}  // namespace

size_t DirectoryNode::CountNodes() const {
    size_t count = 1;
    for (const auto& child : children) count += child.CountNodes();
    return count;
}

DirectoryTree MakeDirectoryTree() { return DirectoryNode{"Package", true, {}}; }

void WalkDirectory(const fs::path& folder, DirectoryNode& parent) {
    std::vector<std::string> folders;
    std::vector<std::string> files;
    std::error_code error;
    fs::directory_iterator it(folder, error);
    if (error) return;
    for (const fs::directory_iterator end; it != end; it.increment(error)) {
        if (error) return;
        const fs::file_status own = it->symlink_status(error);
        if (error) continue;
        std::string name = it->path().filename().string();
        if (fs::is_symlink(own)) {
            if (fs::is_regular_file(it->status(error)) && !error) files.push_back(std::move(name));
        } else if (fs::is_directory(own)) {
            folders.push_back(std::move(name));
        } else if (fs::is_regular_file(own)) {
            files.push_back(std::move(name));
        }
    }
    if (error) return;
    std::sort(folders.begin(), folders.end(), FoldedLess);
    std::sort(files.begin(), files.end(), FoldedLess);
    for (auto& name : folders) {
        parent.children.push_back(DirectoryNode{name, true, {}});
        WalkDirectory(folder / name, parent.children.back());
    }
    for (auto& name : files) parent.children.push_back(DirectoryNode{std::move(name), false, {}});
}

std::string GetBaseName(std::string_view fileName) {
    std::string lower = thorn::AnsiLowerCase(fileName);
    const size_t dot = lower.rfind('.');
    if (dot != std::string::npos) lower.resize(dot);
    return lower;
}

std::array<uint8_t, 4> GetFileTypeTag(std::string_view fileName) {
    const std::string lower = thorn::AnsiLowerCase(fileName);
    const size_t dot = lower.find('.');
    const std::string_view rest = dot == std::string::npos ? std::string_view(lower) : std::string_view(lower).substr(dot + 1);
    std::array<uint8_t, 4> tag{};
    for (size_t i = 0; i < tag.size() && i < rest.size(); ++i) tag[i] = static_cast<uint8_t>(rest[i]);
    return tag;
}

std::optional<uint64_t> FileSizeByName(const fs::path& path) {
    std::error_code error;
    if (!fs::is_regular_file(path, error)) return std::nullopt;
    // Opened, not only looked up, so a file that cannot be read fails here.
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) return std::nullopt;
    const std::streamoff size = file.tellg();
    if (size < 0) return std::nullopt;
    return static_cast<uint64_t>(size);
}

void PackageDirEntry::SetName(std::string_view baseName) {
    name.fill(0);
    for (size_t i = 0; i < name.size() && i < baseName.size(); ++i) name[i] = static_cast<uint8_t>(baseName[i]);
}

void PackageDirEntry::AppendTo(std::vector<uint8_t>& out) const {
    out.insert(out.end(), name.begin(), name.end());
    out.insert(out.end(), tag.begin(), tag.end());
    thorn::AppendLe32(out, location);
    if (folder) {
        thorn::AppendLe16(out, childCount);
        thorn::AppendLe16(out, span);
    } else {
        thorn::AppendLe32(out, size);
    }
    out.push_back(depth);
    out.push_back(recordCount);
}

void PackageDirectory::AppendTo(std::vector<uint8_t>& out, bool negateCount) const {
    const auto count = static_cast<uint32_t>(entries.size());
    thorn::AppendLe32(out, negateCount ? 0u - count : count);
    for (const auto& entry : entries) entry.AppendTo(out);
}

std::optional<uint32_t> FindIdenticalFile(const fs::path& path, const FileList& files,
                                          std::span<const PackageDirEntry> entries, uint32_t size) {
    std::optional<std::vector<uint8_t>> bytes;  // read once, when a candidate needs it
    for (const auto& item : files) {
        if (item.entryIndex >= entries.size() || entries[item.entryIndex].size != size) continue;
        if (!bytes) {
            bytes = thorn::ReadWholeFile(path);
            if (!bytes || bytes->size() != size) return std::nullopt;
        }
        const auto other = thorn::ReadWholeFile(item.path);
        if (other && *other == *bytes) return item.entryIndex;
    }
    return std::nullopt;
}

void CountDirectoryChildren(std::span<PackageDirEntry> entries) {
    for (size_t i = 0; i < entries.size(); ++i) {
        if (!entries[i].folder) continue;
        size_t j = 1;
        while (i + j < entries.size() && entries[i].depth < entries[i + j].depth) ++j;
        if (j > kFieldLimit16) throw thorn::PackageError("a folder of the package holds more than 65534 entries");
        entries[i].span = static_cast<uint16_t>(j);
    }
}

void ScrambleDirectory(std::span<PackageDirEntry> entries) {
    for (auto& entry : entries) {
        for (size_t j = 0; j < entry.name.size() && entry.name[j] != 0; ++j) entry.name[j] ^= kScrambleKey[j % kScrambleKey.size()];
        const uint32_t tag = thorn::ReadLe32(entry.tag.data()) ^ kScrambleMask;
        for (size_t k = 0; k < entry.tag.size(); ++k) entry.tag[k] = static_cast<uint8_t>(tag >> (8 * k));
    }
}

void AppendPackageFiles(const FileList& files, std::vector<uint8_t>& package, std::ostream& console) {
    console << "\nAdding files...\n";
    for (const auto& item : files) {
        const auto bytes = thorn::ReadWholeFile(item.path);
        if (!bytes) {
            console << "Cannot open file " << item.path.string();
            throw thorn::PackageError("the file " + thorn::Quoted(item.path) + " cannot be read");
        }
        // The directory already gives this size; a file that changed since
        // would make every later offset wrong.
        if (bytes->size() != item.size) {
            console << "Cannot open file " << item.path.string();
            throw thorn::PackageError("the file " + thorn::Quoted(item.path) + " changed while it was packed");
        }
        thorn::AppendBytes(package, *bytes);
        console << item.path.string() << "\n";
    }
}
