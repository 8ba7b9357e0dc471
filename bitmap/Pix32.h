#pragma once

#include <cstdint>

// A 32-bit colour: alpha in bits 24..31, then red, green and blue; in memory
// the bytes are blue, green, red, alpha.
using TColor32 = uint32_t;
