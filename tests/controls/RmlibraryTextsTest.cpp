#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "controls/Rmlibrary_Texts.h"
#include "platform/Classes.h"

namespace {

TEST(RmlibraryTexts, CharactersAsText) {
    EXPECT_EQ(chartostr(' '), "#32");
    EXPECT_EQ(chartostr('\t'), "#9");
    EXPECT_EQ(chartostr('!'), "!");
    EXPECT_EQ(chartostr('\xE9'), "\xE9");
    for (int code = 0; code < 256; ++code) EXPECT_EQ(strtochar(chartostr(static_cast<char>(code))), static_cast<char>(code));

    EXPECT_EQ(strtochar(" \tA\r\n"), 'A');
    EXPECT_EQ(strtochar("#065"), 'A');
    struct Refused {
        const char* text;
        const char* message;
    } const refused[] = {
        {"#300", "Value must be between 0 and 255"},
        {"#-1", "Value must be between 0 and 255"},
        {"ab", "Invalid property value"},
        {"  ", "Invalid property value"},
        {"#x", "'x' is not a valid integer value"},
    };
    for (const auto& [text, message] : refused) {
        SCOPED_TRACE(text);
        try {
            strtochar(text);
            ADD_FAILURE() << "accepted";
        } catch (const EConvertError& error) {
            EXPECT_EQ(error.Message(), message);
        }
    }
}

TEST(RmlibraryTexts, Sizes) {
    struct Case {
        int64_t size;
        const char* text;
    } const cases[] = {
        {0, "0"},
        {1023, "1023"},
        {1024, "1 K"},
        {1536, "2 K"},  // 1.5 without decimals
        {1048575, "1024 K"},
        {1048576, "1.0 M"},
        {1572864, "1.5 M"},
        {1073741824, "1.00 G"},
        {int64_t{9} << 29, "4.50 G"},
        {int64_t{1} << 50, "1.0486E6 G"},  // past five figures
        {-1234567, "-1,234,567"},
    };
    for (const auto& [size, text] : cases) EXPECT_EQ(SizeInt(size), text) << size;
}

TEST(RmlibraryTexts, Padding) {
    struct Zeros {
        int32_t value, width;
        const char* text;
    } const zeros[] = {{42, 5, "00042"},       {12345, 3, "12345"}, {-5, 4, "-005"},
                       {-5, 2, "-5"},          {-42, 1, "-42"},     {0, 3, "000"},
                       {std::numeric_limits<int32_t>::min(), 12, "-02147483648"}};
    for (const Zeros& z : zeros) EXPECT_EQ(LeadingZero(z.value, z.width), z.text) << z.value << " in " << z.width;
    EXPECT_EQ(PadLeft("ab", 4), "  ab");
    EXPECT_EQ(PadRight("ab", 4), "ab  ");
    EXPECT_EQ(PadRight("abc", -1), "abc");
    EXPECT_EQ(StripString("a-b_c-", TrmCharSet("-_"), ' '), "a b c ");
}

TEST(RmlibraryTexts, Sections) {
    struct Case {
        const char* text;
        int32_t count;
    } const counts[] = {{"a,b,c", 3}, {"a,b,", 2}, {",a", 2}, {"", 0}, {",", 1}, {"a", 1}};
    for (const auto& [text, count] : counts) EXPECT_EQ(CountSections(text, ','), count) << text;

    struct Section {
        const char* text;
        int32_t index;
        const char* section;
    } const sections[] = {{"a,b,c", 1, "a"}, {"a,b,c", 3, "c"}, {"a,b,c", 4, ""}, {"a,b,c", 0, ""},
                          {"a,,c", 2, ""},   {"a,b,", 3, ""},   {"a;b", 2, ""}};
    for (const auto& [text, index, section] : sections)
        EXPECT_EQ(ParseSection(text, index, ','), section) << text << " " << index;
}

TEST(RmlibraryTexts, PathEllipsis) {
    struct Case {
        const char* path;
        int32_t maxLength;
        bool keepFileName;
        const char* result;
    } const cases[] = {
        {R"(C:\a\b\c.txt)", 100, true, R"(C:\a\b\...\c.txt)"},
        {R"(C:\a\b\c.txt)", 15, true, R"(C:\a\...\c.txt)"},
        {R"(C:\a\b\c.txt)", 8, false, R"(C:\a\...)"},
        // The folder is used up: the result is longer than asked.
        {R"(C:\a\b\c.txt)", 5, true, R"(...\c.txt)"},
        {"c.txt", 100, true, R"(...\c.txt)"},
        {"/home/ann/maps/w.pw", 17, true, "/home/.../w.pw"},
    };
    for (const auto& [path, maxLength, keep, result] : cases)
        EXPECT_EQ(PathEllipsis(path, maxLength, keep), result) << path << " " << maxLength;
}

TEST(RmlibraryTexts, Soundex) {
    struct Case {
        const char* text;
        bool keepFirst;
        int32_t length;
        const char* code;
    } const cases[] = {
        {"Robert", true, 4, "R163"},   {"Rupert", true, 4, "R163"},     {"Tymczak", true, 4, "T5222"},
        {"Philip", true, 4, "F410"},   {"  o'Hara ", true, 4, "O600"}, {"Lloyd", true, 4, "L300"},
        {"Robert", false, 4, "6163"},  {"Philip", false, 4, "1410"},   {"Ab", true, 0, "A"},
        {"123", true, 4, ""},          {"P", true, 3, "P00"},
    };
    for (const auto& [text, keepFirst, length, code] : cases)
        EXPECT_EQ(Soundex(text, keepFirst, length), code) << text;
}

TEST(RmlibraryTexts, MaskStrCmp) {
    struct Case {
        const char* mask;
        const char* text;
        bool match;
    } const cases[] = {
        {"a*c", "abc", true},     {"a*x", "abc", false},  {"*", "", true},       {"", "a", false},
        {"", "", true},           {"*b", "abcb", false},  {"*b", "ab", true},    {"*?", "a", true},
        {"*?", "ab", false},      {"a?c", "abc", true},   {"a?c", "ac", false},  {"ABC", "abc", false},
        {"**c", "abc", true},     {"*?c", "abc", false},  {"?", "", false},      {"a*", "a", true},
    };
    for (const auto& [mask, text, match] : cases) EXPECT_EQ(MaskStrCmp(mask, text), match) << mask << " " << text;
}

}  // namespace
