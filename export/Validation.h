#pragma once

#include <cstdint>

class CMapProject;

// The player counts that mission validation and the export share.

// Player slots taking part in the mission (slots visited while the index is
// below the list's count taken as a byte).
uint8_t CountActivePlayers(const CMapProject& project);
// Active players a human plays: type 0 (human) or 128 and above (human and
// computer).
uint8_t HasHumanPlayer(const CMapProject& project);
