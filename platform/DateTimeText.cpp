// Dates and times written by patterns and read back.
#include <cstdio>

#include "platform/Classes.h"
#include "platform/DateTime.h"
#include "platform/FormatSettings.h"

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsWithNoCase(std::string_view text, size_t at, std::string_view word) {
    if (word.empty() || text.size() - at < word.size()) return false;
    for (size_t i = 0; i < word.size(); ++i)
        if (Lower(text[at + i]) != Lower(word[i])) return false;
    return true;
}

std::string Padded(int value, int width) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*d", width, value);
    return text;
}

// Whether an am/pm field follows position at (outside quotes).
bool TwelveHourClock(std::string_view format, size_t at) {
    for (size_t i = at; i < format.size(); ++i) {
        const char c = format[i];
        if (c == '"' || c == '\'') {
            const size_t close = format.find(c, i + 1);
            if (close == std::string_view::npos) return false;
            i = close;
        } else if (StartsWithNoCase(format, i, "am/pm") || StartsWithNoCase(format, i, "a/p") ||
                   StartsWithNoCase(format, i, "ampm")) {
            return true;
        }
    }
    return false;
}

struct Fields {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, ms = 0;
    int dayOfWeek = 1;
    bool hasTime = false;
};

void Append(std::string& out, std::string_view format, const Fields& f, int level);

// The patterns of the settings name one another only one level deep; the
// level keeps a pattern that names itself from running for ever.
void AppendPattern(std::string& out, std::string_view pattern, const Fields& f, int level) {
    if (level < 2) Append(out, pattern, f, level + 1);
}

void Append(std::string& out, std::string_view format, const Fields& f, int level) {
    const TFormatSettings& s = FormatSettings;
    char lastLetter = 0;
    for (size_t i = 0; i < format.size();) {
        const char c = format[i];
        const char token = Lower(c);
        size_t run = 1;
        while (i + run < format.size() && Lower(format[i + run]) == token) ++run;
        if (token >= 'a' && token <= 'z') {
            // m right after an hour field is a minute.
            const char kind = token == 'm' && lastLetter == 'h' ? 'n' : token;
            lastLetter = kind;
            switch (kind) {
            case 'y':
                out += run <= 2 ? Padded(f.year % 100, 2) : Padded(f.year, 4);
                i += run;
                continue;
            case 'm':
                if (run == 1 || run == 2) out += Padded(f.month, static_cast<int>(run));
                else if (f.month >= 1) out += run == 3 ? s.ShortMonthNames[f.month - 1] : s.LongMonthNames[f.month - 1];
                i += run;
                continue;
            case 'd':
                if (run <= 2) out += Padded(f.day, static_cast<int>(run));
                else if (run == 3) out += s.ShortDayNames[f.dayOfWeek - 1];
                else if (run == 4) out += s.LongDayNames[f.dayOfWeek - 1];
                else AppendPattern(out, run == 5 ? s.ShortDateFormat : s.LongDateFormat, f, level);
                i += run;
                continue;
            case 'h': {
                const size_t width = std::min<size_t>(run, 2);
                int hour = f.hour;
                if (TwelveHourClock(format, i + run)) hour = hour % 12 == 0 ? 12 : hour % 12;
                out += Padded(hour, static_cast<int>(width));
                i += width;
                continue;
            }
            case 'n':
                out += Padded(f.minute, run >= 2 ? 2 : 1);
                i += std::min<size_t>(run, 2);
                continue;
            case 's':
                out += Padded(f.second, run >= 2 ? 2 : 1);
                i += std::min<size_t>(run, 2);
                continue;
            case 'z':
                out += Padded(f.ms, run >= 3 ? 3 : 1);
                i += std::min<size_t>(run, 3);
                continue;
            case 't':
                AppendPattern(out, run == 1 ? s.ShortTimeFormat : s.LongTimeFormat, f, level);
                i += std::min<size_t>(run, 2);
                continue;
            case 'c':
                AppendPattern(out, s.ShortDateFormat, f, level);
                if (f.hasTime) {
                    out += ' ';
                    AppendPattern(out, s.LongTimeFormat, f, level);
                }
                ++i;
                continue;
            case 'a':
                if (StartsWithNoCase(format, i, "am/pm")) {
                    // Written in the case of the pattern's own letters.
                    out += format.substr(f.hour < 12 ? i : i + 3, 2);
                    i += 5;
                    continue;
                }
                if (StartsWithNoCase(format, i, "a/p")) {
                    out += format[f.hour < 12 ? i : i + 2];
                    i += 3;
                    continue;
                }
                if (StartsWithNoCase(format, i, "ampm")) {
                    out += f.hour < 12 ? s.TimeAMString : s.TimePMString;
                    i += 4;
                    continue;
                }
                break;
            default:
                break;
            }
            out += c;
            ++i;
            continue;
        }
        if (c == '"' || c == '\'') {
            const size_t close = format.find(c, i + 1);
            const size_t stop = close == std::string_view::npos ? format.size() : close;
            out += format.substr(i + 1, stop - i - 1);
            i = stop + 1;
        } else {
            out += c == '/' ? s.DateSeparator : c == ':' ? s.TimeSeparator : c;
            ++i;
        }
    }
}

