#include <gtest/gtest.h>

#include <string>

#include "RecordsProject.h"
#include "model/StringTable.h"
#include "model/StringTableList.h"

namespace {

using thorn::test::Bytes;
using thorn::test::RecordsProject;

TEST(StringTable, DefaultTexts) {
    CStringTable t;
    EXPECT_EQ(t.TableName, "Table Name");
    EXPECT_EQ(t.Author, "Unknown");
    EXPECT_EQ(t.AuthorNotes, "No notes");
    EXPECT_EQ(t.MissionName, "My Mission");
    EXPECT_EQ(t.ShortDescription, "Short description");
    EXPECT_EQ(t.FullDescription, "Full description");
    EXPECT_EQ(t.VictoryText, "You win!");
    EXPECT_EQ(t.DefeatText, "You lose!");
    EXPECT_EQ(t.PlayerNames[0], "Player 1");
    EXPECT_EQ(t.PlayerNames[5], "Player 6");
    EXPECT_EQ(t.GetUnitName(0), "Unit 0");
    EXPECT_EQ(t.GetUnitName(39), "Unit 39");
    EXPECT_EQ(t.GetCastleTypeName(0), "Castle Type 0");
    EXPECT_EQ(t.GetCastleTypeName(15), "Castle Type 15");
    EXPECT_EQ(t.GetResourceName(0), "Resource 0");
    EXPECT_EQ(t.GetResourceName(15), "Resource 15");
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(t.GetSkillName(static_cast<uint8_t>(i)), "");
        EXPECT_EQ(t.GetCastleImagePath(static_cast<uint8_t>(i)), "");
        EXPECT_EQ(t.GetArmyImagePath(static_cast<uint8_t>(i)), "");
    }
    for (const std::string& s : t.Reserved) EXPECT_EQ(s, "");
    for (const std::string& s : t.ProvinceNames) EXPECT_EQ(s, "");
    for (const auto& pair : t.EventStrings) EXPECT_TRUE(pair.Title.empty() && pair.Text.empty());
}

TEST(StringTable, MissionTextsSetIfChanged) {
    RecordsProject project;
    CStringTable t;
    using Setter = int (CStringTable::*)(std::string_view);
    const std::pair<Setter, std::string CStringTable::*> texts[] = {
        {&CStringTable::SetAuthor, &CStringTable::Author},
        {&CStringTable::SetAuthorNotes, &CStringTable::AuthorNotes},
        {&CStringTable::SetMissionName, &CStringTable::MissionName},
        {&CStringTable::SetShortDescription, &CStringTable::ShortDescription},
        {&CStringTable::SetVictoryText, &CStringTable::VictoryText},
        {&CStringTable::SetDefeatText, &CStringTable::DefeatText},
    };
    for (const auto& [set, field] : texts) {
        project.modified = 0;
        std::string current = t.*field;
        EXPECT_EQ((t.*set)(current), 0);
        EXPECT_EQ(project.modified, 0u);
        EXPECT_EQ((t.*set)("Caf\xE9\r\nsecond line"), 1);  // Windows-1252 bytes, CR LF
        EXPECT_EQ(t.*field, "Caf\xE9\r\nsecond line");
        EXPECT_EQ(project.modified, 1u);
        EXPECT_EQ((t.*set)(""), 1);
        EXPECT_EQ((t.*set)(""), 0);
    }
}

TEST(StringTable, TextsTheFilesCannotHoldAreRefused) {
    RecordsProject project;
    CStringTable t;
    EXPECT_EQ(t.SetAuthor(std::string(65535, 'a')), 0);
    EXPECT_EQ(t.Author, "Unknown");
    EXPECT_EQ(t.SetAuthor(std::string(65534, 'a')), 1);
    EXPECT_EQ(t.SetMissionName(std::string_view("a\0b", 3)), 0);
    EXPECT_EQ(t.SetPlayerName(0, std::string(70000, 'p')), 0);
    EXPECT_EQ(t.SetEventTitle(0, std::string(65535, 'e')), 0);
}

TEST(StringTable, EventPairs) {
    RecordsProject project;
    CStringTable t;
    EXPECT_EQ(t.SetEventTitle(0, ""), 0);
    EXPECT_EQ(t.SetEventTitle(144, "Storm"), 1);
    EXPECT_EQ(t.SetEventText(144, "Rain"), 1);
    EXPECT_EQ(t.GetEventTitle(144), "Storm");
    EXPECT_EQ(t.GetEventText(144), "Rain");
    project.modified = 0;
    EXPECT_EQ(t.SetEventTitle(145, "x"), 0);
    EXPECT_EQ(t.SetEventText(255, "x"), 0);
    EXPECT_EQ(project.modified, 0u);
    EXPECT_EQ(t.GetEventTitle(145), "");
    EXPECT_EQ(t.GetEventText(200), "");
}

