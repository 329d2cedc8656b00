// Grain at 12 megapixels: the 3 x 3 median and random noise at its panel's
// default amount.
// Wall time decides; the CPU column is the whole process's, every thread's.
#include "Core/filter/Noise.h"
#include "Fixture.h"
#include "PanelDefaults.h"

namespace vantrel::bench {
namespace {

void BM_ReduceNoise(benchmark::State& state) {
    TimeOnPhoto(state, [](TiBitmapData& bitmap) { return ReduceNoise(bitmap, 0); });
}
BENCHMARK(BM_ReduceNoise)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// One or three draws of random() per pixel in scan order, taken by row bands
// from their own places in the sequence.
void BM_AddNoise(benchmark::State& state) {
    const bool colour = state.range(0) != 0;
    const int amount = PanelDefaultInt("STR_MENU_ADDNOISE", "amount");
    TimeOnPhoto(state, [=](TiBitmapData& bitmap) { return AddNoise(bitmap, amount, colour); });
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
