#pragma once

#include <array>
#include <string_view>

// How numbers, dates and times are written and read. There is one fixed
// record with English settings: the editor's texts and files must read the
// same on every machine, whatever the user's locale.
struct TFormatSettings {
    char DecimalSeparator = '.';
    char ThousandSeparator = ',';
    char DateSeparator = '/';
    char TimeSeparator = ':';
    // Patterns of FormatDateTime; the short date pattern also fixes the order
    // in which StrToDate reads month, day and year.
    std::string_view ShortDateFormat = "mm/dd/yyyy";
    std::string_view LongDateFormat = "dddd, mmmm dd, yyyy";
    std::string_view ShortTimeFormat = "hh:nn";
    std::string_view LongTimeFormat = "hh:nn:ss";
    std::string_view TimeAMString = "AM";
    std::string_view TimePMString = "PM";
    std::array<std::string_view, 12> ShortMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::array<std::string_view, 12> LongMonthNames = {"January", "February", "March",     "April",
                                                       "May",     "June",     "July",      "August",
                                                       "September", "October", "November", "December"};
    // Sunday first, as DayOfWeek counts.
    std::array<std::string_view, 7> ShortDayNames = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    std::array<std::string_view, 7> LongDayNames = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                    "Thursday", "Friday", "Saturday"};
    // A two-digit year read from text lands within this many years before
    // the current year, or after it.
    int TwoDigitYearCenturyWindow = 50;
};

inline constexpr TFormatSettings FormatSettings{};
