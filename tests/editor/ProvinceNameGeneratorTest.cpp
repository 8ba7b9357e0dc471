#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <functional>

#include "editor/ProvinceNameGenerator.h"
#include "platform/Charset.h"
#include "support/SourceTree.h"
#include "support/TempDir.h"

namespace {

using thorn::ProvinceNameTables;
using thorn::test::TempDir;

// A start folder whose "data/names.txt" holds the given bytes.
ProvinceNameTables Learned(const TempDir& dir, const std::string& names) {
    std::filesystem::create_directories(dir / "data");
    std::ofstream(dir / "data/names.txt", std::ios::binary) << names;
    ProvinceNameTables tables;
    EXPECT_EQ(thorn::ProvinceNameGenerator(tables, dir.Path()), 1);
    return tables;
}

std::string KeysOf(const ProvinceNameTables& tables) {
    std::string out;
    for (const auto& key : tables.NameKeys) out += key.Key + ":" + std::string(key.Followers.begin(), key.Followers.end()) + " ";
    return out;
}

std::string EndingsOf(const ProvinceNameTables& tables) {
    std::string out;
    for (const auto& ending : tables.NameEndings) out += ending + " ";
    return out;
}

TEST(ProvinceNameGenerator, LearnsKeysFollowersAndEndingsFromTheSampleLines) {
    struct Case {
        const char* file;
        const char* keys;
        const char* endings;
    };
    const Case cases[] = {
        {"Abcd", "abc:d ", "bcd? "},
        {"\n", "", "? "},  // an empty line: an ending, no key
        {"Ab", "", "Ab? "},
        {"Abc", "", "Abc? "},
        // Lines end at CR, LF or CR LF; a follower met twice is listed twice;
        // keys keep the order they were first met in; letters are lower-cased
        // for learning, endings keep the file's case.
        {"Abcde\r\nXabcd\rABCE\n", "abc:dde bcd:e xab:c ", "cde? bcd? BCE? "},
        {"\xC9lan", "\xE9la:n ", "lan? "},  // Windows-1252 capitals fold too
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        TempDir dir;
        const ProvinceNameTables tables = Learned(dir, c.file);
        EXPECT_EQ(KeysOf(tables), c.keys);
        EXPECT_EQ(EndingsOf(tables), c.endings);
    }
}

// A names file that is too large, or no regular file, is not read: the line
// on standard output says which file and why, and no name is invented.
TEST(ProvinceNameGenerator, OnlyARegularFileOfBoundedSizeIsRead) {
    struct Case {
        const char* what;
        std::function<void(const std::filesystem::path&)> make;
        const char* why;
    };
    const Case cases[] = {
        {"one byte over the limit",
         [](const std::filesystem::path& file) {
             std::ofstream(file, std::ios::binary) << std::string(thorn::kMaxNamesFileSize + 1, 'a');
         },
         "it is larger than 1 MiB"},
        // Opening it must not wait for a writer.
        {"a FIFO", [](const std::filesystem::path& file) { ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0); },
         "not a regular file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        std::filesystem::create_directories(dir / "data");
        c.make(dir / "data/names.txt");
        ProvinceNameTables tables;
        testing::internal::CaptureStdout();
        EXPECT_EQ(thorn::ProvinceNameGenerator(tables, dir.Path()), 0);
        const std::string said = testing::internal::GetCapturedStdout();
        EXPECT_EQ(said.rfind("\n\nCannot open file 'names.txt'\n\n", 0), 0u) << said;
        EXPECT_NE(said.find((dir / "data/names.txt").string()), std::string::npos) << said;
        EXPECT_NE(said.find(c.why), std::string::npos) << said;
        EXPECT_TRUE(tables.NameKeys.empty());
        EXPECT_TRUE(tables.NameEndings.empty());
    }
    // At the limit it is read.
    TempDir dir;
    ProvinceNameTables tables = Learned(dir, std::string(thorn::kMaxNamesFileSize - 5, 'a') + "\nAbcd");
    EXPECT_EQ(tables.NameEndings.size(), 2u);
}

TEST(ProvinceNameGenerator, ATailEndsWithTheFirstSampleEndingThatStartsWithIt) {
    ProvinceNameTables tables;
    tables.NameEndings = {"xbcd?", "Rin?", "rix?", "rin?", "ra?"};
    const std::pair<const char*, const char*> cases[] = {
        {"rin", "rin?"},  // "Rin?" holds no lower-case "rin"
        {"rix", "rix?"},
        {"raz", "ra?"},   // the first two letters still match
        {"rzz", "r"},     // nothing matches two letters: the first letter alone
        {"bcd", "b"},     // "xbcd?" holds the tail but starts elsewhere
        {"q", "q"},
    };
    for (const auto& [tail, ending] : cases) {
        SCOPED_TRACE(tail);
        EXPECT_EQ(tables.MatchKnownEnding(tail), ending);
    }
}

TEST(ProvinceNameGenerator, InventsCapitalisedNamesOfThreeToSixLetters) {
    TempDir dir;
    ProvinceNameTables single = Learned(dir, "Abcd");
    for (int i = 0; i < 5; ++i) EXPECT_EQ(single.GenerateProvinceName(), "Abcd");

    ProvinceNameTables tables;
    ASSERT_EQ(thorn::ProvinceNameGenerator(tables, thorn::test::SourceDir() / "startdir"), 1);
    for (int i = 0; i < 300; ++i) {
        const std::string name = tables.GenerateProvinceName().value();
        SCOPED_TRACE(name);
        EXPECT_GE(name.size(), 3u);
        EXPECT_LE(name.size(), 6u);
        const auto first = static_cast<unsigned char>(name.front());
        EXPECT_EQ(thorn::UpperCase1252(first), first);
        EXPECT_NE(thorn::LowerCase1252(first), first);
        EXPECT_EQ(name.find('?'), std::string::npos);
    }
}

TEST(ProvinceNameGenerator, WithoutUsableSamplesNothingIsInventedAndNothingLoops) {
    TempDir dir;
    ProvinceNameTables missing;
    EXPECT_EQ(thorn::ProvinceNameGenerator(missing, dir.Path()), 0);
    EXPECT_TRUE(missing.NameKeys.empty());
    EXPECT_EQ(missing.GenerateProvinceName(), std::nullopt);

    ProvinceNameTables shortNames = Learned(dir, "Ab\nXyz\n");
    EXPECT_EQ(shortNames.GenerateUnusedName([](const std::string&) { return false; }), std::nullopt);

    // Every name taken: the search gives up after its attempts.
    ProvinceNameTables single = Learned(dir, "Abcd");
    int asked = 0;
    EXPECT_EQ(single.GenerateUnusedName([&](const std::string&) { return ++asked, true; }, 50), std::nullopt);
    EXPECT_EQ(asked, 50);
    EXPECT_EQ(single.GenerateUnusedName([](const std::string& name) { return name != "Abcd"; }), "Abcd");
}

}  // namespace
