#include "editor/SelectionInfo.h"

#include <cstdio>
#include <string>
#include <vector>

#include "editor/Main.h"
#include "editor/ProvinceSelection.h"
#include "model/StringTable.h"

namespace {

// What a castle brings in, and its buildings with it.
constexpr uint32_t kCastleGold = 5;
constexpr uint32_t kBankGold = 3;
constexpr uint32_t kMineIncome = 5;
constexpr size_t kUnitNameShown = 4;

const CPlayerData* PlayerOfRow(uint8_t player) {
    if (player == CProvinceB::kNoOwner || !MainForm) return nullptr;
    TListItems& rows = *MainForm->LVPlayers->GetItems();
    if (player >= rows.GetCount()) return nullptr;
    return static_cast<const CPlayerData*>(rows[player]->GetData());
}

void Join(std::string& text, const std::string& name, uint64_t amount) {
    if (!text.empty()) text += ", ";
    text += name + "[" + std::to_string(amount) + "]";
}

}  // namespace

void RefreshSelectionInfo(uint8_t player) {
    if (!MapProject || !MainForm) return;
    const CMapProject& project = *MapProject;
    const int resources = project.ResourceCount();
    const int units = project.UnitTypeCount();
    const CPlayerData* owner = PlayerOfRow(player);

    std::vector<uint64_t> income(static_cast<size_t>(resources), 0);
    std::vector<uint64_t> army(static_cast<size_t>(units), 0);
    if (owner)
        for (int u = 0; u < units && u < static_cast<int>(owner->CampaignArmy.GetCount()); ++u)
            army[static_cast<size_t>(u)] = owner->CampaignArmy[u];

    unsigned provinces = 0, castles = 0;
    for (uint16_t i = 0; i < project.Provinces.GetCount(); ++i) {
        const CProvince* province = project.Provinces.GetAt(static_cast<uint8_t>(i));
        if (!province || !IsProvinceSelected(project.Selection, province)) continue;
        ++provinces;
        const CCastleDataB& castle = province->Castle;
        if (castle.Flags & CCastleDataB::kPresent) {
            ++castles;
            const auto add = [&](int r, uint32_t amount) {
                if (r < resources) income[static_cast<size_t>(r)] += amount;
            };
            add(0, kCastleGold);
            if (castle.Buildings & CCastleDataB::kBank) add(0, kBankGold);
            if (castle.Buildings & CCastleDataB::kMetalMine) add(1, kMineIncome);
            if (castle.Buildings & CCastleDataB::kStoneMine) add(2, kMineIncome);
        }
        for (int r = 0; r < resources && r < static_cast<int>(province->Resources.GetCount()); ++r)
            income[static_cast<size_t>(r)] += province->Resources[r];
        for (int u = 0; u < units && u < static_cast<int>(province->GuardianArmy.GetCount()); ++u)
            army[static_cast<size_t>(u)] += province->GuardianArmy[u];
        if (province->Owner != CProvinceB::kNoOwner)
            if (const CPlayerData* p = MapProject->PlayerAt(province->Owner)) owner = p;
    }

    char summary[64];
    std::snprintf(summary, sizeof summary, "%u Provinces, %u Castles", provinces, castles);
    MainForm->LblDomainSummary->SetCaption(summary);
    MainForm->LblSelProvSummary->SetCaption(summary);

    const CStringTable* names = project.Tables.GetAt(0);
    std::string incomeText;
    for (int r = 0; r < resources; ++r)
        Join(incomeText, names ? names->GetResourceName(static_cast<uint8_t>(r)) : std::string(),
             income[static_cast<size_t>(r)]);
    MainForm->LblDomainIncome->SetCaption(incomeText);
    MainForm->LblSelProvIncome->SetCaption(incomeText);

    std::string armyText;
    for (int u = 0; u < units; ++u) {
        uint8_t unit = static_cast<uint8_t>(u);
        if (owner && u < static_cast<int>(owner->UnitTypes.GetCount()))
            unit = static_cast<uint8_t>(owner->UnitTypes[u] & 0xFF);
        const std::string name = names ? names->GetUnitName(unit) : std::string();
        Join(armyText, name.substr(0, kUnitNameShown), army[static_cast<size_t>(u)]);
    }
    MainForm->LblDomainArmy->SetCaption(armyText);
    MainForm->LblSelProvArmy->SetCaption(armyText);
}

void ClearSelectionInfo() {
    if (!MainForm) return;
    TMainForm& f = *MainForm.Get();
    for (TLabel* label : {f.LblDomainSummary, f.LblSelProvSummary, f.LblDomainIncome, f.LblSelProvIncome,
                          f.LblDomainArmy, f.LblSelProvArmy})
        label->SetCaption({});
}
