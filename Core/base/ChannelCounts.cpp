#include "Core/base/ChannelCounts.h"

#include "Core/global/PixelPass.h"

namespace vantrel {

ColorHistograms CountColorValues(const TiBitmapData& bitmap) {
    ColorHistograms total{};
    ReduceColorPixels<ColorHistograms>(
        bitmap, total,
        [](ColorHistograms& counts, const unsigned char* pixel) {
            ++counts[0][pixel[0]];
            ++counts[1][pixel[1]];
            ++counts[2][pixel[2]];
        },
        [](ColorHistograms& sum, const ColorHistograms& part) {
            for (int c = 0; c < 3; ++c)
                for (int i = 0; i < 256; ++i) sum[c][i] += part[c][i];
        });
    return total;
}

}  // namespace vantrel
