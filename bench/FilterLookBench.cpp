// Sharpen and glow, radial blur and bokeh, the vignette and shadow/highlight
// at 12 megapixels, each at its panel's defaults (the vignette as the lomo
// looks call it). Wall time decides; the CPU column is the whole process's,
// every thread's.
#include "Core/filter/Bokeh.h"
#include "Core/filter/Lomo.h"
#include "Core/filter/RadialBlur.h"
#include "Core/filter/ShadowHighlight.h"
#include "Core/filter/Unsharp.h"
#include "Fixture.h"
#include "PanelDefaults.h"

namespace vantrel::bench {
namespace {

void BM_Unsharp(benchmark::State& state) {
    const int amount = PanelDefaultInt("STR_MENU_SHARPEN", "amount");
    const int radius = PanelDefaultInt("STR_MENU_SHARPEN", "radius");
    const int threshold = PanelDefaultInt("STR_MENU_SHARPEN", "threshold");
    TimeOnPhoto(state,
                [=](TiBitmapData& bitmap) { return Unsharp(bitmap, amount, radius, threshold); });
}
BENCHMARK(BM_Unsharp)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void BM_SoftGlow(benchmark::State& state) {
    const int radius = PanelDefaultInt("STR_MENU_SOFTGLOW", "radius");
    const float brightness = PanelDefault("STR_MENU_SOFTGLOW", "brightness") / 100;
    const float sharpness = PanelDefault("STR_MENU_SOFTGLOW", "sharpness") / 100;
    TimeOnPhoto(state, [=](TiBitmapData& bitmap) {
        return SoftGlow(bitmap, radius, brightness, sharpness);
    });
}
BENCHMARK(BM_SoftGlow)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// Serial by design: samples read the rows and pixels already rewritten.
void BM_RadialBlur(benchmark::State& state) {
    const int amount = PanelDefaultInt("STR_MENU_RADIALBLUR", "amount");
    const float scale = PanelDefault("STR_MENU_RADIALBLUR", "scale");
    TimeOnPhoto(state, [=](TiBitmapData& bitmap) { return RadialBlur(bitmap, amount, scale, 2); });
}
BENCHMARK(BM_RadialBlur)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// The panel's focus for a 4000 x 3000 photo: blur radius trunc(3000 / 960 *
// 12) = 37, centre radius 0.16 of the short side, extend width 1.46 of that.
constexpr int kBokehBlur = 37;
constexpr int kBokehRadius = 480;
constexpr int kBokehExtend = 701;

void BM_BokehFilter(benchmark::State& state) {
    TimeOnPhoto(state, [](TiBitmapData& bitmap) {
        return BokehFilter(bitmap, kWidth / 2, kHeight / 2, kBokehBlur, 0, kBokehRadius,
                           kBokehExtend);
    });
}
BENCHMARK(BM_BokehFilter)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// Moving the focus in the editor: the blur is kept, only mask and blend run.
void BM_BokeherMoveFocus(benchmark::State& state) {
    const auto pristine = MakePhoto();
    auto work = MakePhoto();
    Bokeher bokeher(work.get(), kWidth / 2, kHeight / 2, kBokehBlur, 0, kBokehRadius, kBokehExtend,
                    false);
    bokeher.PrepareBlur();
    int shift = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Restore(*work, *pristine);
        bokeher.SetParams(
            {kWidth / 3 + shift, kHeight / 2, kBokehBlur, 0, kBokehRadius, kBokehExtend});
        shift = (shift + 97) % 1000;
        state.ResumeTiming();
        benchmark::DoNotOptimize(bokeher.Run());
    }
    ReportThroughput(state, *work);
}
BENCHMARK(BM_BokeherMoveFocus)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

void BM_DarkenCorner(benchmark::State& state) {
    TimeOnPhoto(state, [](TiBitmapData& bitmap) { return DarkenCorner(bitmap, 0.4, 200); });
}
BENCHMARK(BM_DarkenCorner)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void BM_ShadowHighlight(benchmark::State& state) {
    TimeOnPhoto(state, [](TiBitmapData& bitmap) { return ShadowHighlight(bitmap, 0.5f, 0.5f); });
}
BENCHMARK(BM_ShadowHighlight)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

}  // namespace
}  // namespace vantrel::bench
