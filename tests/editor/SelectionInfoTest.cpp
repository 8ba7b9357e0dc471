#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "MissionDesk.h"

namespace {

using thorn::test::MissionDesk;

void SetResources(CProvince& province, std::initializer_list<uint16_t> values) {
    uint8_t r = 0;
    for (uint16_t v : values) province.SetResource(r++, v);
}

// The three texts under both pages, which always agree.
struct Shown {
    std::string summary, income, army;
};

Shown Read(const TMainForm& main) {
    const Shown domain{main.LblDomainSummary->GetCaption(), main.LblDomainIncome->GetCaption(),
                       main.LblDomainArmy->GetCaption()};
    EXPECT_EQ(main.LblSelProvSummary->GetCaption(), domain.summary);
    EXPECT_EQ(main.LblSelProvIncome->GetCaption(), domain.income);
    EXPECT_EQ(main.LblSelProvArmy->GetCaption(), domain.army);
    return domain;
}

TEST(SelectionInfo, CountsTheSelectionItsIncomeAndItsArmyUnderBothPages) {
    MissionDesk desk;
    CProvince& a = desk.Province(0);
    CProvince& b = desk.Province(1);
    for (CProvince* p : {&a, &b}) p->SetOwner(0);
    // A castle brings 5 gold, its bank 3 more; b's castle-less mines bring
    // nothing.
    a.SetHasCastle(1);
    a.SetBuilding(CCastleDataB::kBank, 1);
    SetResources(a, {2, 1, 0, 0, 0});
    a.SetGuardianArmy(0, 3);
    b.SetBuilding(CCastleDataB::kMetalMine, 1);
    SetResources(b, {1, 0, 0, 1, 2});
    b.SetGuardianArmy(7, 4);
    // The armies are named after the owner's unit slots, four letters each.
    CPlayerData& owner = *desk.Project().PlayerAt(0);
    ASSERT_EQ(owner.SetUnitType(7, 10), 1);
    ASSERT_EQ(owner.SetArmy(0, 1), 1);

    struct Case {
        const char* what;
        std::function<void()> act;
        Shown shown;
    };
    const Case cases[] = {
        {"one province with a castle and a bank",
         [&] {
             desk.ShowPage(MissionDesk::kProvincesPage);
             desk.ClickWorld(desk.OpenPointOf(a));
         },
         {"1 Provinces, 1 Castles", "Gold[10], Iron[1], Stone[0], Timber[0], Grain[0]",
          "Mili[3], Spea[0], Arch[0], Knig[0], Cata[0], Fore[0], Hill[0], Sea [0], Ston[0], Mars[0], Sea [0]"}},
        {"a second one added",
         [&] { desk.ClickWorld(desk.OpenPointOf(b), {ssCtrl}); },
         {"2 Provinces, 1 Castles", "Gold[11], Iron[1], Stone[0], Timber[1], Grain[2]",
          "Mili[3], Spea[0], Arch[0], Knig[0], Cata[0], Fore[0], Hill[0], Sea [4], Ston[0], Mars[0], Sea [0]"}},
        {"the first resource typed into the grid for both",
         [&] {
             desk.TypeIntoGridRow("Res_0", "4");
             desk.Host().PressKey(VK_RETURN);
         },
         {"2 Provinces, 1 Castles", "Gold[16], Iron[1], Stone[0], Timber[1], Grain[2]",
          "Mili[3], Spea[0], Arch[0], Knig[0], Cata[0], Fore[0], Hill[0], Sea [4], Ston[0], Mars[0], Sea [0]"}},
        {"their player chosen on the players page: its campaign army counts too",
         [&] {
             desk.ShowPage(MissionDesk::kPlayersPage);
             desk.ClickPlayerRow(0);
         },
         {"2 Provinces, 1 Castles", "Gold[16], Iron[1], Stone[0], Timber[1], Grain[2]",
          "Mili[4], Spea[0], Arch[0], Knig[0], Cata[0], Fore[0], Hill[0], Sea [4], Ston[0], Mars[0], Sea [0]"}},
        {"the first picked in the provinces list",
         [&] {
             desk.ShowPage(MissionDesk::kProvincesPage);
             desk.ClickProvinceRow(0);
         },
         {"1 Provinces, 1 Castles", "Gold[12], Iron[1], Stone[0], Timber[0], Grain[0]",
          "Mili[3], Spea[0], Arch[0], Knig[0], Cata[0], Fore[0], Hill[0], Sea [0], Ston[0], Mars[0], Sea [0]"}},
        {"the second added in the list",
         [&] { desk.ClickProvinceRow(1, {ssCtrl}); },
         {"2 Provinces, 1 Castles", "Gold[16], Iron[1], Stone[0], Timber[1], Grain[2]",
          "Mili[3], Spea[0], Arch[0], Knig[0], Cata[0], Fore[0], Hill[0], Sea [4], Ston[0], Mars[0], Sea [0]"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.act();
        const Shown shown = Read(desk.Main());
        EXPECT_EQ(shown.summary, c.shown.summary);
        EXPECT_EQ(shown.income, c.shown.income);
        EXPECT_EQ(shown.army, c.shown.army);
    }
}

}  // namespace
