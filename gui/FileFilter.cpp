#include "gui/FileFilter.h"

#include <algorithm>

namespace thorn {

namespace {

char Fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string_view Trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    while (true) {
        size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}

std::string_view LastPart(std::string_view path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::vector<FileFilter> ParseFilter(std::string_view filter) {
    std::vector<FileFilter> filters;
    if (filter.empty()) return filters;
    std::vector<std::string_view> parts = Split(filter, '|');
    for (size_t i = 0; i < parts.size(); i += 2) {
        FileFilter entry;
        entry.description = std::string(parts[i]);
        if (i + 1 < parts.size())
            for (std::string_view pattern : Split(parts[i + 1], ';'))
                if (std::string_view p = Trim(pattern); !p.empty()) entry.patterns.emplace_back(p);
        if (entry.patterns.empty()) entry.patterns.emplace_back("*");
        filters.push_back(std::move(entry));
    }
    return filters;
}

bool MatchesPattern(std::string_view name, std::string_view pattern) {
    if (pattern == "*.*" || pattern == "*") return true;
    // The usual greedy walk: on a mismatch, let the last star take one more
    // character.
    size_t n = 0, p = 0, starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == '?' || Fold(pattern[p]) == Fold(name[n]))) {
            ++p;
            ++n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

bool MatchesAny(std::string_view name, std::span<const std::string> patterns) {
    return std::any_of(patterns.begin(), patterns.end(),
                       [&](const std::string& pattern) { return MatchesPattern(name, pattern); });
}

bool HasWildcard(std::string_view text) { return text.find_first_of("*?") != std::string_view::npos; }

bool HasExtension(std::string_view path) {
    std::string_view name = LastPart(path);
    size_t dot = name.find_last_of('.');
    return dot != std::string_view::npos && dot > 0;
}

std::string WithDefaultExtension(std::string_view path, std::string_view extension) {
    while (!extension.empty() && extension.front() == '.') extension.remove_prefix(1);
    if (extension.empty() || HasExtension(path) || LastPart(path).empty()) return std::string(path);
    std::string result(path);
    result += '.';
    result += extension;
    return result;
}

}  // namespace thorn
