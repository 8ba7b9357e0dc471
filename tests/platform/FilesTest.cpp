#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <span>
#include <string_view>

#include "platform/Classes.h"
#include "platform/Files.h"
#include "support/FileCalls.h"
#include "support/TempDir.h"

namespace {

using thorn::test::TempDir;

TEST(Files, WriteReplacingThenReadBack) {
    TempDir dir;
    std::vector<uint8_t> first = {1, 2, 3}, second = {9};
    ASSERT_TRUE(thorn::WriteFileReplacing(dir / "a.bin", first));
    ASSERT_TRUE(thorn::WriteFileReplacing(dir / "a.bin", second));
    EXPECT_EQ(thorn::ReadWholeFile(dir / "a.bin"), second);
    EXPECT_FALSE(std::filesystem::exists(dir / "a.bin.tmp"));
    ASSERT_TRUE(thorn::WriteFileReplacing(dir / "empty", {}));
    EXPECT_EQ(thorn::ReadWholeFile(dir / "empty"), std::vector<uint8_t>{});
}

TEST(Files, WriteWholeThenReadBack) {
    TempDir dir;
    thorn::WriteWholeFile(dir / "w.bin", std::vector<uint8_t>{1, 2});
    thorn::WriteWholeFile(dir / "w.bin", std::vector<uint8_t>{3});
    EXPECT_EQ(thorn::ReadWholeFile(dir / "w.bin"), std::vector<uint8_t>{3});
    EXPECT_THROW(thorn::WriteWholeFile(dir / "no" / "folder", std::vector<uint8_t>{1}), thorn::FileWriteError);
}

TEST(Files, FailedWriteKeepsTheOldFile) {
    TempDir dir;
    std::vector<uint8_t> old = {4, 5};
    ASSERT_TRUE(thorn::WriteFileReplacing(dir / "keep", old));
    // A folder where the file should go makes the write fail.
    std::filesystem::create_directories(dir / "folder" / "x");
    EXPECT_FALSE(thorn::WriteFileReplacing(dir / "folder", std::vector<uint8_t>{7}));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "folder" / "x"));
    EXPECT_EQ(thorn::ReadWholeFile(dir / "keep"), old);
    EXPECT_FALSE(thorn::WriteFileReplacing(dir / "no" / "such" / "folder", old));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2) << "a temporary file was left";
}

// Whatever stands under the names temporary files once had (a link to a
// file elsewhere, a FIFO, a folder), the replacing writers never open it:
// the bytes reach the file named and nothing else changes.
TEST(Files, TemporariesAreNeverOpenedThroughWhatAlreadyStandsThere) {
    using Write = std::function<void(const std::filesystem::path&, std::span<const uint8_t>)>;
    const std::pair<const char*, Write> writers[] = {
        {"replacing", [](const auto& file, auto bytes) { ASSERT_TRUE(thorn::WriteFileReplacing(file, bytes)); }},
        {"replacing synced", [](const auto& file, auto bytes) { thorn::ReplaceFileSynced(file, bytes); }},
    };
    const std::vector<uint8_t> bytes = {1, 2, 3};
    for (const auto& [what, write] : writers) {
        SCOPED_TRACE(what);
        TempDir dir, elsewhere;
        thorn::test::WriteFileBytes(elsewhere / "target", std::vector<uint8_t>{9});
        std::filesystem::create_symlink(elsewhere / "target", dir / "ini.xml.tmp");
        std::filesystem::create_symlink(elsewhere / "target", dir / "m.pdb.tmp");
        ASSERT_EQ(::mkfifo((dir / "names.tmp").c_str(), 0600), 0);
        // A reader keeps a write into the FIFO from waiting, as it would.
        const int reader = ::open((dir / "names.tmp").c_str(), O_RDONLY | O_NONBLOCK);
        ASSERT_GE(reader, 0);
        for (const char* name : {"ini.xml", "m.pdb", "names"}) {
            write(dir / name, bytes);
            EXPECT_EQ(std::filesystem::symlink_status(dir / name).type(), std::filesystem::file_type::regular) << name;
            EXPECT_EQ(thorn::ReadWholeFile(dir / name), bytes) << name;
        }
        ::close(reader);
        EXPECT_EQ(thorn::ReadWholeFile(elsewhere / "target"), std::vector<uint8_t>{9});
        EXPECT_TRUE(std::filesystem::is_symlink(dir / "ini.xml.tmp"));
        EXPECT_TRUE(std::filesystem::is_symlink(dir / "m.pdb.tmp"));
        EXPECT_EQ(std::filesystem::status(dir / "names.tmp").type(), std::filesystem::file_type::fifo);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 6);
    }
}

