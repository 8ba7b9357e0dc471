#include <gtest/gtest.h>

#include "controls/Rmlibrary_Dates.h"
#include "platform/Classes.h"
#include "platform/FormatSettings.h"

namespace {

TEST(RmlibraryDates, DatesAsNumbers) {
    EXPECT_EQ(DateToInt(EncodeDate(2024, 1, 15) + EncodeTime(23, 59, 0, 0)), 20240115);
    EXPECT_EQ(IntToDate(20240229), EncodeDate(2024, 2, 29));
    EXPECT_EQ(IntToDate(DateToInt(EncodeDate(1, 12, 31))), EncodeDate(1, 12, 31));
    for (int32_t value : {20230229, 20241301, 2024, 0, -20240101, 202401150})
        EXPECT_THROW(IntToDate(value), EConvertError) << value;

    EXPECT_EQ(rmDateTimeToStr(EncodeDate(2024, 1, 5) + EncodeTime(9, 3, 7, 4)), "2024159374");
    EXPECT_EQ(rmDateTimeToStr(EncodeDate(1999, 12, 31) + EncodeTime(23, 59, 59, 999)), "19991231235959999");
}

// The tables wrap around the year and agree with the calendar.
TEST(RmlibraryDates, CalendarTables) {
    for (int month = 1; month <= 12; ++month) {
        EXPECT_EQ(DaysOfMonth[month], DaysInAMonth(2023, month));
        EXPECT_EQ(MonthOfYear[month], FormatSettings.LongMonthNames[month - 1]);
    }
    EXPECT_EQ(DaysOfMonth[0], DaysOfMonth[12]);
    EXPECT_EQ(DaysOfMonth[13], DaysOfMonth[1]);
    EXPECT_EQ(MonthOfYear[0], MonthOfYear[12]);
    EXPECT_EQ(MonthOfYear[13], MonthOfYear[1]);
    for (int day = 0; day < 7; ++day) EXPECT_EQ(WeekDay[day + 1], FormatSettings.ShortDayNames[day]);
    EXPECT_EQ(WeekDay[0], WeekDay[7]);
    EXPECT_EQ(WeekDay[8], WeekDay[1]);
}

}  // namespace
