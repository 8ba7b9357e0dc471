#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <set>

#include "ExportProject.h"
#include "GameFileReaders.h"
#include "ImgDecoder.h"
#include "PackageTestSupport.h"
#include "PalmPdbReader.h"
#include "export/ExportDriver.h"
#include "export/ExportFiles.h"
#include "export/ReplaceTogether.h"
#include "model/ProjectFiles.h"
#include "support/FileCalls.h"
#include "support/FileSizeLimit.h"

namespace thorn::test {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

bool IsEmptyFolder(const fs::path& folder) { return fs::is_empty(folder); }

class ExportDriver : public ExportProject {
protected:
    ExportDriver() {
        fs::create_directories(temporaryRoot);
        SetGameData(3, 2);
    }

    ExportResult Export(const std::string& name) {
        ExportOptions options;
        options.temporaryRoot = temporaryRoot;
        options.pack = captured.Get();
        return ExportMission(project, dir / name, options);
    }

    // The sample world made into a mission the designer's way: the start
    // folder's catalogue as game data, the picture imported and a new
    // mission built on it, then players, capitals, provinces, texts and
    // events set through the records' own setters.
    void SetUpSampleMission() {
        OpenStartCatalogue(editor);
        project.Reset();
        ASSERT_EQ(project.ImportWorldImage(kStartFolder / "worlds/small_isles.bmp", 0), 1);
        ASSERT_EQ(project.NewMissionFromImage(), 1);
        project.HideProgress();
        ASSERT_GE(project.Provinces.GetCount(), 4);
        CStringTable& table = Table();
        for (uint16_t i = 0; i < project.Provinces.GetCount(); ++i)
            ASSERT_EQ(table.SetProvinceName(Province(i), "P" + std::to_string(i)), 1);

        const auto play = [&](uint32_t slot, std::string_view playability, uint8_t capital) {
            Player(slot).SetActive(1);
            ASSERT_EQ(Player(slot).SetPlayability(playability), 1);
            ASSERT_EQ(Player(slot).SetCapital(Province(capital)), 1);
            Province(capital)->SetOwner(static_cast<uint8_t>(slot));
        };
        play(0, "Human", 0);
        play(2, "Computer", 2);
        play(3, "Human & Computer", 3);
        for (uint32_t slot : {1u, 4u, 5u}) Player(slot).SetActive(0);
        ASSERT_EQ(Province(3)->SetHasCastle(1), 1);
        ASSERT_EQ(Province(3)->SetGuardianArmy(1, 12), 1);

        ASSERT_EQ(table.SetMissionName("Small Isles"), 1);
        ASSERT_EQ(table.SetAuthor("A. Designer"), 1);
        ASSERT_EQ(table.SetAuthorNotes("Made from\r\nthe sample world"), 1);
        ASSERT_EQ(table.SetShortDescription("Three lords\r\nmany islands"), 1);
        ASSERT_EQ(table.SetVictoryText("The isles are yours."), 1);
        ASSERT_EQ(table.SetDefeatText("The isles are lost."), 1);
        ASSERT_EQ(table.SetPlayerName(3, "Lord of the Castle"), 1);
        for (int i = 0; i < 3; ++i) {
            CEvent* event = project.Events.AddEvent();
            ASSERT_NE(event, nullptr);
            ASSERT_EQ(table.SetEventTitle(event->TextSlot, "Tide " + std::to_string(i)), 1);
            ASSERT_EQ(table.SetEventText(event->TextSlot, "The sea\r\nrises " + std::to_string(i)), 1);
        }
        project.Events.GetAt(1)->Enabled = 0;
        project.VictoryConds.VictoryType = CVictoryCondsB::CaptureProvince;
        project.VictoryConds.Data.ProvinceToCapture = 2;
        project.LoseConds.LoseType = CLoseCondsB::TimeExpires;
        project.LoseConds.MaxTurnsToWin = 30;
        ASSERT_EQ(project.ValidateMission(), "");
        editor.progressCaptions.clear();
    }

    CProvince* Province(uint16_t i) { return project.Provinces.GetAt(static_cast<uint8_t>(i)); }

