// The texts of the STR_ keys: a JSON object from key to text, the program's
// English in the resource strings/en.json. A key without a text shows the
// key itself, so a missing text never hides a control.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>

namespace vantrel {

class LocalizedStrings {
public:
    LocalizedStrings() = default;

    // The texts of a JSON object's text members; anything else is skipped,
    // and text that is no JSON object gives no texts.
    static LocalizedStrings fromJson(std::string_view json);

    // resources strings/en.json, read once; no texts when it can't be read.
    static const LocalizedStrings& english();

    std::string text(std::string_view key) const;
    bool contains(std::string_view key) const { return m_texts.contains(key); }
    std::size_t size() const { return m_texts.size(); }

private:
    std::map<std::string, std::string, std::less<>> m_texts;
};

}  // namespace vantrel
