#include "Core/base/BrightnessContrast.h"

#include <cstdint>

#include "Core/base/Curve.h"
#include "Core/global/Numeric.h"
#include "Core/global/PixelPass.h"

namespace vantrel {
namespace {

bool InUnitRange(float value) {
    return value >= -1.0f && value <= 1.0f;
}

// The contrast slider as a slope factor: negative values stay linear, positive
// ones grow without bound toward 65025 at full contrast.
float ContrastFactor(float contrast) {
    const float f = contrast * 255.0f;
    if (f >= 255.0f) return 65025.0f;
    if (f > 0.0f) return 65025.0f / (255.0f - f) - 255.0f;
    return f;
}

unsigned char ClampToByte(float value) {
    return TiClampByte(static_cast<double>(value));
}

// Brightness first, then contrast, for a factor of 0 or more; the other way
// round for a negative factor.
unsigned char BrightnessContrastValue(int i, float lift, float factor, float mean) {
    const float value = static_cast<float>(i);
    if (factor >= 0.0f) {
        const float u = ClampToByte(value + value * lift / 255.0f);
        return ClampToByte(u + (u - mean) * factor / 255.0f);
    }
    const float u = ClampToByte(value + (value - mean) * factor / 255.0f);
    return ClampToByte(u + u * lift / 255.0f);
}

}  // namespace

int ComputeMeanLuminance(const TiBitmapData& bitmap) {
    const std::int64_t pixels = PixelCount(bitmap);
    if (!IsColorBitmap(bitmap) || pixels == 0) return 0;
    std::int64_t sum = 0;
    ReduceColorPixels<std::int64_t>(
        bitmap, sum,
        [](std::int64_t& part, const unsigned char* pixel) {
            part += (306 * pixel[0] + 601 * pixel[1] + 117 * pixel[2] + 512) >> 10;
        },
        [](std::int64_t& total, std::int64_t part) { total += part; });
    return static_cast<int>(sum / pixels);
}

int AdjustBrightnessContrast(TiBitmapData& bitmap, float brightness, float contrast) {
    if (!InUnitRange(brightness) || !InUnitRange(contrast)) return 0;
    if (!IsColorBitmap(bitmap)) return 0;
    const float mean = static_cast<float>(ComputeMeanLuminance(bitmap));
    const float factor = ContrastFactor(contrast);
    const float lift = brightness * 255.0f;
    unsigned char table[256];
    for (int i = 0; i < 256; ++i) table[i] = BrightnessContrastValue(i, lift, factor, mean);
    AdjustCurve(bitmap, table, 0);
    return 1;
}

}  // namespace vantrel
