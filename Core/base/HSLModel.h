// The arithmetic of the integer HSL model, shared by the reference
// conversions (RGBToHSL, HSLToRGB in HSL.cpp) and by the chunk conversions
// that the pixel passes of HSL, colour balance and selective colour use.
//
// The chunk conversions take the same float steps as the reference, eight
// pixels at a time in vector registers, so they give the reference's result
// to the bit (the tests compare them over every input). They are compiled
// twice, for the baseline instruction set and for AVX2, and the processor
// picks. Internal to Core/base.
#pragma once

#include <cstdint>

#include "Core/base/ColorPass.h"

// Marks the AVX2 and the AVX-512 (x86-64-v4) compilations of a kernel;
// UseAvx2() and UseAvx512() say whether to call them.
#if defined(__x86_64__)
#define TI_TARGET_AVX2 __attribute__((target("avx2")))
#define TI_TARGET_AVX512 __attribute__((target("arch=x86-64-v4")))
#else
#define TI_TARGET_AVX2
#define TI_TARGET_AVX512
#endif

namespace vantrel::hsl_model {

// Hue in whole degrees 0..359 of a colour whose brightest channel is
// `sector` (0 red, 1 green, 2 blue; the first of equal ones), given
// `difference` (G - B, B - R or R - G for the three sectors) and
// `spread` = max - min > 0.
int HueOf(int sector, int difference, int spread);

// Saturation 0..255 of a colour with max - min = `spread` > 0 and
// max + min = `sum`.
int SaturationOf(int spread, int sum);

// The two levels a channel moves between for a saturation (not 0) and a
// lightness: m1 at the far side of the wheel, m2 at the near side.
struct LightnessBounds {
    float m1;
    float m2;
};
LightnessBounds BoundsOf(int saturation, int lightness);

// A hue brought back into the wheel by one turn at most.
constexpr std::int64_t WrapOnce(std::int64_t hue) {
    return hue >= 360 ? hue - 360 : (hue < 0 ? hue + 360 : hue);
}

// The byte of a channel whose (wrapped) hue is `hue`.
unsigned char ChannelOf(const LightnessBounds& bounds, std::int64_t hue);

// Pixels are handled in the chunks of a colour chunk pass, each pixel as a
// word R | G << 8 | B << 16 (the top byte is ignored on input, 0 on output).
constexpr int kChunk = kColorChunk;

struct HSLChunk {
    alignas(32) std::int32_t hue[kChunk];
    alignas(32) std::int32_t saturation[kChunk];
    alignas(32) std::int32_t lightness[kChunk];
};

// Conversions of `count` (1..kChunk) pixels. They work in groups of eight,
// so up to seven entries past `count` are read and written too: buffers hold
// kChunk entries, and those past `count` are the caller's to ignore.
// HSLToWords takes hues 0..360, saturations and lightnesses 0..255.
void WordsToHSL(const std::uint32_t* words, int count, HSLChunk& hsl);
void HSLToWords(const HSLChunk& hsl, int count, std::uint32_t* words);

// Whether the kernels of this folder take their AVX2 compilation: the
// processor has AVX2 and the test hook does not hold them to the baseline.
bool UseAvx2();

// Whether kernels that have one take their AVX-512 compilation: the
// processor has x86-64-v4 and UseAvx2() holds.
bool UseAvx512();

// Test hook: true holds every kernel to its baseline compilation.
void UseBaselineKernels(bool baseline);

// The two compilations behind WordsToHSL and HSLToWords, for tests.
bool HasAvx2();
void WordsToHSLBaseline(const std::uint32_t* words, int count, HSLChunk& hsl);
void WordsToHSLAvx2(const std::uint32_t* words, int count, HSLChunk& hsl);
void HSLToWordsBaseline(const HSLChunk& hsl, int count, std::uint32_t* words);
void HSLToWordsAvx2(const HSLChunk& hsl, int count, std::uint32_t* words);

}  // namespace vantrel::hsl_model
