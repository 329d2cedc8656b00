#include "Core/filter/Unsharp.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "Core/base/BlendMode.h"
#include "Core/base/BrightnessContrast.h"
#include "Core/filter/GasBlur.h"
#include "Core/global/Numeric.h"
#include "Core/global/PixelPass.h"
#include "Core/global/TiAssert.h"
#include "Core/global/TiMemory.h"

namespace vantrel {
namespace {

constexpr const char kTiSourceFile[] = "Core/filter/Unsharp";

constexpr int kTableSize = 256 * 256;

// Entry [i * 256 + j]: the output for a byte i whose blurred value is j.
void FillSharpenTable(std::uint8_t* table, int amount, int threshold) {
    const double gain = amount / 100.0;
    for (int i = 0; i < 256; ++i) {
        for (int j = 0; j < 256; ++j) {
            const int d = i - j;
            table[i * 256 + j] =
                std::abs(d) < threshold ? static_cast<std::uint8_t>(i) : TiClampByte(i + gain * d);
        }
    }
}

template <int Bpp>
void SharpenRows(TiBitmapData& bitmap, const TiBitmapData& blurred, const std::uint8_t* table,
                 int rowBegin, int rowEnd) {
    const int width = bitmap.GetWidth();
    for (int y = rowBegin; y < rowEnd; ++y) {
        std::uint8_t* d = bitmap.GetData() + static_cast<std::ptrdiff_t>(y) * bitmap.GetPitch();
        const std::uint8_t* b =
            blurred.GetData() + static_cast<std::ptrdiff_t>(y) * blurred.GetPitch();
        for (int x = 0; x < width; ++x, d += Bpp, b += Bpp) {
            d[0] = table[d[0] * 256 + b[0]];
            d[1] = table[d[1] * 256 + b[1]];
            d[2] = table[d[2] * 256 + b[2]];
        }
    }
}

}  // namespace

int Unsharp(TiBitmapData& bitmap, int amount, int radius, int threshold) {
    TI_ASSERT(amount >= 0, "amount >= 0", 17);
    TI_ASSERT(threshold >= 0, "threshold >= 0", 18);
    TI_ASSERT(radius >= 0, "radius >= 0", 19);
    TI_ASSERT(bitmap.GetBpp() == TiRGBABpp || bitmap.GetBpp() == TiRGBBpp,
              "bitmap.GetBpp() == TiRGBABpp || bitmap.GetBpp() == TiRGBBpp", 20);
    // Every table entry is the byte itself when nothing is blurred, nothing
    // is added or no difference reaches the threshold.
    if (radius <= 1 || amount == 0 || threshold > 255 || PixelCount(bitmap) == 0) return 1;

    const auto blurred = bitmap.Clone(false);
    if (!blurred || !GasBlur(*blurred, radius)) return 0;
    const TiBuffer<std::uint8_t> table(kTableSize);
    if (!table) return 0;
    FillSharpenTable(table.get(), amount, threshold);

    ForEachColorRowBand(bitmap, [&](auto bpp, int rowBegin, int rowEnd) {
        SharpenRows<decltype(bpp)::value>(bitmap, *blurred, table.get(), rowBegin, rowEnd);
    });
    return 1;
}

int SoftGlow(TiBitmapData& bitmap, int radius, float brightness, float sharpness) {
    if (!IsColorBitmap(bitmap)) return 0;
    const auto glow = bitmap.Clone(false);
    if (!glow) return 0;
    // Brightness and contrast outside -1..1 are refused by the adjustment,
    // which then leaves the copy as it is: the glow goes on without them.
    AdjustBrightnessContrast(*glow, brightness, sharpness);
    if (!GasBlur(*glow, radius)) return 0;
    // The blend takes its table before it writes a pixel, so a 0 from it
    // still leaves the picture unchanged.
    return BlendMode(bitmap, 0, *glow, 0, kBlendSoftLight, 1.0);
}

}  // namespace vantrel
