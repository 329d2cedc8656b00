#include "Core/base/SelectiveColor.h"

#include <algorithm>
#include <cmath>

#include "Core/base/ColorPass.h"
#include "Core/base/HSLModel.h"
#include "Core/global/Numeric.h"
#include "Core/global/TiMemory.h"

namespace vantrel {
namespace {

constexpr int kHueFamilies = 6;
// Hue weight tables: one per family centre 0, 60, .., 300, and a seventh
// centred at 360 that serves the reds for hues 300..359.
constexpr int kHueTables = 7;
constexpr int kHues = 360;
constexpr int kLevels = 256;

// The three inks of one family after black is folded in.
struct Inks {
    float ink[3];  // cyan (acts on red), magenta (green), yellow (blue)
    bool active;
};

struct ToneWeights {
    const float* blacks;
    const float* neutrals;
    const float* whites;
};

float NumberOrZero(float value) { return std::isnan(value) ? 0.0f : value; }

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
    return std::clamp(folded, -1.0f, 1.0f);
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

void FillHueWeights(float* block, const float* (&tables)[kHueTables]) {
    for (int k = 0; k < kHueTables; ++k) {
        float* table = block + k * kHues;
        for (int hue = 0; hue < kHues; ++hue) {
            const float weight = 1.0f - static_cast<float>(std::abs(hue - 60 * k)) / 60.0f;
            table[hue] = weight > 0.0f ? weight : 0.0f;
        }
        tables[k] = table;
    }
}

ToneWeights FillToneWeights(float* block) {
    float* blacks = block;
    float* neutrals = block + kLevels;
    float* whites = block + 2 * kLevels;
    for (int i = 0; i < kLevels; ++i) {
        blacks[i] = std::max(0.0f, static_cast<float>(128 - i) / 128.0f);
        neutrals[i] = std::max(0.0f, 1.0f - static_cast<float>(std::abs(i - 128)) / 128.0f);
        whites[i] = std::max(0.0f, 1.0f - static_cast<float>(std::abs(i - 255)) / 128.0f);
    }
    return {blacks, neutrals, whites};
}

int Max3(const int* p) { return std::max(p[0], std::max(p[1], p[2])); }
int Min3(const int* p) { return std::min(p[0], std::min(p[1], p[2])); }

// Moves each channel toward 0 (ink added) or 255 (ink taken away) by a share
// of the pixel's colourfulness.
void HueFamilyStep(int* pixel, const Inks& inks, float weight) {
    const int amount = TiTrunc(static_cast<float>(Max3(pixel) - Min3(pixel)) * weight);
    if (amount < 1) return;
    for (int c = 0; c < 3; ++c) {
        if (inks.ink[c] == 0.0f) continue;
        const float q = -inks.ink[c];
        const int x = pixel[c];
        const int room = q >= 0.0f ? 255 - x : x;
        const float moved = static_cast<float>(room) / 255.0f * static_cast<float>(amount) * q;
        pixel[c] = TiClampByte(static_cast<double>(static_cast<float>(x) + moved));
    }
}

// A float rounded to the nearest integer, in double.
int Near(float value) { return TiTrunc(static_cast<double>(value) + 0.5); }

// Moves each channel by the ink, measured against the pixel's darkest (ink
// taken away) or brightest (ink added) channel, within a window around the
// channel that `amount` opens.
void ApplyToneScale(int* pixel, const Inks& inks, int mn, int mx, int amount) {
    if (amount < 1) return;
    const float scale = static_cast<float>(amount);
    for (int c = 0; c < 3; ++c) {
        const float q = -inks.ink[c];
        const int x = pixel[c];
        const int lo = x - Near(static_cast<float>(x) / 255.0f * scale);
        const int hi = x + Near(static_cast<float>(255 - x) / 255.0f * scale);
        const int reach = Near(static_cast<float>(q >= 0.0f ? 255 - mn : mx) / 255.0f * scale);
        const int moved = x + TiTrunc(static_cast<float>(reach) * q);
        pixel[c] = TiClampByte(moved < lo ? lo : std::min(hi, moved));
    }
}

struct Families {
    Inks hue[kHueFamilies];
    Inks whites;
    Inks neutrals;
    Inks blacks;
};

void ApplyToPixel(int* pixel, int hue, const Families& families, const float* const* hueWeights,
                  const ToneWeights& tone) {
    const int below = hue / 60;
    if (families.hue[below].active) HueFamilyStep(pixel, families.hue[below], hueWeights[below][hue]);
    const int above = below + 1;
    const Inks& aboveInks = families.hue[above == kHueFamilies ? 0 : above];
    if (aboveInks.active) HueFamilyStep(pixel, aboveInks, hueWeights[above][hue]);

    const int mx = Max3(pixel);
    const int mn = Min3(pixel);
    if (families.blacks.active && mx < 128) {
        ApplyToneScale(pixel, families.blacks, mn, mx, TiTrunc(tone.blacks[mx] * 255.0f));
    } else if (families.whites.active && mn >= 128) {
        ApplyToneScale(pixel, families.whites, mn, mx, TiTrunc(tone.whites[mn] * 255.0f));
    }
    if (families.neutrals.active) {
        const int average = (pixel[0] + pixel[1] + pixel[2]) / 3;
        const float spread = static_cast<float>(Max3(pixel) - Min3(pixel));
        const int amount = TiTrunc(tone.neutrals[average] * 255.0f - spread);
        // The neutrals measure against the extremes found before the
        // whites or blacks moved the pixel.
        ApplyToneScale(pixel, families.neutrals, mn, mx, amount);
    }
}

}  // namespace

int SelectiveColor(TiBitmapData& bitmap, ComplementScaleSet scaleSet) {
    if (bitmap.GetBpp() != TiRGBBpp && bitmap.GetBpp() != TiRGBABpp) return 0;
    auto* hueBlock = static_cast<float*>(TiMalloc(sizeof(float) * kHueTables * kHues));
    auto* toneBlock = static_cast<float*>(TiMalloc(sizeof(float) * 3 * kLevels));
    if (!hueBlock || !toneBlock) {
        TiFree(hueBlock);
        TiFree(toneBlock);
        return 0;
    }
    const Families families = {
        {Fold(scaleSet.reds), Fold(scaleSet.yellows), Fold(scaleSet.greens), Fold(scaleSet.cyans),
         Fold(scaleSet.blues), Fold(scaleSet.magentas)},
        Fold(scaleSet.whites),
        Fold(scaleSet.neutrals),
        Fold(scaleSet.blacks)};
    const float* hueWeights[kHueTables];
    FillHueWeights(hueBlock, hueWeights);
    const ToneWeights tone = FillToneWeights(toneBlock);
    RunColorChunkPass(bitmap, [&](std::uint32_t* words, int count) {
        hsl_model::HSLChunk hsl;
        hsl_model::WordsToHSL(words, count, hsl);
        for (int i = 0; i < count; ++i) {
            int pixel[3] = {static_cast<int>(words[i] & 0xff), static_cast<int>(words[i] >> 8 & 0xff),
                            static_cast<int>(words[i] >> 16 & 0xff)};
            ApplyToPixel(pixel, hsl.hue[i], families, hueWeights, tone);
            words[i] = static_cast<std::uint32_t>(pixel[0] | pixel[1] << 8 | pixel[2] << 16);
        }
    });
    TiFree(hueBlock);
    TiFree(toneBlock);
    return 1;
}

}  // namespace vantrel
