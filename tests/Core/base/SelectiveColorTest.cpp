#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "Core/base/HSL.h"
#include "Core/base/SelectiveColor.h"
#include "Core/global/Numeric.h"
#include "support/ColorChecks.h"

namespace vantrel {
namespace {

using test::Bitmap;
using test::ColorAt;
using test::OnePixel;

using Rgb = std::vector<int>;

Rgb Selected(Rgb color, const ComplementScaleSet& set) {
    Bitmap pixel = OnePixel(color[0], color[1], color[2]);
    EXPECT_EQ(SelectiveColor(*pixel, set), 1);
    return ColorAt(*pixel);
}

ComplementScaleSet Only(ComplementScale ComplementScaleSet::*family, ComplementScale scale) {
    ComplementScaleSet set;
    set.*family = scale;
    return set;
}

TEST(SelectiveColor, NothingToDoLeavesThePictureAsItIs) {
    Bitmap picture = test::RgbCube(80, 70, TiRGBABpp);
    const auto before = test::Pixels(*picture);
    EXPECT_EQ(SelectiveColor(*picture, ComplementScaleSet{}), 1);
    EXPECT_EQ(test::Pixels(*picture), before);
    // Values that are not numbers count as 0.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    ComplementScaleSet unset;
    for (ComplementScale* scale : {&unset.reds, &unset.cyans, &unset.neutrals, &unset.blacks}) {
        *scale = {nan, nan, nan, nan};
    }
    EXPECT_EQ(SelectiveColor(*picture, unset), 1);
    EXPECT_EQ(test::Pixels(*picture), before);
}

TEST(SelectiveColor, AHueFamilyMovesItsColoursByTheirColourfulness) {
    const ComplementScaleSet cyanOnReds = Only(&ComplementScaleSet::reds, {1, 0, 0, 0});
    // Hue 0, weight 1, amount 255: red loses all of itself.
    EXPECT_EQ(Selected({255, 0, 0}, cyanOnReds), (Rgb{0, 0, 0}));
    // Amount 127: 255 - 255 / 255 * 127.
    EXPECT_EQ(Selected({255, 128, 128}, cyanOnReds), (Rgb{128, 128, 128}));
    // Taking cyan away moves red up by its share of the room to 255:
    // 200 + 55 / 255 * 100.
    EXPECT_EQ(Selected({200, 100, 100}, Only(&ComplementScaleSet::reds, {-1, 0, 0, 0})),
              (Rgb{221, 100, 100}));
    // Hues outside the two families around red are left alone.
    EXPECT_EQ(Selected({0, 200, 50}, cyanOnReds), (Rgb{0, 200, 50}));
}

TEST(SelectiveColor, AHueBetweenTwoCentresTakesHalfOfEach) {
    // Hue 30: weight 1/2 for reds and for yellows, amount 127 for either.
    EXPECT_EQ(Selected({255, 128, 0}, Only(&ComplementScaleSet::reds, {1, 0, 0, 0})),
              (Rgb{128, 128, 0}));
    EXPECT_EQ(Selected({255, 128, 0}, Only(&ComplementScaleSet::yellows, {1, 0, 0, 0})),
              (Rgb{128, 128, 0}));
    // Together the yellows measure the pixel the reds left: spread 128,
    // amount 64, 128 - 128 / 255 * 64.
    ComplementScaleSet both;
    both.reds = {1, 0, 0, 0};
    both.yellows = {1, 0, 0, 0};
    EXPECT_EQ(Selected({255, 128, 0}, both), (Rgb{95, 128, 0}));
    // Hue 330: magentas and, past the top of the wheel, the reds again
    // with weight 1/2: 254 - 254 / 255 * 127.
    EXPECT_EQ(Selected({254, 0, 127}, Only(&ComplementScaleSet::reds, {1, 0, 0, 0})),
              (Rgb{127, 0, 127}));
}

TEST(SelectiveColor, HueWeightsAreFloat) {
    const ComplementScaleSet cyan = Only(&ComplementScaleSet::reds, {0.55f, 0, 0, 0});
    // Hue 40: 3 * (1 - 40/60) is 0.99999994 in float, amount 0, no change
    // (in double the amount would be 1 and red would drop to 2).
    EXPECT_EQ(Selected({3, 2, 0}, cyan), (Rgb{3, 2, 0}));
    // Hue 50: 6 * (1 - 50/60) is 1.0000001 in float, amount 1.
    EXPECT_EQ(Selected({6, 5, 0}, cyan), (Rgb{5, 5, 0}));
}

TEST(SelectiveColor, BlacksAndWhitesTakeDarkAndLightPixelsOnly) {
    const ComplementScaleSet blacks = Only(&ComplementScaleSet::blacks, {1, 0, 0, 0});
    const ComplementScaleSet whites = Only(&ComplementScaleSet::whites, {1, 0, 0, 0});
    // Brightest 50: amount 155; red moves 30 down, to the window's floor.
    EXPECT_EQ(Selected({50, 40, 30}, blacks), (Rgb{20, 40, 30}));
    EXPECT_EQ(Selected({50, 40, 30}, whites), (Rgb{50, 40, 30}));
    // Darkest 160: amount 65; red moves 51 down.
    EXPECT_EQ(Selected({200, 180, 160}, whites), (Rgb{149, 180, 160}));
    EXPECT_EQ(Selected({200, 180, 160}, blacks), (Rgb{200, 180, 160}));
    // Neither a dark nor a light pixel.
    EXPECT_EQ(Selected({200, 20, 20}, blacks), (Rgb{200, 20, 20}));
    EXPECT_EQ(Selected({200, 20, 20}, whites), (Rgb{200, 20, 20}));
}

TEST(SelectiveColor, NeutralsWeighByAverageLessColourfulness) {
    const ComplementScaleSet neutrals = Only(&ComplementScaleSet::neutrals, {1, 0, 0, 0});
    // Mid gray: amount 255, red goes to the floor of its window.
    EXPECT_EQ(Selected({128, 128, 128}, neutrals), (Rgb{0, 128, 128}));
    // A vivid colour has no neutral part: 255 - spread 255 leaves 0.
    EXPECT_EQ(Selected({255, 0, 0}, neutrals), (Rgb{255, 0, 0}));
}

TEST(SelectiveColor, BlackIsFoldedIntoTheInks) {
    // Black -1 with cyan 0.5 gives cyan -1 (and magenta, yellow -1): every
    // channel rises to 255.
    EXPECT_EQ(Selected({255, 0, 0}, Only(&ComplementScaleSet::reds, {0.5f, 0, 0, -1})),
              (Rgb{255, 255, 255}));
    // Black 0.5 with cyan -1 keeps cyan at -1; magenta and yellow get 0.5:
    // 100 - 100 / 255 * 100 * 0.5.
    EXPECT_EQ(Selected({200, 100, 100}, Only(&ComplementScaleSet::reds, {-1, 0, 0, 0.5f})),
              (Rgb{221, 80, 80}));
    // Black alone darkens every channel.
    EXPECT_EQ(Selected({255, 0, 0}, Only(&ComplementScaleSet::reds, {0, 0, 0, 1})), (Rgb{0, 0, 0}));
}

// The operation one pixel at a time, step by step, with tables of weights,
// early returns and the rounding done in double.
class OnePixelModel {
public:
    explicit OnePixelModel(const ComplementScaleSet& set) {
        const ComplementScale* all[9] = {&set.reds,   &set.yellows,  &set.greens,
                                         &set.cyans,  &set.blues,    &set.magentas,
                                         &set.whites, &set.neutrals, &set.blacks};
        for (int f = 0; f < 9; ++f) {
            const float k = all[f]->black;
            const float raw[3] = {all[f]->cyan, all[f]->magenta, all[f]->yellow};
            active_[f] = k != 0;
            for (int c = 0; c < 3; ++c) {
                const float v = raw[c];
                float folded;
                if (v * k >= 0) {
                    folded = v + k;
                } else if (k > 0) {
                    folded = v + k * static_cast<float>(1 - std::abs(TiTrunc(v)));
                } else {
                    folded = v * static_cast<float>(1 - std::abs(TiTrunc(k))) + k;
                }
                ink_[f][c] = std::min(1.0f, std::max(-1.0f, folded));
                active_[f] = active_[f] || ink_[f][c] != 0;
            }
        }
        for (int t = 0; t < 7; ++t) {
            for (int h = 0; h < 360; ++h) {
                const float w = 1.0f - static_cast<float>(std::abs(h - 60 * t)) / 60.0f;
                hue_[t][h] = w > 0 ? w : 0;
            }
        }
        for (int i = 0; i < 256; ++i) {
            black_[i] = std::max(0.0f, static_cast<float>(128 - i) / 128.0f);
            neutral_[i] = std::max(0.0f, 1.0f - static_cast<float>(std::abs(i - 128)) / 128.0f);
            white_[i] = std::max(0.0f, 1.0f - static_cast<float>(std::abs(i - 255)) / 128.0f);
        }
    }

