#pragma once

#include <array>
#include <cstdint>

#include "model/MissionConds.h"
#include "model/OrvSerializer.h"
#include "model/OrvSimpleArray.h"

// A province's castle: three bytes.
struct CCastleDataB {
    // Flags.
    static constexpr uint8_t kPresent = 0x01;
    static constexpr uint8_t kMoat = 0x02;
    static constexpr uint8_t kWalls = 0x04;
    static constexpr uint8_t kCatapultShift = 3;
    static constexpr uint8_t kCatapultMask = 0x38;  // bits 3..5: 0..4 catapults
    static constexpr uint8_t kMaxCatapults = 4;
    // Buildings.
    static constexpr uint8_t kMarket = 0x01;
    static constexpr uint8_t kBank = 0x02;
    static constexpr uint8_t kTavern = 0x04;
    static constexpr uint8_t kMetalMine = 0x10;
    static constexpr uint8_t kStoneMine = 0x20;

    uint8_t Flags = 0;
    uint8_t Buildings = 0;
    uint8_t HitPoints = 100;  // condition in percent
};

// The part of a province that the game receives.
struct CProvinceB {
    static constexpr uint8_t kNoOwner = 255;

    Orv::CSimpleArray<uint8_t> Resources;  // value per resource
    uint8_t Owner = kNoOwner;              // player 0..5; 255 = none
    uint8_t HasCastleData = 0;             // set by the export
    CCastleDataB Castle;
    std::array<uint16_t, 4> PieceBounds{};  // left, top, right, bottom; export
    // Icon points: relative to the bound piece's box while bound, world
    // coordinates otherwise.
    uint16_t CastleX = 0;
    uint16_t CastleY = 0;
    uint16_t ArmyX = 0;
    uint16_t ArmyY = 0;
    uint8_t HasArmy = 0;       // 1 when any guardian count is non-zero
    CArmyDataB GuardianArmy;   // count per unit type
    uint8_t NeighbourCount = 0;             // filled by the export
    Orv::CSimpleArray<uint8_t> Neighbours;  // filled by the export

    // The game's form: resources, owner, castle-data flag, the castle only
    // when that flag is set, bounds and icon points, has-army, the guardian
    // army only when has-army is set, then the neighbours.
    void SerializeForGame(Orv::ISerializer& s, const thorn::MissionCounts& counts);
};

// A province of the mission. Setters mark the project modified only when the
// value changes and answer 1 whether or not it changed, unless said
// otherwise; an index past an array, or a value outside what the field can
// mean, is refused with 0.
class CProvince : public CProvinceB {
public:
    static constexpr uint8_t kPlayerCount = 6;

    uint8_t BoundToPiece = 0;    // non-zero: bound to a map piece
    int32_t MapPieceIndex = -1;  // index in the map-piece list; -1 = none
    uint16_t FreeX = 0;          // position kept for the province in the view
    uint16_t FreeY = 0;
    uint8_t CastlePicture = 0;   // castle picture shown for the province

    int SetHasCastle(uint8_t v);
    int SetMoat(uint8_t v);
    int SetWalls(uint8_t v);
    // A count above 4 or the count already held leaves the record untouched.
    int SetCatapults(uint8_t n);
    // mask: one of the five building bits (another mask answers 0).
    int SetBuilding(uint8_t mask, uint8_t v);
    int SetCastleHP(uint8_t hp);
    // Answers 0 when unchanged, or for an owner that is neither a player
    // (0..5) nor 255. Giving up the province (255) takes it from its old
    // owner's capital; a change from one player to another does not.
    int SetOwner(uint8_t owner);
    int SetGuardianArmy(uint8_t n, uint32_t count);
    int SetCastleX(uint16_t x);
    int SetCastleY(uint16_t y);
    int SetArmyX(uint16_t x);
    int SetArmyY(uint16_t y);
    // The stored byte is compared with the whole value; on a difference the
    // value's low byte is stored.
    int SetResource(uint8_t n, uint16_t value);
    // Resizes the per-resource array (new entries 0); marks nothing.
    void SetResourceCount(uint8_t n);
    // The OR of the guardian counts of the project's unit types.
    uint32_t CalcHasArmy() const;

    // The province's part of the project file (one element of the province
    // list): the guardian army and the resources are sized to the project's
    // counts, whatever count bytes a file holds.
    void Serialize(Orv::ISerializer& s);

private:
    int SetFlag(uint8_t bit, uint8_t v);
    int SetCoordinate(uint16_t& field, uint16_t value);
};