// Reading: a cursor over the text with the class library's scanning steps.
struct Scanner {
    std::string_view text;
    size_t pos = 0;

    void SkipBlanks() {
        while (pos < text.size() && text[pos] == ' ') ++pos;
    }
    bool AtEnd() {
        SkipBlanks();
        return pos == text.size();
    }
    // One to four digits.
    bool Number(int& value, int& digits) {
        SkipBlanks();
        value = digits = 0;
        while (pos < text.size() && digits < 4 && text[pos] >= '0' && text[pos] <= '9')
            value = value * 10 + (text[pos++] - '0'), ++digits;
        return digits > 0;
    }
    bool Char(char c) {
        SkipBlanks();
        if (pos < text.size() && text[pos] == c) return ++pos, true;
        return false;
    }
    bool Word(std::string_view word) {
        SkipBlanks();
        if (!StartsWithNoCase(text, pos, word)) return false;
        pos += word.size();
        return true;
    }
};

int CurrentYear() {
    int year = 0, month = 0, day = 0;
    DecodeDate(Now(), year, month, day);
    return year;
}

// The order of month, day and year in the short date pattern.
enum class DateOrder { MDY, DMY, YMD };

DateOrder OrderOfDates() {
    for (char c : FormatSettings.ShortDateFormat) {
        switch (Lower(c)) {
        case 'd': return DateOrder::DMY;
        case 'y': return DateOrder::YMD;
        case 'm': return DateOrder::MDY;
        default: break;
        }
    }
    return DateOrder::MDY;
}

bool ScanDate(Scanner& in, TDateTime& date) {
    int n1 = 0, n2 = 0, n3 = 0, l1 = 0, l2 = 0, l3 = 0;
    if (!in.Number(n1, l1) || !in.Char(FormatSettings.DateSeparator) || !in.Number(n2, l2)) return false;
    const DateOrder order = OrderOfDates();
    int year = 0, month = 0, day = 0, yearDigits = 4;
    if (in.Char(FormatSettings.DateSeparator)) {
        if (!in.Number(n3, l3)) return false;
        switch (order) {
        case DateOrder::MDY: month = n1, day = n2, year = n3, yearDigits = l3; break;
        case DateOrder::DMY: day = n1, month = n2, year = n3, yearDigits = l3; break;
        case DateOrder::YMD: year = n1, month = n2, day = n3, yearDigits = l1; break;
        }
        if (yearDigits <= 2) {
            const int window = FormatSettings.TwoDigitYearCenturyWindow;
            const int base = CurrentYear() - window;
            year += base / 100 * 100;
            if (window > 0 && year < base) year += 100;
        }
    } else {
        year = CurrentYear();
        if (order == DateOrder::DMY) day = n1, month = n2;
        else month = n1, day = n2;
    }
    return TryEncodeDate(year, month, day, date);
}

