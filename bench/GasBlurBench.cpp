// The tent blur at 12 megapixels: its cost must not grow with the radius.
// Wall time decides; the CPU column is the whole process's, every thread's.
#include "Core/filter/GasBlur.h"
#include "Fixture.h"

namespace vantrel::bench {
namespace {

void BM_GasBlur(benchmark::State& state) {
    const auto pristine = MakePhoto(static_cast<int>(state.range(1)));
    auto work = MakePhoto(static_cast<int>(state.range(1)));
    const int radius = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        Restore(*work, *pristine);
        state.ResumeTiming();
        benchmark::DoNotOptimize(GasBlur(*work, radius));
    }
    ReportThroughput(state, *work);
}
BENCHMARK(BM_GasBlur)
    ->ArgNames({"radius", "bpp"})
    ->Args({10, 4})
    ->Args({100, 4})
    ->Args({2560, 4})
    ->Args({10, 3})
    ->Args({10, 1})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

}  // namespace
}  // namespace vantrel::bench
