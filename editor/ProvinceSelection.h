#pragma once

#include <cstdint>

#include "model/Select.h"

class CProvince;

// The editor's side of the province selection: the selected provinces kept
// in step with their marked map pieces, their selected rows of the
// provinces list and the province grid, and every edit of that grid
// applied to all of them through the records' setters. The selection
// refuses a province whose owner differs from the owner of the provinces
// already selected, so the owner row always speaks for all of them.

// What the queries answer where the selected provinces differ (and for an
// empty selection).
inline constexpr uint8_t kMixedByte = 255;
inline constexpr uint16_t kMixedResource = 0xFFFF;
inline constexpr uint32_t kMixedArmy = 0xFFFFFFFF;
// GetSelectionOwner's answer for provinces of different owners.
inline constexpr uint8_t kOwnersDiffer = 254;

// ---- membership
// Appends the province, marks its piece and selects its list row; a
// province of another owner than the selection's is refused and its row
// deselected. Nothing for null or a province already selected.
void SelectProvince(CSelect& selection, CProvince* province);
// 1 when the province was selected and is now removed with its mark and
// its row's selection; 0 when it was not selected.
int DeselectProvince(CSelect& selection, CProvince* province);
// Empties the selection, the province grid and the list's selection.
void ClearSelection(CSelect& selection);
int IsProvinceSelected(const CSelect& selection, const CProvince* province);
// Deselects a selected province, selects another; answers 1.
int ToggleProvinceSelection(CSelect& selection, CProvince* province);
// Clears the selection, then selects every province of the owner (0..5)
// in list order; 255 leaves it empty.
void SelectProvincesOfOwner(CSelect& selection, uint8_t owner);
// The province when exactly one is selected, else null.
CProvince* GetSingleSelectedProvince(const CSelect& selection);
// 0..5, 255 for no owner or an empty selection, kOwnersDiffer.
uint8_t GetSelectionOwner(const CSelect& selection);

// ---- the values the selected provinces share (kMixed... where they differ)
enum class CastleField : uint8_t { Present, Moat, Walls, Catapults, HitPoints };
uint8_t GetSelectionCommonValue(const CSelect& selection, CastleField field);
// The buildings byte masked with one building bit: 0 or the bit.
uint8_t GetSelectionCommonBuilding(const CSelect& selection, uint8_t mask);
// kMixedResource too for a resource past the project's resources.
uint16_t GetSelectionCommonResource(const CSelect& selection, uint8_t resource);
// kMixedArmy too for a unit type past the project's unit types.
uint32_t GetSelectionCommonArmy(const CSelect& selection, uint8_t unitType);

// ---- edits applied to every selected province; each answers 1
// A capital given away or given up stops being its player's capital; the
// list's owner column, the piece and the castle icon follow.
int SetSelectionOwner(CSelect& selection, uint8_t owner);
// The castle icon follows: a castle, or none.
int SetSelectionHasCastle(CSelect& selection, uint8_t present);
int SetSelectionMoat(CSelect& selection, uint8_t value);
int SetSelectionWalls(CSelect& selection, uint8_t value);
int SetSelectionCatapults(CSelect& selection, uint8_t count);
int SetSelectionBuilding(CSelect& selection, uint8_t mask, uint8_t value);
int SetSelectionCastleHP(CSelect& selection, uint8_t percent);
int SetSelectionGuardianArmy(CSelect& selection, uint8_t unitType, uint32_t count);
int SetSelectionResource(CSelect& selection, uint8_t resource, uint16_t value);
