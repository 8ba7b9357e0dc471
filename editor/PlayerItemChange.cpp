// The player grid's edits, written back into the project: each row's text
// goes through the player's setters, numbers kept inside the row's range
// and the field's width, choices taken by their place in the row's list.
#include "editor/PlayerItemChange.h"

#include <algorithm>
#include <optional>

#include "editor/Eventsframe.h"
#include "editor/GridRows.h"
#include "editor/Main.h"
#include "editor/Missionframe.h"
#include "editor/PlayerCapital.h"
#include "editor/PlayerInspector.h"
#include "editor/PlayersList.h"
#include "editor/ProvinceBlink.h"
#include "editor/ProvinceInspector.h"
#include "editor/ProvinceSelection.h"
#include "editor/SelectionInfo.h"
#include "gui/ComboBox.h"
#include "inspector/Rminspectoritems.h"
#include "model/GridItemKeys.h"

namespace Keys = InspectorKeys;

namespace {

constexpr int kMaxSkillLevel = 4;
constexpr int kMaxTreasury = 0xFFFF;
constexpr int kMaxArmy = 99999;
constexpr uint8_t kMixedOffset = 127;
// Sub-items of a players-list row: name, skills, playability.
constexpr int kNameColumn = 0;
constexpr int kSkillsColumn = 1;
constexpr int kAbilityColumn = 2;

struct Edit {
    TMainForm& form;
    CMapProject& project;
    uint8_t n;
    CPlayerData& player;
    TrmCustomInspectorItem& item;
    TWinControl& editor;
    const std::string& text;
};

void SetColumn(TMainForm& form, uint8_t n, int column, const std::string& text) {
    TListItem* row = form.LVPlayers->GetItems()->GetItem(n);
    if (!row) return;
    TStrings& columns = *row->GetSubItems();
    while (columns.GetCount() <= column) columns.Add({});
    columns.Put(column, text);
}

// The mission grid names players in its conditions.
void MissionGridFollows() {
    if (!MissFrame) return;
    MissFrame->RMIMission->SetItemIndex(-1);
    MissFrame->RefreshVictoryConds();
}

// The choice shown by a combo row's editor; -1 for none.
int ChosenIndex(const TWinControl& editor) {
    const auto* combo = dynamic_cast<const TCustomComboBox*>(&editor);
    return combo ? combo->GetItemIndex() : -1;
}

std::optional<uint8_t> RowNumber(std::string_view format, const std::string& key) {
    const std::optional<int> k = thorn::KeyNumber(format, key);
    if (!k) return std::nullopt;
    return static_cast<uint8_t>(*k);
}

// The typed number inside 0..max, or none while the text is not a number.
std::optional<int64_t> TypedInRange(const std::string& text, int64_t max) {
    const std::optional<int64_t> number = thorn::TypedNumber(text);
    if (!number) return std::nullopt;
    return std::clamp<int64_t>(*number, 0, max);
}

void EditName(const Edit& e) {
    CStringTable* table = thorn::StringTableInUse();
    // A name refused while it is typed ("Player 1" on the way to
    // "Player 10") stays in the editor until the edit ends; only then does
    // the stored name show again.
    if (e.text.empty() || !table || table->SetPlayerName(e.n, e.text) == 0) return;
    SetColumn(e.form, e.n, kNameColumn, e.text);
    TListItems& provinces = *e.form.LVProvinces->GetItems();
    for (int i = 0; i < provinces.GetCount(); ++i) {
        TListItem* row = provinces[i];
        const auto* province = static_cast<const CProvince*>(row->GetData());
        if (!province || province->Owner != e.n) continue;
        TStrings& columns = *row->GetSubItems();
        if (columns.GetCount() > 0) columns.Put(0, e.text);
    }
    // The selected event names the players it affects.
    if (EventFrame)
        if (CEvent* event = EventFrame->SelectedEvent()) EventFrame->FillEventInspector(event);
    MissionGridFollows();
}

void EditActive(const Edit& e) {
    // The box's own state: its caption still names the state before the click.
    const auto* box = dynamic_cast<const TrmCustomCheckBox*>(&e.editor);
    const auto* row = dynamic_cast<const TrmCheckBoxInspectorItem*>(&e.item);
    const bool active = box ? box->GetChecked() : row && row->GetValue();
    e.player.SetActive(active ? 1 : 0);
    if (TListItem* listRow = e.form.LVPlayers->GetItems()->GetItem(e.n)) listRow->SetChecked(active);
    if (!active) {
        ReleasePlayer(e.n);
        e.form.RMIPlayer->SetEnabled(false);
        RefreshCapitalItem();
        e.form.RMIPlayer->SetEnabled(true);
    }
    MissionGridFollows();
}

void EditSkill(const Edit& e, uint8_t k) {
    const std::optional<int64_t> level = TypedInRange(e.text, kMaxSkillLevel);
    if (!level || k >= CPlayerDataB::kSkillCount) return;
    // Refused when the three levels would pass their sum: the stored one
    // shows again once the edit ends, as does a level brought inside the
    // range.
    e.player.SetSkill(k, static_cast<uint8_t>(*level));
    thorn::ShowNumber(e.item, e.player.Skills[k]);
    SetColumn(e.form, e.n, kSkillsColumn, GetPlayerSkillsText(e.n));
}

void EditCapital(const Edit& e) {
    CProvince* province = nullptr;
    if (!thorn::CapitalChoice(ChosenIndex(e.editor), province)) return;
    StopProvinceBlink();
    e.item.SetStringValue(e.text);
    SwitchCapital(e.n, province);
    if (province) StartProvinceBlink(province);
    // The capital's castle counts in the player's domain.
    RefreshSelectionInfo(e.n);
}

void EditPlayability(const Edit& e) {
    if (e.player.SetPlayability(e.text) == 0) {
        const uint8_t type = e.player.PlayerType;
        e.item.SetStringValue(type == 0              ? Keys::PlayabHuman
                              : type <= kMixedOffset ? Keys::PlayabComputer
                                                     : Keys::PlayabHumanComputer);
    }
    SetColumn(e.form, e.n, kAbilityColumn, GetPlayerTypeText(e.n));
    if (e.player.PlayerType != 0) {
        ShowAiTypeItem(true);
        UpdateAiTypeItem(e.n);
    } else {
        ShowAiTypeItem(false);
    }
    MissionGridFollows();
}

void EditComputerKind(const Edit& e) {
    const int index = ChosenIndex(e.editor);
    const uint8_t type = e.player.PlayerType;
    // A human player has no computer kind to choose.
    if (index < 0 || static_cast<uint32_t>(index) >= e.project.ComputerPlayerTypes.GetCount() || type == 0) return;
    const auto id = static_cast<uint8_t>(e.project.ComputerPlayerTypes[static_cast<uint32_t>(index)].Value);
    e.player.SetPlayerType(type <= kMixedOffset ? id : static_cast<uint8_t>(id + kMixedOffset));
    e.item.SetStringValue(e.text);
}

void EditUnit(const Edit& e, uint8_t k) {
    const int index = ChosenIndex(e.editor);
    const int unit = e.project.NumStandardUnits + index;
    if (index < 0 || unit >= e.project.NumUnitTypesLoaded || k < e.project.NumStandardUnits) return;
    if (e.player.SetUnitType(k, static_cast<uint8_t>(unit)) == 0) return;
    RefreshProvinceInspector(MapProject->Selection);
    e.item.SetStringValue(e.text);
    if (TrmCustomInspectorItem* army = e.form.RMIPlayer->GetItemByName(thorn::NumberedKey(Keys::ArmyN, k));
        army && army->GetNode())
        army->GetNode()->SetText(e.text);
    RefreshSelectionInfo(e.n);
}

void EditTreasury(const Edit& e, uint8_t k) {
    const std::optional<int64_t> amount = TypedInRange(e.text, kMaxTreasury);
    if (!amount || k >= e.player.Treasury.GetCount()) return;
    e.player.SetTreasury(k, static_cast<uint16_t>(*amount));
    thorn::ShowNumber(e.item, e.player.Treasury[k]);
}

void EditArmy(const Edit& e, uint8_t k) {
    const std::optional<int64_t> count = TypedInRange(e.text, kMaxArmy);
    if (!count || k >= e.player.CampaignArmy.GetCount()) return;
    if (e.player.SetArmy(k, static_cast<uint32_t>(*count))) RefreshSelectionInfo(e.n);
    thorn::ShowNumber(e.item, e.player.CampaignArmy[k]);
}

void Dispatch(const Edit& e) {
    const std::string& key = e.item.GetName();
    if (key == Keys::Name) return EditName(e);
    if (e.text.empty()) return;
    if (key == Keys::Active) return EditActive(e);
    if (auto k = RowNumber(Keys::SkillN, key)) return EditSkill(e, *k);
    if (key == Keys::Capital) return EditCapital(e);
    if (key == Keys::Playab) return EditPlayability(e);
    if (key == Keys::PlType) return EditComputerKind(e);
    if (auto k = RowNumber(Keys::UnitN, key)) return EditUnit(e, *k);
    if (auto k = RowNumber(Keys::PlResN, key)) return EditTreasury(e, *k);
    if (auto k = RowNumber(Keys::ArmyN, key)) return EditArmy(e, *k);
}

// The name row shows the stored name again once an edit of it ends.
void ShowStoredName(TMainForm& form, const TrmCustomInspectorItem* current) {
    if (!current || current->GetName() != Keys::Name || !MapProject) return;
    const auto n = static_cast<uint8_t>(form.LVPlayers->GetTag() & 0xFF);
    const CStringTable* table = thorn::StringTableInUse();
    TrmCustomInspectorItem* row = form.RMIPlayer->GetItemByName(Keys::Name);
    if (!table || !row || n >= MapProject->Players.GetCount()) return;
    if (const std::string stored = table->GetPlayerName(n); row->GetAsString() != stored) row->SetStringValue(stored);
}

}  // namespace