    Rgb operator()(Rgb p) const {
        const int hue = RGBToHSL(p[0], p[1], p[2]).hue;
        const int k = hue / 60;
        if (active_[k]) HueStep(p, k, hue_[k][hue]);
        const int j = k + 1;
        if (active_[j % 6]) HueStep(p, j % 6, hue_[j][hue]);
        const int mx = std::max({p[0], p[1], p[2]});
        const int mn = std::min({p[0], p[1], p[2]});
        if (active_[kBlacks] && mx < 128) {
            Tone(p, kBlacks, mn, mx, TiTrunc(black_[mx] * 255.0f));
        } else if (active_[kWhites] && mn >= 128) {
            Tone(p, kWhites, mn, mx, TiTrunc(white_[mn] * 255.0f));
        }
        if (active_[kNeutrals]) {
            const int a = (p[0] + p[1] + p[2]) / 3;
            const int spread = std::max({p[0], p[1], p[2]}) - std::min({p[0], p[1], p[2]});
            Tone(p, kNeutrals, mn, mx, TiTrunc(neutral_[a] * 255.0f - static_cast<float>(spread)));
        }
        return p;
    }

private:
    static constexpr int kWhites = 6, kNeutrals = 7, kBlacks = 8;

    void HueStep(Rgb& p, int f, float w) const {
        const int spread = std::max({p[0], p[1], p[2]}) - std::min({p[0], p[1], p[2]});
        const int amount = TiTrunc(static_cast<float>(spread) * w);
        if (amount < 1) return;
        for (int c = 0; c < 3; ++c) {
            if (ink_[f][c] == 0) continue;
            const float q = -ink_[f][c];
            const int room = q >= 0 ? 255 - p[c] : p[c];
            const float v = static_cast<float>(p[c]) +
                            static_cast<float>(room) / 255.0f * static_cast<float>(amount) * q;
            p[c] = TiClampByte(static_cast<double>(v));
        }
    }

