// Preconditions of the imaging core.
//
// TI_ASSERT(condition, text, line) checks a precondition. When it does not
// hold it throws TiAssertionError carrying the condition text (as the
// contract words it), the calling function, the source file named by the
// nearest `kTiSourceFile` in scope, and the contract's line number.
//
// It throws instead of aborting so that one bad command fails that command
// and the program goes on: the command dispatcher catches the error, records
// a message and fails the command.
#pragma once

#include <stdexcept>
#include <string>

namespace vantrel {

class TiAssertionError : public std::logic_error {
public:
    TiAssertionError(std::string condition, std::string function, std::string file, int line);

    const std::string& condition() const { return m_condition; }
    const std::string& function() const { return m_function; }
    const std::string& file() const { return m_file; }
    int line() const { return m_line; }

private:
    std::string m_condition;
    std::string m_function;
    std::string m_file;
    int m_line;
};

[[noreturn]] void TiAssertFail(const char* condition, const char* function, const char* file,
                               int line);

}  // namespace vantrel

// The file is given explicitly; use this form where one source file holds
// assertions that the contract places in two files (a header and its body).
#define TI_ASSERT_IN(file, condition, text, line) \
    ((condition) ? static_cast<void>(0) : ::vantrel::TiAssertFail(text, __func__, file, line))

#define TI_ASSERT(condition, text, line) TI_ASSERT_IN(kTiSourceFile, condition, text, line)
