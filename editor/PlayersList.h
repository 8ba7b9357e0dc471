#pragma once

#include <cstdint>
#include <string>

// The players list LVPlayers: one row per player slot, its check mark the
// slot's active flag, its Data the player record.

// Empties the list and adds a row for every player slot: number, name,
// skills and playability.
void FillPlayersList();

// "(a,b,c)" with the slot's three skill levels; empty past slot 5.
std::string GetPlayerSkillsText(uint8_t slot);
// "Human", "Computer" or "H/C" (human and computer); empty past slot 5.
std::string GetPlayerTypeText(uint8_t slot);
