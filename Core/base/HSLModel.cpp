#include "Core/base/HSLModel.h"

#include <atomic>
#include <cstring>

#include "Core/global/Numeric.h"

namespace vantrel::hsl_model {
namespace {

// Eight lanes of 32 bits. The lane types never cross a function boundary
// (the kernels are inlined into their two compilations), so the ABI of
// 32-byte vectors without AVX never comes into play.
using VInt = std::int32_t __attribute__((vector_size(32)));
using VFloat = float __attribute__((vector_size(32)));
constexpr int kLanes = 8;

#define TI_TO_FLOAT(v) __builtin_convertvector(v, VFloat)
#define TI_TRUNCATE(v) __builtin_convertvector(v, VInt)

[[gnu::always_inline]] inline void WordsToHSLKernel(const std::uint32_t* words, int count,
                                                    HSLChunk& hsl) {
    for (int i = 0; i < count; i += kLanes) {
        VInt word;
        std::memcpy(&word, words + i, sizeof word);
        const VInt red = word & 0xff;
        const VInt green = (word >> 8) & 0xff;
        const VInt blue = (word >> 16) & 0xff;
        VInt mx = red > green ? red : green;
        mx = mx > blue ? mx : blue;
        VInt mn = red < green ? red : green;
        mn = mn < blue ? mn : blue;
        const VInt spread = mx - mn;
        const VInt sum = mx + mn;
        const VInt redTop = red == mx;
        const VInt greenTop = ~redTop & (green == mx);
        const VInt difference = redTop ? green - blue : (greenTop ? blue - red : red - green);
        // 0 + q is q, so the red sector takes the same steps as HueOf.
        const VFloat base = redTop ? VFloat{} : (greenTop ? VFloat{} + 120.0f : VFloat{} + 240.0f);
        const VInt safeSpread = spread > 1 ? spread : 1;
        VFloat hue = base + 60.0f * TI_TO_FLOAT(difference) / TI_TO_FLOAT(safeSpread);
        hue = hue < 0.0f ? hue + 360.0f : (hue >= 360.0f ? hue - 360.0f : hue);

        const VInt divisor = sum < 256 ? sum : 512 - sum;
        const VInt safeDivisor = divisor > 1 ? divisor : 1;
        const VFloat saturation = TI_TO_FLOAT(spread) * 256.0f / TI_TO_FLOAT(safeDivisor);
        VInt s = TI_TRUNCATE(saturation);
        s = s < 255 ? s : 255;

        const VInt gray = spread == 0;
        const VInt h = gray ? 0 : TI_TRUNCATE(hue);
        s = gray ? 0 : s;
        const VInt l = sum >> 1;
        std::memcpy(hsl.hue + i, &h, sizeof h);
        std::memcpy(hsl.saturation + i, &s, sizeof s);
        std::memcpy(hsl.lightness + i, &l, sizeof l);
    }
}

[[gnu::always_inline]] inline void HSLToWordsKernel(const HSLChunk& hsl, int count,
                                                    std::uint32_t* words) {
    for (int i = 0; i < count; i += kLanes) {
        VInt h, s, l;
        std::memcpy(&h, hsl.hue + i, sizeof h);
        std::memcpy(&s, hsl.saturation + i, sizeof s);
        std::memcpy(&l, hsl.lightness + i, sizeof l);
        const VFloat sf = TI_TO_FLOAT(s);
        const VFloat lf = TI_TO_FLOAT(l);
        const VFloat dark = lf * (256.0f + sf) / 256.0f;
        const VFloat light = lf + sf - sf * lf / 256.0f;
        VFloat m2 = l < 128 ? dark : light;
        const VFloat rounded = TI_TO_FLOAT(TI_TRUNCATE(m2 + 0.5f));
        m2 = m2 > 255.0f ? rounded : m2;
        m2 = m2 > 254.0f ? VFloat{} + 255.0f : m2;
        VFloat m1 = 2.0f * lf - m2;
        // A gray: both levels are the lightness, so every channel is too.
        const VInt gray = s == 0;
        m1 = gray ? lf : m1;
        m2 = gray ? lf : m2;
        const VFloat span = m2 - m1;

        // The channels' hues lie 120 degrees apart, so exactly one of them
        // is on a ramp (rising below 60 or falling from 180 to 240): the
        // ramp is computed once, at that channel's distance t from m1.
        VInt hues[3], onRamp[3];
        VInt t = {};
        for (int channel = 0; channel < 3; ++channel) {
            VInt ch = h + (120 - 120 * channel);
            ch = ch >= 360 ? ch - 360 : (ch < 0 ? ch + 360 : ch);
            const VInt rising = ch < 60;
            onRamp[channel] = rising | ((ch >= 180) & (ch < 240));
            t = onRamp[channel] ? (rising ? ch : 240 - ch) : t;
            hues[channel] = ch;
        }
        const VFloat ramp = m1 + span * TI_TO_FLOAT(t) / 60.0f;
        VInt word = {};
        for (int channel = 0; channel < 3; ++channel) {
            const VFloat level = onRamp[channel] ? ramp : (hues[channel] < 180 ? m2 : m1);
            VInt byte = TI_TRUNCATE(level);
            byte = byte > 0 ? byte : 0;
            byte = byte < 255 ? byte : 255;
            word |= byte << (8 * channel);
        }
        std::memcpy(words + i, &word, sizeof word);
    }
}

#undef TI_TO_FLOAT
#undef TI_TRUNCATE

}  // namespace

int HueOf(int sector, int difference, int spread) {
    float hue = 60.0f * static_cast<float>(difference) / static_cast<float>(spread);
    if (sector > 0) hue = static_cast<float>(120 * sector) + hue;
    if (hue < 0.0f) {
        hue += 360.0f;
    } else if (hue >= 360.0f) {
        hue -= 360.0f;
    }
    return TiTrunc(hue);
}

int SaturationOf(int spread, int sum) {
    const float lightness = static_cast<float>(sum) / 2.0f;
    const float divisor =
        lightness < 128.0f ? static_cast<float>(sum) : 512.0f - static_cast<float>(sum);
    const float saturation = static_cast<float>(spread) * 256.0f / divisor;
    return saturation >= 256.0f ? 255 : TiTrunc(saturation);
}

LightnessBounds BoundsOf(int saturation, int lightness) {
    const float s = static_cast<float>(saturation);
    const float l = static_cast<float>(lightness);
    float m2 = lightness < 128 ? l * (256.0f + s) / 256.0f : l + s - s * l / 256.0f;
    if (m2 > 255.0f) m2 = static_cast<float>(TiTrunc(m2 + 0.5f));
    if (m2 > 254.0f) m2 = 255.0f;
    return {2.0f * l - m2, m2};
}

unsigned char ChannelOf(const LightnessBounds& bounds, std::int64_t hue) {
    const float m1 = bounds.m1;
    const float m2 = bounds.m2;
    float value;
    if (hue < 60) {
        value = m1 + (m2 - m1) * static_cast<float>(hue) / 60.0f;
    } else if (hue < 180) {
        value = m2;
    } else if (hue < 240) {
        value = m1 + (m2 - m1) * static_cast<float>(240 - hue) / 60.0f;
    } else {
        value = m1;
    }
    // Truncating first and clamping after gives the same byte as this.
    return TiClampByte(static_cast<double>(value));
}

void WordsToHSLBaseline(const std::uint32_t* words, int count, HSLChunk& hsl) {
    WordsToHSLKernel(words, count, hsl);
}

void HSLToWordsBaseline(const HSLChunk& hsl, int count, std::uint32_t* words) {
    HSLToWordsKernel(hsl, count, words);
}

namespace {
std::atomic<bool> g_baselineOnly{false};

// What the processor has, asked once. GCC alone has the x86-64-v4 name, and
// only GCC builds the AVX-512 kernel.
struct CpuFeatures {
    bool avx2 = false;
    bool avx512 = false;
};

const CpuFeatures& Cpu() {
    static const CpuFeatures features = [] {
        CpuFeatures found;
#if defined(__x86_64__)
        __builtin_cpu_init();
        found.avx2 = __builtin_cpu_supports("avx2") != 0;
#if !defined(__clang__)
        found.avx512 = __builtin_cpu_supports("x86-64-v4") != 0;
#endif
#endif
        return found;
    }();
    return features;
}
}  // namespace

bool HasAvx2() {
    return Cpu().avx2;
}

bool UseAvx2() {
    return HasAvx2() && !g_baselineOnly.load(std::memory_order_relaxed);
}

bool UseAvx512() {
    return UseAvx2() && Cpu().avx512;
}

void UseBaselineKernels(bool baseline) {
    g_baselineOnly.store(baseline);
}

TI_TARGET_AVX2 void WordsToHSLAvx2(const std::uint32_t* words, int count, HSLChunk& hsl) {
    WordsToHSLKernel(words, count, hsl);
}

TI_TARGET_AVX2 void HSLToWordsAvx2(const HSLChunk& hsl, int count, std::uint32_t* words) {
    HSLToWordsKernel(hsl, count, words);
}

void WordsToHSL(const std::uint32_t* words, int count, HSLChunk& hsl) {
    if (UseAvx2()) {
        WordsToHSLAvx2(words, count, hsl);
    } else {
        WordsToHSLBaseline(words, count, hsl);
    }
}

void HSLToWords(const HSLChunk& hsl, int count, std::uint32_t* words) {
    if (UseAvx2()) {
        HSLToWordsAvx2(hsl, count, words);
    } else {
        HSLToWordsBaseline(hsl, count, words);
    }
}

}  // namespace vantrel::hsl_model
