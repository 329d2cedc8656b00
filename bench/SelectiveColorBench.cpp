// Selective colour at 12 megapixels: a look's few families, and all nine.
// Wall time decides; the CPU column is every thread's.
#include "Core/base/SelectiveColor.h"
#include "Fixture.h"

namespace vantrel::bench {
namespace {

void RunSelective(benchmark::State& state, const ComplementScaleSet& set) {
    TimeOnPhoto(state, [&set](TiBitmapData& bitmap) { return SelectiveColor(bitmap, set); },
                {.warmUp = true});
}

void BM_SelectiveColor_ThreeFamilies(benchmark::State& state) {
    ComplementScaleSet set;
    set.reds = {0.55f, 0.0f, 0.31f, 0.0f};
    set.yellows = {-0.01f, -0.07f, -0.76f, -0.33f};
    set.blacks = {0.0f, 0.19f, 0.53f, 0.02f};
    RunSelective(state, set);
}
BENCHMARK(BM_SelectiveColor_ThreeFamilies)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

void BM_SelectiveColor_AllFamilies(benchmark::State& state) {
    ComplementScaleSet set;
    ComplementScale* const all[] = {&set.reds,   &set.yellows,  &set.greens,
                                    &set.cyans,  &set.blues,    &set.magentas,
                                    &set.whites, &set.neutrals, &set.blacks};
    for (int i = 0; i < 9; ++i) {
        const float v = 0.1f * static_cast<float>(i % 5) - 0.2f;
        *all[i] = {v, -v * 0.5f, 0.3f - v, 0.05f * static_cast<float>(i % 3)};
    }
    RunSelective(state, set);
}
BENCHMARK(BM_SelectiveColor_AllFamilies)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

}  // namespace
}  // namespace vantrel::bench
