#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

namespace thorn {

// Files that replace their earlier versions together or not at all, for
// files that only make sense as a set (a mission's .pdb and .pak). Each is
// first written whole to "<target>.tmp" beside its target; only when every
// one is written are they put in place. A failure at any step leaves every
// target as it was: an earlier file byte for byte, no file where there was
// none.
class ReplaceTogether {
public:
    ReplaceTogether() = default;
    // Removes every temporary file not put in place.
    ~ReplaceTogether();
    ReplaceTogether(const ReplaceTogether&) = delete;
    ReplaceTogether& operator=(const ReplaceTogether&) = delete;

    // Writes bytes to target's temporary file. Answers false, leaving
    // nothing of it behind, when it cannot be written whole.
    bool Stage(const std::filesystem::path& target, std::span<const uint8_t> bytes);

    // Puts every staged file in place of its target. Answers nothing when
    // all were replaced; else the target that could not be, with every
    // target back as it was and no temporary file left.
    std::optional<std::filesystem::path> Commit();

private:
    struct Staged {
        std::filesystem::path target;
        std::filesystem::path temporary;
        std::filesystem::path aside;  // the earlier target, moved out of the way
        bool placed = false;
    };

    void RollBack();
    void RemoveTemporaries();

    std::vector<Staged> staged_;
};

}  // namespace thorn
