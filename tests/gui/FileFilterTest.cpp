// The filter lists of the file dialogs and the rules typed names and folder
// listings follow.
#include <gtest/gtest.h>

#include "gui/FileFilter.h"
#include "gui/FolderListing.h"

namespace {

using thorn::FileFilter;

TEST(FileFilter, FilterListsSplitIntoDescriptionsAndPatterns) {
    struct Case {
        const char* filter;
        std::vector<std::pair<std::string, std::vector<std::string>>> expected;
    };
    const Case cases[] = {
        {"Bitmaps (*.bmp)|*.bmp|All (*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf)|*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf",
         {{"Bitmaps (*.bmp)", {"*.bmp"}},
          {"All (*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf)", {"*.jpg", "*.jpeg", "*.bmp", "*.ico", "*.emf", "*.wmf"}}}},
        {"PDA file (*.pdb+*.pak)|*.*", {{"PDA file (*.pdb+*.pak)", {"*.*"}}}},
        {"", {}},
        // Blanks and empty places between the semicolons are no patterns; a
        // description without patterns shows everything.
        {"Odd| *.a ; ;*.b |Last", {{"Odd", {"*.a", "*.b"}}, {"Last", {"*"}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.filter);
        std::vector<FileFilter> filters = thorn::ParseFilter(c.filter);
        ASSERT_EQ(filters.size(), c.expected.size());
        for (size_t i = 0; i < filters.size(); ++i) {
            EXPECT_EQ(filters[i].description, c.expected[i].first);
            EXPECT_EQ(filters[i].patterns, c.expected[i].second);
        }
    }
}

TEST(FileFilter, PatternsMatchNamesWithoutCase) {
    struct Case {
        const char* name;
        const char* pattern;
        bool matches;
    };
    const Case cases[] = {
        {"World.BMP", "*.bmp", true},    {"world.bmp.txt", "*.bmp", false}, {"README", "*.*", true},
        {"map.pw", "*.p?", true},        {"map.p", "*.p?", false},          {"x.jpeg", "*.jp*g", true},
        {"abxbc", "a*b*c", true},        {"ac", "a*b*c", false},            {"", "*", true},
        {"scenario01", "scen*01", true}, {"a.pw", "a.pw", true},            {"a.pwx", "a.pw", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " / " + c.pattern);
        EXPECT_EQ(thorn::MatchesPattern(c.name, c.pattern), c.matches);
    }
}

TEST(FileFilter, TheDefaultExtensionGoesOnlyOnNamesWithoutOne) {
    struct Case {
        const char* path;
        const char* extension;
        const char* expected;
    };
    const Case cases[] = {
        {"map", "pw", "map.pw"},          {"map.pw", "pw", "map.pw"},     {"map.PW", "pw", "map.PW"},
        {".pw", "pw", ".pw.pw"},          {"dir.d/map", ".pw", "dir.d/map.pw"}, {"map", "", "map"},
        {"map.", "pw", "map."},           {"/tmp/a.b/c", "bmp", "/tmp/a.b/c.bmp"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.path) + " + " + c.extension);
        EXPECT_EQ(thorn::WithDefaultExtension(c.path, c.extension), c.expected);
    }
}

TEST(FileFilter, FolderNamesSortWithoutCaseAndSizesReadAsAListShowsThem) {
    std::vector<std::string> names{"b.txt", "_x", "A.bmp", "a.bmp", "c.BMP", "B.txt", "a"};
    std::sort(names.begin(), names.end(), thorn::FolderNameLess);
    EXPECT_EQ(names, (std::vector<std::string>{"_x", "a", "A.bmp", "a.bmp", "B.txt", "b.txt", "c.BMP"}));

    const std::pair<uint64_t, const char*> sizes[] = {
        {0, "0 bytes"}, {1000, "1,000 bytes"}, {1024, "1 KB"}, {1025, "2 KB"}, {1048576, "1,024 KB"},
        {5368709120ull, "5,242,880 KB"}};
    for (const auto& [bytes, text] : sizes) EXPECT_EQ(thorn::FormatFileSize(bytes), text) << bytes;
}

}  // namespace
