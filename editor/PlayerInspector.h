#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class CMapProject;
class CProvince;
class TrmCustomInspectorItem;

// The player grid RMIPlayer of the players page: its rows, the values of
// one player written into them, and the choices of its combo rows, which
// an edit resolves by their place in the list, never by their text.

// Builds the rows (active, name, skills, capital, playability with the
// computer kind, treasury, unit types, campaign army) for the project's
// catalogue, captions from the string table in use.
void FillPlayerInspector();

// Writes player n's values into the rows and makes n the grid's player (the
// Tag of LVPlayers). Nothing for n past 5; a row that is not there is
// skipped.
void UpdatePlayerInspector(CMapProject& project, uint8_t n);

// The computer kind's row under "Playability": removed (false) or added with
// the kinds of the catalogue as its choices (true) when not there yet.
void ShowAiTypeItem(bool show);
// The computer kind's row shows player slot's kind.
void UpdateAiTypeItem(uint8_t slot);
// The name of the first computer kind with the id; empty when none has it.
std::string GetAiTypeName(const CMapProject& project, uint16_t id);
// The id of the first computer kind with exactly that name; 0xFFFF when none.
uint16_t FindAiTypeId(const CMapProject& project, std::string_view name);

// The capital row's choices again ("none", then the provinces the player of
// the selected players-list row owns), its text the player's capital.
void RefreshCapitalItem();

namespace thorn {

// What choice index of the capital row stands for: false when the index
// names no choice (or a province gone since); else province is the
// province, null for "none".
bool CapitalChoice(int index, CProvince*& province);

// Shows a stored number in a number row, whether or not the row's range
// holds it: the row never shows another player's value instead.
void ShowNumber(TrmCustomInspectorItem& item, int64_t value);

}  // namespace thorn
