#include "Core/base/Levels.h"

#include <cmath>
#include <cstdint>

#include "Core/base/ChannelCounts.h"
#include "Core/base/Curve.h"
#include "Core/global/Numeric.h"
#include "Core/global/PixelPass.h"
#include "Core/global/TiMemory.h"

namespace vantrel {
namespace {

constexpr double kAutoLevelsClip = 0.006;

void BuildLevelsTable(int lowInput, int highInput, double gamma, unsigned char* table) {
    for (int i = 0; i < 256; ++i) {
        if (i < lowInput) {
            table[i] = 0;
        } else if (i >= highInput) {
            table[i] = 255;
        } else {
            const double base =
                static_cast<double>(i - lowInput) / static_cast<double>(highInput - lowInput);
            const double v = gamma == 0.0 ? std::pow(base, 0.0) : std::pow(base, 1.0 / gamma);
            table[i] = TiClampByte(v * 255.0);
        }
    }
}

// The bottom index whose cumulative share is closest to the clip share, the
// first such from below; 0 when the share never turns (a channel all at 0).
int FindLowPoint(const ChannelHistogram& counts, double total) {
    double share = static_cast<double>(counts[0]) / total;
    for (int k = 1; k <= 255; ++k) {
        const double wider = share + static_cast<double>(counts[k]) / total;
        if (std::fabs(share - kAutoLevelsClip) < std::fabs(wider - kAutoLevelsClip)) return k - 1;
        share = wider;
    }
    return 0;
}

// The same walked down from 255; 255 when the share never turns.
int FindHighPoint(const ChannelHistogram& counts, double total) {
    double share = static_cast<double>(counts[255]) / total;
    for (int k = 1; k <= 255; ++k) {
        const double wider = share + static_cast<double>(counts[255 - k]) / total;
        if (std::fabs(share - kAutoLevelsClip) < std::fabs(wider - kAutoLevelsClip)) return 256 - k;
        share = wider;
    }
    return 255;
}

// 0 below low, 255 above high (the later fill wins where the two overlap,
// which only a low point above the high point makes happen), and a ramp by
// repeated addition from low to high.
void BuildStretchTable(int low, int high, std::int32_t* table) {
    for (int i = 0; i < low; ++i) table[i] = 0;
    for (int i = high + 1; i < 256; ++i) table[i] = 255;
    if (low > high) return;
    if (low == high) {
        table[low] = 0;
        return;
    }
    const double step = 255.0 / static_cast<double>(high - low);
    double v = 0.0;
    for (int i = low; i <= high; ++i) {
        table[i] = TiTrunc(v);
        v += step;
    }
}

}  // namespace

int AdjustLevels(TiBitmapData& bitmap, int lowInput, int highInput, double gamma, int channel) {
    if (highInput <= lowInput || lowInput < 0 || highInput > 255) return 0;
    if (!(gamma >= 0.0 && gamma <= 10.0)) return 0;
    if (!IsColorBitmap(bitmap)) return 0;
    unsigned char table[256];
    BuildLevelsTable(lowInput, highInput, gamma, table);
    AdjustCurve(bitmap, table, channel);
    return 1;
}

int AutoLevels(TiBitmapData& bitmap) {
    if (!IsColorBitmap(bitmap)) return 0;
    const TiBuffer<std::int32_t> ramps(3 * 256);
    if (!ramps) return 0;
    const std::int64_t pixels = PixelCount(bitmap);
    if (pixels == 0) return 1;
    const ColorHistograms counts = CountColorValues(bitmap);
    unsigned char tables[3][256];
    for (int c = 0; c < 3; ++c) {
        std::int32_t* ramp = ramps.get() + 256 * c;
        const double total = static_cast<double>(pixels);
        BuildStretchTable(FindLowPoint(counts[c], total), FindHighPoint(counts[c], total), ramp);
        for (int i = 0; i < 256; ++i) tables[c][i] = TiClampByte(ramp[i]);
    }
    AdjustCurveChannels(bitmap, tables[0], tables[1], tables[2]);
    return 1;
}

}  // namespace vantrel
