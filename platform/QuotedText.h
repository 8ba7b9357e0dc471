#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace thorn {

// Texts from files go into messages at most this long.
inline constexpr size_t kQuotedTextLength = 40;

// The text in double quotes, cut after kQuotedTextLength bytes (never inside
// a UTF-8 character) and marked "..." when cut, so that a huge name or value
// from a hostile file still makes a short message.
std::string QuotedShort(std::string_view text);

}  // namespace thorn
