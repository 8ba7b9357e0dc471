#pragma once

#include <cstdint>

// The summary of the selected provinces under both pages: how many, with
// how many castles, their income per resource and their guardian armies
// (added to the campaign army of the player, 0..5, when one is given; 255
// for none). The armies are named after the owner's unit slots.
void RefreshSelectionInfo(uint8_t player);

// Empties the summary under both pages: no project, nothing to sum.
void ClearSelectionInfo();
