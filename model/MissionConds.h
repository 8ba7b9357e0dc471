#pragma once

#include <cstdint>
#include <string>

#include "model/OrvSerializer.h"
#include "model/OrvSimpleArray.h"

// One u32 per unit type, standard unit types first: a count of units (a
// player's campaign army, a province's guardian army, the unit amounts of the
// "accumulate army" victory) or, for a player's unit-type slots, the index of
// the unit placed in the slot.
struct CArmyDataB : Orv::CSimpleArray<uint32_t> {};

namespace thorn {

// The counts that the mission record for the game is laid out by: resources
// (R), unit types (U) and exported players (P).
struct MissionCounts {
    int resources = 0;
    int unitTypes = 0;
    int players = 0;
};

}  // namespace thorn

// Victory conditions of a mission. A new record asks for victory type 0 with
// no player, no province and empty amounts.
struct CVictoryCondsB {
    enum Type : uint8_t {
        DefeatOpponents = 0,
        DefeatPlayer = 1,
        AccumulateArmy = 2,
        AccumulateResources = 3,
        CaptureProvince = 4,
    };

    // Goal of type 2.
    struct VArmyData {
        CArmyDataB Units;                   // "Army": amount per unit type
        uint8_t DefeatOpponentsVictory = 0;  // "\"Defeat opponents\" Victory"
        uint8_t AppliesToComputers = 0;      // "Applies To Comp. Players"
    };
    // Goal of type 3.
    struct VResourcesData {
        Orv::CSimpleArray<uint8_t> Amounts;  // "Resources": amount per resource
        uint8_t AllowDefeatAll = 0;          // "Allow \"Defeat All\" Victory"
        uint8_t AppliesToComputers = 0;      // "Applies To Comp. Players"
    };
    struct VData {
        uint8_t DefeatAlly = 0;           // "Defeat Ally", type 0
        uint8_t PlayerToDefeat = 255;     // "Player", type 1; 255 = none
        VArmyData Army;                   // type 2
        VResourcesData Resources;         // type 3
        uint8_t ProvinceToCapture = 255;  // "Province", type 4; 255 = none
        uint8_t Reserved = 0;             // kept in memory only
    };

    uint8_t VictoryType = DefeatOpponents;
    uint8_t Reserved = 0;  // kept in memory only
    VData Data;

    // The project file's form: every goal, the amounts sized to the given
    // unit-type and resource counts. The count bytes stored before the two
    // amount lists are read but not trusted.
    void Serialize(Orv::ISerializer& s, int unitTypeCount, int resourceCount);
    // The game's form: the victory type, then only the goal of that type.
    void SerializeForGame(Orv::ISerializer& s, const thorn::MissionCounts& counts);
};

// Lose conditions of a mission: the eight bytes that follow the victory
// conditions in the mission record. A new record has no lose condition, no
// province and 20 turns.
struct CLoseCondsB {
    enum Type : uint8_t { None = 0, LoseProvince = 1, TimeExpires = 2 };

    uint8_t LoseType = None;
    uint8_t Reserved1 = 0;         // kept in memory only
    uint8_t ProvinceToKeep = 255;  // "Province"; 255 = none
    uint8_t Reserved2 = 0;         // kept in memory only
    uint16_t MaxTurnsToWin = 20;   // "Max Turns To Win"
    uint16_t Reserved3 = 0;        // kept in memory only

    // The project file's form: type, province, turns.
    void Serialize(Orv::ISerializer& s);
    // The game's form: the type, then only the value that type uses.
    void SerializeForGame(Orv::ISerializer& s);
};

// A named value of the game data: an ability or a computer-player type. The
// value is used as a one-byte id.
struct CAbilityStruct {
    std::string Name;
    uint32_t Value = 0;

    bool operator==(const CAbilityStruct&) const = default;
};