    fs::path temporaryRoot = dir / "tmp";
    CapturedEnvironment captured;
};

TEST_F(ExportDriver, ExportsTheSampleWorld) {
    SetUpSampleMission();
    const ExportResult result = Export("Isles.map.pdb");
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_TRUE(result.packed);
    EXPECT_TRUE(IsEmptyFolder(temporaryRoot));
    EXPECT_FALSE(editor.progressShown);
    EXPECT_EQ(editor.progressCaptions,
              (std::vector<std::string>{"Preparing data for compress", "Writing mission data...",
                                        "Compressing world image...", "Compress land and water...",
                                        "Writing image file...", "Compressing domains image...",
                                        "Writing image file...", "Compress land and water...",
                                        "Execute compressor..."}));
    EXPECT_EQ(CountOf(captured.console.str(), "All done"), 2u);

    // Both packages, read by Palm::PDB and by our reader of the flat form,
    // hold the same files.
    const PalmDatabase db = ReadCheckedDatabase(dir / "Isles.map.pdb", "Isles.map");
    for (const PalmResource& resource : db.resources) EXPECT_LE(resource.data.size(), 64000u);
    const PackageFiles files = ReadPdbFiles(db);
    EXPECT_EQ(files, ReadPakFiles(ReadFileBytes(dir / "Isles.map.pak")));

    const std::string m = "scenarios/isles/mission001/";
    std::set<std::string> names;
    for (const auto& [path, bytes] : files) names.insert(path);
    EXPECT_EQ(names, (std::set<std::string>{
                         m + "authnotes.txt", m + "author.txt", m + "block0.img", m + "block1.img", m + "block2.img",
                         m + "defeat.txt", m + "domblock0.img", m + "domblock1.img", m + "domblock2.img",
                         m + "dommap.dat", m + "event 0.txt", m + "event 1.txt", m + "map.dat", m + "mission.dat",
                         m + "mission.txt", m + "preview.img", m + "previewhi.img", m + "previewlo.img",
                         m + "shortdescr.txt", m + "victory.txt"}));

    // The game data come from the catalogue: its id, its five resources and
    // eleven unit types.
    const MissionFile mission = ReadMissionFile(files.at(m + "mission.dat"));
    EXPECT_EQ(mission.missionId, 0x54564C32u);  // "TVL2"
    EXPECT_EQ(mission.resourceCodes, (std::vector<std::string>{"gold", "iron", "ston", "timb", "grai"}));
    EXPECT_EQ(mission.unitTypes, 11);
    ASSERT_EQ(mission.players.size(), 3u);
    EXPECT_EQ(mission.players[0].type, 0);
    EXPECT_EQ(mission.players[1].type, 1);    // the catalogue's first computer player
    EXPECT_EQ(mission.players[2].type, 128);  // the same, with a human
    EXPECT_EQ(mission.players[2].capital, 3);
    for (uint8_t k = 0; k < 3; ++k) {
        const CPlayerData& player = Player(k == 0 ? 0 : k + 1);
        EXPECT_EQ(mission.players[k].number, k);
        ASSERT_EQ(mission.players[k].unitNames.size(), 11u);
        for (int j = 0; j < 11; ++j)
            EXPECT_EQ(mission.players[k].unitNames[j], Table().GetUnitName(static_cast<uint8_t>(player.UnitTypes[j])));
    }
    EXPECT_EQ(mission.players[0].unitNames[0], "Militia");
    EXPECT_EQ(mission.provinces.size(), project.Provinces.GetCount());
    EXPECT_EQ(mission.provinces[0].owner, 0);
    EXPECT_EQ(mission.provinces[1].owner, 255);
    EXPECT_EQ(mission.provinces[3].owner, 2);
    EXPECT_EQ(mission.provinces[3].castleFlag, 1);
    EXPECT_EQ(mission.provinces[3].guardians, (std::vector<uint32_t>{0, 12, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    // A new province yields the catalogue's minimum of every resource.
    EXPECT_EQ(mission.provinces[0].resources, (std::vector<uint8_t>{1, 0, 0, 1, 2}));
    EXPECT_EQ(mission.victoryBytes, std::vector<uint8_t>{2});
    EXPECT_EQ(mission.loseValue, 30u);
    EXPECT_EQ(mission.events.size(), 2u);
    for (const GameProvince& province : mission.provinces)
        for (uint8_t n : province.neighbours) {
            EXPECT_LT(n, mission.provinces.size());
            // Neighbours know each other.
            const auto& back = mission.provinces[n].neighbours;
            EXPECT_NE(std::find(back.begin(), back.end(), &province - mission.provinces.data()), back.end());
        }

    // The texts, cells and previews are the other tests' to check byte by
    // byte; here each file of the sample world reads back whole.
    const auto text = [&](const std::string& name) {
        const std::vector<uint8_t>& bytes = files.at(m + name);
        return std::string(bytes.begin(), bytes.end());
    };
    EXPECT_EQ(text("event 1.txt"), "Tide 2\r\nThe sea{br}rises 2");  // the second enabled event
    EXPECT_TRUE(editor.errors.empty());
    const CellMapFile map = ReadCellMapFile(files.at(m + "map.dat"));
    EXPECT_EQ((std::pair<int, int>(map.width, map.height)), (std::pair<int, int>(320, 240)));
    ASSERT_EQ(map.columns.size(), 3u);
    for (int cx = 0; cx < 3; ++cx) {
        EXPECT_EQ(map.columns[cx].size(), 2u);
        EXPECT_EQ(DecodeImg(files.at(m + "block" + std::to_string(cx) + ".img")).width, cx < 2 ? 128 : 64);
        EXPECT_EQ(DecodeImg(files.at(m + "domblock" + std::to_string(cx) + ".img")).height, 120);
    }
    EXPECT_EQ(ReadCellMapFile(files.at(m + "dommap.dat")).width, 160);

    for (const auto& [name, side] : {std::pair("preview.img", 96), {"previewhi.img", 200}, {"previewlo.img", 60}}) {
        const ImgFile preview = DecodeImg(files.at(m + name));
        EXPECT_EQ(preview.width, side);
        EXPECT_EQ(preview.height, side);
        std::set<uint8_t> values(preview.frames[0].pixels.begin(), preview.frames[0].pixels.end());
        EXPECT_TRUE(values.count(0xFA)) << name;
        EXPECT_TRUE(values.count(0xFE)) << name;
        for (uint8_t v : values) EXPECT_TRUE(v < project.Provinces.GetCount() || v >= 0xFA) << int(v);
    }
}

TEST_F(ExportDriver, RefusalsWriteNothing) {
    SetUpSampleMission();
    const Bytes earlier = {1, 2, 3};
    WriteFileBytes(dir / "Isles.pdb", earlier);

    project.Provinces.GetAt(1)->MapPieceIndex = -1;
    ExportResult result = Export("Isles.pdb");
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.packed);
    EXPECT_EQ(result.message, "the province \"P1\" is not bound to a map piece");
    EXPECT_EQ(ReadFileBytes(dir / "Isles.pdb"), earlier);
    EXPECT_FALSE(fs::exists(dir / "Isles.pak"));
    EXPECT_TRUE(IsEmptyFolder(temporaryRoot));
    EXPECT_FALSE(editor.progressShown);
    project.Provinces.GetAt(1)->MapPieceIndex = project.MapPieces.IndexOf(project.MapPieces.GetAt(0));

    Player(2).Capital = nullptr;
    EXPECT_EQ(Export("Isles.pdb").message, "Capital is not set for player #3");
    Player(2).Capital = project.Provinces.GetAt(2);

    for (const char* reserved : {"Scenario01.pdb", "scenario01.v2.pdb"}) {
        result = Export(reserved);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.message, "the name \"" + fs::path(reserved).stem().string() +
                                      "\" is reserved for the game's own mission");
    }
    EXPECT_TRUE(IsEmptyFolder(temporaryRoot));
}

TEST_F(ExportDriver, RefusesACellTheGameCannotCode) {
    SetPieces(160, 160, [](int32_t x, int32_t) { return x / 4; }, std::vector<uint32_t>(40, 3));
    BindAllProvincePieces();
    MakePlayable();
    const ExportResult result = Export("Strips.pdb");
    EXPECT_EQ(result.message, "more than 31 province pieces meet in the world cell at x 0, y 0");
    EXPECT_FALSE(fs::exists(dir / "Strips.pdb"));
    EXPECT_TRUE(IsEmptyFolder(temporaryRoot));
}

TEST_F(ExportDriver, APackageThatCannotBeWrittenIsReported) {
    SetPieces(160, 160, [](int32_t x, int32_t) { return x / 80; }, {3, 3});
    BindAllProvincePieces();
    MakePlayable();
    const ExportResult result = Export("missing/Two.pdb");
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.packed);
    EXPECT_NE(result.message.find("Two.pdb"), std::string::npos) << result.message;
    EXPECT_TRUE(IsEmptyFolder(temporaryRoot));
}

TEST_F(ExportDriver, NeedsItsTemporaryFolder) {
    SetPieces(160, 160, [](int32_t x, int32_t) { return x / 80; }, {3, 3});
    BindAllProvincePieces();
    MakePlayable();
    temporaryRoot = dir / "absent";
    const ExportResult result = Export("Two.pdb");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message,
              "no temporary folder could be made in \"" + temporaryRoot.string() + "\": " + std::strerror(ENOENT));
    EXPECT_FALSE(fs::exists(dir / "Two.pdb"));
}

