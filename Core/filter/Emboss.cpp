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

// Where a sample falls along one axis: the cell index, the step to the next
// pixel and the weights of the two. Positions are clamped into 0 .. n - 1
// (NaN to 0), so a next pixel outside the picture always has weight 0: its
// step is then 0, and adding 0 times the pixel itself is the same as
// skipping it.
struct AxisSample {
    int index;
    int step;
    float near;
    float far;
};

AxisSample SampleAxis(float position, int n) {
    const float last = static_cast<float>(n - 1);
    if (!(position >= 0.0f)) position = 0.0f;
    if (position > last) position = last;
    const int i = TiTrunc(position);
    const float f = position - static_cast<float>(i);
    return {i, i + 1 < n ? 1 : 0, 1.0f - f, f};
}

// A bilinear sample of the copy: its four pixels and float weights, in the
// order (i, j), (i, j + 1), (i + 1, j), (i + 1, j + 1).
struct Bilinear {
    const std::uint8_t* p[4];
    float w[4];

    Bilinear(const TiBitmapData& copy, const AxisSample& sx, const AxisSample& sy) {
        const std::ptrdiff_t down = sy.step * static_cast<std::ptrdiff_t>(copy.GetPitch());
        const std::ptrdiff_t right = sx.step * TiRGBABpp;
        p[0] = copy.GetData() + static_cast<std::ptrdiff_t>(sy.index) * copy.GetPitch() +
               static_cast<std::ptrdiff_t>(sx.index) * TiRGBABpp;
        p[1] = p[0] + down;
        p[2] = p[0] + right;
        p[3] = p[0] + down + right;
        w[0] = sx.near * sy.near;
        w[1] = sx.near * sy.far;
        w[2] = sx.far * sy.near;
        w[3] = sx.far * sy.far;
    }

    // The weighted sums of all four bytes (alpha's unused; whole pixels let
    // the compiler do the four at once), in float, truncated to bytes.
    void Sample(int (&value)[4]) const {
        float sum[4];
        for (int c = 0; c < 4; ++c) {
            sum[c] = w[0] * p[0][c] + w[1] * p[1][c] + w[2] * p[2][c] + w[3] * p[3][c];
        }
        for (int c = 0; c < 4; ++c) value[c] = TiClampByte(sum[c]);
    }
};

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
            const Bilinear a(copy, SampleAxis(static_cast<float>(x) - relief.ox, width), ya);
            const Bilinear b(copy, SampleAxis(static_cast<float>(x) + relief.ox, width), yb);
            int va[4], vb[4];
            a.Sample(va);
            b.Sample(vb);
            for (int c = 0; c < 3; ++c) {
                const int difference = vb[c] - va[c];
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

    const double d =
        highDegree * 0.5 / std::sqrt(static_cast<double>(co) * co + static_cast<double>(si) * si);
    const Relief relief{static_cast<float>(si * d), static_cast<float>(co * d),
                        static_cast<float>(amount / 100.0)};
    ParallelRows(bitmap.GetHeight(), bitmap.GetWidth() * 8L,
                 [&](int begin, int end) { EmbossRows(bitmap, *copy, relief, begin, end); });
    return 1;
}

}  // namespace vantrel
