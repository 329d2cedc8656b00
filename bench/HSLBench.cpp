// HSL adjustment and tint at 12 megapixels, beside the memcpy baselines.
#include "Core/base/HSL.h"
#include "Fixture.h"

namespace vantrel::bench {
namespace {

void BM_AdjustHSL_Saturation(benchmark::State& state) {
    HSLData data;
    data.all = {0, -56, 0};
    const HueRangeData& ranges = kStandardHueRanges;
    TimeOnPhoto(state, [&](TiBitmapData& bitmap) { return AdjustHSL(bitmap, data, ranges); },
                {.warmUp = true});
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
    const HueRangeData& ranges = kStandardHueRanges;
    TimeOnPhoto(state, [&](TiBitmapData& bitmap) { return AdjustHSL(bitmap, data, ranges); },
                {.warmUp = true});
}
BENCHMARK(BM_AdjustHSL_AllGroups)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_TintHSL(benchmark::State& state) {
    TimeOnPhoto(state, [](TiBitmapData& bitmap) { return TintHSL(bitmap, 130, 70, 12); },
                {.warmUp = true});
}
BENCHMARK(BM_TintHSL)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace vantrel::bench
