#include "Core/base/SelectiveColor.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
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
// that does not apply to a lane leaves its channels as they are. From the
// load to the store the channels are floats holding whole numbers, so that
// truncating a step's result is one rounding rather than a trip through
// integers and back. Vectors are passed by reference only, so that no
// function has a vector argument or result outside the compilations that
// have the registers for them.

enum class Isa { kBaseline, kAvx2, kAvx512 };

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
constexpr bool ScaledSharesExact() {
    for (int a = 0; a <= 255; ++a) {
        for (int s = 0; s <= 255; ++s) {
            const float v = static_cast<float>(a) / 255.0f * static_cast<float>(s);
            const int whole = static_cast<int>(v);
            const int nearest = whole + (v - static_cast<float>(whole) >= 0.5f ? 1 : 0);
            if (nearest != (a * s + 127) / 255) return false;
            // The shares of a and of 255 - a add up to s.
            if (nearest + (static_cast<int>(255 - a) * s + 127) / 255 != s) return false;
        }
    }
    return true;
}
static_assert(ScaledSharesExact());

// Whole quotients by 3, 60 and 255 as products: n * (1 / d) in float,
// truncated, is n / d for every whole n the pass divides (sums of three
// channels, hues, a * s + 127 above), because each of these floats lies a
// little above 1 / d, as this proves.
constexpr bool TruncatedProductsDivide(float reciprocal, int divisor, int largest) {
    for (int n = 0; n <= largest; ++n) {
        if (static_cast<int>(static_cast<float>(n) * reciprocal) != n / divisor) return false;
    }
    return true;
}
constexpr float kThird = 1.0f / 3.0f;
constexpr float kSixtieth = 1.0f / 60.0f;
constexpr float kShareOf255 = 1.0f / 255.0f;
static_assert(TruncatedProductsDivide(kThird, 3, 765) &&
              TruncatedProductsDivide(kSixtieth, 60, 359) &&
              TruncatedProductsDivide(kShareOf255, 255, 255 * 255 + 127));

// A hue step moves a channel by at most its room toward 0 or 255: for every
// channel x, with the largest amount and the strongest pull either way, the
// moved value stays above -1 and below 256. A smaller amount or a weaker
// pull moves it less (each rounding is monotone), so truncating the moved
// value needs no clamp to 0..255.
constexpr bool HueMovesStayInRange() {
    for (int x = 0; x <= 255; ++x) {
        for (float q : {1.0f, -1.0f}) {
            const int room = q >= 0 ? 255 - x : x;
            const float moved =
                static_cast<float>(x) + static_cast<float>(room) / 255.0f * 255.0f * q;
            if (!(moved > -1.0f && moved < 256.0f)) return false;
        }
    }
    return true;
}
static_assert(HueMovesStayInRange());

// With AVX-512 (and GCC, whose builtins spell the instructions), a quotient
// x / d of a whole x in 0..255 is x * (1 / d) put right by one fused
// multiply-add: the correctly rounded quotient for every such x and each
// divisor the pass uses, as the checks below prove at compile time. Other
// compilations divide.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define TI_X86_BUILTINS 1
// Declares the builtins; the vectors of 64 bytes only ever live inside the
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
#define TI_X86_BUILTINS 0
#endif

template <Isa kIsa>
struct Kernel {
    static constexpr int Lanes = kIsa == Isa::kAvx512 ? 16 : 8;
    using VInt = typename Vectors<Lanes>::Int;
    using VFloat = typename Vectors<Lanes>::Float;

#define TI_TO_FLOAT(v) __builtin_convertvector(v, VFloat)
#define TI_TRUNCATE(v) __builtin_convertvector(v, VInt)

    // v truncated toward zero, still a float; |v| < 2^31.
    [[gnu::always_inline]] static inline void Whole(const VFloat& v, VFloat& out) {
#if TI_X86_BUILTINS
        // Rounding mode 3 (toward zero), with the inexact exception kept quiet.
        constexpr int kTowardZero = 0x0b;
        if constexpr (kIsa == Isa::kAvx512) {
            out = __builtin_ia32_rndscaleps_mask(v, kTowardZero, v, -1, _MM_FROUND_CUR_DIRECTION);
            return;
        } else if constexpr (kIsa == Isa::kAvx2) {
            out = __builtin_ia32_roundps256(v, kTowardZero);
            return;
        }
#endif
        out = TI_TO_FLOAT(TI_TRUNCATE(v));
    }

