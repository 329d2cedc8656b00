// Checking that a precondition of the core fails with its exact wording.
#pragma once

#include <functional>

namespace vantrel::test {

// Runs `call` and checks that it throws TiAssertionError with this condition
// text, function, source file and line.
void ExpectAssertion(const std::function<void()>& call, const char* condition, const char* function,
                     const char* file, int line);

}  // namespace vantrel::test
