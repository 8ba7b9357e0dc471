#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// Dates and times as the class library kept them: a TDateTime counts days
// since 12/30/1899 (day 0), the fraction being the time of day. A negative
// value counts back from that day and its fraction is still the time after
// midnight (-1.25 is 12/29/1899 06:00). The calendar is the Gregorian one,
// extended back to year 1; years run from 1 to 9999.
using TDateTime = double;
using TDate = TDateTime;
using TTime = TDateTime;

bool IsLeapYear(int year);
// Days of month (1..12) in year; 0 for a month outside 1..12.
int DaysInAMonth(int year, int month);

// Throws EConvertError "Invalid argument to date encode" / "... time encode"
// for a day that does not exist or a time outside 0:00:00.000..23:59:59.999.
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int millisecond);
bool TryEncodeDate(int year, int month, int day, TDateTime& date);
bool TryEncodeTime(int hour, int minute, int second, int millisecond, TDateTime& time);

// Values are taken to the nearest millisecond first, so 23:59:59.9999 is
// midnight of the next day.
void DecodeDate(TDateTime date, int& year, int& month, int& day);
void DecodeTime(TDateTime time, int& hour, int& minute, int& second, int& millisecond);
// 1 for Sunday .. 7 for Saturday.
int DayOfWeek(TDateTime date);

// The local date and time.
TDateTime Now();
TDateTime Date();
TDateTime Time();

// Writes a date-time by a pattern. Letters may be in either case:
//   d, dd       day (dd with a leading zero); ddd, dddd short and long day name;
//   ddddd       the short date pattern; dddddd the long date pattern;
//   m, mm       month, or minute right after an hour field; mmm, mmmm month names;
//   yy, yyyy    year in two or four digits;
//   h, hh       hour (12-hour clock when an am/pm field follows);
//   n, nn       minute; s, ss second; z, zzz millisecond;
//   t, tt       the short and long time patterns; c the short date and the
//               long time pattern (the time left out at midnight);
//   am/pm, a/p  the half of the day, in the case written; ampm the settings'
//               "AM"/"PM";
//   / and :     the date and time separators; "..." and '...' as written.
// Any other character is written as it is.
std::string FormatDateTime(std::string_view format, TDateTime value);
std::string DateToStr(TDateTime date);      // the short date pattern
std::string TimeToStr(TDateTime time);      // the long time pattern
std::string DateTimeToStr(TDateTime value);  // pattern "c"

// Reads a date of two or three numbers separated by the date separator, in
// the order of the short date pattern (month, day, year); two numbers are a
// month and day of the current year. A year of one or two digits lands within
// the century window around the current year.
// Throws EConvertError "'x' is not a valid date".
TDateTime StrToDate(std::string_view text);
// Reads hours with optional minutes, seconds and milliseconds ("9", "9:05",
// "09:05:30", "09:05:30.250"), with an optional "AM"/"PM" before or after
// (then the hour is 1..12). Throws EConvertError "'x' is not a valid time".
TDateTime StrToTime(std::string_view text);
// A date, optionally followed by a time. Throws EConvertError
// "'x' is not a valid date and time".
TDateTime StrToDateTime(std::string_view text);
bool TryStrToDate(std::string_view text, TDateTime& value);
bool TryStrToTime(std::string_view text, TDateTime& value);
bool TryStrToDateTime(std::string_view text, TDateTime& value);

namespace thorn {

// Replaces the clock Now, Date, Time and the date reading read (tests fix
// "today" with it); an empty function restores the system clock.
void SetDateTimeSource(std::function<TDateTime()> source);

}  // namespace thorn
