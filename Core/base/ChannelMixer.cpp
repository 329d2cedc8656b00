#include "Core/base/ChannelMixer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "Core/base/ColorPass.h"
#include "Core/global/Numeric.h"
#include "Core/global/PixelPass.h"
#include "Core/global/TargetClones.h"
#include "Core/global/TiMemory.h"

namespace vantrel {
namespace {

// Sums of three table entries within ±kClampReach are clamped by one lookup;
// that covers coefficients up to about 5 (500 %).
constexpr int kClampReach = 4096;

constexpr std::array<unsigned char, 2 * kClampReach> kClampTable = [] {
    std::array<unsigned char, 2 * kClampReach> table{};
    for (int i = 0; i < 2 * kClampReach; ++i) {
        const int value = i - kClampReach;
        table[i] = static_cast<unsigned char>(value < 0 ? 0 : (value > 255 ? 255 : value));
    }
    return table;
}();

// T_k[i] = truncate(i · k) in 32-bit float, one table of 256 after another.
void BuildMixTables(const float* scales, int count, std::int32_t* tables) {
    for (int k = 0; k < count; ++k) {
        for (int i = 0; i < 256; ++i) {
            tables[256 * k + i] = TiTrunc(static_cast<float>(i) * scales[k]);
        }
    }
}

// True when every sum of one entry from each table lies within the clamp
// table's reach (so it also fits a 32-bit int).
bool SumsWithinReach(const std::int32_t* tables, int count) {
    for (int group = 0; group + 3 <= count; group += 3) {
        std::int64_t lowest = 0;
        std::int64_t highest = 0;
        for (int k = group; k < group + 3; ++k) {
            const auto [low, high] = std::minmax_element(tables + 256 * k, tables + 256 * (k + 1));
            lowest += *low;
            highest += *high;
        }
        if (lowest <= -kClampReach || highest >= kClampReach) return false;
    }
    return true;
}

// Clamps by lookup; the sum is known to be within reach.
struct NearClamp {
    const unsigned char* zero = kClampTable.data() + kClampReach;
    unsigned operator()(std::int32_t a, std::int32_t b, std::int32_t c) const {
        return zero[a + b + c];
    }
};

// Clamps any sum: wild scales saturate the entries at the int range, so the
// sum is taken in 64 bits.
struct FarClamp {
    unsigned operator()(std::int64_t a, std::int64_t b, std::int64_t c) const {
        return static_cast<unsigned>(std::clamp<std::int64_t>(a + b + c, 0, 255));
    }
};

// ---- Sixteen pixels at a time -------------------------------------------
//
// With every entry within the clamp table's reach and every scale finite,
// an entry is truncate(float(i) * k) computed afresh: the same float product
// and the same truncation as the table's, in vector lanes, so the bytes are
// the table's.

// Sixteen lanes fill an AVX-512 register; the AVX2 and baseline versions
// take them in two or four halves.
using VInt = std::int32_t __attribute__((vector_size(64)));
using VFloat = float __attribute__((vector_size(64)));
constexpr int kLanes = 16;
static_assert(kColorChunk % kLanes == 0);

// Vectors are passed by reference only, so that no function has a vector
// argument or result outside a vector compilation.

// Per lane, sum += T_k[channel].
[[gnu::always_inline]] inline void AddShare(const VInt& channel, float scale, VInt& sum) {
    sum += __builtin_convertvector(__builtin_convertvector(channel, VFloat) * scale, VInt);
}

// Per lane, clamp(T_a[x] + T_b[y] + T_c[z]).
[[gnu::always_inline]] inline void MixLanes(const VInt& x, const VInt& y, const VInt& z,
                                            const float* scales, VInt& out) {
    out = VInt{};
    AddShare(x, scales[0], out);
    AddShare(y, scales[1], out);
    AddShare(z, scales[2], out);
    out = out < 0 ? 0 : out;
    out = out > 255 ? 255 : out;
}

// Words R | G << 8 | B << 16 (| A << 24), count rounded up to whole groups.
TI_TARGET_CLONES void MixWords(const float (&k)[9], std::uint32_t* words, int count) {
    for (int i = 0; i < count; i += kLanes) {
        VInt word;
        std::memcpy(&word, words + i, sizeof word);
        const VInt r = word & 0xff, g = word >> 8 & 0xff, b = word >> 16 & 0xff;
        VInt red, green, blue;
        MixLanes(r, g, b, k, red);
        MixLanes(red, g, b, k + 3, green);
        MixLanes(red, green, b, k + 6, blue);
        word = red | green << 8 | blue << 16;
        std::memcpy(words + i, &word, sizeof word);
    }
}

TI_TARGET_CLONES void MixGrayWords(const float (&k)[3], std::uint32_t* words, int count) {
    for (int i = 0; i < count; i += kLanes) {
        VInt word;
        std::memcpy(&word, words + i, sizeof word);
        const VInt r = word & 0xff, g = word >> 8 & 0xff, b = word >> 16 & 0xff;
        VInt gray;
        MixLanes(r, g, b, k, gray);
        word = gray | gray << 8 | gray << 16;
        std::memcpy(words + i, &word, sizeof word);
    }
}

// Whether the lanes may compute the entries: the tables' sums are within
// reach and no scale is infinite or not a number (whose entries the table
// saturates or zeroes).
template <int Count>
bool LanesMayCompute(const float (&scales)[Count], const std::int32_t* tables) {
    for (float scale : scales) {
        if (!std::isfinite(scale)) return false;
    }
    return SumsWithinReach(tables, Count);
}

template <typename Clamp>
void MixPixels(const TiBitmapData& bitmap, const std::int32_t* t, Clamp clamp) {
    ForEachColorPixel(bitmap, [t, clamp](unsigned char* pixel) {
        const unsigned g = pixel[1];
        const unsigned b = pixel[2];
        const unsigned red = clamp(t[pixel[0]], t[256 + g], t[512 + b]);
        const unsigned green = clamp(t[768 + red], t[1024 + g], t[1280 + b]);
        const unsigned blue = clamp(t[1536 + red], t[1792 + green], t[2048 + b]);
        pixel[0] = static_cast<unsigned char>(red);
        pixel[1] = static_cast<unsigned char>(green);
        pixel[2] = static_cast<unsigned char>(blue);
    });
}

template <typename Clamp>
void MixGrayPixels(const TiBitmapData& bitmap, const std::int32_t* t, Clamp clamp) {
    ForEachColorPixel(bitmap, [t, clamp](unsigned char* pixel) {
        const auto gray =
            static_cast<unsigned char>(clamp(t[pixel[0]], t[256 + pixel[1]], t[512 + pixel[2]]));
        pixel[0] = gray;
        pixel[1] = gray;
        pixel[2] = gray;
    });
}

}  // namespace

int MixChannels(TiBitmapData& bitmap, const TinyChannelMixer& mixer) {
    if (!IsColorBitmap(bitmap)) return 0;
    const TiBuffer<std::int32_t> tables(9 * 256);
    if (!tables) return 0;
    const float scales[9] = {
        mixer.red.redScale,   mixer.red.greenScale,   mixer.red.blueScale,
        mixer.green.redScale, mixer.green.greenScale, mixer.green.blueScale,
        mixer.blue.redScale,  mixer.blue.greenScale,  mixer.blue.blueScale,
    };
    BuildMixTables(scales, 9, tables.get());
    if (LanesMayCompute(scales, tables.get())) {
        RunColorChunkPass(bitmap, [&scales](std::uint32_t* words, int count) {
            MixWords(scales, words, (count + kLanes - 1) / kLanes * kLanes);
        });
    } else if (SumsWithinReach(tables.get(), 9)) {
        MixPixels(bitmap, tables.get(), NearClamp{});
    } else {
        MixPixels(bitmap, tables.get(), FarClamp{});
    }
    return 1;
}

int MixChannelsToGray(TiBitmapData& bitmap, const TinyChannelMixScale& scale) {
    if (!IsColorBitmap(bitmap)) return 0;
    const TiBuffer<std::int32_t> tables(3 * 256);
    if (!tables) return 0;
    const float scales[3] = {scale.redScale, scale.greenScale, scale.blueScale};
    BuildMixTables(scales, 3, tables.get());
    if (LanesMayCompute(scales, tables.get())) {
        RunColorChunkPass(bitmap, [&scales](std::uint32_t* words, int count) {
            MixGrayWords(scales, words, (count + kLanes - 1) / kLanes * kLanes);
        });
    } else if (SumsWithinReach(tables.get(), 3)) {
        MixGrayPixels(bitmap, tables.get(), NearClamp{});
    } else {
        MixGrayPixels(bitmap, tables.get(), FarClamp{});
    }
    return 1;
}

}  // namespace vantrel
