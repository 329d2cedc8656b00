// Every lomo look at 12 megapixels, one benchmark per style number, labelled
// with its name. Wall time decides; the CPU column is the whole process's.
#include <cstdlib>
#include <string>

#include "Fixture.h"
#include "commands/Lomo.h"
#include "commands/NameTables.h"

namespace vantrel::bench {
namespace {

void BM_Lomo(benchmark::State& state) {
    const int style = static_cast<int>(state.range(0));
    // Each pass draws the grain of a fresh process; seeding costs nothing
    // beside a look.
    TimeOnPhoto(state, [style](TiBitmapData& bitmap) {
        srandom(1);
        return ApplyLomoStyle(bitmap, style);
    });
    state.SetLabel(std::string(kLomoNames[style]));
}
BENCHMARK(BM_Lomo)
    ->ArgName("style")
    ->DenseRange(0, static_cast<int>(kLomoStyleCount) - 1)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

}  // namespace
}  // namespace vantrel::bench
