#include <gtest/gtest.h>

#include "RecordsProject.h"
#include "model/PlayerData.h"
#include "model/Province.h"

namespace {

using thorn::test::RecordsProject;

TEST(PlayerData, InitGivesBackAnUnusedSlot) {
    RecordsProject project(3, 2);
    CProvince capital;
    CPlayerData p;
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
    EXPECT_EQ(p.Capital, nullptr);
    EXPECT_TRUE(p.UnitNames.IsEmpty() && p.CampaignArmy.IsEmpty() && p.Treasury.IsEmpty() && p.UnitTypes.IsEmpty());
    CPlayerData unused;
    EXPECT_EQ(Orv::SerializeToBytes(p), Orv::SerializeToBytes(unused));
}

TEST(PlayerData, PlayabilityMovesBetweenTheThreeKinds) {
    RecordsProject project;
    project.AddComputerType("Aggressive", 1);
    project.AddComputerType("Careful", 2);
    CPlayerData p;
    p.PlayerType = 0;
    // Human, then human and computer of the first computer type, computer,
    // and back.
    for (auto [text, type] : {std::pair{"Human & Computer", 128}, {"Computer", 1}, {"Human", 0}, {"Computer", 1}}) {
        EXPECT_EQ(p.SetPlayability(text), 1) << text;
        EXPECT_EQ(p.PlayerType, type) << text;
    }
    // A computer type other than the first keeps its number.
    p.PlayerType = 130;
    for (auto [text, type] : {std::pair{"Computer", 3}, {"Computer", 3}, {"Human & Computer", 130},
                              {"Human & Computer", 130}}) {
        EXPECT_EQ(p.SetPlayability(text), 1) << text;
        EXPECT_EQ(p.PlayerType, type) << text;
    }
    // Other texts, compared exactly, are refused.
    for (const char* text : {"human", "Computer ", ""}) EXPECT_EQ(p.SetPlayability(text), 0) << text;
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

}  // namespace