TEST_F(ExportDriver, TheProjectsOwnCommand) {
    SetPieces(160, 160, [](int32_t x, int32_t) { return x / 80; }, {3, 3});
    BindAllProvincePieces();
    MakePlayable();
    EXPECT_EQ(project.ExportMission(dir / "Two.pdb"), 1);
    EXPECT_TRUE(editor.errors.empty());
    EXPECT_EQ(ReadWithPalmPdb(dir / "Two.pdb").name, "Two");
    EXPECT_TRUE(fs::exists(dir / "Two.pak"));

    Player(1).Active = 0;
    EXPECT_EQ(project.ExportMission(dir / "One.pdb"), 0);
    EXPECT_EQ(editor.errors,
              std::vector<std::string>{"You can't save mission because number of Active Players must be greater than 1"});
    EXPECT_FALSE(fs::exists(dir / "One.pdb"));
}

// A file of the private temporary tree that cannot be written is gone with
// the tree: the message names what the designer can mend, the temporary
// folder it was made in, and the system's reason.
TEST_F(ExportDriver, AFullTemporaryFolderIsNamedWithTheReason) {
    SetPieces(160, 160, [](int32_t x, int32_t) { return x / 80; }, {3, 3});
    BindAllProvincePieces();
    MakePlayable();
    ExportResult result;
    {
        const FileSizeLimit full(1);
        result = Export("Two.pdb");
    }
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, "the temporary folder \"" + temporaryRoot.string() +
                                  "\" cannot take the mission's files: " + std::strerror(EFBIG));
    EXPECT_FALSE(fs::exists(dir / "Two.pdb"));
    EXPECT_TRUE(IsEmptyFolder(temporaryRoot));
}

