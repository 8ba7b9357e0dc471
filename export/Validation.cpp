#include "export/Validation.h"

#include <string>

#include "export/ExportFiles.h"
#include "model/mapproject.h"

namespace {

constexpr uint8_t kNone = 255;

// The player slots visited: the list's count taken as a byte.
uint32_t SlotCount(const CMapProject& project) { return static_cast<uint8_t>(project.Players.GetCount()); }

const CPlayerData& Slot(const CMapProject& project, uint32_t i) { return project.Players[i]; }

bool IsActiveSlot(const CMapProject& project, uint32_t slot) {
    return slot < SlotCount(project) && Slot(project, slot).Active != 0;
}

bool IsHumanType(uint8_t type) { return type == 0 || type >= 128; }

template <typename Array>
uint32_t Sum(const Array& amounts) {
    uint32_t sum = 0;
    for (auto amount : amounts) sum += amount;
    return sum;
}

// The checks the game's rules ask for, in their order.
std::string GameRuleFailure(const CMapProject& project) {
    if (CountActivePlayers(project) < 2) return "number of Active Players must be greater than 1";
    if (HasHumanPlayer(project) == 0) return "there is no Human or H/C players in the mission";
    for (uint32_t i = 0; i < SlotCount(project); ++i) {
        const CPlayerData& player = Slot(project, i);
        if (player.Active && player.Capital == nullptr) return thorn::Joined({"Capital is not set for player #", std::to_string(i + 1)});
    }
    const CVictoryCondsB& victory = project.VictoryConds;
    const CVictoryCondsB::VData& goal = victory.Data;
    switch (victory.VictoryType) {
    case CVictoryCondsB::DefeatPlayer:
        if (goal.PlayerToDefeat == kNone) return "DefeatPlayer is not defined in additional victory conditions";
        break;
    case CVictoryCondsB::AccumulateArmy:
        if (Sum(goal.Army.Units) == 0)
            return "whole amount of units in additional victory conditions must be greater than 0";
        break;
    case CVictoryCondsB::AccumulateResources:
        if (Sum(goal.Resources.Amounts) == 0)
            return "whole amount of resources in additional victory conditions must be greater than 0";
        break;
    case CVictoryCondsB::CaptureProvince:
        if (goal.ProvinceToCapture == kNone) return "Province is not defined in additional victory conditions";
        break;
    default:
        break;
    }
    const CLoseCondsB& lose = project.LoseConds;
    if (lose.LoseType == CLoseCondsB::LoseProvince && lose.ProvinceToKeep == kNone)
        return "Province is not defined in additional lose conditions";
    if (lose.LoseType == CLoseCondsB::TimeExpires && lose.MaxTurnsToWin < 5)
        return "MaxTurnsToWin in additional lose conditions must be greater then 4";
    return {};
}

std::string ProvinceLabel(const CMapProject& project, uint8_t index) {
    const CStringTable* table = project.Tables.GetAt(project.CurrentStringTable);
    const std::string name = table ? table->ProvinceNames[index] : std::string();
    return name.empty() ? thorn::Joined({"#", std::to_string(index + 1)}) : thorn::Joined({"\"", name, "\""});
}

// What would make the export write a mission the game cannot read.
std::string IntegrityFailure(const CMapProject& project) {
    if (project.Tables.GetAt(project.CurrentStringTable) == nullptr) return "the mission has no texts";
    if (project.WorldWidth > CMapProject::kMaxWorldSide || project.WorldHeight > CMapProject::kMaxWorldSide)
        return "the world is larger than 32640 pixels a side";

    const uint32_t provinceCount = project.Provinces.GetCount();
    for (uint32_t i = 0; i < SlotCount(project); ++i) {
        const CPlayerData& player = Slot(project, i);
        if (player.Active && project.Provinces.IndexOf(player.Capital) == kNone)
            return thorn::Joined({"the Capital of player #", std::to_string(i + 1), " is not one of the provinces"});
    }

    const CVictoryCondsB::VData& goal = project.VictoryConds.Data;
    switch (project.VictoryConds.VictoryType) {
    case CVictoryCondsB::DefeatPlayer:
        if (!IsActiveSlot(project, goal.PlayerToDefeat))
            return "DefeatPlayer in additional victory conditions is not an active player";
        break;
    case CVictoryCondsB::CaptureProvince:
        if (goal.ProvinceToCapture >= provinceCount)
            return "Province in additional victory conditions is not one of the provinces";
        break;
    default:
        break;
    }
    const CLoseCondsB& lose = project.LoseConds;
    if (lose.LoseType == CLoseCondsB::LoseProvince && lose.ProvinceToKeep >= provinceCount)
        return "Province in additional lose conditions is not one of the provinces";

    for (uint32_t i = 0; i < provinceCount; ++i) {
        const CProvince& province = *project.Provinces.GetAt(static_cast<uint8_t>(i));
        if (province.MapPieceIndex < 0 || province.MapPieceIndex >= project.MapPieces.GetCount())
            return thorn::Joined(
                {"the province ", ProvinceLabel(project, static_cast<uint8_t>(i)), " is not bound to a map piece"});
    }
    return {};
}

}  // namespace

uint8_t CountActivePlayers(const CMapProject& project) {
    uint8_t count = 0;
    for (uint32_t i = 0; i < SlotCount(project); ++i)
        if (Slot(project, i).Active) ++count;
    return count;
}

uint8_t HasHumanPlayer(const CMapProject& project) {
    uint8_t count = 0;
    for (uint32_t i = 0; i < SlotCount(project); ++i) {
        const CPlayerData& player = Slot(project, i);
        if (player.Active && IsHumanType(player.PlayerType)) ++count;
    }
    return count;
}

// The game's own rules first, then what the export could not write.
std::string CMapProject::ValidateMission() const {
    std::string failure = GameRuleFailure(*this);
    if (failure.empty()) failure = IntegrityFailure(*this);
    return failure;
}
