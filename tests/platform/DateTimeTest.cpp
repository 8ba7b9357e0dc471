#include <gtest/gtest.h>

#include <array>

#include "platform/Classes.h"
#include "platform/DateTime.h"
#include "support/Readers.h"

namespace {

using thorn::test::MessageOf;

// Fixes "today" at 6/15/2025 10:00 for the readers that fill in the year.
class FixedToday : public ::testing::Test {
protected:
    void SetUp() override { thorn::SetDateTimeSource([] { return EncodeDate(2025, 6, 15) + 10.0 / 24; }); }
    void TearDown() override { thorn::SetDateTimeSource(nullptr); }
};

TEST(DateTime, DayNumbersOfTheCalendar) {
    struct Case {
        int year, month, day;
        double serial;
        int dayOfWeek;
    };
    const Case cases[] = {
        {1899, 12, 30, 0, 7},       {1899, 12, 29, -1, 6}, {1900, 1, 1, 2, 2},   {1900, 3, 1, 61, 5},
        {2000, 1, 1, 36526, 7},     {2000, 2, 29, 36585, 3}, {2006, 1, 1, 38718, 1},
        {1, 1, 1, -693593, 2},      {9999, 12, 31, 2958465, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.serial);
        EXPECT_EQ(EncodeDate(c.year, c.month, c.day), c.serial);
        int y = 0, m = 0, d = 0;
        // The time of day goes away from day 0 on either side.
        DecodeDate(c.serial < 0 ? c.serial - 0.75 : c.serial + 0.75, y, m, d);
        EXPECT_EQ(y * 10000 + m * 100 + d, c.year * 10000 + c.month * 100 + c.day);
        EXPECT_EQ(DayOfWeek(c.serial), c.dayOfWeek);
    }
}

TEST(DateTime, OnlyRealDaysAndTimesEncode) {
    struct Case {
        int year, month, day;
        bool ok;
    };
    const Case dates[] = {{2000, 2, 29, true},  {2024, 2, 29, true},  {1900, 2, 29, false}, {2100, 2, 29, false},
                          {2023, 4, 31, false}, {2023, 13, 1, false}, {0, 1, 1, false},     {10000, 1, 1, false},
                          {2023, 1, 0, false}};
    for (const Case& c : dates) {
        TDateTime date = -7;
        EXPECT_EQ(TryEncodeDate(c.year, c.month, c.day, date), c.ok) << c.year << "-" << c.month << "-" << c.day;
    }
    EXPECT_EQ(DaysInAMonth(2024, 2), 29);
    EXPECT_EQ(DaysInAMonth(2023, 2), 28);
    EXPECT_EQ(DaysInAMonth(2023, 12), 31);
    EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
    EXPECT_THROW(EncodeTime(0, 60, 0, 0), EConvertError);
    EXPECT_THROW(EncodeTime(0, 0, 0, 1000), EConvertError);
    EXPECT_THROW(EncodeDate(2023, 2, 29), EConvertError);
    EXPECT_EQ(MessageOf([] { EncodeDate(2023, 2, 29); }), "Invalid argument to date encode");
}

TEST(DateTime, TimeOfDayIsThePositiveFraction) {
    int h = 0, n = 0, s = 0, ms = 0, y = 0, m = 0, d = 0;
    DecodeTime(EncodeTime(13, 5, 9, 7), h, n, s, ms);
    EXPECT_EQ((std::array{h, n, s, ms}), (std::array{13, 5, 9, 7}));
    // Before day 0 the fraction still counts forward from midnight.
    DecodeDate(-1.25, y, m, d);
    DecodeTime(-1.25, h, n, s, ms);
    EXPECT_EQ((std::array{y, m, d, h}), (std::array{1899, 12, 29, 6}));
    // A value a hair before midnight is taken to the millisecond: the next day.
    DecodeDate(2 - 1e-10, y, m, d);
    DecodeTime(2 - 1e-10, h, n, s, ms);
    EXPECT_EQ((std::array{y, m, d, h, n}), (std::array{1900, 1, 1, 0, 0}));
}

TEST(DateTime, WrittenByPatterns) {
    const TDateTime afternoon = EncodeDate(2006, 1, 5) + EncodeTime(13, 5, 9, 7);
    const TDateTime midnight = EncodeDate(2006, 1, 5);
    struct Case {
        const char* format;
        TDateTime value;
        const char* text;
    };
    const Case cases[] = {
        {"mm/dd/yyyy", afternoon, "01/05/2006"},
        {"m/d/yy", afternoon, "1/5/06"},
        {"dddd, mmmm d, yyyy", afternoon, "Thursday, January 5, 2006"},
        {"ddd mmm", afternoon, "Thu Jan"},
        {"DD.MM.YYYY", afternoon, "05.01.2006"},
        {"hh:nn:ss.zzz", afternoon, "13:05:09.007"},
        {"h:mm", afternoon, "13:05"},
        {"h:mm am/pm", afternoon, "1:05 pm"},
        {"hh:nn AM/PM", afternoon, "01:05 PM"},
        {"h a/p", midnight, "12 a"},
        {"hh:nn ampm", midnight, "12:00 AM"},
        {"'Day' d \"of\" m", afternoon, "Day 5 of 1"},
        {"ddddd", afternoon, "01/05/2006"},
        {"dddddd", afternoon, "Thursday, January 05, 2006"},
        {"t", afternoon, "13:05"},
        {"tt", afternoon, "13:05:09"},
        {"c", afternoon, "01/05/2006 13:05:09"},
        {"c", midnight, "01/05/2006"},
        {"", midnight, "01/05/2006"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        EXPECT_EQ(FormatDateTime(c.format, c.value), c.text);
    }
    EXPECT_EQ(DateToStr(afternoon), "01/05/2006");
    EXPECT_EQ(TimeToStr(afternoon), "13:05:09");
    EXPECT_EQ(DateTimeToStr(afternoon), "01/05/2006 13:05:09");
}

TEST_F(FixedToday, DatesRead) {
    struct Case {
        const char* text;
        int year, month, day;  // year 0: refused
    };
    const Case cases[] = {
        {"1/5/2006", 2006, 1, 5},  {"01/05/2006", 2006, 1, 5}, {" 1 / 5 / 2006 ", 2006, 1, 5},
        {"1/5", 2025, 1, 5},       {"1/5/06", 2006, 1, 5},     {"1/5/75", 1975, 1, 5},
        {"1/5/74", 2074, 1, 5},    {"2/29/2024", 2024, 2, 29}, {"2/29/2023", 0, 0, 0},
        {"13/1/2006", 0, 0, 0},    {"1-5-2006", 0, 0, 0},      {"1/5/2006x", 0, 0, 0},
        {"5", 0, 0, 0},            {"1/5/12345", 0, 0, 0},     {"", 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        TDateTime value = -1;
        ASSERT_EQ(TryStrToDate(c.text, value), c.year != 0);
        if (c.year != 0) {
            EXPECT_EQ(value, EncodeDate(c.year, c.month, c.day));
        }
    }
    EXPECT_THROW(StrToDate("x"), EConvertError);
    EXPECT_EQ(MessageOf([] { StrToDate("x"); }), "'x' is not a valid date");
}

TEST(DateTime, TimesRead) {
    struct Case {
        const char* text;
        int hour, minute, second, ms;  // hour -1: refused
    };
    const Case cases[] = {
        {"9", 9, 0, 0, 0},           {"9:05", 9, 5, 0, 0},       {"09:05:30", 9, 5, 30, 0},
        {"09:05:30.250", 9, 5, 30, 250}, {"12:00 AM", 0, 0, 0, 0}, {"12:30 PM", 12, 30, 0, 0},
        {"1:00 pm", 13, 0, 0, 0},    {"PM 1:00", 13, 0, 0, 0},  {"11:30 AM", 11, 30, 0, 0},
        {"13:00 PM", -1, 0, 0, 0},   {"0:00 AM", -1, 0, 0, 0},  {"24:00", -1, 0, 0, 0},
        {"32:00", -1, 0, 0, 0},      {"9:60", -1, 0, 0, 0},     {"9:", -1, 0, 0, 0},
        {"", -1, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        TDateTime value = -1;
        ASSERT_EQ(TryStrToTime(c.text, value), c.hour >= 0);
        if (c.hour >= 0) {
            EXPECT_EQ(value, EncodeTime(c.hour, c.minute, c.second, c.ms));
        }
    }
    EXPECT_THROW(StrToTime("25:00"), EConvertError);
}

TEST(DateTime, DateAndTimeRead) {
    EXPECT_EQ(StrToDateTime("1/5/2006 13:05"), EncodeDate(2006, 1, 5) + EncodeTime(13, 5, 0, 0));
    EXPECT_EQ(StrToDateTime("13:05"), EncodeTime(13, 5, 0, 0));
    EXPECT_EQ(StrToDateTime("12/29/1899 06:00"), -1.25);
    EXPECT_EQ(MessageOf([] { StrToDateTime("1/5/2006 x"); }), "'1/5/2006 x' is not a valid date and time");
}

TEST_F(FixedToday, ClockCanBeFixed) {
    EXPECT_EQ(Date(), EncodeDate(2025, 6, 15));
    EXPECT_EQ(Time(), EncodeTime(10, 0, 0, 0));
    thorn::SetDateTimeSource(nullptr);
    const TDateTime today = Date(), now = Now();
    EXPECT_GT(now, EncodeDate(2024, 1, 1));
    EXPECT_GE(now - today, 0);
    EXPECT_LT(now - today, 1);
}

}  // namespace
