// The floor every pass over a full-size picture is measured against: a plain
// copy of the same 48 MB, into a reused buffer and into a fresh one (which pays
// the first touch of every page, as an operation that allocates a copy does).
#include <cstring>

#include "Core/global/TiMemory.h"
#include "Fixture.h"

namespace vantrel::bench {
namespace {

void BM_MemcpyReused(benchmark::State& state) {
    auto source = MakePhoto();
    auto target = MakePhoto();
    const size_t bytes = static_cast<size_t>(source->GetPitch()) * source->GetHeight();
    for (auto _ : state) {
        std::memcpy(target->GetData(), source->GetData(), bytes);
        benchmark::ClobberMemory();
    }
    ReportThroughput(state, *source);
}
BENCHMARK(BM_MemcpyReused)->Unit(benchmark::kMillisecond);

void BM_MemcpyFresh(benchmark::State& state) {
    auto source = MakePhoto();
    const size_t bytes = static_cast<size_t>(source->GetPitch()) * source->GetHeight();
    for (auto _ : state) {
        void* target = TiMalloc(bytes);
        std::memcpy(target, source->GetData(), bytes);
        benchmark::ClobberMemory();
        TiFree(target);
    }
    ReportThroughput(state, *source);
}
BENCHMARK(BM_MemcpyFresh)->Unit(benchmark::kMillisecond);

void BM_MemcpyFreshMalloc(benchmark::State& state) {
    auto source = MakePhoto();
    const size_t bytes = static_cast<size_t>(source->GetPitch()) * source->GetHeight();
    for (auto _ : state) {
        void* target = std::malloc(bytes);
        std::memcpy(target, source->GetData(), bytes);
        benchmark::ClobberMemory();
        std::free(target);
    }
    ReportThroughput(state, *source);
}
BENCHMARK(BM_MemcpyFreshMalloc)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vantrel::bench
