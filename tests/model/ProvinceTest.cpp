#include <gtest/gtest.h>

#include "RecordsProject.h"
#include "model/PlayerData.h"
#include "model/Province.h"
#include "model/ProvinceList.h"
#include "support/Readers.h"

namespace {

using thorn::test::Bytes;
using thorn::test::RecordsProject;

TEST(Province, GivingUpAProvinceTakesItFromTheOwnersCapital) {
    RecordsProject project;
    CProvince* p = project.AddProvince();
    CPlayerData& two = project.players[2];
    p->Owner = 2;
    two.Capital = p;
    EXPECT_EQ(p->SetOwner(255), 1);
    EXPECT_EQ(two.Capital, nullptr);

    // From one player straight to another, the first keeps the capital.
    p->Owner = 2;
    two.Capital = p;
    EXPECT_EQ(p->SetOwner(3), 1);
    EXPECT_EQ(two.Capital, p);

    // Giving up a province that is not the owner's capital leaves it alone.
    CProvince* other = project.AddProvince();
    project.players[3].Capital = other;
    EXPECT_EQ(p->SetOwner(255), 1);
    EXPECT_EQ(project.players[3].Capital, other);

    // An old owner past the players (from a damaged file) has no capital to
    // give up; the province can still be given up.
    for (uint8_t damaged : {9, 4}) {
        project.players.Resize(2);
        p->Owner = damaged;
        EXPECT_EQ(p->SetOwner(255), 1);
        EXPECT_EQ(p->Owner, 255);
    }
}

TEST(Province, HasArmyFollowsTheGuardiansOfTheProjectsUnitTypes) {
    RecordsProject project(3, 2);
    CProvince* p = project.AddProvince();
    p->SetGuardianArmy(0, 5);
    p->SetGuardianArmy(1, 1);
    p->SetGuardianArmy(0, 0);
    EXPECT_EQ(p->HasArmy, 1);
    p->SetGuardianArmy(1, 0);
    EXPECT_EQ(p->HasArmy, 0);
    p->GuardianArmy.SetSize(3);
    p->GuardianArmy[2] = 8;
    EXPECT_EQ(p->CalcHasArmy(), 0u);
}

TEST(Province, ResizingTheResourcesKeepsTheValuesAndMarksNothing) {
    RecordsProject project(3, 2);
    CProvince p;
    p.SetResourceCount(3);
    p.Resources[0] = 9;
    p.SetResourceCount(1);
    p.SetResourceCount(3);
    EXPECT_EQ(p.Resources[0], 9);
    EXPECT_EQ(p.Resources[2], 0);
    EXPECT_EQ(project.modified, 0u);
}

TEST(ProvinceList, IndexesAndOwnership) {
    CProvinceList list;
    EXPECT_EQ(list.IndexOf(nullptr), 255);
    EXPECT_EQ(list.GetAt(255), nullptr);
    auto first = std::make_unique<CProvince>();
    CProvince* a = first.get();
    EXPECT_EQ(list.Add(std::move(first)), 0);
    CProvince* b = list.GetAt(static_cast<uint8_t>(list.Add(std::make_unique<CProvince>())));
    CProvince* c = list.GetAt(static_cast<uint8_t>(list.Add(std::make_unique<CProvince>())));
    EXPECT_EQ(list.IndexOf(c), 2);
    CProvince stranger;
    EXPECT_EQ(list.IndexOf(&stranger), 255);
    list.Remove(&stranger);
    list.Remove(nullptr);
    EXPECT_EQ(list.GetCount(), 3);
    list.Remove(a);
    EXPECT_EQ(list.GetAt(0), b);
    EXPECT_EQ(list.GetAt(1), c);
    EXPECT_EQ(list.GetAt(2), nullptr);
    EXPECT_EQ(list.Add(nullptr), -1);
    list.Clear();
    EXPECT_EQ(list.GetCount(), 0);
}

TEST(ProvinceList, HoldsAtMostNinetyNine) {
    CProvinceList list;
    for (int i = 0; i < 99; ++i) ASSERT_EQ(list.Add(std::make_unique<CProvince>()), i);
    EXPECT_EQ(list.Add(std::make_unique<CProvince>()), -1);
    EXPECT_EQ(list.IndexOf(list.GetAt(98)), 98);
}

TEST(ProvinceList, AnUnboundProvinceIsStoredWithItsDefaults) {
    RecordsProject project(0, 0);
    EXPECT_EQ(Orv::SerializeToBytes(project.provinces), (Bytes{0, 0}));
    project.AddProvince();
    Bytes expected = {1, 0, 255, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 100, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0};
    EXPECT_EQ(Orv::SerializeToBytes(project.provinces), expected);
}

// One province of a project with three resources and two unit types.
const Bytes kOneProvince = {
    0x01, 0x00,                                      // count
    0x02,                                            // owner
    0x02, 0x01, 0x03, 0x00, 0x04, 0x00, 0x06, 0x05,  // castle x, y, army x, y
    0x19, 0x12, 0x4B,                                // flags, buildings, hit points
    0x02, 0, 0, 0, 0, 0x09, 0, 0, 0,                 // guardian count, two counts
    0x03, 0x0A, 0x14, 0x1E,                          // resource count, three values
    0x01,                                            // bound
    0x07, 0, 0, 0,                                   // map-piece index
    0x00, 0x01, 0x00, 0x02,                          // free x, y
};

TEST(ProvinceList, StoredCountsThatDisagreeDoNotSizeTheArrays) {
    RecordsProject project(3, 2);
    Bytes bytes = kOneProvince;
    bytes[14] = 200;  // guardian count
    bytes[23] = 1;    // resource count
    CProvinceList back;
    Orv::CSerialLoader loader = thorn::test::LoadInto(back, bytes);
    EXPECT_EQ(loader.Error(), 0u);
    EXPECT_EQ(back.GetAt(0)->GuardianArmy.GetCount(), 2);
    EXPECT_EQ(back.GetAt(0)->Resources.GetCount(), 3);
    EXPECT_EQ(back.GetAt(0)->Resources[2], 30);
    EXPECT_EQ(Orv::SerializeToBytes(back), kOneProvince);
}

TEST(ProvinceList, TruncatedBytesFailWithoutReadingPastTheEnd) {
    RecordsProject project(3, 2);
    thorn::test::ExpectEveryCutRefused(kOneProvince, [](std::span<const uint8_t> cut) {
        CProvinceList back;
        Orv::CSerialLoader loader(cut);
        back.Serialize(loader);
        return loader.Error() == 1 && loader.Position() <= cut.size();
    });
}

}  // namespace
