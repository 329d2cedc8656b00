#include "Core/global/TiAssert.h"

#include <utility>

namespace vantrel {
namespace {

std::string DescribeFailure(const std::string& condition, const std::string& function,
                            const std::string& file, int line) {
    return "Assertion failed: (" + condition + "), function " + function + ", file " + file +
           ", line " + std::to_string(line) + ".";
}

}  // namespace

TiAssertionError::TiAssertionError(std::string condition, std::string function, std::string file,
                                   int line)
    : std::logic_error(DescribeFailure(condition, function, file, line)),
      m_condition(std::move(condition)),
      m_function(std::move(function)),
      m_file(std::move(file)),
      m_line(line) {}

void TiAssertFail(const char* condition, const char* function, const char* file, int line) {
    throw TiAssertionError(condition, function, file, line);
}

}  // namespace vantrel
