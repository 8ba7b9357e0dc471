#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "PalmPdbReader.h"

// Readers of the game's files written for the tests from the file layouts
// alone, sharing nothing with the export's writers. Each throws
// std::runtime_error on a truncated file or bytes left over.
namespace thorn::test {

struct GamePlayer {
    uint8_t number = 0, capital = 0;
    uint8_t skills[3] = {};
    uint8_t type = 0, typeExtra = 0;
    std::vector<uint32_t> army;
    std::vector<std::string> unitNames;
    std::vector<uint16_t> treasury;
};

struct GameProvince {
    std::vector<uint8_t> resources;
    uint8_t owner = 0, castleFlag = 0;
    uint8_t castleFlags = 0, buildings = 0, hitPoints = 0;  // when castleFlag
    uint16_t box[4] = {};                                   // left, top, right, bottom
    uint16_t castleX = 0, castleY = 0, armyX = 0, armyY = 0;
    uint8_t hasArmy = 0;
    std::vector<uint32_t> guardians;  // when hasArmy
    std::vector<uint8_t> neighbours;
};

struct GameEvent {
    uint16_t turn = 0;
    std::vector<uint8_t> playerFlags;
    uint8_t effect = 0;
    std::vector<uint8_t> amounts;  // increase (effect 0) or decrease (effect 1)
};

struct MissionFile {
    uint32_t missionId = 0;
    std::vector<std::string> resourceCodes;
    uint8_t unitTypes = 0;
    std::vector<GamePlayer> players;
    uint32_t experienceLimit = 0;
    uint8_t victoryType = 0;
    std::vector<uint8_t> victoryBytes;     // the goal's bytes but the unit amounts
    std::vector<uint32_t> victoryUnits;    // type 2
    uint8_t loseType = 0;
    uint32_t loseValue = 0;                // province (type 1) or turns (type 2)
    std::vector<GameProvince> provinces;
    std::vector<GameEvent> events;
};

MissionFile ReadMissionFile(std::span<const uint8_t> bytes);

struct CellMapFile {
    uint16_t width = 0, height = 0;
    // columns[cx][cy] = the cell's (local index, province index) pairs.
    std::vector<std::vector<std::vector<std::pair<uint8_t, uint8_t>>>> columns;
};

CellMapFile ReadCellMapFile(std::span<const uint8_t> bytes);

// Every file a package holds, by its path in the package ("scenarios/x/
// mission001/map.dat": the names as stored, lower case, with the tag after a
// dot). The names are unscrambled with the package's fixed key and mask.
using PackageFiles = std::map<std::string, std::vector<uint8_t>>;

PackageFiles ReadPakFiles(std::span<const uint8_t> pak);
PackageFiles ReadPdbFiles(const PalmDatabase& database);

}  // namespace thorn::test
