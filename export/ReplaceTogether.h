#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace thorn {

// Called before each step that changes a folder of the export, naming it;
// tests end the process there to see what a kill at that moment leaves.
using ExportStepHook = std::function<void(std::string_view step)>;

// Files of one folder that replace their earlier versions together or not at
// all, for files that only make sense as a set (a mission's .pdb and .pak),
// even when the program is killed on the way.
//
// Each file is first written whole, and synced, to a temporary file beside
// its target ("<target>.XXXXXX.tmp"). To put them in place, each earlier
// target is kept under a second name ("<target>.XXXXXX.old", a hard link, so
// the target itself stays where it is), a journal "<first target>.replacing"
// lists the targets and their kept copies, the temporary files are renamed
// over the targets, and the journal is removed: from that moment the new set
// stands; the copies are removed last. Killed before the journal exists, the
// folder holds the earlier set; after it is removed, the new set. In between,
// the next set of the same targets finds the journal and puts the earlier
// set back (Recover) before it writes anything.
//
// While the object lives it holds the folder locked (flock) against another
// program's set in the same folder.
class ReplaceTogether {
public:
    explicit ReplaceTogether(std::vector<std::filesystem::path> targets, ExportStepHook step = {});
    // Removes every temporary file and copy not put in place.
    ~ReplaceTogether();
    ReplaceTogether(const ReplaceTogether&) = delete;
    ReplaceTogether& operator=(const ReplaceTogether&) = delete;

    // Deals with what an earlier set of the same targets left: a replacement
    // cut short is undone (every earlier target back under its name, a
    // target that had none removed), and the temporary files and copies left
    // beside the targets are removed. Answers nothing when that is done; else
    // the file that could not be dealt with, which nothing else then touches.
    std::optional<std::filesystem::path> Recover();

    // Writes bytes to the temporary file of target (one of the targets),
    // synced, with the permissions of the file it is to replace. Only a
    // regular file the user may write is replaced (ReplaceableMode). Throws
    // FileWriteError naming target and why, leaving nothing of it behind,
    // when it is refused or cannot be written whole.
    void Stage(const std::filesystem::path& target, std::span<const uint8_t> bytes);

    // Puts every staged file in place of its target, the folder synced
    // after the journal is written, after the targets are placed and after
    // the journal is removed, so that a power cut finds one set or the
    // other too. Throws FileWriteError naming the file that could not be
    // written and why, with every target back as it was and no temporary
    // file left.
    void Commit();

private:
    struct Staged {
        std::filesystem::path target;
        std::filesystem::path temporary;
        std::filesystem::path kept;  // the earlier target's copy; empty when there was none
        bool placed = false;
    };

    void Step(std::string_view what, const std::filesystem::path& file) const;
    std::filesystem::path Journal() const;
    // Puts the earlier targets back over what stands there now.
    void PutEarlierBack(const std::vector<Staged>& files) const;
    void RemoveTemporaries();

    std::vector<std::filesystem::path> targets_;
    ExportStepHook step_;
    int folderLock_ = -1;
    std::vector<Staged> staged_;
};

}  // namespace thorn
