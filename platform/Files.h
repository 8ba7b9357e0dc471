#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

namespace thorn {

// The whole file, or nothing when it cannot be opened or read.
std::optional<std::vector<uint8_t>> ReadWholeFile(const std::filesystem::path& file);

// Writes bytes to file straight away, for folders no one else reads while
// they are written; a failed write removes what it wrote. Answers whether
// it succeeded.
bool WriteWholeFile(const std::filesystem::path& file, std::span<const uint8_t> bytes);
// Writes bytes to "<file>.tmp" in the same folder and renames that over file,
// so a failed write never leaves a half-written file or loses the old one.
// Answers false (and removes the temporary file) on any failure.
bool WriteFileReplacing(const std::filesystem::path& file, std::span<const uint8_t> bytes);

}  // namespace thorn
