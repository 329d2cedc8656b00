// Colour balance at 12 megapixels, with and without preserved luminosity.
#include "Core/base/ColorBalance.h"
#include "Fixture.h"

namespace vantrel::bench {
namespace {

void RunBalance(benchmark::State& state, bool preserveLuminosity) {
    auto pristine = MakePhoto();
    auto work = MakePhoto();
    BalanceColor(*work, 34, 0, -87, TiToneMidtones, preserveLuminosity);
    for (auto _ : state) {
        state.PauseTiming();
        Restore(*work, *pristine);
        state.ResumeTiming();
        BalanceColor(*work, 34, 0, -87, TiToneMidtones, preserveLuminosity);
        benchmark::ClobberMemory();
    }
    ReportThroughput(state, *work);
}

void BM_BalanceColor(benchmark::State& state) {
    RunBalance(state, false);
}
BENCHMARK(BM_BalanceColor)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_BalanceColor_PreserveLuminosity(benchmark::State& state) {
    RunBalance(state, true);
}
BENCHMARK(BM_BalanceColor_PreserveLuminosity)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace vantrel::bench