TEST(Files, TemporaryFilesHaveNamesOfTheirOwn) {
    TempDir dir;
    const std::vector<uint8_t> bytes = {5};
    const std::filesystem::path first = thorn::WriteTemporaryBeside(dir / "m.pak", bytes);
    thorn::TemporaryFileOptions kept;
    kept.suffix = ".old";
    const std::filesystem::path second = thorn::WriteTemporaryBeside(dir / "m.pak", bytes, kept);
    EXPECT_NE(first, second);
    EXPECT_EQ(thorn::ReadWholeFile(second), bytes);
    EXPECT_TRUE(thorn::IsTemporaryNameOf(first.filename().string(), "m.pak"));
    EXPECT_TRUE(thorn::IsTemporaryNameOf(second.filename().string(), "m.pak", ".old"));
    EXPECT_FALSE(thorn::IsTemporaryNameOf(second.filename().string(), "m.pak"));
    for (const char* other :
         {"m.pak.tmp", "m.pak.abcde.tmp", "m.pak.abc/ef.tmp", "x.pak.abcdef.tmp", "m.pak.abcdefg.tmp"})
        EXPECT_FALSE(thorn::IsTemporaryNameOf(other, "m.pak")) << other;
    EXPECT_THROW(thorn::WriteTemporaryBeside(dir / "no" / "m.pak", bytes), EWriteError);
}

TEST(Files, ReplacingSyncedKeepsThePermissionsAndLeavesNothingBehind) {
    TempDir dir;
    std::vector<uint8_t> old = {1}, now = {2, 3};
    thorn::WriteWholeFile(dir / "f", old);
    ::chmod((dir / "f").c_str(), 0640);
    thorn::ReplaceFileSynced(dir / "f", now);
    EXPECT_EQ(thorn::ReadWholeFile(dir / "f"), now);
    EXPECT_EQ(std::filesystem::status(dir / "f").permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                  std::filesystem::perms::group_read);
    EXPECT_TRUE(thorn::FileHolds(dir / "f", now));
    EXPECT_FALSE(thorn::FileHolds(dir / "f", old));
    // A folder where the file should be: refused, the folder as it was.
    std::filesystem::create_directory(dir / "folder");
    EXPECT_THROW(thorn::ReplaceFileSynced(dir / "folder", now), EWriteError);
    EXPECT_THROW(thorn::ReplaceFileSynced(dir / "no" / "f", now), EWriteError);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2) << "a temporary file was left";
}

// Only a regular file the user may write is replaced: what else stands
// under the name, or behind a link of that name, stays as it was, and the
// refusal names it and says why.
TEST(Files, ReplacingSyncedReplacesOnlyARegularFileTheUserMayWrite) {
    struct Case {
        const char* name;
        std::function<void(const TempDir&)> make;  // makes "f"
        std::string reason;
    };
    const Case cases[] = {
        {"a FIFO", [](const TempDir& dir) { ASSERT_EQ(::mkfifo((dir / "f").c_str(), 0600), 0); },
         "it is not a regular file"},
        {"a link to a FIFO",
         [](const TempDir& dir) {
             ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
             std::filesystem::create_symlink("fifo", dir / "f");
         },
         "it is not a regular file"},
        {"a file no one may write",
         [](const TempDir& dir) {
             thorn::test::WriteFileBytes(dir / "f", std::vector<uint8_t>{1});
             ::chmod((dir / "f").c_str(), 0444);
         },
         std::strerror(EACCES)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        c.make(dir);
        const auto before = std::filesystem::symlink_status(dir / "f").type();
        const std::filesystem::path target = thorn::FollowLinks(dir / "f");
        try {
            thorn::ReplaceFileSynced(dir / "f", std::vector<uint8_t>{2});
            ADD_FAILURE() << "replaced";
        } catch (const thorn::FileWriteError& error) {
            EXPECT_EQ(error.File(), target);
            EXPECT_EQ(error.Reason(), c.reason);
        }
        EXPECT_EQ(std::filesystem::symlink_status(dir / "f").type(), before);
        if (before == std::filesystem::file_type::regular) {
            EXPECT_EQ(thorn::ReadWholeFile(dir / "f"), std::vector<uint8_t>{1});
        }
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), target == dir / "f" ? 1 : 2);
    }
}

