#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/Classes.h"
#include "platform/Conversions.h"
#include "support/Readers.h"

namespace {

using thorn::test::MessageOf;

TEST(Conversions, IntegersFromText) {
    struct Case {
        const char* text;
        bool ok;
        int64_t value;
    };
    const Case cases[] = {
        {"0", true, 0},
        {"  42", true, 42},
        {"+7", true, 7},
        {"-2147483648", true, INT32_MIN},
        {"2147483647", true, INT32_MAX},
        {"2147483648", false, 0},
        {"-2147483649", false, 0},
        {"$FF", true, 255},
        {"0x1f", true, 31},
        {"-$10", true, -16},
        {"$FFFFFFFF", true, -1},
        {"$100000000", false, 0},
        {"", false, 0},
        {"-", false, 0},
        {"12 ", false, 0},
        {"1.0", false, 0},
        {"abc", false, 0},
        {"$", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        int32_t value = 99;
        EXPECT_EQ(TryStrToInt(c.text, value), c.ok);
        EXPECT_EQ(StrToIntDef(c.text, -5), c.ok ? c.value : -5);
        if (c.ok) {
            EXPECT_EQ(StrToInt(c.text), c.value);
        }
    }
    EXPECT_EQ(StrToInt64("-9223372036854775808"), INT64_MIN);
    EXPECT_EQ(StrToInt64("$FFFFFFFFFFFFFFFF"), -1);
    EXPECT_EQ(StrToInt64("4294967296"), 4294967296);
    EXPECT_EQ(IntToStr(-12), "-12");
    EXPECT_EQ(IntToStr(INT64_MIN), "-9223372036854775808");
}

TEST(Conversions, RefusedTextNamesItself) {
    EXPECT_THROW(StrToInt("abc"), EConvertError);
    EXPECT_THROW(StrToFloat("abc"), EConvertError);
    EXPECT_EQ(MessageOf([] { StrToInt("abc"); }), "'abc' is not a valid integer value");
    EXPECT_EQ(MessageOf([] { StrToInt64(""); }), "'' is not a valid integer value");
    EXPECT_EQ(MessageOf([] { StrToFloat("1,5"); }), "'1,5' is not a valid floating point value");
}

TEST(Conversions, FloatsFromText) {
    struct Case {
        const char* text;
        bool ok;
        double value;
    };
    const Case cases[] = {
        {"1.5", true, 1.5},       {" -0.25 ", true, -0.25}, {"+3", true, 3},   {".5", true, 0.5},
        {"5.", true, 5},          {"1e3", true, 1000},      {"2.5E-2", true, 0.025},
        {"1e-400", true, 0},      {"1e400", false, 0},      {"1e", false, 0},  {".", false, 0},
        {"", false, 0},           {"1.2.3", false, 0},      {"nan", false, 0}, {"inf", false, 0},
        {"0.000000000000000000000000000000000000000000001e400", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        double value = 99;
        EXPECT_EQ(TryStrToFloat(c.text, value), c.ok);
        if (c.ok) {
            EXPECT_EQ(value, c.value);
        }
        EXPECT_EQ(StrToFloatDef(c.text, -1), c.ok ? c.value : -1);
    }
}

TEST(Conversions, FloatsToText) {
    struct Case {
        double value;
        TFloatFormat format;
        int precision, digits;
        const char* text;
    };
    const double inf = std::numeric_limits<double>::infinity();
    const Case cases[] = {
        {0, ffGeneral, 15, 0, "0"},
        {1.5, ffGeneral, 15, 0, "1.5"},
        {-2, ffGeneral, 15, 0, "-2"},
        {0.1, ffGeneral, 15, 0, "0.1"},
        {1.0 / 3, ffGeneral, 15, 0, "0.333333333333333"},
        {2.0 / 3, ffGeneral, 15, 0, "0.666666666666667"},
        {0.00001, ffGeneral, 15, 0, "0.00001"},
        {0.000001, ffGeneral, 15, 0, "1E-6"},
        {123456789012345, ffGeneral, 15, 0, "123456789012345"},
        {1e15, ffGeneral, 15, 0, "1E15"},
        {1.5e20, ffGeneral, 15, 2, "1.5E20"},
        {0.125, ffFixed, 15, 2, "0.13"},
        {-0.125, ffFixed, 15, 2, "-0.13"},
        {2.675, ffFixed, 15, 2, "2.67"},
        {2.5, ffFixed, 15, 0, "3"},
        {-0.001, ffFixed, 15, 2, "0.00"},
        {123.456, ffFixed, 4, 2, "123.50"},
        {1536.0 / 1024, ffFixed, 5, 0, "2"},
        {-1234567.891, ffNumber, 10, 0, "-1,234,568"},
        {999.5, ffNumber, 15, 0, "1,000"},
        {1234.5, ffExponent, 4, 2, "1.235E+03"},
        {0.00123, ffExponent, 3, 0, "1.23E-3"},
        {0, ffExponent, 3, 2, "0.00E+00"},
        {inf, ffGeneral, 15, 0, "INF"},
        {-inf, ffFixed, 15, 2, "-INF"},
        {std::nan(""), ffGeneral, 15, 0, "NAN"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(FloatToStrF(c.value, c.format, c.precision, c.digits), c.text);
    }
    EXPECT_EQ(FloatToStr(0.5), "0.5");
}

TEST(Conversions, FloatsByPicture) {
    struct Case {
        const char* format;
        double value;
        const char* text;
    };
    const Case cases[] = {
        {"", 1.25, "1.25"},
        {"0", 1234.567, "1235"},
        {"0.00", 1234.567, "1234.57"},
        {"0.00", 0.125, "0.13"},
        {"#.##", 0.5, ".5"},
        {"#.##", 12, "12"},
        {"#", 0, ""},
        {"#,##0.00", 1234567.891, "1,234,567.89"},
        {"#,##0.00", -5, "-5.00"},
        {"000.0#", 3.14159, "003.14"},
        {"000.0#", 3.1, "003.1"},
        {"0.00E+00", 12345, "1.23E+04"},
        {"0.0e-0", 0.00012, "1.2e-4"},
        {"0.0E-00", 120, "1.2E02"},
        {"00.0E+0", 12345, "12.3E+3"},
        {"'$'#,##0.00", -1234.5, "-$1,234.50"},
        {"\"x\"0", 7, "x7"},
        {"0.00;(0.00)", -2.5, "(2.50)"},
        {"0.00;;zero", 0, "zero"},
        {"0.00;(0.00);zero", -0.001, "zero"},
        {"0.00;", -2.5, "-2.50"},
        {".00", 12.5, "12.50"},
        {"0 %", 45, "45 %"},
        {"0", 1e25, "1E25"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        EXPECT_EQ(FormatFloat(c.format, c.value), c.text);
    }
}

}  // namespace
