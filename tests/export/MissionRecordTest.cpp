#include <gtest/gtest.h>

#include "ExportProject.h"
#include "GameFileReaders.h"
#include "export/MissionRecord.h"

namespace thorn::test {
namespace {

using Bytes = std::vector<uint8_t>;

// ------------------------------------------------------ the file's layout

// Two players, one resource, one unit type, no provinces, no events: the
// fields one after the other.
TEST(MissionFile, SmallestMissionFieldByField) {
    PdaMission mission;
    CMapProjectB& r = mission.Record;
    r.MissionId = 0x41424344;  // "ABCD" packed first character first
    r.ResourceCodes.SetSize(1);
    r.ResourceCodes[0] = Orv::CString("gold");
    mission.UnitTypeCount = 1;
    r.GamePlayers.SetSize(2);
    for (uint8_t k = 0; k < 2; ++k) {
        CPlayerDataB& p = r.GamePlayers[k];
        p.PlayerNumber = k;
        p.CapitalIndex = static_cast<uint8_t>(10 + k);
        p.Skills = {1, 2, 3};
        p.PlayerType = k == 0 ? 0 : 130;
        p.TypeExtra = 9;
        p.CampaignArmy.SetSize(1);
        p.CampaignArmy[0] = 0x01020304;
        p.UnitNames.SetSize(1);
        if (k == 0) p.UnitNames[0] = Orv::CString("Elf");
        p.Treasury.SetSize(1);
        p.Treasury[0] = 0x0506;
    }
    r.ExperienceLimit = 25;
    r.VictoryConds.Data.DefeatAlly = 1;

    const Bytes expected = {
        'D', 'C', 'B', 'A',                    // id
        1, 'g', 'o', 'l', 'd', 0,              // R, code
        1, 2,                                  // U, P
        0, 10, 1, 2, 3, 0, 9, 4, 3, 2, 1, 'E', 'l', 'f', 0, 6, 5,
        1, 11, 1, 2, 3, 130, 9, 4, 3, 2, 1, 0, 6, 5,  // an empty unit name is one NUL
        25, 0, 0, 0,                           // experience limit
        0, 1,                                  // victory type 0 and the defeat-ally flag
        0,                                     // lose type 0: nothing follows
        0,                                     // provinces
        0,                                     // events
    };
    EXPECT_EQ(MissionFileBytes(mission), expected);
}

TEST(MissionFile, ProvinceAndEventBlocks) {
    PdaMission mission;
    CMapProjectB& r = mission.Record;
    r.ResourceCodes.SetSize(1);
    mission.UnitTypeCount = 1;
    r.GameProvinces.SetSize(2);
    CProvinceB& plain = r.GameProvinces[0];  // no castle, no army, one neighbour
    plain.Resources.SetSize(1);
    plain.Resources[0] = 4;
    plain.PieceBounds = {1, 2, 3, 4};
    plain.CastleX = 5;
    plain.CastleY = 6;
    plain.ArmyX = 7;
    plain.ArmyY = 8;
    plain.NeighbourCount = 1;
    plain.Neighbours.SetSize(1);
    plain.Neighbours[0] = 1;
    CProvinceB& castle = r.GameProvinces[1];
    castle.Resources.SetSize(1);
    castle.Owner = 0;
    castle.HasCastleData = 1;
    castle.Castle = {0x19, 0x02, 80};
    castle.HasArmy = 1;
    castle.GuardianArmy.SetSize(1);
    castle.GuardianArmy[0] = 2;
    r.GameEvents.SetSize(2);
    r.GameEvents[0].Turn = 3;
    r.GameEvents[0].EffectType = CEventB::ResourcesDecrease;
    r.GameEvents[0].Resources.Decrease.SetSize(1);
    r.GameEvents[0].Resources.Decrease[0] = 9;
    r.GameEvents[1].Turn = 4;
    r.GameEvents[1].EffectType = CEventB::Custom;

    const Bytes expected = {0, 0, 0, 0, 1, 0, 1, 0, 25, 0, 0, 0, 0, 0, 0,
                            2,
                            4, 255, 0, 1, 0, 2, 0, 3, 0, 4, 0, 5, 0, 6, 0, 7, 0, 8, 0, 0, 1, 1,
                            0, 0, 1, 0x19, 2, 80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 0, 0, 0, 0,
                            2,
                            3, 0, 1, 9,  // no players: no flags; effect 1, decrease amounts
                            4, 0, 2};    // a custom event ends with its type
    EXPECT_EQ(MissionFileBytes(mission), expected);
}

// ------------------------------------------- the record built from a project

// Ten province pieces in a row (10 x 10 each); below them ocean and a
// province piece no province is bound to.
class MissionRecord : public ExportProject {
protected:
    MissionRecord() {
        SetGameData(3, 2);
        project.MissionId = 0x41424344;
        SetPieces(
            100, 20,
            [](int32_t x, int32_t y) {
                if (y < 10) return x / 10;
                return x < 55 ? 10 : 11;
            },
            {3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 1, 3});
        // Provinces 4 and 7 lie on pieces 6 and 4, on either side of
        // province 5's piece.
        for (uint16_t piece : {0, 1, 2, 3, 6, 5, 7, 4, 8, 9}) BindProvince(piece);
        MakePlayable();
    }

