#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace thorn {

// Edits a long text in the text dialog under the caption, the memo taking at
// most limit characters and Enter typing a line break. The text the
// designer confirmed with Ok (lines joined by CR LF); nothing when the
// dialog was cancelled or is gone.
std::optional<std::string> EditLongText(std::string_view caption, int limit, std::string_view text);

}  // namespace thorn
