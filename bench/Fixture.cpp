#include "Fixture.h"

#include <cmath>
#include <cstring>

#include "Core/global/TiMemory.h"

namespace vantrel::bench {

std::unique_ptr<TiBitmapData> MakePhoto(int bpp, int width, int height) {
    const int pitch = width * bpp;
    auto* data = static_cast<unsigned char*>(TiMalloc(static_cast<size_t>(pitch) * height));
    for (int y = 0; y < height; ++y) {
        unsigned char* row = data + static_cast<size_t>(y) * pitch;
        for (int x = 0; x < width; ++x) {
            const unsigned texture = (x * 7919u + y * 104729u) >> 3 & 31u;
            const int base[4] = {x * 255 / width, y * 255 / height,
                                 (x + y) * 255 / (width + height), 255};
            for (int c = 0; c < bpp; ++c) {
                const int value = c == 3 ? 255 : base[c] + static_cast<int>(texture) - 16;
                row[x * bpp + c] = static_cast<unsigned char>(value < 0     ? 0
                                                              : value > 255 ? 255
                                                                            : value);
            }
        }
    }
    return std::make_unique<TiBitmapData>(data, width, height, pitch, bpp, true);
}

void Restore(TiBitmapData& work, const TiBitmapData& pristine) {
    std::memcpy(work.GetData(), pristine.GetData(),
                static_cast<size_t>(pristine.GetPitch()) * pristine.GetHeight());
}

void ReportThroughput(benchmark::State& state, const TiBitmapData& bitmap) {
    const double pixels = static_cast<double>(bitmap.GetWidth()) * bitmap.GetHeight();
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(pixels * bitmap.GetBpp()));
    state.counters["MP/s"] =
        benchmark::Counter(pixels / 1e6 * state.iterations(), benchmark::Counter::kIsRate);
}

}  // namespace vantrel::bench
