#include <gtest/gtest.h>

#include "PackageTestSupport.h"
#include "export/PackageDirectory.h"
#include "export/PakWriter.h"
#include "support/TempDir.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Tag = std::array<uint8_t, 4>;
using namespace thorn::test;

std::vector<ParsedEntry> PackPlain(const TempDir& dir, const std::filesystem::path& source) {
    const Packed packed = PackFolder(PackageForm::Pak, source, dir / "out.pak");
    EXPECT_TRUE(packed.result.ok) << packed.result.message;
    return PakEntries(ReadFileBytes(dir / "out.pak"));
}

TEST(PackageNames, BaseNameCutsAtTheLastDotAndTagReadsAfterTheFirst) {
    EXPECT_EQ(GetBaseName("Map.Dat"), "map");
    EXPECT_EQ(GetFileTypeTag("Map.Dat"), (Tag{'d', 'a', 't', 0}));
    EXPECT_EQ(GetBaseName("archive.tar.gz"), "archive.tar");
    EXPECT_EQ(GetFileTypeTag("archive.tar.gz"), (Tag{'t', 'a', 'r', '.'}));
    EXPECT_EQ(GetBaseName("README"), "readme");
    EXPECT_EQ(GetFileTypeTag("README"), (Tag{'r', 'e', 'a', 'd'}));
    EXPECT_EQ(GetFileTypeTag("block1.img"), (Tag{'i', 'm', 'g', 0}));
    EXPECT_EQ(GetFileTypeTag("x.ab"), (Tag{'a', 'b', 0, 0}));
    EXPECT_EQ(GetFileTypeTag("Photo.JPEG"), (Tag{'j', 'p', 'e', 'g'}));
    EXPECT_EQ(GetFileTypeTag("ab"), (Tag{'a', 'b', 0, 0}));
    // Windows-1252 capitals fold too.
    EXPECT_EQ(GetBaseName("\xC9T\xC9\x8A.txt"), "\xE9t\xE9\x9A");
    // Every capital of the code page, the thorn (0xDE) last; the
    // multiplication sign and the sharp s have no other case.
    EXPECT_EQ(GetBaseName("\x8A\x8C\x8E\x9F\xC0\xC1\xC2\xC3\xC4\xC5\xC6\xC7\xC8\xC9\xCA\xCB\xCC"
                          "\xCD\xCE\xCF\xD0\xD1\xD2\xD3\xD4\xD5\xD6\xD8\xD9\xDA\xDB\xDC\xDD\xDE\xD7\xDF.TXT"),
              "\x9A\x9C\x9E\xFF\xE0\xE1\xE2\xE3\xE4\xE5\xE6\xE7\xE8\xE9\xEA\xEB\xEC"
              "\xED\xEE\xEF\xF0\xF1\xF2\xF3\xF4\xF5\xF6\xF8\xF9\xFA\xFB\xFC\xFD\xFE\xD7\xDF");
}

TEST(PackageNames, FileSystemNamesAreStoredInWindows1252) {
    TempDir dir;
    MakeFile(dir / "src" / "\xC3\x89t\xC3\xA9.txt", 3);   // "Été" in UTF-8
    MakeFile(dir / "src" / "\xE2\x82\xAC.txt", 3);        // the euro sign
    MakeFile(dir / "src" / "\xE6\x97\xA5.txt", 3);        // no Windows-1252 form
    const auto entries = PackPlain(dir, dir / "src");
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].name, "\xE9t\xE9");
    EXPECT_EQ(entries[1].name, "\x80");
    EXPECT_EQ(entries[2].name, "_");
}

