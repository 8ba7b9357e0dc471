#include "model/Province.h"

#include <algorithm>

#include "model/PlayerData.h"
#include "model/ProjectLink.h"
#include "model/RecordFields.h"

namespace {

void MarkModified() { thorn::Project().MarkModified(); }

bool IsBuildingBit(uint8_t mask) {
    return mask == CCastleDataB::kMarket || mask == CCastleDataB::kBank || mask == CCastleDataB::kTavern ||
           mask == CCastleDataB::kMetalMine || mask == CCastleDataB::kStoneMine;
}

}  // namespace

void CProvinceB::SerializeForGame(Orv::ISerializer& s, const thorn::MissionCounts& counts) {
    thorn::ResizeTo(Resources, counts.resources);
    thorn::Elements(s, Resources);
    s.Byte(Owner);
    s.Byte(HasCastleData);
    if (HasCastleData) {
        s.Byte(Castle.Flags);
        s.Byte(Castle.Buildings);
        s.Byte(Castle.HitPoints);
    }
    for (uint16_t& bound : PieceBounds) s.Word(bound);
    s.Word(CastleX);
    s.Word(CastleY);
    s.Word(ArmyX);
    s.Word(ArmyY);
    s.Byte(HasArmy);
    if (HasArmy) {
        thorn::ResizeTo(GuardianArmy, counts.unitTypes);
        thorn::Elements(s, GuardianArmy);
    }
    s.Byte(NeighbourCount);
    thorn::ResizeTo(Neighbours, NeighbourCount);
    thorn::Elements(s, Neighbours);
}

int CProvince::SetFlag(uint8_t bit, uint8_t v) {
    const bool present = (Castle.Flags & bit) != 0;
    if (present != (v != 0)) {
        Castle.Flags ^= bit;
        MarkModified();
    }
    return 1;
}

int CProvince::SetHasCastle(uint8_t v) { return SetFlag(CCastleDataB::kPresent, v); }
int CProvince::SetMoat(uint8_t v) { return SetFlag(CCastleDataB::kMoat, v); }
int CProvince::SetWalls(uint8_t v) { return SetFlag(CCastleDataB::kWalls, v); }

int CProvince::SetCatapults(uint8_t n) {
    const uint8_t held = (Castle.Flags & CCastleDataB::kCatapultMask) >> CCastleDataB::kCatapultShift;
    if (n > CCastleDataB::kMaxCatapults || n == held) return 1;
    Castle.Flags = static_cast<uint8_t>((n << CCastleDataB::kCatapultShift) |
                                        (Castle.Flags & ~CCastleDataB::kCatapultMask));
    MarkModified();
    return 1;
}

int CProvince::SetBuilding(uint8_t mask, uint8_t v) {
    if (!IsBuildingBit(mask)) return 0;
    if (((Castle.Buildings & mask) != 0) != (v != 0)) {
        Castle.Buildings ^= mask;
        MarkModified();
    }
    return 1;
}

int CProvince::SetCastleHP(uint8_t hp) {
    if (Castle.HitPoints != hp) {
        Castle.HitPoints = hp;
        MarkModified();
    }
    return 1;
}

int CProvince::SetOwner(uint8_t owner) {
    if (owner == Owner) return 0;
    if (owner >= kPlayerCount && owner != kNoOwner) return 0;
    if (owner == kNoOwner && Owner != kNoOwner) {
        // An old owner that names no player has no capital to give up.
        if (CPlayerData* player = thorn::Project().PlayerAt(Owner); player && player->Capital == this)
            player->SetCapital(nullptr);
    }
    Owner = owner;
    MarkModified();
    return 1;
}

int CProvince::SetGuardianArmy(uint8_t n, uint32_t count) {
    if (n >= GuardianArmy.GetCount()) return 0;
    if (GuardianArmy[n] != count) {
        GuardianArmy[n] = count;
        MarkModified();
        HasArmy = CalcHasArmy() != 0 ? 1 : 0;
    }
    return 1;
}

int CProvince::SetCoordinate(uint16_t& field, uint16_t value) {
    if (field != value) {
        field = value;
        MarkModified();
    }
    return 1;
}

int CProvince::SetCastleX(uint16_t x) { return SetCoordinate(CastleX, x); }
int CProvince::SetCastleY(uint16_t y) { return SetCoordinate(CastleY, y); }
int CProvince::SetArmyX(uint16_t x) { return SetCoordinate(ArmyX, x); }
int CProvince::SetArmyY(uint16_t y) { return SetCoordinate(ArmyY, y); }

int CProvince::SetResource(uint8_t n, uint16_t value) {
    if (n >= Resources.GetCount()) return 0;
    if (Resources[n] != value) {
        Resources[n] = static_cast<uint8_t>(value);
        MarkModified();
    }
    return 1;
}

void CProvince::SetResourceCount(uint8_t n) { Resources.SetSize(n); }

uint32_t CProvince::CalcHasArmy() const {
    const int unitTypes = std::min(thorn::Project().UnitTypeCount(), GuardianArmy.GetCount());
    uint32_t any = 0;
    for (int i = 0; i < unitTypes; ++i) any |= GuardianArmy[i];
    return any;
}

void CProvince::Serialize(Orv::ISerializer& s) {
    const thorn::ProjectLink& project = thorn::Project();
    s.Byte(Owner);
    s.Word(CastleX);
    s.Word(CastleY);
    s.Word(ArmyX);
    s.Word(ArmyY);
    s.Byte(Castle.Flags);
    s.Byte(Castle.Buildings);
    s.Byte(Castle.HitPoints);
    thorn::FixedCountByte(s, GuardianArmy, project.UnitTypeCount());
    thorn::Elements(s, GuardianArmy);
    thorn::FixedCountByte(s, Resources, project.ResourceCount());
    thorn::Elements(s, Resources);
    s.Byte(BoundToPiece);
    s.Dword(MapPieceIndex);
    s.Word(FreeX);
    s.Word(FreeY);
}