// A power cut, like a kill, loses no pair: each package reaches the disk
// before it takes its name, the journal (with the kept copies it names)
// before any package is placed, and the placed pair before the journal goes.
TEST_F(ExportDriver, ThePairReachesTheDiskBeforeAndAfterItIsPlaced) {
    SetPieces(160, 160, [](int32_t x, int32_t) { return x / 80; }, {3, 3});
    BindAllProvincePieces();
    MakePlayable();
    WriteFileBytes(dir / "Two.pdb", Bytes{1});
    WriteFileBytes(dir / "Two.pak", Bytes{2});
    FileCallWatch watch;
    ASSERT_TRUE(Export("Two.pdb").ok);
    const auto& calls = watch.Calls();
    const auto renameTo = [&](const fs::path& to) {
        return std::find_if(calls.begin(), calls.end(), [&](const auto& c) { return c.what == "rename" && c.to == to; });
    };
    const auto synced = [&](auto from, auto to, const fs::path& path) {
        return std::any_of(from, to, [&](const auto& c) {
            std::error_code error;
            return c.what == "fsync" && (c.path == path || fs::equivalent(c.path, path, error));
        });
    };
    const auto journal = renameTo(dir / "Two.pdb.replacing");
    const auto pdb = renameTo(dir / "Two.pdb"), pak = renameTo(dir / "Two.pak");
    ASSERT_NE(journal, calls.end());
    ASSERT_NE(pdb, calls.end());
    ASSERT_NE(pak, calls.end());
    ASSERT_LT(journal, pdb);
    ASSERT_LT(pdb, pak);
    EXPECT_TRUE(synced(calls.begin(), pdb, pdb->path));
    EXPECT_TRUE(synced(calls.begin(), pak, pak->path));
    EXPECT_TRUE(synced(journal, pdb, dir.Path())) << "the journal was not made to last before the pair was placed";
    EXPECT_TRUE(synced(pak, calls.end(), dir.Path())) << "the placed pair was not made to last";
}

// A folder the designer may write in but not list cannot be opened to be
// synced: the pair is placed all the same.
TEST_F(ExportDriver, ThePairIsPlacedInAFolderThatCannotBeListed) {
    SetPieces(160, 160, [](int32_t x, int32_t) { return x / 80; }, {3, 3});
    BindAllProvincePieces();
    MakePlayable();
    WriteFileBytes(dir / "Two.pdb", Bytes{1});
    ExportResult result;
    {
        const UnlistableFolder unlistable(dir.Path());
        result = Export("Two.pdb");
    }
    EXPECT_TRUE(result.ok) << result.message;
    EXPECT_EQ(ReadWithPalmPdb(dir / "Two.pdb").name, "Two");
    EXPECT_TRUE(fs::exists(dir / "Two.pak"));
}