TEST(PackageDirectory, EntriesInPreOrderWithChildCountsAndSpans) {
    TempDir dir;
    MakeFile(dir / "src" / "Scenarios" / "A" / "x.img", 10);
    MakeFile(dir / "src" / "Scenarios" / "readme.txt", 20);
    const auto entries = PackPlain(dir, dir / "src");
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].name, "scenarios");
    EXPECT_EQ(entries[0].tag, (Bytes{'.', '.', '.', 0}));
    EXPECT_EQ(entries[0].depth, 1);
    EXPECT_EQ(entries[0].childCount, 2);
    EXPECT_EQ(entries[0].span, 4);
    EXPECT_EQ(entries[0].location, 0u);
    EXPECT_EQ(entries[0].recordCount, 0);
    EXPECT_EQ(entries[1].name, "a");
    EXPECT_EQ(entries[1].depth, 2);
    EXPECT_EQ(entries[1].childCount, 1);
    EXPECT_EQ(entries[1].span, 2);
    EXPECT_EQ(entries[2].name, "x");
    EXPECT_EQ(entries[2].depth, 3);
    EXPECT_EQ(entries[2].size, 10u);
    EXPECT_EQ(entries[2].tag, (Bytes{'i', 'm', 'g', 0}));
    EXPECT_EQ(entries[3].name, "readme");
    EXPECT_EQ(entries[3].depth, 2);
}

TEST(PackageDirectory, EmptyFolderHasNoChildrenAndASpanOfOne) {
    TempDir dir;
    std::filesystem::create_directories(dir / "src" / "Empty");
    MakeFile(dir / "src" / "Full" / "f.dat", 1);
    const auto entries = PackPlain(dir, dir / "src");
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].name, "empty");
    EXPECT_EQ(entries[0].childCount, 0);
    EXPECT_EQ(entries[0].span, 1);
    EXPECT_EQ(entries[1].childCount, 1);
    EXPECT_EQ(entries[1].span, 2);
}

TEST(PackageDirectory, ListingsAreSortedWithCaseFoldingFoldersFirst) {
    TempDir dir;
    MakeFile(dir / "b.dat", 1);
    MakeFile(dir / "C.dat", 2);
    MakeFile(dir / "a.dat", 3);
    MakeFile(dir / "Z" / "in.dat", 4);
    MakeFile(dir / "y" / "in.dat", 5);
    DirectoryTree tree = MakeDirectoryTree();
    WalkDirectory(dir.Path(), tree);
    std::vector<std::string> names;
    for (const auto& child : tree.children) names.push_back(child.name);
    EXPECT_EQ(names, (std::vector<std::string>{"y", "Z", "a.dat", "b.dat", "C.dat"}));
    EXPECT_TRUE(tree.children[0].folder);
    EXPECT_EQ(tree.CountNodes(), 8u);

    DirectoryTree none = MakeDirectoryTree();
    WalkDirectory(dir / "missing", none);
    EXPECT_TRUE(none.children.empty());
}

TEST(PackageDirectory, LinksToFoldersAreNotFollowed) {
    TempDir dir;
    MakeFile(dir / "a" / "f.dat", 1);
    std::filesystem::create_directory_symlink(dir / "a", dir / "a" / "loop");
    std::filesystem::create_symlink(dir / "a" / "f.dat", dir / "a" / "g.dat");
    DirectoryTree tree = MakeDirectoryTree();
    WalkDirectory(dir / "a", tree);
    ASSERT_EQ(tree.children.size(), 2u);
    EXPECT_EQ(tree.children[0].name, "f.dat");
    EXPECT_EQ(tree.children[1].name, "g.dat");
}

TEST(PackageDirectory, LongNamesFillAllSixteenBytes) {
    TempDir dir;
    MakeFile(dir / "src" / "abcdefghijklmnopqrst.dat", 1);
    const auto entries = PackPlain(dir, dir / "src");
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, "abcdefghijklmnop");
}