    // a * b + c for whole a, b and c whose product and sum stay below 2^24,
    // so that a fused multiply-add rounds nothing either.
    [[gnu::always_inline]] static inline void ExactMulAdd(const VFloat& a, const VFloat& b,
                                                          const VFloat& c, VFloat& out) {
#if TI_X86_BUILTINS
        if constexpr (kIsa == Isa::kAvx512) {
            out = __builtin_ia32_vfmaddps512_mask(a, b, c, -1, _MM_FROUND_CUR_DIRECTION);
            return;
        }
#endif
        out = a * b + c;
    }

    // x / d, x holding whole numbers 0..255.
    [[gnu::always_inline]] static inline void Quotient(const VFloat& x, float d, VFloat& out) {
#if TI_X86_BUILTINS
        if constexpr (kIsa == Isa::kAvx512) {
            const VFloat divisor = VFloat{} + d;
            const VFloat r = VFloat{} + 1.0f / d;
            const VFloat q = x * r;
            const VFloat error =
                __builtin_ia32_vfmaddps512_mask(-q, divisor, x, -1, _MM_FROUND_CUR_DIRECTION);
            out = __builtin_ia32_vfmaddps512_mask(error, r, q, -1, _MM_FROUND_CUR_DIRECTION);
            return;
        }
#endif
        out = x / d;
    }

    // Whether any lane of a mask is set.
    [[gnu::always_inline]] static inline bool AnyLane(const VInt& mask) {
#if TI_X86_BUILTINS
        // One test into a mask register, where the compiler would move the
        // lanes out a quarter at a time.
        if constexpr (kIsa == Isa::kAvx512) {
            return __builtin_ia32_ptestmd512(mask, mask, 0xffff) != 0;
        }
#endif
        std::uint64_t parts[Lanes / 2];
        std::memcpy(parts, &mask, sizeof parts);
        std::uint64_t any = 0;
        for (std::uint64_t part : parts) any |= part;
        return any != 0;
    }

    [[gnu::always_inline]] static inline void Extremes(const VFloat (&rgb)[3], VFloat& mx,
                                                       VFloat& mn) {
        mx = rgb[0] > rgb[1] ? rgb[0] : rgb[1];
        mx = mx > rgb[2] ? mx : rgb[2];
        mn = rgb[0] < rgb[1] ? rgb[0] : rgb[1];
        mn = mn < rgb[2] ? mn : rgb[2];
    }

    // Inks and whether they act, by lane: lane k holds the family a pixel
    // takes when its hue lies in k's sixty degrees.
    struct InkTable {
        VFloat pull[3];
        VInt active;
    };

    // The family at or below each hue, and the one above it (the reds again
    // above the magentas); the other lanes zero.
    struct HueTables {
        InkTable below;
        InkTable above;
    };

    [[gnu::always_inline]] static inline void MakeHueTables(const Families& families,
                                                            HueTables& tables) {
        for (InkTable* table : {&tables.below, &tables.above}) {
            for (int c = 0; c < 3; ++c) table->pull[c] = VFloat{};
            table->active = VInt{};
        }
        for (int sector = 0; sector < kHueFamilies; ++sector) {
            const Inks& below = families.hue[sector];
            const Inks& above = families.hue[(sector + 1) % kHueFamilies];
            for (int c = 0; c < 3; ++c) {
                if (below.active) tables.below.pull[c][sector] = below.pull[c];
                if (above.active) tables.above.pull[c][sector] = above.pull[c];
            }
            tables.below.active[sector] = below.active ? -1 : 0;
            tables.above.active[sector] = above.active ? -1 : 0;
        }
    }

    // Per lane, the inks of entry sector[lane] (0..5); families that do
    // nothing add nothing, so lanes of inactive families keep zero inks.
    // Returns whether any lane has an active family.
    [[gnu::always_inline]] static inline bool InksOf(const InkTable& table, const VInt& sector,
                                                     VFloat (&pull)[3]) {
#if defined(__GNUC__) && !defined(__clang__)
        // One permute a channel: sector[lane] picks the table's lane.
        for (int c = 0; c < 3; ++c) pull[c] = __builtin_shuffle(table.pull[c], sector);
        return AnyLane(__builtin_shuffle(table.active, sector));
#else
        VInt any = {};
        for (int c = 0; c < 3; ++c) pull[c] = VFloat{};
        for (int entry = 0; entry < kHueFamilies; ++entry) {
            const VInt mine = sector == entry;
            any |= mine & table.active[entry];
            for (int c = 0; c < 3; ++c) pull[c] = mine ? VFloat{} + table.pull[c][entry] : pull[c];
        }
        return AnyLane(any);
#endif
    }

