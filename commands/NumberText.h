// Numbers as text: the forms command parameters are written in, and the
// readers that turn any text back into a number.
//
// Writers (all locale-independent, '.' as the decimal point):
//   intText          "%d"                          50 -> "50"
//   floatFixedText   "%f" of the value as double   0.5f -> "0.500000"
//   boolText         "%d" of 0 or 1                true -> "1"
//   floatGeneralText "%.7g"                        1.0f -> "1", 0.25f -> "0.25"
//   doubleGeneralText "%.16g"                      1.2 -> "1.2"
//
// Readers accept any text and never fail; a text that holds no number reads
// as 0 (or false). They follow the platform's text-to-number rules:
//   leadingInt   leading white space skipped, an optional sign, then decimal
//                digits up to the first other character; saturates at the
//                int range.
//   floatOfText / doubleOfText  leading white space skipped, then the longest
//                decimal number (sign, digits, fraction, exponent); no hex, no
//                "inf" or "nan"; overflow gives an infinity, underflow zero.
//   boolOfText   leading white space skipped, an optional sign and leading
//                zeros skipped; true when the next character is Y, y, T, t or
//                a digit 1 to 9.
//
// White space is the platform's set of white-space and line-break characters
// in UTF-8: the ASCII ones (tab to carriage return, space), U+0085, U+00A0,
// U+1680, U+2000..U+200A, U+2028, U+2029, U+202F, U+205F and U+3000.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vantrel {

std::string intText(int value);
std::string floatFixedText(float value);
std::string boolText(bool value);
std::string floatGeneralText(float value);
std::string doubleGeneralText(double value);

int leadingInt(std::string_view text);
float floatOfText(std::string_view text);
double doubleOfText(std::string_view text);
bool boolOfText(std::string_view text);

// Byte length of the white-space character starting at `pos`, or 0 when the
// text has none there (or ends).
std::size_t whiteSpaceLength(std::string_view text, std::size_t pos);

// The position of the first character at or after `pos` that is not white
// space (text.size() when there is none).
std::size_t skipWhiteSpace(std::string_view text, std::size_t pos);

// Length of the longest decimal number at the start of `text`: an optional
// sign ('-' always, '+' when `allowPlus`), digits with an optional fraction
// (at least one digit in all), then an exponent when one follows in full.
// 0 when there is none.
std::size_t decimalNumberLength(std::string_view text, bool allowPlus);

}  // namespace vantrel
