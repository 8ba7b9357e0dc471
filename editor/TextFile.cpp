#include "editor/TextFile.h"

#include <optional>

#include "platform/Charset.h"

namespace thorn {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

LoadedText DecodeTextFile(std::string_view bytes, size_t limit) {
    LoadedText loaded;
    std::optional<std::u32string> characters;
    if (bytes.starts_with(kByteOrderMark)) characters = Utf8ToUnicode(bytes.substr(kByteOrderMark.size()));
    if (!characters) characters = Utf8ToUnicode(bytes);
    loaded.utf8 = characters.has_value();
    if (!characters) characters = FromWindows1252(bytes);

    std::string& text = loaded.text;
    text.reserve(characters->size());
    int line = 1, column = 0;
    for (size_t i = 0; i < characters->size(); ++i) {
        const char32_t ch = (*characters)[i];
        if (ch == U'\r' || ch == U'\n') {
            if (ch == U'\r' && i + 1 < characters->size() && (*characters)[i + 1] == U'\n') ++i;
            text += "\r\n";
            ++line;
            column = 0;
            continue;
        }
        ++column;
        const std::optional<unsigned char> byte = ch == 0 ? std::nullopt : UnicodeToWindows1252(ch);
        if (!byte) {
            loaded = {LoadedText::Outcome::Refused, loaded.utf8, {}, 0, ch, line, column};
            return loaded;
        }
        text += static_cast<char>(*byte);
    }
    loaded.length = text.size();
    if (limit > 0 && text.size() > limit) {
        // Half a line break would be a lone CR in the text.
        const size_t keep = text[limit - 1] == '\r' ? limit - 1 : limit;
        text.resize(keep);
        loaded.outcome = LoadedText::Outcome::Cut;
    }
    return loaded;
}

}  // namespace thorn
