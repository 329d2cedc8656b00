// The JSON reader on any bytes: a dictionary or nothing, never a crash. A
// dictionary it reads must write and read back to itself, and every value in
// it must read as a number, boolean and text without fault.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "commands/Json.h"

namespace {

volatile double g_sink;

void readEveryValue(const vantrel::Value& value) {
    g_sink = value.intValue() + value.floatValue() + value.doubleValue() + value.boolValue() +
             static_cast<double>(value.stringValue().size());
    if (const auto* array = value.array()) {
        for (const auto& element : *array) readEveryValue(element);
    }
    if (const auto* dictionary = value.dictionary()) {
        for (std::size_t i = 0; i < dictionary->size(); ++i) {
            readEveryValue(dictionary->valueAt(i));
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::optional<vantrel::Dictionary> dictionary = vantrel::dictionaryWithJSONString(text);
    if (!dictionary) return 0;
    const std::string written = vantrel::jsonStringValue(*dictionary);
    std::optional<vantrel::Dictionary> again = vantrel::dictionaryWithJSONString(written);
    if (!again || !(*again == *dictionary)) __builtin_trap();
    if (vantrel::jsonStringValue(*again) != written) __builtin_trap();
    readEveryValue(vantrel::Value(*dictionary));
    return 0;
}