TEST(StringTable, PlayerNamesAreUnique) {
    RecordsProject project;
    CStringTable t;
    EXPECT_EQ(t.SetPlayerName(0, "Player 2"), 0);
    EXPECT_EQ(t.SetPlayerName(0, "Player 1"), 0);  // the unchanged name too
    EXPECT_EQ(project.modified, 0u);
    EXPECT_EQ(t.SetPlayerName(6, "Zed"), 0);
    EXPECT_EQ(t.SetPlayerName(255, "Zed"), 0);
    EXPECT_EQ(project.modified, 0u);
    EXPECT_EQ(t.SetPlayerName(0, "Ada"), 1);
    EXPECT_EQ(project.modified, 1u);
    EXPECT_EQ(t.GetPlayerName(0), "Ada");
    EXPECT_EQ(t.FindPlayerName("Ada"), 0);
    EXPECT_EQ(t.FindPlayerName("Player 6"), 5);
    EXPECT_EQ(t.FindPlayerName("player 6"), 0xFF);
    EXPECT_EQ(t.GetPlayerName(6), "none");
    EXPECT_EQ(t.GetPlayerName(255), "none");
}

TEST(StringTable, ProvinceNamesAreUniqueAndFollowTheList) {
    RecordsProject project;
    CStringTable t;
    CProvince* a = project.AddProvince();
    CProvince* b = project.AddProvince();
    EXPECT_EQ(t.SetProvinceName(nullptr, "North"), 0);
    EXPECT_EQ(t.SetProvinceName(a, ""), 0);  // empty names are taken while any is empty
    EXPECT_EQ(t.SetProvinceName(a, "North"), 1);
    EXPECT_EQ(t.SetProvinceName(b, "North"), 0);
    EXPECT_EQ(t.SetProvinceName(a, "North"), 0);
    EXPECT_EQ(t.SetProvinceName(b, "South"), 1);
    EXPECT_EQ(t.GetProvinceName(a), "North");
    EXPECT_EQ(t.GetProvinceName(b), "South");
    EXPECT_EQ(t.ProvinceNames[1], "South");
    EXPECT_EQ(t.FindProvinceName("South"), 1);
    EXPECT_EQ(t.FindProvinceName(""), 2);
    EXPECT_EQ(t.GetProvinceName(nullptr), "none");

    // A province outside the project has no name place.
    CProvince stranger;
    project.modified = 0;
    EXPECT_EQ(t.SetProvinceName(&stranger, "East"), 0);
    EXPECT_EQ(t.GetProvinceName(&stranger), "none");
    EXPECT_EQ(project.modified, 0u);
    EXPECT_EQ(t.FindProvinceName("East"), 0xFF);
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
    t.SetArmyImagePath(1, "armies/host.bmp");
    t.SetResourceName(2, "Gold");
    t.SetSkillName(3, "Tactics");
    t.SetUnitName(39, "Dragon");  // no comparison, no mark
    EXPECT_EQ(project.modified, 0u);
    EXPECT_EQ(t.GetUnitName(39), "Dragon");
    EXPECT_EQ(t.GetCastleTypeName(15), "Keep");
    EXPECT_EQ(t.GetCastleImagePath(0), "castles/keep.bmp");
    EXPECT_EQ(t.GetArmyImagePath(1), "armies/host.bmp");
    EXPECT_EQ(t.GetResourceName(2), "Gold");
    EXPECT_EQ(t.GetSkillName(3), "Tactics");

    // Past the arrays: writes are dropped, reads are empty.
    t.SetUnitName(40, "x");
    t.SetResourceName(16, "x");
    t.SetSkillName(255, "x");
    t.SetCastleTypeName(16, "x");
    EXPECT_EQ(t.GetUnitName(40), "");
    EXPECT_EQ(t.GetResourceName(16), "");
    EXPECT_EQ(t.GetSkillName(16), "");
    EXPECT_EQ(t.GetCastleTypeName(200), "");
    EXPECT_EQ(t.GetCastleImagePath(16), "");
    EXPECT_EQ(t.GetArmyImagePath(16), "");
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
    t.RemoveProvinceName(99);
    t.RemoveProvinceName(200);
    EXPECT_EQ(t.ProvinceNames[0], "P0");
    EXPECT_EQ(t.ProvinceNames[97], "P98");
}

