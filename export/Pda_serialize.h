#pragma once

#include <cstdint>
#include <vector>

#include "model/OrvSerializer.h"
#include "model/mapproject.h"

// "mission.dat", the mission as the game reads it, little-endian and without
// header:
//   u32 mission id, u8 resource count R, R resource codes (strings),
//   u8 unit-type count U, u8 player count P, P players, u32 experience
//   limit, the victory type and its goal, the lose type and its value,
//   u8 province count, the provinces, u8 event count, the events.
// The element records lay themselves out (SerializeForGame) by R, U and P.

// The record the export fills: the game's part of the project, and the
// unit-type count the element records are laid out by.
struct PdaMission {
    CMapProjectB Record;
    uint8_t UnitTypeCount = 0;

    thorn::MissionCounts Counts() const {
        return {Record.ResourceCodes.GetCount(), UnitTypeCount, Record.GamePlayers.GetCount()};
    }
};

// One walk for measuring, writing and reading: each list is sized to its
// count byte first (writing leaves it as it is).
void SerializeMission(PdaMission& mission, Orv::ISerializer& s);
// The element records, laid out by the resource, unit-type and player
// counts of the mission they belong to.
void SerializePlayer(CPlayerDataB& player, Orv::ISerializer& s, const PdaMission& mission);
void SerializeProvince(CProvinceB& province, Orv::ISerializer& s, const PdaMission& mission);
void SerializeEvent(CEventB& event, Orv::ISerializer& s, const PdaMission& mission);

// The file's bytes: a measuring pass, then a pass into a buffer of exactly
// that size.
std::vector<uint8_t> MissionFileBytes(PdaMission& mission);
