#include "model/PlayerData.h"

#include "model/ProjectLink.h"
#include "model/RecordFields.h"

namespace {

constexpr std::string_view kHuman = "Human";
constexpr std::string_view kComputer = "Computer";
constexpr std::string_view kHumanAndComputer = "Human & Computer";
constexpr uint8_t kFirstMixedType = 128;
constexpr uint8_t kMixedOffset = 127;

template <typename T, typename V>
int StoreIfChanged(T& field, V value) {
    if (field == value) return 0;
    field = value;
    thorn::Project().MarkModified();
    return 1;
}

}  // namespace

void CPlayerDataB::SerializeForGame(Orv::ISerializer& s, const thorn::MissionCounts& counts) {
    s.Byte(PlayerNumber);
    s.Byte(CapitalIndex);
    for (uint8_t& level : Skills) s.Byte(level);
    s.Byte(PlayerType);
    s.Byte(TypeExtra);
    thorn::ResizeTo(UnitNames, counts.unitTypes);
    thorn::ResizeTo(CampaignArmy, counts.unitTypes);
    for (int j = 0; j < UnitNames.GetCount(); ++j) {
        s.Dword(CampaignArmy[j]);
        s.String(UnitNames[j]);
    }
    thorn::ResizeTo(Treasury, counts.resources);
    thorn::Elements(s, Treasury);
}

void CPlayerData::Init() {
    Active = 0;
    Capital = nullptr;
    CapitalIndex = kNone;
    Skills = {2, 2, 2};
    PlayerType = kFirstMixedType;
    Treasury.SetSize(0);
    UnitTypes.SetSize(0);
    CampaignArmy.SetSize(0);
    UnitNames.SetSize(0);
}

int CPlayerData::SetSkill(uint8_t n, uint8_t level) {
    if (n >= kSkillCount) return 0;
    if (Skills[n] == level) {
        thorn::Project().MarkModified();
        return 1;
    }
    int sum = Skills[0] + Skills[1] + Skills[2] - Skills[n] + level;
    if (sum > kMaxSkillSum) return 0;
    Skills[n] = level;
    thorn::Project().MarkModified();
    return 1;
}

int CPlayerData::SetCapital(CProvince* province) { return StoreIfChanged(Capital, province); }

int CPlayerData::SetPlayerType(uint8_t type) { return StoreIfChanged(PlayerType, type); }

int CPlayerData::SetUnitType(uint8_t n, uint8_t unit) {
    if (n >= UnitTypes.GetCount()) return 0;
    if (static_cast<uint8_t>(UnitTypes[n]) == unit) return 0;
    UnitTypes[n] = unit;
    thorn::Project().MarkModified();
    return 1;
}

int CPlayerData::SetArmy(uint8_t n, uint32_t count) {
    if (n >= CampaignArmy.GetCount()) return 0;
    return StoreIfChanged(CampaignArmy[n], count);
}

int CPlayerData::SetTreasury(uint8_t n, uint16_t amount) {
    if (n >= Treasury.GetCount()) return 0;
    return StoreIfChanged(Treasury[n], amount);
}

void CPlayerData::SetActive(uint32_t flag) { StoreIfChanged(Active, flag); }

int CPlayerData::SetPlayability(std::string_view text) {
    const uint8_t type = PlayerType;
    if (text == kHuman) {
        SetPlayerType(0);
        return 1;
    }
    const bool computer = text == kComputer;
    if (!computer && text != kHumanAndComputer) return 0;
    if (type == 0) {
        // A human player becomes a computer one of the first computer type;
        // without computer types in the game data there is none to take.
        std::optional<uint32_t> firstId = thorn::Project().FirstComputerPlayerId();
        if (!firstId) return 0;
        uint8_t id = static_cast<uint8_t>(*firstId);
        SetPlayerType(computer ? id : static_cast<uint8_t>(id + kMixedOffset));
    } else if (computer && type >= kFirstMixedType) {
        SetPlayerType(static_cast<uint8_t>(type - kMixedOffset));
    } else if (!computer && type < kFirstMixedType) {
        SetPlayerType(static_cast<uint8_t>(type + kMixedOffset));
    }
    return 1;
}

void CPlayerData::Serialize(Orv::ISerializer& s) {
    const thorn::ProjectLink& project = thorn::Project();
    thorn::SwitchAsByte(s, Active);
    s.Byte(TypeExtra);
    s.Byte(ExtraByte);
    s.Byte(CapitalIndex);
    for (uint8_t& level : Skills) s.Byte(level);
    s.Byte(PlayerType);
    thorn::ResizeTo(UnitTypes, project.UnitTypeCount());
    thorn::ResizeTo(CampaignArmy, project.UnitTypeCount());
    for (int i = 0; i < UnitTypes.GetCount(); ++i) {
        s.Dword(UnitTypes[i]);
        s.Dword(CampaignArmy[i]);
    }
    s.Word(ExtraWord);
    thorn::ResizeTo(Treasury, project.ResourceCount());
    thorn::Elements(s, Treasury);
}
