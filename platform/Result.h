// Result<T>: a value or the text of what went wrong, for the platform calls
// that meet outside input (picture files, codecs, the file system). Errors are
// data here, never exceptions: nothing thrown inside a codec or a file call
// crosses its boundary.
#pragma once

#include <string>
#include <utility>

namespace vantrel {

// The value of a call that returns nothing but may fail.
struct Done {};

template <class T>
class Result {
public:
    static Result Success(T value) {
        Result result;
        result.m_value = std::move(value);
        result.m_ok = true;
        return result;
    }

    // `error` says what failed, in words meant for a person.
    static Result Failure(std::string error) {
        Result result;
        result.m_error = std::move(error);
        return result;
    }

    bool ok() const { return m_ok; }
    explicit operator bool() const { return m_ok; }

    // The value; a default T when the call failed.
    const T& value() const& { return m_value; }
    T& value() & { return m_value; }
    T&& value() && { return std::move(m_value); }

    // Empty when the call succeeded.
    const std::string& error() const { return m_error; }

private:
    Result() = default;

    T m_value{};
    std::string m_error;
    bool m_ok = false;
};

}  // namespace vantrel
