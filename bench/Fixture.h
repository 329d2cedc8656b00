// The shared benchmark fixture: a 12-megapixel (4000 x 3000) RGBA picture.
#pragma once

#include <benchmark/benchmark.h>

#include <memory>

#include "Core/global/BitmapData.h"

namespace vantrel::bench {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

// A fresh packed 4000 x 3000 bitmap of a smooth photo-like pattern with some
// texture, so that operations see varied values.
std::unique_ptr<TiBitmapData> MakePhoto(int bpp = TiRGBABpp, int width = kWidth,
                                        int height = kHeight);

// Copies the pristine picture's pixels back into `work` before a timed pass.
void Restore(TiBitmapData& work, const TiBitmapData& pristine);

// Reports bytes and megapixels per second for one pass over `bitmap`.
void ReportThroughput(benchmark::State& state, const TiBitmapData& bitmap);

struct PhotoRun {
    int bpp = TiRGBABpp;
    bool warmUp = false;  // one untimed pass first, to build process-wide tables
};

// Times `operation` (TiBitmapData& -> a result) in place on the photo,
// restored untimed before every pass.
template <typename Operation>
void TimeOnPhoto(benchmark::State& state, Operation&& operation, PhotoRun run = {}) {
    const auto pristine = MakePhoto(run.bpp);
    auto work = MakePhoto(run.bpp);
    if (run.warmUp) operation(*work);
    for (auto _ : state) {
        state.PauseTiming();
        Restore(*work, *pristine);
        state.ResumeTiming();
        benchmark::DoNotOptimize(operation(*work));
        benchmark::ClobberMemory();
    }
    ReportThroughput(state, *work);
}

}  // namespace vantrel::bench
