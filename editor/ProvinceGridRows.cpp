#include "editor/ProvinceGridRows.h"

#include <string>
#include <vector>

#include "editor/GridItemKeys.h"
#include "editor/GridRows.h"
#include "editor/Main.h"
#include "editor/ProvinceSelection.h"
#include "inspector/Rminspectoritems.h"
#include "model/StringTable.h"

namespace keys = InspectorKeys;

namespace {

constexpr char kStringItem[] = "TrmStringInspectorItem";
constexpr char kComboItem[] = "TrmComboInspectorItem";
constexpr char kNodeItem[] = "TrmNodeInspectorItem";
constexpr char kSafeIntegerItem[] = "TrmSafeIntegerInspectorItem";
constexpr char kCheckBoxExItem[] = "TrmCheckBoxExInspectorItem";
constexpr int32_t kMaxGuardianCount = 99999;

// The owners the owner row's choices stand for, in the order of the choices.
std::vector<uint8_t>& OwnerChoices() {
    static std::vector<uint8_t> owners;
    return owners;
}

void SetCaption(TrmCustomInspectorItem* item, std::string_view caption) {
    item->GetNode()->SetText(std::string(caption));
}

// The row under parent (null: the top level), made with its caption when
// no row has the key.
TrmCustomInspectorItem* RowOf(TrmInspector& grid, TrmTreeNonViewNode* parent, const char* className,
                              std::string_view key, std::string_view caption, bool* made = nullptr) {
    const bool missing = grid.GetItemByName(key) == nullptr;
    TrmCustomInspectorItem* item = GetOrAddInspectorItem(grid, parent, className, key);
    if (missing) SetCaption(item, caption);
    if (made) *made = missing;
    return item;
}

// Whether the guardian army's rows stay once the grid is filled: the
// provinces belong to a player, and a single province's player takes part.
bool KeepsArmyRows(const CSelect& selection) {
    const uint8_t owner = GetSelectionOwner(selection);
    if (owner >= CMapProject::kMaxPlayers || !MapProject) return false;
    const CPlayerData* player = MapProject->PlayerAt(owner);
    return selection.GetCount() != 1 || (player && player->Active != 0);
}

void SetStateCaptions(TrmCheckBoxExInspectorItem& item) {
    TrmCheckBoxExStrings captions;
    captions.SetTrueState(keys::Present);
    captions.SetFalseState(keys::NotPresent);
    captions.SetUndefined(keys::Empty);
    item.SetStrings(captions);
    item.SetUndefinedEnable(false);
}

}  // namespace

namespace thorn {

std::optional<uint8_t> OwnerOfChoice(int index) {
    const std::vector<uint8_t>& owners = OwnerChoices();
    if (index < 0 || index >= static_cast<int>(owners.size())) return std::nullopt;
    return owners[static_cast<size_t>(index)];
}

TrmInspector* ProvinceGrid() { return MainForm ? MainForm->RMIProvince : nullptr; }

}  // namespace thorn

void FillProvinceInspector(const CSelect& selection) {
    TrmInspector* grid = thorn::ProvinceGrid();
    if (!grid) return;
    TrmCustomInspectorItem* name = grid->GetItemByName(keys::ProvName);
    const bool single = GetSingleSelectedProvince(selection) != nullptr;
    if (!name && single) {
        grid->SetItemIndex(-1);
        name = GetOrAddInspectorItem(*grid, nullptr, kStringItem, keys::ProvName);
        SetCaption(name, keys::ProvNameCaption);
        grid->MoveItem(name->GetNode(), nullptr);
    } else if (name && !single) {
        grid->SetItemIndex(-1);
        grid->RemoveNode(name->GetNode());
    }
    FillOwnerItem();
    AddProvinceResourceItems();
    // Rows the fill would take away again at once are not made: the
    // castle's where no selected province has a castle, the guardian army's
    // where the provinces have no player (a fill per province while a list
    // range is selected would make and drop them each time).
    if (GetSelectionCommonValue(selection, CastleField::Present) == 0)
        AddCastleRow();
    else
        AddCastleItems();
    if (KeepsArmyRows(selection)) AddProvinceArmyItems();
}

void FillOwnerItem() {
    TrmInspector* grid = thorn::ProvinceGrid();
    if (!grid || !MapProject) return;
    auto* owner = dynamic_cast<TrmComboInspectorItem*>(RowOf(*grid, nullptr, kComboItem, keys::Owner, keys::OwnerCaption));
    if (!owner) return;
    const CStringTable* table = thorn::StringTableInUse();
    std::vector<uint8_t>& owners = OwnerChoices();
    owners.clear();
    TStringList& choices = owner->GetItems();
    choices.Clear();
    choices.Add(table ? table->GetPlayerName(CProvinceB::kNoOwner) : std::string("none"));
    owners.push_back(CProvinceB::kNoOwner);
    for (uint8_t n = 0; n < CMapProject::kMaxPlayers; ++n) {
        const CPlayerData* player = MapProject->PlayerAt(n);
        if (!player || player->Active == 0) continue;
        choices.Add(table ? table->GetPlayerName(n) : std::string());
        owners.push_back(n);
    }
}

