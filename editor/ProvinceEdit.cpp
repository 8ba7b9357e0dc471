#include "editor/ProvinceEdit.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "editor/GridItemKeys.h"
#include "editor/GridRows.h"
#include "editor/Main.h"
#include "editor/Missionframe.h"
#include "editor/PlayerCapital.h"
#include "editor/PlayerInspector.h"
#include "editor/ProvinceGridRows.h"
#include "editor/ProvinceInspector.h"
#include "editor/ProvinceSelection.h"
#include "editor/SelectionInfo.h"
#include "gui/ComboBox.h"
#include "inspector/Rminspectoritems.h"
#include "model/StringTable.h"

namespace keys = InspectorKeys;

namespace {

// The guardian army never passes this, whatever the row allows.
constexpr int64_t kMaxGuardianCount = 0x10000;
constexpr uint8_t kMaxResourceValue = 255;
constexpr std::array<uint8_t, 5> kHitPoints{0, 25, 50, 75, 100};

struct Building {
    const char* key;
    uint8_t mask;
};
constexpr std::array<Building, 4> kBuildings{{{keys::CastMar, CCastleDataB::kMarket},
                                              {keys::CastBan, CCastleDataB::kBank},
                                              {keys::CastMetlMine, CCastleDataB::kMetalMine},
                                              {keys::CastStonMine, CCastleDataB::kStoneMine}}};

// The entry a choice row's edit stands for: the chosen place when it holds
// the text, else the first entry of that text.
int ChoiceOf(TrmCustomInspectorItem& item, std::string_view text, int choice) {
    auto* combo = dynamic_cast<TrmComboInspectorItem*>(&item);
    if (!combo) return -1;
    const TStringList& entries = combo->GetItems();
    if (choice >= 0 && choice < entries.GetCount() && entries[choice] == text) return choice;
    return entries.IndexOf(text);
}

void ApplyCheck(TrmCustomInspectorItem& item, CSelect& selection, int (*apply)(CSelect&, uint8_t)) {
    auto* box = dynamic_cast<TrmCheckBoxExInspectorItem*>(&item);
    if (!box || box->GetState() == cbxUndefined) return;
    apply(selection, box->GetState() == cbxTrue ? 1 : 0);
}

void ApplyCastle(CSelect& selection, TrmCustomInspectorItem& item) {
    auto* box = dynamic_cast<TrmCheckBoxExInspectorItem*>(&item);
    if (!box || box->GetState() == cbxUndefined) return;
    SetSelectionHasCastle(selection, box->GetState() == cbxTrue ? 1 : 0);
    RefreshCapitalItem();
    FillSelectionCastleItems(selection);
}

void ApplyName(CSelect& selection, TrmCustomInspectorItem& item, std::string_view text) {
    CProvince* province = GetSingleSelectedProvince(selection);
    CStringTable* table = thorn::StringTableInUse();
    if (!text.empty() && province && table && table->SetProvinceName(province, text)) {
        if (MissFrame) MissFrame->RMIMission->SetItemIndex(-1);
        if (TListItem* row = MainForm->LVProvinces->FindData(0, province, true, false))
            row->SetCaption(std::string(text));
        MapProject->UpdateProvinceLabel(province);
        if (MissFrame) {
            MissFrame->RefreshVictoryConds();
            MissFrame->RefreshLoseConds();
        }
        MapProject->ErrorList.FillListView();
        // The player grid names its capital choices by province.
        RefreshCapitalItem();
    }
    // A refused name stays in the editor: a name typed key by key passes
    // through names other provinces bear ("Ash" on the way to "Ashford").
    // The row shows the stored name again once it is left.
}

void ApplyOwner(CSelect& selection, TrmCustomInspectorItem& item, std::string_view text, int choice) {
    if (text.empty()) return;
    std::optional<uint8_t> owner = thorn::OwnerOfChoice(ChoiceOf(item, text, choice));
    if (!owner) {
        const CStringTable* table = thorn::StringTableInUse();
        const uint8_t found = table ? table->FindPlayerName(text) : CStringTable::kNotFound;
        owner = found < CMapProject::kMaxPlayers ? found : CProvinceB::kNoOwner;
    }
    SetSelectionOwner(selection, *owner);
    item.SetStringValue(std::string(text));
    RefreshSelectionArmyItems(selection);
    RefreshCapitalItem();
}

// The stored hit points shown again for a choice that stores nothing.
void ApplyHitPoints(CSelect& selection, TrmCustomInspectorItem& item, std::string_view text, int choice) {
    const int index = ChoiceOf(item, text, choice);
    if (index > 0 && index < static_cast<int>(kHitPoints.size()))
        SetSelectionCastleHP(selection, kHitPoints[static_cast<size_t>(index)]);
    else
        FillSelectionCastleItems(selection);
}

void ApplyCatapults(CSelect& selection, TrmCustomInspectorItem& item, std::string_view text, int choice) {
    int index = ChoiceOf(item, text, choice);
    if (index < 0) {
        const std::optional<int64_t> number = thorn::TypedNumber(text);
        if (!number || *number < 0 || *number > CCastleDataB::kMaxCatapults) return;
        index = static_cast<int>(*number);
    }
    SetSelectionCatapults(selection, static_cast<uint8_t>(index));
    item.SetStringValue(std::string(text));
}

void ShowStored(TrmCustomInspectorItem& item, int64_t value) {
    auto* row = dynamic_cast<TrmSafeIntegerInspectorItem*>(&item);
    if (!row) return;
    const bool ranged = row->GetUseRange();
    row->SetUseRange(false);
    row->SetStringValue(std::to_string(value));
    row->SetUseRange(ranged);
}

void ApplyGuardianArmy(CSelect& selection, TrmCustomInspectorItem& item, int unitType, std::string_view text) {
    const std::optional<int64_t> number = thorn::TypedNumber(text);
    auto* row = dynamic_cast<TrmSafeIntegerInspectorItem*>(&item);
    if (!number || !row || unitType >= MapProject->UnitTypeCount()) return;
    const int64_t low = std::max<int64_t>(row->GetMinValue(), 0);
    const int64_t high = std::max(low, std::min<int64_t>(row->GetMaxValue(), kMaxGuardianCount));
    const int64_t count = std::clamp(*number, low, high);
    SetSelectionGuardianArmy(selection, static_cast<uint8_t>(unitType), static_cast<uint32_t>(count));
    ShowStored(item, count);
}

void ApplyResource(CSelect& selection, TrmCustomInspectorItem& item, int resource, std::string_view text) {
    const std::optional<int64_t> number = thorn::TypedNumber(text);
    if (!number || resource >= MapProject->ResourceCount()) return;
    const size_t r = static_cast<size_t>(resource);
    const int64_t low = std::clamp<int64_t>(MapProject->ResourceMin[r], 0, kMaxResourceValue);
    const int64_t high = std::clamp<int64_t>(MapProject->ResourceMax[r], low, kMaxResourceValue);
    const int64_t value = std::clamp(*number, low, high);
    SetSelectionResource(selection, static_cast<uint8_t>(resource), static_cast<uint16_t>(value));
    ShowStored(item, value);
}

}  // namespace

