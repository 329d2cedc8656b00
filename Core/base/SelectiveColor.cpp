#include "Core/base/SelectiveColor.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "Core/base/ColorPass.h"
#include "Core/base/HSLModel.h"

namespace vantrel {
namespace {

constexpr int kHueFamilies = 6;
// The narrower kernels work in groups of this many pixels.
constexpr int kLanes = 8;

// The three inks of one family after black is folded in: cyan (acts on
// red), magenta (green), yellow (blue).
struct Inks {
    // Each ink negated: how far it pulls a channel toward 255 (positive) or
    // toward 0 (negative), the sign the pixel steps work with.
    float pull[3];
    bool active;
};

struct Families {
    Inks hue[kHueFamilies];
    Inks whites;
    Inks neutrals;
    Inks blacks;
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
        inks.pull[c] = -FoldBlack(NumberOrZero(raw[c]), black);
        inks.active = inks.active || inks.pull[c] != 0.0f;
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

// ---- The pixel pass, eight or sixteen pixels at a time --------------------
//
// Each lane takes the float steps of one pixel, in the same order; a step
// that does not apply to a lane leaves its channels as they are. Vectors are
// passed by reference only, so that no function has a vector argument or
// result outside the compilations that have the registers for them.

template <int Lanes>
struct Vectors;
template <>
struct Vectors<8> {
    using Int = std::int32_t __attribute__((vector_size(32)));
    using Float = float __attribute__((vector_size(32)));
};
template <>
struct Vectors<16> {
    using Int = std::int32_t __attribute__((vector_size(64)));
    using Float = float __attribute__((vector_size(64)));
};

// The tone steps round a share of 255 to the nearest whole: the float
// steps v = float(a / 255.0f) * s, then v + 0.5 truncated (v >= 0, so the
// nearest with halves up), give the same whole as (a * s + 127) / 255 in
// integers for every a and s in 0..255, which this proves at compile time.
// The integer form divides by 255 as (v + 1 + (v >> 8)) >> 8, exact for
// v below 65536.
constexpr bool ScaledSharesExact() {
    for (int a = 0; a <= 255; ++a) {
        for (int s = 0; s <= 255; ++s) {
            const float v = static_cast<float>(a) / 255.0f * static_cast<float>(s);
            const int whole = static_cast<int>(v);
            const int nearest = whole + (v - static_cast<float>(whole) >= 0.5f ? 1 : 0);
            const int sum = a * s + 127;
            if (nearest != (sum + 1 + (sum >> 8)) >> 8 || nearest != sum / 255) return false;
            // The shares of a and of 255 - a add up to s.
            if (nearest + (static_cast<int>(255 - a) * s + 127) / 255 != s) return false;
        }
    }
    return true;
}
static_assert(ScaledSharesExact());

// With AVX-512 (and GCC, whose builtins spell the instructions), a quotient
// x / d of a whole x in 0..255 is x * (1 / d) put right by one fused
// multiply-add: the correctly rounded quotient for every such x and each
// divisor the pass uses, as the checks below prove at compile time. Other
// compilations divide.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define TI_FUSED_QUOTIENTS 1
// Declares the builtin; the vectors of 64 bytes only ever live inside the
// AVX-512 compilation, whatever the ABI warning says of the helpers.
#include <immintrin.h>
#pragma GCC diagnostic ignored "-Wpsabi"

constexpr float FusedQuotient(float x, float d) {
    const float r = 1.0f / d;
    const float q = x * r;
    return __builtin_fmaf(__builtin_fmaf(-q, d, x), r, q);
}

constexpr bool FusedQuotientsExact(float d) {
    for (int x = 0; x <= 255; ++x) {
        if (FusedQuotient(static_cast<float>(x), d) != static_cast<float>(x) / d) return false;
    }
    return true;
}
static_assert(FusedQuotientsExact(255.0f) && FusedQuotientsExact(60.0f));
#else
#define TI_FUSED_QUOTIENTS 0
#endif

template <int Lanes>
struct Kernel {
    using VInt = typename Vectors<Lanes>::Int;
    using VFloat = typename Vectors<Lanes>::Float;

#define TI_TO_FLOAT(v) __builtin_convertvector(v, VFloat)
#define TI_TRUNCATE(v) __builtin_convertvector(v, VInt)

