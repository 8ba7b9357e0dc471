#include "inspector/TypedNumber.h"

#include <algorithm>

namespace thorn {

std::optional<int64_t> TypedNumber(std::string_view text) {
    const bool negative = text.starts_with('-');
    if (negative) text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    constexpr int64_t kLimit = INT64_MAX / 10 - 9;
    int64_t number = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        if (number < kLimit) number = number * 10 + (c - '0');
    }
    return negative ? -number : number;
}

int32_t KeptInRange(int64_t number, int32_t minimum, int32_t maximum) {
    return static_cast<int32_t>(std::clamp<int64_t>(number, minimum, std::max(minimum, maximum)));
}

}  // namespace thorn
