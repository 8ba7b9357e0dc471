// The players and provinces pages beside the world view: switching between
// them, and the provinces list kept in step with the selection.
#include "editor/Eventsframe.h"
#include "editor/Main.h"
#include "editor/Missionframe.h"
#include "editor/ProvinceBlink.h"
#include "editor/ProvinceSelection.h"
#include "editor/SelectionInfo.h"

void TMainForm::PgCMissionPropertiesChange(TObject* sender) {
    if (!MapProject) return;
    CSelect& selection = MapProject->Selection;
    ClearSelection(selection);
    if (MissFrame) MissFrame->RMIMission->SetItemIndex(-1);
    if (EventFrame) EventFrame->RMIEvent->SetItemIndex(-1);
    RMIPlayer->SetItemIndex(-1);
    RMIProvince->SetItemIndex(-1);
    RefreshSelectionInfo(CProvinceB::kNoOwner);
    if (PgCMissionProperties->GetActivePageIndex() == 0) {
        // The players page shows the chosen player's provinces on the map
        // and in the list, and leaves the province grid alone.
        selection.GridLink = 0;
        const int player = LVPlayers->GetItemIndex();
        SelectProvincesOfOwner(selection, static_cast<uint8_t>(player));
        if (player >= 0) {
            const CPlayerData* owner = MapProject->PlayerAt(static_cast<uint32_t>(player));
            StartProvinceBlink(owner ? owner->Capital : nullptr);
            RefreshSelectionInfo(static_cast<uint8_t>(player));
        }
    } else {
        selection.GridLink = 1;
        StopProvinceBlink();
    }
}

void TMainForm::LVProvincesSelectItem(TObject* sender, TListItem* item, bool selected) {
    if (!MapProject || !item) return;
    auto* province = static_cast<CProvince*>(item->GetData());
    CSelect& selection = MapProject->Selection;
    if (selected)
        SelectProvince(selection, province);
    else
        DeselectProvince(selection, province);
    // On the provinces page the summary follows the list as it follows a
    // click on the map; the players page sums its player's domain itself
    // once its selection is made.
    if (selection.GridLink == 1) RefreshSelectionInfo(CProvinceB::kNoOwner);
}