    // x / d, x holding whole numbers 0..255.
    [[gnu::always_inline]] static inline void Quotient(const VFloat& x, float d, VFloat& out) {
#if TI_FUSED_QUOTIENTS
        if constexpr (Lanes == 16) {
            const VFloat divisor = VFloat{} + d;
            const VFloat r = VFloat{} + 1.0f / d;
            const VFloat q = x * r;
            const VFloat error = __builtin_ia32_vfmaddps512_mask(-q, divisor, x, -1, 4);
            out = __builtin_ia32_vfmaddps512_mask(error, r, q, -1, 4);
            return;
        }
#endif
        out = x / d;
    }

    // Whether any lane of a mask is set.
    [[gnu::always_inline]] static inline bool AnyLane(const VInt& mask) {
#if TI_FUSED_QUOTIENTS
        // One test into a mask register, where the compiler would move the
        // lanes out a quarter at a time.
        if constexpr (Lanes == 16) return __builtin_ia32_ptestmd512(mask, mask, 0xffff) != 0;
#endif
        std::uint64_t parts[Lanes / 2];
        std::memcpy(parts, &mask, sizeof parts);
        std::uint64_t any = 0;
        for (std::uint64_t part : parts) any |= part;
        return any != 0;
    }

    [[gnu::always_inline]] static inline void Extremes(const VInt (&rgb)[3], VInt& mx, VInt& mn) {
        mx = rgb[0] > rgb[1] ? rgb[0] : rgb[1];
        mx = mx > rgb[2] ? mx : rgb[2];
        mn = rgb[0] < rgb[1] ? rgb[0] : rgb[1];
        mn = mn < rgb[2] ? mn : rgb[2];
    }

    // The six hue families' inks and whether each acts, in lanes 0..5 (the
    // other lanes zero), for looking a family up by lane.
    struct HueTable {
        VFloat pull[3];
        VInt active;
    };

    [[gnu::always_inline]] static inline void MakeHueTable(const Families& families,
                                                           HueTable& table) {
        for (int c = 0; c < 3; ++c) table.pull[c] = VFloat{};
        table.active = VInt{};
        for (int family = 0; family < kHueFamilies; ++family) {
            const Inks& inks = families.hue[family];
            if (!inks.active) continue;
            for (int c = 0; c < 3; ++c) table.pull[c][family] = inks.pull[c];
            table.active[family] = -1;
        }
    }

    // Per lane, the inks of family which[lane] (0..5); families that do
    // nothing add nothing, so lanes of inactive families keep zero inks.
    // Returns whether any lane has an active family.
    [[gnu::always_inline]] static inline bool InksOf(const HueTable& table, const VInt& which,
                                                     VFloat (&pull)[3]) {
#if defined(__GNUC__) && !defined(__clang__)
        // One permute a channel: which[lane] picks the table's lane.
        for (int c = 0; c < 3; ++c) pull[c] = __builtin_shuffle(table.pull[c], which);
        return AnyLane(__builtin_shuffle(table.active, which));
#else
        VInt any = {};
        for (int c = 0; c < 3; ++c) pull[c] = VFloat{};
        for (int family = 0; family < kHueFamilies; ++family) {
            const VInt mine = which == family;
            any |= mine & table.active[family];
            for (int c = 0; c < 3; ++c) pull[c] = mine ? VFloat{} + table.pull[c][family] : pull[c];
        }
        return AnyLane(any);
#endif
    }

