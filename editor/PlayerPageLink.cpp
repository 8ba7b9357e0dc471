#include "editor/PlayerPageLink.h"

#include "editor/Main.h"
#include "editor/ProvinceInspector.h"

// Stands in until the players page is built: the capital is set and the
// province grid follows; the castle a capital gets and gives back, and the
// capital row's choices, come with that page.

int SwitchCapital(uint8_t slot, CProvince* province) {
    if (slot >= CMapProject::kMaxPlayers || !MapProject) return 0;
    if (CPlayerData* player = MapProject->PlayerAt(slot)) player->SetCapital(province);
    RefreshProvinceInspector(MapProject->Selection);
    return 1;
}

void RefreshCapitalItem() {}
