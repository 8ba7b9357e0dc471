#pragma once

#include <cstdint>
#include <unordered_map>

#include "model/Province.h"

namespace thorn {

// The castles provinces had before they became capitals, one record per
// province, kept for the run (the project file does not hold them). A
// capital that loses its rank gets its own castle back, whichever player
// made another province a capital meanwhile.
class SavedCastles {
public:
    // Keeps the province's castle as it is now, with its castle-present bit.
    void Save(const CProvince& province);
    // Puts the saved castle back into the province and lets the record go.
    // Answers false, changing nothing, when none was saved for it.
    bool Restore(CProvince& province);
    // The province is going: its record with it.
    void Forget(const CProvince& province) { saved_.erase(&province); }
    // The project is emptied: every record goes.
    void Clear() { saved_.clear(); }
    bool Holds(const CProvince& province) const { return saved_.contains(&province); }

private:
    std::unordered_map<const CProvince*, CCastleDataB> saved_;
};

}  // namespace thorn

extern thorn::SavedCastles SavedCastleData;

// Makes the province (null: none) player n's capital: the former capital
// gets back the castle saved for it, the new one is saved and becomes a full
// capital (its owner n, castle with moat, walls, four catapults and 100 hit
// points, the capital's icon). A province is the capital of one player at
// most: another player holding it loses it. The capital the player has
// already changes nothing. Answers 0 for n past 5, else 1.
int SwitchCapital(uint8_t n, CProvince* province);

// Takes player n's capital and every province it owns (their pieces
// repainted, their rows in the provinces list owned by "none").
void ReleasePlayer(uint8_t n);
