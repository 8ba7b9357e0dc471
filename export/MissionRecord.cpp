#include "export/MissionRecord.h"

#include <array>
#include <set>
#include <string>
#include <vector>

#include "export/AnsiText.h"
#include "export/ExportFiles.h"
#include "export/PieceProvinces.h"
#include "export/Validation.h"
#include "model/mapproject.h"

namespace {

constexpr uint8_t kNone = 255;
constexpr size_t kResourceCodeLength = 4;

// Exported player number per slot; 255 for an inactive slot.
using Renumbering = std::array<uint8_t, CMapProject::kMaxPlayers>;

uint8_t Renumbered(const Renumbering& renumbering, uint8_t slot) {
    return slot < renumbering.size() ? renumbering[slot] : kNone;
}

// Element i of the array, 0 past its end.
template <typename T>
T ValueAt(const Orv::CSimpleArray<T>& array, int i) {
    return i < array.GetCount() ? array[i] : T{};
}

const CStringTable& CurrentTable(const CMapProject& project) {
    const CStringTable* table = project.Tables.GetAt(project.CurrentStringTable);
    if (!table) throw thorn::ExportError("the mission has no texts");
    return *table;
}

void FillHeader(const CMapProject& project, const CStringTable& table, PdaMission& mission) {
    CMapProjectB& record = mission.Record;
    record.MissionId = project.MissionId;
    record.ResourceCodes.SetSize(project.NumResources);
    for (int i = 0; i < project.NumResources; ++i) {
        const std::string name = table.GetResourceName(static_cast<uint8_t>(i));
        record.ResourceCodes[i] = Orv::CString(thorn::AnsiLowerCase(name.substr(0, kResourceCodeLength)));
    }
    mission.UnitTypeCount = static_cast<uint8_t>(project.NumStandardUnits + project.NumNonStandardUnits);
    record.ExperienceLimit = project.ExperienceLimit;
}

Renumbering FillPlayers(const CMapProject& project, const CStringTable& table, PdaMission& mission) {
    Renumbering renumbering;
    renumbering.fill(kNone);
    const int unitTypes = mission.UnitTypeCount;
    CMapProjectB& record = mission.Record;
    record.GamePlayers.SetSize(CountActivePlayers(project));
    uint8_t k = 0;
    const uint32_t slots = static_cast<uint8_t>(project.Players.GetCount());
    for (uint32_t s = 0; s < slots; ++s) {
        const CPlayerData& player = project.Players[s];
        if (!player.Active) continue;
        if (s < renumbering.size()) renumbering[s] = k;
        CPlayerDataB& out = record.GamePlayers[k];
        out.PlayerNumber = k;
        out.CapitalIndex = player.Capital ? project.Provinces.IndexOf(player.Capital) : kNone;
        out.Skills = player.Skills;
        out.PlayerType = player.PlayerType;
        out.TypeExtra = player.TypeExtra;
        out.CampaignArmy.SetSize(unitTypes);
        out.UnitNames.SetSize(unitTypes);
        for (int j = 0; j < unitTypes; ++j) {
            out.CampaignArmy[j] = ValueAt(player.CampaignArmy, j);
            // A slot the player never filled names no unit.
            if (j < player.UnitTypes.GetCount())
                out.UnitNames[j] = Orv::CString(table.GetUnitName(static_cast<uint8_t>(player.UnitTypes[j])));
        }
        out.Treasury.SetSize(project.NumResources);
        for (int r = 0; r < project.NumResources; ++r) out.Treasury[r] = ValueAt(player.Treasury, r);
        ++k;
    }
    return renumbering;
}

void FillConditions(const CMapProject& project, const Renumbering& renumbering, PdaMission& mission) {
    CMapProjectB& record = mission.Record;
    record.VictoryConds = project.VictoryConds;
    uint8_t& toDefeat = record.VictoryConds.Data.PlayerToDefeat;
    if (toDefeat != kNone) toDefeat = Renumbered(renumbering, toDefeat);
    record.LoseConds = project.LoseConds;
}

void FillProvince(const CMapProject& project, const CProvince& province, const Renumbering& renumbering,
                  const std::vector<uint8_t>& provinceOfPiece, int unitTypes, CProvinceB& out) {
    const CProvinceMap* piece = province.MapPieceIndex >= 0 && province.MapPieceIndex < project.MapPieces.GetCount()
                                    ? project.MapPieces.GetAt(static_cast<uint16_t>(province.MapPieceIndex))
                                    : nullptr;
    if (!piece)
        throw thorn::ExportError(thorn::Joined({"the province #", std::to_string(project.Provinces.IndexOf(&province) + 1),
                                                " is not bound to a map piece"}));
    out.Resources.SetSize(project.NumResources);
    for (int r = 0; r < project.NumResources; ++r) out.Resources[r] = ValueAt(province.Resources, r);
    out.Owner = province.Owner == kNone ? kNone : Renumbered(renumbering, province.Owner);
    out.HasCastleData = province.Castle.Flags & CCastleDataB::kPresent;
    out.Castle = province.Castle;
    // The editor keeps icon places relative to the piece's box; the game
    // takes world pixels.
    out.CastleX = static_cast<uint16_t>(province.CastleX + piece->Left);
    out.CastleY = static_cast<uint16_t>(province.CastleY + piece->Top);
    out.ArmyX = static_cast<uint16_t>(province.ArmyX + piece->Left);
    out.ArmyY = static_cast<uint16_t>(province.ArmyY + piece->Top);
    out.PieceBounds = {piece->Left, piece->Top, piece->Right, piece->Bottom};

    out.GuardianArmy.SetSize(unitTypes);
    uint32_t any = 0;
    for (int j = 0; j < unitTypes; ++j) {
        out.GuardianArmy[j] = ValueAt(province.GuardianArmy, j);
        any |= out.GuardianArmy[j];
    }
    out.HasArmy = any != 0 ? 1 : 0;

    std::set<uint8_t> neighbours;
    for (uint16_t n : piece->Neighbours)
        if (n < provinceOfPiece.size() && provinceOfPiece[n] != kNone) neighbours.insert(provinceOfPiece[n]);
    out.NeighbourCount = static_cast<uint8_t>(neighbours.size());
    out.Neighbours.SetSize(out.NeighbourCount);
    int i = 0;
    for (auto it = neighbours.rbegin(); it != neighbours.rend(); ++it) out.Neighbours[i++] = *it;
}

void FillEvents(const CMapProject& project, PdaMission& mission) {
    CMapProjectB& record = mission.Record;
    const int players = record.GamePlayers.GetCount();
    record.GameEvents.SetSize(project.Events.CountEnabled());
    int e = 0;
    for (uint16_t i = 0; i < project.Events.GetCount(); ++i) {
        const CEvent& event = *project.Events.GetAt(i);
        if (!event.Enabled) continue;
        CEventB& out = record.GameEvents[e++];
        out.Turn = event.Turn;
        out.EffectType = event.EffectType;
        out.Resources.Increase = event.Resources.Increase;
        out.Resources.Decrease = event.Resources.Decrease;
        // Every exported event applies to every exported player.
        out.PlayerFlags.SetSize(players);
        for (uint8_t& flag : out.PlayerFlags) flag = 1;
    }
}

}  // namespace

PdaMission BuildPdaMission(const CMapProject& project) {
    const CStringTable& table = CurrentTable(project);
    PdaMission mission;
    FillHeader(project, table, mission);
    const Renumbering renumbering = FillPlayers(project, table, mission);
    FillConditions(project, renumbering, mission);

    const std::vector<uint8_t> provinceOfPiece = thorn::ProvinceOfEachPiece(project);
    const uint8_t provinceCount = static_cast<uint8_t>(project.Provinces.GetCount());
    mission.Record.GameProvinces.SetSize(provinceCount);
    for (uint8_t i = 0; i < provinceCount; ++i)
        FillProvince(project, *project.Provinces.GetAt(i), renumbering, provinceOfPiece, mission.UnitTypeCount,
                     mission.Record.GameProvinces[i]);
    FillEvents(project, mission);
    return mission;
}
