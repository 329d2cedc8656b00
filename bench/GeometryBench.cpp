// Resampling and geometry on the 12-megapixel picture. Compare with
// BM_MemcpyReused (a pass into a reused buffer) and BM_MemcpyFresh (a pass
// into a new one, as the operations that return a new bitmap make). The
// rotations run in bands on every thread: wall time decides, and their CPU
// column is every thread's.
#include <cmath>
#include <cstring>
#include <numbers>

#include "Core/base/Flip.h"
#include "Core/base/QuarterTurn.h"
#include "Core/base/Rotate.h"
#include "Core/base/Zoom.h"
#include "Core/global/TiMemory.h"
#include "Fixture.h"

namespace vantrel::bench {
namespace {

std::unique_ptr<TiBitmapData> MakeBlank(int width, int height) {
    const size_t bytes = static_cast<size_t>(width) * height * TiRGBABpp;
    auto* data = static_cast<unsigned char*>(TiCalloc(bytes, 1));
    return std::make_unique<TiBitmapData>(data, width, height, width * TiRGBABpp, TiRGBABpp, true);
}

// ImageZoom into a reused destination of the zoomed size.
void BM_ZoomReused(benchmark::State& state) {
    const float ratio = static_cast<float>(state.range(0)) / 100.0f;
    auto source = MakePhoto();
    const int width = static_cast<int>(static_cast<float>(kWidth) * ratio);
    const int height = static_cast<int>(static_cast<float>(kHeight) * ratio);
    auto destination = MakeBlank(width, height);
    for (auto _ : state) {
        ImageZoom(*source, *destination, width, height);
        benchmark::ClobberMemory();
    }
    ReportThroughput(state, *source);
}
BENCHMARK(BM_ZoomReused)->Arg(50)->Arg(100)->Arg(81)->Unit(benchmark::kMillisecond);

// CreateImageZoom: the new bitmap's first touch included.
void BM_ZoomFresh(benchmark::State& state) {
    const float ratio = static_cast<float>(state.range(0)) / 100.0f;
    auto source = MakePhoto();
    for (auto _ : state) {
        auto zoomed = CreateImageZoom(*source, ratio);
        benchmark::DoNotOptimize(zoomed.get());
    }
    ReportThroughput(state, *source);
}
BENCHMARK(BM_ZoomFresh)->Arg(50)->Arg(100)->Unit(benchmark::kMillisecond);

// The size the rotate command gives the destination: the turned picture's
// bounding box.
void RotatedSize(double radians, int* width, int* height) {
    const double c = std::fabs(std::cos(radians));
    const double s = std::fabs(std::sin(radians));
    *width = static_cast<int>(kWidth * c + kHeight * s);
    *height = static_cast<int>(kWidth * s + kHeight * c);
}

// RotateBitmap by 45 degrees about the centres into a reused destination,
// cleared outside the timed part as the command's fresh buffer would be.
void BM_Rotate45Reused(benchmark::State& state) {
    const double radians = std::numbers::pi / 4;
    auto source = MakePhoto();
    int width = 0, height = 0;
    RotatedSize(radians, &width, &height);
    auto destination = MakeBlank(width, height);
    const size_t bytes = static_cast<size_t>(destination->GetPitch()) * height;
    for (auto _ : state) {
        state.PauseTiming();
        std::memset(destination->GetData(), 0, bytes);
        state.ResumeTiming();
        RotateBitmap(*destination, *source, radians, 1.0, 1.0, (width - kWidth) * 0.5,
                     (height - kHeight) * 0.5);
        benchmark::ClobberMemory();
    }
    ReportThroughput(state, *source);
}
BENCHMARK(BM_Rotate45Reused)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// The whole of what the rotate command pays: a zero-filled new buffer, then
// the rotation.
void BM_Rotate45Fresh(benchmark::State& state) {
    const double radians = std::numbers::pi / 4;
    auto source = MakePhoto();
    int width = 0, height = 0;
    RotatedSize(radians, &width, &height);
    for (auto _ : state) {
        auto destination = MakeBlank(width, height);
        RotateBitmap(*destination, *source, radians, 1.0, 1.0, (width - kWidth) * 0.5,
                     (height - kHeight) * 0.5);
        benchmark::DoNotOptimize(destination.get());
    }
    ReportThroughput(state, *source);
}
BENCHMARK(BM_Rotate45Fresh)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// FlipBitmap in place; flipping again needs no restore.
void BM_Flip(benchmark::State& state) {
    const bool horizontal = state.range(0) & 1;
    const bool vertical = state.range(0) & 2;
    auto bitmap = MakePhoto();
    for (auto _ : state) {
        FlipBitmap(*bitmap, horizontal, vertical);
        benchmark::ClobberMemory();
    }
    ReportThroughput(state, *bitmap);
}
BENCHMARK(BM_Flip)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);

// RotateQuarterTurns: a new bitmap each time, like BM_MemcpyFresh.
void BM_QuarterTurn(benchmark::State& state) {
    const int turns = static_cast<int>(state.range(0));
    auto source = MakePhoto();
    for (auto _ : state) {
        auto turned = RotateQuarterTurns(*source, turns);
        benchmark::DoNotOptimize(turned.get());
    }
    ReportThroughput(state, *source);
}
BENCHMARK(BM_QuarterTurn)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vantrel::bench