    // Moves each channel toward 0 (ink added) or 255 (ink taken away) by a
    // share of the pixel's colourfulness. With no ink, or an amount of 0, the
    // float steps give the channel back unchanged, so no lane needs masking;
    // the moved value needs no clamp (HueMovesStayInRange).
    [[gnu::always_inline]] static inline void HueFamilyStep(VFloat (&rgb)[3],
                                                            const VFloat (&pull)[3],
                                                            const VFloat& weight) {
        VFloat mx, mn, amount;
        Extremes(rgb, mx, mn);
        Whole((mx - mn) * weight, amount);
        for (int c = 0; c < 3; ++c) {
            const VFloat q = pull[c];
            const VFloat room = q >= 0.0f ? 255.0f - rgb[c] : rgb[c];
            VFloat share;
            Quotient(room, 255.0f, share);
            Whole(rgb[c] + share * amount * q, rgb[c]);
        }
    }

    // The pixel's hue in whole degrees, in the same float steps as the HSL
    // model's conversion. A gray's channels all tie, so it takes the red
    // sector with no difference: 0. The quotient lies within -60..60, so
    // only the red sector wraps, and only from below.
    [[gnu::always_inline]] static inline void HueOf(const VFloat (&rgb)[3], VFloat& hue) {
        VFloat mx, mn;
        Extremes(rgb, mx, mn);
        const VFloat spread = mx - mn;
        // Red, then green, then blue is the brightest where channels tie:
        // the red sector's selects come last and win. One select at a time:
        // GCC takes a nested select of lanes apart.
        const VInt redTop = rgb[0] == mx;
        const VInt greenTop = rgb[1] == mx;
        VFloat difference = rgb[0] - rgb[1];
        difference = greenTop ? rgb[2] - rgb[0] : difference;
        difference = redTop ? rgb[1] - rgb[2] : difference;
        // 0 + q is q, so the red sector takes the same steps as the others.
        VFloat base = VFloat{} + 240.0f;
        base = greenTop ? VFloat{} + 120.0f : base;
        base = redTop ? VFloat{} : base;
        const VFloat safeSpread = spread > 1.0f ? spread : VFloat{} + 1.0f;
        VFloat degrees = base + 60.0f * difference / safeSpread;
        degrees = degrees < 0.0f ? degrees + 360.0f : degrees;
        Whole(degrees, hue);
    }

    // The two hue families whose centres surround the hue, each weighted
    // 1 at its centre falling to 0 sixty degrees away.
    [[gnu::always_inline]] static inline void HueSteps(VFloat (&rgb)[3], const VFloat& hue,
                                                       const HueTables& tables) {
        VFloat sector, share, weight;
        Whole(hue * kSixtieth, sector);
        const VInt entry = TI_TRUNCATE(sector);
        // Degrees past the centre below, 0..59.
        const VFloat past = hue - sector * 60.0f;
        VFloat pull[3];
        // Groups of pixels that no active family touches skip the step.
        if (InksOf(tables.below, entry, pull)) {
            Quotient(past, 60.0f, share);
            weight = 1.0f - share;
            HueFamilyStep(rgb, pull, weight);
        }
        if (InksOf(tables.above, entry, pull)) {
            Quotient(60.0f - past, 60.0f, share);
            weight = 1.0f - share;
            HueFamilyStep(rgb, pull, weight);
        }
    }

    // Near(a / 255 * s) for whole a and s in 0..255: see ScaledSharesExact
    // and TruncatedProductsDivide.
    [[gnu::always_inline]] static inline void ScaledShare(const VFloat& a, const VFloat& s,
                                                          VFloat& out) {
        VFloat v;
        ExactMulAdd(a, s, VFloat{} + 127.0f, v);
        Whole(v * kShareOf255, out);
    }

