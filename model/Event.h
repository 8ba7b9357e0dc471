#pragma once

#include <cstdint>

#include "model/MissionConds.h"
#include "model/OrvSerializer.h"
#include "model/OrvSimpleArray.h"

// The part of a scripted event that the game receives: on a turn, give
// treasury resources to chosen players, take them away, or the custom effect.
struct CEventB {
    enum Effect : uint8_t { ResourcesIncrease = 0, ResourcesDecrease = 1, Custom = 2 };

    // One amount byte per resource.
    struct Res : Orv::CSimpleArray<uint8_t> {};
    struct ResData {
        Res Increase;  // used by effect 0
        Res Decrease;  // used by effect 1
    };

    uint16_t Turn = 1;
    Orv::CSimpleArray<uint8_t> PlayerFlags;  // per player slot; non-zero applies
    uint8_t EffectType = ResourcesIncrease;
    ResData Resources;

    // The game's form: turn, one flag per exported player, the effect, then
    // the increase amounts for effect 0 or the decrease amounts for effect 1.
    void SerializeForGame(Orv::ISerializer& s, const thorn::MissionCounts& counts);
};

// One scripted event of the mission. Its title and text live in every string
// table, in the pair its text slot names; the slot never changes.
class CEvent : public CEventB {
public:
    uint32_t Enabled = 1;   // non-zero: exported and written to the text files
    uint8_t TextSlot = 0;   // index of the event's pair in every string table
    uint8_t Affects = 1;    // 1: the player flags apply

    // Each setter stores a changed value, marks the project modified and
    // answers 1; an unchanged value answers 0, and so does an index past
    // the array (nothing is stored then).
    int SetTurn(uint16_t turn);
    int SetEffect(uint8_t effect);
    int SetAffects(uint8_t affects);
    int SetEnabled(uint32_t enabled);
    // Player slot n's flag, stored as 0 or 1.
    int SetPlayerFlag(uint8_t n, bool applies);
    // Resource n's amount of effect 0 (increase) or 1 (decrease).
    int SetIncrease(uint8_t n, uint8_t amount);
    int SetDecrease(uint8_t n, uint8_t amount);

    // One event of the project file: turn, the player flags with their count
    // byte, the effect, the increase and decrease amounts interleaved per
    // resource, enabled, text slot and affects.
    void Serialize(Orv::ISerializer& s, uint8_t resourceCount);
};
