// JSON text: the program's own small writer and reader.
//
// Writer. A dictionary at indent level L is "{", then its entries in
// insertion order, each but the first preceded by ",", each written as the
// indent text of L (a line feed and L tabs; nothing for L = -1) followed by
// " KEY : VALUE", then "}" with no line break before it. Values: a text as a
// JSON string; a dictionary at level L + 1; an array as "[" with ", " between
// elements and "]"; null, true, false; a number as its exact decimal text
// without exponent. JSON strings escape only the double quote, the backslash,
// and backspace, tab, line feed, form feed and carriage return (\b \t \n \f
// \r); every other byte, other control characters included, is copied.
//
// Reader. Everything before the first "{" is skipped; trailing text after
// the object is ignored. Commas between pairs and between array elements are
// optional. A pair that fails to read ends the object, which must then close
// with "}" (keeping the pairs read so far) or fail; an array likewise ends at
// the first value that fails and must then close with "]". Values are texts,
// objects, arrays, true, false, null (each recognised by its prefix alone) and
// decimal numbers (kept exact; see Decimal for the bounds). In strings, \u
// takes exactly four hex digits written 0-9 and A-F (lower case fails); the
// UTF-16 unit becomes UTF-8, a valid surrogate pair one character and a lone
// surrogate U+FFFD; a backslash before any other character is kept together
// with it. White space is the platform's set (commands/NumberText.h).
//
// Failure contract: any byte string gives a dictionary or nothing; the reader
// never reads past the end, fails past kJsonMaxNesting nested objects and
// arrays, and runs in time linear in the text. A reader that fails leaves the
// scan where it stopped; single-token readers and the number reader do not
// move when they fail.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "commands/Value.h"

namespace vantrel {

inline constexpr int kJsonMaxNesting = 128;

// The dictionary as JSON text at indent level 0.
std::string jsonStringValue(const Dictionary& dictionary);
std::string jsonStringValueWithIndentLevel(const Dictionary& dictionary, int level);

// A text as a JSON string, quotes included.
std::string jsonStringForString(std::string_view text);

// The object in `text`, or nothing when there is no "{" or the object is
// malformed.
std::optional<Dictionary> dictionaryWithJSONString(std::string_view text);

}  // namespace vantrel