    // Moves each channel toward 0 (ink added) or 255 (ink taken away) by a
    // share of the pixel's colourfulness. With no ink, or an amount of 0, the
    // float steps give the channel back unchanged, so no lane needs masking.
    [[gnu::always_inline]] static inline void HueFamilyStep(VInt (&rgb)[3],
                                                            const VFloat (&pull)[3],
                                                            const VFloat& weight) {
        VInt mx, mn;
        Extremes(rgb, mx, mn);
        const VFloat amount = TI_TO_FLOAT(TI_TRUNCATE(TI_TO_FLOAT(mx - mn) * weight));
        for (int c = 0; c < 3; ++c) {
            const VFloat q = pull[c];
            const VInt room = q >= 0.0f ? 255 - rgb[c] : rgb[c];
            VFloat share;
            Quotient(TI_TO_FLOAT(room), 255.0f, share);
            const VFloat moved = TI_TO_FLOAT(rgb[c]) + share * amount * q;
            VInt level = TI_TRUNCATE(moved);
            level = level > 0 ? level : 0;
            rgb[c] = level < 255 ? level : 255;
        }
    }

    // Near(a / 255 * s) for whole a and s in 0..255, in integers: see
    // ScaledSharesExact.
    [[gnu::always_inline]] static inline void ScaledShare(const VInt& a, const VInt& s,
                                                          VInt& out) {
        const VInt v = a * s + 127;
        out = (v + 1 + (v >> 8)) >> 8;
    }

    // Moves each channel by the ink, measured against the pixel's darkest
    // (ink taken away) or brightest (ink added) channel, within a window
    // around the channel that `amount` opens; lanes whose amount is below 1
    // stay.
    [[gnu::always_inline]] static inline void ApplyToneScale(VInt (&rgb)[3],
                                                             const VFloat (&pull)[3],
                                                             const VInt& mn, const VInt& mx,
                                                             const VInt& amount) {
        const VInt applies = amount >= 1;
        if (!AnyLane(applies)) return;
        // The room above the darkest and below the brightest channel, in
        // shares of `amount` (the same whichever channel asks).
        VInt aboveDarkest, belowBrightest;
        ScaledShare(255 - mn, amount, aboveDarkest);
        ScaledShare(mx, amount, belowBrightest);
        for (int c = 0; c < 3; ++c) {
            const VFloat q = pull[c];
            const VInt x = rgb[c];
            VInt down;
            ScaledShare(x, amount, down);
            const VInt reach = q >= 0.0f ? aboveDarkest : belowBrightest;
            const VInt lo = x - down;
            // x plus the share of 255 - x, which is amount less the share of x.
            const VInt hi = lo + amount;
            const VInt moved = x + TI_TRUNCATE(TI_TO_FLOAT(reach) * q);
            VInt held = moved > lo ? moved : lo;
            held = held < hi ? held : hi;
            rgb[c] = applies ? held : x;
        }
    }

    // The weight of the family centred at `centre` degrees (0, 60, .., 360)
    // for hues within 60 degrees of it: 1 at the centre, falling to 0.
    [[gnu::always_inline]] static inline void HueWeight(const VInt& hue, const VInt& centre,
                                                        VFloat& weight) {
        const VInt distance = hue > centre ? hue - centre : centre - hue;
        VFloat share;
        Quotient(TI_TO_FLOAT(distance), 60.0f, share);
        weight = 1.0f - share;
        weight = weight > 0.0f ? weight : 0.0f;
    }

    [[gnu::always_inline]] static inline void HueSteps(VInt (&rgb)[3], const VInt& hue,
                                                       const HueTable& table) {
        // k = hue / 60, the family centred at or below the hue; the family
        // above it is the reds again, centred at 360, for hues from 300.
        const VInt below =
            -((hue >= 60) + (hue >= 120) + (hue >= 180) + (hue >= 240) + (hue >= 300));
        const VInt above = below + 1;
        VFloat pull[3], weight;
        // Groups of pixels that no active family touches skip the step.
        if (InksOf(table, below, pull)) {
            HueWeight(hue, below * 60, weight);
            HueFamilyStep(rgb, pull, weight);
        }
        if (InksOf(table, above == kHueFamilies ? 0 : above, pull)) {
            HueWeight(hue, above * 60, weight);
            HueFamilyStep(rgb, pull, weight);
        }
    }

