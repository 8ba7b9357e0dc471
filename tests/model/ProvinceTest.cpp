#include <gtest/gtest.h>

#include "RecordsProject.h"
#include "model/PlayerData.h"
#include "model/Province.h"
#include "model/ProvinceList.h"

namespace {

using thorn::test::Bytes;
using thorn::test::RecordsProject;

TEST(Province, ConstructedState) {
    CProvince p;
    EXPECT_EQ(p.Owner, 255);
    EXPECT_EQ(p.HasCastleData, 0);
    EXPECT_EQ(p.Castle.Flags, 0);
    EXPECT_EQ(p.Castle.Buildings, 0);
    EXPECT_EQ(p.Castle.HitPoints, 100);
    EXPECT_EQ(p.HasArmy, 0);
    EXPECT_EQ(p.BoundToPiece, 0);
    EXPECT_EQ(p.MapPieceIndex, -1);
    EXPECT_TRUE(p.Resources.IsEmpty() && p.GuardianArmy.IsEmpty() && p.Neighbours.IsEmpty());
}

TEST(Province, CastleFlagBits) {
    RecordsProject project;
    CProvince p;
    EXPECT_EQ(p.SetHasCastle(1), 1);
    EXPECT_EQ(p.Castle.Flags, 0x01);
    EXPECT_EQ(project.modified, 1u);
    project.modified = 0;
    EXPECT_EQ(p.SetHasCastle(1), 1);
    EXPECT_EQ(project.modified, 0u);
    EXPECT_EQ(p.SetMoat(1), 1);
    EXPECT_EQ(p.SetMoat(1), 1);  // already set: nothing changes
    EXPECT_EQ(p.SetWalls(1), 1);
    EXPECT_EQ(p.Castle.Flags, 0x07);
    EXPECT_EQ(p.SetHasCastle(0), 1);
    EXPECT_EQ(p.Castle.Flags, 0x06);
    EXPECT_EQ(p.SetMoat(0), 1);
    EXPECT_EQ(p.Castle.Flags, 0x04);
    // Any non-zero value counts as set.
    EXPECT_EQ(p.SetMoat(7), 1);
    EXPECT_EQ(p.Castle.Flags, 0x06);
}

TEST(Province, CatapultsKeepTheOtherBits) {
    RecordsProject project;
    CProvince p;
    p.Castle.Flags = 0x01;
    EXPECT_EQ(p.SetCatapults(3), 1);
    EXPECT_EQ(p.Castle.Flags, 0x19);
    EXPECT_EQ(project.modified, 1u);
    project.modified = 0;
    EXPECT_EQ(p.SetCatapults(3), 1);
    EXPECT_EQ(project.modified, 0u);
    EXPECT_EQ(p.SetCatapults(7), 1);
    EXPECT_EQ(p.SetCatapults(5), 1);
    EXPECT_EQ(p.Castle.Flags, 0x19);
    EXPECT_EQ(project.modified, 0u);

    p.Castle.Flags = 0xC7 | (2 << 3);  // bits 6 and 7 are left alone
    EXPECT_EQ(p.SetCatapults(4), 1);
    EXPECT_EQ(p.Castle.Flags, 0xC7 | (4 << 3));
    EXPECT_EQ(p.SetCatapults(0), 1);
    EXPECT_EQ(p.Castle.Flags, 0xC7);
}

TEST(Province, BuildingBits) {
    RecordsProject project;
    CProvince p;
    p.Castle.Buildings = CCastleDataB::kBank;
    EXPECT_EQ(p.SetBuilding(2, 1), 1);
    EXPECT_EQ(p.Castle.Buildings, 0x02);
    EXPECT_EQ(project.modified, 0u);
    EXPECT_EQ(p.SetBuilding(2, 0), 1);
    EXPECT_EQ(p.Castle.Buildings, 0x00);
    EXPECT_EQ(project.modified, 1u);
    EXPECT_EQ(p.SetBuilding(0x10, 1), 1);
    EXPECT_EQ(p.Castle.Buildings, 0x10);
    for (uint8_t mask : {CCastleDataB::kMarket, CCastleDataB::kTavern, CCastleDataB::kStoneMine})
        p.SetBuilding(mask, 1);
    EXPECT_EQ(p.Castle.Buildings, 0x35);

    // A mask that is not one building bit is refused.
    project.modified = 0;
    EXPECT_EQ(p.SetBuilding(0x08, 1), 0);
    EXPECT_EQ(p.SetBuilding(0x03, 0), 0);
    EXPECT_EQ(p.SetBuilding(0, 1), 0);
    EXPECT_EQ(p.Castle.Buildings, 0x35);
    EXPECT_EQ(project.modified, 0u);
}

TEST(Province, HitPointsAndIconPoints) {
    RecordsProject project;
    CProvince p;
    EXPECT_EQ(p.SetCastleHP(100), 1);
    EXPECT_EQ(project.modified, 0u);
    EXPECT_EQ(p.SetCastleHP(25), 1);
    EXPECT_EQ(p.Castle.HitPoints, 25);
    EXPECT_EQ(project.modified, 1u);

    project.modified = 0;
    EXPECT_EQ(p.SetCastleX(0), 1);
    EXPECT_EQ(p.SetArmyY(0), 1);
    EXPECT_EQ(project.modified, 0u);
    p.SetCastleX(10);
    p.SetCastleY(11);
    p.SetArmyX(12);
    p.SetArmyY(65535);
    EXPECT_EQ(project.modified, 1u);
    EXPECT_EQ(p.CastleX, 10);
    EXPECT_EQ(p.CastleY, 11);
    EXPECT_EQ(p.ArmyX, 12);
    EXPECT_EQ(p.ArmyY, 65535);
}

TEST(Province, GivingUpAProvinceTakesItFromTheOwnersCapital) {
    RecordsProject project;
    CProvince* p = project.AddProvince();
    CPlayerData& two = project.players[2];
    p->Owner = 2;
    two.Capital = p;

    EXPECT_EQ(p->SetOwner(2), 0);
    EXPECT_EQ(project.modified, 0u);
    EXPECT_EQ(p->SetOwner(255), 1);
    EXPECT_EQ(p->Owner, 255);
    EXPECT_EQ(two.Capital, nullptr);
    EXPECT_EQ(project.modified, 1u);

    // From one player straight to another, the first keeps the capital.
    p->Owner = 2;
    two.Capital = p;
    EXPECT_EQ(p->SetOwner(3), 1);
    EXPECT_EQ(p->Owner, 3);
    EXPECT_EQ(two.Capital, p);

    // Giving up a province that is not the owner's capital leaves it alone.
    CProvince* other = project.AddProvince();
    project.players[3].Capital = other;
    EXPECT_EQ(p->SetOwner(255), 1);
    EXPECT_EQ(project.players[3].Capital, other);
}

TEST(Province, OwnersThatAreNotPlayers) {
    RecordsProject project;
    CProvince p;
    EXPECT_EQ(p.SetOwner(6), 0);
    EXPECT_EQ(p.SetOwner(254), 0);
    EXPECT_EQ(p.Owner, 255);
    EXPECT_EQ(project.modified, 0u);
    EXPECT_EQ(p.SetOwner(5), 1);

    // An old owner past the players (from a damaged file) has no capital to
    // give up; the province can still be given up.
    p.Owner = 9;
    EXPECT_EQ(p.SetOwner(255), 1);
    EXPECT_EQ(p.Owner, 255);
    // The same with fewer players than six.
    project.players.Resize(2);
    p.Owner = 4;
    EXPECT_EQ(p.SetOwner(255), 1);
}

TEST(Province, GuardianArmyKeepsHasArmy) {
    RecordsProject project(3, 2);
    CProvince* p = project.AddProvince();
    EXPECT_EQ(p->SetGuardianArmy(0, 5), 1);
    EXPECT_EQ(p->HasArmy, 1);
    EXPECT_EQ(p->SetGuardianArmy(1, 1), 1);
    EXPECT_EQ(p->SetGuardianArmy(0, 0), 1);
    EXPECT_EQ(p->HasArmy, 1);
    project.modified = 0;
    EXPECT_EQ(p->SetGuardianArmy(1, 0), 1);
    EXPECT_EQ(p->HasArmy, 0);
    EXPECT_EQ(project.modified, 1u);
    project.modified = 0;
    EXPECT_EQ(p->SetGuardianArmy(1, 0), 1);
    EXPECT_EQ(project.modified, 0u);

    // Only the project's unit types count.
    p->GuardianArmy.SetSize(3);
    p->GuardianArmy[2] = 8;
    EXPECT_EQ(p->CalcHasArmy(), 0u);
    EXPECT_EQ(p->SetGuardianArmy(3, 1), 0);
    EXPECT_EQ(p->SetGuardianArmy(40, 1), 0);
}

TEST(Province, ResourcesAreBytes) {
    RecordsProject project(3, 2);
    CProvince p;
    p.SetResourceCount(3);
    EXPECT_EQ(p.Resources.GetCount(), 3);
    EXPECT_EQ(project.modified, 0u);
    EXPECT_EQ(p.SetResource(1, 0), 1);
    EXPECT_EQ(project.modified, 0u);
    EXPECT_EQ(p.SetResource(1, 200), 1);
    EXPECT_EQ(p.Resources[1], 200);
    EXPECT_EQ(project.modified, 1u);
    EXPECT_EQ(p.SetResource(2, 300), 1);  // the low byte is kept
    EXPECT_EQ(p.Resources[2], 44);
    EXPECT_EQ(p.SetResource(3, 1), 0);
    EXPECT_EQ(p.SetResource(16, 1), 0);
    p.Resources[0] = 9;
    p.SetResourceCount(1);
    p.SetResourceCount(3);
    EXPECT_EQ(p.Resources[0], 9);
    EXPECT_EQ(p.Resources[2], 0);
}

TEST(ProvinceList, IndexesAndOwnership) {
    CProvinceList list;
    EXPECT_EQ(list.IndexOf(nullptr), 255);
    EXPECT_EQ(list.GetAt(0), nullptr);
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
    EXPECT_EQ(list.GetCount(), 2);
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
    EXPECT_EQ(list.GetCount(), 99);
    EXPECT_EQ(list.IndexOf(list.GetAt(98)), 98);
}

// One province of a project with three resources and two unit types.
const Bytes kOneProvince = {
    0x01, 0x00,                          // count
    0x02,                                // owner
    0x02, 0x01, 0x03, 0x00, 0x04, 0x00, 0x06, 0x05,  // castle x, y, army x, y
    0x19, 0x12, 0x4B,                    // flags, buildings, hit points
    0x02, 0, 0, 0, 0, 0x09, 0, 0, 0,     // guardian count, two counts
    0x03, 0x0A, 0x14, 0x1E,              // resource count, three values
    0x01,                                // bound
    0x07, 0, 0, 0,                       // map-piece index
    0x00, 0x01, 0x00, 0x02,              // free x, y
};

TEST(ProvinceList, ProjectFileLayout) {
    RecordsProject project(3, 2);
    CProvince* p = project.AddProvince();
    p->Owner = 2;
    p->CastleX = 0x0102;
    p->CastleY = 3;
    p->ArmyX = 4;
    p->ArmyY = 0x0506;
    p->Castle = {0x19, 0x12, 75};
    p->GuardianArmy[1] = 9;
    p->HasArmy = 1;        // not in the file
    p->HasCastleData = 1;  // not in the file
    p->Resources[0] = 10;
    p->Resources[1] = 20;
    p->Resources[2] = 30;
    p->BoundToPiece = 1;
    p->MapPieceIndex = 7;
    p->FreeX = 0x100;
    p->FreeY = 0x200;
    EXPECT_EQ(Orv::SerializeToBytes(project.provinces), kOneProvince);

    CProvinceList back;
    Orv::CSerialLoader loader = thorn::test::LoadInto(back, kOneProvince);
    EXPECT_EQ(loader.Error(), 0u);
    ASSERT_EQ(back.GetCount(), 1);
    const CProvince& q = *back.GetAt(0);
    EXPECT_EQ(q.HasArmy, 0);
    EXPECT_EQ(q.HasCastleData, 0);
    EXPECT_EQ(q.MapPieceIndex, 7);
    EXPECT_EQ(q.Castle.HitPoints, 75);
    EXPECT_EQ(Orv::SerializeToBytes(back), kOneProvince);
}

TEST(ProvinceList, EmptyListAndUnboundProvince) {
    RecordsProject project(0, 0);
    EXPECT_EQ(Orv::SerializeToBytes(project.provinces), (Bytes{0, 0}));
    project.AddProvince();
    Bytes expected = {1, 0, 255, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 100, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0};
    EXPECT_EQ(Orv::SerializeToBytes(project.provinces), expected);
}

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
}

