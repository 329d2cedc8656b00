#include "Core/base/Exposure.h"

#include <cmath>
#include <cstdint>

#include "Core/base/ChannelCounts.h"
#include "Core/base/Curve.h"
#include "Core/global/Numeric.h"
#include "Core/global/PixelPass.h"

namespace vantrel {
namespace {

void BuildExposureTable(const ChannelHistogram& counts, double pixels, float exposure,
                        unsigned char* table) {
    const float strength = exposure > 0.0f ? std::fabs(exposure) / 5.0f : std::fabs(exposure);
    const double a = strength;
    double cumulative = 0.0;
    for (int i = 0; i < 256; ++i) {
        const double share = static_cast<double>(counts[i]) / pixels;
        cumulative = i == 0 ? share : cumulative + share;
        const double value = static_cast<double>(i);
        if (exposure >= 0.0f) {
            table[i] = TiClampByte((cumulative * a + 1.0) * value + 0.5);
        } else {
            table[i] = TiClampByte(cumulative / (a + cumulative) * value + 0.5);
        }
    }
}

}  // namespace

int AdjustExposure(TiBitmapData& bitmap, float exposure) {
    if (!IsColorBitmap(bitmap)) return 0;
    const std::int64_t pixels = PixelCount(bitmap);
    // 0 maps every value to itself; NaN is taken as 0.
    if (pixels == 0 || exposure == 0.0f || std::isnan(exposure)) return 1;
    const ColorHistograms counts = CountColorValues(bitmap);
    unsigned char tables[3][256];
    for (int c = 0; c < 3; ++c) {
        BuildExposureTable(counts[c], static_cast<double>(pixels), exposure, tables[c]);
    }
    AdjustCurveChannels(bitmap, tables[0], tables[1], tables[2]);
    return 1;
}

}  // namespace vantrel