    // The tone families' weights of a level: the blacks fall from 1 at 0 to
    // 0 at 128, the neutrals peak at 128, the whites fall from 1 at 255 to 0
    // at 127. Halving steps only, so the products are the quotients by 128.
    [[gnu::always_inline]] static inline void ToneWeight(const VInt& level, int peak,
                                                         VFloat& weight) {
        const VInt distance = level > peak ? level - peak : peak - level;
        weight = 1.0f - TI_TO_FLOAT(distance) * (1.0f / 128.0f);
        weight = weight > 0.0f ? weight : 0.0f;
    }

    [[gnu::always_inline]] static inline void ToneSteps(VInt (&rgb)[3],
                                                        const Families& families) {
        VInt mx, mn;
        Extremes(rgb, mx, mn);
        VFloat pull[3];
        if (families.blacks.active || families.whites.active) {
            const VInt blacksOn = VInt{} - static_cast<int>(families.blacks.active);
            const VInt whitesOn = VInt{} - static_cast<int>(families.whites.active);
            const VInt dark = (mx < 128) & blacksOn;
            const VInt light = ~dark & (mn >= 128) & whitesOn;
            VFloat blacks = {}, whites = {};
            if (families.blacks.active) ToneWeight(mx, 0, blacks);
            if (families.whites.active) ToneWeight(mn, 255, whites);
            // One select at a time: GCC takes a nested select of lanes apart.
            VInt amount = light ? TI_TRUNCATE(whites * 255.0f) : VInt{};
            amount = dark ? TI_TRUNCATE(blacks * 255.0f) : amount;
            for (int c = 0; c < 3; ++c) {
                pull[c] =
                    dark ? VFloat{} + families.blacks.pull[c] : VFloat{} + families.whites.pull[c];
            }
            ApplyToneScale(rgb, pull, mn, mx, amount);
        }
        if (!families.neutrals.active) return;

        VInt mx5, mn5;
        Extremes(rgb, mx5, mn5);
        // (R + G + B) / 3: exact in float, a third is never near a whole.
        const VInt average = TI_TRUNCATE(TI_TO_FLOAT(rgb[0] + rgb[1] + rgb[2]) / 3.0f);
        VFloat neutrals;
        ToneWeight(average, 128, neutrals);
        const VInt neutralAmount = TI_TRUNCATE(neutrals * 255.0f - TI_TO_FLOAT(mx5 - mn5));
        for (int c = 0; c < 3; ++c) pull[c] = VFloat{} + families.neutrals.pull[c];
        // The neutrals measure against the extremes found before the whites
        // or the blacks moved the pixel.
        ApplyToneScale(rgb, pull, mn, mx, neutralAmount);
    }

    // The pixel's hue in whole degrees, in the same float steps as the HSL
    // model's conversion (0 for a gray). One select at a time, as above.
    [[gnu::always_inline]] static inline void HueOf(const VInt (&rgb)[3], VInt& hue) {
        VInt mx, mn;
        Extremes(rgb, mx, mn);
        const VInt spread = mx - mn;
        // Red, then green, then blue is the brightest where channels tie:
        // the red sector's selects come last and win.
        const VInt redTop = rgb[0] == mx;
        const VInt greenTop = rgb[1] == mx;
        VInt difference = rgb[0] - rgb[1];
        difference = greenTop ? rgb[2] - rgb[0] : difference;
        difference = redTop ? rgb[1] - rgb[2] : difference;
        // 0 + q is q, so the red sector takes the same steps as the others.
        VFloat base = VFloat{} + 240.0f;
        base = greenTop ? VFloat{} + 120.0f : base;
        base = redTop ? VFloat{} : base;
        const VInt safeSpread = spread > 1 ? spread : 1;
        VFloat degrees = base + 60.0f * TI_TO_FLOAT(difference) / TI_TO_FLOAT(safeSpread);
        degrees = degrees >= 360.0f ? degrees - 360.0f : degrees;
        degrees = degrees < 0.0f ? degrees + 360.0f : degrees;
        hue = spread == 0 ? VInt{} : TI_TRUNCATE(degrees);
    }

