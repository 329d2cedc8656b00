// The tent blur at 12 megapixels: its cost must not grow with the radius.
// Wall time decides; the CPU column is the whole process's, every thread's.
#include "Core/filter/GasBlur.h"
#include "Fixture.h"

namespace vantrel::bench {
namespace {

void BM_GasBlur(benchmark::State& state) {
    const int radius = static_cast<int>(state.range(0));
    TimeOnPhoto(state, [radius](TiBitmapData& bitmap) { return GasBlur(bitmap, radius); },
                {.bpp = static_cast<int>(state.range(1))});
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
