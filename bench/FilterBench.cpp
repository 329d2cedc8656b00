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

namespace vantrel::bench {
namespace {

// As the RETINEX command runs it: copy, blur at the level's radius, retinex
// (scale division 10, dynamic 2: radius 320).
void BM_Retinex(benchmark::State& state) {
    TimeOnPhoto(state, [](TiBitmapData& bitmap) {
        auto surround = bitmap.Clone(false);
        GasBlur(*surround, RetinexBlurRadius(10));
        return retinex(bitmap, *surround, 10, 0, 2.0f);
    });
}
BENCHMARK(BM_Retinex)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void BM_Painting(benchmark::State& state) {
    TimeOnPhoto(state, [](TiBitmapData& bitmap) { return Painting(bitmap, 3, 8); });
}
BENCHMARK(BM_Painting)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void BM_Sketch(benchmark::State& state) {
    TimeOnPhoto(state, [](TiBitmapData& bitmap) { return Sketch(bitmap, 5); });
}
BENCHMARK(BM_Sketch)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void BM_Emboss(benchmark::State& state) {
    TimeOnPhoto(state, [](TiBitmapData& bitmap) { return Emboss(bitmap, 0.0f, 3, 100); });
}
BENCHMARK(BM_Emboss)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void BM_Dot(benchmark::State& state) {
    TimeOnPhoto(state, [](TiBitmapData& bitmap) { return Dot(bitmap, 20); });
}
BENCHMARK(BM_Dot)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void BM_Mosaics(benchmark::State& state) {
    TimeOnPhoto(state, [](TiBitmapData& bitmap) { return Mosaics(bitmap, 10); });
}
BENCHMARK(BM_Mosaics)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// Serial by design: four calls of random() per pixel, in scan order.
void BM_Diffuse(benchmark::State& state) {
    TimeOnPhoto(state, [](TiBitmapData& bitmap) { return Diffuse(bitmap, 0, 5); });
}
BENCHMARK(BM_Diffuse)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void BM_RedEyeRemoval(benchmark::State& state) {
    TimeOnPhoto(state, [](TiBitmapData& bitmap) { return RedEyeRemoval(bitmap, 50); });
}
BENCHMARK(BM_RedEyeRemoval)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

}  // namespace
}  // namespace vantrel::bench
