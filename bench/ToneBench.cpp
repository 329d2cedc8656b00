// Curves, levels and the point colour operations on the 12-megapixel picture,
// each pass run on a fresh copy of the pristine pixels (the copy is not timed);
// posterize, threshold and equalize at their panels' defaults.
#include "Core/base/BrightnessContrast.h"
#include "Core/base/ChannelMixer.h"
#include "Core/base/Curve.h"
#include "Core/base/Equalize.h"
#include "Core/base/Exposure.h"
#include "Core/base/GrayInvert.h"
#include "Core/base/Levels.h"
#include "Core/base/Posterize.h"
#include "Fixture.h"
#include "PanelDefaults.h"

namespace vantrel::bench {
namespace {

const Vec3 kSCurve[] = {{0, 0, 0}, {64, 48, 0}, {192, 210, 0}, {255, 255, 0}};

void BM_ToneCurveTable(benchmark::State& state) {
    unsigned char table[256];
    for (int i = 0; i < 256; ++i) table[i] = static_cast<unsigned char>(255 - i);
    TimeOnPhoto(state, [&table](TiBitmapData& b) {
        AdjustCurve(b, table, 0);
        return 1;
    });
}

void BM_ToneCurveSplineRGB(benchmark::State& state) {
    TimeOnPhoto(state, [](TiBitmapData& b) { return AdjustCurveBySplinePoints(b, kSCurve, 4, 0); });
}

void BM_ToneCurveSplineRed(benchmark::State& state) {
    TimeOnPhoto(state, [](TiBitmapData& b) { return AdjustCurveBySplinePoints(b, kSCurve, 4, 1); });
}

void BM_ToneLevels(benchmark::State& state) {
    TimeOnPhoto(state, [](TiBitmapData& b) { return AdjustLevels(b, 20, 230, 1.4, 0); });
}

void BM_ToneAutoLevels(benchmark::State& state) {
    TimeOnPhoto(state, AutoLevels);
}

void BM_ToneGray(benchmark::State& state) {
    TimeOnPhoto(state, ConvertToGray);
}

void BM_ToneInvert(benchmark::State& state) {
    TimeOnPhoto(state, InvertColor);
}

void BM_ToneComplement(benchmark::State& state) {
    TimeOnPhoto(state, ComplementColor);
}

void BM_ToneBrightnessContrast(benchmark::State& state) {
    TimeOnPhoto(state, [](TiBitmapData& b) { return AdjustBrightnessContrast(b, 0.1f, 0.3f); });
}

void BM_ToneExposure(benchmark::State& state) {
    TimeOnPhoto(state, [](TiBitmapData& b) { return AdjustExposure(b, 1.5f); });
}

void BM_TonePosterize(benchmark::State& state) {
    const int levels = PanelDefaultInt("STR_MENU_POSTERIZE", "levels");
    TimeOnPhoto(state, [=](TiBitmapData& b) { return Posterize(b, levels); });
}

void BM_ToneThreshold(benchmark::State& state) {
    const int levels = PanelDefaultInt("STR_MENU_THRESHOLD", "levels");
    TimeOnPhoto(state, [=](TiBitmapData& b) { return Threshold(b, levels); });
}

void BM_ToneEqualize(benchmark::State& state) {
    const int mode = PanelDefaultInt("STR_MENU_EQUALIZE", "equalizeMode");
    TimeOnPhoto(state, [=](TiBitmapData& b) { return Equalize(b, mode); });
}

void BM_ToneMixChannels(benchmark::State& state) {
    const TinyChannelMixer mixer{{0.8f, 0.3f, -0.1f}, {0.1f, 0.9f, 0.0f}, {-0.2f, 0.2f, 1.1f}};
    TimeOnPhoto(state, [&mixer](TiBitmapData& b) { return MixChannels(b, mixer); });
}

void BM_ToneMixChannelsToGray(benchmark::State& state) {
    TimeOnPhoto(state, [](TiBitmapData& b) { return MixChannelsToGray(b, {0.4f, 0.4f, 0.2f}); });
}

BENCHMARK(BM_ToneCurveTable)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_ToneCurveSplineRGB)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_ToneCurveSplineRed)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_ToneLevels)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_ToneAutoLevels)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_ToneGray)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_ToneInvert)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_ToneComplement)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_ToneBrightnessContrast)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_ToneExposure)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_TonePosterize)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_ToneThreshold)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_ToneEqualize)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_ToneMixChannels)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_ToneMixChannelsToGray)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

}  // namespace
}  // namespace vantrel::bench
