#pragma once

#include <string_view>

class CSelect;
class TrmCustomInspectorItem;

// Applies an edit of the province grid's row to every selected province.
// text is what the row's editor holds; choice is the place of the chosen
// entry among a choice row's entries (-1 when the editor has none chosen),
// which decides over the text, so two entries of one text stay apart.
// Numbers are kept inside the row's limits and the field they go into, and
// the row shows what was stored; a text that is no number (yet) changes
// nothing.
void ApplyProvinceItemChange(CSelect& selection, TrmCustomInspectorItem& item, std::string_view text, int choice = -1);

// The name row shows the province's stored name again: called however its
// edit ends (Enter, Tab, another row made current, the keyboard gone to
// another control or window), so a name refused while typing springs back
// then, as the player grid's name does.
void ShowStoredProvinceName();
