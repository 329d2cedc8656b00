#include "editing/LocalizedStrings.h"

#include <optional>

#include "commands/Json.h"
#include "platform/Resources.h"

namespace vantrel {

LocalizedStrings LocalizedStrings::fromJson(std::string_view json) {
    LocalizedStrings strings;
    const std::optional<Dictionary> object = dictionaryWithJSONString(json);
    if (!object) return strings;
    for (std::size_t i = 0; i < object->size(); ++i) {
        if (const std::string* text = object->valueAt(i).text()) {
            strings.m_texts[object->keyAt(i)] = *text;
        }
    }
    return strings;
}

const LocalizedStrings& LocalizedStrings::english() {
    static const LocalizedStrings strings = [] {
        const std::optional<std::string> json = readResourceText("strings", "en", "json");
        return json ? fromJson(*json) : LocalizedStrings();
    }();
    return strings;
}

std::string LocalizedStrings::text(std::string_view key) const {
    const auto found = m_texts.find(key);
    return found == m_texts.end() ? std::string(key) : found->second;
}

}  // namespace vantrel
