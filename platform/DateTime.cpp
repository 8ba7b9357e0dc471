#include "platform/DateTime.h"

#include <cmath>
#include <ctime>

#include "platform/Classes.h"

namespace {

constexpr int64_t kMsPerDay = 86'400'000;
// Day number (counted from 1 on 1/1/0001) of 12/30/1899, day 0 of a TDateTime.
constexpr int64_t kDateDelta = 693'594;
// Past this many days either way a value is no date any calendar here knows.
constexpr double kLargestDay = 1e9;

constexpr int kDaysBefore[2][13] = {{0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365},
                                    {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335, 366}};

std::function<TDateTime()>& Source() {
    static std::function<TDateTime()> source;
    return source;
}

// The value taken to whole milliseconds, split as the class library did:
// the day truncated toward zero, the time after midnight always positive.
struct Stamp {
    int64_t day = 0;  // counted from 1 on 1/1/0001; 0 or less is no date
    int64_t ms = 0;
};

Stamp ToStamp(TDateTime value) {
    if (!std::isfinite(value) || std::fabs(value) > kLargestDay) return {};
    const auto total = static_cast<int64_t>(std::nearbyint(value * static_cast<double>(kMsPerDay)));
    return {total / kMsPerDay + kDateDelta, std::abs(total % kMsPerDay)};
}

}  // namespace

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInAMonth(int year, int month) {
    if (month < 1 || month > 12) return 0;
    const int leap = IsLeapYear(year) ? 1 : 0;
    return kDaysBefore[leap][month] - kDaysBefore[leap][month - 1];
}

bool TryEncodeDate(int year, int month, int day, TDateTime& date) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInAMonth(year, month))
        return false;
    const int64_t y = year - 1;
    const int64_t days = y * 365 + y / 4 - y / 100 + y / 400 + kDaysBefore[IsLeapYear(year) ? 1 : 0][month - 1] + day;
    date = static_cast<TDateTime>(days - kDateDelta);
    return true;
}

bool TryEncodeTime(int hour, int minute, int second, int millisecond, TDateTime& time) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || millisecond < 0 ||
        millisecond > 999)
        return false;
    const int64_t ms = ((int64_t{hour} * 60 + minute) * 60 + second) * 1000 + millisecond;
    time = static_cast<double>(ms) / static_cast<double>(kMsPerDay);
    return true;
}

TDateTime EncodeDate(int year, int month, int day) {
    TDateTime date = 0;
    if (!TryEncodeDate(year, month, day, date)) throw EConvertError("Invalid argument to date encode");
    return date;
}

TDateTime EncodeTime(int hour, int minute, int second, int millisecond) {
    TDateTime time = 0;
    if (!TryEncodeTime(hour, minute, second, millisecond, time)) throw EConvertError("Invalid argument to time encode");
    return time;
}

void DecodeDate(TDateTime date, int& year, int& month, int& day) {
    const Stamp stamp = ToStamp(date);
    if (stamp.day <= 0) {
        year = month = day = 0;
        return;
    }
    // Whole 400-, 100-, 4- and 1-year cycles; the last day of a long cycle
    // belongs to its last short one.
    int64_t d = stamp.day - 1;
    const int64_t y400 = d / 146'097;
    d %= 146'097;
    int64_t y100 = d / 36'524;
    if (y100 == 4) y100 = 3;
    d -= y100 * 36'524;
    const int64_t y4 = d / 1'461;
    d %= 1'461;
    int64_t y1 = d / 365;
    if (y1 == 4) y1 = 3;
    d -= y1 * 365;
    year = static_cast<int>(y400 * 400 + y100 * 100 + y4 * 4 + y1 + 1);
    const int leap = IsLeapYear(year) ? 1 : 0;
    month = 1;
    while (d >= kDaysBefore[leap][month]) ++month;
    day = static_cast<int>(d - kDaysBefore[leap][month - 1] + 1);
}

void DecodeTime(TDateTime time, int& hour, int& minute, int& second, int& millisecond) {
    int64_t ms = ToStamp(time).ms;
    millisecond = static_cast<int>(ms % 1000);
    ms /= 1000;
    second = static_cast<int>(ms % 60);
    ms /= 60;
    minute = static_cast<int>(ms % 60);
    hour = static_cast<int>(ms / 60);
}

int DayOfWeek(TDateTime date) {
    const int64_t day = ToStamp(date).day;
    return static_cast<int>((day % 7 + 7) % 7) + 1;
}

TDateTime Now() {
    if (Source()) return Source()();
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    TDateTime date = 0, time = 0;
    TryEncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, date);
    // A leap second reads as the second before it.
    TryEncodeTime(local.tm_hour, local.tm_min, local.tm_sec > 59 ? 59 : local.tm_sec,
                  static_cast<int>(now.tv_nsec / 1'000'000), time);
    return date + time;
}

TDateTime Date() {
    int year = 0, month = 0, day = 0;
    DecodeDate(Now(), year, month, day);
    TDateTime date = 0;
    TryEncodeDate(year, month, day, date);
    return date;
}

TDateTime Time() {
    int hour = 0, minute = 0, second = 0, ms = 0;
    DecodeTime(Now(), hour, minute, second, ms);
    TDateTime time = 0;
    TryEncodeTime(hour, minute, second, ms, time);
    return time;
}

namespace thorn {

void SetDateTimeSource(std::function<TDateTime()> source) { Source() = std::move(source); }

}  // namespace thorn
