#include "platform/Extended80.h"

#include <cmath>
#include <limits>

namespace thorn {

namespace {
constexpr int kBias = 16383;
}

std::array<uint8_t, 10> ToExtended80(double value) {
    uint64_t significand = 0;
    int exponent = 0;  // biased
    if (std::isnan(value)) {
        significand = 0xC000'0000'0000'0000u;
        exponent = 0x7FFF;
    } else if (std::isinf(value)) {
        significand = 0x8000'0000'0000'0000u;
        exponent = 0x7FFF;
    } else if (value != 0) {
        // value = f × 2^e with 0.5 <= f < 1: the integer bit is f's first bit.
        int e = 0;
        const double f = std::frexp(std::fabs(value), &e);
        significand = static_cast<uint64_t>(std::ldexp(f, 64));
        exponent = e - 1 + kBias;
    }
    std::array<uint8_t, 10> bytes{};
    for (int i = 0; i < 8; ++i) bytes[static_cast<size_t>(i)] = static_cast<uint8_t>(significand >> (8 * i));
    const unsigned top = static_cast<unsigned>(exponent) | (std::signbit(value) ? 0x8000u : 0u);
    bytes[8] = static_cast<uint8_t>(top);
    bytes[9] = static_cast<uint8_t>(top >> 8);
    return bytes;
}

double FromExtended80(const std::array<uint8_t, 10>& bytes) {
    uint64_t significand = 0;
    for (int i = 7; i >= 0; --i) significand = significand << 8 | bytes[static_cast<size_t>(i)];
    const unsigned top = bytes[8] | static_cast<unsigned>(bytes[9]) << 8;
    const bool negative = (top & 0x8000u) != 0;
    const int exponent = static_cast<int>(top & 0x7FFFu);
    double magnitude = 0;
    if (exponent == 0x7FFF) {
        magnitude = (significand << 1) == 0 ? std::numeric_limits<double>::infinity()
                                            : std::numeric_limits<double>::quiet_NaN();
    } else {
        // Denormals use the smallest exponent, as the format defines.
        magnitude = std::ldexp(static_cast<double>(significand), (exponent == 0 ? 1 : exponent) - kBias - 63);
    }
    return negative ? -magnitude : magnitude;
}

}  // namespace thorn
