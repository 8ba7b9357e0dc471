#include "editor/PlayerInspector.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "editor/GridItemKeys.h"
#include "editor/GridRows.h"
#include "editor/Main.h"
#include "inspector/Rminspectoritems.h"

namespace Keys = InspectorKeys;

namespace {

constexpr int kMaxSkillLevel = 4;
constexpr int kMaxTreasury = 0xFFFF;  // the treasury field's width
constexpr int kMaxArmy = 99999;
constexpr int kNameLength = 21;
constexpr uint8_t kMixedOffset = 127;

// The provinces the capital row's choices after "none" stand for, in their
// order; rebuilt with the choices.
std::vector<CProvince*> capitalChoices;

TrmInspector& PlayerGrid() { return *MainForm->RMIPlayer; }

// The row of the key, made of the class when missing, with its caption.
TrmCustomInspectorItem* Row(TrmTreeNonViewNode* parent, std::string_view className, std::string_view key,
                            const std::string& caption) {
    TrmCustomInspectorItem* item = GetOrAddInspectorItem(PlayerGrid(), parent, className, key);
    if (item->GetNode()) item->GetNode()->SetText(caption);
    return item;
}

TrmTreeNonViewNode* Group(std::string_view className, std::string_view key, const std::string& caption) {
    TrmTreeNonViewNode* node = Row(nullptr, className, key, caption)->GetNode();
    if (node) node->SetExpanded(true);
    return node;
}

void NumberRow(TrmTreeNonViewNode* parent, std::string_view key, const std::string& caption, int max) {
    if (auto* row = dynamic_cast<TrmIntegerInspectorItem*>(Row(parent, "TrmSafeIntegerInspectorItem", key, caption))) {
        row->SetMaxValue(max);
        row->SetMinValue(0);
    }
}

template <typename Item>
Item* Find(std::string_view key) {
    return dynamic_cast<Item*>(PlayerGrid().GetItemByName(key));
}

std::string UnitName(const CStringTable* table, uint32_t unit) {
    return table ? table->GetUnitName(static_cast<uint8_t>(unit)) : std::string();
}

// The names of the units a non-standard slot may hold.
void FillUnitChoices(const CMapProject& project, const CStringTable* table, TStrings& choices) {
    choices.Clear();
    for (int u = project.NumStandardUnits; u < project.NumUnitTypesLoaded; ++u)
        choices.Add(UnitName(table, static_cast<uint32_t>(u)));
}

std::string PlayabilityText(uint8_t type) {
    if (type == 0) return Keys::PlayabHuman;
    return type <= kMixedOffset ? Keys::PlayabComputer : Keys::PlayabHumanComputer;
}

// "none", then the provinces player n owns in the list's order; only those
// on the map when onMapOnly.
void FillCapitalChoices(TrmComboInspectorItem& row, const CMapProject& project, uint8_t n, bool onMapOnly) {
    const CStringTable* table = thorn::StringTableInUse();
    TStrings& choices = row.GetItems();
    choices.Clear();
    capitalChoices.clear();
    choices.Add(table ? table->GetProvinceName(nullptr) : std::string("none"));
    for (uint16_t i = 0; i < project.Provinces.GetCount(); ++i) {
        CProvince* province = project.Provinces.GetAt(static_cast<uint8_t>(i));
        if (province->Owner != n || (onMapOnly && province->BoundToPiece == 0)) continue;
        choices.Add(table ? table->GetProvinceName(province) : std::string());
        capitalChoices.push_back(province);
    }
}

std::string CapitalName(const CPlayerData& player) {
    const CStringTable* table = thorn::StringTableInUse();
    return table ? table->GetProvinceName(player.Capital) : std::string("none");
}

}  // namespace

