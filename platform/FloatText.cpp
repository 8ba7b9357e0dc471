// Floating-point numbers written as text: FloatToStrF, FloatToStr and
// FormatFloat share one decimal form of the value and one rounding rule.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <vector>

#include "platform/Conversions.h"
#include "platform/FormatSettings.h"

namespace {

// A value as 0.digits × 10^exponent; no digits means zero.
struct Decimal {
    bool negative = false;
    std::string digits;
    int exponent = 0;

    bool IsZero() const { return digits.empty(); }
};

void TrimTrailingZeros(std::string& digits) {
    while (!digits.empty() && digits.back() == '0') digits.pop_back();
}

// The value's first 18 significant digits, correctly rounded: the rounding
// below works on these, as the class library's conversions did.
Decimal ToDecimal(double value) {
    Decimal d;
    d.negative = std::signbit(value);
    if (value == 0) return d;
    char text[48];
    const auto end = std::to_chars(text, text + sizeof text, std::fabs(value), std::chars_format::scientific, 17).ptr;
    const std::string_view s(text, static_cast<size_t>(end - text));
    const size_t e = s.find('e');
    d.digits.assign(1, s[0]);
    d.digits.append(s.substr(2, e - 2));
    int exponent = 0;
    std::from_chars(s.data() + e + (s[e + 1] == '+' ? 2 : 1), s.data() + s.size(), exponent);
    d.exponent = exponent + 1;
    TrimTrailingZeros(d.digits);
    return d;
}

// Keeps count significant digits (none when count <= 0), rounding halves
// away from zero.
void RoundDigits(Decimal& d, int count) {
    if (count >= static_cast<int>(d.digits.size())) return;
    if (count < 0) {
        d.digits.clear();
        return;
    }
    const bool up = d.digits[static_cast<size_t>(count)] >= '5';
    d.digits.resize(static_cast<size_t>(count));
    if (up) {
        int i = count - 1;
        for (; i >= 0 && d.digits[static_cast<size_t>(i)] == '9'; --i) d.digits[static_cast<size_t>(i)] = '0';
        if (i >= 0) {
            ++d.digits[static_cast<size_t>(i)];
        } else {
            d.digits.insert(d.digits.begin(), '1');
            ++d.exponent;
        }
    }
    TrimTrailingZeros(d.digits);
}

char DigitAt(const Decimal& d, int index) {
    return index >= 0 && index < static_cast<int>(d.digits.size()) ? d.digits[static_cast<size_t>(index)] : '0';
}

// The integer part's digits, "" below one.
std::string IntegerDigits(const Decimal& d) {
    std::string out;
    for (int i = 0; i < d.exponent; ++i) out += DigitAt(d, i);
    return out;
}

std::string FractionDigits(const Decimal& d, int count) {
    std::string out;
    for (int i = 0; i < count; ++i) out += DigitAt(d, d.exponent + i);
    return out;
}

std::string WithThousands(const std::string& digits) {
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        out += digits[i];
        const size_t left = digits.size() - 1 - i;
        if (left > 0 && left % 3 == 0) out += FormatSettings.ThousandSeparator;
    }
    return out;
}

std::string ExponentText(int exponent, int width, bool alwaysSign) {
    std::string out = exponent < 0 ? "-" : alwaysSign ? "+" : "";
    std::string figures = std::to_string(std::abs(exponent));
    if (static_cast<int>(figures.size()) < width) figures.insert(0, static_cast<size_t>(width) - figures.size(), '0');
    return out + figures;
}

std::string Signed(const Decimal& d, std::string text) { return d.negative && !d.IsZero() ? "-" + text : text; }

// The ffGeneral form of an already rounded value.
std::string GeneralText(const Decimal& d, int precision, int exponentWidth) {
    if (d.IsZero()) return "0";
    if (d.exponent > precision || d.exponent < -4) {
        std::string text(1, d.digits[0]);
        if (d.digits.size() > 1) text += FormatSettings.DecimalSeparator + d.digits.substr(1);
        return Signed(d, text + "E" + ExponentText(d.exponent - 1, exponentWidth, false));
    }
    std::string text = d.exponent > 0 ? IntegerDigits(d) : "0";
    const int decimals = static_cast<int>(d.digits.size()) - d.exponent;
    if (decimals > 0) text += FormatSettings.DecimalSeparator + FractionDigits(d, decimals);
    return Signed(d, text);
}

