#include "Core/base/SelectiveColor.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "Core/base/ColorPass.h"
#include "Core/base/HSLModel.h"
#include "Core/global/TiMemory.h"

namespace vantrel {
namespace {

constexpr int kHueFamilies = 6;
// Hue weight tables: one per family centre 0, 60, .., 300, and a seventh
// centred at 360 that serves the reds for hues 300..359.
constexpr int kHueTables = 7;
constexpr int kHues = 360;
constexpr int kLevels = 256;

// The three inks of one family after black is folded in: cyan (acts on
// red), magenta (green), yellow (blue).
struct Inks {
    float ink[3];
    bool active;
};

struct Families {
    Inks hue[kHueFamilies];
    Inks whites;
    Inks neutrals;
    Inks blacks;
};

// The per-call tables, in the two work blocks.
struct Weights {
    const float* hue[kHueTables];  // by hue 0..359, one after the other
    const float* blacks;           // by level
    const float* neutrals;
    const float* whites;
};

float NumberOrZero(float value) {
    return std::isnan(value) ? 0.0f : value;
}

// Black added to one ink. Where the two pull apart, a full ink (or a full
// negative black) holds its place instead of being pulled back.
float FoldBlack(float ink, float black) {
    float folded;
    if (ink * black >= 0.0f) {
        folded = ink + black;
    } else if (black > 0.0f) {
        folded = ink + black * (1.0f - std::fabs(std::trunc(ink)));
    } else {
        folded = ink * (1.0f - std::fabs(std::trunc(black))) + black;
    }
    // Infinite values can meet as inf * 0; that folds to no ink.
    return std::isnan(folded) ? 0.0f : std::clamp(folded, -1.0f, 1.0f);
}

Inks Fold(const ComplementScale& scale) {
    const float black = NumberOrZero(scale.black);
    const float raw[3] = {scale.cyan, scale.magenta, scale.yellow};
    Inks inks{{0, 0, 0}, black != 0.0f};
    for (int c = 0; c < 3; ++c) {
        inks.ink[c] = FoldBlack(NumberOrZero(raw[c]), black);
        inks.active = inks.active || inks.ink[c] != 0.0f;
    }
    return inks;
}

Families FoldAll(const ComplementScaleSet& set) {
    return {{Fold(set.reds), Fold(set.yellows), Fold(set.greens), Fold(set.cyans), Fold(set.blues),
             Fold(set.magentas)},
            Fold(set.whites),
            Fold(set.neutrals),
            Fold(set.blacks)};
}

void FillHueWeights(float* block, Weights& weights) {
    for (int k = 0; k < kHueTables; ++k) {
        float* table = block + k * kHues;
        for (int hue = 0; hue < kHues; ++hue) {
            const float weight = 1.0f - static_cast<float>(std::abs(hue - 60 * k)) / 60.0f;
            table[hue] = weight > 0.0f ? weight : 0.0f;
        }
        weights.hue[k] = table;
    }
}

void FillToneWeights(float* block, Weights& weights) {
    float* blacks = block;
    float* neutrals = block + kLevels;
    float* whites = block + 2 * kLevels;
    for (int i = 0; i < kLevels; ++i) {
        blacks[i] = std::max(0.0f, static_cast<float>(128 - i) / 128.0f);
        neutrals[i] = std::max(0.0f, 1.0f - static_cast<float>(std::abs(i - 128)) / 128.0f);
        whites[i] = std::max(0.0f, 1.0f - static_cast<float>(std::abs(i - 255)) / 128.0f);
    }
    weights.blacks = blacks;
    weights.neutrals = neutrals;
    weights.whites = whites;
}

// ---- The pixel pass, eight pixels at a time ------------------------------
//
// Each lane takes the float steps of one pixel, in the same order; a step
// that does not apply to a lane leaves its channels as they are. Vectors are
// passed by reference only, so that no function has a vector argument or
// result outside the AVX2 compilation.

using VInt = std::int32_t __attribute__((vector_size(32)));
using VFloat = float __attribute__((vector_size(32)));
constexpr int kLanes = 8;

#define TI_TO_FLOAT(v) __builtin_convertvector(v, VFloat)
#define TI_TRUNCATE(v) __builtin_convertvector(v, VInt)

// Per lane, table[index] (a table lookup per lane).
[[gnu::always_inline]] inline void Gather(const float* table, const VInt& index, VFloat& out) {
    for (int lane = 0; lane < kLanes; ++lane) out[lane] = table[index[lane]];
}

// Whether any lane of a mask is set.
[[gnu::always_inline]] inline bool AnyLane(const VInt& mask) {
    std::uint64_t parts[4];
    std::memcpy(parts, &mask, sizeof parts);
    return (parts[0] | parts[1] | parts[2] | parts[3]) != 0;
}

[[gnu::always_inline]] inline void Extremes(const VInt (&rgb)[3], VInt& mx, VInt& mn) {
    mx = rgb[0] > rgb[1] ? rgb[0] : rgb[1];
    mx = mx > rgb[2] ? mx : rgb[2];
    mn = rgb[0] < rgb[1] ? rgb[0] : rgb[1];
    mn = mn < rgb[2] ? mn : rgb[2];
}

// Per lane, the inks of family which[lane] (0..5); families that do nothing
// add nothing, so lanes of inactive families keep zero inks. Returns whether
// any lane has an active family.
[[gnu::always_inline]] inline bool InksOf(const Families& families, const VInt& which,
                                          VFloat (&ink)[3]) {
    VInt any = {};
    for (int c = 0; c < 3; ++c) ink[c] = VFloat{};
    for (int family = 0; family < kHueFamilies; ++family) {
        const Inks& inks = families.hue[family];
        if (!inks.active) continue;
        const VInt mine = which == family;
        any |= mine;
        for (int c = 0; c < 3; ++c) ink[c] = mine ? VFloat{} + inks.ink[c] : ink[c];
    }
    return AnyLane(any);
}

// Moves each channel toward 0 (ink added) or 255 (ink taken away) by a share
// of the pixel's colourfulness. With no ink, or an amount of 0, the float
// steps give the channel back unchanged, so no lane needs masking.
[[gnu::always_inline]] inline void HueFamilyStep(VInt (&rgb)[3], const VFloat (&ink)[3],
                                                 const VFloat& weight) {
    VInt mx, mn;
    Extremes(rgb, mx, mn);
    const VFloat amount = TI_TO_FLOAT(TI_TRUNCATE(TI_TO_FLOAT(mx - mn) * weight));
    for (int c = 0; c < 3; ++c) {
        const VFloat q = -ink[c];
        const VInt room = q >= 0.0f ? 255 - rgb[c] : rgb[c];
        const VFloat moved = TI_TO_FLOAT(rgb[c]) + TI_TO_FLOAT(room) / 255.0f * amount * q;
        VInt level = TI_TRUNCATE(moved);
        level = level > 0 ? level : 0;
        rgb[c] = level < 255 ? level : 255;
    }
}

// truncate(v + 0.5) with v taken to double, for v >= 0: floor(v) plus one
// when the fraction (exact in float: v and floor(v) are close) reaches 1/2.
[[gnu::always_inline]] inline void Near(const VFloat& v, VInt& out) {
    const VInt whole = TI_TRUNCATE(v);
    out = whole - (v - TI_TO_FLOAT(whole) >= 0.5f);
}

// Moves each channel by the ink, measured against the pixel's darkest (ink
// taken away) or brightest (ink added) channel, within a window around the
// channel that `amount` opens; lanes whose amount is below 1 stay.
[[gnu::always_inline]] inline void ApplyToneScale(VInt (&rgb)[3], const VFloat (&ink)[3],
                                                  const VInt& mn, const VInt& mx,
                                                  const VInt& amount) {
    const VInt applies = amount >= 1;
    if (!AnyLane(applies)) return;
    const VFloat scale = TI_TO_FLOAT(amount);
    // The room above the darkest and below the brightest channel, as shares
    // of 255 (the same quotients whichever channel asks).
    const VFloat aboveDarkest = TI_TO_FLOAT(255 - mn) / 255.0f;
    const VFloat belowBrightest = TI_TO_FLOAT(mx) / 255.0f;
    for (int c = 0; c < 3; ++c) {
        const VFloat q = -ink[c];
        const VInt x = rgb[c];
        VInt down, up, reach;
        Near(TI_TO_FLOAT(x) / 255.0f * scale, down);
        Near(TI_TO_FLOAT(255 - x) / 255.0f * scale, up);
        Near((q >= 0.0f ? aboveDarkest : belowBrightest) * scale, reach);
        const VInt lo = x - down;
        const VInt hi = x + up;
        const VInt moved = x + TI_TRUNCATE(TI_TO_FLOAT(reach) * q);
        const VInt held = moved < lo ? lo : (moved < hi ? moved : hi);
        rgb[c] = applies ? held : x;
    }
}

[[gnu::always_inline]] inline void HueSteps(VInt (&rgb)[3], const VInt& hue,
                                            const Families& families, const Weights& weights) {
    // k = hue / 60, the family centred at or below the hue.
    const VInt below = -((hue >= 60) + (hue >= 120) + (hue >= 180) + (hue >= 240) + (hue >= 300));
    const VInt above = below + 1;
    VFloat ink[3], weight = {};
    // Groups of pixels that no active family touches skip the step.
    if (InksOf(families, below, ink)) {
        Gather(weights.hue[0], below * kHues + hue, weight);
        HueFamilyStep(rgb, ink, weight);
    }
    if (InksOf(families, above == kHueFamilies ? 0 : above, ink)) {
        Gather(weights.hue[0], above * kHues + hue, weight);
        HueFamilyStep(rgb, ink, weight);
    }
}

[[gnu::always_inline]] inline void ToneSteps(VInt (&rgb)[3], const Families& families,
                                             const Weights& weights) {
    VInt mx, mn;
    Extremes(rgb, mx, mn);
    VFloat ink[3];
    if (families.blacks.active || families.whites.active) {
        const VInt dark = families.blacks.active ? mx < 128 : VInt{};
        const VInt light = ~dark & (families.whites.active ? mn >= 128 : VInt{});
        VFloat blacks = {}, whites = {};
        if (families.blacks.active) Gather(weights.blacks, mx, blacks);
        if (families.whites.active) Gather(weights.whites, mn, whites);
        const VInt amount = dark    ? TI_TRUNCATE(blacks * 255.0f)
                            : light ? TI_TRUNCATE(whites * 255.0f)
                                    : VInt{};
        for (int c = 0; c < 3; ++c) {
            ink[c] = dark ? VFloat{} + families.blacks.ink[c] : VFloat{} + families.whites.ink[c];
        }
        ApplyToneScale(rgb, ink, mn, mx, amount);
    }
    if (!families.neutrals.active) return;

    VInt mx5, mn5;
    Extremes(rgb, mx5, mn5);
    // (R + G + B) / 3: exact in float, a third is never near a whole.
    const VInt average = TI_TRUNCATE(TI_TO_FLOAT(rgb[0] + rgb[1] + rgb[2]) / 3.0f);
    VFloat neutrals = {};
    Gather(weights.neutrals, average, neutrals);
    const VInt neutralAmount = TI_TRUNCATE(neutrals * 255.0f - TI_TO_FLOAT(mx5 - mn5));
    for (int c = 0; c < 3; ++c) ink[c] = VFloat{} + families.neutrals.ink[c];
    // The neutrals measure against the extremes found before the whites or
    // the blacks moved the pixel.
    ApplyToneScale(rgb, ink, mn, mx, neutralAmount);
}

[[gnu::always_inline]] inline void SelectiveChunkKernel(const Families& families,
                                                        const Weights& weights, int count,
                                                        const std::int32_t* hues,
                                                        std::uint32_t* words) {
    for (int i = 0; i < count; i += kLanes) {
        VInt word, hue;
        std::memcpy(&word, words + i, sizeof word);
        std::memcpy(&hue, hues + i, sizeof hue);
        VInt rgb[3] = {word & 0xff, (word >> 8) & 0xff, (word >> 16) & 0xff};
        HueSteps(rgb, hue, families, weights);
        ToneSteps(rgb, families, weights);
        word = rgb[0] | rgb[1] << 8 | rgb[2] << 16;
        std::memcpy(words + i, &word, sizeof word);
    }
}

#undef TI_TO_FLOAT
#undef TI_TRUNCATE

void SelectiveChunkBaseline(const Families& families, const Weights& weights, int count,
                            const std::int32_t* hues, std::uint32_t* words) {
    SelectiveChunkKernel(families, weights, count, hues, words);
}

TI_TARGET_AVX2 void SelectiveChunkAvx2(const Families& families, const Weights& weights, int count,
                                       const std::int32_t* hues, std::uint32_t* words) {
    SelectiveChunkKernel(families, weights, count, hues, words);
}

}  // namespace

int SelectiveColor(TiBitmapData& bitmap, ComplementScaleSet scaleSet) {
    if (bitmap.GetBpp() != TiRGBBpp && bitmap.GetBpp() != TiRGBABpp) return 0;
    const TiBuffer<float> hueBlock(kHueTables * kHues);
    const TiBuffer<float> toneBlock(3 * kLevels);
    if (!hueBlock || !toneBlock) return 0;
    const Families families = FoldAll(scaleSet);
    Weights weights;
    FillHueWeights(hueBlock.get(), weights);
    FillToneWeights(toneBlock.get(), weights);
    const bool avx2 = hsl_model::UseAvx2();

    RunColorChunkPass(bitmap, [&families, &weights, avx2](std::uint32_t* words, int count) {
        hsl_model::HSLChunk hsl;
        hsl_model::WordsToHSL(words, count, hsl);
        // Whole groups of eight: the chunk's spare words are zeros.
        const int groups = (count + kLanes - 1) / kLanes * kLanes;
        if (avx2) {
            SelectiveChunkAvx2(families, weights, groups, hsl.hue, words);
        } else {
            SelectiveChunkBaseline(families, weights, groups, hsl.hue, words);
        }
    });
    return 1;
}

}  // namespace vantrel
