// Unpredictable text from the kernel's cryptographic random source
// (getrandom): OAuth nonces, login states, the running editor's token.
//
// Failure: an error text when the source can't be read; nothing is thrown,
// and no weaker source is ever used instead.
#pragma once

#include <cstddef>
#include <string>

#include "platform/Result.h"

namespace vantrel {

// `byteCount` random bytes (1 to 256) as lower-case hexadecimal text, twice
// as many characters.
Result<std::string> RandomHexText(std::size_t byteCount);

}  // namespace vantrel