void FillPlayerInspector() {
    if (!MainForm || !MapProject) return;
    const CMapProject& project = *MapProject;
    const CStringTable* table = thorn::StringTableInUse();
    auto name = [table](std::string (CStringTable::*get)(uint8_t) const, int i) {
        return table ? (table->*get)(static_cast<uint8_t>(i)) : std::string();
    };

    Row(nullptr, "TrmCheckBoxInspectorItem", Keys::Active, Keys::ActiveCaption);
    if (auto* row = dynamic_cast<TrmStringInspectorItem*>(
            Row(nullptr, "TrmStringInspectorItem", Keys::Name, Keys::NameCaption)))
        row->SetMaxLength(kNameLength);

    TrmTreeNonViewNode* skills = Group("TrmNodeInspectorItem", Keys::Skills, Keys::SkillsCaption);
    for (int i = 0; i < CPlayerDataB::kSkillCount; ++i)
        NumberRow(skills, thorn::NumberedKey(Keys::SkillN, i), name(&CStringTable::GetSkillName, i), kMaxSkillLevel);

    Row(nullptr, "TrmComboInspectorItem", Keys::Capital, Keys::CapitalCaption);
    if (auto* row = dynamic_cast<TrmComboInspectorItem*>(
            Row(nullptr, "TrmComboInspectorItem", Keys::Playab, Keys::PlayabCaption))) {
        TStrings& choices = row->GetItems();
        choices.Clear();
        for (const char* choice : {Keys::PlayabHuman, Keys::PlayabComputer, Keys::PlayabHumanComputer})
            choices.Add(choice);
    }

    TrmTreeNonViewNode* treasury = Group("TrmNodeInspectorItem", Keys::ResT, Keys::ResTCaption);
    for (int i = 0; i < project.NumResources; ++i)
        NumberRow(treasury, thorn::NumberedKey(Keys::PlResN, i), name(&CStringTable::GetResourceName, i), kMaxTreasury);

    TrmTreeNonViewNode* units = Group("TrmBlankInspectorItem", Keys::UnitT, Keys::UnitTCaption);
    for (int i = 0; i < project.UnitTypeCount(); ++i) {
        const std::string key = thorn::NumberedKey(Keys::UnitN, i);
        const std::string caption = thorn::NumberedKey(Keys::UnitNCaption, i + 1);
        if (i < project.NumStandardUnits) {
            // A standard slot always holds its own unit: shown, not chosen.
            Row(units, "TrmBlankInspectorItem", key, caption)->SetStringValue(name(&CStringTable::GetUnitName, i));
        } else if (auto* row = dynamic_cast<TrmComboInspectorItem*>(Row(units, "TrmComboInspectorItem", key, caption))) {
            FillUnitChoices(project, table, row->GetItems());
        }
    }

    TrmTreeNonViewNode* army = Group("TrmNodeInspectorItem", Keys::Army, Keys::PlayerArmyCaption);
    for (int i = 0; i < project.UnitTypeCount(); ++i) NumberRow(army, thorn::NumberedKey(Keys::ArmyN, i), {}, kMaxArmy);

    ShowAiTypeItem(true);
    PlayerGrid().Invalidate();
}

void UpdatePlayerInspector(CMapProject& project, uint8_t n) {
    if (n >= CMapProject::kMaxPlayers || !MainForm) return;
    MainForm->LVPlayers->SetTag(n);
    CPlayerData& player = project.Players[n];
    const CStringTable* table = project.Tables.GetAt(project.CurrentStringTable);

    if (auto* row = Find<TrmCheckBoxInspectorItem>(Keys::Active)) row->SetValue(player.Active != 0);
    if (auto* row = Find<TrmCustomInspectorItem>(Keys::Name))
        row->SetStringValue(table ? table->GetPlayerName(n) : std::string());
    for (int k = 0; k < CPlayerDataB::kSkillCount; ++k)
        if (auto* row = Find<TrmCustomInspectorItem>(thorn::NumberedKey(Keys::SkillN, k)))
            thorn::ShowNumber(*row, player.Skills[static_cast<size_t>(k)]);
    if (auto* row = Find<TrmComboInspectorItem>(Keys::Capital)) {
        // Only a province on the map can be chosen; the capital itself is
        // named even when it is not.
        FillCapitalChoices(*row, project, n, true);
        row->SetValue(CapitalName(player));
    }
    if (auto* row = Find<TrmCustomInspectorItem>(Keys::Playab)) {
        row->SetStringValue(PlayabilityText(player.PlayerType));
        ShowAiTypeItem(player.PlayerType != 0);
    }
    for (int r = 0; r < project.NumResources && r < player.Treasury.GetCount(); ++r)
        if (auto* row = Find<TrmCustomInspectorItem>(thorn::NumberedKey(Keys::PlResN, r)))
            thorn::ShowNumber(*row, player.Treasury[r]);
    for (int u = 0; u < project.UnitTypeCount() && u < player.UnitTypes.GetCount(); ++u) {
        const std::string unit = UnitName(table, player.UnitTypes[u] & 0xFF);
        if (auto* row = Find<TrmCustomInspectorItem>(thorn::NumberedKey(Keys::UnitN, u))) row->SetStringValue(unit);
        if (auto* row = Find<TrmCustomInspectorItem>(thorn::NumberedKey(Keys::ArmyN, u))) {
            if (u < player.CampaignArmy.GetCount()) thorn::ShowNumber(*row, player.CampaignArmy[u]);
            if (row->GetNode()) row->GetNode()->SetText(unit);
        }
    }
    UpdateAiTypeItem(n);
    PlayerGrid().Invalidate();
}

