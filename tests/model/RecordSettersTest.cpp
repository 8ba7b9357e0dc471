// The setters of the mission records share one contract: a new value is
// stored, answered with 1 and marks the project modified; the value already
// held marks nothing; a value or index the record cannot take is refused,
// changing and marking nothing. One table over every setter.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RecordsProject.h"
#include "model/PlayerData.h"
#include "model/Province.h"
#include "model/StringTable.h"

namespace thorn::test {
namespace {

// A province, another one, a player and the string table of a project with
// three resources and two unit types.
struct Records {
    Records() {
        player.UnitTypes.SetSize(2);
        player.CampaignArmy.SetSize(2);
        player.Treasury.SetSize(3);
        project.AddComputerType("Careful", 2);
    }
    // Everything the setters can reach.
    std::vector<uint8_t> State() {
        Bytes state = Orv::SerializeToBytes(project.provinces);
        for (const Bytes& part : {Orv::SerializeToBytes(player), Orv::SerializeToBytes(project.tables)})
            state.insert(state.end(), part.begin(), part.end());
        state.push_back(player.Capital == &other);
        return state;
    }
    RecordsProject project{3, 2};
    CProvince& province = *project.AddProvince();
    CProvince& other = *project.AddProvince();
    CPlayerData& player = project.players[0];
    CStringTable& table = project.Table();
};

struct Setter {
    const char* what;
    int (*set)(Records&);           // a new value
    bool (*holds)(const Records&);  // is the new value held?
    int (*again)(Records&);         // the value held, set again
    int againAnswer;
    int (*refused)(Records&) = nullptr;  // what the record cannot take
    int refusedAnswer = 0;
    bool againMarks = false;  // the skill setter marks even an unchanged level
};

using R = Records;
const std::string kLong(CStringTable::kMaxTextLength + 1, 'a');
constexpr std::string_view kText = "Caf\xE9\r\nsecond line";  // Windows-1252 bytes, CR LF

const Setter kSetters[] = {
    // Castle flags: any non-zero value sets them.
    {"castle", [](R& r) { return r.province.SetHasCastle(1); },
     [](const R& r) { return r.province.Castle.Flags == CCastleDataB::kPresent; },
     [](R& r) { return r.province.SetHasCastle(5); }, 1},
    {"moat", [](R& r) { return r.province.SetMoat(1); },
     [](const R& r) { return r.province.Castle.Flags == CCastleDataB::kMoat; },
     [](R& r) { return r.province.SetMoat(7); }, 1},
    {"walls", [](R& r) { return r.province.SetWalls(1); },
     [](const R& r) { return r.province.Castle.Flags == CCastleDataB::kWalls; },
     [](R& r) { return r.province.SetWalls(1); }, 1},
    {"castle given up", [](R& r) { return r.province.Castle.Flags = 0x07, r.province.SetHasCastle(0); },
     [](const R& r) { return r.province.Castle.Flags == 0x06; }, [](R& r) { return r.province.SetHasCastle(0); }, 1},
    // Catapults beyond four leave the record alone but answer 1.
    {"four catapults", [](R& r) { return r.province.SetCatapults(4); },
     [](const R& r) { return r.province.Castle.Flags == 4 << 3; }, [](R& r) { return r.province.SetCatapults(4); }, 1,
     [](R& r) { return r.province.SetCatapults(5); }, 1},
    {"catapults beside other bits", [](R& r) { return r.province.Castle.Flags = 0xC7 | 2 << 3, r.province.SetCatapults(0); },
     [](const R& r) { return r.province.Castle.Flags == 0xC7; }, [](R& r) { return r.province.SetCatapults(0); }, 1},
    {"bank", [](R& r) { return r.province.SetBuilding(CCastleDataB::kBank, 1); },
     [](const R& r) { return r.province.Castle.Buildings == CCastleDataB::kBank; },
     [](R& r) { return r.province.SetBuilding(CCastleDataB::kBank, 9); }, 1,
     [](R& r) { return r.province.SetBuilding(0x08, 1); }},
    {"every building",
     [](R& r) {
         return r.province.SetBuilding(CCastleDataB::kMarket, 1) & r.province.SetBuilding(CCastleDataB::kTavern, 1) &
                r.province.SetBuilding(CCastleDataB::kMetalMine, 1) & r.province.SetBuilding(CCastleDataB::kStoneMine, 1);
     },
     [](const R& r) { return r.province.Castle.Buildings == 0x35; },
     [](R& r) { return r.province.SetBuilding(CCastleDataB::kStoneMine, 1); }, 1,
     [](R& r) { return r.province.SetBuilding(CCastleDataB::kBank | CCastleDataB::kMarket, 0); }},
    {"hit points", [](R& r) { return r.province.SetCastleHP(25); },
     [](const R& r) { return r.province.Castle.HitPoints == 25; }, [](R& r) { return r.province.SetCastleHP(25); },
     1},
    // An owner is a player (0..5) or none (255).
    {"owner", [](R& r) { return r.province.SetOwner(5); }, [](const R& r) { return r.province.Owner == 5; },
     [](R& r) { return r.province.SetOwner(5); }, 0, [](R& r) { return r.province.SetOwner(6); }},
    {"no owner", [](R& r) { return r.province.Owner = 0, r.province.SetOwner(255); },
     [](const R& r) { return r.province.Owner == 255; }, [](R& r) { return r.province.SetOwner(255); }, 0,
     [](R& r) { return r.province.SetOwner(254); }},
    {"guardian army", [](R& r) { return r.province.SetGuardianArmy(1, 9); },
     [](const R& r) { return r.province.GuardianArmy[1] == 9 && r.province.HasArmy == 1; },
     [](R& r) { return r.province.SetGuardianArmy(1, 9); }, 1, [](R& r) { return r.province.SetGuardianArmy(2, 1); }},
    {"guardian army in the first slot alone", [](R& r) { return r.province.SetGuardianArmy(0, 3); },
     [](const R& r) { return r.province.GuardianArmy[0] == 3 && r.province.HasArmy == 1; },
     [](R& r) { return r.province.SetGuardianArmy(0, 3); }, 1},
    {"castle x", [](R& r) { return r.province.SetCastleX(10); }, [](const R& r) { return r.province.CastleX == 10; },
     [](R& r) { return r.province.SetCastleX(10); }, 1},
    {"castle y", [](R& r) { return r.province.SetCastleY(11); }, [](const R& r) { return r.province.CastleY == 11; },
     [](R& r) { return r.province.SetCastleY(11); }, 1},
    {"army x", [](R& r) { return r.province.SetArmyX(12); }, [](const R& r) { return r.province.ArmyX == 12; },
     [](R& r) { return r.province.SetArmyX(12); }, 1},
    {"army y", [](R& r) { return r.province.SetArmyY(65535); }, [](const R& r) { return r.province.ArmyY == 65535; },
     [](R& r) { return r.province.SetArmyY(65535); }, 1},
    // A resource keeps the low byte; the byte held is compared with the
    // whole value, so 300 over 44 is a change.
    {"resource", [](R& r) { return r.province.SetResource(2, 300); },
     [](const R& r) { return r.province.Resources[2] == 44; }, [](R& r) { return r.province.SetResource(2, 44); },
     1, [](R& r) { return r.province.SetResource(3, 1); }},
    {"resource over its low byte", [](R& r) { return r.province.Resources[2] = 44, r.province.SetResource(2, 300); },
     [](const R& r) { return r.province.Resources[2] == 44; }, [](R& r) { return r.province.SetResource(2, 44); },
     1},
    // Skills: the three levels never sum past six; an unchanged level marks.
    {"skill", [](R& r) { return r.player.SetSkill(0, 0); }, [](const R& r) { return r.player.Skills[0] == 0; },
     [](R& r) { return r.player.SetSkill(0, 0); }, 1, [](R& r) { return r.player.SetSkill(0, 3); }, 0, true},
    {"skills summing to six", [](R& r) { return r.player.Skills = {0, 0, 0}, r.player.SetSkill(1, 6); },
     [](const R& r) { return r.player.Skills == std::array<uint8_t, 3>{0, 6, 0}; },
     [](R& r) { return r.player.SetSkill(1, 6); }, 1, [](R& r) { return r.player.SetSkill(2, 1); }, 0, true},
    {"third skill", [](R& r) { return r.player.SetSkill(2, 1); }, [](const R& r) { return r.player.Skills[2] == 1; },
     [](R& r) { return r.player.SetSkill(2, 1); }, 1, [](R& r) { return r.player.SetSkill(3, 0); }, 0, true},
    {"capital", [](R& r) { return r.player.SetCapital(&r.other); },
     [](const R& r) { return r.player.Capital == &r.other; }, [](R& r) { return r.player.SetCapital(&r.other); }, 0},
    {"player type", [](R& r) { return r.player.SetPlayerType(5); }, [](const R& r) { return r.player.PlayerType == 5; },
     [](R& r) { return r.player.SetPlayerType(5); }, 0},
    // The unit slot is compared by its low byte.
    {"unit type", [](R& r) { return r.player.SetUnitType(1, 6); },
     [](const R& r) { return (r.player.UnitTypes[1] & 0xFF) == 6; },
     [](R& r) { return r.player.UnitTypes[1] = 0x106, r.player.SetUnitType(1, 6); }, 0,
     [](R& r) { return r.player.SetUnitType(2, 1); }},
    {"campaign army", [](R& r) { return r.player.SetArmy(1, 70000); },
     [](const R& r) { return r.player.CampaignArmy[1] == 70000; }, [](R& r) { return r.player.SetArmy(1, 70000); }, 0,
     [](R& r) { return r.player.SetArmy(2, 1); }},
    {"treasury", [](R& r) { return r.player.SetTreasury(2, 65535); },
     [](const R& r) { return r.player.Treasury[2] == 65535; }, [](R& r) { return r.player.SetTreasury(2, 65535); }, 0,
     [](R& r) { return r.player.SetTreasury(3, 1); }},
    {"active", [](R& r) { return r.player.SetActive(1), 1; }, [](const R& r) { return r.player.Active == 1; },
     [](R& r) { return r.player.SetActive(1), 0; }, 0},
    {"playability", [](R& r) { return r.player.SetPlayability("Computer"); },
     [](const R& r) { return r.player.PlayerType == 1; }, [](R& r) { return r.player.SetPlayability("Computer"); }, 1,
     [](R& r) { return r.player.SetPlayability("computer"); }},
    // Texts: any Windows-1252 text the files can hold.
    {"author", [](R& r) { return r.table.SetAuthor(kText); }, [](const R& r) { return r.table.Author == kText; },
     [](R& r) { return r.table.SetAuthor(kText); }, 0, [](R& r) { return r.table.SetAuthor(kLong); }},
    {"author notes", [](R& r) { return r.table.SetAuthorNotes(""); }, [](const R& r) { return r.table.AuthorNotes.empty(); },
     [](R& r) { return r.table.SetAuthorNotes(""); }, 0},
    {"mission name", [](R& r) { return r.table.SetMissionName(kText); },
     [](const R& r) { return r.table.MissionName == kText; }, [](R& r) { return r.table.SetMissionName(kText); }, 0,
     [](R& r) { return r.table.SetMissionName(std::string_view("a\0b", 3)); }},
    {"short description", [](R& r) { return r.table.SetShortDescription(kText); },
     [](const R& r) { return r.table.ShortDescription == kText; },
     [](R& r) { return r.table.SetShortDescription(kText); }, 0},
    {"victory text", [](R& r) { return r.table.SetVictoryText(kText); },
     [](const R& r) { return r.table.VictoryText == kText; }, [](R& r) { return r.table.SetVictoryText(kText); }, 0},
    {"defeat text", [](R& r) { return r.table.SetDefeatText(kLong.substr(1)); },
     [](const R& r) { return r.table.DefeatText.size() == CStringTable::kMaxTextLength; },
     [](R& r) { return r.table.SetDefeatText(kLong.substr(1)); }, 0},
    {"event title", [](R& r) { return r.table.SetEventTitle(144, "Storm"); },
     [](const R& r) { return r.table.GetEventTitle(144) == "Storm"; },
     [](R& r) { return r.table.SetEventTitle(144, "Storm"); }, 0, [](R& r) { return r.table.SetEventTitle(145, "x"); }},
    {"event text", [](R& r) { return r.table.SetEventText(144, "Rain"); },
     [](const R& r) { return r.table.GetEventText(144) == "Rain"; }, [](R& r) { return r.table.SetEventText(144, "Rain"); },
     0, [](R& r) { return r.table.SetEventText(145, "x"); }},
    {"event text too long", [](R& r) { return r.table.SetEventText(0, "Sun"); },
     [](const R& r) { return r.table.GetEventText(0) == "Sun"; }, [](R& r) { return r.table.SetEventText(0, "Sun"); }, 0,
     [](R& r) { return r.table.SetEventText(0, kLong); }},
    // Names of players and provinces are unique.
    {"player name", [](R& r) { return r.table.SetPlayerName(0, "Ada"); },
     [](const R& r) { return r.table.GetPlayerName(0) == "Ada"; }, [](R& r) { return r.table.SetPlayerName(0, "Ada"); },
     0, [](R& r) { return r.table.SetPlayerName(1, "Ada"); }},
    {"last player name", [](R& r) { return r.table.SetPlayerName(5, "Zed"); },
     [](const R& r) { return r.table.GetPlayerName(5) == "Zed"; }, [](R& r) { return r.table.SetPlayerName(5, "Zed"); },
     0, [](R& r) { return r.table.SetPlayerName(6, "Eve"); }},
    {"player name too long", [](R& r) { return r.table.SetPlayerName(2, "Bo"); },
     [](const R& r) { return r.table.GetPlayerName(2) == "Bo"; }, [](R& r) { return r.table.SetPlayerName(2, "Bo"); }, 0,
     [](R& r) { return r.table.SetPlayerName(2, kLong); }},
    {"province name with a NUL", [](R& r) { return r.table.SetProvinceName(&r.province, "West"); },
     [](const R& r) { return r.table.GetProvinceName(&r.province) == "West"; },
     [](R& r) { return r.table.SetProvinceName(&r.province, "West"); }, 0,
     [](R& r) { return r.table.SetProvinceName(&r.other, std::string_view("a\0b", 3)); }},
    {"province name of no province", [](R& r) { return r.table.SetProvinceName(&r.other, "East"); },
     [](const R& r) { return r.table.GetProvinceName(&r.other) == "East"; },
     [](R& r) { return r.table.SetProvinceName(&r.other, "East"); }, 0,
     [](R& r) { return r.table.SetProvinceName(nullptr, "South"); }},
    {"province name", [](R& r) { return r.table.SetProvinceName(&r.province, "North"); },
     [](const R& r) { return r.table.GetProvinceName(&r.province) == "North"; },
     [](R& r) { return r.table.SetProvinceName(&r.province, "North"); }, 0,
     [](R& r) { return r.table.SetProvinceName(&r.other, "North"); }},
    {"second province name", [](R& r) { return r.table.SetProvinceName(&r.other, "South"); },
     [](const R& r) { return r.table.ProvinceNames[1] == "South"; },
     [](R& r) { return r.table.SetProvinceName(&r.other, "South"); }, 0,
     [](R& r) {
         static CProvince stranger;
         return r.table.SetProvinceName(&stranger, "East");
     }},
};
TEST(RecordSetters, KeepTheContract) {
    for (const Setter& setter : kSetters) {
        SCOPED_TRACE(setter.what);
        Records r;
        EXPECT_EQ(setter.set(r), 1);
        EXPECT_TRUE(setter.holds(r));
        EXPECT_EQ(r.project.modified, 1u);
        r.project.modified = 0;
        EXPECT_EQ(setter.again(r), setter.againAnswer);
        EXPECT_TRUE(setter.holds(r));
        EXPECT_EQ(r.project.modified, setter.againMarks ? 1u : 0u);
        if (!setter.refused) continue;
        r.project.modified = 0;
        const std::vector<uint8_t> before = r.State();
        EXPECT_EQ(setter.refused(r), setter.refusedAnswer);
        EXPECT_EQ(r.State(), before);
        EXPECT_EQ(r.project.modified, 0u);
    }
}

}  // namespace
}  // namespace thorn::test