    static int Near(float v) { return TiTrunc(static_cast<double>(v) + 0.5); }

    void Tone(Rgb& p, int f, int mn, int mx, int amount) const {
        if (amount < 1) return;
        const float a = static_cast<float>(amount);
        for (int c = 0; c < 3; ++c) {
            const float q = -ink_[f][c];
            const int x = p[c];
            const int lo = x - Near(static_cast<float>(x) / 255.0f * a);
            const int hi = x + Near(static_cast<float>(255 - x) / 255.0f * a);
            const int d = Near(static_cast<float>(q >= 0 ? 255 - mn : mx) / 255.0f * a);
            const int moved = x + TiTrunc(static_cast<float>(d) * q);
            p[c] = moved < lo ? lo : std::min(hi, moved);
        }
    }

    float ink_[9][3];
    bool active_[9];
    float hue_[7][360];
    float black_[256], neutral_[256], white_[256];
};

TEST(SelectiveColor, MatchesTheOnePixelModelOverTheCube) {
    std::vector<ComplementScaleSet> sets(4);
    sets[0].reds = {0.55f, 0, 0.31f, 0};
    sets[0].yellows = {-0.01f, -0.07f, -0.76f, -0.33f};
    sets[0].blacks = {0, 0.19f, 0.53f, 0.02f};
    // Every family, values on a coarse grid of -1..1 and a few odd ones.
    std::uint32_t seed = 12345;
    const auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        const int step = static_cast<int>(seed >> 16) % 11;
        return step == 10 ? 0.37f : -1.0f + 0.2f * static_cast<float>(step);
    };
    for (int s = 1; s < 4; ++s) {
        ComplementScale* all[9] = {&sets[s].reds,   &sets[s].yellows,  &sets[s].greens,
                                   &sets[s].cyans,  &sets[s].blues,    &sets[s].magentas,
                                   &sets[s].whites, &sets[s].neutrals, &sets[s].blacks};
        for (ComplementScale* scale : all) *scale = {next(), next(), next(), s == 3 ? 0 : next()};
    }
    test::ForEachKernelCompilation([&sets] {
        for (size_t s = 0; s < sets.size(); ++s) {
            const OnePixelModel model(sets[s]);
            Bitmap picture = test::RgbCube(80, 62, TiRGBABpp);
            const Bitmap before = picture->Clone(false);
            ASSERT_EQ(SelectiveColor(*picture, sets[s]), 1);
            for (int y = 0; y < picture->GetHeight(); ++y) {
                for (int x = 0; x < picture->GetWidth(); ++x) {
                    ASSERT_EQ(ColorAt(*picture, x, y), model(ColorAt(*before, x, y)))
                        << "set " << s << ", colour "
                        << ::testing::PrintToString(ColorAt(*before, x, y));
                }
            }
        }
    });
}

TEST(SelectiveColor, HonoursFormatsViewsAndAlpha) {
    ComplementScaleSet set;
    set.reds = {0.55f, 0, 0.31f, 0};
    set.yellows = {-0.01f, -0.07f, -0.76f, -0.33f};
    set.greens = {0.2f, -0.4f, 0.1f, 0};
    set.whites = {0.3f, 0.1f, -0.2f, 0.05f};
    set.neutrals = {-0.25f, 0.15f, 0.4f, 0};
    set.blacks = {0, 0.19f, 0.53f, 0.02f};
    test::ExpectFormatsAndViewsAgree(
        [] { return test::Noise(280, 7, TiRGBABpp, 9); },
        [&set](TiBitmapData& bitmap) { return SelectiveColor(bitmap, set); });
}

TEST(SelectiveColor, RefusesWithoutWorkMemoryOrForOtherFormats) {
    ComplementScaleSet set;
    set.blues = {0.4f, 0.2f, 0, 0.1f};
    set.neutrals = {0, 0, 0.3f, 0};
    const int refused = test::ExpectRefusalsLeaveBitmapUnchanged(
        [] { return test::RgbCube(40, 30, TiRGBABpp); },
        [&set](TiBitmapData& bitmap) { return SelectiveColor(bitmap, set); });
    EXPECT_EQ(refused, 2);  // the hue weights and the tone weights
    Bitmap gray = test::Constant(3, 3, 1, {77});
    EXPECT_EQ(SelectiveColor(*gray, set), 0);
    EXPECT_EQ(test::Pixels(*gray), std::vector<std::uint8_t>(9, 77));
}

}  // namespace
}  // namespace vantrel
