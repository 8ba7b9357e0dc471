#include "gui/FolderListing.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>

#include "platform/DateTime.h"
#include "platform/FormatSettings.h"

namespace thorn {

namespace {

unsigned char Fold(unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a') : c; }

}  // namespace

bool FolderNameLess(std::string_view a, std::string_view b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        unsigned char x = Fold(static_cast<unsigned char>(a[i])), y = Fold(static_cast<unsigned char>(b[i]));
        if (x != y) return x < y;
    }
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;
}

std::optional<std::vector<FolderEntry>> ReadFolder(const std::filesystem::path& folder, bool showHidden,
                                                   std::error_code& error) {
    namespace fs = std::filesystem;
    error.clear();
    fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, error);
    if (error) return std::nullopt;
    std::vector<FolderEntry> entries;
    for (; it != fs::directory_iterator(); it.increment(error)) {
        if (error) return std::nullopt;
        std::string name = it->path().filename().string();
        if (!showHidden && !name.empty() && name.front() == '.') continue;
        // The type comes with the entry; only links are looked up.
        std::error_code typeError;
        bool isFolder = it->is_directory(typeError);
        entries.push_back({std::move(name), isFolder && !typeError});
    }
    std::sort(entries.begin(), entries.end(), [](const FolderEntry& a, const FolderEntry& b) {
        if (a.folder != b.folder) return a.folder;
        return FolderNameLess(a.name, b.name);
    });
    return entries;
}

EntryDetails ReadEntryDetails(const std::filesystem::path& file) {
    EntryDetails details;
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0) return details;
    details.known = true;
    details.size = static_cast<uint64_t>(info.st_size);
    std::tm local{};
    time_t seconds = info.st_mtim.tv_sec;
    if (localtime_r(&seconds, &local)) {
        TDateTime value = EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
                          EncodeTime(local.tm_hour, local.tm_min, std::min(local.tm_sec, 59), 0);
        details.modified = FormatDateTime("ddddd t", value);
    }
    return details;
}

std::string FormatFileSize(uint64_t bytes) {
    uint64_t value = bytes < 1024 ? bytes : (bytes + 1023) / 1024;
    // Grouped by appending (an insert draws a false overlap warning of GCC 12).
    std::string digits = std::to_string(value);
    std::string grouped;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
        grouped += digits[i];
    }
    return grouped + (bytes < 1024 ? " bytes" : " KB");
}

std::filesystem::path HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir) return entry->pw_dir;
    return "/";
}

}  // namespace thorn
