#pragma once

#include <bitset>
#include <cstdint>
#include <string>
#include <string_view>

// Text routines of the controls library: single characters written and read
// as text, padding, sections of separated lists, shortened paths, sound-alike
// codes and wildcard matching. Texts are single-byte.

// A set of single-byte characters.
class TrmCharSet {
public:
    TrmCharSet() = default;
    TrmCharSet(std::string_view members) {
        for (char c : members) Include(c);
    }
    void Include(char c) { bits_.set(static_cast<unsigned char>(c)); }
    bool Contains(char c) const { return bits_.test(static_cast<unsigned char>(c)); }
    bool Empty() const { return bits_.none(); }

private:
    std::bitset<256> bits_;
};

// The character a text names: after trimming characters below 33 at both
// ends, "#" and a decimal code 0..255, or the one character itself ("#"
// alone is the character "#", so every text chartostr writes reads back). Throws
// EConvertError "Value must be between 0 and 255" for a code outside that
// range and "Invalid property value" for an empty text or one of several
// characters.
char strtochar(std::string_view text);
// The character itself from code 33 up, "#" and its decimal code below
// ("#9" for a tab, "#32" for a blank).
std::string chartostr(char ch);

// A size in bytes as text: below 1024 the number ("1023"), then kilobytes
// without decimals ("2 K" for 1536), megabytes with one ("1.5 M") and
// gigabytes with two ("2.25 G"), at most five figures before a switch to
// scientific notation; a negative size with thousand separators ("-1,234").
std::string SizeInt(int64_t size);

// The decimal text of value with "0" put in front of its digits (after a
// minus sign) until it is width long: LeadingZero(-5, 4) is "-005".
std::string LeadingZero(int32_t value, int32_t width);
// Blanks put in front of (PadLeft) or after (PadRight) text until it is width
// long.
std::string PadLeft(std::string_view text, int32_t width);
std::string PadRight(std::string_view text, int32_t width);
// text with every character of chars replaced by replacement.
std::string StripString(std::string_view text, const TrmCharSet& chars, char replacement);

// How many sections separator divides text into: one per separator, and one
// more when text goes on after the last one ("a,b," has 2, ",a" has 2, the
// empty text 0).
int32_t CountSections(std::string_view text, char separator);
// Section index (from 1) of text: the pieces between separators, the last
// being whatever follows the last separator; empty past the last section or
// below 1.
std::string ParseSection(std::string_view text, int32_t index, char separator);

// path shortened to about maxLength characters by cutting the end of its
// folder part and putting "..." there, keeping the file name when asked:
// "C:\a\b\c.txt" with 15 gives "C:\a\...\c.txt". The "..." is there even when
// nothing was cut, and the result is longer than maxLength when the folder
// part is used up. Folders end at "\", "/" or ":"; the file name is joined
// back with the separator the path used before it.
std::string PathEllipsis(std::string_view path, int32_t maxLength, bool keepFileName);

// The American Soundex code of text with at most length digits: letters
// only, case ignored, a leading "PH" coded as "F", a letter repeated in a row
// coded once; the first letter kept in front when keepFirst ("Robert" gives
// "R163"); padded with "0" to length.
std::string Soundex(std::string_view text, bool keepFirst, int32_t length);

// Whether text matches mask, case-sensitive, without backtracking: "?" is any
// one character; "*" skips up to the first occurrence of the mask's next
// character (taken literally) or, at the mask's end, matches the rest.
bool MaskStrCmp(std::string_view mask, std::string_view text);
