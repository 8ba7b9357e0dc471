#pragma once

#include <string>
#include <string_view>

// The game and the package directory read names as Windows-1252 bytes, while
// the file system hands out UTF-8 names.
namespace thorn {

// A UTF-8 file name as Windows-1252 bytes. A character that code page cannot
// hold becomes "_"; bytes that are not valid UTF-8 are kept as they are (the
// name is taken to be single-byte already).
std::string Utf8FileNameToAnsi(std::string_view name);

// Lower case by the Windows-1252 mapping: A-Z, the accented capitals
// 0xC0-0xDE (not 0xD7), and the four capitals of 0x80-0x9F.
char AnsiToLower(char c);
std::string AnsiLowerCase(std::string_view text);

}  // namespace thorn