    // `Ways` groups of pixels, each step taken for every group before the
    // next step: one group's steps wait on one another, and the groups'
    // independent chains keep the processor busy meanwhile.
    template <int Ways>
    [[gnu::always_inline]] static inline void RunGroups(const Families& families,
                                                        const HueTable& table,
                                                        std::uint32_t* words) {
        VInt rgb[Ways][3], hue[Ways];
        for (int w = 0; w < Ways; ++w) {
            VInt word;
            std::memcpy(&word, words + w * Lanes, sizeof word);
            rgb[w][0] = word & 0xff;
            rgb[w][1] = (word >> 8) & 0xff;
            rgb[w][2] = (word >> 16) & 0xff;
        }
        for (int w = 0; w < Ways; ++w) HueOf(rgb[w], hue[w]);
        for (int w = 0; w < Ways; ++w) HueSteps(rgb[w], hue[w], table);
        for (int w = 0; w < Ways; ++w) ToneSteps(rgb[w], families);
        for (int w = 0; w < Ways; ++w) {
            const VInt word = rgb[w][0] | rgb[w][1] << 8 | rgb[w][2] << 16;
            std::memcpy(words + w * Lanes, &word, sizeof word);
        }
    }

    // Four groups at a time in the sixteen-lane kernel, whose 32 registers
    // hold them (about a quarter less time than one at a time); the
    // eight-lane kernels have 16 and take one.
    static constexpr int kWays = Lanes == 16 ? 4 : 1;

    // `count` words, a multiple of Lanes.
    [[gnu::always_inline]] static inline void Run(const Families& families, int count,
                                                  std::uint32_t* words) {
        HueTable table;
        MakeHueTable(families, table);
        int i = 0;
        for (; i + kWays * Lanes <= count; i += kWays * Lanes) {
            RunGroups<kWays>(families, table, words + i);
        }
        for (; i < count; i += Lanes) RunGroups<1>(families, table, words + i);
    }

#undef TI_TO_FLOAT
#undef TI_TRUNCATE
};

void SelectiveChunkBaseline(const Families& families, int count, std::uint32_t* words) {
    Kernel<8>::Run(families, count, words);
}

TI_TARGET_AVX2 void SelectiveChunkAvx2(const Families& families, int count, std::uint32_t* words) {
    Kernel<8>::Run(families, count, words);
}

TI_TARGET_AVX512 void SelectiveChunkAvx512(const Families& families, int count,
                                           std::uint32_t* words) {
    Kernel<16>::Run(families, count, words);
}

// The chunk's groups of eight: whole groups of sixteen through AVX-512 where
// the processor has it, the rest eight at a time.
void SelectiveChunk(const Families& families, int groups, std::uint32_t* words) {
    if (!hsl_model::UseAvx2()) {
        SelectiveChunkBaseline(families, groups, words);
        return;
    }
    const int wide = hsl_model::UseAvx512() ? groups / 16 * 16 : 0;
    if (wide > 0) SelectiveChunkAvx512(families, wide, words);
    if (wide < groups) SelectiveChunkAvx2(families, groups - wide, words + wide);
}

}  // namespace

int SelectiveColor(TiBitmapData& bitmap, ComplementScaleSet scaleSet) {
    if (bitmap.GetBpp() != TiRGBBpp && bitmap.GetBpp() != TiRGBABpp) return 0;
    const Families families = FoldAll(scaleSet);

    RunColorChunkPass(bitmap, [&families](std::uint32_t* words, int count) {
        // Whole groups of eight: the chunk's spare words are zeros.
        const int groups = (count + kLanes - 1) / kLanes * kLanes;
        SelectiveChunk(families, groups, words);
    });
    return 1;
}

}  // namespace vantrel
