#pragma once

#include <string>
#include <string_view>

#include "inspector/TypedNumber.h"

class CStringTable;
class TWinControl;
class TrmCustomInspectorItem;
class TrmInspector;
class TrmTreeNonViewNode;

// The row of the grid whose Name is key, wherever it stands and whatever
// its kind; else a new row of the item class registered as className under
// parent (null: the top level), named key. The caller captions it.
TrmCustomInspectorItem* GetOrAddInspectorItem(TrmInspector& grid, TrmTreeNonViewNode* parent,
                                              std::string_view className, std::string_view key);

namespace thorn {

// What the grids' change handlers take of an open editor's text: the first
// 99 characters, as the game's texts were read into a buffer of 100 bytes.
std::string TypedText(const TWinControl& editor);

// The project's string table at its current index; null without a project
// or when the index names none.
CStringTable* StringTableInUse();

}  // namespace thorn