TEST(StringTable, ReplaceLineBreaks) {
    EXPECT_EQ(ReplaceLineBreaks("one\r\ntwo\r\nthree"), "one{br}two{br}three");
    EXPECT_EQ(ReplaceLineBreaks("lone\nfeed"), "lone\nfeed");
    EXPECT_EQ(ReplaceLineBreaks("lone\rreturn"), "lone\rreturn");
    EXPECT_EQ(ReplaceLineBreaks("\r\r\n\n"), "\r{br}\n");
    EXPECT_EQ(ReplaceLineBreaks("\r\n"), "{br}");
    EXPECT_EQ(ReplaceLineBreaks(""), "");
    EXPECT_EQ(ReplaceLineBreaks("end\r"), "end\r");
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

// The 561 texts of a table in file order, each with its NUL.
Bytes TableBytes(const std::vector<std::string>& texts) {
    Bytes bytes;
    for (const std::string& s : texts) {
        bytes.insert(bytes.end(), s.begin(), s.end());
        bytes.push_back(0);
    }
    return bytes;
}

// Where each text stands among the 561 of a stored table.
constexpr size_t kTableNameAt = 0, kPlayersAt = 6, kUnitsAt = 12, kReservedAt = 52, kAuthorAt = 90,
                 kCastleTypesAt = 92, kCastlePathsAt = 108, kArmyPathsAt = 124, kResourcesAt = 140,
                 kSkillsAt = 156, kProvincesAt = 172, kTitlesAt = 271, kTextsAt = 416;

// The stored texts of a new table.
std::vector<std::string> DefaultTexts() {
    std::vector<std::string> texts(561);
    texts[0] = "Table Name";
    texts[1] = "My Mission";
    texts[2] = "Short description";
    texts[3] = "Full description";
    texts[4] = "You win!";
    texts[5] = "You lose!";
    for (int i = 0; i < 6; ++i) texts[kPlayersAt + i] = "Player " + std::to_string(i + 1);
    for (int i = 0; i < 40; ++i) texts[kUnitsAt + i] = "Unit " + std::to_string(i);
    texts[kAuthorAt] = "Unknown";
    texts[kAuthorAt + 1] = "No notes";
    for (int i = 0; i < 16; ++i) texts[kCastleTypesAt + i] = "Castle Type " + std::to_string(i);
    for (int i = 0; i < 16; ++i) texts[kResourcesAt + i] = "Resource " + std::to_string(i);
    return texts;
}

TEST(StringTableList, ProjectFileLayoutAndRoundTrip) {
    CStringTableList list;
    list.Add(std::make_unique<CStringTable>());
    CStringTable& t = *list.GetAt(0);
    t.Reserved[0] = "R0";
    t.Reserved[37] = "R37";
    t.CastleImagePaths[0] = "castle0.bmp";
    t.ArmyImagePaths[15] = "army15.bmp";
    t.SkillNames[0] = "Skill0";
    t.ProvinceNames[98] = "North";
    t.EventStrings[0].Title = "Title0";
    t.EventStrings[144].Text = "Text144";
    auto second = std::make_unique<CStringTable>();
    second->TableName = "Deutsch";
    second->AuthorNotes = "Keine";
    list.Add(std::move(second));

    std::vector<std::string> first = DefaultTexts();
    first[kReservedAt] = "R0";
    first[kReservedAt + 37] = "R37";
    first[kCastlePathsAt] = "castle0.bmp";
    first[kArmyPathsAt + 15] = "army15.bmp";
    first[kSkillsAt] = "Skill0";
    first[kProvincesAt + 98] = "North";
    first[kTitlesAt] = "Title0";
    first[kTextsAt + 144] = "Text144";
    std::vector<std::string> other = DefaultTexts();
    other[kTableNameAt] = "Deutsch";
    other[kAuthorAt + 1] = "Keine";
    Bytes expected = {2, 0};
    for (const auto& texts : {first, other}) {
        Bytes table = TableBytes(texts);
        expected.insert(expected.end(), table.begin(), table.end());
    }

    Bytes saved = Orv::SerializeToBytes(list);
    EXPECT_EQ(saved, expected);

    CStringTableList back;
    back.Add(std::make_unique<CStringTable>());  // loading empties the list first
    Orv::CSerialLoader loader = thorn::test::LoadInto(back, saved);
    EXPECT_EQ(loader.Error(), 0u);
    EXPECT_EQ(loader.Position(), saved.size());
    ASSERT_EQ(back.GetCount(), 2);
    EXPECT_EQ(back.GetAt(0)->Reserved[37], "R37");
    EXPECT_EQ(back.GetAt(0)->ProvinceNames[98], "North");
    EXPECT_EQ(back.GetAt(0)->GetEventText(144), "Text144");
    EXPECT_EQ(back.GetAt(1)->TableName, "Deutsch");
    EXPECT_EQ(back.GetAt(1)->AuthorNotes, "Keine");
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
