#include "export/AnsiText.h"

#include <array>
#include <cstdint>

#include "platform/Charset.h"

namespace thorn {
namespace {

// Decodes one UTF-8 character at text[pos]; answers its length, 0 if invalid.
size_t DecodeUtf8(std::string_view text, size_t pos, char32_t& out) {
    const auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
    const uint8_t lead = byte(pos);
    size_t length = 0;
    char32_t c = 0;
    if (lead < 0x80) {
        out = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2;
        c = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        c = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        c = lead & 0x07;
    } else {
        return 0;
    }
    if (pos + length > text.size()) return 0;
    for (size_t i = 1; i < length; ++i) {
        if ((byte(pos + i) & 0xC0) != 0x80) return 0;
        c = c << 6 | (byte(pos + i) & 0x3F);
    }
    constexpr std::array<char32_t, 5> kSmallest = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kSmallest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
    out = c;
    return length;
}

}  // namespace

std::string Utf8FileNameToAnsi(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (size_t pos = 0; pos < name.size();) {
        char32_t c = 0;
        const size_t length = DecodeUtf8(name, pos, c);
        if (length == 0) {
            out.push_back(name[pos++]);
            continue;
        }
        const auto ansi = UnicodeToWindows1252(c);
        out.push_back(ansi ? static_cast<char>(*ansi) : '_');
        pos += length;
    }
    return out;
}

char AnsiToLower(char c) {
    const auto u = static_cast<uint8_t>(c);
    if ((u >= 'A' && u <= 'Z') || (u >= 0xC0 && u <= 0xDE && u != 0xD7)) return static_cast<char>(u + 0x20);
    switch (u) {
        case 0x8A:
        case 0x8C:
        case 0x8E:
            return static_cast<char>(u + 0x10);
        case 0x9F:
            return static_cast<char>(0xFF);
        default:
            return c;
    }
}

std::string AnsiLowerCase(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = AnsiToLower(c);
    return out;
}

}  // namespace thorn
