#include <gtest/gtest.h>

#include "RecordsProject.h"
#include "model/Event_list.h"
#include "model/PlayerData.h"
#include "model/Province.h"
#include "model/ProjectLink.h"
#include "model/StringTable.h"

namespace {

using thorn::test::RecordsProject;

TEST(ProjectLink, RecordsWorkWithoutAProject) {
    ASSERT_EQ(thorn::Project().ResourceCount(), 0);
    CPlayerData player;
    player.PlayerType = 0;
    EXPECT_EQ(player.SetSkill(0, 1), 1);
    EXPECT_EQ(player.SetPlayability("Computer"), 0);

    CProvince province;
    province.Owner = 1;
    EXPECT_EQ(province.SetOwner(255), 1);
    province.GuardianArmy.SetSize(2);
    EXPECT_EQ(province.SetGuardianArmy(1, 4), 1);
    EXPECT_EQ(province.HasArmy, 0);  // no unit types without game data

    CStringTable table;
    EXPECT_EQ(table.GetProvinceName(&province), "none");
    EXPECT_EQ(table.SetProvinceName(&province, "Lone"), 0);

    CEventList events;
    EXPECT_EQ(events.AddEvent(), nullptr);  // no string tables to hold its texts
    thorn::Project().StringTables().Add(std::make_unique<CStringTable>());
    EXPECT_EQ(thorn::Project().StringTables().GetCount(), 0);
}

}  // namespace
