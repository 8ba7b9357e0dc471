#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The model's texts are single-byte Windows-1252; the fonts and the host
// speak Unicode. These convert between the two.
namespace thorn {

// The Unicode character of one Windows-1252 byte. The five bytes the code
// page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the control
// characters of the same number, so that every byte of a model text comes
// back unchanged from the screen and the editors.
char32_t Windows1252ToUnicode(unsigned char byte);

// The Windows-1252 byte of a Unicode character, or nothing when the code page
// has no such character.
std::optional<unsigned char> UnicodeToWindows1252(char32_t ch);

// The capital of a Windows-1252 letter (ASCII, the accented letters and
// š, œ, ž, ÿ); every other byte as it is. Texts compared without case fold
// both sides through it.
unsigned char UpperCase1252(unsigned char byte);
// The small letter of a Windows-1252 capital: the reverse of UpperCase1252.
unsigned char LowerCase1252(unsigned char byte);

std::u32string FromWindows1252(std::string_view text);
std::string Windows1252ToUtf8(std::string_view text);

// Nothing when a character lies outside Windows-1252 (or, for UTF-8, when the
// bytes are not well-formed UTF-8).
std::optional<std::string> ToWindows1252(std::u32string_view text);
std::optional<std::string> Utf8ToWindows1252(std::string_view utf8);
// The characters of a UTF-8 text, or nothing when the bytes are not
// well-formed UTF-8 (whatever characters they would give).
std::optional<std::u32string> Utf8ToUnicode(std::string_view utf8);
// Each character of a UTF-8 text as its Windows-1252 byte, or nothing for a
// character the code page lacks or an ill-formed sequence (one per lead
// byte): what typing and pasting turn into text, refusing the gaps.
std::vector<std::optional<char>> Utf8CharactersToWindows1252(std::string_view utf8);

}  // namespace thorn
