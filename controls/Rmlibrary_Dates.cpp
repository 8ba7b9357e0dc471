#include "controls/Rmlibrary_Dates.h"

#include "platform/Conversions.h"

int32_t DateToInt(TDateTime date) {
    int year = 0, month = 0, day = 0;
    DecodeDate(date, year, month, day);
    return year * 10000 + month * 100 + day;
}

TDateTime IntToDate(int32_t value) {
    // By value, not by the places of the digits in its text, so that the
    // years before 1000 that DateToInt writes read back too.
    return EncodeDate(value / 10000, value / 100 % 100, value % 100);
}

std::string rmDateTimeToStr(TDateTime value) {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millisecond = 0;
    DecodeDate(value, year, month, day);
    DecodeTime(value, hour, minute, second, millisecond);
    std::string text;
    for (int part : {year, month, day, hour, minute, second, millisecond}) text += IntToStr(part);
    return text;
}
