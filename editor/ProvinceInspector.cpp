#include "editor/ProvinceInspector.h"

#include <algorithm>
#include <optional>
#include <string>

#include "editor/GridItemKeys.h"
#include "editor/GridRows.h"
#include "editor/Main.h"
#include "editor/ProvinceGridRows.h"
#include "editor/ProvinceSelection.h"
#include "inspector/Rminspectoritems.h"
#include "model/StringTable.h"

namespace keys = InspectorKeys;

namespace {

constexpr uint8_t kProvinceNameLength = 16;
constexpr int kHitPointsStep = 25;

// Busy for the life of the scope, as it was before.
class BusyScope {
public:
    explicit BusyScope(CSelect& selection) : selection_(selection), before_(selection.Busy) { selection.Busy = 1; }
    ~BusyScope() { selection_.Busy = before_; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    CSelect& selection_;
    uint32_t before_;
};

TrmCustomInspectorItem* Row(std::string_view key) {
    TrmInspector* grid = thorn::ProvinceGrid();
    return grid ? grid->GetItemByName(key) : nullptr;
}

void SetText(std::string_view key, const std::string& text) {
    if (TrmCustomInspectorItem* row = Row(key)) row->SetStringValue(text);
}

// A number row shows the model's value even where it lies outside the
// row's limits (a project file may hold one); empty for none.
void ShowNumber(std::string_view key, std::optional<int64_t> value) {
    auto* row = dynamic_cast<TrmSafeIntegerInspectorItem*>(Row(key));
    if (!row) return;
    const bool ranged = row->GetUseRange();
    row->SetUseRange(false);
    row->SetStringValue(value ? std::to_string(*value) : std::string());
    row->SetUseRange(ranged);
}

// Limits set in the order each is taken: a row keeps its minimum below its
// maximum.
void SetLimits(std::string_view key, int32_t minimum, int32_t maximum) {
    auto* row = dynamic_cast<TrmSafeIntegerInspectorItem*>(Row(key));
    if (!row) return;
    if (minimum >= row->GetMaxValue()) {
        row->SetMaxValue(maximum);
        row->SetMinValue(minimum);
    } else {
        row->SetMinValue(minimum);
        row->SetMaxValue(maximum);
    }
}

void SetState(std::string_view key, uint8_t common) {
    if (auto* row = dynamic_cast<TrmCheckBoxExInspectorItem*>(Row(key)))
        row->SetState(common == kMixedByte ? cbxUndefined : common != 0 ? cbxTrue : cbxFalse);
}

// The choice at index of a combo row, or the number itself past its choices.
std::string ChoiceText(std::string_view key, int index) {
    auto* row = dynamic_cast<TrmComboInspectorItem*>(Row(key));
    if (row && index >= 0 && index < row->GetItems().GetCount()) return row->GetItems()[index];
    return std::to_string(index);
}

std::string PlayerName(uint8_t owner) {
    const CStringTable* table = thorn::StringTableInUse();
    return table ? table->GetPlayerName(owner) : std::string("none");
}

// The unit placed in the owner's slot u, by its name.
std::string SlotUnitName(uint8_t owner, int u) {
    const CStringTable* table = thorn::StringTableInUse();
    const CPlayerData* player = MapProject ? MapProject->PlayerAt(owner) : nullptr;
    if (!table || !player || u >= static_cast<int>(player->UnitTypes.GetCount())) return {};
    return table->GetUnitName(static_cast<uint8_t>(player->UnitTypes[u] & 0xFF));
}

void FillResourceRows(const CSelect& selection) {
    for (int r = 0; r < MapProject->ResourceCount(); ++r) {
        const std::string key = thorn::NumberedKey(keys::ResN, r);
        const size_t i = static_cast<size_t>(r);
        if (i < MapProject->ResourceMin.size()) SetLimits(key, MapProject->ResourceMin[i], MapProject->ResourceMax[i]);
        const uint16_t common = GetSelectionCommonResource(selection, static_cast<uint8_t>(r));
        ShowNumber(key, common == kMixedResource ? std::nullopt : std::optional<int64_t>(common));
    }
}

void FillArmyRows(const CSelect& selection, uint8_t owner) {
    for (int u = 0; u < MapProject->UnitTypeCount(); ++u) {
        const std::string key = thorn::NumberedKey(keys::ArmyN, u);
        if (TrmCustomInspectorItem* row = Row(key)) row->GetNode()->SetText(SlotUnitName(owner, u));
        const uint32_t common = GetSelectionCommonArmy(selection, static_cast<uint8_t>(u));
        ShowNumber(key, common == kMixedArmy ? std::nullopt : std::optional<int64_t>(common));
    }
}

}  // namespace

void RefreshProvinceInspector(CSelect& selection) {
    TrmInspector* grid = thorn::ProvinceGrid();
    if (selection.Busy || selection.GridLink == 0 || !grid || !MapProject) return;
    BusyScope busy(selection);
    const int count = selection.GetCount();
    if (count == 0) {
        grid->SetItemIndex(-1);
        grid->ClearItems();
        TListItems& rows = *MainForm->LVProvinces->GetItems();
        for (int i = 0; i < rows.GetCount(); ++i)
            if (rows[i]->GetSelected()) rows[i]->SetSelected(false);
        return;
    }
    if (count == 1) {
        FillSingleProvinceInspector(selection, *GetSingleSelectedProvince(selection));
        return;
    }
    FillProvinceInspector(selection);
    const uint8_t owner = GetSelectionOwner(selection);
    SetText(keys::Owner, owner == kOwnersDiffer ? std::string() : PlayerName(owner));
    FillResourceRows(selection);
    FillSelectionCastleItems(selection);
    if (owner == kOwnersDiffer || owner == CProvinceB::kNoOwner)
        grid->RemoveItem(keys::Army);
    else
        FillArmyRows(selection, owner);
}

void FillSingleProvinceInspector(CSelect& selection, CProvince& province) {
    TrmInspector* grid = thorn::ProvinceGrid();
    if (!grid || !MapProject) return;
    FillProvinceInspector(selection);
    if (auto* name = dynamic_cast<TrmStringInspectorItem*>(Row(keys::ProvName))) {
        name->SetMaxLength(kProvinceNameLength);
        name->SetStringValue(MapProject->CurrentProvinceName(&province));
    }
    SetText(keys::Owner, PlayerName(province.Owner));
    const CPlayerData* owner = MapProject->PlayerAt(province.Owner);
    if (province.Owner == CProvinceB::kNoOwner || !owner || owner->Active == 0)
        grid->RemoveItem(keys::Army);
    else
        FillArmyRows(selection, province.Owner);
    FillResourceRows(selection);
    if (Row(keys::Castle)) FillSelectionCastleItems(selection);
    grid->Invalidate();
}

void FillSelectionCastleItems(const CSelect& selection) {
    TrmInspector* grid = thorn::ProvinceGrid();
    TrmCustomInspectorItem* castle = Row(keys::Castle);
    if (!grid || !castle) return;
    const uint8_t present = GetSelectionCommonValue(selection, CastleField::Present);
    if (present == 0) {
        SetState(keys::Castle, 0);
        if (castle->GetNode()->GetCount() > 0) grid->ClearNode(castle->GetNode());
        return;
    }
    AddCastleItems();
    castle->GetNode()->SetExpanded(true);
    SetState(keys::Castle, present);

    const uint8_t hp = GetSelectionCommonValue(selection, CastleField::HitPoints);
    SetText(keys::CastHP, hp == kMixedByte ? std::string() : ChoiceText(keys::CastHP, std::min(hp / kHitPointsStep, 4)));
    SetState(keys::CastMoat, GetSelectionCommonValue(selection, CastleField::Moat));
    SetState(keys::CastWalls, GetSelectionCommonValue(selection, CastleField::Walls));
    const uint8_t catapults = GetSelectionCommonValue(selection, CastleField::Catapults);
    SetText(keys::CastCat, catapults == kMixedByte ? std::string() : ChoiceText(keys::CastCat, catapults));
    SetBuildingCheckState(selection, keys::CastMar, CCastleDataB::kMarket);
    SetBuildingCheckState(selection, keys::CastBan, CCastleDataB::kBank);
    SetBuildingCheckState(selection, keys::CastMetlMine, CCastleDataB::kMetalMine);
    SetBuildingCheckState(selection, keys::CastStonMine, CCastleDataB::kStoneMine);
    grid->Invalidate();
}

void SetBuildingCheckState(const CSelect& selection, std::string_view key, uint8_t mask) {
    SetState(key, GetSelectionCommonBuilding(selection, mask));
}

void RefreshSelectionArmyItems(const CSelect& selection) {
    TrmInspector* grid = thorn::ProvinceGrid();
    if (!grid || !MapProject) return;
    const uint8_t owner = GetSelectionOwner(selection);
    TrmCustomInspectorItem* army = Row(keys::Army);
    if (owner == kOwnersDiffer || owner == CProvinceB::kNoOwner) {
        if (army) grid->RemoveNode(army->GetNode());
        return;
    }
    if (army) return;
    AddProvinceArmyItems();
    FillArmyRows(selection, owner);
}