std::string SpecialText(double value) { return std::isnan(value) ? "NAN" : value < 0 ? "-INF" : "INF"; }

}  // namespace

std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits) {
    if (!std::isfinite(value)) return SpecialText(value);
    precision = std::clamp(precision, 1, 18);
    Decimal d = ToDecimal(value);
    switch (format) {
    case ffGeneral:
        RoundDigits(d, precision);
        return GeneralText(d, precision, std::clamp(digits, 0, 4));
    case ffExponent: {
        RoundDigits(d, precision);
        std::string mantissa(1, DigitAt(d, 0));
        if (precision > 1) mantissa += FormatSettings.DecimalSeparator;
        for (int i = 1; i < precision; ++i) mantissa += DigitAt(d, i);
        const int exponent = d.IsZero() ? 0 : d.exponent - 1;
        return Signed(d, mantissa + "E" + ExponentText(exponent, std::clamp(digits, 0, 4), true));
    }
    case ffFixed:
    case ffNumber: {
        if (d.exponent > precision) {
            RoundDigits(d, precision);
            return GeneralText(d, precision, 0);
        }
        digits = std::clamp(digits, 0, 18);
        RoundDigits(d, std::min(precision, d.exponent + digits));
        std::string integer = IntegerDigits(d);
        if (integer.empty()) integer.push_back('0');  // not = "0": GCC 12 warns falsely of an overlap
        std::string text = format == ffNumber ? WithThousands(integer) : integer;
        if (digits > 0) text += FormatSettings.DecimalSeparator + FractionDigits(d, digits);
        return Signed(d, text);
    }
    }
    return {};
}

std::string FloatToStr(double value) { return FloatToStrF(value, ffGeneral, 15, 0); }

namespace {

// Splits a picture into its sections at ";" outside quotes.
std::vector<std::string_view> Sections(std::string_view format) {
    std::vector<std::string_view> out;
    size_t start = 0;
    char quote = 0;
    for (size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == ';' && out.size() < 2) {
            out.push_back(format.substr(start, i - start));
            start = i + 1;
        }
    }
    out.push_back(format.substr(start));
    return out;
}

// What a section asks for.
struct Picture {
    int integerPlaces = 0;  // "0" and "#" before the point
    int integerZeros = 0;   // places from the first "0" before the point to the point
    int decimalPlaces = 0;
    int decimalZeros = 0;   // places after the point up to the last "0"
    bool thousands = false;
    bool scientific = false;
};

// Length of a scientific marker ("E+00") at i, 0 when there is none.
size_t ExponentMarker(std::string_view s, size_t i) {
    if (i + 1 >= s.size() || (s[i] != 'E' && s[i] != 'e') || (s[i + 1] != '+' && s[i + 1] != '-')) return 0;
    size_t n = 2;
    while (i + n < s.size() && s[i + n] == '0') ++n;
    return n;
}

Picture Analyse(std::string_view s) {
    Picture p;
    bool point = false;
    for (size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '"' || c == '\'') {
            const size_t close = s.find(c, i + 1);
            i = close == std::string_view::npos ? s.size() : close;
        } else if (c == '0' || c == '#') {
            if (p.scientific) continue;
            if (!point) {
                ++p.integerPlaces;
                if (c == '0' && p.integerZeros == 0) p.integerZeros = 1;
                else if (p.integerZeros > 0) ++p.integerZeros;
            } else {
                ++p.decimalPlaces;
                if (c == '0') p.decimalZeros = p.decimalPlaces;
            }
        } else if (c == '.') {
            point = true;
        } else if (c == ',') {
            if (!point) p.thousands = true;
        } else if (const size_t n = ExponentMarker(s, i); n > 0 && !p.scientific) {
            p.scientific = true;
            i += n - 1;
        }
    }
    return p;
}

