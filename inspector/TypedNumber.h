#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace thorn {

// The number a number row's editor holds: an optional "-" and digits, a
// number too long for any field taken as the largest (or smallest) one; empty
// for a text that is not a number yet ("", "-"), which the row waits on. The
// grid and the windows that fill it read a typed text by this one rule, so
// the value a row keeps and the value the model stores never part.
std::optional<int64_t> TypedNumber(std::string_view text);

// A typed number kept inside minimum..maximum.
int32_t KeptInRange(int64_t number, int32_t minimum, int32_t maximum);

}  // namespace thorn