void ApplyProvinceItemChange(CSelect& selection, TrmCustomInspectorItem& item, std::string_view text, int choice) {
    if (!MapProject || !MainForm) return;
    const std::string& name = item.GetName();
    if (name.empty()) return;
    if (name == keys::Castle) return ApplyCastle(selection, item);
    if (name == keys::CastMoat) return ApplyCheck(item, selection, SetSelectionMoat);
    if (name == keys::CastWalls) return ApplyCheck(item, selection, SetSelectionWalls);
    for (const Building& building : kBuildings)
        if (name == building.key) {
            auto* box = dynamic_cast<TrmCheckBoxExInspectorItem*>(&item);
            if (box && box->GetState() != cbxUndefined)
                SetSelectionBuilding(selection, building.mask, box->GetState() == cbxTrue ? 1 : 0);
            return;
        }
    if (name == keys::ProvName) return ApplyName(selection, item, text);
    if (name == keys::Owner) return ApplyOwner(selection, item, text, choice);
    if (name == keys::CastHP) return ApplyHitPoints(selection, item, text, choice);
    if (name == keys::CastCat) return ApplyCatapults(selection, item, text, choice);
    if (const std::optional<int> unitType = thorn::KeyNumber(keys::ArmyN, name))
        return ApplyGuardianArmy(selection, item, *unitType, text);
    if (const std::optional<int> resource = thorn::KeyNumber(keys::ResN, name))
        return ApplyResource(selection, item, *resource, text);
}

void ShowStoredProvinceName() {
    TrmInspector* grid = thorn::ProvinceGrid();
    TrmCustomInspectorItem* name = grid ? grid->GetItemByName(keys::ProvName) : nullptr;
    if (!name || !MapProject) return;
    const std::string stored = MapProject->CurrentProvinceName(GetSingleSelectedProvince(MapProject->Selection));
    if (name->GetAsString() != stored) name->SetStringValue(stored);
}

void TMainForm::RMIProvinceItemChange(TObject* sender) {
    TWinControl* editor = RMIProvince->GetEditor();
    TrmCustomInspectorItem* item = RMIProvince->GetCurrentInspectorItem();
    if (RMIProvince->GetItemIndex() == -1 || !item || !editor || !MapProject) return;
    const std::string text = thorn::TypedText(*editor);
    const auto* combo = dynamic_cast<const TCustomComboBox*>(editor);
    ApplyProvinceItemChange(MapProject->Selection, *item, text, combo ? combo->GetItemIndex() : -1);
    if (!MapProject) return;
    MapProject->UpdateAllLabels();
    RefreshSelectionInfo(CProvinceB::kNoOwner);
}
