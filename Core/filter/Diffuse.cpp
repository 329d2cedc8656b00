#include "Core/filter/Diffuse.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "Core/global/Numeric.h"
#include "Core/global/ParallelRows.h"
#include "Core/global/RandomDraws.h"
#include "Core/global/TargetClones.h"

namespace vantrel {
namespace {

constexpr int kDrawsPerPixel = 4;

struct Scatter {
    const std::uint8_t* source;  // the unchanged copy
    std::ptrdiff_t sourcePitch;
    int width;
    int height;
    int spacing;
    TiModulus radius;
};

// Pixels are taken a piece of a row at a time: their draws first, then the
// distances, then the pixels.
constexpr int kPiece = 256;

// In place: the two distance draws of each pixel (the first two of its four)
// become their remainders. A loop without byte stores, for vector lanes.
TI_TARGET_CLONES void Remainders(const TiModulus& radius, std::uint32_t* draws, int pixels) {
    const TiModulus local = radius;
    for (int i = 0; i < pixels * kDrawsPerPixel; i += kDrawsPerPixel) {
        draws[i] = local.Of(draws[i]);
        draws[i + 1] = local.Of(draws[i + 1]);
    }
}

// One displacement: (draw mod radius) + spacing, negated when the sign draw
// is odd. In 64 bits, so that no spacing overflows.
std::int64_t Offset(std::uint32_t remainder, std::uint32_t sign, int spacing) {
    const std::int64_t offset = std::int64_t{remainder} + spacing;
    return sign & 1 ? -offset : offset;
}

// Rows [rowBegin, rowEnd), the stream starting at rowBegin's first draw.
template <int Bpp, int Channels>
void ScatterRows(TiBitmapData& bitmap, int rowBegin, int rowEnd, const Scatter& scatter,
                 TiRandomStream& draws) {
    std::uint32_t d[kPiece * kDrawsPerPixel];
    for (int y = rowBegin; y < rowEnd; ++y) {
        std::uint8_t* p = bitmap.GetData() + static_cast<std::ptrdiff_t>(y) * bitmap.GetPitch();
        for (int x0 = 0; x0 < scatter.width; x0 += kPiece) {
            const int pixels = std::min(kPiece, scatter.width - x0);
            draws.Fill(d, pixels * kDrawsPerPixel);
            Remainders(scatter.radius, d, pixels);
            for (int i = 0; i < pixels; ++i, p += Bpp) {
                const std::uint32_t* q = d + i * kDrawsPerPixel;
                const std::int64_t sx = x0 + i + Offset(q[0], q[2], scatter.spacing);
                const std::int64_t sy = y + Offset(q[1], q[3], scatter.spacing);
                if (sx < 1 || sx >= scatter.width || sy < 1 || sy >= scatter.height) continue;
                std::memcpy(p, scatter.source + sy * scatter.sourcePitch + sx * Bpp, Channels);
            }
        }
    }
}

void ScatterRows(TiBitmapData& bitmap, int rowBegin, int rowEnd, const Scatter& scatter,
                 TiRandomStream& draws) {
    switch (bitmap.GetBpp()) {
        case TiRGBABpp:
            return ScatterRows<4, 3>(bitmap, rowBegin, rowEnd, scatter, draws);
        case TiRGBBpp:
            return ScatterRows<3, 3>(bitmap, rowBegin, rowEnd, scatter, draws);
        default:
            return ScatterRows<1, 1>(bitmap, rowBegin, rowEnd, scatter, draws);
    }
}

}  // namespace

int Diffuse(TiBitmapData& bitmap, int spacing, int radius) {
    if (radius < 1) return 1;
    const auto copy = bitmap.Clone(false);
    if (!copy) return 0;
    const Scatter scatter{copy->GetData(),   copy->GetPitch(),
                          bitmap.GetWidth(), bitmap.GetHeight(),
                          spacing,           TiModulus(static_cast<std::uint32_t>(radius))};
    if (scatter.width <= 0 || scatter.height <= 0) return 1;
    // The draws follow scan order; each band starts its own stream at its
    // first pixel's first draw, and reads only the copy, so bands give the
    // serial result.
    const std::int64_t perRow = std::int64_t{scatter.width} * kDrawsPerPixel;
    const TiRandomDraws draws(perRow * scatter.height);
    const auto band = [&](int rowBegin, int rowEnd) {
        TiRandomStream stream = draws.StreamAt(perRow * rowBegin);
        ScatterRows(bitmap, rowBegin, rowEnd, scatter, stream);
    };
    if (draws.Parallel()) {
        ParallelRows(scatter.height, perRow, band);
    } else {
        band(0, scatter.height);
    }
    return 1;
}

}  // namespace vantrel
