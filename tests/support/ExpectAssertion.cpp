#include "support/ExpectAssertion.h"

#include <gtest/gtest.h>

#include "Core/global/TiAssert.h"

namespace vantrel::test {

void ExpectAssertion(const std::function<void()>& call, const char* condition, const char* function,
                     const char* file, int line) {
    try {
        call();
        ADD_FAILURE() << "no assertion; expected \"" << condition << "\" in " << function;
    } catch (const TiAssertionError& error) {
        EXPECT_EQ(error.condition(), condition);
        EXPECT_EQ(error.function(), function);
        EXPECT_EQ(error.file(), file);
        EXPECT_EQ(error.line(), line);
    }
}

}  // namespace vantrel::test
