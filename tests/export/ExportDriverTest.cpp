#include <gtest/gtest.h>

#include <set>

#include "ExportProject.h"
#include "GameFileReaders.h"
#include "ImgDecoder.h"
#include "PackageTestSupport.h"
#include "PalmPdbReader.h"
#include "export/ExportDriver.h"
#include "export/ExportFiles.h"

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

    // The sample world, set up as a designer would.
    void SetUpSampleMission() {
        ASSERT_EQ(project.ImportWorldImage(fs::path(THORN_SOURCE_DIR) / "startdir/worlds/small_isles.bmp", 0), 1);
        for (uint16_t n = 0; n < project.MapPieces.GetCount() && project.Provinces.GetCount() < 99; ++n)
            if (project.MapPieces.GetAt(n)->IsProvince()) BindProvince(n);
        ASSERT_GE(project.Provinces.GetCount(), 4);
        project.MissionId = 0x5A4F524E;
        MakePlayable();
        Player(1).Active = 0;
        Player(2).Active = 1;
        Player(2).PlayerType = 3;
        Player(2).Capital = project.Provinces.GetAt(2);
        Player(3).Active = 1;
        Player(3).PlayerType = 130;
        Player(3).Capital = project.Provinces.GetAt(3);
        project.Provinces.GetAt(2)->Owner = 2;
        project.Provinces.GetAt(3)->Owner = 3;
        project.Provinces.GetAt(3)->SetHasCastle(1);
        project.Provinces.GetAt(3)->SetGuardianArmy(1, 12);
        Table().MissionName = "Small Isles";
        Table().ShortDescription = "Three lords\r\nmany islands";
        Table().ResourceNames[0] = "Gold";
        for (int i = 0; i < 3; ++i) project.Events.AddEvent();
        project.Events.GetAt(1)->Enabled = 0;
        project.VictoryConds.VictoryType = CVictoryCondsB::CaptureProvince;
        project.VictoryConds.Data.ProvinceToCapture = 2;
        project.LoseConds.LoseType = CLoseCondsB::TimeExpires;
        project.LoseConds.MaxTurnsToWin = 30;
        ASSERT_EQ(project.ValidateMission(), "");
        editor.progressCaptions.clear();
    }

    // The province pieces of a cell as a scan by columns first meets them,
    // with the province each stands for.
    std::vector<std::pair<uint8_t, uint8_t>> ExpectedCell(int cx, int cy) const {
        std::vector<std::pair<uint8_t, uint8_t>> cell;
        std::set<int32_t> seen;
        for (int x = 128 * cx; x < std::min(128 * (cx + 1), int(project.WorldWidth)); ++x)
            for (int y = 128 * cy; y < std::min(128 * (cy + 1), int(project.WorldHeight)); ++y) {
                const int32_t piece = project.GetPieceAt(x, y);
                if (piece < 0 || !project.MapPieces.GetAt(static_cast<uint16_t>(piece))->IsProvince()) continue;
                if (!seen.insert(piece).second) continue;
                const uint8_t province =
                    project.Provinces.IndexOf(project.FindProvinceByPieceIndex(static_cast<uint16_t>(piece)));
                cell.emplace_back(static_cast<uint8_t>(cell.size()), province);
            }
        return cell;
    }

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
    const PalmDatabase db = ReadWithPalmPdb(dir / "Isles.map.pdb");
    EXPECT_EQ(db.name, "Isles.map");
    EXPECT_EQ(db.type, "RSRC");
    EXPECT_EQ(db.creator, "ZORN");
    EXPECT_TRUE(db.resourceDatabase);
    EXPECT_EQ(db.created, kFixedTime);
    for (size_t i = 0; i < db.resources.size(); ++i) {
        EXPECT_EQ(db.resources[i].id, 0x1000 + i);
        EXPECT_EQ(db.resources[i].type, "DATA");
        EXPECT_LE(db.resources[i].data.size(), 64000u);
    }
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

    const MissionFile mission = ReadMissionFile(files.at(m + "mission.dat"));
    EXPECT_EQ(mission.missionId, 0x5A4F524Eu);
    EXPECT_EQ(mission.resourceCodes, (std::vector<std::string>{"gold", "reso", "reso"}));
    ASSERT_EQ(mission.players.size(), 3u);
    EXPECT_EQ(mission.players[2].type, 130);
    EXPECT_EQ(mission.players[2].capital, 3);
    EXPECT_EQ(mission.provinces.size(), project.Provinces.GetCount());
    EXPECT_EQ(mission.provinces[3].owner, 2);
    EXPECT_EQ(mission.provinces[3].castleFlag, 1);
    EXPECT_EQ(mission.provinces[3].guardians, (std::vector<uint32_t>{0, 12}));
    EXPECT_EQ(mission.victoryBytes, std::vector<uint8_t>{2});
    EXPECT_EQ(mission.loseValue, 30u);
    EXPECT_EQ(mission.events.size(), 2u);
    for (const GameProvince& province : mission.provinces)
        for (uint8_t n : province.neighbours) EXPECT_LT(n, mission.provinces.size());
    const std::string shortText(files.at(m + "shortdescr.txt").begin(), files.at(m + "shortdescr.txt").end());
    EXPECT_EQ(shortText, "Three lords{br}many islands");

    // Cells and cell maps against the piece-index map.
    const CellMapFile map = ReadCellMapFile(files.at(m + "map.dat"));
    EXPECT_EQ(map.width, 320);
    EXPECT_EQ(map.height, 240);
    ASSERT_EQ(map.columns.size(), 3u);
    for (int cx = 0; cx < 3; ++cx) {
        ASSERT_EQ(map.columns[cx].size(), 2u);
        const std::vector<std::pair<uint8_t, uint8_t>> expected[2] = {ExpectedCell(cx, 0), ExpectedCell(cx, 1)};
        for (int cy = 0; cy < 2; ++cy) EXPECT_EQ(map.columns[cx][cy], expected[cy]) << cx << "," << cy;
        const ImgFile world = DecodeImg(files.at(m + "block" + std::to_string(cx) + ".img"));
        const ImgFile domain = DecodeImg(files.at(m + "domblock" + std::to_string(cx) + ".img"));
        ASSERT_EQ(world.width, cx < 2 ? 128 : 64);
        ASSERT_EQ(domain.width, world.width / 2);
        ASSERT_EQ(domain.height, 120);
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < world.width; ++x) {
                const uint8_t byte = world.frames[0].pixels[static_cast<size_t>(y * world.width + x)];
                const int32_t piece = project.GetPieceAt(128 * cx + x, y);
                const CProvinceMap* p = piece >= 0 ? project.MapPieces.GetAt(static_cast<uint16_t>(piece)) : nullptr;
                if (!p) {
                    ASSERT_EQ(byte, 0);
                } else if (p->IsOcean()) {
                    ASSERT_EQ(byte, 0xFF);
                } else if (!p->IsProvince()) {
                    ASSERT_EQ(byte, 0x1F);
                } else {
                    // The local index names the pixel's own piece.
                    const auto& cell = expected[y / 128];
                    ASSERT_LT(byte & 31, int(cell.size()));
                    ASSERT_LE(byte >> 5, 4);
                    ASSERT_EQ(cell[byte & 31].second, project.Provinces.IndexOf(project.FindProvinceByMapPiece(p)));
                }
            }
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
    EXPECT_EQ(result.message, "no temporary folder could be made in \"" + temporaryRoot.string() + "\"");
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
