#include <gtest/gtest.h>

#include "RecordsProject.h"
#include "model/MissionConds.h"

namespace {

using thorn::test::Bytes;

TEST(MissionConds, NewRecordsAskForNothing) {
    CVictoryCondsB v;
    EXPECT_EQ(v.VictoryType, 0);
    EXPECT_EQ(v.Data.DefeatAlly, 0);
    EXPECT_EQ(v.Data.PlayerToDefeat, 255);
    EXPECT_EQ(v.Data.ProvinceToCapture, 255);
    EXPECT_TRUE(v.Data.Army.Units.IsEmpty());
    EXPECT_EQ(v.Data.Army.Units.GetGrowBy(), 0);
    EXPECT_TRUE(v.Data.Resources.Amounts.IsEmpty());
    EXPECT_EQ(v.Data.Army.DefeatOpponentsVictory + v.Data.Army.AppliesToComputers, 0);
    EXPECT_EQ(v.Data.Resources.AllowDefeatAll + v.Data.Resources.AppliesToComputers, 0);

    CLoseCondsB l;
    EXPECT_EQ(l.LoseType, 0);
    EXPECT_EQ(l.ProvinceToKeep, 255);
    EXPECT_EQ(l.MaxTurnsToWin, 20);

    CAbilityStruct a;
    EXPECT_TRUE(a.Name.empty());
    EXPECT_EQ(a.Value, 0u);
}

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

TEST(MissionConds, VictoryProjectFileLayout) {
    CVictoryCondsB v = FilledVictory();
    EXPECT_EQ(thorn::test::SaveWith(v, 2, 3), kFilledVictory);

    CVictoryCondsB back;
    Orv::CSerialLoader loader = thorn::test::LoadInto(back, kFilledVictory, 2, 3);
    EXPECT_EQ(loader.Error(), 0u);
    EXPECT_EQ(loader.Position(), kFilledVictory.size());
    EXPECT_EQ(back.Reserved, 0);
    EXPECT_EQ(back.Data.Reserved, 0);
    EXPECT_EQ(thorn::test::SaveWith(back, 2, 3), kFilledVictory);

    // Amount lists follow the project's counts, not the stored count bytes.
    Bytes lying = kFilledVictory;
    lying[3] = 40;
    lying[14] = 0;
    CVictoryCondsB odd;
    thorn::test::LoadInto(odd, lying, 2, 3);
    EXPECT_EQ(odd.Data.Army.Units.GetCount(), 2);
    EXPECT_EQ(odd.Data.Resources.Amounts.GetCount(), 3);
    EXPECT_EQ(odd.Data.Resources.Amounts[2], 7);
}

TEST(MissionConds, VictoryTruncatedBytes) {
    for (size_t cut = 0; cut < kFilledVictory.size(); ++cut) {
        Bytes part(kFilledVictory.begin(), kFilledVictory.begin() + static_cast<long>(cut));
        CVictoryCondsB v;
        Orv::CSerialLoader loader = thorn::test::LoadInto(v, part, 2, 3);
        EXPECT_EQ(loader.Error(), 1u);
        EXPECT_LE(loader.Position(), part.size());
        EXPECT_EQ(v.Data.ProvinceToCapture, 255);
    }
}

TEST(MissionConds, LoseProjectFileLayout) {
    CLoseCondsB l;
    l.LoseType = 2;
    l.Reserved1 = 1;
    l.Reserved3 = 0x1234;
    EXPECT_EQ(Orv::SerializeToBytes(l), (Bytes{2, 255, 20, 0}));
    CLoseCondsB back;
    Bytes stored = {1, 4, 0x2C, 0x01};
    EXPECT_EQ(thorn::test::LoadInto(back, stored).Error(), 0u);
    EXPECT_EQ(back.LoseType, 1);
    EXPECT_EQ(back.ProvinceToKeep, 4);
    EXPECT_EQ(back.MaxTurnsToWin, 300);
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
