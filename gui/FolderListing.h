#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

// The entries of one folder as the file dialogs list them.
namespace thorn {

struct FolderEntry {
    std::string name;  // as the file system spells it (UTF-8 here)
    bool folder = false;
};

// What a row shows beside the name, read when the row first comes into
// sight rather than for every entry of a large folder.
struct EntryDetails {
    bool known = false;  // the entry could be asked about
    uint64_t size = 0;
    std::string modified;  // the short date and time
};

// Names compared so that "map.bmp" and "Map2.bmp" stand together on every
// machine, whatever its locale: letters without case (ASCII), then byte by
// byte so that no two names tie.
bool FolderNameLess(std::string_view a, std::string_view b);

// The folder's entries, folders first, then files, each in FolderNameLess
// order. Names beginning with a dot are left out unless showHidden; "." and
// ".." never come. A link counts as what it points at. Answers nothing, with
// the reason in error, when the folder cannot be read.
std::optional<std::vector<FolderEntry>> ReadFolder(const std::filesystem::path& folder, bool showHidden,
                                                   std::error_code& error);

EntryDetails ReadEntryDetails(const std::filesystem::path& file);

// A file size as a list shows it: bytes below 1,024 ("1,000 bytes"), then
// whole kilobytes rounded up ("2 KB" for 1,025 bytes, "1,024 KB" for a
// megabyte).
std::string FormatFileSize(uint64_t bytes);

// The user's home folder ($HOME, else the password database's entry, else /).
std::filesystem::path HomeFolder();

}  // namespace thorn
