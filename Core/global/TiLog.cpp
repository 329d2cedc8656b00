#include "Core/global/TiLog.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace vantrel {
namespace {

void StandardErrorWhenAsked(const char* line) {
    static const bool enabled = [] {
        const char* value = std::getenv("VANTREL_LOG");
        return value != nullptr && *value != '\0';
    }();
    if (enabled) std::fputs(line, stderr);
}

std::atomic<TiLogSink> g_sink{&StandardErrorWhenAsked};

}  // namespace

void TiLog(const char* format, ...) {
    char small[256];
    std::va_list args;
    va_start(args, format);
    std::va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    std::string line;
    if (length < 0) {
        line = format;
    } else if (static_cast<size_t>(length) < sizeof small) {
        line.assign(small, static_cast<size_t>(length));
    } else {
        line.resize(static_cast<size_t>(length) + 1);
        std::vsnprintf(line.data(), line.size(), format, again);
        line.resize(static_cast<size_t>(length));
    }
    va_end(again);
    if (line.empty() || line.back() != '\n') line += '\n';
    g_sink.load(std::memory_order_acquire)(line.c_str());
}

void TiSetLogSink(TiLogSink sink) {
    g_sink.store(sink ? sink : &StandardErrorWhenAsked, std::memory_order_release);
}

}  // namespace vantrel
