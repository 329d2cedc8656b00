#include "Core/filter/Diffuse.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace vantrel {
namespace {

// One displacement from two draws: (a mod radius) + spacing, negated when
// the sign draw is odd. In 64 bits, so that no spacing overflows.
std::int64_t Offset(long a, long sign, int spacing, int radius) {
    const std::int64_t offset = a % radius + std::int64_t{spacing};
    return sign & 1 ? -offset : offset;
}

}  // namespace

int Diffuse(TiBitmapData& bitmap, int spacing, int radius) {
    if (radius < 1) return 1;
    const auto copy = bitmap.Clone(false);
    if (!copy) return 0;
    const int width = bitmap.GetWidth();
    const int height = bitmap.GetHeight();
    const int bpp = bitmap.GetBpp();
    const int channels = bpp == TiRGBABpp ? 3 : bpp;
    const std::uint8_t* source = copy->GetData();
    const std::ptrdiff_t sourcePitch = copy->GetPitch();
    // Serial on purpose: the draws follow scan order.
    for (int y = 0; y < height; ++y) {
        std::uint8_t* p = bitmap.GetData() + static_cast<std::ptrdiff_t>(y) * bitmap.GetPitch();
        for (int x = 0; x < width; ++x, p += bpp) {
            const long a = random();
            const long b = random();
            const long s = random();
            const long t = random();
            const std::int64_t sx = x + Offset(a, s, spacing, radius);
            const std::int64_t sy = y + Offset(b, t, spacing, radius);
            if (sx < 1 || sx >= width || sy < 1 || sy >= height) continue;
            std::memcpy(p, source + sy * sourcePitch + sx * bpp, channels);
        }
    }
    return 1;
}

}  // namespace vantrel
