#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/DateTime.h"

// Date routines and calendar tables of the controls library. The tables
// wrap around the year: entry 0 is the month (or day) before the first,
// the last entry the one after the end, so a neighbour can be read without a
// test.

// Days of the months: December, January .. December, January.
inline constexpr std::array<int32_t, 14> DaysOfMonth = {31, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31, 31};
// Short day names: Saturday, Sunday .. Saturday, Sunday.
inline constexpr std::array<std::string_view, 9> WeekDay = {"Sat", "Sun", "Mon", "Tue", "Wed",
                                                             "Thu", "Fri", "Sat", "Sun"};
// Month names: December, January .. December, January.
inline constexpr std::array<std::string_view, 14> MonthOfYear = {
    "December", "January", "February", "March",    "April",    "May",      "June",
    "July",     "August",  "September", "October", "November", "December", "January"};

// The date as the number yyyymmdd (20240115 for January 15, 2024).
int32_t DateToInt(TDateTime date);
// The date a number yyyymmdd names. A number that names no date raises
// EConvertError.
TDateTime IntToDate(int32_t value);
// Year, month, day, hour, minute, second and millisecond in decimal, joined
// without padding or separators.
std::string rmDateTimeToStr(TDateTime value);
