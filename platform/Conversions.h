#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Conversions between text and numbers with the fixed English settings of
// FormatSettings. Text that is not a number throws EConvertError naming it
// ("'abc' is not a valid integer value").

std::string IntToStr(int64_t value);

// A signed whole number: blanks in front, an optional sign, then decimal
// digits, or hexadecimal ones after "$", "0x" or "x". Nothing may follow.
// Decimal numbers must fit the type; hexadecimal ones its bits ("$FFFFFFFF"
// is -1 as a 32-bit number).
int32_t StrToInt(std::string_view text);
int64_t StrToInt64(std::string_view text);
int32_t StrToIntDef(std::string_view text, int32_t fallback);
bool TryStrToInt(std::string_view text, int32_t& value);
bool TryStrToInt64(std::string_view text, int64_t& value);

// A number with an optional sign, the decimal separator and an exponent
// ("E" or "e", optional sign, digits); blanks are allowed around it. Numbers
// beyond the range of a double are refused.
double StrToFloat(std::string_view text);
double StrToFloatDef(std::string_view text, double fallback);
bool TryStrToFloat(std::string_view text, double& value);

enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber };

// Rounds to precision significant digits (halves away from zero, on the
// value's first 18 digits) and writes it as:
//   ffGeneral  the shorter of fixed and scientific, trailing zeros removed;
//              scientific when the value is below 0.00001 or has more than
//              precision digits before the point; digits is the exponent's
//              smallest width ("1E20", "1.5E-7");
//   ffExponent d.ddd "E" sign exponent of at least digits (0..4) figures;
//   ffFixed    digits decimals ("3.50");
//   ffNumber   as ffFixed with thousand separators ("1,234.50").
// Infinities and NaN give "INF", "-INF" and "NAN".
std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits);

// FloatToStrF (value, ffGeneral, 15, 0).
std::string FloatToStr(double value);

// Writes value by a picture: "0" a digit or a zero, "#" a digit or nothing,
// "." the decimal separator, "," thousand separators anywhere in the integer
// part, "E+0", "E-0", "e+0", "e-0" scientific notation with that many
// exponent figures, quoted text as it is, any other character as it is. Up to
// three sections separated by ";" serve positive, negative and zero values;
// an empty or missing section falls back to the first. An empty picture
// writes FloatToStr.
std::string FormatFloat(std::string_view format, double value);
