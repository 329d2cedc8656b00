#include "Core/base/Equalize.h"

#include <cstdint>

#include "Core/base/ChannelCounts.h"
#include "Core/base/Curve.h"
#include "Core/global/Numeric.h"
#include "Core/global/PixelPass.h"

namespace vantrel {
namespace {

ChannelHistogram CountAverages(const TiBitmapData& bitmap) {
    ChannelHistogram total{};
    ReduceColorPixels<ChannelHistogram>(
        bitmap, total,
        [](ChannelHistogram& counts, const unsigned char* pixel) {
            ++counts[(pixel[0] + pixel[1] + pixel[2]) / 3];
        },
        [](ChannelHistogram& sum, const ChannelHistogram& part) {
            for (int i = 0; i < 256; ++i) sum[i] += part[i];
        });
    return total;
}

// The cumulative share of each value on 0..255; returns the lowest output.
int BuildEqualizeTable(const ChannelHistogram& counts, std::int64_t pixels, unsigned char* table) {
    const float total = static_cast<float>(pixels);
    std::int64_t running = 0;
    int lowest = 255;
    for (int i = 0; i < 256; ++i) {
        running += counts[i];
        const float e = static_cast<float>(running) / total * 255.0f;
        if (e < 0.0f) {
            table[i] = 0;
            lowest = 0;
        } else if (e > 255.0f) {
            table[i] = 255;
        } else {
            table[i] = static_cast<unsigned char>(TiTrunc(e));
            if (table[i] < lowest) lowest = table[i];
        }
    }
    return lowest;
}

void StretchTable(int lowest, unsigned char* table) {
    // Only an image whose averages are all 0 has its lowest output at 255.
    if (lowest >= 255) {
        for (int i = 0; i < 256; ++i) table[i] = 0;
        return;
    }
    const float factor = static_cast<float>(255.0 / static_cast<double>(255 - lowest));
    for (int i = 0; i < 256; ++i) {
        const float stretched = static_cast<float>(table[i] - lowest) * factor;
        table[i] = TiClampByte(static_cast<double>(stretched));
    }
}

}  // namespace

int Equalize(TiBitmapData& bitmap, int mode) {
    if (!IsColorBitmap(bitmap)) return 0;
    const std::int64_t pixels = PixelCount(bitmap);
    if (pixels == 0) return 1;
    unsigned char table[256];
    const int lowest = BuildEqualizeTable(CountAverages(bitmap), pixels, table);
    if (mode == 0) StretchTable(lowest, table);
    AdjustCurveChannels(bitmap, table, table, table);
    return 1;
}

}  // namespace vantrel