// A new name lasts only once its folder reaches the disk: a file replaced
// is synced under its temporary name, renamed, and then its folder synced;
// a damaged file set aside has its folder synced after the rename too.
TEST(Files, ReplacingAndSettingAsideSyncTheFolderAfterTheRename) {
    using Calls = std::vector<thorn::test::FileCallWatch::Call>;
    const std::pair<const char*, std::function<void(const TempDir&)>> writers[] = {
        {"replacing", [](const TempDir& dir) { thorn::ReplaceFileSynced(dir / "f", std::vector<uint8_t>{2}); }},
        {"setting aside", [](const TempDir& dir) { thorn::KeepDamagedAside(dir / "f"); }},
    };
    for (const auto& [what, write] : writers) {
        SCOPED_TRACE(what);
        TempDir dir;
        thorn::test::WriteFileBytes(dir / "f", std::vector<uint8_t>{1});
        thorn::test::FileCallWatch watch;
        write(dir);
        const Calls& calls = watch.Calls();
        const auto rename = std::find_if(calls.begin(), calls.end(), [](const auto& c) { return c.what == "rename"; });
        ASSERT_NE(rename, calls.end());
        const auto folderSynced = std::find_if(rename, calls.end(), [&](const auto& c) {
            return c.what == "fsync" && std::filesystem::equivalent(c.path, dir.Path());
        });
        EXPECT_NE(folderSynced, calls.end()) << "the folder was not synced after the rename";
        if (std::string_view(what) == "replacing") {
            EXPECT_EQ(rename->to, dir / "f");
            EXPECT_NE(std::find_if(calls.begin(), rename, [&](const auto& c) { return c.what == "fsync" && c.path == rename->path; }),
                      rename)
                << "the new file was not synced before it took the name";
        }
    }
}

// A damaged file is set aside under a name no file holds at the moment it
// moves: a name taken after it was found free is not written over.
TEST(Files, SettingAsideTakesOnlyANameThatIsFree) {
    TempDir dir;
    const std::vector<uint8_t> damaged = {1}, other = {2};
    thorn::test::WriteFileBytes(dir / "ini.xml", damaged);
    thorn::test::FileCallWatch watch;
    watch.BeforeNaming(dir / "ini.xml.damaged",
                       [&] { thorn::test::WriteFileBytes(dir / "ini.xml.damaged", other); });
    EXPECT_EQ(thorn::KeepDamagedAside(dir / "ini.xml"), dir / "ini.xml.damaged-2");
    EXPECT_EQ(thorn::ReadWholeFile(dir / "ini.xml.damaged"), other);
    EXPECT_EQ(thorn::ReadWholeFile(dir / "ini.xml.damaged-2"), damaged);
    EXPECT_FALSE(std::filesystem::exists(dir / "ini.xml"));
}

// Only a regular file is set aside: a FIFO, or the FIFO behind a link,
// stays where it is under its name.
TEST(Files, SettingAsideMovesOnlyARegularFile) {
    TempDir dir;
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    std::filesystem::create_symlink("fifo", dir / "link");
    for (const char* name : {"fifo", "link"}) {
        SCOPED_TRACE(name);
        EXPECT_THROW(thorn::KeepDamagedAside(dir / name), EWriteError);
    }
    EXPECT_EQ(std::filesystem::symlink_status(dir / "fifo").type(), std::filesystem::file_type::fifo);
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);
}

TEST(Files, MissingFileReadsAsNothing) {
    TempDir dir;
    EXPECT_FALSE(thorn::ReadWholeFile(dir / "missing").has_value());
    EXPECT_FALSE(thorn::ReadWholeFile(dir.Path()).has_value());
}

}  // namespace