TEST(ProvinceList, CountPastNinetyNineIsRefused) {
    RecordsProject project(3, 2);
    CProvinceList back;
    back.Add(std::make_unique<CProvince>());
    Bytes hundred = {100, 0, 1, 2, 3};
    Orv::CSerialLoader loader(hundred);
    EXPECT_EQ(back.Serialize(loader), 0);
    EXPECT_EQ(loader.Position(), 2u);  // nothing read past the count
    EXPECT_EQ(back.GetCount(), 0);
    Bytes hostile = {0xFF, 0xFF};
    Orv::CSerialLoader again(hostile);
    EXPECT_EQ(back.Serialize(again), 0);
    EXPECT_EQ(back.GetCount(), 0);
}

TEST(ProvinceList, TruncatedBytesNeverReadPastTheEnd) {
    RecordsProject project(3, 2);
    for (size_t cut = 0; cut < kOneProvince.size(); ++cut) {
        Bytes part(kOneProvince.begin(), kOneProvince.begin() + static_cast<long>(cut));
        CProvinceList back;
        Orv::CSerialLoader loader = thorn::test::LoadInto(back, part);
        EXPECT_EQ(loader.Error(), 1u) << cut;
        EXPECT_LE(loader.Position(), part.size());
        EXPECT_EQ(back.GetCount(), cut < 2 ? 0 : 1);
    }
    // Cut inside the guardian army: the rest keeps the constructed values.
    Bytes part(kOneProvince.begin(), kOneProvince.begin() + 20);
    CProvinceList back;
    thorn::test::LoadInto(back, part);
    EXPECT_EQ(back.GetAt(0)->Castle.HitPoints, 75);
    EXPECT_EQ(back.GetAt(0)->MapPieceIndex, -1);
    EXPECT_EQ(back.GetAt(0)->Resources.GetCount(), 3);
}

