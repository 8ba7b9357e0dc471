#include <gtest/gtest.h>

#include <sys/stat.h>

#include "platform/Classes.h"
#include "platform/Files.h"
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
    ASSERT_TRUE(thorn::WriteWholeFile(dir / "w.bin", std::vector<uint8_t>{1, 2}));
    ASSERT_TRUE(thorn::WriteWholeFile(dir / "w.bin", std::vector<uint8_t>{3}));
    EXPECT_EQ(thorn::ReadWholeFile(dir / "w.bin"), std::vector<uint8_t>{3});
    EXPECT_FALSE(thorn::WriteWholeFile(dir / "no" / "folder", std::vector<uint8_t>{1}));
}

TEST(Files, FailedWriteKeepsTheOldFile) {
    TempDir dir;
    std::vector<uint8_t> old = {4, 5};
    ASSERT_TRUE(thorn::WriteFileReplacing(dir / "keep", old));
    // A folder where the temporary file should go makes the write fail.
    std::filesystem::create_directory(dir / "keep.tmp");
    std::filesystem::create_directory(dir / "keep.tmp" / "x");
    EXPECT_FALSE(thorn::WriteFileReplacing(dir / "keep", std::vector<uint8_t>{7}));
    EXPECT_EQ(thorn::ReadWholeFile(dir / "keep"), old);
    EXPECT_FALSE(thorn::WriteFileReplacing(dir / "no" / "such" / "folder", old));
}

TEST(Files, ReplacingSyncedKeepsThePermissionsAndLeavesNothingBehind) {
    TempDir dir;
    std::vector<uint8_t> old = {1}, now = {2, 3};
    ASSERT_TRUE(thorn::WriteWholeFile(dir / "f", old));
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

TEST(Files, MissingFileReadsAsNothing) {
    TempDir dir;
    EXPECT_FALSE(thorn::ReadWholeFile(dir / "missing").has_value());
    EXPECT_FALSE(thorn::ReadWholeFile(dir.Path()).has_value());
}

}  // namespace
