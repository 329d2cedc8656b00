#include "platform/PropertyList.h"

#include <plist/plist.h>

#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>

namespace vantrel {
namespace {

struct FreeNode {
    void operator()(void* node) const { plist_free(static_cast<plist_t>(node)); }
};
using Node = std::unique_ptr<void, FreeNode>;

// Texts and iterators that libplist hands out with malloc.
struct FreeMemory {
    void operator()(void* memory) const { std::free(memory); }
};
template <typename T>
using Owned = std::unique_ptr<T, FreeMemory>;

PropertyValue ValueOf(plist_t node) {
    switch (plist_get_node_type(node)) {
        case PLIST_UINT: {
            std::uint64_t value = 0;
            plist_get_uint_val(node, &value);
            // Negative integers are kept in two's complement.
            return static_cast<std::int64_t>(value);
        }
        case PLIST_BOOLEAN: {
            std::uint8_t value = 0;
            plist_get_bool_val(node, &value);
            return value != 0;
        }
        case PLIST_REAL: {
            double value = 0;
            plist_get_real_val(node, &value);
            return value;
        }
        case PLIST_STRING: {
            // By pointer: a text holding a NUL byte trips the library's own
            // copy (an assertion), and the library keeps nothing reliable
            // past that byte, so the text ends there.
            std::uint64_t length = 0;
            const char* text = plist_get_string_ptr(node, &length);
            if (!text) return std::string();
            return std::string(text, strnlen(text, static_cast<std::size_t>(length)));
        }
        default:
            return PropertyOther{};
    }
}

plist_t NodeOf(const PropertyValue& value) {
    if (const auto* integer = std::get_if<std::int64_t>(&value)) {
        return plist_new_uint(static_cast<std::uint64_t>(*integer));
    }
    if (const auto* boolean = std::get_if<bool>(&value)) return plist_new_bool(*boolean ? 1 : 0);
    if (const auto* real = std::get_if<double>(&value)) return plist_new_real(*real);
    if (const auto* text = std::get_if<std::string>(&value)) return plist_new_string(text->c_str());
    return nullptr;
}

}  // namespace

void PropertyList::set(std::string_view key, PropertyValue value) {
    for (auto& entry : m_entries) {
        if (entry.first == key) {
            entry.second = std::move(value);
            return;
        }
    }
    m_entries.emplace_back(std::string(key), std::move(value));
}

const PropertyValue* PropertyList::find(std::string_view key) const {
    for (const auto& entry : m_entries) {
        if (entry.first == key) return &entry.second;
    }
    return nullptr;
}

Result<PropertyList> ReadPropertyList(std::span<const unsigned char> bytes) {
    using Outcome = Result<PropertyList>;
    if (bytes.empty() || bytes.size() > std::numeric_limits<std::uint32_t>::max()) {
        return Outcome::Failure("The data is not a property list.");
    }
    plist_t parsed = nullptr;
    plist_from_memory(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<std::uint32_t>(bytes.size()), &parsed);
    const Node root(parsed);
    if (!root) return Outcome::Failure("The data is not a property list.");
    if (plist_get_node_type(parsed) != PLIST_DICT) {
        return Outcome::Failure("The property list does not hold a dictionary.");
    }
    PropertyList list;
    plist_dict_iter rawIterator = nullptr;
    plist_dict_new_iter(parsed, &rawIterator);
    const Owned<void> iterator(rawIterator);
    for (;;) {
        char* rawKey = nullptr;
        plist_t item = nullptr;
        plist_dict_next_item(parsed, rawIterator, &rawKey, &item);
        const Owned<char> key(rawKey);
        if (!item || !rawKey) break;
        list.set(rawKey, ValueOf(item));
    }
    return Outcome::Success(std::move(list));
}

Result<std::vector<unsigned char>> WritePropertyList(const PropertyList& list) {
    using Outcome = Result<std::vector<unsigned char>>;
    const Node root(plist_new_dict());
    if (!root) return Outcome::Failure("Can not make a property list: not enough memory.");
    for (const auto& [key, value] : list.entries()) {
        plist_t node = NodeOf(value);
        if (!node) return Outcome::Failure("The value of \"" + key + "\" can't be written.");
        plist_dict_set_item(root.get(), key.c_str(), node);
    }
    char* xml = nullptr;
    std::uint32_t length = 0;
    plist_to_xml(root.get(), &xml, &length);
    const Owned<char> owned(xml);
    if (!xml) return Outcome::Failure("Can not make a property list: not enough memory.");
    return Outcome::Success(std::vector<unsigned char>(xml, xml + length));
}

}  // namespace vantrel
