#pragma once

#include <cstdint>
#include <string_view>

class CProvince;
class CSelect;

// The province grid written from the selection: one province's own values,
// or for several the values they share and the mixed mark (an empty text,
// an undefined check box) where they differ. What is written here only
// shows the model: it is never taken back as an edit.

// The whole grid from the selection; nothing while the selection is busy
// or the grid does not follow it (the players page is shown).
void RefreshProvinceInspector(CSelect& selection);
void FillSingleProvinceInspector(CSelect& selection, CProvince& province);
// The castle rows: unticked with nothing under it where no selected
// province has a castle.
void FillSelectionCastleItems(const CSelect& selection);
// A building's row: undefined where the selection differs.
void SetBuildingCheckState(const CSelect& selection, std::string_view key, uint8_t mask);
// The guardian army rows after an owner change: gone for no owner, named
// after the owner's unit slots otherwise.
void RefreshSelectionArmyItems(const CSelect& selection);
