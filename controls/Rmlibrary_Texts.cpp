#include "controls/Rmlibrary_Texts.h"

#include <algorithm>

#include "platform/Classes.h"
#include "platform/Conversions.h"

namespace {

// text without the characters below 33 at both ends.
std::string_view TrimControls(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) < 33) text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) < 33) text.remove_suffix(1);
    return text;
}

std::string Padding(std::string_view text, int32_t width) {
    return std::string(width > static_cast<int64_t>(text.size()) ? width - text.size() : 0, ' ');
}

size_t LastPathDelimiter(std::string_view path) { return path.find_last_of("\\/:"); }

char SoundexDigit(char letter) {
    // Digits of the letters A to Z.
    static constexpr std::string_view kDigits = "01230120022455012623010202";
    return kDigits[static_cast<size_t>(letter - 'A')];
}

}  // namespace

char strtochar(std::string_view text) {
    text = TrimControls(text);
    // "#" alone is the character itself, as chartostr writes it.
    if (text.size() > 1 && text.front() == '#') {
        const int32_t code = StrToInt(text.substr(1));
        if (code < 0 || code > 255) throw EConvertError("Value must be between 0 and 255");
        return static_cast<char>(code);
    }
    // An empty text names no character; it is refused like a long one.
    if (text.size() != 1) throw EConvertError("Invalid property value");
    return text.front();
}

std::string chartostr(char ch) {
    const auto code = static_cast<unsigned char>(ch);
    if (code >= 33) return std::string(1, ch);
    return "#" + std::to_string(code);
}

std::string SizeInt(int64_t size) {
    constexpr int64_t kKilo = 1024, kMega = kKilo * 1024, kGiga = kMega * 1024;
    const auto value = static_cast<double>(size);
    if (size < 0) return FloatToStrF(value, ffNumber, 10, 0);
    if (size < kKilo) return FloatToStrF(value, ffFixed, 5, 0);
    if (size < kMega) return FloatToStrF(value / kKilo, ffFixed, 5, 0) + " K";
    if (size < kGiga) return FloatToStrF(value / kMega, ffFixed, 5, 1) + " M";
    return FloatToStrF(value / kGiga, ffFixed, 5, 2) + " G";
}

std::string LeadingZero(int32_t value, int32_t width) {
    std::string text = std::to_string(value);
    if (width <= static_cast<int64_t>(text.size())) return text;
    // The zeros go between the sign and the digits.
    const size_t signLength = value < 0 ? 1 : 0;
    text.insert(signLength, static_cast<size_t>(width) - text.size(), '0');
    return text;
}

std::string PadLeft(std::string_view text, int32_t width) { return Padding(text, width) + std::string(text); }

std::string PadRight(std::string_view text, int32_t width) { return std::string(text) + Padding(text, width); }

std::string StripString(std::string_view text, const TrmCharSet& chars, char replacement) {
    std::string result(text);
    for (char& c : result)
        if (chars.Contains(c)) c = replacement;
    return result;
}

int32_t CountSections(std::string_view text, char separator) {
    int32_t count = 0;
    for (size_t cut = text.find(separator); cut != std::string_view::npos; cut = text.find(separator)) {
        ++count;
        text.remove_prefix(cut + 1);
    }
    return text.empty() ? count : count + 1;
}

std::string ParseSection(std::string_view text, int32_t index, char separator) {
    if (index < 1) return {};
    for (int32_t section = 1; section < index; ++section) {
        const size_t cut = text.find(separator);
        if (cut == std::string_view::npos) return {};
        text.remove_prefix(cut + 1);
    }
    return std::string(text.substr(0, text.find(separator)));
}

std::string PathEllipsis(std::string_view path, int32_t maxLength, bool keepFileName) {
    const size_t last = LastPathDelimiter(path);
    std::string tail;
    if (keepFileName) {
        tail = last != std::string_view::npos && path[last] == '/' ? "/" : "\\";
        tail += path.substr(last == std::string_view::npos ? 0 : last + 1);
    }
    std::string_view folder = last == std::string_view::npos ? std::string_view() : path.substr(0, last + 1);
    while (!folder.empty() && static_cast<int64_t>(folder.size() + tail.size()) + 3 > maxLength)
        folder.remove_suffix(1);
    const size_t kept = LastPathDelimiter(folder);
    return std::string(kept == std::string_view::npos ? std::string_view() : folder.substr(0, kept + 1)) + "..." + tail;
}

std::string Soundex(std::string_view text, bool keepFirst, int32_t length) {
    std::string letters;
    for (char c : TrimControls(text)) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c >= 'A' && c <= 'Z') letters += c;
    }
    if (letters.empty()) return {};
    if (letters.starts_with("PH")) letters.replace(0, 2, "FA");

    std::string code;
    char previous = 0;
    size_t next = 0;
    if (keepFirst) code += previous = letters[next++];
    for (int32_t digits = 0; next < letters.size() && digits < length; ++next) {
        const char letter = letters[next];
        if (letter != previous) {
            if (const char digit = SoundexDigit(letter); digit != '0') code += digit, ++digits;
        }
        previous = letter;
    }
    if (static_cast<int64_t>(code.size()) < length) code.append(length - code.size(), '0');
    return code;
}

bool MaskStrCmp(std::string_view mask, std::string_view text) {
    while (!mask.empty()) {
        if (mask.front() == '*') {
            mask.remove_prefix(std::min(mask.find_first_not_of('*'), mask.size()));
            if (mask.empty()) return true;
            if (mask == "?") continue;
            const size_t found = text.find(mask.front());
            if (found == std::string_view::npos) return false;
            text.remove_prefix(found + 1);
        } else if (mask.front() == '?') {
            if (text.empty()) return false;
            text.remove_prefix(1);
        } else {
            if (text.empty() || text.front() != mask.front()) return false;
            text.remove_prefix(1);
        }
        mask.remove_prefix(1);
    }
    return text.empty();
}