    // The room above the darkest and below the brightest channel, in shares
    // of `amount`: how far a tone step reaches when it takes ink away or
    // adds it.
    struct Reaches {
        VFloat up, down;
    };

    [[gnu::always_inline]] static inline void ReachesOf(const VFloat& mn, const VFloat& mx,
                                                        const VFloat& amount, Reaches& reaches) {
        ScaledShare(255.0f - mn, amount, reaches.up);
        ScaledShare(mx, amount, reaches.down);
    }

    // Moves each channel by its ink times its reach, within a window around
    // the channel that `amount` (0 or more; 0 keeps the pixel) opens.
    [[gnu::always_inline]] static inline void ApplyToneScale(VFloat (&rgb)[3],
                                                             const VFloat (&pull)[3],
                                                             const VFloat (&reach)[3],
                                                             const VFloat& amount) {
        for (int c = 0; c < 3; ++c) {
            const VFloat x = rgb[c];
            VFloat down, push;
            ScaledShare(x, amount, down);
            const VFloat lo = x - down;
            // x plus the share of 255 - x, which is amount less the share of x.
            const VFloat hi = lo + amount;
            Whole(reach[c] * pull[c], push);
            const VFloat moved = x + push;
            const VFloat held = moved > lo ? moved : lo;
            rgb[c] = held < hi ? held : hi;
        }
    }

    // The blacks act on pixels whose brightest channel is below 128, the
    // whites on those whose darkest is 128 or more (never both). Their
    // weights fall by 1/128 a level from 1 at 0 and at 255, so 255 times
    // the weight is levels * 255 / 128, exact in float.
    [[gnu::always_inline]] static inline void BlacksOrWhites(VFloat (&rgb)[3], const Inks& blacks,
                                                             const Inks& whites, const VFloat& mn,
                                                             const VFloat& mx) {
        const VInt dark = blacks.active ? VInt(mx < 128.0f) : VInt{};
        const VInt light = whites.active ? VInt(mn >= 128.0f) : VInt{};
        if (!AnyLane(dark | light)) return;
        VFloat levels = light ? mn - 127.0f : VFloat{};
        levels = dark ? 128.0f - mx : levels;
        VFloat amount;
        Whole(levels * (255.0f / 128.0f), amount);
        Reaches reaches;
        ReachesOf(mn, mx, amount, reaches);
        VFloat pull[3], reach[3];
        for (int c = 0; c < 3; ++c) {
            pull[c] = dark ? VFloat{} + blacks.pull[c] : VFloat{} + whites.pull[c];
            reach[c] = pull[c] >= 0.0f ? reaches.up : reaches.down;
        }
        ApplyToneScale(rgb, pull, reach, amount);
    }

    // The neutrals' weight peaks at an average level of 128 and falls by
    // 1/128 a level either side: min(a, 256 - a) / 128. Their amount is 255
    // times it less the pixel's spread, exact in float as above. They
    // measure against the extremes found before the whites or the blacks
    // moved the pixel.
    [[gnu::always_inline]] static inline void Neutrals(VFloat (&rgb)[3], const Inks& neutrals,
                                                       const VFloat& mn, const VFloat& mx) {
        VFloat mxNow, mnNow, average, amount;
        Extremes(rgb, mxNow, mnNow);
        Whole((rgb[0] + rgb[1] + rgb[2]) * kThird, average);
        const VFloat mirrored = 256.0f - average;
        const VFloat closeness = average < mirrored ? average : mirrored;
        Whole(closeness * (255.0f / 128.0f) - (mxNow - mnNow), amount);
        amount = amount > 0.0f ? amount : VFloat{};
        Reaches reaches;
        ReachesOf(mn, mx, amount, reaches);
        VFloat pull[3], reach[3];
        for (int c = 0; c < 3; ++c) {
            pull[c] = VFloat{} + neutrals.pull[c];
            reach[c] = neutrals.pull[c] >= 0.0f ? reaches.up : reaches.down;
        }
        ApplyToneScale(rgb, pull, reach, amount);
    }

    [[gnu::always_inline]] static inline void ToneSteps(VFloat (&rgb)[3],
                                                        const Families& families) {
        VFloat mx, mn;
        Extremes(rgb, mx, mn);
        if (families.blacks.active || families.whites.active) {
            BlacksOrWhites(rgb, families.blacks, families.whites, mn, mx);
        }
        if (families.neutrals.active) Neutrals(rgb, families.neutrals, mn, mx);
    }

