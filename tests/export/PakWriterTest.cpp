#include <gtest/gtest.h>

#include "PackageTestSupport.h"
#include "export/PakWriter.h"
#include "support/TempDir.h"

namespace {

using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;
using namespace thorn::test;

class PakWriter : public ::testing::Test {
protected:
    TempDir dir;
};

TEST_F(PakWriter, OneSmallFile) {
    MakeFile(dir / "src" / "f.dat", 100, 5);
    const Packed packed = PackFolder(PackageForm::Pak, dir / "src", dir / "m.pak");
    ASSERT_TRUE(packed.result.ok) << packed.result.message;
    const Bytes pak = ReadFileBytes(dir / "m.pak");
    ASSERT_EQ(pak.size(), 146u);
    EXPECT_EQ(std::string(pak.begin(), pak.begin() + 8), "ZORNRSRC");
    EXPECT_EQ(Le32(pak, 8), static_cast<uint32_t>(kFixedTime));
    EXPECT_EQ(Le32(pak, 12), 1u);
    const auto entries = PakEntries(pak);
    EXPECT_EQ(entries[0].name, "f");
    EXPECT_EQ(entries[0].location, 46u);
    EXPECT_EQ(entries[0].size, 100u);
    EXPECT_EQ(entries[0].recordCount, 1);
    EXPECT_EQ(Bytes(pak.begin() + 46, pak.end()), ReadFileBytes(dir / "src" / "f.dat"));

    const std::string file = (dir / "src" / "f.dat").string();
    EXPECT_EQ(packed.console, "Packing directory " + (dir / "src").string() + " to file " + (dir / "m.pak").string() +
                                  "\n\nGetting directory structure...ok\n\nAnalyzing files and directories...\n" + file +
                                  " - added\n\nWriting header...\n\nAdding files...\n\nAdding files...\n" + file +
                                  "\n\nAll done\n\n");
}

TEST_F(PakWriter, FoldersKeepLocationZeroWhenScrambled) {
    MakeFile(dir / "src" / "Scenarios" / "m" / "mission.dat", 12);
    MakeFile(dir / "src" / "top.txt", 0);
    const Packed packed = PackFolder(PackageForm::Pak, dir / "src", dir / "s.pak", true);
    ASSERT_TRUE(packed.result.ok) << packed.result.message;
    EXPECT_EQ(CountOf(packed.console, "NULL SIZE"), 0u);
    const Bytes pak = ReadFileBytes(dir / "s.pak");
    ASSERT_EQ(Le32(pak, 12), 4u);
    const auto entries = PakEntries(pak);
    EXPECT_EQ(entries[0].location, 0u);
    EXPECT_EQ(entries[0].tag, (Bytes{0x54, 0x7f, 0x58, 0x4b}));
    EXPECT_EQ(entries[0].childCount, 1);
    EXPECT_EQ(entries[0].span, 3);
    EXPECT_EQ(entries[1].location, 0u);
    const uint32_t dataStart = 16 + 4 * 30;
    EXPECT_EQ(entries[2].location, dataStart);
    EXPECT_EQ(entries[2].rawName[0], 'm' ^ 0xB5);
    EXPECT_EQ(entries[3].location, dataStart + 12);
    EXPECT_EQ(pak.size(), dataStart + 12u);
}

TEST_F(PakWriter, EqualFilesShareTheirBytes) {
    MakeFile(dir / "src" / "a.dat", 40, 1);
    MakeFile(dir / "src" / "b.dat", 40, 1);
    MakeFile(dir / "src" / "c.dat", 40, 1);
    MakeFile(dir / "src" / "d.dat", 40, 2);
    const Packed packed = PackFolder(PackageForm::Pak, dir / "src", dir / "m.pak");
    ASSERT_TRUE(packed.result.ok);
    EXPECT_EQ(CountOf(packed.console, "merged\n"), 2u);
    const Bytes pak = ReadFileBytes(dir / "m.pak");
    const uint32_t dataStart = 16 + 4 * 30;
    EXPECT_EQ(pak.size(), dataStart + 80u);
    const auto entries = PakEntries(pak);
    EXPECT_EQ(entries[0].location, dataStart);
    EXPECT_EQ(entries[1].location, dataStart);
    EXPECT_EQ(entries[2].location, dataStart);
    EXPECT_EQ(entries[3].location, dataStart + 40);
    // Only the first of the three is stored and listed while adding.
    EXPECT_EQ(CountOf(packed.console, (dir / "src" / "a.dat").string() + "\n"), 1u);
    EXPECT_EQ(CountOf(packed.console, (dir / "src" / "b.dat").string() + "\n"), 0u);
}

TEST_F(PakWriter, BigFilesAreStoredWhole) {
    MakeFile(dir / "src" / "big.bin", 70000, 4);
    ASSERT_TRUE(PackFolder(PackageForm::Pak, dir / "src", dir / "m.pak").result.ok);
    const Bytes pak = ReadFileBytes(dir / "m.pak");
    EXPECT_EQ(pak.size(), 46u + 70000);
    EXPECT_EQ(Bytes(pak.begin() + 46, pak.end()), ReadFileBytes(dir / "src" / "big.bin"));
}

TEST_F(PakWriter, MissingSourceFolder) {
    const Packed packed = PackFolder(PackageForm::Pak, dir / "nothing", dir / "m.pak");
    EXPECT_FALSE(packed.result.ok);
    EXPECT_EQ(packed.console, "Cannot find directory " + (dir / "nothing").string() + "\n\n");
}

}  // namespace
