#include "commands/NumberText.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <limits>
#include <system_error>

namespace vantrel {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

template <typename T, typename... Format>
std::string ToChars(T value, Format... format) {
    // Big enough for "%f" of the largest float widened to double (39 digits
    // and six decimals) and for every general form.
    char buffer[64];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, format...);
    if (error != std::errc()) return {};
    return std::string(buffer, end);
}

// The decimal exponent of the number's leading significant digit (1 for
// 1..9.99, 0 for 0.1..0.999, ...), used to tell overflow from underflow when
// the number does not fit; 0 for a zero mantissa.
long long LeadingDigitMagnitude(std::string_view number) {
    std::size_t i = 0;
    if (i < number.size() && (number[i] == '-' || number[i] == '+')) ++i;
    long long magnitude = 0;
    bool seenPoint = false;
    bool seenNonZero = false;
    for (; i < number.size() && (IsDigit(number[i]) || number[i] == '.'); ++i) {
        if (number[i] == '.') {
            seenPoint = true;
        } else if (!seenNonZero && number[i] == '0') {
            if (seenPoint) --magnitude;
        } else {
            if (!seenPoint) ++magnitude;
            seenNonZero = true;
        }
    }
    if (!seenNonZero) return 0;
    if (i < number.size() && (number[i] == 'e' || number[i] == 'E')) {
        // The exponent saturates; a long run of digits cannot overflow it.
        long long exponent = leadingInt(number.substr(i + 1));
        magnitude += exponent;
    }
    return magnitude;
}

template <typename T>
T DecimalOfText(std::string_view text) {
    std::size_t start = skipWhiteSpace(text, 0);
    std::string_view rest = text.substr(start);
    std::size_t length = decimalNumberLength(rest, true);
    if (length == 0) return 0;
    std::string_view number = rest.substr(0, length);
    const bool negative = number[0] == '-';
    // from_chars takes no '+'; a '-' it reads itself.
    std::string_view unsigned_number = number[0] == '+' ? number.substr(1) : number;
    T value = 0;
    auto [end, error] =
        std::from_chars(unsigned_number.data(), unsigned_number.data() + unsigned_number.size(),
                        value, std::chars_format::general);
    if (error == std::errc::result_out_of_range) {
        const T limit = LeadingDigitMagnitude(number) > 0 ? std::numeric_limits<T>::infinity() : 0;
        return negative ? -limit : limit;
    }
    if (error != std::errc()) return 0;
    return value;
}

}  // namespace

std::string intText(int value) {
    return ToChars(value);
}

std::string floatFixedText(float value) {
    return ToChars(static_cast<double>(value), std::chars_format::fixed, 6);
}

std::string boolText(bool value) {
    return value ? "1" : "0";
}

std::string floatGeneralText(float value) {
    return ToChars(value, std::chars_format::general, 7);
}

std::string doubleGeneralText(double value) {
    return ToChars(value, std::chars_format::general, 16);
}

int leadingInt(std::string_view text) {
    std::size_t i = skipWhiteSpace(text, 0);
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    // Accumulate toward the sign's end of the range so that INT_MIN fits.
    long long value = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) {
            return negative ? INT_MIN : INT_MAX;
        }
    }
    if (negative) return static_cast<int>(-value);
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

float floatOfText(std::string_view text) {
    return DecimalOfText<float>(text);
}

double doubleOfText(std::string_view text) {
    return DecimalOfText<double>(text);
}

bool boolOfText(std::string_view text) {
    std::size_t i = skipWhiteSpace(text, 0);
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    while (i < text.size() && text[i] == '0') ++i;
    if (i >= text.size()) return false;
    const char c = text[i];
    return c == 'Y' || c == 'y' || c == 'T' || c == 't' || (c >= '1' && c <= '9');
}

std::size_t whiteSpaceLength(std::string_view text, std::size_t pos) {
    if (pos >= text.size()) return 0;
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[pos + k]); };
    const std::size_t left = text.size() - pos;
    const unsigned char b0 = byte(0);
    if (b0 == ' ' || (b0 >= 0x09 && b0 <= 0x0D)) return 1;
    if (b0 == 0xC2 && left >= 2 && (byte(1) == 0x85 || byte(1) == 0xA0)) return 2;
    if (left < 3) return 0;
    const unsigned char b1 = byte(1), b2 = byte(2);
    if (b0 == 0xE1 && b1 == 0x9A && b2 == 0x80) return 3;  // U+1680
    if (b0 == 0xE3 && b1 == 0x80 && b2 == 0x80) return 3;  // U+3000
    if (b0 == 0xE2 && b1 == 0x80) {
        // U+2000..U+200A, U+2028, U+2029, U+202F
        if (b2 <= 0x8A || b2 == 0xA8 || b2 == 0xA9 || b2 == 0xAF) return 3;
    }
    if (b0 == 0xE2 && b1 == 0x81 && b2 == 0x9F) return 3;  // U+205F
    return 0;
}

std::size_t skipWhiteSpace(std::string_view text, std::size_t pos) {
    while (std::size_t length = whiteSpaceLength(text, pos)) pos += length;
    return pos < text.size() ? pos : text.size();
}

std::size_t decimalNumberLength(std::string_view text, bool allowPlus) {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '-' || (allowPlus && text[i] == '+'))) ++i;
    std::size_t digits = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) ++digits;
    if (i < text.size() && text[i] == '.') {
        std::size_t j = i + 1;
        for (; j < text.size() && IsDigit(text[j]); ++j) ++digits;
        if (digits > 0) i = j;
    }
    if (digits == 0) return 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '-' || text[j] == '+')) ++j;
        std::size_t exponentStart = j;
        while (j < text.size() && IsDigit(text[j])) ++j;
        if (j > exponentStart) i = j;
    }
    return i;
}

}  // namespace vantrel
