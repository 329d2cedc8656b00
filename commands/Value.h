// The value model of commands and JSON text.
//
// A Value is one of: null, a boolean, an exact decimal number, a text (UTF-8),
// an Array of values or a Dictionary from text to value. Command dictionaries
// hold texts and nested arrays of texts; JSON text may bring any of them.
// Values copy deeply: a copied command never shares state with its source.
//
// Dictionary keeps its keys in insertion order; setting an existing key
// replaces its value in place. Lookups are hashed once a dictionary grows past
// a few entries, so reading JSON with many keys stays linear.
//
// Every value reads as a number, boolean or text through the readers of
// commands/NumberText.h: a text by the platform's text-to-number rules, a
// number as its own value (so the number 2.5 and the text "2.5" both read as
// the integer 2), a boolean as 1 or 0; null, arrays and dictionaries read as
// 0, false and the empty text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <variant>
#include <vector>

namespace vantrel {

// An exact decimal number: ± digits × 10^exponent. Kept normalised (no
// leading or trailing zero digits; zero has no digits and is not negative),
// so that equal numbers compare equal.
//
// Its text has no exponent, so the exponent is bounded: a number whose text
// would need more than kMaxMagnitude zeros besides its digits (1e129, or
// 1e-130) is refused, so that a short number can never become a long text.
class Decimal {
public:
    static constexpr int kMaxMagnitude = 128;

    Decimal() = default;

    // The number written in `text` (the whole text: an optional sign, digits
    // with an optional fraction, an optional exponent), or nothing when the
    // text is not such a number or lies outside the bounds.
    static std::optional<Decimal> fromText(std::string_view text);
    static Decimal fromInteger(long long value);

    // The exact value as plain decimal text, e.g. "-0.05", "1500", "0".
    std::string text() const;

    // Truncated toward zero, saturating at the int range.
    int intValue() const;
    // Correctly rounded.
    float floatValue() const;
    double doubleValue() const;
    bool isZero() const { return m_digits.empty(); }

    bool negative() const { return m_negative; }
    const std::string& digits() const { return m_digits; }
    std::int64_t exponent() const { return m_exponent; }

    friend bool operator==(const Decimal&, const Decimal&) = default;

private:
    // "digits e exponent", the compact form the number parsers take.
    std::string scientificText() const;

    bool m_negative = false;
    std::string m_digits;
    std::int64_t m_exponent = 0;
};

class Value;

class Array {
public:
    Array();
    Array(std::initializer_list<Value> values);
    Array(const Array&);
    Array(Array&&) noexcept;
    Array& operator=(const Array&);
    Array& operator=(Array&&) noexcept;
    ~Array();

    std::size_t size() const;
    bool empty() const;
    // The element at `index`, or null when the index is out of range.
    const Value* at(std::size_t index) const;
    const Value& operator[](std::size_t index) const;
    Value& operator[](std::size_t index);
    void push_back(Value value);
    void clear();

    std::vector<Value>::const_iterator begin() const;
    std::vector<Value>::const_iterator end() const;

    friend bool operator==(const Array& a, const Array& b);

private:
    std::vector<Value> m_values;
};

class Dictionary {
public:
    Dictionary();
    Dictionary(std::initializer_list<std::pair<std::string, Value>> entries);
    Dictionary(const Dictionary&);
    Dictionary(Dictionary&&) noexcept;
    Dictionary& operator=(const Dictionary&);
    Dictionary& operator=(Dictionary&&) noexcept;
    ~Dictionary();

    std::size_t size() const { return m_keys.size(); }
    bool empty() const { return m_keys.empty(); }

    // The value under `key`, or null when there is none.
    const Value* find(std::string_view key) const;
    Value* find(std::string_view key);

    // Stores `value` under `key`: in place when the key exists, else last.
    void set(std::string_view key, Value value);
    // Removes the key; later keys keep their order. False when absent.
    bool remove(std::string_view key);

    // Entries in insertion order.
    const std::string& keyAt(std::size_t index) const { return m_keys[index]; }
    const Value& valueAt(std::size_t index) const;

    // Equal keys in the same order with equal values.
    friend bool operator==(const Dictionary& a, const Dictionary& b);

private:
    struct KeyHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view key) const {
            return std::hash<std::string_view>{}(key);
        }
    };
    using Index = std::unordered_map<std::string, std::size_t, KeyHash, std::equal_to<>>;

    std::optional<std::size_t> position(std::string_view key) const;
    void rebuildIndex();

    std::vector<std::string> m_keys;
    std::vector<Value> m_values;
    Index m_index;  // key -> position; empty while the dictionary is small
};

class Value {
public:
    struct Null {
        friend bool operator==(Null, Null) { return true; }
    };

    Value() = default;
    Value(Null) {}
    Value(bool flag) : m_data(flag) {}
    Value(Decimal number) : m_data(std::move(number)) {}
    Value(std::string text) : m_data(std::move(text)) {}
    Value(std::string_view text) : m_data(std::string(text)) {}
    Value(const char* text) : m_data(std::string(text)) {}
    Value(Array array) : m_data(std::move(array)) {}
    Value(Dictionary dictionary) : m_data(std::move(dictionary)) {}
    // A number must be made explicitly (Decimal, or its text), never by a
    // silent conversion to bool.
    template <typename T>
    requires(std::is_arithmetic_v<T> && !std::is_same_v<T, bool>) Value(T)
    = delete;

    bool isNull() const { return std::holds_alternative<Null>(m_data); }
    bool isBool() const { return std::holds_alternative<bool>(m_data); }
    bool isNumber() const { return std::holds_alternative<Decimal>(m_data); }
    bool isText() const { return std::holds_alternative<std::string>(m_data); }
    bool isArray() const { return std::holds_alternative<Array>(m_data); }
    bool isDictionary() const { return std::holds_alternative<Dictionary>(m_data); }

    // The held thing, or null when the value is of another kind.
    const bool* boolean() const { return std::get_if<bool>(&m_data); }
    const Decimal* number() const { return std::get_if<Decimal>(&m_data); }
    const std::string* text() const { return std::get_if<std::string>(&m_data); }
    const Array* array() const { return std::get_if<Array>(&m_data); }
    Array* array() { return std::get_if<Array>(&m_data); }
    const Dictionary* dictionary() const { return std::get_if<Dictionary>(&m_data); }
    Dictionary* dictionary() { return std::get_if<Dictionary>(&m_data); }

    int intValue() const;
    float floatValue() const;
    double doubleValue() const;
    bool boolValue() const;
    // A text itself, a number's exact text, a boolean as "1" or "0"; else "".
    std::string stringValue() const;

    friend bool operator==(const Value&, const Value&) = default;

private:
    std::variant<Null, bool, Decimal, std::string, Array, Dictionary> m_data;
};

// Element access, defined here where Value is complete.
inline std::size_t Array::size() const {
    return m_values.size();
}
inline bool Array::empty() const {
    return m_values.empty();
}
inline const Value& Array::operator[](std::size_t index) const {
    return m_values[index];
}
inline Value& Array::operator[](std::size_t index) {
    return m_values[index];
}
inline std::vector<Value>::const_iterator Array::begin() const {
    return m_values.begin();
}
inline std::vector<Value>::const_iterator Array::end() const {
    return m_values.end();
}
inline const Value& Dictionary::valueAt(std::size_t index) const {
    return m_values[index];
}

}  // namespace vantrel
