#include "platform/Conversions.h"

#include <charconv>
#include <algorithm>

#include "platform/Classes.h"
#include "platform/FormatSettings.h"

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads a whole number that must fit bits wide signed integers (decimal) or
// bits wide words (hexadecimal).
bool ParseInteger(std::string_view text, int bits, int64_t& value) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int base = 10;
    if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        base = 16, ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16, i += 2;
    }
    if (i == text.size()) return false;
    // Magnitudes are gathered unsigned so the most negative number fits.
    const uint64_t limit = base == 16 ? (bits == 64 ? ~uint64_t{0} : (uint64_t{1} << bits) - 1)
                                      : (uint64_t{1} << (bits - 1)) - (negative ? 0 : 1);
    uint64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const int d = base == 16 ? HexDigit(text[i]) : (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1);
        if (d < 0) return false;
        if (magnitude > (limit - static_cast<uint64_t>(d)) / static_cast<uint64_t>(base)) return false;
        magnitude = magnitude * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
    }
    if (base == 16 && bits == 32)
        magnitude = static_cast<uint64_t>(static_cast<int64_t>(static_cast<int32_t>(magnitude)));
    const uint64_t result = negative ? ~magnitude + 1 : magnitude;
    value = static_cast<int64_t>(result);
    return true;
}

// Whether a number written as [-]digits[.digits][e[+-]digits] lies below 1 in
// size: only the place of its first significant digit counts.
bool BelowOne(std::string_view plain) {
    int64_t place = 0;  // power of ten of the first significant digit, plus one
    bool seenSignificant = false, afterPoint = false;
    size_t i = plain[0] == '-' ? 1 : 0;
    for (; i < plain.size() && plain[i] != 'e'; ++i) {
        if (plain[i] == '.') {
            afterPoint = true;
        } else if (!seenSignificant && plain[i] == '0') {
            if (afterPoint) --place;
        } else if (!seenSignificant) {
            seenSignificant = true;
            if (!afterPoint) ++place;
        } else if (!afterPoint) {
            ++place;
        }
    }
    if (!seenSignificant) return true;
    int64_t exponent = 0;
    bool negative = false;
    if (i < plain.size()) {
        ++i;
        if (plain[i] == '+' || plain[i] == '-') negative = plain[i++] == '-';
        for (; i < plain.size(); ++i) exponent = std::min<int64_t>(exponent * 10 + (plain[i] - '0'), 1'000'000'000);
    }
    return place + (negative ? -exponent : exponent) <= 0;
}

[[noreturn]] void ThrowConvert(std::string_view text, std::string_view what) {
    throw EConvertError("'" + std::string(text) + "' is not a valid " + std::string(what));
}

}  // namespace

std::string IntToStr(int64_t value) { return std::to_string(value); }

bool TryStrToInt(std::string_view text, int32_t& value) {
    int64_t wide = 0;
    if (!ParseInteger(text, 32, wide)) return false;
    value = static_cast<int32_t>(wide);
    return true;
}

bool TryStrToInt64(std::string_view text, int64_t& value) { return ParseInteger(text, 64, value); }

int32_t StrToInt(std::string_view text) {
    int32_t value = 0;
    if (!TryStrToInt(text, value)) ThrowConvert(text, "integer value");
    return value;
}

int64_t StrToInt64(std::string_view text) {
    int64_t value = 0;
    if (!TryStrToInt64(text, value)) ThrowConvert(text, "integer value");
    return value;
}

int32_t StrToIntDef(std::string_view text, int32_t fallback) {
    int32_t value = 0;
    return TryStrToInt(text, value) ? value : fallback;
}

bool TryStrToFloat(std::string_view text, double& value) {
    size_t begin = 0, end = text.size();
    while (begin < end && text[begin] == ' ') ++begin;
    while (end > begin && text[end - 1] == ' ') --end;
    // Rewritten with "." and no "+" so the locale-free reader takes it.
    std::string plain;
    size_t i = begin;
    if (i < end && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') plain += '-';
        ++i;
    }
    int mantissaDigits = 0;
    for (; i < end && text[i] >= '0' && text[i] <= '9'; ++i) plain += text[i], ++mantissaDigits;
    if (i < end && text[i] == FormatSettings.DecimalSeparator) {
        plain += '.';
        for (++i; i < end && text[i] >= '0' && text[i] <= '9'; ++i) plain += text[i], ++mantissaDigits;
    }
    if (mantissaDigits == 0) return false;
    if (i < end && (text[i] == 'e' || text[i] == 'E')) {
        plain += 'e';
        ++i;
        if (i < end && (text[i] == '+' || text[i] == '-')) plain += text[i++];
        int exponentDigits = 0;
        for (; i < end && text[i] >= '0' && text[i] <= '9'; ++i) plain += text[i], ++exponentDigits;
        if (exponentDigits == 0) return false;
    }
    if (i != end) return false;
    double result = 0;
    const auto [ptr, error] = std::from_chars(plain.data(), plain.data() + plain.size(), result);
    if (ptr != plain.data() + plain.size()) return false;
    if (error == std::errc::result_out_of_range) {
        // Underflow reads as zero; overflow is refused.
        if (!BelowOne(plain)) return false;
        result = 0;
    } else if (error != std::errc()) {
        return false;
    }
    value = result;
    return true;
}

double StrToFloat(std::string_view text) {
    double value = 0;
    if (!TryStrToFloat(text, value)) ThrowConvert(text, "floating point value");
    return value;
}

double StrToFloatDef(std::string_view text, double fallback) {
    double value = 0;
    return TryStrToFloat(text, value) ? value : fallback;
}
