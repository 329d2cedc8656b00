// Diagnostic log lines ("retinex 1 3 1.200000", "Lomo: 5 LE_WarmGlowSoftLight").
//
// They carry no behaviour: nothing reads them back. By default they go to
// standard error only when the environment variable VANTREL_LOG is set and
// not empty; a shell or a test may install its own sink instead.
#pragma once

namespace vantrel {

// printf-style; the line is written with a trailing newline if it lacks one.
void TiLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The function that receives each formatted line; null restores the default.
using TiLogSink = void (*)(const char* line);
void TiSetLogSink(TiLogSink sink);

}  // namespace vantrel