void AddProvinceResourceItems() {
    TrmInspector* grid = thorn::ProvinceGrid();
    if (!grid || !MapProject) return;
    bool made = false;
    TrmCustomInspectorItem* group = RowOf(*grid, nullptr, kNodeItem, keys::Resour, keys::ResourCaption, &made);
    if (made) group->GetNode()->SetExpanded(true);
    const CStringTable* table = thorn::StringTableInUse();
    for (int r = 0; r < MapProject->ResourceCount(); ++r)
        RowOf(*grid, group->GetNode(), kSafeIntegerItem, thorn::NumberedKey(keys::ResN, r),
              table ? table->GetResourceName(static_cast<uint8_t>(r)) : std::string());
}

TrmCustomInspectorItem* AddCastleRow() {
    TrmInspector* grid = thorn::ProvinceGrid();
    if (!grid) return nullptr;
    bool made = false;
    TrmCustomInspectorItem* castle = RowOf(*grid, nullptr, kCheckBoxExItem, keys::Castle, keys::CastleCaption, &made);
    if (made) {
        castle->GetNode()->SetExpanded(true);
        if (auto* box = dynamic_cast<TrmCheckBoxExInspectorItem*>(castle)) SetStateCaptions(*box);
    }
    return castle;
}

void AddCastleItems() {
    TrmInspector* grid = thorn::ProvinceGrid();
    TrmCustomInspectorItem* castle = AddCastleRow();
    if (!grid || !castle) return;
    bool made = false;
    TrmTreeNonViewNode* node = castle->GetNode();
    if (auto* hp = dynamic_cast<TrmComboInspectorItem*>(
            RowOf(*grid, node, kComboItem, keys::CastHP, keys::CastHPCaption, &made));
        hp && made)
        for (const char* choice : {keys::CastHP0, keys::CastHP25, keys::CastHP50, keys::CastHP75, keys::CastHP100})
            hp->GetItems().Add(choice);
    AddCastleFlagItem(node, keys::CastMoat, keys::CastMoatCaption);
    AddCastleFlagItem(node, keys::CastWalls, keys::CastWallsCaption);
    if (auto* catapults = dynamic_cast<TrmComboInspectorItem*>(
            RowOf(*grid, node, kComboItem, keys::CastCat, keys::CastCatCaption, &made));
        catapults && made)
        for (const char* choice : {"none", "1", "2", "3", "4"}) catapults->GetItems().Add(choice);
    AddCastleFlagItem(node, keys::CastMar, keys::CastMarCaption);
    AddCastleFlagItem(node, keys::CastBan, keys::CastBanCaption);
    AddCastleFlagItem(node, keys::CastMetlMine, keys::CastMetlMineCaption);
    AddCastleFlagItem(node, keys::CastStonMine, keys::CastStonMineCaption);
}

void AddCastleFlagItem(TrmTreeNonViewNode* castleNode, std::string_view key, std::string_view caption) {
    TrmInspector* grid = thorn::ProvinceGrid();
    if (!grid || grid->GetItemByName(key)) return;
    if (auto* box = dynamic_cast<TrmCheckBoxExInspectorItem*>(RowOf(*grid, castleNode, kCheckBoxExItem, key, caption)))
        SetStateCaptions(*box);
}

void AddProvinceArmyItems() {
    TrmInspector* grid = thorn::ProvinceGrid();
    if (!grid || !MapProject) return;
    bool made = false;
    TrmCustomInspectorItem* group = RowOf(*grid, nullptr, kNodeItem, keys::Army, keys::ProvinceArmyCaption, &made);
    if (made) group->GetNode()->SetExpanded(true);
    const CStringTable* table = thorn::StringTableInUse();
    for (int u = 0; u < MapProject->UnitTypeCount(); ++u) {
        auto* row = dynamic_cast<TrmSafeIntegerInspectorItem*>(
            RowOf(*grid, group->GetNode(), kSafeIntegerItem, thorn::NumberedKey(keys::ArmyN, u),
                  table ? table->GetUnitName(static_cast<uint8_t>(u)) : std::string(), &made));
        if (row && made) {
            row->SetMinValue(0);
            row->SetMaxValue(kMaxGuardianCount);
        }
    }
}
