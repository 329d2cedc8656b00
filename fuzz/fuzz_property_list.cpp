// The property-list reader (the settings file's) on any bytes of the size a
// settings file may have: a dictionary of values or an error, never a crash,
// never a read out of bounds.
#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>

#include "platform/PropertyList.h"

namespace {

volatile std::size_t g_sink;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 64 * 1024) return 0;
    const vantrel::Result<vantrel::PropertyList> list = vantrel::ReadPropertyList({data, size});
    if (!list) return 0;
    for (const auto& [key, value] : list.value().entries()) {
        g_sink = key.size() + value.index();
        if (const auto* text = std::get_if<std::string>(&value)) g_sink = text->size();
    }
    return 0;
}
