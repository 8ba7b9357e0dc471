#pragma once

#include <cstdint>

class CProvince;

// What the province side asks of the players page: a player's capital
// switched, and the player grid's capital choices rebuilt after the
// provinces of a player changed.

// Makes the province (or none) slot's capital and refreshes the province
// grid; 0 for a slot of 6 or more, else 1.
int SwitchCapital(uint8_t slot, CProvince* province);
// The capital row's choices for the player of the selected players row.
void RefreshCapitalItem();
