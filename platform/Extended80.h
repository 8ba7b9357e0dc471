#pragma once

#include <array>
#include <cstdint>

// The 10-byte x87 extended real of form streams (little-endian: 64-bit
// significand with its integer bit, then sign and 15-bit exponent), converted
// without the machine's own long double so that every platform reads it alike.
namespace thorn {

std::array<uint8_t, 10> ToExtended80(double value);
// Rounded to the nearest double; beyond the double's range it is an infinity.
double FromExtended80(const std::array<uint8_t, 10>& bytes);

}  // namespace thorn