// The regular files of a folder (not below it) with their bytes; anything
// else is listed with no bytes.
std::map<std::string, Bytes> FilesIn(const fs::path& folder) {
    std::map<std::string, Bytes> files;
    for (const auto& entry : fs::directory_iterator(folder))
        files[entry.path().filename().string()] =
            entry.is_regular_file() && !entry.is_symlink() ? ReadFileBytes(entry.path()) : Bytes{};
    return files;
}

// An export killed at any of its steps (in a child process, as a kill from
// outside would stop it) loses no pair: the folder holds the earlier pair or
// the new one under the final names, or the next export puts the earlier
// pair back before it writes. The next export then leaves the new pair
// alone, with nothing beside it and no temporary folder, even when it is
// killed itself while it puts things right.
TEST_F(ExportDriver, AnExportKilledAtAnyStepLosesNoPair) {
    SetPieces(160, 160, [](int32_t x, int32_t) { return x / 80; }, {3, 3});
    BindAllProvincePieces();
    MakePlayable();
    fs::create_directories(dir / "made");
    ASSERT_TRUE(Export("made/Two.pdb").ok);
    const std::map<std::string, Bytes> newPair = FilesIn(dir / "made");
    const std::map<std::string, Bytes> oldPair = {{"Two.pdb", {1, 2, 3}}, {"Two.pak", {4, 5}}};
    const fs::path out = dir / "out";

    // The earlier pair in place, then one export after another, each killed
    // at its step of the list; answers whether the last was killed.
    const auto killedAt = [&](const std::vector<int>& stops) {
        fs::remove_all(out);
        for (const auto& [name, bytes] : oldPair) MakeFile(out / name, bytes);
        bool killed = false;
        for (const int stop : stops) {
            const pid_t child = fork();
            if (child == 0) {
                int steps = 0;
                ExportOptions options;
                options.temporaryRoot = temporaryRoot;
                options.pack = captured.Get();
                options.pack.step = [&](std::string_view) {
                    if (++steps == stop) raise(SIGKILL);
                };
                ExportMission(project, out / "Two.pdb", options);
                _exit(0);
            }
            int status = 0;
            waitpid(child, &status, 0);
            killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
        }
        return killed;
    };
    // What the kill left, as the next export finds it: put right, one pair
    // or the other stands; and the next export leaves only the new one.
    const auto check = [&]() {
        const bool journal = fs::exists(out / "Two.pdb.replacing");
        const fs::path probe = dir / "probe";
        fs::remove_all(probe);
        fs::copy(out, probe, fs::copy_options::copy_symlinks | fs::copy_options::recursive);
        {
            ReplaceTogether pair({probe / "Two.pdb", probe / "Two.pak"});
            EXPECT_EQ(pair.Recover(), std::nullopt);
        }
        const auto found = FilesIn(probe);
        if (journal)
            EXPECT_EQ(found, oldPair);
        else
            EXPECT_TRUE(found == oldPair || found == newPair) << found.size() << " files";
        EXPECT_TRUE(Export("out/Two.pdb").ok);
        EXPECT_EQ(FilesIn(out), newPair);
        EXPECT_TRUE(IsEmptyFolder(temporaryRoot));
    };
    int kills = 0;
    std::vector<int> withJournal;
    for (int stop = 1; killedAt({stop}); ++stop) {
        SCOPED_TRACE("killed at step " + std::to_string(stop));
        ++kills;
        if (fs::exists(out / "Two.pdb.replacing")) withJournal.push_back(stop);
        check();
    }
    EXPECT_GE(kills, 10);
    EXPECT_FALSE(withJournal.empty());
    for (const int first : withJournal) {
        for (int stop = 1; killedAt({first, stop}); ++stop) {
            SCOPED_TRACE("killed at step " + std::to_string(first) + ", then while putting it right at step " +
                         std::to_string(stop));
            check();
        }
    }
}

TEST(GameFiles, OnlyPicturesMayPassTheRecordSize) {
    const TempDir dir;
    EXPECT_NO_THROW(WriteGameFile(dir / "a.dat", Bytes(64000)));
    EXPECT_THROW(WriteGameFile(dir / "b.dat", Bytes(64001)), ExportError);
    EXPECT_FALSE(fs::exists(dir / "b.dat"));
    EXPECT_NO_THROW(WriteGameFile(dir / "c.img", Bytes(64001), FileCut::ByRows));
    EXPECT_THROW(WriteGameFile(dir / "none" / "d.dat", Bytes(3)), ExportError);
}

}  // namespace
}  // namespace thorn::test
