#include "Core/base/GrayInvert.h"

#include <algorithm>

#include "Core/base/Curve.h"
#include "Core/global/Numeric.h"
#include "Core/global/PixelPass.h"

namespace vantrel {
namespace {

// Each channel's share of the display gray, one product per value.
struct GrayShares {
    double red[256];
    double green[256];
    double blue[256];

    GrayShares() {
        for (int i = 0; i < 256; ++i) {
            red[i] = static_cast<double>(i) * 0.2126;
            green[i] = static_cast<double>(i) * 0.7152;
            blue[i] = static_cast<double>(i) * 0.0722;
        }
    }
};

}  // namespace

int ConvertToGray(TiBitmapData& bitmap) {
    if (!IsColorBitmap(bitmap)) return 0;
    const GrayShares shares;
    ForEachColorPixel(bitmap, [&shares](unsigned char* pixel) {
        const double sum =
            shares.red[pixel[0]] + shares.green[pixel[1]] + shares.blue[pixel[2]] + 0.5;
        const int gray = std::min(TiTrunc(sum), 255);
        pixel[0] = static_cast<unsigned char>(gray);
        pixel[1] = static_cast<unsigned char>(gray);
        pixel[2] = static_cast<unsigned char>(gray);
    });
    return 1;
}

int InvertColor(TiBitmapData& bitmap) {
    if (!IsColorBitmap(bitmap)) return 0;
    unsigned char table[256];
    for (int i = 0; i < 256; ++i) table[i] = static_cast<unsigned char>(255 - i);
    AdjustCurve(bitmap, table, 0);
    return 1;
}

int ComplementColor(TiBitmapData& bitmap) {
    if (!IsColorBitmap(bitmap)) return 0;
    ForEachColorPixel(bitmap, [](unsigned char* pixel) {
        const int r = pixel[0];
        const int g = pixel[1];
        const int b = pixel[2];
        const int sum = std::max({r, g, b}) + std::min({r, g, b});
        pixel[0] = static_cast<unsigned char>(sum - r);
        pixel[1] = static_cast<unsigned char>(sum - g);
        pixel[2] = static_cast<unsigned char>(sum - b);
    });
    return 1;
}

}  // namespace vantrel
