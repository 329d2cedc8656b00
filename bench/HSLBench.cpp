// HSL adjustment and tint at 12 megapixels, beside the memcpy baselines.
#include "Core/base/HSL.h"
#include "Fixture.h"

namespace vantrel::bench {
namespace {

// The hue ranges the HSL panel starts with.
HueRangeData StandardRanges() {
    HueRangeData ranges;
    ranges.red = {-15, 15, -45, 45};
    ranges.yellow = {45, 75, 15, 105};
    ranges.green = {105, 135, 75, 165};
    ranges.cyan = {165, 195, 135, 225};
    ranges.blue = {225, 255, 195, 285};
    ranges.magenta = {285, 315, 255, 345};
    return ranges;
}

template <typename Operation>
void RunTimed(benchmark::State& state, Operation operation) {
    auto pristine = MakePhoto();
    auto work = MakePhoto();
    operation(*work);  // builds the process-wide tables outside the timing
    for (auto _ : state) {
        state.PauseTiming();
        Restore(*work, *pristine);
        state.ResumeTiming();
        benchmark::DoNotOptimize(operation(*work));
        benchmark::ClobberMemory();
    }
    ReportThroughput(state, *work);
}

void BM_AdjustHSL_Saturation(benchmark::State& state) {
    HSLData data;
    data.all = {0, -56, 0};
    const HueRangeData ranges = StandardRanges();
    RunTimed(state, [&](TiBitmapData& bitmap) { return AdjustHSL(bitmap, data, ranges); });
}
BENCHMARK(BM_AdjustHSL_Saturation)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_AdjustHSL_AllGroups(benchmark::State& state) {
    HSLData data;
    data.red = {20, 30, -10};
    data.yellow = {-15, 40, 5};
    data.green = {30, -20, 10};
    data.cyan = {-40, 25, 0};
    data.blue = {10, 50, -20};
    data.magenta = {-20, -30, 15};
    data.all = {5, 10, 3};
    const HueRangeData ranges = StandardRanges();
    RunTimed(state, [&](TiBitmapData& bitmap) { return AdjustHSL(bitmap, data, ranges); });
}
BENCHMARK(BM_AdjustHSL_AllGroups)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_TintHSL(benchmark::State& state) {
    RunTimed(state, [](TiBitmapData& bitmap) { return TintHSL(bitmap, 130, 70, 12); });
}
BENCHMARK(BM_TintHSL)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace vantrel::bench
