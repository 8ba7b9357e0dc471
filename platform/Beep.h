#pragma once

#include <cstdint>
#include <functional>

// A beep, as controls sound one when they refuse a key. What a beep is
// belongs to the host: it sets the sink (the headless host counts beeps, the
// SDL host stays silent). Without a sink a beep does nothing.
void MessageBeep(uint32_t type);
// MessageBeep (0).
void Beep();

namespace thorn {

// Replaces the beep sink; an empty function silences beeps. Answers the
// sink it replaced, so a host can put it back.
std::function<void(uint32_t type)> SetBeepSink(std::function<void(uint32_t type)> sink);

}  // namespace thorn
