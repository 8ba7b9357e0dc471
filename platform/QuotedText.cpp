#include "platform/QuotedText.h"

namespace thorn {

std::string QuotedShort(std::string_view text) {
    size_t cut = text.size();
    if (cut > kQuotedTextLength) {
        cut = kQuotedTextLength;
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    }
    // Built by appending, which keeps GCC 12 from a false overlap warning.
    std::string quoted(1, '"');
    quoted += text.substr(0, cut);
    if (cut < text.size()) quoted += "...";
    quoted += '"';
    return quoted;
}

}  // namespace thorn
