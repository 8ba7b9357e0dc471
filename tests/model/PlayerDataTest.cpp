#include <gtest/gtest.h>

#include "RecordsProject.h"
#include "model/PlayerData.h"
#include "model/Province.h"

namespace {

using thorn::test::Bytes;
using thorn::test::RecordsProject;

TEST(PlayerData, ConstructedAndInitialisedState) {
    CPlayerData p;
    EXPECT_EQ(p.CapitalIndex, 255);
    EXPECT_EQ(p.PlayerType, 128);
    EXPECT_EQ(p.TypeExtra, 0);
    EXPECT_EQ(p.Skills, (std::array<uint8_t, 3>{2, 2, 2}));
    EXPECT_EQ(p.Active, 0u);
    EXPECT_EQ(p.Capital, nullptr);
    EXPECT_TRUE(p.UnitNames.IsEmpty() && p.CampaignArmy.IsEmpty() && p.Treasury.IsEmpty() && p.UnitTypes.IsEmpty());

    CProvince capital;
    p.Active = 1;
    p.Capital = &capital;
    p.CapitalIndex = 3;
    p.Skills = {0, 1, 5};
    p.PlayerType = 4;
    p.Treasury.SetSize(3);
    p.UnitTypes.SetSize(2);
    p.CampaignArmy.SetSize(2);
    p.UnitNames.SetSize(2);
    p.Init();
    EXPECT_EQ(p.Active, 0u);
    EXPECT_EQ(p.Capital, nullptr);
    EXPECT_EQ(p.CapitalIndex, 255);
    EXPECT_EQ(p.Skills, (std::array<uint8_t, 3>{2, 2, 2}));
    EXPECT_EQ(p.PlayerType, 128);
    EXPECT_TRUE(p.UnitNames.IsEmpty() && p.CampaignArmy.IsEmpty() && p.Treasury.IsEmpty() && p.UnitTypes.IsEmpty());
}

TEST(PlayerData, SkillSumStaysAtMostSix) {
    RecordsProject project;
    CPlayerData p;
    EXPECT_EQ(p.SetSkill(0, 3), 0);  // 3 + 2 + 2 = 7
    EXPECT_EQ(p.Skills[0], 2);
    EXPECT_EQ(project.modified, 0u);
    EXPECT_EQ(p.SetSkill(0, 0), 1);  // sum 4
    EXPECT_EQ(p.Skills[0], 0);
    EXPECT_EQ(project.modified, 1u);

    // The unchanged level is accepted and still marks the project modified.
    project.modified = 0;
    EXPECT_EQ(p.SetSkill(1, 2), 1);
    EXPECT_EQ(project.modified, 1u);

    p.Skills = {0, 0, 0};
    EXPECT_EQ(p.SetSkill(1, 6), 1);
    EXPECT_EQ(p.SetSkill(2, 1), 0);
    EXPECT_EQ(p.SetSkill(1, 255), 0);
    EXPECT_EQ(p.Skills, (std::array<uint8_t, 3>{0, 6, 0}));
    // A skill past the third is refused and marks nothing.
    project.modified = 0;
    EXPECT_EQ(p.SetSkill(3, 0), 0);
    EXPECT_EQ(project.modified, 0u);
}

TEST(PlayerData, SettersAnswerZeroForUnchangedValues) {
    RecordsProject project;
    CPlayerData p;
    p.CampaignArmy.SetSize(2);
    p.UnitTypes.SetSize(2);
    p.Treasury.SetSize(3);
    CProvince a;

    EXPECT_EQ(p.SetCapital(nullptr), 0);
    EXPECT_EQ(project.modified, 0u);
    EXPECT_EQ(p.SetCapital(&a), 1);
    EXPECT_EQ(project.modified, 1u);
    project.modified = 0;
    EXPECT_EQ(p.SetCapital(&a), 0);
    EXPECT_EQ(project.modified, 0u);

    EXPECT_EQ(p.SetPlayerType(128), 0);
    EXPECT_EQ(p.SetPlayerType(5), 1);
    EXPECT_EQ(p.PlayerType, 5);

    EXPECT_EQ(p.SetArmy(1, 70000), 1);
    EXPECT_EQ(p.SetArmy(1, 70000), 0);
    EXPECT_EQ(p.CampaignArmy[1], 70000u);

    EXPECT_EQ(p.SetTreasury(2, 65535), 1);
    EXPECT_EQ(p.SetTreasury(2, 65535), 0);
    EXPECT_EQ(p.Treasury[2], 65535);

    // The unit-type slot is compared by its low byte.
    p.UnitTypes[0] = 0x105;
    project.modified = 0;
    EXPECT_EQ(p.SetUnitType(0, 5), 0);
    EXPECT_EQ(project.modified, 0u);
    EXPECT_EQ(p.UnitTypes[0], 0x105u);
    EXPECT_EQ(p.SetUnitType(0, 6), 1);
    EXPECT_EQ(p.UnitTypes[0], 6u);

    project.modified = 0;
    p.SetActive(0);
    EXPECT_EQ(project.modified, 0u);
    p.SetActive(1);
    EXPECT_EQ(p.Active, 1u);
    EXPECT_EQ(project.modified, 1u);
}

TEST(PlayerData, IndexesPastTheArraysAreRefused) {
    RecordsProject project;
    CPlayerData p;
    p.CampaignArmy.SetSize(2);
    p.UnitTypes.SetSize(2);
    p.Treasury.SetSize(3);
    EXPECT_EQ(p.SetArmy(2, 1), 0);
    EXPECT_EQ(p.SetArmy(40, 1), 0);
    EXPECT_EQ(p.SetUnitType(2, 1), 0);
    EXPECT_EQ(p.SetTreasury(3, 1), 0);
    EXPECT_EQ(p.SetTreasury(16, 1), 0);
    EXPECT_EQ(project.modified, 0u);
    EXPECT_EQ(p.CampaignArmy.GetCount(), 2);
    EXPECT_EQ(p.Treasury.GetCount(), 3);
}

TEST(PlayerData, PlayabilityMovesBetweenTheThreeKinds) {
    RecordsProject project;
    project.AddComputerType("Aggressive", 1);
    project.AddComputerType("Careful", 2);
    CPlayerData p;
    p.PlayerType = 0;
    EXPECT_EQ(p.SetPlayability("Human & Computer"), 1);
    EXPECT_EQ(p.PlayerType, 128);
    EXPECT_EQ(p.SetPlayability("Computer"), 1);
    EXPECT_EQ(p.PlayerType, 1);
    EXPECT_EQ(p.SetPlayability("Human"), 1);
    EXPECT_EQ(p.PlayerType, 0);
    EXPECT_EQ(p.SetPlayability("Computer"), 1);
    EXPECT_EQ(p.PlayerType, 1);

    p.PlayerType = 130;
    EXPECT_EQ(p.SetPlayability("Computer"), 1);
    EXPECT_EQ(p.PlayerType, 3);

    project.modified = 0;
    EXPECT_EQ(p.SetPlayability("Computer"), 1);  // a computer stays as it is
    EXPECT_EQ(p.PlayerType, 3);
    EXPECT_EQ(project.modified, 0u);
    EXPECT_EQ(p.SetPlayability("Human & Computer"), 1);
    EXPECT_EQ(p.PlayerType, 130);
    EXPECT_EQ(p.SetPlayability("Human & Computer"), 1);
    EXPECT_EQ(p.PlayerType, 130);

    // Other texts, compared exactly, are refused.
    EXPECT_EQ(p.SetPlayability("human"), 0);
    EXPECT_EQ(p.SetPlayability("Computer "), 0);
    EXPECT_EQ(p.SetPlayability(""), 0);
    EXPECT_EQ(p.PlayerType, 130);
}

TEST(PlayerData, PlayabilityWithoutComputerTypesRefusesAHumanPlayer) {
    RecordsProject project;  // the game data define no computer-player types
    CPlayerData p;
    p.PlayerType = 0;
    EXPECT_EQ(p.SetPlayability("Computer"), 0);
    EXPECT_EQ(p.SetPlayability("Human & Computer"), 0);
    EXPECT_EQ(p.PlayerType, 0);
    EXPECT_EQ(project.modified, 0u);
    // A player who is a computer already needs no computer type to be found.
    p.PlayerType = 128;
    EXPECT_EQ(p.SetPlayability("Computer"), 1);
    EXPECT_EQ(p.PlayerType, 1);
}

// A player of a project with two unit types and three resources.
CPlayerData FilledPlayer() {
    CPlayerData p;
    p.Active = 1;
    p.TypeExtra = 0x11;
    p.ExtraByte = 0x22;
    p.CapitalIndex = 4;
    p.Skills = {1, 2, 3};
    p.PlayerType = 130;
    p.UnitTypes.SetSize(2);
    p.UnitTypes[0] = 5;
    p.UnitTypes[1] = 0x01020304;
    p.CampaignArmy.SetSize(2);
    p.CampaignArmy[0] = 7;
    p.CampaignArmy[1] = 0x0A0B0C0D;
    p.ExtraWord = 0xBEEF;
    p.Treasury.SetSize(3);
    p.Treasury[0] = 1;
    p.Treasury[1] = 0x0203;
    p.Treasury[2] = 0xFFFF;
    return p;
}

const Bytes kFilledPlayer = {
    0x01,                    // active
    0x11,                    // byte after the player type
    0x22,                    // byte after the active flag
    0x04,                    // capital index
    0x01, 0x02, 0x03,        // skills
    0x82,                    // player type 130
    0x05, 0, 0, 0, 0x07, 0, 0, 0,              // unit type 0: slot, army
    0x04, 0x03, 0x02, 0x01, 0x0D, 0x0C, 0x0B, 0x0A,  // unit type 1: slot, army
    0xEF, 0xBE,              // the word
    0x01, 0x00, 0x03, 0x02, 0xFF, 0xFF,        // treasury
};

TEST(PlayerData, ProjectFileLayout) {
    RecordsProject project(3, 2);
    CPlayerData p = FilledPlayer();
    EXPECT_EQ(Orv::SerializeToBytes(p), kFilledPlayer);

    CPlayerData back;
    Orv::CSerialLoader loader = thorn::test::LoadInto(back, kFilledPlayer);
    EXPECT_EQ(loader.Error(), 0u);
    EXPECT_EQ(loader.Position(), kFilledPlayer.size());
    EXPECT_EQ(Orv::SerializeToBytes(back), kFilledPlayer);
    EXPECT_EQ(back.PlayerType, 130);
    EXPECT_EQ(back.UnitTypes[1], 0x01020304u);
    EXPECT_EQ(back.Treasury[2], 0xFFFF);
}

TEST(PlayerData, SavingSizesTheArraysToTheProjectCounts) {
    RecordsProject project(1, 1);
    CPlayerData p;  // empty arrays
    Bytes expected = {0, 0, 0, 255, 2, 2, 2, 128, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(Orv::SerializeToBytes(p), expected);
    EXPECT_EQ(p.UnitTypes.GetCount(), 1);
    EXPECT_EQ(p.Treasury.GetCount(), 1);
}

TEST(PlayerData, TruncatedBytesKeepTheRest) {
    RecordsProject project(3, 2);
    for (size_t cut = 0; cut < kFilledPlayer.size(); ++cut) {
        Bytes part(kFilledPlayer.begin(), kFilledPlayer.begin() + static_cast<long>(cut));
        CPlayerData p;
        Orv::CSerialLoader loader = thorn::test::LoadInto(p, part);
        EXPECT_EQ(loader.Error(), 1u) << cut;
        EXPECT_LE(loader.Position(), part.size());
        EXPECT_EQ(p.UnitTypes.GetCount(), 2);
        EXPECT_EQ(p.Treasury.GetCount(), 3);
    }
    // Cut after the skills: the player type keeps its constructed value.
    Bytes part(kFilledPlayer.begin(), kFilledPlayer.begin() + 7);
    CPlayerData p;
    thorn::test::LoadInto(p, part);
    EXPECT_EQ(p.Skills, (std::array<uint8_t, 3>{1, 2, 3}));
    EXPECT_EQ(p.PlayerType, 128);
    EXPECT_EQ(p.Treasury[0], 0);
}

TEST(PlayerData, GameFormAlternatesArmyCountsAndUnitNames) {
    CPlayerDataB p;
    p.PlayerNumber = 1;
    p.PlayerType = 128;
    p.CampaignArmy.SetSize(1);
    p.CampaignArmy[0] = 3;
    p.UnitNames.SetSize(1);
    p.UnitNames[0].Assign("Knight");
    p.Treasury.SetSize(1);
    p.Treasury[0] = 500;
    Bytes expected = {1, 255, 2, 2, 2, 128, 0, 3, 0, 0, 0, 'K', 'n', 'i', 'g', 'h', 't', 0, 0xF4, 0x01};
    EXPECT_EQ(thorn::test::SaveForGame(p, {.resources = 1, .unitTypes = 1, .players = 2}), expected);

    // An empty unit name is a single NUL.
    p.UnitNames[0].Clear();
    Bytes shorter = {1, 255, 2, 2, 2, 128, 0, 3, 0, 0, 0, 0, 0xF4, 0x01};
    EXPECT_EQ(thorn::test::SaveForGame(p, {.resources = 1, .unitTypes = 1, .players = 2}), shorter);
}

}  // namespace
