#include "Core/base/NormalBlend.h"

#include <algorithm>
#include <cstdint>

#include "Core/global/ParallelRows.h"
#include "Core/global/TiAssert.h"

namespace vantrel {
namespace {

constexpr const char kTiSourceFile[] = "Core/base/NormalBlend";

// x / 255 rounded to nearest, kept to 8 bits, for x in 0..255 * 255.
unsigned RoundedDiv255(unsigned x) {
    return ((x + 128) + ((x + 128) >> 8)) >> 8 & 0xFF;
}

// The weights of one opacity, per foreground alpha, and for each weight sum
// s a multiplier ceil(2^32 / s): for numerators below 2^17 and sums below 2^9,
// (n * multiplier) >> 32 equals n / s exactly, so the layer pass divides with
// one multiplication.
struct LayerWeights {
    unsigned background;
    unsigned foreground[256];
    std::uint64_t reciprocal[256];

    explicit LayerWeights(int opacity) : background(RoundedDiv255((255 - opacity) * 255u)) {
        for (unsigned alpha = 0; alpha < 256; ++alpha) {
            foreground[alpha] = RoundedDiv255(alpha * static_cast<unsigned>(opacity));
            const std::uint64_t sum = foreground[alpha] + background;
            reciprocal[alpha] = sum == 0 ? 0 : ((std::uint64_t{1} << 32) + sum - 1) / sum;
        }
    }
};

template <int Bpp>
void BlendLayerRow(unsigned char* d, const unsigned char* layer, int width, const LayerWeights& w) {
    const unsigned wb = w.background;
    const unsigned* foreground = w.foreground;
    const std::uint64_t* reciprocal = w.reciprocal;
    for (int x = 0; x < width; ++x, d += Bpp, layer += 4) {
        const unsigned alpha = layer[3];
        const std::uint64_t multiplier = reciprocal[alpha];
        if (multiplier == 0) continue;  // both weights 0: the background stays
        const unsigned wf = foreground[alpha];
        const unsigned d0 = d[0], d1 = d[1], d2 = d[2];
        d[0] = static_cast<unsigned char>((layer[0] * wf + d0 * wb) * multiplier >> 32);
        d[1] = static_cast<unsigned char>((layer[1] * wf + d1 * wb) * multiplier >> 32);
        d[2] = static_cast<unsigned char>((layer[2] * wf + d2 * wb) * multiplier >> 32);
    }
}

}  // namespace

void Blend(const unsigned char* bgColor, const unsigned char* fgColor, unsigned char* dstColor,
           int opacity) {
    TI_ASSERT(bgColor, "bgColor", 14);
    TI_ASSERT(fgColor, "fgColor", 15);
    TI_ASSERT(dstColor, "dstColor", 16);
    const unsigned op = static_cast<unsigned>(std::clamp(opacity, 0, 255));
    const unsigned wf = RoundedDiv255(fgColor[3] * op);
    const unsigned wb = RoundedDiv255((255 - op) * 255);
    const unsigned sum = wf + wb;
    for (int n = 0; n < 3; ++n) {
        // A fully transparent foreground at full opacity weighs nothing
        // against nothing: keep the background rather than turn it black.
        dstColor[n] = sum == 0
                          ? bgColor[n]
                          : static_cast<unsigned char>((fgColor[n] * wf + bgColor[n] * wb) / sum);
    }
}

int BlendLayerMask(TiBitmapData& bitmap, const unsigned char* mask, int maskX, int maskY,
                   int maskWidth, int maskHeight, int opacity) {
    const std::int64_t width = bitmap.GetWidth();
    const std::int64_t height = bitmap.GetHeight();
    TI_ASSERT(mask, "mask", 52);
    TI_ASSERT(maskX >= 0 && std::int64_t{maskX} + maskWidth <= width,
              "maskX >= 0 && maskX + maskWidth <= width", 53);
    TI_ASSERT(maskY >= 0 && std::int64_t{maskY} + maskHeight <= height,
              "maskY >= 0 && maskY + maskHeight <= height", 54);
    if (bitmap.GetBpp() == 1) return 0;
    if (maskHeight <= 0) return 1;
    // Every row starts in column maskX, so the first row's bounds check
    // stands for all of them, before any pixel is written.
    bitmap.GetPixel(maskX, maskY);

    const LayerWeights weights(std::clamp(opacity, 0, 255));
    const std::int64_t layerPitch = std::int64_t{4} * std::max(maskWidth, 0);
    ParallelRows(maskHeight, maskWidth, [&](int rowBegin, int rowEnd) {
        for (int r = rowBegin; r < rowEnd; ++r) {
            unsigned char* row = bitmap.GetPixel(maskX, maskY + r);
            const unsigned char* layer = mask + r * layerPitch;
            if (bitmap.GetBpp() == TiRGBABpp) {
                BlendLayerRow<4>(row, layer, maskWidth, weights);
            } else {
                BlendLayerRow<3>(row, layer, maskWidth, weights);
            }
        }
    });
    return 1;
}

}  // namespace vantrel
