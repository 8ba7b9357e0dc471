#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "RecordsProject.h"
#include "model/StringTable.h"
#include "model/StringTableList.h"

namespace {

using thorn::test::Bytes;
using thorn::test::RecordsProject;

TEST(StringTable, NamesAreLookedUpExactly) {
    RecordsProject project;
    CStringTable t;
    CProvince* a = project.AddProvince();
    project.AddProvince();
    EXPECT_EQ(t.SetProvinceName(a, ""), 0);  // empty names are taken while any is empty
    EXPECT_EQ(t.SetProvinceName(a, "North"), 1);
    EXPECT_EQ(t.FindProvinceName("North"), 0);
    EXPECT_EQ(t.FindProvinceName(""), 1);
    EXPECT_EQ(t.FindProvinceName("north"), 0xFF);
    EXPECT_EQ(t.GetProvinceName(nullptr), "none");
    CProvince stranger;
    EXPECT_EQ(t.GetProvinceName(&stranger), "none");
    EXPECT_EQ(t.FindPlayerName("Player 6"), 5);
    EXPECT_EQ(t.FindPlayerName("player 6"), 0xFF);
    EXPECT_EQ(t.GetPlayerName(6), "none");
    EXPECT_EQ(t.GetPlayerName(255), "none");
    EXPECT_EQ(t.GetEventTitle(145), "");
    EXPECT_EQ(t.GetEventText(200), "");
}

// A new table numbers the names of players, unit types, castle types and
// resources, and leaves the lists beside them empty.
TEST(StringTable, NewTableNumbersItsNames) {
    const CStringTable t;
    const struct {
        const char* what;
        const std::string& name;
        const char* expected;
    } cases[] = {
        {"first player", t.PlayerNames.front(), "Player 1"},
        {"last player", t.PlayerNames.back(), "Player 6"},
        {"first unit type", t.UnitNames.front(), "Unit 0"},
        {"last unit type", t.UnitNames.back(), "Unit 39"},
        {"first castle type", t.CastleTypeNames.front(), "Castle Type 0"},
        {"last castle type", t.CastleTypeNames.back(), "Castle Type 15"},
        {"first castle picture", t.CastleImagePaths.front(), ""},
        {"first resource", t.ResourceNames.front(), "Resource 0"},
        {"last resource", t.ResourceNames.back(), "Resource 15"},
        {"first skill", t.SkillNames.front(), ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.name, c.expected);
    }
}

TEST(StringTable, FindUnitNameSearchesUnitNamesOnly) {
    CStringTable t;
    EXPECT_EQ(t.FindUnitName("Unit 7"), 7);
    EXPECT_EQ(t.FindUnitName("Castle Type 3"), 0xFF);
    t.SetUnitName(3, "Archer");
    EXPECT_EQ(t.FindUnitName("Archer"), 3);
}

TEST(StringTable, GameDataNamesArePlainAndBounded) {
    RecordsProject project;
    CStringTable t;
    t.SetUnitName(39, "Dragon");
    t.SetCastleTypeName(15, "Keep");
    t.SetCastleImagePath(0, "castles/keep.bmp");
    t.SetArmyImagePath(15, "armies/host.bmp");
    t.SetResourceName(15, "Gold");
    t.SetSkillName(15, "Tactics");
    t.SetUnitName(39, "Dragon");  // no comparison, no mark
    EXPECT_EQ(project.modified, 0u);
    // Past the arrays writes are dropped and reads are empty.
    for (uint8_t past : {40, 16, 255}) {
        t.SetUnitName(past, "x"), t.SetCastleTypeName(past, "x"), t.SetResourceName(past, "x"), t.SetSkillName(past, "x");
        t.SetCastleImagePath(past, "x"), t.SetArmyImagePath(past, "x");
    }
    EXPECT_EQ((std::vector<std::string>{t.GetUnitName(39), t.GetCastleTypeName(15), t.GetCastleImagePath(0),
                                        t.GetArmyImagePath(15), t.GetResourceName(15), t.GetSkillName(15),
                                        t.GetUnitName(40), t.GetResourceName(16), t.GetSkillName(16),
                                        t.GetCastleTypeName(200), t.GetCastleImagePath(16), t.GetArmyImagePath(16)}),
              (std::vector<std::string>{"Dragon", "Keep", "castles/keep.bmp", "armies/host.bmp", "Gold", "Tactics", "",
                                        "", "", "", "", ""}));
}

TEST(StringTable, RemoveProvinceNameMovesLaterNamesDown) {
    CStringTable t;
    t.ProvinceNames[0] = "A";
    t.ProvinceNames[1] = "B";
    t.ProvinceNames[2] = "C";
    t.RemoveProvinceName(0);
    EXPECT_EQ(t.ProvinceNames[0], "B");
    EXPECT_EQ(t.ProvinceNames[1], "C");
    EXPECT_EQ(t.ProvinceNames[2], "");

    // With all 99 names in use the last place is emptied, so the name moved
    // down from it does not stay twice.
    for (int i = 0; i < 99; ++i) t.ProvinceNames[i] = "P" + std::to_string(i);
    t.RemoveProvinceName(97);
    EXPECT_EQ(t.ProvinceNames[96], "P96");
    EXPECT_EQ(t.ProvinceNames[97], "P98");
    EXPECT_EQ(t.ProvinceNames[98], "");
    EXPECT_EQ(t.FindProvinceName("P98"), 97);
    t.RemoveProvinceName(98);
    EXPECT_EQ(t.ProvinceNames[97], "P98");
    EXPECT_EQ(t.ProvinceNames[98], "");
    // A place past the last removes nothing, with all 99 names in use too.
    for (int i = 0; i < 99; ++i) t.ProvinceNames[i] = "P" + std::to_string(i);
    t.RemoveProvinceName(99);
    t.RemoveProvinceName(200);
    EXPECT_EQ(t.ProvinceNames[0], "P0");
    EXPECT_EQ(t.ProvinceNames[98], "P98");
}

TEST(StringTable, ReplaceLineBreaks) {
    EXPECT_EQ(ReplaceLineBreaks("one\r\ntwo\r\nthree"), "one{br}two{br}three");
    EXPECT_EQ(ReplaceLineBreaks("lone\nfeed"), "lone\nfeed");
    EXPECT_EQ(ReplaceLineBreaks("lone\rreturn"), "lone\rreturn");
    EXPECT_EQ(ReplaceLineBreaks("\r\r\n\n"), "\r{br}\n");
    EXPECT_EQ(ReplaceLineBreaks("\r\n"), "{br}");
    EXPECT_EQ(ReplaceLineBreaks(""), "");
    // A text ending in a lone CR, in a view that ends before the line feed
    // of the bytes it was cut from: nothing past its end is read.
    EXPECT_EQ(ReplaceLineBreaks(std::string_view("end\r\n", 4)), "end\r");
}

TEST(StringTableList, PositionsAndMaintenance) {
    CStringTableList list;
    EXPECT_EQ(list.GetAt(0), nullptr);
    EXPECT_EQ(list.Add(std::make_unique<CStringTable>()), 0);
    EXPECT_EQ(list.Add(std::make_unique<CStringTable>()), 1);
    EXPECT_EQ(list.Add(nullptr), -1);
    EXPECT_EQ(list.GetCount(), 2);
    EXPECT_EQ(list.GetAt(2), nullptr);
    list.GetAt(0)->ProvinceNames[0] = "A";
    list.GetAt(0)->ProvinceNames[1] = "B";
    list.GetAt(1)->ProvinceNames[0] = "X";
    list.GetAt(1)->ProvinceNames[1] = "Y";
    list.RemoveProvinceName(0);
    EXPECT_EQ(list.GetAt(0)->ProvinceNames[0], "B");
    EXPECT_EQ(list.GetAt(1)->ProvinceNames[0], "Y");
    list.Clear();
    EXPECT_EQ(list.GetCount(), 0);
}

TEST(StringTableList, EventPairsAreHandedOutInEveryTable) {
    CStringTableList list;
    EXPECT_EQ(AddEventStringsToTables(list), 0xFFFF);  // no table
    list.Add(std::make_unique<CStringTable>());
    list.Add(std::make_unique<CStringTable>());
    EXPECT_EQ(AddEventStringsToTables(list), 0);
    EXPECT_EQ(AddEventStringsToTables(list), 1);
    for (uint16_t t = 0; t < 2; ++t) {
        EXPECT_EQ(list.GetAt(t)->GetEventTitle(0), "Message #1");
        EXPECT_EQ(list.GetAt(t)->GetEventText(0), "Message #1 Info");
        EXPECT_EQ(list.GetAt(t)->GetEventTitle(1), "Message #2");
    }
    list.ClearEventStrings(0);
    EXPECT_EQ(list.GetAt(1)->GetEventTitle(0), "");
    EXPECT_EQ(list.GetAt(1)->GetEventText(0), "");
    EXPECT_EQ(AddEventStringsToTables(list), 0);  // the freed pair comes back first
    list.ClearEventStrings(145);                  // past the pairs: nothing
    list.ClearEventStrings(0xFFFF);

    // Only the first table decides which pair is free.
    list.GetAt(0)->EventStrings[1].Title.clear();
    EXPECT_EQ(AddEventStringsToTables(list), 1);

    for (int i = 2; i < 140; ++i) ASSERT_EQ(AddEventStringsToTables(list), i);
    EXPECT_EQ(list.GetAt(1)->GetEventTitle(139), "Message #140");
    EXPECT_EQ(AddEventStringsToTables(list), 0xFFFF);  // pairs 140..144 are never handed out
    EXPECT_EQ(list.GetAt(0)->GetEventTitle(140), "");
}

// Tables are stored one after the other, the texts at the ends of their
// lists included.
TEST(StringTableList, TwoTablesRoundTrip) {
    CStringTableList list;
    list.Add(std::make_unique<CStringTable>());
    CStringTable& t = *list.GetAt(0);
    t.Reserved[37] = "R37";
    t.ArmyImagePaths[15] = "army15.bmp";
    t.SkillNames[15] = "Skill15";
    t.ProvinceNames[98] = "North";
    t.EventStrings[144].Text = "Text144";
    auto second = std::make_unique<CStringTable>();
    second->TableName = "Deutsch";
    list.Add(std::move(second));
    const Bytes saved = Orv::SerializeToBytes(list);

    CStringTableList back;
    back.Add(std::make_unique<CStringTable>());  // loading empties the list first
    Orv::CSerialLoader loader = thorn::test::LoadInto(back, saved);
    EXPECT_EQ(loader.Error(), 0u);
    EXPECT_EQ(loader.Position(), saved.size());
    ASSERT_EQ(back.GetCount(), 2);
    EXPECT_EQ(back.GetAt(0)->Reserved[37], "R37");
    EXPECT_EQ(back.GetAt(0)->GetEventText(144), "Text144");
    EXPECT_EQ(back.GetAt(1)->TableName, "Deutsch");
    EXPECT_EQ(Orv::SerializeToBytes(back), saved);
}

TEST(StringTableList, LoadingCountsAndShortData) {
    CStringTableList list;
    Bytes none = {0, 0};
    thorn::test::LoadInto(list, none);
    EXPECT_EQ(list.GetCount(), 0);

    // A count the data cannot hold makes no more tables than the data do.
    Bytes hostile = {0xFF, 0xFF, 'a', 0, 'b', 0};
    Orv::CSerialLoader loader = thorn::test::LoadInto(list, hostile);
    EXPECT_EQ(loader.Error(), 1u);
    ASSERT_EQ(list.GetCount(), 1);
    EXPECT_EQ(list.GetAt(0)->TableName, "a");
    EXPECT_EQ(list.GetAt(0)->MissionName, "b");
    EXPECT_EQ(list.GetAt(0)->ShortDescription, "Short description");

    // An unterminated text is not read.
    Bytes unterminated = {1, 0, 'a', 'b'};
    thorn::test::LoadInto(list, unterminated);
    ASSERT_EQ(list.GetCount(), 1);
    EXPECT_EQ(list.GetAt(0)->TableName, "Table Name");

    Bytes empty;
    thorn::test::LoadInto(list, empty);
    EXPECT_EQ(list.GetCount(), 0);
}

}  // namespace
