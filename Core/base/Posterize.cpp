#include "Core/base/Posterize.h"

#include "Core/base/Curve.h"
#include "Core/global/Numeric.h"
#include "Core/global/PixelPass.h"

namespace vantrel {

int Posterize(TiBitmapData& bitmap, int levels) {
    // One level would divide by zero in the output spacing.
    if (levels < 2) return 0;
    if (!IsColorBitmap(bitmap)) return 0;
    const float step = static_cast<float>(256.0 / static_cast<double>(levels));
    const float mult = static_cast<float>(255.0 / (static_cast<double>(levels) - 1.0));
    unsigned char table[256];
    for (int i = 0; i < 256; ++i) {
        const int band = TiTrunc(static_cast<float>(i) / step);
        table[i] = TiClampByte(static_cast<double>(static_cast<float>(band) * mult));
    }
    AdjustCurveChannels(bitmap, table, table, table);
    return 1;
}

int Threshold(TiBitmapData& bitmap, int level) {
    if (!IsColorBitmap(bitmap)) return 0;
    ForEachColorPixel(bitmap, [level](unsigned char* pixel) {
        const int luma = (306 * pixel[0] + 601 * pixel[1] + 117 * pixel[2] + 512) >> 10;
        const unsigned char value = luma < level ? 0 : 255;
        pixel[0] = value;
        pixel[1] = value;
        pixel[2] = value;
    });
    return 1;
}

}  // namespace vantrel
