#pragma once

#include <cstdint>
#include <string_view>

#include "platform/FontCache.h"

// The system's symbol font ("Marlett"): controls draw their arrows, check
// marks and caption-button signs as characters of it. No such font is
// installed here, so its glyphs are drawn as shapes, in a square cell one em
// wide and high: "0" minimise, "1" maximise, "2" restore, "r" close, "3" to
// "6" the arrows left, right, up and down, "a" the check mark. Other
// characters are blank.
namespace thorn::text {

bool IsSymbolFace(std::string_view name);
// The symbol font at a height (negative: the em size; positive: the cell
// height, the same here). The reference stays valid until the next call.
SizedFont& SymbolFontFor(int32_t height);

}  // namespace thorn::text
