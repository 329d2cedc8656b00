// Colour balance at 12 megapixels, with and without preserved luminosity.
#include "Core/base/ColorBalance.h"
#include "Fixture.h"

namespace vantrel::bench {
namespace {

void RunBalance(benchmark::State& state, bool preserveLuminosity) {
    TimeOnPhoto(state,
                [preserveLuminosity](TiBitmapData& bitmap) {
                    BalanceColor(bitmap, 34, 0, -87, TiToneMidtones, preserveLuminosity);
                    return 1;
                },
                {.warmUp = true});
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
