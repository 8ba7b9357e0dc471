#include <gtest/gtest.h>

#include "MapProjectFixture.h"
#include "model/Settings.h"

namespace {

using thorn::test::MapProjectTest;

TEST(MapProject, TheRecordsReachTheProject) {
    CMapProject fresh;
    EXPECT_EQ(&thorn::Project(), &fresh);
    EXPECT_EQ(fresh.GetPieceAt(0, 0), -1);
}

TEST_F(MapProjectTest, TheProjectIsTheRecordsProject) {
    project.NumResources = 4;
    project.NumStandardUnits = 200;
    project.NumNonStandardUnits = 100;
    EXPECT_EQ(thorn::Project().ResourceCount(), 4);
    EXPECT_EQ(thorn::Project().UnitTypeCount(), 300);
    thorn::Project().MarkModified();
    EXPECT_EQ(project.Modified, 1u);
    EXPECT_EQ(thorn::Project().FirstComputerPlayerId(), std::nullopt);
    project.ComputerPlayerTypes.Append(std::make_unique<CAbilityStruct>(CAbilityStruct{"Brute", 3}));
    EXPECT_EQ(thorn::Project().FirstComputerPlayerId(), 3u);
}

// The records mark the one project there is: a second one while it lives
// is refused, so a record can never mark the wrong one.
TEST(MapProjectLink, OneProjectAtATime) {
    auto first = std::make_unique<CMapProject>();
    EXPECT_THROW(CMapProject second, EInvalidOperation);
    CPlayerData player;
    player.SetActive(1);
    EXPECT_EQ(first->Modified, 1u);
    first.reset();
    EXPECT_EQ(thorn::Project().ResourceCount(), 0);  // none is left for the records to reach
    CMapProject next;
    EXPECT_EQ(&thorn::Project(), &next);
}

TEST_F(MapProjectTest, ResetEmptiesTheProjectInItsOrder) {
    project.Players.Resize(4);
    project.Players[2].SetActive(1);
    project.Tables.Add(std::make_unique<CStringTable>());
    project.Provinces.Add(std::make_unique<CProvince>());
    project.DraggedProvince = project.Provinces.GetAt(0);
    CLayerTag dragged;
    project.DragLayerTag = &dragged;
    project.Events.AddEvent();
    project.FileName = "a.pw";
    project.Difficulty = 3;
    project.ExperienceLimit = 99;
    project.Modified = 1;
    project.MissionId = 7;
    project.NumResources = 2;
    project.WorldWidth = 300;
    editor.view->GetLayers()->Add<TBitmapLayer>();
    editor.calls.clear();

    EXPECT_EQ(project.Reset(), 1);
    const std::vector<std::string> expected = {
        "StopProvinceBlink",     "Deselect RMIMission",   "Deselect RMIEvent",    "Deselect RMIPlayer",
        "Deselect RMIProvince",  "ClearSelection",        "Clear LVProvinces",    "Clear LVPlayers",
        "Deselect RMIPlayer",    "ClearItems RMIPlayer",  "Deselect RMIProvince", "ClearItems RMIProvince",
        "Deselect RMIEvent",     "ClearItems RMIEvent",   "Clear LVEvents",       "Deselect RMIMission",
        "ClearItems RMIMission"};
    EXPECT_EQ(editor.calls, expected);
    EXPECT_EQ(project.DraggedProvince, nullptr);
    EXPECT_EQ(project.DragLayerTag, nullptr);
    EXPECT_TRUE(project.FileName.empty());
    // Layers, provinces, events, tables, players (none made, none active),
    // world sides, difficulty and experience limit; the modified flag, the
    // mission id and the game data's counts stay.
    EXPECT_EQ((std::vector<uint32_t>{static_cast<uint32_t>(editor.view->GetLayers()->GetCount()),
                                     project.Provinces.GetCount(), project.Events.GetCount(), project.Tables.GetCount(),
                                     project.Players.GetCount(), project.Players[2].Active, project.WorldWidth,
                                     project.WorldHeight, project.Difficulty, project.ExperienceLimit, project.Modified,
                                     project.MissionId, project.NumResources}),
              (std::vector<uint32_t>{0, 0, 0, 0, 4, 0, 1, 1, 1, 25, 1, 7, 2}));

    editor.calls.clear();
    EXPECT_EQ(project.Reset(), 1);
    EXPECT_EQ(editor.calls, expected);
}

TEST_F(MapProjectTest, ResetClearsTheWorldBitmapWhite) {
    editor.world.SetSize(3, 2);
    project.Reset();
    EXPECT_EQ(editor.world.GetPixel(2, 1), 0xFFFFFFFFu);
}

TEST_F(MapProjectTest, MissionIdPacksTheFirstFourCharacters) {
    auto idOf = [&](std::string_view xml) {
        editor.gameData->LoadFromBytes(std::vector<uint8_t>(xml.begin(), xml.end()), "pw.xml");
        project.MissionId = 99;
        EXPECT_EQ(project.ReadGameDataId(), 1);
        return project.MissionId;
    };
    EXPECT_EQ(idOf("<Data dwID=\"ABCD\"/>"), 0x41424344u);
    EXPECT_EQ(idOf("<Data dwID=\"AB\"/>"), 0x41420000u);
    EXPECT_EQ(idOf("<Data dwID=\"\"/>"), 0u);
    EXPECT_EQ(idOf("<Data/>"), 0u);
    EXPECT_EQ(idOf("<Data dwID=\"WXYZ123\"/>"), 0x5758595Au);
    EXPECT_EQ(idOf("<Data dwID=\"\xC3\xA9\"/>"), 0xE9000000u);  // Windows-1252 characters as unsigned bytes
    editor.gameData->Clear();
    project.MissionId = 99;
    project.ReadGameDataId();
    EXPECT_EQ(project.MissionId, 0u);
}

TEST_F(MapProjectTest, ProgressGoesToTheEditor) {
    project.ShowProgress("Saving project...", 3);
    EXPECT_TRUE(editor.progressShown);
    EXPECT_EQ(editor.progressMax, 3);
    project.SetProgress(2);
    EXPECT_EQ(editor.progressPosition, 2);
    project.HideProgress();
    EXPECT_FALSE(editor.progressShown);
    {
        project.ShowProgress("x", 1);
        ProgressScope scope(project);
    }
    EXPECT_FALSE(editor.progressShown);
}

TEST(MapProject, WithoutAnEditorTheProjectStillImports) {
    thorn::test::TempDir dir;
    CMapProject alone;
    thorn::test::WriteBmp24(dir / "w.bmp", *thorn::test::DrawPicture(170, 160, [](int32_t x, int32_t) {
        return x < 80 ? 0xFF102030u : 0xFF405060u;
    }));
    EXPECT_EQ(alone.ImportWorldImage(dir / "w.bmp", 0), 1);
    EXPECT_EQ(alone.MapPieces.GetCount(), 2);
    EXPECT_EQ(alone.Editor().WorldBitmap().Width(), 170);
}

}  // namespace