    // `Ways` groups of pixels, each step taken for every group before the
    // next step: one group's steps wait on one another, and the groups'
    // independent chains keep the processor busy meanwhile.
    template <int Ways>
    [[gnu::always_inline]] static inline void RunGroups(const Families& families,
                                                        const HueTables& tables,
                                                        unsigned char* words) {
        VFloat rgb[Ways][3], hue[Ways];
        for (int w = 0; w < Ways; ++w) {
            VInt word;
            std::memcpy(&word, words + w * sizeof word, sizeof word);
            rgb[w][0] = TI_TO_FLOAT(word & 0xff);
            rgb[w][1] = TI_TO_FLOAT((word >> 8) & 0xff);
            rgb[w][2] = TI_TO_FLOAT((word >> 16) & 0xff);
        }
        for (int w = 0; w < Ways; ++w) HueOf(rgb[w], hue[w]);
        for (int w = 0; w < Ways; ++w) HueSteps(rgb[w], hue[w], tables);
        for (int w = 0; w < Ways; ++w) ToneSteps(rgb[w], families);
        for (int w = 0; w < Ways; ++w) {
            // The top byte (alpha, or the chunk's zero) stays as it was.
            VInt word;
            std::memcpy(&word, words + w * sizeof word, sizeof word);
            word = (word & ~0xffffff) | TI_TRUNCATE(rgb[w][0]) | TI_TRUNCATE(rgb[w][1]) << 8 |
                   TI_TRUNCATE(rgb[w][2]) << 16;
            std::memcpy(words + w * sizeof word, &word, sizeof word);
        }
    }

    // Four groups at a time in the sixteen-lane kernel, whose 32 registers
    // hold them; the eight-lane kernels have 16 and take one.
    static constexpr int kWays = Lanes == 16 ? 4 : 1;

    // `count` words, a multiple of Lanes.
    [[gnu::always_inline]] static inline void Run(const Families& families, int count,
                                                  unsigned char* words) {
        HueTables tables;
        MakeHueTables(families, tables);
        int i = 0;
        for (; i + kWays * Lanes <= count; i += kWays * Lanes) {
            RunGroups<kWays>(families, tables, words + std::ptrdiff_t{i} * 4);
        }
        for (; i < count; i += Lanes) RunGroups<1>(families, tables, words + std::ptrdiff_t{i} * 4);
    }

#undef TI_TO_FLOAT
#undef TI_TRUNCATE
};

void SelectiveWordsBaseline(const Families& families, int count, unsigned char* words) {
    Kernel<Isa::kBaseline>::Run(families, count, words);
}

TI_TARGET_AVX2 void SelectiveWordsAvx2(const Families& families, int count, unsigned char* words) {
    Kernel<Isa::kAvx2>::Run(families, count, words);
}

TI_TARGET_AVX512 void SelectiveWordsAvx512(const Families& families, int count,
                                           unsigned char* words) {
    Kernel<Isa::kAvx512>::Run(families, count, words);
}

// `count` words, a multiple of eight (a chunk's, or a row's in place): the
// whole groups of sixteen through AVX-512 where the processor has it, the
// rest eight at a time.
void SelectiveWords(const Families& families, int count, unsigned char* words) {
    if (!hsl_model::UseAvx2()) {
        SelectiveWordsBaseline(families, count, words);
        return;
    }
    const int wide = hsl_model::UseAvx512() ? count / 16 * 16 : 0;
    if (wide > 0) SelectiveWordsAvx512(families, wide, words);
    if (wide < count) SelectiveWordsAvx2(families, count - wide, words + std::ptrdiff_t{wide} * 4);
}

}  // namespace

int SelectiveColor(TiBitmapData& bitmap, ComplementScaleSet scaleSet) {
    if (bitmap.GetBpp() != TiRGBBpp && bitmap.GetBpp() != TiRGBABpp) return 0;
    const Families families = FoldAll(scaleSet);

    RunColorWordPass(bitmap, [&families](unsigned char* words, int count) {
        // Whole groups of eight: a chunk's spare words are zeros, and a
        // count in place is a multiple of sixteen.
        const int groups = (count + kLanes - 1) / kLanes * kLanes;
        SelectiveWords(families, groups, words);
    });
    return 1;
}

}  // namespace vantrel