void ShowAiTypeItem(bool show) {
    if (!MainForm || !MapProject) return;
    TrmInspector& grid = PlayerGrid();
    const bool shown = grid.GetItemByName(Keys::PlType) != nullptr;
    if (!show) {
        if (shown) grid.RemoveItem(Keys::PlType);
        return;
    }
    TrmCustomInspectorItem* playability = grid.GetItemByName(Keys::Playab);
    if (shown || !playability || !playability->GetNode()) return;
    playability->GetNode()->SetExpanded(true);
    auto* row = dynamic_cast<TrmComboInspectorItem*>(
        Row(playability->GetNode(), "TrmComboInspectorItem", Keys::PlType, Keys::PlTypeCaption));
    if (!row) return;
    TStrings& choices = row->GetItems();
    choices.Clear();
    MapProject->ComputerPlayerTypes.ForEach([&](const CAbilityStruct& kind) { choices.Add(kind.Name); });
    grid.Invalidate();
}

void UpdateAiTypeItem(uint8_t slot) {
    if (slot >= CMapProject::kMaxPlayers || !MainForm || !MapProject) return;
    TrmCustomInspectorItem* row = PlayerGrid().GetItemByName(Keys::PlType);
    if (!row || slot >= MapProject->Players.GetCount()) return;
    const uint8_t type = MapProject->Players[slot].PlayerType;
    row->SetStringValue(GetAiTypeName(*MapProject, type <= kMixedOffset ? type : type - kMixedOffset));
}

std::string GetAiTypeName(const CMapProject& project, uint16_t id) {
    std::string name;
    bool found = false;
    project.ComputerPlayerTypes.ForEach([&](const CAbilityStruct& kind) {
        if (found || static_cast<uint16_t>(kind.Value) != id) return;
        name = kind.Name;
        found = true;
    });
    return name;
}

uint16_t FindAiTypeId(const CMapProject& project, std::string_view name) {
    uint16_t id = 0xFFFF;
    project.ComputerPlayerTypes.ForEach([&](const CAbilityStruct& kind) {
        if (id == 0xFFFF && kind.Name == name) id = static_cast<uint16_t>(kind.Value);
    });
    return id;
}

void RefreshCapitalItem() {
    if (!MainForm || !MapProject) return;
    const auto n = static_cast<uint8_t>(MainForm->LVPlayers->GetItemIndex());
    PlayerGrid().SetItemIndex(-1);
    auto* row = Find<TrmComboInspectorItem>(Keys::Capital);
    if (!row || n >= MapProject->Players.GetCount()) return;
    FillCapitalChoices(*row, *MapProject, n, false);
    row->SetValue(CapitalName(MapProject->Players[n]));
}

namespace thorn {

bool CapitalChoice(int index, CProvince*& province) {
    province = nullptr;
    if (index == 0) return true;
    if (index < 0 || static_cast<size_t>(index) > capitalChoices.size() || !MapProject) return false;
    province = capitalChoices[static_cast<size_t>(index) - 1];
    return MapProject->Provinces.IndexOf(province) != CProvinceList::kNone;
}

void ShowNumber(TrmCustomInspectorItem& item, int64_t value) {
    auto* number = dynamic_cast<TrmIntegerInspectorItem*>(&item);
    if (!number) {
        item.SetStringValue(std::to_string(value));
        return;
    }
    const bool ranged = number->GetUseRange();
    number->SetUseRange(false);
    number->SetValue(static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX)));
    number->SetUseRange(ranged);
}

}  // namespace thorn
