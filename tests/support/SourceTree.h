#pragma once

#include <filesystem>

namespace thorn::test {

// The repository the tests were built from (the shipped start folder, the fuzz
// corpora). Kept out of the compile line of every test so that worktrees of the
// same sources share the compiler cache.
const std::filesystem::path& SourceDir();

}  // namespace thorn::test
