#include "editor/PlayersList.h"

#include "editor/GridRows.h"
#include "editor/Main.h"
#include "editor/Missionframe.h"
#include "editor/PlayerCapital.h"
#include "editor/PlayerInspector.h"
#include "editor/ProvinceBlink.h"
#include "editor/ProvinceSelection.h"
#include "editor/SelectionInfo.h"

namespace {

constexpr uint8_t kMixedOffset = 127;

const CPlayerData* PlayerOf(uint8_t slot) {
    if (!MapProject || slot >= CMapProject::kMaxPlayers || slot >= MapProject->Players.GetCount()) return nullptr;
    return &MapProject->Players[slot];
}

}  // namespace

void FillPlayersList() {
    if (!MainForm || !MapProject) return;
    const CStringTable* table = thorn::StringTableInUse();
    TListItems& rows = *MainForm->LVPlayers->GetItems();
    rows.BeginUpdate();
    rows.Clear();
    for (uint32_t i = 0; i < MapProject->Players.GetCount(); ++i) {
        const auto slot = static_cast<uint8_t>(i);
        CPlayerData& player = MapProject->Players[i];
        TListItem* row = rows.Add();
        // The record first: the check mark set below then agrees with it.
        row->SetData(&player);
        row->SetCaption(std::to_string(i + 1));
        TStrings& columns = *row->GetSubItems();
        columns.Add(table ? table->GetPlayerName(slot) : std::string());
        columns.Add(GetPlayerSkillsText(slot));
        columns.Add(GetPlayerTypeText(slot));
        row->SetChecked(player.Active != 0);
    }
    rows.EndUpdate();
}

std::string GetPlayerSkillsText(uint8_t slot) {
    const CPlayerData* player = PlayerOf(slot);
    if (!player) return {};
    // Appended piece by piece: GCC 12 warns falsely of overlapping copies in
    // a chain of operator+ when optimising.
    std::string text = "(";
    for (int i = 0; i < 3; ++i) {
        if (i > 0) text += ',';
        text += std::to_string(player->Skills[i]);
    }
    text += ')';
    return text;
}

std::string GetPlayerTypeText(uint8_t slot) {
    const CPlayerData* player = PlayerOf(slot);
    if (!player) return {};
    if (player->PlayerType == 0) return "Human";
    return player->PlayerType <= kMixedOffset ? "Computer" : "H/C";
}

void TMainForm::LVPlayersSelectItem(TObject*, TListItem* item, bool selected) {
    if (!item) return;
    if (!selected) {
        RMIPlayer->SetItemIndex(-1);
        RMIPlayer->ClearItems();
        return;
    }
    if (!MapProject) return;
    const auto n = static_cast<uint8_t>(item->GetIndex());
    FillPlayerInspector();
    RMIPlayer->SetItemIndex(-1);
    UpdatePlayerInspector(*MapProject, n);
    SelectProvincesOfOwner(MapProject->Selection, n);
    StartProvinceBlink(n < MapProject->Players.GetCount() ? MapProject->Players[n].Capital : nullptr);
    // The domain shown under the list is the chosen player's.
    RefreshSelectionInfo(n);
}

void TMainForm::LVPlayersChange(TObject*, TListItem* item, TItemChange change) {
    // Only a check mark turned over by the designer changes the project; the
    // list's texts and selection, and a mark the program sets to the active
    // flag, leave the grid and its open editor alone.
    if (!MapProject || !item || change != ctState) return;
    auto* player = static_cast<CPlayerData*>(item->GetData());
    if (!player || item->GetChecked() == (player->Active != 0)) return;
    RMIPlayer->SetItemIndex(-1);
    player->SetActive(item->GetChecked() ? 1 : 0);
    UpdatePlayerInspector(*MapProject, static_cast<uint8_t>(LVPlayers->GetItemIndex()));
    if (!item->GetChecked()) {
        ReleasePlayer(static_cast<uint8_t>(item->GetIndex()));
        RMIPlayer->SetEnabled(false);
        RefreshCapitalItem();
        RMIPlayer->SetEnabled(true);
    }
    if (MissFrame) {
        MissFrame->RMIMission->SetItemIndex(-1);
        MissFrame->RefreshVictoryConds();
    }
}
