#include "commands/Value.h"

#include <climits>

#include "commands/NumberText.h"

namespace vantrel {
namespace {

// Dictionaries up to this size are searched linearly: command dictionaries
// hold a handful of keys, and a hash index would cost more than it saves.
constexpr std::size_t kIndexThreshold = 8;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The exponent digits of a number text as a value, saturating far beyond any
// exponent a bounded Decimal can have.
long long ExponentOfText(std::string_view digits) {
    constexpr long long kSaturation = 1'000'000'000'000LL;
    long long exponent = 0;
    for (char c : digits) {
        exponent = exponent * 10 + (c - '0');
        if (exponent > kSaturation) return kSaturation;
    }
    return exponent;
}

}  // namespace

std::optional<Decimal> Decimal::fromText(std::string_view text) {
    if (text.empty() || decimalNumberLength(text, true) != text.size()) return std::nullopt;
    Decimal number;
    std::size_t i = 0;
    if (text[i] == '-' || text[i] == '+') number.m_negative = text[i++] == '-';
    long long exponent = 0;
    bool inFraction = false;
    for (; i < text.size() && (IsDigit(text[i]) || text[i] == '.'); ++i) {
        if (text[i] == '.') {
            inFraction = true;
            continue;
        }
        if (inFraction) --exponent;
        if (number.m_digits.empty() && text[i] == '0') continue;  // leading zero
        number.m_digits.push_back(text[i]);
    }
    if (i < text.size()) {  // exponent: 'e' or 'E', an optional sign, digits
        ++i;
        bool negativeExponent = false;
        if (text[i] == '-' || text[i] == '+') negativeExponent = text[i++] == '-';
        long long value = ExponentOfText(text.substr(i));
        exponent += negativeExponent ? -value : value;
    }
    while (!number.m_digits.empty() && number.m_digits.back() == '0') {
        number.m_digits.pop_back();
        ++exponent;
    }
    if (number.m_digits.empty()) return Decimal();
    // Zeros the plain text needs beyond the digits themselves.
    const long long count = static_cast<long long>(number.m_digits.size());
    const long long padding = exponent >= 0 ? exponent : -exponent - count;
    if (padding > kMaxMagnitude) return std::nullopt;
    number.m_exponent = exponent;
    return number;
}

Decimal Decimal::fromInteger(long long value) {
    // Through the text form, which also normalises; always within bounds.
    return *fromText(std::to_string(value));
}

std::string Decimal::text() const {
    if (m_digits.empty()) return "0";
    std::string out = m_negative ? "-" : "";
    const long long count = static_cast<long long>(m_digits.size());
    if (m_exponent >= 0) {
        out += m_digits;
        out.append(static_cast<std::size_t>(m_exponent), '0');
    } else if (-m_exponent < count) {
        const auto integerDigits = static_cast<std::size_t>(count + m_exponent);
        out.append(m_digits, 0, integerDigits);
        out += '.';
        out.append(m_digits, integerDigits, std::string::npos);
    } else {
        out += "0.";
        out.append(static_cast<std::size_t>(-m_exponent - count), '0');
        out += m_digits;
    }
    return out;
}

int Decimal::intValue() const {
    const long long count = static_cast<long long>(m_digits.size());
    const long long integerDigits = count + m_exponent;
    if (m_digits.empty() || integerDigits <= 0) return 0;
    // Eleven digits already exceed the int range.
    if (integerDigits > 10) return m_negative ? INT_MIN : INT_MAX;
    long long value = 0;
    for (long long k = 0; k < integerDigits; ++k) {
        value = value * 10 + (k < count ? m_digits[static_cast<std::size_t>(k)] - '0' : 0);
    }
    if (m_negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

std::string Decimal::scientificText() const {
    if (m_digits.empty()) return "0";
    return (m_negative ? "-" : "") + m_digits + "e" + std::to_string(m_exponent);
}

float Decimal::floatValue() const {
    return floatOfText(scientificText());
}

double Decimal::doubleValue() const {
    return doubleOfText(scientificText());
}

Array::Array() = default;
Array::Array(std::initializer_list<Value> values) : m_values(values) {}
Array::Array(const Array&) = default;
Array::Array(Array&&) noexcept = default;
Array& Array::operator=(const Array&) = default;
Array& Array::operator=(Array&&) noexcept = default;
Array::~Array() = default;

const Value* Array::at(std::size_t index) const {
    return index < m_values.size() ? &m_values[index] : nullptr;
}

void Array::push_back(Value value) {
    m_values.push_back(std::move(value));
}

void Array::clear() {
    m_values.clear();
}

bool operator==(const Array& a, const Array& b) {
    return a.m_values == b.m_values;
}

Dictionary::Dictionary() = default;
Dictionary::Dictionary(std::initializer_list<std::pair<std::string, Value>> entries) {
    for (const auto& [key, value] : entries) set(key, value);
}
Dictionary::Dictionary(const Dictionary&) = default;
Dictionary::Dictionary(Dictionary&&) noexcept = default;
Dictionary& Dictionary::operator=(const Dictionary&) = default;
Dictionary& Dictionary::operator=(Dictionary&&) noexcept = default;
Dictionary::~Dictionary() = default;

std::optional<std::size_t> Dictionary::position(std::string_view key) const {
    if (!m_index.empty()) {
        auto found = m_index.find(key);
        if (found == m_index.end()) return std::nullopt;
        return found->second;
    }
    for (std::size_t i = 0; i < m_keys.size(); ++i) {
        if (m_keys[i] == key) return i;
    }
    return std::nullopt;
}

void Dictionary::rebuildIndex() {
    m_index.clear();
    if (m_keys.size() <= kIndexThreshold) return;
    m_index.reserve(m_keys.size());
    for (std::size_t i = 0; i < m_keys.size(); ++i) m_index.emplace(m_keys[i], i);
}

const Value* Dictionary::find(std::string_view key) const {
    auto at = position(key);
    return at ? &m_values[*at] : nullptr;
}

Value* Dictionary::find(std::string_view key) {
    auto at = position(key);
    return at ? &m_values[*at] : nullptr;
}

void Dictionary::set(std::string_view key, Value value) {
    if (auto at = position(key)) {
        m_values[*at] = std::move(value);
        return;
    }
    m_keys.emplace_back(key);
    m_values.push_back(std::move(value));
    if (m_keys.size() <= kIndexThreshold) return;
    if (m_index.empty()) {
        rebuildIndex();
    } else {
        m_index.emplace(m_keys.back(), m_keys.size() - 1);
    }
}

bool Dictionary::remove(std::string_view key) {
    auto at = position(key);
    if (!at) return false;
    m_keys.erase(m_keys.begin() + static_cast<std::ptrdiff_t>(*at));
    m_values.erase(m_values.begin() + static_cast<std::ptrdiff_t>(*at));
    rebuildIndex();
    return true;
}

bool operator==(const Dictionary& a, const Dictionary& b) {
    return a.m_keys == b.m_keys && a.m_values == b.m_values;
}

int Value::intValue() const {
    if (auto* t = text()) return leadingInt(*t);
    if (auto* n = number()) return n->intValue();
    if (auto* b = boolean()) return *b ? 1 : 0;
    return 0;
}

float Value::floatValue() const {
    if (auto* t = text()) return floatOfText(*t);
    if (auto* n = number()) return n->floatValue();
    if (auto* b = boolean()) return *b ? 1.0f : 0.0f;
    return 0;
}

double Value::doubleValue() const {
    if (auto* t = text()) return doubleOfText(*t);
    if (auto* n = number()) return n->doubleValue();
    if (auto* b = boolean()) return *b ? 1.0 : 0.0;
    return 0;
}

bool Value::boolValue() const {
    if (auto* t = text()) return boolOfText(*t);
    if (auto* n = number()) return !n->isZero();
    if (auto* b = boolean()) return *b;
    return false;
}

std::string Value::stringValue() const {
    if (auto* t = text()) return *t;
    if (auto* n = number()) return n->text();
    if (auto* b = boolean()) return *b ? "1" : "0";
    return {};
}

}  // namespace vantrel