void TMainForm::RMIPlayerItemChange(TObject*) {
    if (!MapProject) return;
    const auto n = static_cast<uint8_t>(LVPlayers->GetTag() & 0xFF);
    if (n >= CMapProject::kMaxPlayers || n >= MapProject->Players.GetCount() || RMIPlayer->GetItemIndex() == -1)
        return;
    TrmCustomInspectorItem* item = RMIPlayer->GetCurrentInspectorItem();
    TWinControl* editor = RMIPlayer->GetEditor();
    if (!item || item->GetName().empty() || !editor) return;
    const std::string text = thorn::TypedText(*editor);
    Dispatch({*this, *MapProject, n, MapProject->Players[n], *item, *editor, text});
}

namespace thorn {

void ConnectPlayerGrid(TMainForm& form) {
    TrmInspector& grid = *form.RMIPlayer;
    grid.OnItemChange = [&form](TObject* sender) { form.RMIPlayerItemChange(sender); };
    grid.OnItemIndexChanging = [&form](TrmCustomInspectorItem* current, TrmCustomInspectorItem*, bool&) {
        ShowStoredName(form, current);
    };
    grid.OnEditEnded = [&form](TObject*) { ShowStoredName(form, form.RMIPlayer->GetCurrentInspectorItem()); };
}

}  // namespace thorn
