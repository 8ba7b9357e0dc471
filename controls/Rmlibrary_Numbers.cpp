#include "controls/Rmlibrary_Numbers.h"

#include <cmath>

int32_t RectDiameter(const TRect& rect) {
    const double height = static_cast<double>(int64_t{rect.Bottom} - rect.Top);
    const double width = static_cast<double>(int64_t{rect.Right} - rect.Left);
    if (height == 0 || width == 0) return 0;
    // At most 2^32 * sqrt(2) + 2, so the 64-bit value always fits.
    const auto diagonal = static_cast<int64_t>(std::nearbyint(std::hypot(height, width))) + 2;
    return diagonal <= INT32_MAX ? static_cast<int32_t>(diagonal) : 0;
}
