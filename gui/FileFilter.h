#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

// The filter list of the file dialogs ("Pictures (*.bmp)|*.bmp;*.jpg|All|*.*")
// and the rules a typed file name is read by.
namespace thorn {

struct FileFilter {
    std::string description;
    std::vector<std::string> patterns;  // "*.bmp", "*.*"; never empty
};

// The pairs of a filter list, in order. A description without patterns (or
// with only blanks between the semicolons) shows every file.
std::vector<FileFilter> ParseFilter(std::string_view filter);

// Whether a file name matches a pattern of "*" (any run) and "?" (one
// character), letters compared without case (ASCII). "*.*" matches every
// name, with or without a dot, so a filter for any file shows the files
// that have no extension too.
bool MatchesPattern(std::string_view name, std::string_view pattern);
bool MatchesAny(std::string_view name, std::span<const std::string> patterns);
// Whether the text holds a wildcard: typed into the name box it is a filter.
bool HasWildcard(std::string_view text);

// Whether the last part of a path has an extension: a dot after its first
// character (".pw" is a name without one, "a." ends in an empty one).
bool HasExtension(std::string_view path);
// The path with "." and the extension added when it has none. The extension
// may come with its dot (".pw") or without ("pw"); an empty one adds nothing.
std::string WithDefaultExtension(std::string_view path, std::string_view extension);

}  // namespace thorn
