// The effects processor's synchronous path on the 12-megapixel picture: one
// command list of one command, run by runCommands(list, bitmap) on a fresh
// copy of the picture each pass (the copy is not timed). Compare with the
// bare operations (GeometryBench.cpp, ToneBench.cpp) and with
// BM_MemcpyReused / BM_MemcpyFresh.
//
// Besides the time, each benchmark reports what one command takes from
// memory: "allocs", the work allocations it makes (TiMalloc/TiCalloc), and
// "peakMB", how far the process's resident peak rises above the input while
// it runs, beside "resultMB", the size of its result. A command that paid
// for a second full-size buffer would show a peak of about the result plus
// 48 MB.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "Core/global/TiMemory.h"
#include "Fixture.h"
#include "commands/ActionCommands.h"
#include "commands/EffectsProcesser.h"

namespace vantrel::bench {
namespace {

// A kB field of /proc/self/status ("VmHWM:", "VmRSS:"), or -1.
long StatusKb(const char* field) {
    std::ifstream status("/proc/self/status");
    const std::size_t length = std::strlen(field);
    for (std::string line; std::getline(status, line);) {
        if (line.compare(0, length, field) == 0) return std::atol(line.c_str() + length);
    }
    return -1;
}

// Lowers the resident peak to the current resident size; false where the
// system does not allow it.
bool ResetResidentPeak() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return clear.good();
}

void RunList(benchmark::State& state, const Array& list) {
    const auto pristine = MakePhoto();
    EffectsProcesser processor;
    long allocations = 0;
    long peakKb = 0;
    double resultMb = 0;
    bool peakKnown = true;
    for (auto _ : state) {
        state.PauseTiming();
        auto bitmap = pristine->Clone(false);
        TiMemoryTestHook::Reset();
        peakKnown = peakKnown && ResetResidentPeak();
        const long before = StatusKb("VmRSS:");
        state.ResumeTiming();

        const bool done = processor.runCommands(list, *bitmap);

        state.PauseTiming();
        if (!done) state.SkipWithError("the command failed");
        allocations = TiMemoryTestHook::AllocationCount();
        peakKb = std::max(peakKb, StatusKb("VmHWM:") - before);
        resultMb = static_cast<double>(bitmap->GetPitch()) * bitmap->GetHeight() / (1 << 20);
        bitmap.reset();
        state.ResumeTiming();
    }
    ReportThroughput(state, *pristine);
    state.counters["allocs"] = static_cast<double>(allocations);
    state.counters["resultMB"] = resultMb;
    if (peakKnown) state.counters["peakMB"] = static_cast<double>(peakKb) / 1024;
}

void BM_ProcessorZoomHalf(benchmark::State& state) {
    RunList(state, EffectsProcesser::taskListEffectZoomByScale(0.5f));
}
BENCHMARK(BM_ProcessorZoomHalf)->Unit(benchmark::kMillisecond);

void BM_ProcessorRotate45(benchmark::State& state) {
    RunList(state, Array{Value(ActionCommand_ROTATE::commandWithDegrees(45)->dic())});
}
BENCHMARK(BM_ProcessorRotate45)->Unit(benchmark::kMillisecond);

void BM_ProcessorRotate90(benchmark::State& state) {
    RunList(state, Array{Value(ActionCommand_ROTATE::commandWithDegrees(90)->dic())});
}
BENCHMARK(BM_ProcessorRotate90)->Unit(benchmark::kMillisecond);

// A region command: the frame and the view cost nothing beside the operation.
void BM_ProcessorGray(benchmark::State& state) {
    RunList(state, Array{Value(ActionCommand::commandWithCmd(CMD_GRAY)->dic())});
}
BENCHMARK(BM_ProcessorGray)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vantrel::bench