    MissionFile Built() {
        PdaMission mission = BuildPdaMission(project);
        return ReadMissionFile(MissionFileBytes(mission));
    }
    CProvince& Province(uint8_t i) { return *project.Provinces.GetAt(i); }
};

TEST_F(MissionRecord, ActivePlayersAreRenumberedInSlotOrder) {
    Player(1).Active = 0;
    for (uint32_t slot : {2u, 5u}) {
        Player(slot).Active = 1;
        Player(slot).Capital = &Province(static_cast<uint8_t>(slot));
    }
    Province(5).Owner = 5;
    Province(1).Owner = 1;  // an inactive player's province
    project.VictoryConds.VictoryType = CVictoryCondsB::DefeatPlayer;
    project.VictoryConds.Data.PlayerToDefeat = 2;

    const MissionFile m = Built();
    ASSERT_EQ(m.players.size(), 3u);
    for (uint8_t k = 0; k < 3; ++k) EXPECT_EQ(m.players[k].number, k);
    EXPECT_EQ(m.players[0].capital, 0);
    EXPECT_EQ(m.players[1].capital, 2);
    EXPECT_EQ(m.players[2].capital, 5);
    EXPECT_EQ(m.provinces[5].owner, 2);
    EXPECT_EQ(m.provinces[1].owner, 255);
    EXPECT_EQ(m.provinces[0].owner, 0);
    EXPECT_EQ(m.victoryType, 1);
    EXPECT_EQ(m.victoryBytes, std::vector<uint8_t>{1});
    EXPECT_EQ(m.missionId, 0x41424344u);
}

TEST_F(MissionRecord, ResourceCodesAreTheNamesFirstFourCharactersInLowerCase) {
    Table().ResourceNames[0] = "Gold";
    Table().ResourceNames[2] = "Ab";
    EXPECT_EQ(Built().resourceCodes, (std::vector<std::string>{"gold", "reso", "ab"}));
}

TEST_F(MissionRecord, NeighboursAreProvincesLargestFirst) {
    const MissionFile m = Built();
    // Province 5's piece touches provinces 7 and 4, the ocean and a piece no
    // province is bound to.
    EXPECT_EQ(m.provinces[5].neighbours, (std::vector<uint8_t>{7, 4}));
    EXPECT_EQ(m.provinces[0].neighbours, (std::vector<uint8_t>{1}));
}

TEST_F(MissionRecord, PlacesAreWorldPixels) {
    Province(3).CastleX = 2;
    Province(3).CastleY = 3;
    Province(3).ArmyX = 6;
    Province(3).ArmyY = 7;
    const GameProvince p = Built().provinces[3];
    EXPECT_EQ(std::vector<uint16_t>(p.box, p.box + 4), (std::vector<uint16_t>{30, 0, 39, 9}));
    EXPECT_EQ(p.castleX, 32);
    EXPECT_EQ(p.castleY, 3);
    EXPECT_EQ(p.armyX, 36);
    EXPECT_EQ(p.armyY, 7);
}

TEST_F(MissionRecord, CastlesAndGuardianArmies) {
    Province(2).Castle = {0x19, 0x12, 60};
    Province(3).GuardianArmy[1] = 40;
    Province(4).Castle = {0x18, 0x02, 60};  // catapults without a castle
    const MissionFile m = Built();
    EXPECT_EQ(m.provinces[2].castleFlag, 1);
    EXPECT_EQ(m.provinces[2].castleFlags, 0x19);
    EXPECT_EQ(m.provinces[2].buildings, 0x12);
    EXPECT_EQ(m.provinces[2].hitPoints, 60);
    EXPECT_EQ(m.provinces[4].castleFlag, 0);
    EXPECT_EQ(m.provinces[2].hasArmy, 0);
    EXPECT_TRUE(m.provinces[2].guardians.empty());
    EXPECT_EQ(m.provinces[3].hasArmy, 1);
    EXPECT_EQ(m.provinces[3].guardians, (std::vector<uint32_t>{0, 40}));
}

TEST_F(MissionRecord, PlayerDataAndUnitNames) {
    CPlayerData& p = Player(1);
    p.Skills = {0, 4, 2};
    p.PlayerType = 130;
    p.TypeExtra = 7;
    p.UnitTypes[0] = 0x105;  // the low byte names the unit
    p.UnitTypes[1] = 39;
    p.CampaignArmy[1] = 12;
    p.Treasury[2] = 500;
    Table().UnitNames[5] = "Archer";
    Table().UnitNames[39] = "";
    const GamePlayer g = Built().players[1];
    EXPECT_EQ(std::vector<uint8_t>(g.skills, g.skills + 3), (std::vector<uint8_t>{0, 4, 2}));
    EXPECT_EQ(g.type, 130);
    EXPECT_EQ(g.typeExtra, 7);
    EXPECT_EQ(g.unitNames, (std::vector<std::string>{"Archer", ""}));
    EXPECT_EQ(g.army, (std::vector<uint32_t>{0, 12}));
    EXPECT_EQ(g.treasury, (std::vector<uint16_t>{0, 0, 500}));
}

TEST_F(MissionRecord, OnlyEnabledEventsEachForEveryPlayer) {
    Player(4).Active = 1;
    Player(4).Capital = &Province(4);
    for (int i = 0; i < 3; ++i) {
        CEvent& e = *project.Events.AddEvent();
        e.Turn = static_cast<uint16_t>(10 + i);
        e.EffectType = CEventB::ResourcesIncrease;
        e.Resources.Increase[0] = static_cast<uint8_t>(i + 1);
        e.PlayerFlags[1] = 1;  // the event's own flags are not consulted
    }
    project.Events.GetAt(1)->Enabled = 0;
    const MissionFile m = Built();
    ASSERT_EQ(m.events.size(), 2u);
    EXPECT_EQ(m.events[0].turn, 10);
    EXPECT_EQ(m.events[1].turn, 12);
    EXPECT_EQ(m.events[1].amounts, (std::vector<uint8_t>{3, 0, 0}));
    EXPECT_EQ(m.events[0].playerFlags, (std::vector<uint8_t>{1, 1, 1}));
}

TEST_F(MissionRecord, ConditionsAndCounts) {
    project.ExperienceLimit = 40;
    project.VictoryConds.VictoryType = CVictoryCondsB::AccumulateArmy;
    project.VictoryConds.Data.Army.Units[0] = 99;
    project.LoseConds.LoseType = CLoseCondsB::TimeExpires;
    project.LoseConds.MaxTurnsToWin = 300;
    const MissionFile m = Built();
    EXPECT_EQ(m.unitTypes, 2);
    EXPECT_EQ(m.experienceLimit, 40u);
    EXPECT_EQ(m.victoryUnits, (std::vector<uint32_t>{99, 0}));
    EXPECT_EQ(m.loseType, 2);
    EXPECT_EQ(m.loseValue, 300u);
    EXPECT_EQ(m.provinces.size(), 10u);
}

// Arrays a loaded project left short are read as zeros, never past their end.
TEST_F(MissionRecord, ShortArraysReadAsZeros) {
    Player(0).Treasury.SetSize(1);
    Player(0).UnitTypes.SetSize(0);
    Province(0).Resources.SetSize(0);
    Province(0).GuardianArmy.SetSize(1);
    Province(0).GuardianArmy[0] = 5;
    const MissionFile m = Built();
    EXPECT_EQ(m.players[0].treasury, (std::vector<uint16_t>{0, 0, 0}));
    EXPECT_EQ(m.players[0].unitNames, (std::vector<std::string>{"", ""}));
    EXPECT_EQ(m.provinces[0].resources, (std::vector<uint8_t>{0, 0, 0}));
    EXPECT_EQ(m.provinces[0].guardians, (std::vector<uint32_t>{5, 0}));
}

}  // namespace
}  // namespace thorn::test
