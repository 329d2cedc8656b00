// Retinex, red-eye removal and the artistic filters at 12 megapixels, each at
// its panel's defaults. Wall time decides; the CPU column is the whole
// process's, every thread's.
#include "Core/filter/Diffuse.h"
#include "Core/filter/Emboss.h"
#include "Core/filter/GasBlur.h"
#include "Core/filter/Mosaics.h"
#include "Core/filter/Painting.h"
#include "Core/filter/RedEyeRemoval.h"
#include "Core/filter/Retinex.h"
#include "Core/filter/Sketch.h"
#include "Fixture.h"
#include "PanelDefaults.h"

namespace vantrel::bench {
namespace {

// As the RETINEX command runs it: copy, blur at the level's radius, retinex
// (scale division 10, dynamic 2: radius 320).
void BM_Retinex(benchmark::State& state) {
    const int scaleDivision = PanelDefaultInt("STR_MENU_RETINEX", "scaleDivision");
    const float dynamic = PanelDefault("STR_MENU_RETINEX", "dynamic");
    TimeOnPhoto(state, [=](TiBitmapData& bitmap) {
        auto surround = bitmap.Clone(false);
        GasBlur(*surround, RetinexBlurRadius(scaleDivision));
        return retinex(bitmap, *surround, scaleDivision, 0, dynamic);
    });
}
BENCHMARK(BM_Retinex)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void BM_Painting(benchmark::State& state) {
    const int radius = PanelDefaultInt("STR_MENU_PAINTING", "radius");
    const int smoothness = PanelDefaultInt("STR_MENU_PAINTING", "smoothness");
    TimeOnPhoto(state, [=](TiBitmapData& bitmap) { return Painting(bitmap, radius, smoothness); });
}
BENCHMARK(BM_Painting)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void BM_Sketch(benchmark::State& state) {
    const int radius = PanelDefaultInt("STR_MENU_SKETCH", "radius");
    TimeOnPhoto(state, [=](TiBitmapData& bitmap) { return Sketch(bitmap, radius); });
}
BENCHMARK(BM_Sketch)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void BM_Emboss(benchmark::State& state) {
    const auto degrees = static_cast<float>(PanelDefaultInt("STR_MENU_EMBOSS", "degree"));
    const int height = PanelDefaultInt("STR_MENU_EMBOSS", "height");
    const int amount = PanelDefaultInt("STR_MENU_EMBOSS", "percentage");
    TimeOnPhoto(state,
                [=](TiBitmapData& bitmap) { return Emboss(bitmap, degrees, height, amount); });
}
BENCHMARK(BM_Emboss)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void BM_Dot(benchmark::State& state) {
    const int width = PanelDefaultInt("STR_MENU_DOT", "width");
    TimeOnPhoto(state, [=](TiBitmapData& bitmap) { return Dot(bitmap, width); });
}
BENCHMARK(BM_Dot)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void BM_Mosaics(benchmark::State& state) {
    const int width = PanelDefaultInt("STR_MENU_MOSAICS", "width");
    TimeOnPhoto(state, [=](TiBitmapData& bitmap) { return Mosaics(bitmap, width); });
}
BENCHMARK(BM_Mosaics)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// Serial by design: four calls of random() per pixel, in scan order.
void BM_Diffuse(benchmark::State& state) {
    const int radius = PanelDefaultInt("STR_MENU_DIFFUSE", "radius");
    TimeOnPhoto(state, [=](TiBitmapData& bitmap) { return Diffuse(bitmap, 0, radius); });
}
BENCHMARK(BM_Diffuse)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void BM_RedEyeRemoval(benchmark::State& state) {
    const int threshold = PanelDefaultInt("STR_MENU_REDEYERM", "threshold");
    TimeOnPhoto(state, [=](TiBitmapData& bitmap) { return RedEyeRemoval(bitmap, threshold); });
}
BENCHMARK(BM_RedEyeRemoval)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

}  // namespace
}  // namespace vantrel::bench
