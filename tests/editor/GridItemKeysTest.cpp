#include <gtest/gtest.h>

#include <string>

#include "editor/GridItemKeys.h"

namespace {

using thorn::InspectorGroup;
using thorn::InspectorStrings;

TEST(InspectorKeys, GroupSizes) {
    EXPECT_EQ(InspectorStrings(InspectorGroup::Shared).size(), 3u);
    EXPECT_EQ(InspectorStrings(InspectorGroup::Mission).size(), 39u);
    EXPECT_EQ(InspectorStrings(InspectorGroup::Player).size(), 26u);
    EXPECT_EQ(InspectorStrings(InspectorGroup::Province).size(), 34u);
    EXPECT_EQ(InspectorStrings(InspectorGroup::Event).size(), 16u);
}

TEST(InspectorKeys, ArmyKeysBothArmiesInTheirOwnGrids) {
    auto player = InspectorStrings(InspectorGroup::Player);
    auto province = InspectorStrings(InspectorGroup::Province);
    auto next = [](std::span<const std::string_view> group, std::string_view key) {
        for (size_t i = 0; i + 1 < group.size(); ++i)
            if (group[i] == key) return group[i + 1];
        return std::string_view("<absent>");
    };
    EXPECT_EQ(next(player, InspectorKeys::Army), "Campaign Army");
    EXPECT_EQ(next(province, InspectorKeys::Army), "Guardian Army");
    EXPECT_EQ(next(player, InspectorKeys::Name), "Name");
    EXPECT_EQ(next(province, InspectorKeys::ProvName), "Name");
}

TEST(InspectorKeys, TextsAsTheGridsShowThem) {
    EXPECT_EQ(std::string(InspectorKeys::VCond03_02Caption), "\"Defeat opponents\" Victory");
    EXPECT_EQ(std::string(InspectorKeys::VCond04_02Caption), "Allow \"Defeat All\" Victory");
    EXPECT_EQ(std::string(InspectorKeys::PlayabHumanComputer), "Human & Computer");
    EXPECT_EQ(std::string(InspectorKeys::CastHP75), "75%");
    EXPECT_EQ(std::string(InspectorKeys::ETurnCaption), "Occurrence Turn, No.");
    EXPECT_EQ(std::string(InspectorKeys::Empty), "");
    // Keys are found by exact comparison only.
    EXPECT_NE(std::string("army"), InspectorKeys::Army);
}

TEST(InspectorKeys, NumberedRows) {
    struct Case {
        std::string_view format;
        int n;
        std::string key;
    };
    const Case cases[] = {
        {InspectorKeys::SkillN, 2, "Skill_2"}, {InspectorKeys::PlResN, 15, "PlRes_15"},
        {InspectorKeys::UnitN, 0, "Unit_0"},   {InspectorKeys::UnitNCaption, 1, "Unit 1"},
        {InspectorKeys::ArmyN, 39, "Army_39"}, {InspectorKeys::ResN, 3, "Res_3"},
        {InspectorKeys::EResN, 3, "Res3"},     {InspectorKeys::EPlN, 5, "Pl5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(thorn::NumberedKey(c.format, c.n), c.key);
        EXPECT_EQ(thorn::KeyNumber(c.format, c.key), c.n);
    }
    // A key of another family, or one without its number, has none.
    EXPECT_EQ(thorn::KeyNumber(InspectorKeys::EResN, InspectorKeys::Resour), std::nullopt);
    EXPECT_EQ(thorn::KeyNumber(InspectorKeys::ArmyN, InspectorKeys::Army), std::nullopt);
    EXPECT_EQ(thorn::KeyNumber(InspectorKeys::EPlN, InspectorKeys::PlType), std::nullopt);
    EXPECT_EQ(thorn::KeyNumber(InspectorKeys::SkillN, "skill_1"), std::nullopt);
}

}  // namespace
