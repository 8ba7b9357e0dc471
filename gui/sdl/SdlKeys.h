#pragma once

#include <cstdint>

#include "gui/ControlTypes.h"

namespace thorn {

// The platform's virtual key of an SDL key code, 0 for keys it has none for.
TKey VirtualKeyOfSdl(int32_t sdlKeycode);
// The shift keys of SDL's modifier bits.
TShiftState ShiftOfSdlMods(uint16_t mods);

}  // namespace thorn
