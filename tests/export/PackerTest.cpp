#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "PackageTestSupport.h"
#include "PalmPdbReader.h"
#include "export/GfxPicture.h"
#include "export/Packer.h"
#include "support/FileSizeLimit.h"
#include "support/TempDir.h"

namespace {

using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;
using namespace thorn::test;

class Packer : public ::testing::Test {
protected:
    TempDir dir;
};

// The shape of an export: Scenarios/<base>/Mission001 with the game's files.
fs::path MakeExportTree(const TempDir& dir, const std::string& base) {
    const fs::path tree = dir / "export";
    const fs::path mission = tree / "Scenarios" / base / "Mission001";
    MakeFile(mission / "mission.dat", 300, 1);
    MakeFile(mission / "map.dat", 20, 2);
    MakeFile(mission / "dommap.dat", 20, 2);  // equal to map.dat
    Bytes strip(128 * 600);
    for (size_t i = 0; i < strip.size(); ++i) strip[i] = static_cast<uint8_t>((i / 128) * 31 + (i % 128) * 7);
    MakeFile(mission / "block0.img", CGfxPicture(128, 600, strip, 0).Bytes());  // over 64000 bytes
    MakeFile(mission / "Preview.img", CGfxPicture(4, 4, Bytes(16, 9), 0).Bytes());
    MakeFile(mission / "author.txt", Bytes{'m', 'e'});
    return tree;
}

Packed Pack(const fs::path& tree, const fs::path& destination, std::string_view base) {
    return PackCaptured([&](const thorn::PackEnvironment& env) {
        return PackExportDirectory(tree, destination, base, env);
    });
}

TEST_F(Packer, WritesBothPackagesAndRemovesTheTree) {
    const fs::path tree = MakeExportTree(dir, "Big.Map");
    const Packed packed = Pack(tree, dir.Path(), "Big.Map");
    ASSERT_TRUE(packed.result.ok) << packed.result.message;
    EXPECT_FALSE(fs::exists(tree));
    EXPECT_EQ(CountOf(packed.console, "\nAdding files...\n"), 3u);
    EXPECT_EQ(CountOf(packed.console, "merged\n"), 2u);
    EXPECT_EQ(CountOf(packed.console, "splitted\n"), 1u);

    const PalmDatabase db = ReadCheckedDatabase(dir / "Big.Map.pdb", "Big.Map");
    // Directory, author, block0.img in two records, dommap (map.dat merged), mission, Preview.
    ASSERT_EQ(db.resources.size(), 7u);
    const Bytes& directory = db.resources[0].data;
    ASSERT_EQ(Le32(directory, 0), 9u);  // scrambled: the count is not negated
    EXPECT_EQ(directory.size(), 4u + 9 * 30);

    const Bytes pak = ReadFileBytes(dir / "Big.Map.pak");
    EXPECT_EQ(std::string(pak.begin(), pak.begin() + 8), "ZORNRSRC");
    ASSERT_EQ(Le32(pak, 12), 9u);
    const auto pdbEntries = ParseEntries(directory, 4, 9);
    const auto pakEntries = ParseEntries(pak, 16, 9);
    for (size_t i = 0; i < 9; ++i) {
        EXPECT_EQ(pdbEntries[i].rawName, pakEntries[i].rawName) << i;
        EXPECT_EQ(pdbEntries[i].tag, pakEntries[i].tag) << i;
        EXPECT_EQ(pdbEntries[i].depth, pakEntries[i].depth) << i;
    }
    // scenarios, big, mission001, then the files sorted by name.
    EXPECT_EQ(pdbEntries[0].depth, 1);
    EXPECT_EQ(pdbEntries[2].depth, 3);
    EXPECT_EQ(pdbEntries[2].childCount, 6);
    EXPECT_EQ(pdbEntries[4].recordCount, 2);  // block0.img
    EXPECT_EQ(pdbEntries[4].location, 0x1002u);
    EXPECT_EQ(pdbEntries[6].location, pdbEntries[5].location);  // map.dat equals dommap.dat
}

TEST_F(Packer, DatabaseNameIsWindows1252) {
    const fs::path tree = MakeExportTree(dir, "x");
    ASSERT_TRUE(Pack(tree, dir.Path(), "\xC3\x89t\xC3\xA9").result.ok);
    EXPECT_EQ(ReadWithPalmPdb(dir / "\xC3\x89t\xC3\xA9.pdb").name, "\xC9t\xE9");
}

TEST_F(Packer, ReservedAndImpossibleNamesAreRefused) {
    for (std::string_view name : {"Scenario01", "scenario01.x", "", "a/b", ".."}) {
        SCOPED_TRACE(name);
        TempDir each;
        const fs::path tree = MakeExportTree(each, "m");
        const Packed packed = Pack(tree, each.Path(), name);
        EXPECT_FALSE(packed.result.ok);
        EXPECT_FALSE(packed.result.message.empty());
        EXPECT_FALSE(fs::exists(tree));
        EXPECT_EQ(packed.console, "");
        EXPECT_FALSE(fs::exists(each / (std::string(name) + ".pdb")));
    }
    EXPECT_TRUE(Pack(MakeExportTree(dir, "m"), dir.Path(), "Scenario010").result.ok);
}

TEST_F(Packer, ReadOnlyTargetKeepsTheOldFiles) {
    const fs::path tree = MakeExportTree(dir, "m");
    const fs::path target = dir / "target";
    const Bytes oldPdb = {1, 2, 3}, oldPak = {4, 5};
    MakeFile(target / "m.pdb", oldPdb);
    MakeFile(target / "m.pak", oldPak);
    ASSERT_EQ(chmod(target.c_str(), 0555), 0);
    Packed packed;
    {
        // Permissions do not stop root: a file that cannot grow makes the
        // write fail the same way.
        std::optional<FileSizeLimit> limit;
        if (geteuid() == 0) limit.emplace(1);
        packed = Pack(tree, target, "m");
    }
    chmod(target.c_str(), 0755);
    EXPECT_FALSE(packed.result.ok);
    EXPECT_EQ(packed.result.message, "the file \"" + (target / "m.pdb").string() + "\" cannot be written: " +
                                         std::strerror(geteuid() == 0 ? EFBIG : EACCES));
    EXPECT_NE(packed.console.find("Cannot open destination file " + (target / "m.pdb").string() + "\n\n"),
              std::string::npos);
    EXPECT_EQ(ReadFileBytes(target / "m.pdb"), oldPdb);
    EXPECT_EQ(ReadFileBytes(target / "m.pak"), oldPak);
    EXPECT_FALSE(fs::is_regular_file(target / "m.pdb.tmp"));
    EXPECT_FALSE(fs::exists(target / "m.pak.tmp"));
    EXPECT_FALSE(fs::exists(tree));
}

// Every file and folder below folder, with the bytes of the files.
std::map<std::string, Bytes> Contents(const fs::path& folder) {
    std::map<std::string, Bytes> contents;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        contents[fs::relative(entry.path(), folder).string()] =
            entry.is_regular_file() ? ReadFileBytes(entry.path()) : Bytes{};
    return contents;
}

// The .pdb and the .pak make one mission: whichever of them cannot be
// written or put in place, an earlier pair stays byte for byte, neither is
// left where there was none, and no temporary file stays behind. The message
// names the file and the system's reason.
TEST_F(Packer, ThePairReplacesAnEarlierOneWholeOrNotAtAll) {
    struct Case {
        const char* what;
        const char* failed;  // the file the message names
        std::string reason;  // the system's
        std::function<void(const fs::path& target)> block;
        rlim_t fileSizeLimit = 0;  // none
        const char* diskFullAt = nullptr;  // the step from which no file grows
    };
    const auto folder = [](const char* name) {
        return [name](const fs::path& target) { fs::create_directories(target / name / "x"); };
    };
    const auto nothing = [](const fs::path&) {};
    const Case cases[] = {
        {"the first's own name is a folder", "m.pdb", "it is not a regular file", folder("m.pdb")},
        {"the disk fills while the first is written", "m.pdb", std::strerror(EFBIG), nothing, 4096},
        {"the disk fills while the second is written", "m.pak", std::strerror(EFBIG), nothing, 0, "stage m.pak"},
        {"the second's own name is a folder", "m.pak", "it is not a regular file", folder("m.pak")},
    };
    const Bytes oldPdb = {1, 2, 3}, oldPak = {4, 5};
    for (const Case& c : cases) {
        for (const bool earlier : {true, false}) {
            SCOPED_TRACE(std::string(c.what) + (earlier ? ", over an earlier pair" : ", where there was none"));
            TempDir each;
            const fs::path tree = MakeExportTree(each, "m");
            const fs::path target = each / "target";
            fs::create_directories(target);
            c.block(target);
            if (earlier) {
                if (!fs::exists(target / "m.pdb")) MakeFile(target / "m.pdb", oldPdb);
                if (!fs::exists(target / "m.pak")) MakeFile(target / "m.pak", oldPak);
            }
            const auto before = Contents(target);
            Packed packed;
            {
                std::optional<FileSizeLimit> limit;
                if (c.fileSizeLimit) limit.emplace(c.fileSizeLimit);
                packed = PackCaptured([&](thorn::PackEnvironment env) {
                    env.step = [&](std::string_view step) {
                        if (c.diskFullAt && step == c.diskFullAt) limit.emplace(1);
                    };
                    return PackExportDirectory(tree, target, "m", env);
                });
            }
            EXPECT_FALSE(packed.result.ok);
            EXPECT_EQ(packed.result.message,
                      "the file \"" + (target / c.failed).string() + "\" cannot be written: " + c.reason);
            EXPECT_EQ(Contents(target), before);
            EXPECT_FALSE(fs::exists(tree));
        }
    }
}

// Only regular files the designer may write are replaced, keeping their
// permissions; a package reached through a link is written where the link
// leads, and the link stays. Anything else is refused before either file
// is replaced.
TEST_F(Packer, ThePairReplacesOnlyRegularFilesTheDesignerMayWrite) {
    struct Case {
        const char* name;
        std::function<void(const fs::path& target)> make;  // over an earlier pair
        std::string refusal;                                 // empty: written
    };
    const Case cases[] = {
        {"a file only its owner reads and writes",
         [](const fs::path& target) { fs::permissions(target / "m.pdb", fs::perms::owner_read | fs::perms::owner_write); },
         ""},
        {"a link to the package",
         [](const fs::path& target) {
             fs::rename(target / "m.pak", target / "kept.pak");
             fs::create_symlink("kept.pak", target / "m.pak");
         },
         ""},
        {"a FIFO", [](const fs::path& target) {
             fs::remove(target / "m.pak");
             ASSERT_EQ(mkfifo((target / "m.pak").c_str(), 0600), 0);
         },
         "the file \"<m.pak>\" cannot be written: it is not a regular file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir each;
        const fs::path target = each / "target";
        MakeFile(target / "m.pdb", Bytes{1, 2, 3});
        MakeFile(target / "m.pak", Bytes{4, 5});
        c.make(target);
        std::map<std::string, std::pair<fs::file_type, fs::perms>> before;
        for (const auto& entry : fs::directory_iterator(target))
            before[entry.path().filename().string()] = {entry.symlink_status().type(), entry.status().permissions()};
        const auto contents = Contents(target);
        const Packed packed = Pack(MakeExportTree(each, "m"), target, "m");
        std::string refusal = c.refusal;
        if (const size_t at = refusal.find("<"); at != std::string::npos)
            refusal.replace(at, 7, (target / refusal.substr(at + 1, 5)).string());
        EXPECT_EQ(packed.result.message, refusal);
        // Every name stands as it stood, with its permissions.
        for (const auto& [name, was] : before) {
            EXPECT_EQ(fs::symlink_status(target / name).type(), was.first) << name;
            EXPECT_EQ(fs::status(target / name).permissions(), was.second) << name;
        }
        EXPECT_EQ(std::distance(fs::directory_iterator(target), {}), static_cast<long>(before.size()));
        if (!c.refusal.empty()) {
            EXPECT_EQ(Contents(target), contents);
            continue;
        }
        EXPECT_EQ(ReadCheckedDatabase(target / "m.pdb", "m").resources.size(), 7u);
        EXPECT_EQ(PakEntries(ReadFileBytes(target / "m.pak")).size(), 9u);
    }
}

TEST_F(Packer, AnEarlierPairIsReplacedLeavingNothingElse) {
    MakeFile(dir / "target" / "m.pdb", Bytes{1, 2, 3});
    MakeFile(dir / "target" / "m.pak", Bytes{4, 5});
    ASSERT_TRUE(Pack(MakeExportTree(dir, "m"), dir / "target", "m").result.ok);
    const auto contents = Contents(dir / "target");
    ASSERT_EQ(contents.size(), 2u);
    EXPECT_EQ(ReadCheckedDatabase(dir / "target" / "m.pdb", "m").resources.size(), 7u);
    EXPECT_EQ(PakEntries(contents.at("m.pak")).size(), 9u);
}

TEST_F(Packer, RefusedDatabaseLeavesThePackageAlone) {
    const fs::path tree = MakeExportTree(dir, "m");
    MakeFile(tree / "Scenarios" / "m" / "Mission001" / "sound.snd", 64001);
    const Bytes oldPak = {7};
    MakeFile(dir / "m.pak", oldPak);
    const Packed packed = Pack(tree, dir.Path(), "m");
    EXPECT_FALSE(packed.result.ok);
    EXPECT_NE(packed.result.message.find("cannot be split"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "m.pdb"));
    EXPECT_EQ(ReadFileBytes(dir / "m.pak"), oldPak);
    EXPECT_FALSE(fs::exists(tree));
}

TEST_F(Packer, MissingTreeAndThrowingClock) {
    const Packed missing = Pack(dir / "none", dir.Path(), "m");
    EXPECT_FALSE(missing.result.ok);
    EXPECT_EQ(missing.console, "Cannot find directory " + (dir / "none").string() + "\n\n");

    const fs::path tree = MakeExportTree(dir, "m");
    thorn::PackEnvironment env;
    std::ostringstream console;
    env.console = &console;
    env.now = []() -> std::time_t { throw std::runtime_error("no clock"); };
    EXPECT_THROW(PackExportDirectory(tree, dir.Path(), "m", env), std::runtime_error);
    EXPECT_FALSE(fs::exists(tree));
    EXPECT_FALSE(fs::exists(dir / "m.pdb"));
}

}  // namespace
