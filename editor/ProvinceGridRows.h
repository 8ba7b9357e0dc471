#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

class CSelect;
class TrmCustomInspectorItem;
class TrmInspector;
class TrmTreeNonViewNode;

// The rows of the province grid, found by their keys and made only where
// missing, so captions, choices and limits are set once per row; only the
// owner choices are rebuilt on every fill, and the name row is there only
// while exactly one province is selected.

// Every row group for the selection: name, owner, resources, castle, army.
void FillProvinceInspector(const CSelect& selection);
// The owner row with "none", then the active players in slot order.
void FillOwnerItem();
void AddProvinceResourceItems();
// The castle row with its eight rows under it.
void AddCastleItems();
// The castle row alone; null without the main window.
TrmCustomInspectorItem* AddCastleRow();
// A three-state row under the castle row, unless one has the key.
void AddCastleFlagItem(TrmTreeNonViewNode* castleNode, std::string_view key, std::string_view caption);
void AddProvinceArmyItems();

namespace thorn {

// The owner a choice of the owner row stands for (255 for "none"); none
// for an index past the choices. Choices are taken by their place in the
// list, so a player who bears the name "none" is still that player.
std::optional<uint8_t> OwnerOfChoice(int index);

// The province grid; null without the main window.
TrmInspector* ProvinceGrid();

}  // namespace thorn