std::string Render(std::string_view s, const Picture& p, const Decimal& d, bool minus) {
    std::string integer, fraction;
    int exponent = 0;
    if (p.scientific) {
        for (int i = 0; i < p.integerPlaces; ++i) integer += DigitAt(d, i);
        for (int i = 0; i < p.decimalPlaces; ++i) fraction += DigitAt(d, p.integerPlaces + i);
        if (!d.IsZero()) exponent = d.exponent - p.integerPlaces;
        // Leading zeros of the integer part show only where "0" asks for them.
        size_t lead = 0;
        while (lead < integer.size() && integer[lead] == '0' &&
               static_cast<int>(integer.size() - lead) > p.integerZeros)
            ++lead;
        integer.erase(0, lead);
    } else {
        integer = IntegerDigits(d);
        if (static_cast<int>(integer.size()) < p.integerZeros)
            integer.insert(0, static_cast<size_t>(p.integerZeros) - integer.size(), '0');
        fraction = FractionDigits(d, p.decimalPlaces);
    }
    while (static_cast<int>(fraction.size()) > p.decimalZeros && fraction.back() == '0') fraction.pop_back();

    std::string out = minus ? "-" : "";
    const int count = static_cast<int>(integer.size());
    auto emitDigit = [&](int index) {
        out += integer[static_cast<size_t>(index)];
        const int left = count - 1 - index;
        if (p.thousands && left > 0 && left % 3 == 0) out += FormatSettings.ThousandSeparator;
    };
    int integerSeen = 0, fractionUsed = 0;
    bool point = false, integerDone = false, exponentDone = false;
    auto flushInteger = [&]() {  // all integer digits not yet written
        if (integerDone) return;
        for (int i = 0; i < count; ++i) emitDigit(i);
        integerDone = true;
    };
    for (size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '"' || c == '\'') {
            const size_t close = s.find(c, i + 1);
            const size_t stop = close == std::string_view::npos ? s.size() : close;
            out += s.substr(i + 1, stop - i - 1);
            i = stop;
        } else if ((c == '0' || c == '#') && !point && !exponentDone) {
            // The first place also takes the digits the picture has no room for.
            const int place = integerSeen++;
            const int index = count - (p.integerPlaces - place);
            if (place == 0)
                for (int k = 0; k < index; ++k) emitDigit(k);
            if (index >= 0) emitDigit(index);
            if (integerSeen == p.integerPlaces) integerDone = true;
        } else if ((c == '0' || c == '#') && point && !exponentDone) {
            if (fractionUsed < static_cast<int>(fraction.size())) out += fraction[static_cast<size_t>(fractionUsed)];
            ++fractionUsed;
        } else if (c == '.' && !point && !exponentDone) {
            flushInteger();
            point = true;
            if (!fraction.empty()) out += FormatSettings.DecimalSeparator;
        } else if (c == ',') {
        } else if (const size_t n = ExponentMarker(s, i); n > 0 && p.scientific && !exponentDone) {
            flushInteger();
            out += c;
            out += ExponentText(exponent, static_cast<int>(n) - 2, s[i + 1] == '+');
            exponentDone = true;
            i += n - 1;
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

std::string FormatFloat(std::string_view format, double value) {
    if (format.empty() || !std::isfinite(value)) return FloatToStr(value);
    const auto sections = Sections(format);
    auto section = [&](size_t i) { return i < sections.size() && !sections[i].empty() ? sections[i] : sections[0]; };
    const bool negative = value < 0;
    std::string_view chosen = negative ? section(1) : section(0);
    bool minus = negative && (sections.size() < 2 || sections[1].empty());
    Picture picture = Analyse(chosen);
    Decimal d = ToDecimal(value);
    if (!picture.scientific && d.exponent > 18) return FloatToStr(value);
    RoundDigits(d, picture.scientific ? picture.integerPlaces + picture.decimalPlaces
                                      : d.exponent + picture.decimalPlaces);
    if (d.IsZero()) {
        minus = false;
        if (sections.size() > 2 && !sections[2].empty()) {
            chosen = sections[2];
            picture = Analyse(chosen);
        }
    }
    return Render(chosen, picture, d, minus);
}
