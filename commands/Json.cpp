#include "commands/Json.h"

#include <cstdint>

#include "commands/NumberText.h"

namespace vantrel {
namespace {

// ---- Writer ---------------------------------------------------------------

void appendIndent(std::string& out, int level) {
    if (level == -1) return;
    out += '\n';
    if (level > 0) out.append(static_cast<std::size_t>(level), '\t');
}

void appendString(std::string& out, std::string_view text) {
    out += '"';
    for (char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\f':
                out += "\\f";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out += c;
        }
    }
    out += '"';
}

void appendDictionary(std::string& out, const Dictionary& dictionary, int level);

void appendValue(std::string& out, const Value& value, int level) {
    if (auto* text = value.text()) {
        appendString(out, *text);
    } else if (auto* dictionary = value.dictionary()) {
        appendDictionary(out, *dictionary, level + 1);
    } else if (auto* array = value.array()) {
        out += '[';
        for (std::size_t i = 0; i < array->size(); ++i) {
            if (i > 0) out += ", ";
            appendValue(out, (*array)[i], level);
        }
        out += ']';
    } else if (auto* flag = value.boolean()) {
        out += *flag ? "true" : "false";
    } else if (auto* number = value.number()) {
        out += number->text();
    } else {
        out += "null";
    }
}

void appendDictionary(std::string& out, const Dictionary& dictionary, int level) {
    out += '{';
    for (std::size_t i = 0; i < dictionary.size(); ++i) {
        if (i > 0) out += ',';
        appendIndent(out, level);
        out += ' ';
        appendString(out, dictionary.keyAt(i));
        out += " : ";
        appendValue(out, dictionary.valueAt(i), level);
    }
    out += '}';
}

// ---- Reader ---------------------------------------------------------------

void appendUtf8(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

bool isHighSurrogate(std::uint32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool isLowSurrogate(std::uint32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

class JsonScanner {
public:
    explicit JsonScanner(std::string_view text) : m_text(text) {}

    bool scanJSONObject(Dictionary& out);

private:
    bool scanJSONArray(Array& out);
    bool scanJSONValue(Value& out);
    bool scanJSONString(std::string& out);
    bool scanJSONNumber(Value& out);
    bool scanJSONWord(Value& out);
    // Reads a T with `scan` and stores it in `out` when that succeeds.
    template <typename T>
    bool scanInto(Value& out, bool (JsonScanner::*scan)(T&)) {
        T item;
        if (!(this->*scan)(item)) return false;
        out = Value(std::move(item));
        return true;
    }
    bool scanUnicodeEscape(std::string& out);
    bool scanHexUnit(std::size_t at, std::uint32_t& unit) const;
    void scanJSONWhiteSpace() { m_pos = skipWhiteSpace(m_text, m_pos); }
    bool scanToken(char token);
    bool continuesWith(std::string_view word) const {
        return m_text.substr(m_pos).starts_with(word);
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
    int m_depth = 0;
};

bool JsonScanner::scanToken(char token) {
    const std::size_t start = m_pos;
    scanJSONWhiteSpace();
    if (m_pos < m_text.size() && m_text[m_pos] == token) {
        ++m_pos;
        return true;
    }
    m_pos = start;
    return false;
}

bool JsonScanner::scanJSONObject(Dictionary& out) {
    const std::size_t brace = m_text.find('{', m_pos);
    if (brace == std::string_view::npos || m_depth >= kJsonMaxNesting) return false;
    m_pos = brace + 1;
    ++m_depth;
    Dictionary dictionary;
    scanJSONWhiteSpace();
    for (;;) {
        std::string key;
        Value value;
        if (!scanJSONString(key) || !scanToken(':') || !scanJSONValue(value)) break;
        dictionary.set(key, std::move(value));
        scanJSONWhiteSpace();
        if (m_pos < m_text.size() && m_text[m_pos] == ',') {
            ++m_pos;
            scanJSONWhiteSpace();
        }
    }
    --m_depth;
    if (!scanToken('}')) return false;
    out = std::move(dictionary);
    return true;
}

bool JsonScanner::scanJSONArray(Array& out) {
    if (m_depth >= kJsonMaxNesting || !scanToken('[')) return false;
    ++m_depth;
    Array array;
    for (;;) {
        Value value;
        if (!scanJSONValue(value)) break;
        array.push_back(std::move(value));
        scanJSONWhiteSpace();
        if (m_pos < m_text.size() && m_text[m_pos] == ',') ++m_pos;
    }
    --m_depth;
    if (!scanToken(']')) return false;
    out = std::move(array);
    return true;
}

bool JsonScanner::scanJSONValue(Value& out) {
    scanJSONWhiteSpace();
    if (m_pos >= m_text.size()) return false;
    const char next = m_text[m_pos];
    if (next == '"') return scanInto<std::string>(out, &JsonScanner::scanJSONString);
    if (next == '{') return scanInto<Dictionary>(out, &JsonScanner::scanJSONObject);
    if (next == '[') return scanInto<Array>(out, &JsonScanner::scanJSONArray);
    if (scanJSONWord(out)) return true;
    if ((next >= '0' && next <= '9') || next == '-') return scanJSONNumber(out);
    return false;
}

// true, false and null, recognised by the prefix alone: "trueish" reads as
// true, then "ish".
bool JsonScanner::scanJSONWord(Value& out) {
    if (continuesWith("true")) {
        m_pos += 4;
        out = Value(true);
    } else if (continuesWith("false")) {
        m_pos += 5;
        out = Value(false);
    } else if (continuesWith("null")) {
        m_pos += 4;
        out = Value();
    } else {
        return false;
    }
    return true;
}

bool JsonScanner::scanJSONNumber(Value& out) {
    const std::string_view rest = m_text.substr(m_pos);
    const std::size_t length = decimalNumberLength(rest, false);
    if (length == 0) return false;
    std::optional<Decimal> number = Decimal::fromText(rest.substr(0, length));
    if (!number) return false;
    m_pos += length;
    out = Value(std::move(*number));
    return true;
}

bool JsonScanner::scanJSONString(std::string& out) {
    if (!scanToken('"')) return false;
    while (m_pos < m_text.size()) {
        const char c = m_text[m_pos];
        if (c == '"') {
            ++m_pos;
            return true;
        }
        if (c != '\\') {
            out += c;
            ++m_pos;
            continue;
        }
        if (m_pos + 1 >= m_text.size()) return false;
        const char escaped = m_text[m_pos + 1];
        switch (escaped) {
            case '"':
                out += '"';
                break;
            case '\\':
                out += '\\';
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'u':
                if (!scanUnicodeEscape(out)) return false;
                continue;
            default:
                out += '\\';
                out += escaped;
        }
        m_pos += 2;
    }
    return false;  // the text ended inside the string
}

// Four hex digits 0-9, A-F at `at`.
bool JsonScanner::scanHexUnit(std::size_t at, std::uint32_t& unit) const {
    if (at > m_text.size() || m_text.size() - at < 4) return false;
    unit = 0;
    for (std::size_t k = 0; k < 4; ++k) {
        const char c = m_text[at + k];
        std::uint32_t digit = 0;
        if (c >= '0' && c <= '9') {
            digit = static_cast<std::uint32_t>(c - '0');
        } else if (c >= 'A' && c <= 'F') {
            digit = static_cast<std::uint32_t>(c - 'A' + 10);
        } else {
            return false;
        }
        unit = unit * 16 + digit;
    }
    return true;
}

// At a backslash followed by 'u': one UTF-16 unit, or a surrogate pair when a
// second \u escape completes it.
bool JsonScanner::scanUnicodeEscape(std::string& out) {
    std::uint32_t unit = 0;
    if (!scanHexUnit(m_pos + 2, unit)) return false;
    m_pos += 6;
    if (isHighSurrogate(unit)) {
        std::uint32_t low = 0;
        if (m_text.substr(m_pos).starts_with("\\u") && scanHexUnit(m_pos + 2, low) &&
            isLowSurrogate(low)) {
            m_pos += 6;
            appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
            return true;
        }
        appendUtf8(out, 0xFFFD);
        return true;
    }
    appendUtf8(out, isLowSurrogate(unit) ? 0xFFFD : unit);
    return true;
}

}  // namespace

std::string jsonStringValue(const Dictionary& dictionary) {
    return jsonStringValueWithIndentLevel(dictionary, 0);
}

std::string jsonStringValueWithIndentLevel(const Dictionary& dictionary, int level) {
    std::string out;
    appendDictionary(out, dictionary, level);
    return out;
}

std::string jsonStringForString(std::string_view text) {
    std::string out;
    appendString(out, text);
    return out;
}

std::optional<Dictionary> dictionaryWithJSONString(std::string_view text) {
    JsonScanner scanner(text);
    Dictionary dictionary;
    if (!scanner.scanJSONObject(dictionary)) return std::nullopt;
    return dictionary;
}

}  // namespace vantrel