TEST(PackageDirectory, ScramblingMasksNamesAndTags) {
    std::vector<PackageDirEntry> entries(3);
    entries[0].folder = true;
    entries[0].SetName("mission");
    entries[0].tag = kFolderTag;
    entries[1].SetName("x");
    entries[1].tag = {'i', 'm', 'g', 0};
    entries[2].SetName("abcdefghijklmnopqrst");
    entries[2].tag = {'d', 'a', 't', 0};
    ScrambleDirectory(entries);
    EXPECT_EQ(Bytes(entries[0].name.begin(), entries[0].name.end()),
              (Bytes{0xd8, 0x8a, 0xba, 0x87, 0xb1, 0xc1, 0xaf, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(entries[0].tag, (Tag{0x54, 0x7f, 0x58, 0x4b}));
    EXPECT_EQ(entries[1].name[0], 0xCD);
    EXPECT_EQ(entries[1].name[1], 0);
    EXPECT_EQ(entries[1].tag, (Tag{0x13, 0x3c, 0x11, 0x4b}));
    EXPECT_EQ(Bytes(entries[2].name.begin(), entries[2].name.end()),
              (Bytes{0xd4, 0x81, 0xaa, 0x90, 0xbd, 0xc8, 0xa6, 0x9f, 0xdc, 0x89, 0xa2, 0x98, 0xb5, 0xc0, 0xae, 0x87}));
    EXPECT_EQ(entries[2].tag, (Tag{0x1e, 0x30, 0x02, 0x4b}));
}

TEST(PackageDirectory, EntryBytesAndCount) {
    PackageDirectory directory;
    directory.entries.resize(2);
    directory.entries[0].folder = true;
    directory.entries[0].SetName("f");
    directory.entries[0].tag = kFolderTag;
    directory.entries[0].childCount = 1;
    directory.entries[0].span = 2;
    directory.entries[0].depth = 1;
    directory.entries[1].SetName("g");
    directory.entries[1].tag = {'d', 'a', 't', 0};
    directory.entries[1].location = 0x01020304;
    directory.entries[1].size = 0x0A0B0C0D;
    directory.entries[1].depth = 2;
    directory.entries[1].recordCount = 1;
    Bytes out;
    directory.AppendTo(out, true);
    ASSERT_EQ(out.size(), directory.ByteSize());
    EXPECT_EQ(Le32(out, 0), 0xFFFFFFFEu);
    const Bytes folder = {'f', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, '.', '.', '.', 0, 0, 0, 0, 0, 1, 0, 2, 0, 1, 0};
    const Bytes file = {'g', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 'd', 'a', 't', 0, 4, 3, 2, 1, 0x0D, 0x0C, 0x0B, 0x0A, 2, 1};
    EXPECT_EQ(Bytes(out.begin() + 4, out.begin() + 34), folder);
    EXPECT_EQ(Bytes(out.begin() + 34, out.end()), file);
}

TEST(PackageDirectory, SpansThatOverflowAreRefused) {
    std::vector<PackageDirEntry> entries(70000);
    entries[0].folder = true;
    entries[0].depth = 1;
    for (size_t i = 1; i < entries.size(); ++i) entries[i].depth = 2;
    EXPECT_THROW(CountDirectoryChildren(entries), thorn::PackageError);
}

TEST(PackageDirectory, IdenticalFilesAreFoundByContent) {
    TempDir dir;
    MakeFile(dir / "a", 50, 1);
    MakeFile(dir / "b", 50, 2);  // same size, other bytes
    MakeFile(dir / "c", 50, 1);
    MakeFile(dir / "e1", 0);
    MakeFile(dir / "e2", 0);
    std::vector<PackageDirEntry> entries(5);
    for (auto& e : entries) e.size = 50;
    entries[3].size = entries[4].size = 0;
    FileList files = {{0, dir / "a", 50}, {1, dir / "b", 50}, {3, dir / "e1", 0}};
    EXPECT_EQ(FindIdenticalFile(dir / "c", files, entries, 50), 0u);
    EXPECT_EQ(FindIdenticalFile(dir / "e2", files, entries, 0), 3u);
    // An earlier file that is gone counts as different.
    std::filesystem::remove(dir / "a");
    EXPECT_EQ(FindIdenticalFile(dir / "c", files, entries, 50), std::nullopt);
}

TEST(PackageDirectory, AppendingStopsAtAFileThatIsGoneOrChanged) {
    TempDir dir;
    MakeFile(dir / "a", 5);
    std::ostringstream console;
    Bytes package;
    AppendPackageFiles({{0, dir / "a", 5}}, package, console);
    EXPECT_EQ(package, ReadFileBytes(dir / "a"));
    EXPECT_EQ(console.str(), "\nAdding files...\n" + (dir / "a").string() + "\n");
    EXPECT_THROW(AppendPackageFiles({{0, dir / "a", 6}}, package, console), thorn::PackageError);
    console.str("");
    EXPECT_THROW(AppendPackageFiles({{0, dir / "gone", 5}}, package, console), thorn::PackageError);
    EXPECT_EQ(console.str(), "\nAdding files...\nCannot open file " + (dir / "gone").string());
}

}  // namespace