TEST(Province, GameFormLeavesOutAbsentCastleAndArmy) {
    CProvinceB p;
    p.Resources.SetSize(1);
    p.Resources[0] = 9;
    p.PieceBounds = {1, 2, 3, 4};
    p.CastleX = 5;
    p.ArmyY = 0x0102;
    p.GuardianArmy.SetSize(1);
    p.GuardianArmy[0] = 6;  // not written while has-army is 0
    p.NeighbourCount = 2;
    p.Neighbours.SetSize(2);
    p.Neighbours[0] = 3;
    p.Neighbours[1] = 4;
    thorn::MissionCounts counts{.resources = 1, .unitTypes = 1, .players = 2};
    Bytes plain = {9, 255, 0, 1, 0, 2, 0, 3, 0, 4, 0, 5, 0, 0, 0, 0, 0, 2, 1, 0, 2, 3, 4};
    EXPECT_EQ(thorn::test::SaveForGame(p, counts), plain);

    p.HasCastleData = 1;
    p.Castle = {0x01, 0x20, 50};
    p.HasArmy = 1;
    Bytes full = {9, 255, 1, 0x01, 0x20, 50, 1, 0, 2, 0, 3, 0, 4, 0, 5, 0, 0, 0, 0, 0, 2, 1, 1, 6, 0, 0, 0, 2, 3, 4};
    EXPECT_EQ(thorn::test::SaveForGame(p, counts), full);
}

}  // namespace