bool ScanHalfOfDay(Scanner& in, int& baseHour) {
    if (in.Word(FormatSettings.TimeAMString) || in.Word("AM")) return baseHour = 0, true;
    if (in.Word(FormatSettings.TimePMString) || in.Word("PM")) return baseHour = 12, true;
    return false;
}

bool ScanTime(Scanner& in, TDateTime& time) {
    int baseHour = -1, digits = 0;
    ScanHalfOfDay(in, baseHour);
    int hour = 0, minute = 0, second = 0, ms = 0;
    if (!in.Number(hour, digits)) return false;
    if (in.Char(FormatSettings.TimeSeparator)) {
        if (!in.Number(minute, digits)) return false;
        if (in.Char(FormatSettings.TimeSeparator)) {
            if (!in.Number(second, digits)) return false;
            if (in.Char(FormatSettings.DecimalSeparator) && !in.Number(ms, digits)) return false;
        }
    }
    if (baseHour < 0) ScanHalfOfDay(in, baseHour);
    if (baseHour >= 0) {
        if (hour == 0 || hour > 12) return false;
        hour = hour % 12 + baseHour;
    }
    return TryEncodeTime(hour, minute, second, ms, time);
}

[[noreturn]] void ThrowInvalid(std::string_view text, std::string_view what) {
    throw EConvertError("'" + std::string(text) + "' is not a valid " + std::string(what));
}

}  // namespace

std::string FormatDateTime(std::string_view format, TDateTime value) {
    Fields f;
    DecodeDate(value, f.year, f.month, f.day);
    DecodeTime(value, f.hour, f.minute, f.second, f.ms);
    f.dayOfWeek = DayOfWeek(value);
    f.hasTime = f.hour != 0 || f.minute != 0 || f.second != 0 || f.ms != 0;
    std::string out;
    Append(out, format.empty() ? "c" : format, f, 0);
    return out;
}

std::string DateToStr(TDateTime date) { return FormatDateTime(FormatSettings.ShortDateFormat, date); }
std::string TimeToStr(TDateTime time) { return FormatDateTime(FormatSettings.LongTimeFormat, time); }
std::string DateTimeToStr(TDateTime value) { return FormatDateTime("c", value); }

bool TryStrToDate(std::string_view text, TDateTime& value) {
    Scanner in{text};
    TDateTime date = 0;
    if (!ScanDate(in, date) || !in.AtEnd()) return false;
    value = date;
    return true;
}

bool TryStrToTime(std::string_view text, TDateTime& value) {
    Scanner in{text};
    TDateTime time = 0;
    if (!ScanTime(in, time) || !in.AtEnd()) return false;
    value = time;
    return true;
}

bool TryStrToDateTime(std::string_view text, TDateTime& value) {
    Scanner in{text};
    TDateTime date = 0, time = 0;
    if (ScanDate(in, date) && (in.AtEnd() || (ScanTime(in, time) && in.AtEnd()))) {
        value = date >= 0 ? date + time : date - time;
        return true;
    }
    return TryStrToTime(text, value);
}

TDateTime StrToDate(std::string_view text) {
    TDateTime value = 0;
    if (!TryStrToDate(text, value)) ThrowInvalid(text, "date");
    return value;
}

TDateTime StrToTime(std::string_view text) {
    TDateTime value = 0;
    if (!TryStrToTime(text, value)) ThrowInvalid(text, "time");
    return value;
}

TDateTime StrToDateTime(std::string_view text) {
    TDateTime value = 0;
    if (!TryStrToDateTime(text, value)) ThrowInvalid(text, "date and time");
    return value;
}
