#include "Core/filter/RedEyeRemoval.h"

#include <array>
#include <cstddef>
#include <cstdint>

#include "Core/global/Numeric.h"
#include "Core/global/PixelPass.h"

namespace vantrel {
namespace {

// The per-value arithmetic, once per table entry: the scaled red and blue,
// and the lowered red for every sum G + b (b is at most 49).
struct RedEyeTables {
    std::array<int, 256> red;
    std::array<int, 256> blue;
    std::array<std::uint8_t, 256 + 50> lowered;
};

RedEyeTables MakeTables() {
    RedEyeTables t{};
    for (int v = 0; v < 256; ++v) {
        t.red[v] = TiTrunc(v * 0.5133333);
        t.blue[v] = TiTrunc(v * 0.1933333);
    }
    for (int s = 0; s < static_cast<int>(t.lowered.size()); ++s) {
        t.lowered[s] = TiClampByte(s / 1.0266666);
    }
    return t;
}

template <int Bpp>
void LowerRedRows(TiBitmapData& bitmap, const RedEyeTables& t, std::int64_t margin, int begin,
                  int end) {
    for (int y = begin; y < end; ++y) {
        std::uint8_t* p = bitmap.GetData() + static_cast<std::ptrdiff_t>(y) * bitmap.GetPitch();
        for (int x = 0; x < bitmap.GetWidth(); ++x, p += Bpp) {
            const int r = t.red[p[0]];
            if (r < p[1] + margin) continue;
            const int b = t.blue[p[2]];
            if (r < b + margin) continue;
            p[0] = t.lowered[p[1] + b];
        }
    }
}

}  // namespace

int RedEyeRemoval(TiBitmapData& bitmap, int threshold) {
    const int bpp = bitmap.GetBpp();
    if (bpp != TiRGBBpp && bpp != TiRGBABpp) return 1;
    const std::int64_t margin = 100 - 2 * std::int64_t{threshold};
    const RedEyeTables tables = MakeTables();
    ForEachColorRowBand(bitmap, [&](auto pixelBytes, int begin, int end) {
        LowerRedRows<decltype(pixelBytes)::value>(bitmap, tables, margin, begin, end);
    });
    return 1;
}

}  // namespace vantrel
