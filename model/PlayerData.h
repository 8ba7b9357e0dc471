#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "model/MissionConds.h"
#include "model/OrvSerializer.h"
#include "model/OrvSimpleArray.h"
#include "model/OrvString.h"

class CProvince;

// The part of a player slot that the game receives.
struct CPlayerDataB {
    static constexpr int kSkillCount = 3;
    // The three skill levels together never pass this.
    static constexpr int kMaxSkillSum = 6;
    static constexpr uint8_t kNone = 255;

    uint8_t PlayerNumber = 0;       // filled by the export
    uint8_t CapitalIndex = kNone;   // index in the province list; in step
                                    // with the capital pointer only on save,
                                    // load and export
    std::array<uint8_t, kSkillCount> Skills{2, 2, 2};
    // 0 human; 1..127 computer with that computer-player type; 128..254
    // human and computer, computer-player type = value - 127.
    uint8_t PlayerType = 128;
    uint8_t TypeExtra = 0;          // kept, saved and exported as it is
    uint8_t Spare = 0;              // neither set nor saved here
    Orv::CSimpleArray<Orv::CString> UnitNames;  // per unit slot, by the export
    CArmyDataB CampaignArmy;                    // count per unit type
    Orv::CSimpleArray<uint16_t> Treasury;       // amount per resource

    // The game's form: number, capital, skills, type, the byte after it,
    // then for each unit slot its army count and unit name, then the
    // treasury. The arrays are sized to the counts first.
    void SerializeForGame(Orv::ISerializer& s, const thorn::MissionCounts& counts);
};

// One of the six player slots of a mission. The setters keep the skill rule
// and mark the project modified when they store a change; an index past an
// array is refused with 0.
class CPlayerData : public CPlayerDataB {
public:
    uint32_t Active = 0;        // non-zero: the slot takes part
    uint8_t ExtraByte = 0;      // kept and saved as it is
    uint16_t ExtraWord = 0;     // kept and saved as it is
    CArmyDataB UnitTypes;       // per unit type: index of the unit in the slot
    CProvince* Capital = nullptr;  // not owned; null = none

    // Back to an unused slot: inactive, no capital, skills 2, 2, 2, human and
    // computer, every array empty.
    void Init();

    // Skill n (0..2). The unchanged level answers 1 and marks the project
    // modified; a level that would bring the sum past 6 answers 0.
    int SetSkill(uint8_t n, uint8_t level);
    // These answer 0 for an unchanged value (or an index past the array),
    // else store it, mark the project modified and answer 1.
    int SetCapital(CProvince* province);
    int SetPlayerType(uint8_t type);
    int SetUnitType(uint8_t n, uint8_t unit);  // compared with the slot's low byte
    int SetArmy(uint8_t n, uint32_t count);
    int SetTreasury(uint8_t n, uint16_t amount);
    void SetActive(uint32_t flag);
    // "Human", "Computer" or "Human & Computer" (exact): 1, else 0. A human
    // player made a computer one takes the first computer-player type of the
    // game data; without one the choice is refused with 0.
    int SetPlayability(std::string_view text);

    // The player's part of the project file; the per-unit-type and
    // per-resource arrays are sized to the project's counts.
    void Serialize(Orv::ISerializer& s);
};
