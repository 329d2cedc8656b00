// Blend modes, layer blending, gradients and the histogram on the 12-megapixel
// picture. The passes split rows across threads, so Time is wall-clock and
// CPU is the whole process's CPU time: the work done, a figure that holds up
// better than wall-clock when other jobs share the machine.
#include <vector>

#include "Core/base/BlendMode.h"
#include "Core/base/GradientMask.h"
#include "Core/base/Histogram.h"
#include "Core/base/NormalBlend.h"
#include "Fixture.h"
#include "PanelDefaults.h"

namespace vantrel::bench {
namespace {

// A layer unlike the photo: the photo mirrored, so every pixel pairs
// different values.
std::unique_ptr<TiBitmapData> MakeLayer(int bpp) {
    auto photo = MakePhoto(bpp);
    auto layer = MakePhoto(bpp);
    const int rowBytes = photo->GetWidth() * bpp;
    for (int y = 0; y < photo->GetHeight(); ++y) {
        const unsigned char* from = photo->GetPixel(0, photo->GetHeight() - 1 - y);
        unsigned char* to = layer->GetPixel(0, y);
        for (int i = 0; i < rowBytes; ++i) to[i] = from[rowBytes - 1 - i];
    }
    return layer;
}

void BM_BlendModeSoftLight(benchmark::State& state) {
    const auto layer = MakeLayer(TiRGBABpp);
    TimeOnPhoto(state,
                [&](TiBitmapData& b) { return BlendMode(b, 0, *layer, 0, kBlendSoftLight, 0.8); });
}
BENCHMARK(BM_BlendModeSoftLight)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

void BM_BlendModeMultiplyRgbLayer(benchmark::State& state) {
    const auto layer = MakeLayer(TiRGBBpp);
    TimeOnPhoto(state,
                [&](TiBitmapData& b) { return BlendMode(b, 0, *layer, 0, kBlendMultiply, 1.0); });
}
BENCHMARK(BM_BlendModeMultiplyRgbLayer)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

void BM_BlendModeOneChannel(benchmark::State& state) {
    const auto layer = MakeLayer(TiRGBABpp);
    TimeOnPhoto(state,
                [&](TiBitmapData& b) { return BlendMode(b, 3, *layer, 3, kBlendMultiply, 0.5); });
}
BENCHMARK(BM_BlendModeOneChannel)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

void BM_BlendGrayMask(benchmark::State& state) {
    const auto gray = MakeLayer(1);
    TimeOnPhoto(state, [&](TiBitmapData& b) {
        return BlendGrayMask(b, 0, gray->GetData(), kBlendColorBurn, 0.91);
    });
}
BENCHMARK(BM_BlendGrayMask)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();

void BM_BlendLayerMask(benchmark::State& state) {
    const auto layer = MakeLayer(TiRGBABpp);  // its alpha varies with the texture
    unsigned char* p = layer->GetData();
    for (int i = 0; i < kWidth * kHeight; ++i) p[i * 4 + 3] = static_cast<unsigned char>(i * 7);
    TimeOnPhoto(state, [&](TiBitmapData& b) {
        return BlendLayerMask(b, layer->GetData(), 0, 0, kWidth, kHeight, 200);
    });
}
BENCHMARK(BM_BlendLayerMask)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();

// Directions and styles that need the per-pixel geometry, Multiply at 75 %,
// reversed; first the gradient panel's defaults.
void BM_GradientOverlay(benchmark::State& state, int style, float degrees, int preset) {
    const GradientPalette palette = GradientPreset(preset);
    const std::vector<RGBPoint> stops = palette.points();
    TimeOnPhoto(state, [&](TiBitmapData& b) {
        return GradientOverlay(b, kBlendMultiply, style, stops.data(),
                               static_cast<int>(stops.size()), degrees, 1.0f, 0.75f, true);
    });
}

void BM_GradientOverlayPanelDefault(benchmark::State& state) {
    constexpr std::string_view kGradient = "STR_MENU_GRADIENT";
    BM_GradientOverlay(state, PanelDefaultInt(kGradient, "style"),
                       PanelDefault(kGradient, "degrees"), PanelDefaultInt(kGradient, "preset"));
}
BENCHMARK(BM_GradientOverlayPanelDefault)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(BM_GradientOverlay, Linear30, kGradientLinear, 30.0f, 12)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(BM_GradientOverlay, Radial, kGradientRadial, 0.0f, 12)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

void BM_GradientRender(benchmark::State& state, int style, int degrees) {
    const GradientPalette palette = GradientPreset(12);
    auto mask = MakePhoto(TiRGBBpp);
    for (auto _ : state) {
        benchmark::DoNotOptimize(CreateGradientMask(*mask, palette, style, degrees, 1.0f, false,
                                                    kWidth / 2, kHeight / 2));
        benchmark::ClobberMemory();
    }
    ReportThroughput(state, *mask);
}
BENCHMARK_CAPTURE(BM_GradientRender, Linear30, kGradientLinear, 30)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(BM_GradientRender, Radial, kGradientRadial, 0)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

void BM_GradientRenderPerPixel(benchmark::State& state) {
    const GradientPalette palette = GradientPreset(12);
    auto mask = MakePhoto(TiRGBBpp);
    for (auto _ : state) {
        benchmark::DoNotOptimize(detail::CreateGradientMaskPerPixel(
            *mask, palette, kGradientLinear, 30, 1.0f, false, kWidth / 2, kHeight / 2));
        benchmark::ClobberMemory();
    }
    ReportThroughput(state, *mask);
}
BENCHMARK(BM_GradientRenderPerPixel)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

void BM_ComputeHistogram(benchmark::State& state) {
    const auto photo = MakePhoto();
    for (auto _ : state) benchmark::DoNotOptimize(ComputeHistogram(*photo));
    ReportThroughput(state, *photo);
}
BENCHMARK(BM_ComputeHistogram)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

}  // namespace
}  // namespace vantrel::bench
