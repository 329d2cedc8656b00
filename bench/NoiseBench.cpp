// Grain at 12 megapixels: the 3 x 3 median and random noise.
// Wall time decides; the CPU column is the whole process's, every thread's.
#include "Core/filter/Noise.h"
#include "Fixture.h"

namespace vantrel::bench {
namespace {

void BM_ReduceNoise(benchmark::State& state) {
    const auto pristine = MakePhoto();
    auto work = MakePhoto();
    for (auto _ : state) {
        state.PauseTiming();
        Restore(*work, *pristine);
        state.ResumeTiming();
        benchmark::DoNotOptimize(ReduceNoise(*work, 0));
    }
    ReportThroughput(state, *work);
}
BENCHMARK(BM_ReduceNoise)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// Serial by design: one or three calls of random() per pixel, in scan order.
void BM_AddNoise(benchmark::State& state) {
    const auto pristine = MakePhoto();
    auto work = MakePhoto();
    const bool colour = state.range(0) != 0;
    for (auto _ : state) {
        state.PauseTiming();
        Restore(*work, *pristine);
        state.ResumeTiming();
        benchmark::DoNotOptimize(AddNoise(*work, 10, colour));
    }
    ReportThroughput(state, *work);
}
BENCHMARK(BM_AddNoise)
    ->ArgName("colour")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

}  // namespace
}  // namespace vantrel::bench
