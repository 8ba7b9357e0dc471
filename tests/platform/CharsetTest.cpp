#include <gtest/gtest.h>

#include "platform/Charset.h"

namespace {

using namespace thorn;

TEST(Charset, Windows1252BytesMapToTheirUnicodeCharacters) {
    EXPECT_EQ(FromWindows1252("A\x80\xE9\x9F\xFF"), std::u32string(U"A\u20AC\u00E9\u0178\u00FF"));
    EXPECT_EQ(Windows1252ToUnicode(0x85), U'\u2026');
    EXPECT_EQ(Windows1252ToUnicode(0x99), U'\u2122');
    // Undefined bytes keep their number, so that every byte survives.
    EXPECT_EQ(Windows1252ToUnicode(0x81), U'\u0081');
    EXPECT_EQ(Windows1252ToUnicode(0x9D), U'\u009D');
}

TEST(Charset, EveryByteSurvivesTheRoundTrip) {
    std::string all;
    for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
    EXPECT_EQ(ToWindows1252(FromWindows1252(all)), all);
    EXPECT_EQ(Utf8ToWindows1252(Windows1252ToUtf8(all)), all);
}

TEST(Charset, CharactersOutsideTheCodePageAreRefused) {
    EXPECT_EQ(ToWindows1252(U"\u20AC\u00E9"), std::optional<std::string>("\x80\xE9"));
    EXPECT_EQ(ToWindows1252(U"a\u0100"), std::nullopt);
    EXPECT_EQ(ToWindows1252(U"\U0001F600"), std::nullopt);
    EXPECT_EQ(Utf8ToWindows1252("caf\xC3\xA9 \xE2\x82\xAC"), std::optional<std::string>("caf\xE9 \x80"));
    EXPECT_EQ(Utf8ToWindows1252("\xC4\x80"), std::nullopt);  // U+0100
}

TEST(Charset, IllFormedUtf8IsRefused) {
    EXPECT_EQ(Utf8ToWindows1252("\xC0\x80"), std::nullopt);      // overlong
    EXPECT_EQ(Utf8ToWindows1252("\x80"), std::nullopt);          // lone continuation
    EXPECT_EQ(Utf8ToWindows1252("\xED\xA0\x80"), std::nullopt);  // surrogate
    EXPECT_EQ(Utf8ToWindows1252("\xC3"), std::nullopt);          // cut short
    EXPECT_EQ(Utf8ToWindows1252("\xF8\x88\x80\x80\x80"), std::nullopt);
    EXPECT_EQ(Windows1252ToUtf8("\x80"), "\xE2\x82\xAC");
}

TEST(Charset, Utf8GivesEveryCharacterOfWellFormedBytesOnly) {
    EXPECT_EQ(Utf8ToUnicode("a\xC4\x80\xF0\x9F\x98\x80"), std::optional<std::u32string>(U"a\u0100\U0001F600"));
    EXPECT_EQ(Utf8ToUnicode(""), std::optional<std::u32string>(U""));
    EXPECT_EQ(Utf8ToUnicode("ab\xC3"), std::nullopt);
    EXPECT_EQ(Utf8ToUnicode("\xED\xA0\x80"), std::nullopt);
}

TEST(Charset, TypedTextKeepsWhatFitsAndMarksEachGapOnce) {
    using Chars = std::vector<std::optional<char>>;
    // a, é, U+0100, an overlong form with its continuation, €, a cut-short lead.
    EXPECT_EQ(Utf8CharactersToWindows1252("a\xC3\xA9\xC4\x80\xC0\x80\xE2\x82\xAC\xE2"),
              (Chars{'a', '\xE9', std::nullopt, std::nullopt, '\x80', std::nullopt}));
}

TEST(Charset, LettersChangeCaseBothWaysAndNothingElseDoes) {
    // Every letter pair of the code page, each way.
    int pairs = 0;
    for (int b = 0; b < 256; ++b) {
        const auto byte = static_cast<unsigned char>(b);
        const unsigned char upper = thorn::UpperCase1252(byte), lower = thorn::LowerCase1252(byte);
        SCOPED_TRACE(b);
        if (upper != byte) {
            ++pairs;
            EXPECT_EQ(thorn::LowerCase1252(upper), byte);
            EXPECT_EQ(lower, byte);
        }
        if (lower != byte) {
            EXPECT_EQ(thorn::UpperCase1252(lower), byte);
        }
    }
    EXPECT_EQ(pairs, 26 + 30 + 4);  // ASCII, à..þ less ÷, š œ ž ÿ
    EXPECT_EQ(thorn::LowerCase1252(0xD7), 0xD7);  // ×
    EXPECT_EQ(thorn::LowerCase1252(0xDF), 0xDF);  // ß has no capital here
}

}  // namespace
