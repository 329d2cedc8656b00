// Property lists: a top-level dictionary of scalar values, read from the XML
// or the binary form and written as XML (libplist).
//
// Values are integers (64-bit signed), booleans, reals and texts. A value of
// any other kind (dates, data, arrays, nested dictionaries) reads as
// PropertyOther, so that a reader can tell a key of the wrong kind from a
// missing one; it can't be written.
//
// Failure: bytes that are not a property list, or whose top level is not a
// dictionary, give an error text; nothing is thrown. The caller bounds the
// size of what it reads.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "platform/Result.h"

namespace vantrel {

struct PropertyOther {
    friend bool operator==(PropertyOther, PropertyOther) { return true; }
};

using PropertyValue = std::variant<std::int64_t, bool, double, std::string, PropertyOther>;

// The entries of a property list's top dictionary, in the order written or read.
class PropertyList {
public:
    // Replaces the value of `key`, or appends it.
    void set(std::string_view key, PropertyValue value);
    // The value of `key`, or null.
    const PropertyValue* find(std::string_view key) const;

    const std::vector<std::pair<std::string, PropertyValue>>& entries() const { return m_entries; }

private:
    std::vector<std::pair<std::string, PropertyValue>> m_entries;
};

// The top dictionary of an XML or binary property list.
Result<PropertyList> ReadPropertyList(std::span<const unsigned char> bytes);

// The XML form of `list`; fails on a PropertyOther value.
Result<std::vector<unsigned char>> WritePropertyList(const PropertyList& list);

}  // namespace vantrel
