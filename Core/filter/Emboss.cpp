#include "Core/filter/Emboss.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

#include "Core/global/Numeric.h"
#include "Core/global/ParallelRows.h"
#include "Core/global/TiAssert.h"
#include "Core/global/TiMemory.h"

namespace vantrel {
namespace {

constexpr const char kTiSourceFile[] = "Core/filter/Emboss";

// Where a sample falls along one axis: the cell index and the weights of it
// and of the next pixel. Positions are clamped into 0 .. n - 1 (NaN to 0).
struct AxisSample {
    int index;
    bool nextInside;
    float near;
    float far;
};

AxisSample SampleAxis(float position, int n) {
    const float last = static_cast<float>(n - 1);
    if (!(position >= 0.0f)) position = 0.0f;
    if (position > last) position = last;
    const int i = TiTrunc(position);
    const float f = position - static_cast<float>(i);
    return {i, i + 1 < n, 1.0f - f, f};
}

// The copy's bilinear sample of one channel, neighbours outside skipped,
// weights and sum in float, truncated to a byte.
std::uint8_t Bilinear(const TiBitmapData& copy, const AxisSample& sx, const AxisSample& sy,
                      int channel) {
    const std::uint8_t* p = copy.GetData() + static_cast<std::ptrdiff_t>(sy.index) * copy.GetPitch() +
                            sx.index * TiRGBABpp + channel;
    const std::ptrdiff_t down = copy.GetPitch();
    float sum = (sx.near * sy.near) * p[0];
    if (sy.nextInside) sum += (sx.near * sy.far) * p[down];
    if (sx.nextInside) sum += (sx.far * sy.near) * p[TiRGBABpp];
    if (sx.nextInside && sy.nextInside) sum += (sx.far * sy.far) * p[down + TiRGBABpp];
    return TiClampByte(sum);
}

struct Relief {
    float ox;
    float oy;
    float k;
};

void EmbossRows(TiBitmapData& bitmap, const TiBitmapData& copy, const Relief& relief, int begin,
                int end) {
    const int width = bitmap.GetWidth();
    const int height = bitmap.GetHeight();
    for (int y = begin; y < end; ++y) {
        const AxisSample ya = SampleAxis(static_cast<float>(y) - relief.oy, height);
        const AxisSample yb = SampleAxis(static_cast<float>(y) + relief.oy, height);
        std::uint8_t* p = bitmap.GetData() + static_cast<std::ptrdiff_t>(y) * bitmap.GetPitch();
        for (int x = 0; x < width; ++x, p += TiRGBABpp) {
            if (p[3] == 0) continue;
            const AxisSample xa = SampleAxis(static_cast<float>(x) - relief.ox, width);
            const AxisSample xb = SampleAxis(static_cast<float>(x) + relief.ox, width);
            for (int c = 0; c < 3; ++c) {
                const int difference = Bilinear(copy, xb, yb, c) - Bilinear(copy, xa, ya, c);
                p[c] = TiClampByte(static_cast<float>(difference) * relief.k + 128.0f);
            }
        }
    }
}

}  // namespace

int Emboss(TiBitmapData& bitmap, float degrees, int highDegree, int amount) {
    TI_ASSERT(bitmap.GetBpp() == TiRGBABpp, "bitmap.GetBpp() == TiRGBABpp", 17);
    const float theta = (degrees + 90.0f) * 0.0174532924f;
    const float co = std::cos(theta);
    const float si = std::sin(theta);
    const auto copy = bitmap.Clone(false);
    if (!copy) return 0;
    if (bitmap.GetHeight() < 1 || bitmap.GetWidth() < 1) return 1;

    const double d = highDegree * 0.5 /
                     std::sqrt(static_cast<double>(co) * co + static_cast<double>(si) * si);
    const Relief relief{static_cast<float>(si * d), static_cast<float>(co * d),
                        static_cast<float>(amount / 100.0)};
    ParallelRows(bitmap.GetHeight(), bitmap.GetWidth() * 8L, [&](int begin, int end) {
        EmbossRows(bitmap, *copy, relief, begin, end);
    });
    return 1;
}

}  // namespace vantrel
