#include <gtest/gtest.h>

#include "PackageTestSupport.h"
#include "PalmPdbReader.h"
#include "export/GfxPicture.h"
#include "export/PdbWriter.h"
#include "support/TempDir.h"

namespace {

using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;
using namespace thorn::test;

class PdbWriter : public ::testing::Test {
protected:
    TempDir dir;
};

std::vector<size_t> ResourceSizes(const PalmDatabase& db) {
    std::vector<size_t> sizes;
    for (const auto& r : db.resources) sizes.push_back(r.data.size());
    return sizes;
}

TEST_F(PdbWriter, OneSmallFile) {
    MakeFile(dir / "src" / "f.dat", 100, 3);
    const Packed packed = PackFolder(PackageForm::Pdb, dir / "src", dir / "m.pdb");
    ASSERT_TRUE(packed.result.ok) << packed.result.message;
    const Bytes pdb = ReadFileBytes(dir / "m.pdb");
    ASSERT_EQ(pdb.size(), 232u);

    // Name, attributes, version, times, type, creator and the record list
    // are what Palm::PDB reads back below; the fields it does not read:
    EXPECT_EQ(Bytes(pdb.begin() + 44, pdb.begin() + 60), Bytes(16, 0));
    EXPECT_EQ(Bytes(pdb.begin() + 68, pdb.begin() + 76), Bytes(8, 0));
    EXPECT_EQ(Le32(pdb, 98), 0xFFFFFFFFu);  // one entry, not scrambled
    const auto entries = ParseEntries(pdb, 102, 1);
    EXPECT_EQ(entries[0].name, "f");
    EXPECT_EQ(entries[0].tag, (Bytes{'d', 'a', 't', 0}));
    EXPECT_EQ(entries[0].location, 0x1001u);
    EXPECT_EQ(entries[0].size, 100u);
    EXPECT_EQ(entries[0].depth, 1);
    EXPECT_EQ(entries[0].recordCount, 1);
    EXPECT_EQ(Bytes(pdb.begin() + 132, pdb.end()), ReadFileBytes(dir / "src" / "f.dat"));

    const auto db = ReadCheckedDatabase(dir / "m.pdb");
    EXPECT_EQ(ResourceSizes(db), (std::vector<size_t>{34, 100}));

    const std::string file = (dir / "src" / "f.dat").string();
    EXPECT_EQ(packed.console, "Packing directory " + (dir / "src").string() + " to file " + (dir / "m.pdb").string() +
                                  "\n\nGetting directory structure...ok\n\nAnalyzing files and directories...\n" + file +
                                  " - added\n\nWriting header...\n\nAdding files...\n" + file + "\n\nAll done\n\n");
}

TEST_F(PdbWriter, EmptyFolder) {
    fs::create_directory(dir / "src");
    ASSERT_TRUE(PackFolder(PackageForm::Pdb, dir / "src", dir / "e.pdb").result.ok);
    const Bytes pdb = ReadFileBytes(dir / "e.pdb");
    ASSERT_EQ(pdb.size(), 92u);
    EXPECT_EQ(Le32(pdb, 88), 0u);
    EXPECT_EQ(ResourceSizes(ReadCheckedDatabase(dir / "e.pdb")), (std::vector<size_t>{4}));
}

TEST_F(PdbWriter, CountIsNegatedOnlyWhenNotScrambled) {
    MakeFile(dir / "src" / "a" / "b" / "c.dat", 3);
    MakeFile(dir / "src" / "a" / "d.dat", 4);
    MakeFile(dir / "src" / "e.dat", 5);
    ASSERT_TRUE(PackFolder(PackageForm::Pdb, dir / "src", dir / "plain.pdb").result.ok);
    ASSERT_TRUE(PackFolder(PackageForm::Pdb, dir / "src", dir / "hidden.pdb", true).result.ok);
    const Bytes plain = ReadFileBytes(dir / "plain.pdb");
    const Bytes hidden = ReadFileBytes(dir / "hidden.pdb");
    const size_t directory = 78 + 10 * 4;
    EXPECT_EQ(Le32(plain, directory), 0xFFFFFFFBu);
    EXPECT_EQ(Le32(hidden, directory), 5u);
    const auto scrambled = ParseEntries(hidden, directory + 4, 5);
    EXPECT_EQ(scrambled[0].rawName[0], 'a' ^ 0xB5);
    EXPECT_EQ(scrambled[0].location, 0u);
    EXPECT_EQ(scrambled[0].childCount, 2);
    EXPECT_EQ(scrambled[0].span, 4);
    ReadCheckedDatabase(dir / "hidden.pdb");
}

TEST_F(PdbWriter, RecordLimitAndPlainSplit) {
    MakeFile(dir / "src" / "a.dat", 64000, 1);
    MakeFile(dir / "src" / "b.wav", 64001, 2);
    const Packed packed = PackFolder(PackageForm::Pdb, dir / "src", dir / "r.pdb");
    ASSERT_TRUE(packed.result.ok) << packed.result.message;
    EXPECT_NE(packed.console.find("a.dat - added\n"), std::string::npos);
    EXPECT_NE(packed.console.find("b.wav - splitted\n"), std::string::npos);
    const auto db = ReadCheckedDatabase(dir / "r.pdb");
    EXPECT_EQ(ResourceSizes(db), (std::vector<size_t>{64, 64000, 64000, 1}));
    const auto entries = ParseEntries(db.resources[0].data, 4, 2);
    EXPECT_EQ(entries[0].location, 0x1001u);
    EXPECT_EQ(entries[0].recordCount, 1);
    EXPECT_EQ(entries[1].location, 0x1002u);
    EXPECT_EQ(entries[1].recordCount, 2);
    Bytes joined = db.resources[2].data;
    joined.insert(joined.end(), db.resources[3].data.begin(), db.resources[3].data.end());
    EXPECT_EQ(joined, ReadFileBytes(dir / "src" / "b.wav"));
}

TEST_F(PdbWriter, PictureIsSplitBetweenRows) {
    // 247 never-repeating pixels code to 250 bytes a row.
    Bytes pixels(247 * 300);
    for (size_t y = 0; y < 300; ++y)
        for (size_t x = 0; x < 247; ++x) pixels[y * 247 + x] = static_cast<uint8_t>(x * 7 + y);
    const Bytes img = CGfxPicture(247, 300, pixels, 0).Bytes();
    ASSERT_EQ(img.size(), 22u + 300 + 300 * 250);
    MakeFile(dir / "src" / "block0.img", img);
    const Packed packed = PackFolder(PackageForm::Pdb, dir / "src", dir / "p.pdb");
    ASSERT_TRUE(packed.result.ok) << packed.result.message;
    const auto db = ReadCheckedDatabase(dir / "p.pdb");
    EXPECT_EQ(ResourceSizes(db), (std::vector<size_t>{34, 63822, 11500}));
    Bytes joined = db.resources[1].data;
    joined.insert(joined.end(), db.resources[2].data.begin(), db.resources[2].data.end());
    EXPECT_EQ(joined, img);
}

// An animation of two frames of 100 rows of 398 bytes with u16 row tables.
Bytes Animation() {
    Bytes frame = {0, 0, 0, 0, 0, 0, 100, 0};
    for (int r = 0; r < 100; ++r) frame.insert(frame.end(), {0x8E, 0x01});  // 398
    for (int r = 0; r < 100 * 398; ++r) frame.push_back(static_cast<uint8_t>(r));
    Bytes ani = {0xFE, 0x02, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0};
    const uint32_t size = static_cast<uint32_t>(frame.size());
    for (uint32_t end : {size, 2 * size})
        for (int k = 0; k < 4; ++k) ani.push_back(static_cast<uint8_t>(end >> (8 * k)));
    ani.insert(ani.end(), frame.begin(), frame.end());
    ani.insert(ani.end(), frame.begin(), frame.end());
    return ani;
}

TEST_F(PdbWriter, AnimationIsSplitBetweenFramesAndRows) {
    const Bytes ani = Animation();
    ASSERT_EQ(ani.size(), 21u + 2 * 40008);
    MakeFile(dir / "walk.ani", ani);
    // Frame 0 whole (40029); frame 1's header and table (40237), 59 rows, then 41.
    EXPECT_EQ(SplitAniFile(dir / "walk.ani"), (std::vector<uint32_t>{63719, 16318}));
    EXPECT_EQ(SplitFileIntoRecords(dir / "walk.ani", {'a', 'n', 'i', 0}, static_cast<uint32_t>(ani.size())),
              (std::vector<uint32_t>{63719, 16318}));
    Bytes broken = ani;
    broken[13] ^= 1;  // frame ends no longer add up
    MakeFile(dir / "broken.ani", broken);
    EXPECT_TRUE(SplitAniFile(dir / "broken.ani").empty());
}

TEST_F(PdbWriter, SplitsThatDoNotCoverTheFileAreRefused) {
    Bytes notAPicture(70000, 0xFE);
    MakeFile(dir / "bad.img", notAPicture);
    EXPECT_TRUE(SplitImgFile(dir / "bad.img").empty());
    EXPECT_TRUE(SplitImgFile(dir / "missing.img").empty());
    EXPECT_EQ(SplitPlainFile(128000), (std::vector<uint32_t>{64000, 64000}));
    EXPECT_EQ(SplitFileIntoRecords(dir / "bad.img", {'d', 'a', 't', 0}, 10), (std::vector<uint32_t>{10}));
}

TEST_F(PdbWriter, UnsplittableFileWritesNothingAndKeepsTheOldDatabase) {
    MakeFile(dir / "src" / "a.dat", 10);
    MakeFile(dir / "src" / "big.bin", 70000);
    const Bytes old = {1, 2, 3};
    MakeFile(dir / "m.pdb", old);
    const Packed packed = PackFolder(PackageForm::Pdb, dir / "src", dir / "m.pdb");
    EXPECT_FALSE(packed.result.ok);
    EXPECT_EQ(packed.result.message,
              "the file \"" + (dir / "src" / "big.bin").string() + "\" is over 64000 bytes and cannot be split");
    EXPECT_NE(packed.console.find("big.bin - cannot split file\n\n"), std::string::npos);
    EXPECT_EQ(packed.console.find("Writing header"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(dir / "m.pdb"), old);
    EXPECT_FALSE(fs::exists(dir / "m.pdb.tmp"));
}

TEST_F(PdbWriter, FileOfMoreThan255RecordsIsRefused) {
    fs::create_directory(dir / "src");
    MakeFile(dir / "src" / "long.wav", 1);
    fs::resize_file(dir / "src" / "long.wav", 255ull * 64000 + 1);
    const Packed packed = PackFolder(PackageForm::Pdb, dir / "src", dir / "m.pdb");
    EXPECT_FALSE(packed.result.ok);
    EXPECT_NE(packed.result.message.find("needs more than 255 records"), std::string::npos);
    EXPECT_NE(packed.console.find("cannot split file\n\n"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "m.pdb"));

    fs::resize_file(dir / "src" / "long.wav", 255ull * 64000);
    EXPECT_TRUE(PackFolder(PackageForm::Pdb, dir / "src", dir / "m.pdb").result.ok);
}

TEST_F(PdbWriter, DirectoryRecordOver64000BytesIsRefused) {
    for (int i = 0; i < 2133; ++i) MakeFile(dir / "src" / ("f" + std::to_string(i)), 0);
    EXPECT_TRUE(PackFolder(PackageForm::Pdb, dir / "src", dir / "m.pdb").result.ok);  // 4 + 30 x 2133 = 63994
    MakeFile(dir / "src" / "one-more", 0);
    const Packed packed = PackFolder(PackageForm::Pdb, dir / "src", dir / "n.pdb");
    EXPECT_FALSE(packed.result.ok);
    EXPECT_FALSE(fs::exists(dir / "n.pdb"));
}

TEST_F(PdbWriter, EqualFilesShareRecords) {
    MakeFile(dir / "src" / "a.dat", 30, 7);
    MakeFile(dir / "src" / "b.dat", 30, 7);
    MakeFile(dir / "src" / "c.dat", 0);
    MakeFile(dir / "src" / "d.dat", 0);
    MakeFile(dir / "src" / "x.wav", 64001, 9);
    MakeFile(dir / "src" / "y.wav", 64001, 9);
    const Packed packed = PackFolder(PackageForm::Pdb, dir / "src", dir / "m.pdb");
    ASSERT_TRUE(packed.result.ok) << packed.result.message;
    EXPECT_EQ(CountOf(packed.console, "merged\n"), 3u);
    EXPECT_EQ(CountOf(packed.console, " NULL SIZE"), 2u);
    const auto db = ReadCheckedDatabase(dir / "m.pdb");
    EXPECT_EQ(ResourceSizes(db), (std::vector<size_t>{4 + 6 * 30, 30, 0, 64000, 1}));
    const auto entries = ParseEntries(db.resources[0].data, 4, 6);
    EXPECT_EQ(entries[1].location, entries[0].location);
    EXPECT_EQ(entries[1].recordCount, 1);
    EXPECT_EQ(entries[3].location, entries[2].location);
    EXPECT_EQ(entries[4].location, 0x1003u);
    EXPECT_EQ(entries[5].location, 0x1003u);
    EXPECT_EQ(entries[5].recordCount, 2);
}

TEST_F(PdbWriter, MissingSourceFolder) {
    const Packed packed = PackFolder(PackageForm::Pdb, dir / "nothing", dir / "m.pdb");
    EXPECT_FALSE(packed.result.ok);
    EXPECT_EQ(packed.console, "Cannot find directory " + (dir / "nothing").string() + "\n\n");
    EXPECT_FALSE(fs::exists(dir / "m.pdb"));
}

TEST_F(PdbWriter, HeaderFieldsAndPalmTime) {
    EXPECT_EQ(PalmTimeNow(0), 2082844800u);
    EXPECT_EQ(PalmTimeNow(kFixedTime), kFixedPalmTime);
    EXPECT_EQ(PalmTimeNow(static_cast<std::time_t>(-1)), 0xFFFFFFFFu);
    const auto header = BuildPdbHeader(std::string(40, 'n'), "RSRCX", "ZO", 7, 0x01020304);
    EXPECT_EQ(std::string(header.begin(), header.begin() + 31), std::string(31, 'n'));
    EXPECT_EQ(header[31], 0);
    EXPECT_EQ(std::string(header.begin() + 60, header.begin() + 68), std::string("RSRCZO\0\0", 8));
    EXPECT_EQ(Be32(header, 36), 0x01020304u);
    EXPECT_EQ(Be16(header, 76), 7);
}

}  // namespace
