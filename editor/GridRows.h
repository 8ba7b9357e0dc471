#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

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

// The number an integer row's editor holds: an optional "-" and digits, a
// number too long for any field taken as the largest (or smallest) one; empty
// for a text that is not a number yet ("", "-"), which the row waits on.
std::optional<int64_t> TypedNumber(std::string_view text);

// The project's string table at its current index; null without a project
// or when the index names none.
CStringTable* StringTableInUse();

}  // namespace thorn
