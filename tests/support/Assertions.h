// Checks of the imaging core's preconditions.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "Core/global/TiAssert.h"

namespace vantrel::test {

// Expects `call` to throw TiAssertionError for the named precondition: its
// condition text, function, source file and line.
template <typename Call>
void ExpectAssertion(Call&& call, const std::string& condition, const std::string& function,
                     const std::string& file, int line) {
    try {
        call();
        ADD_FAILURE() << "no assertion for " << condition;
    } catch (const TiAssertionError& error) {
        EXPECT_EQ(error.condition(), condition);
        EXPECT_EQ(error.function(), function);
        EXPECT_EQ(error.file(), file);
        EXPECT_EQ(error.line(), line);
        EXPECT_NE(std::string(error.what()).find(condition), std::string::npos);
    }
}

}  // namespace vantrel::test
