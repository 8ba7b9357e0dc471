#include <gtest/gtest.h>

#include "RecordsProject.h"
#include "model/MissionConds.h"

namespace {

using thorn::test::Bytes;

CVictoryCondsB FilledVictory() {
    CVictoryCondsB v;
    v.VictoryType = 3;
    v.Reserved = 0x77;  // not in the project file
    v.Data.DefeatAlly = 1;
    v.Data.Army.Units.SetSize(2);
    v.Data.Army.Units[0] = 100;
    v.Data.Army.Units[1] = 200;
    v.Data.Army.DefeatOpponentsVictory = 1;
    v.Data.Resources.Amounts.SetSize(3);
    v.Data.Resources.Amounts[0] = 5;
    v.Data.Resources.Amounts[1] = 6;
    v.Data.Resources.Amounts[2] = 7;
    v.Data.Resources.AppliesToComputers = 1;
    v.Data.ProvinceToCapture = 9;
    v.Data.Reserved = 0x66;  // not in the project file
    return v;
}

const Bytes kFilledVictory = {
    3, 1, 255,                   // type, defeat ally, player to defeat
    2, 100, 0, 0, 0, 200, 0, 0, 0, 1, 0,  // unit amounts with their flags
    3, 5, 6, 7, 0, 1,            // resource amounts with their flags
    9,                           // province to capture
};

// Amount lists follow the project's counts, not the stored count bytes; the
// fields the project file does not hold are not read.
TEST(MissionConds, VictoryAmountsFollowTheProjectsCounts) {
    Bytes lying = kFilledVictory;
    lying[3] = 40;
    lying[14] = 0;
    CVictoryCondsB odd;
    odd.Reserved = 1;
    Orv::CSerialLoader loader = thorn::test::LoadInto(odd, lying, 2, 3);
    EXPECT_EQ(loader.Error(), 0u);
    EXPECT_EQ(loader.Position(), lying.size());
    EXPECT_EQ(odd.Reserved, 1);
    EXPECT_EQ(thorn::test::SaveWith(odd, 2, 3), kFilledVictory);
}

TEST(MissionConds, GameFormWritesOnlyTheChosenGoal) {
    thorn::MissionCounts counts{.resources = 3, .unitTypes = 2, .players = 2};
    CVictoryCondsB v = FilledVictory();
    v.Data.PlayerToDefeat = 4;
    const std::pair<uint8_t, Bytes> cases[] = {
        {0, {0, 1}},
        {1, {1, 4}},
        {2, {2, 100, 0, 0, 0, 200, 0, 0, 0, 1, 0}},
        {3, {3, 5, 6, 7, 0, 1}},
        {4, {4, 9}},
        {5, {5}},
    };
    for (const auto& [type, expected] : cases) {
        v.VictoryType = type;
        EXPECT_EQ(thorn::test::SaveForGame(v, counts), expected) << int(type);
    }

    CLoseCondsB l;
    l.ProvinceToKeep = 7;
    EXPECT_EQ(thorn::test::SaveForGame(l, counts), (Bytes{0}));
    l.LoseType = 1;
    EXPECT_EQ(thorn::test::SaveForGame(l, counts), (Bytes{1, 7}));
    l.LoseType = 2;
    EXPECT_EQ(thorn::test::SaveForGame(l, counts), (Bytes{2, 20, 0}));
    l.LoseType = 3;
    EXPECT_EQ(thorn::test::SaveForGame(l, counts), (Bytes{3}));
}

}  // namespace
