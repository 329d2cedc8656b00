#include "Core/base/ChannelMixer.h"

#include <algorithm>
#include <cstdint>

#include "Core/global/Numeric.h"
#include "Core/global/PixelPass.h"
#include "Core/global/TiMemory.h"

namespace vantrel {
namespace {

// T_k[i] = truncate(i · k) in 32-bit float, one table of 256 after another.
void BuildMixTables(const float* scales, int count, std::int32_t* tables) {
    for (int k = 0; k < count; ++k) {
        for (int i = 0; i < 256; ++i) {
            tables[256 * k + i] = TiTrunc(static_cast<float>(i) * scales[k]);
        }
    }
}

// Three table entries summed in 64 bits (wild scales saturate the entries at
// the int range) and clamped to a byte.
unsigned char MixSum(std::int64_t a, std::int64_t b, std::int64_t c) {
    return static_cast<unsigned char>(std::clamp<std::int64_t>(a + b + c, 0, 255));
}

}  // namespace

int MixChannels(TiBitmapData& bitmap, const TinyChannelMixer& mixer) {
    if (!IsColorBitmap(bitmap)) return 0;
    auto* tables = static_cast<std::int32_t*>(TiMalloc(9 * 256 * sizeof(std::int32_t)));
    if (!tables) return 0;
    const float scales[9] = {
        mixer.red.redScale,   mixer.red.greenScale,   mixer.red.blueScale,
        mixer.green.redScale, mixer.green.greenScale, mixer.green.blueScale,
        mixer.blue.redScale,  mixer.blue.greenScale,  mixer.blue.blueScale,
    };
    BuildMixTables(scales, 9, tables);
    const std::int32_t* t = tables;
    ForEachColorPixel(bitmap, [t](unsigned char* pixel) {
        const unsigned g = pixel[1];
        const unsigned b = pixel[2];
        const unsigned red = MixSum(t[pixel[0]], t[256 + g], t[512 + b]);
        const unsigned green = MixSum(t[768 + red], t[1024 + g], t[1280 + b]);
        const unsigned blue = MixSum(t[1536 + red], t[1792 + green], t[2048 + b]);
        pixel[0] = static_cast<unsigned char>(red);
        pixel[1] = static_cast<unsigned char>(green);
        pixel[2] = static_cast<unsigned char>(blue);
    });
    TiFree(tables);
    return 1;
}

int MixChannelsToGray(TiBitmapData& bitmap, const TinyChannelMixScale& scale) {
    if (!IsColorBitmap(bitmap)) return 0;
    auto* tables = static_cast<std::int32_t*>(TiMalloc(3 * 256 * sizeof(std::int32_t)));
    if (!tables) return 0;
    const float scales[3] = {scale.redScale, scale.greenScale, scale.blueScale};
    BuildMixTables(scales, 3, tables);
    const std::int32_t* t = tables;
    ForEachColorPixel(bitmap, [t](unsigned char* pixel) {
        const unsigned char gray = MixSum(t[pixel[0]], t[256 + pixel[1]], t[512 + pixel[2]]);
        pixel[0] = gray;
        pixel[1] = gray;
        pixel[2] = gray;
    });
    TiFree(tables);
    return 1;
}

}  // namespace vantrel
