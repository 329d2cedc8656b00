// Compact renderings of values for test expectations: texts as they stand,
// arrays as [a,b,[c]], dictionaries as "key=value key=value" in order,
// numbers as #text, booleans and null by name.
#pragma once

#include <string>

#include "commands/Value.h"

namespace vantrel::test {

std::string Texts(const Value& value);

inline std::string Texts(const Array& array) {
    std::string out = "[";
    for (std::size_t i = 0; i < array.size(); ++i) {
        if (i > 0) out += ',';
        out += Texts(array[i]);
    }
    out += ']';
    return out;
}

inline std::string Texts(const Dictionary& dictionary) {
    std::string out;
    for (std::size_t i = 0; i < dictionary.size(); ++i) {
        if (i > 0) out += ' ';
        out += dictionary.keyAt(i);
        out += '=';
        out += Texts(dictionary.valueAt(i));
    }
    return out;
}

inline std::string Texts(const Value& value) {
    if (const auto* text = value.text()) return *text;
    if (const auto* array = value.array()) return Texts(*array);
    // Appended rather than "{" + text: GCC 12 warns falsely on that form.
    if (const auto* dictionary = value.dictionary()) {
        return std::string("{").append(Texts(*dictionary)).append("}");
    }
    if (const auto* number = value.number()) return std::string("#").append(number->text());
    if (const auto* flag = value.boolean()) return *flag ? "true" : "false";
    return "null";
}

}  // namespace vantrel::test
