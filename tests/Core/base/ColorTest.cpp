// Exact values of the colour model, the HSL adjustments, colour balance,
// selective colour and the histogram; what the passes owe their caller is
// swept in tests/Core/ContractTest.cpp.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <numeric>
#include <tuple>

#include "Core/base/ColorBalance.h"
#include "Core/base/HSL.h"
#include "Core/base/HSLModel.h"
#include "Core/base/Histogram.h"
#include "Core/base/SelectiveColor.h"
#include "Core/global/Numeric.h"
#include "support/ColorChecks.h"

namespace vantrel {
namespace {

using hsl_model::HSLChunk;
using hsl_model::kChunk;
using test::Bitmap;
using test::ColorAt;
using test::OnePixel;
using Rgb = std::vector<int>;
using Ints = std::vector<int>;

Rgb Of(const TiRGBColor& color) {
    return {color.red, color.green, color.blue};
}

// Runs `pass` on `picture`, then checks each pixel's colour against `rule`
// applied to its colour before.
void ExpectEveryPixel(Bitmap picture, const test::Operation& pass,
                      const std::function<Rgb(const Rgb&)>& rule) {
    const Bitmap before = picture->Clone(false);
    ASSERT_EQ(pass(*picture), 1);
    for (int y = 0; y < picture->GetHeight(); ++y)
        for (int x = 0; x < picture->GetWidth(); ++x)
            ASSERT_EQ(ColorAt(*picture, x, y), rule(ColorAt(*before, x, y))) << x << "," << y;
}

// ---- The colour model -------------------------------------------------------
// The chunk conversions of each compilation against the one-pixel ones:
// every colour of the cube (with a top byte that must be ignored), and every
// hue of the wheel (360 included), saturation and lightness.
TEST(HSLModel, ChunkConversionsMatchTheOnePixelOnesEverywhere) {
    test::ForEachKernelCompilation([] {
        std::uint32_t words[kChunk];
        HSLChunk hsl;
        for (std::uint32_t first = 0; first < (1u << 24); first += kChunk) {
            for (int i = 0; i < kChunk; ++i) words[i] = (first + i) | (i * 37u) << 24;
            hsl_model::WordsToHSL(words, kChunk, hsl);
            for (std::uint32_t i = 0, c = first; i < kChunk; ++i, ++c) {
                const TiHSLColor got{hsl.hue[i], hsl.saturation[i], hsl.lightness[i]};
                if (got == RGBToHSL(c & 0xff, c >> 8 & 0xff, c >> 16)) continue;
                return ADD_FAILURE() << "colour " << std::hex << c;
            }
        }
        for (int hue = 0; hue <= 360; ++hue) {
            for (int saturation = 0; saturation < 256; ++saturation) {
                for (int i = 0; i < kChunk; ++i)
                    hsl.hue[i] = hue, hsl.saturation[i] = saturation, hsl.lightness[i] = i;
                hsl_model::HSLToWords(hsl, kChunk, words);
                for (int l = 0; l < 256; ++l) {
                    const TiRGBColor got{static_cast<int>(words[l] & 0xff),
                                         static_cast<int>(words[l] >> 8 & 0xff),
                                         static_cast<int>(words[l] >> 16)};
                    if (!(got == HSLToRGB(hue, saturation, l))) {
                        return ADD_FAILURE() << "HSL " << hue << "," << saturation << "," << l;
                    }
                }
            }
        }
    });
}

// ---- HSL adjustments --------------------------------------------------------
using Shift = std::tuple<int, int, int>;

Shift Fields(const TinyHSL& shift) {
    return {shift.m_hue, shift.m_saturation, shift.m_lightness};
}

// The colour of a one-pixel picture after `operation`.
Rgb After(const Rgb& color, const test::Operation& operation) {
    Bitmap pixel = OnePixel(color[0], color[1], color[2]);
    EXPECT_EQ(operation(*pixel), 1);
    return ColorAt(*pixel);
}

Rgb Tinted(const Rgb& color, int hue, int saturation, int lightness) {
    return After(color, ON(TintHSL(b, hue, saturation, lightness)));
}

TEST(HSLConversion, ExactValuesBothWays) {
    // Just below red the hue wraps to the top (-0.24 + 360); the lighter half
    // divides by 512 - max - min (100 * 256 / 112); channels are held to bytes.
    const std::pair<Rgb, TiHSLColor> toHsl[] = {
        {{255, 0, 0}, {0, 255, 127}},     {{0, 0, 255}, {240, 255, 127}},
        {{0, 255, 0}, {120, 255, 127}},   {{100, 100, 100}, {0, 0, 100}},
        {{255, 255, 255}, {0, 0, 255}},   {{255, 0, 1}, {359, 255, 127}},
        {{250, 150, 150}, {0, 228, 200}}, {{300, -5, 0}, {0, 255, 127}}};
    for (const auto& [rgb, hsl] : toHsl) EXPECT_EQ(RGBToHSL(rgb[0], rgb[1], rgb[2]), hsl);
    // m2 = 127 * 511 / 256 = 253.496, truncated channel by channel; m2 =
    // 254.6875 lies above 254 and becomes 255 (m1 = 245.3); the ramp is
    // (m2 - m1) * h, then / 60: 180 * 39 / 60 = 117 exactly, where 180 *
    // (39 / 60) in float gives 116.99999; at hue 840 every channel's hue is
    // turned by one turn at most, stays at or past 240 and takes m1.
    const std::pair<Rgb, TiRGBColor> toRgb[] = {{{0, 0, 100}, {100, 100, 100}},
                                                {{120, 255, 127}, {0, 253, 0}},
                                                {{120, 200, 250}, {245, 255, 245}},
                                                {{39, 240, 96}, {186, 123, 6}},
                                                {{840, 200, 100}, {21, 21, 21}}};
    for (const auto& [hsl, rgb] : toRgb) EXPECT_EQ(HSLToRGB(hsl[0], hsl[1], hsl[2]), rgb);
    EXPECT_EQ(HSLToRGB(360, 180, 90), HSLToRGB(0, 180, 90)) << "hue 360 stays on the wheel as 0";
    for (int level = 0; level < 256; ++level) {
        EXPECT_EQ(RGBToHSL(level, level, level), (TiHSLColor{0, 0, level}));
        EXPECT_EQ(HSLToRGB(123, 0, level), (TiRGBColor{level, level, level}));
    }
    for (int hue = 0; hue < 360; hue += 60) {
        const TiRGBColor rgb = HSLToRGB(hue, 255, 128);
        EXPECT_EQ(RGBToHSL(rgb.red, rgb.green, rgb.blue).hue, hue);
    }
    // Lightness rounds half up: 20.0 + 0.5, 20.5 + 0.5.
    for (auto [r, g, b, l] : {std::tuple{10, 20, 30, 20},
                              {10, 20, 31, 21},
                              {255, 0, 0, 128},
                              {0, 0, 0, 0},
                              {255, 255, 255, 255}}) {
        EXPECT_EQ(GetLightness(r, g, b), l);
    }
}

TEST(HueRangeWeight, FullInTheCentreFadingInFloatFromItsMiddle) {
    const HueRange yellow = {45, 75, 15, 105}, red = {-15, 15, -45, 45};
    const TinyHSL shift = {100, -100, 50}, full = {100, 100, 100};
    const std::tuple<int, HueRange, TinyHSL, Shift> cases[] = {
        // Yellow: 1 - (60 - 44) / (60 - 15) just outside the centre; 1 - (76 -
        // 60 - 1) / 45 = 0.6666666 in float; the right end still weighs 1/45.
        {60, yellow, shift, {100, -100, 50}},
        {45, yellow, shift, {100, -100, 50}},
        {44, yellow, shift, {64, -64, 32}},
        {15, yellow, shift, {0, 0, 0}},
        {76, yellow, shift, {66, -66, 33}},
        {105, yellow, shift, {2, -2, 1}},
        {106, yellow, shift, {0, 0, 0}},
        {200, yellow, shift, {0, 0, 0}},
        // 1 - 15/45 is 0.66666663 in float (0.6666666666666667 in double): 240
        // of it truncates to 159, double would give 160; 1 - 40/45 = 0.1111111
        // in float, 90 of it 9.9999994.
        {16, red, {240, 240, -240}, {159, 159, -159}},
        {320, red, {90, 0, 0}, {9, 0, 0}},
        {350, kStandardHueRanges.red, full, {100, 100, 100}},
        {10, kStandardHueRanges.red, full, {100, 100, 100}},
        {180, kStandardHueRanges.red, full, {0, 0, 0}},
        // A reversed centre whose middle is the left end: a fade of no width;
        // one whose middle (0 + -1) / 2 = 0 is the right end.
        {5, {10, -10, 0, 20}, full, {0, 0, 0}},
        {0, {0, -1, 0, 0}, full, {0, 0, 0}},
        // Values at the ends of the int range neither overflow nor divide by 0
        // (the sanitizer build watches): a centre spanning everything weighs 1.
        {90, {INT_MIN, INT_MAX, INT_MIN, INT_MAX}, {INT_MAX, INT_MIN, 7}, {INT_MAX, INT_MIN, 7}},
        {90, {INT_MAX, INT_MIN, INT_MAX, INT_MIN}, full, {0, 0, 0}},
    };
    for (const auto& [hue, range, weighed, expected] : cases)
        EXPECT_EQ(Fields(GetHueRangeWeight(hue, range, weighed)), expected) << hue;
}

TEST(HueRangeWeight, WholeTurnsWeighTheSame) {
    const HueRangeData& ranges = kStandardHueRanges;
    const TinyHSL shift = {90, 90, 90};
    for (const HueRange& range : {ranges.red, ranges.yellow, ranges.blue, ranges.magenta}) {
        for (int turns : {-2, -1, 1, 3}) {
            const int offset = 360 * turns;
            const HueRange turned = {range.center_left + offset, range.center_right + offset,
                                     range.range_left + offset, range.range_right + offset};
            for (int hue = 0; hue < 360; ++hue) {
                ASSERT_EQ(Fields(GetHueRangeWeight(hue, turned, shift)),
                          Fields(GetHueRangeWeight(hue, range, shift)))
                    << "hue " << hue << ", turns " << turns;
            }
        }
    }
}

HSLData All(TinyHSL shift) {
    HSLData data;
    data.all = shift;
    return data;
}

TEST(AdjustHSL, ShiftsHuesInRangeAndHoldsTheScales) {
    HSLData red;
    red.red = {30, 0, 0};
    HSLData spin;
    spin.red = {INT_MAX, 0, 0};
    // With no shift every pixel still passes through the model, saturation
    // never below 1 (a gray picks up a trace of red); pure red turns 30
    // degrees (m2 = 253.496, the ramp at 30 is 127); a gray has hue 0 and
    // counts as red (the ramp at 30 lifts green from 119 to 120); saturation
    // stops at 1, not 0 (HSLToRGB(0, 1, 120)); shifts at the ends of the int
    // range act as the ends of the scales; a hue shift of INT_MAX (held at
    // 2^30) leaves every channel's hue past 240: m1 = 40.3.
    const struct {
        Rgb color;
        HSLData data;
        Rgb expected;
    } cases[] = {{{100, 100, 100}, {}, {100, 99, 99}},
                 {{255, 0, 0}, {}, {253, 0, 0}},
                 {{255, 0, 0}, red, {253, 127, 0}},
                 {{120, 120, 120}, {}, {120, 119, 119}},
                 {{120, 120, 120}, red, {120, 120, 119}},
                 {{200, 40, 40}, All({0, -255, 0}), {120, 119, 119}},
                 {{200, 40, 40}, All({0, -1000, 0}), {120, 119, 119}},
                 {{30, 90, 200}, All({0, 0, 300}), {255, 255, 255}},
                 {{30, 90, 200}, All({0, 0, -300}), {0, 0, 0}},
                 {{30, 90, 200}, All({0, INT_MIN, INT_MAX}), {255, 255, 255}},
                 {{200, 40, 40}, spin, {40, 40, 40}}};
    for (const auto& c : cases)
        EXPECT_EQ(After(c.color, ON(AdjustHSL(b, c.data, kStandardHueRanges))), c.expected);
}

// The pixel pass against the conversions and weights taken one pixel at a
// time, with overlapping ranges (some written past the wheel's ends) and hue
// shifts that carry some pixels more than a turn off the wheel.
TEST(AdjustHSL, MatchesThePublicConversionsPixelByPixel) {
    HSLData data;
    data.red = {300, 40, -20};
    data.yellow = {-25, -60, 10};
    data.green = {120, 30, 5};
    data.cyan = {-200, 80, -40};
    data.blue = {15, -100, 30};
    data.magenta = {-300, 20, 0};
    data.all = {400, 10, -5};
    HueRangeData ranges = kStandardHueRanges;
    ranges.yellow = {30, 90, -330, 150};
    ranges.blue = {585, 615, 555, 700};
    const TinyHSL* groups[6] = {&data.red,  &data.yellow, &data.green,
                                &data.cyan, &data.blue,   &data.magenta};
    const HueRange* groupRanges[6] = {&ranges.red,  &ranges.yellow, &ranges.green,
                                      &ranges.cyan, &ranges.blue,   &ranges.magenta};
    test::ForEachKernelCompilation([&] {
        ExpectEveryPixel(
            test::RgbCube(83, 61, TiRGBABpp), ON(AdjustHSL(b, data, ranges)), [&](const Rgb& in) {
                const TiHSLColor hsl = RGBToHSL(in[0], in[1], in[2]);
                int hue = hsl.hue + data.all.m_hue;
                int saturation = hsl.saturation + data.all.m_saturation;
                int lightness = hsl.lightness + data.all.m_lightness;
                for (int g = 0; g < 6; ++g) {
                    const TinyHSL shift = GetHueRangeWeight(hsl.hue, *groupRanges[g], *groups[g]);
                    hue += shift.m_hue;
                    saturation += shift.m_saturation;
                    lightness += shift.m_lightness;
                }
                hue = hue < 0 ? hue + 360 : (hue > 360 ? hue - 360 : hue);
                return Of(
                    HSLToRGB(hue, std::clamp(saturation, 1, 255), std::clamp(lightness, 0, 255)));
            });
    });
}

TEST(TintHSL, OneHueAtThePixelsLightnessScalesHeld) {
    EXPECT_EQ(Tinted({128, 128, 128}, 0, 255, 0), (Rgb{255, 1, 1}));
    // Only max + min matters: these three share lightness 100; the offset
    // is added to the rounded lightness, then held.
    for (const Rgb& color : {Rgb{100, 100, 100}, Rgb{150, 50, 90}, Rgb{50, 150, 149}}) {
        EXPECT_EQ(Tinted(color, 200, 120, 0), Of(HSLToRGB(200, 120, 100)));
    }
    EXPECT_EQ(Tinted({100, 100, 100}, 200, 120, 30), Of(HSLToRGB(200, 120, 130)));
    EXPECT_EQ(Tinted({100, 100, 100}, 200, 120, 400), (Rgb{255, 255, 255}));
    EXPECT_EQ(Tinted({100, 100, 100}, 200, 120, INT_MIN), (Rgb{0, 0, 0}));
    const Rgb color = {90, 160, 30};
    for (auto [hue, saturation, held] : {std::tuple{400, 200, 0},
                                         {360, 200, 0},
                                         {-50, 200, 0},
                                         {100, 300, 100},
                                         {100, INT_MAX, 100}}) {
        EXPECT_EQ(Tinted(color, hue, saturation, 0),
                  Tinted(color, held, std::min(saturation, 255), 0))
            << hue;
    }
    // Only the hue is held: a negative saturation goes through the
    // conversion as it is and turns the colour towards the opposite hue.
    // l 100: m2 = 100 * 216 / 256 = 84.375, m1 = 115.625; l 200: m2 = 200 -
    // 40 + 40 * 200 / 256 = 191.25, m1 = 208.75; m2 = -17.1875, m1 =
    // 217.1875, red's hue 220 on the falling ramp.
    EXPECT_EQ(Tinted({100, 100, 100}, 0, -40, 0), (Rgb{84, 115, 115}));
    EXPECT_EQ(Tinted({200, 200, 200}, 0, -40, 0), (Rgb{191, 208, 208}));
    EXPECT_EQ(Tinted({100, 100, 100}, 100, -300, 0), (Rgb{139, 0, 217}));
    EXPECT_EQ(Tinted({100, 100, 100}, 0, INT_MIN, 0), (Rgb{0, 255, 255}));
    EXPECT_EQ(Tinted({150, 150, 150}, 200, -60, 0), Of(HSLToRGB(200, -60, 150)));
}

// ---- Colour balance ---------------------------------------------------------
// What the balance makes of each level of the red channel.
std::vector<int> RedMap(int cyan, int tone) {
    return test::ValueMap(
        [=](TiBitmapData& b) { return BalanceColor(b, cyan, 0, 0, tone, false), 1; });
}

TEST(BalanceColor, ShiftsFollowTheirToneCurvesInDouble) {
    // Highlights: 100 * 0.075; 100 * (1.075 - 1 / 1.5) (i / 16 a real
    // division); 150 + 97.86; 200 + 100.09 held at 255.
    const std::vector<int> up = RedMap(100, TiToneHighlights);
    EXPECT_EQ((Ints{up[0], up[8], up[150], up[200], up[255]}), (Ints{7, 48, 247, 255, 255}));
    // 40 * (1.075 - 1) is 2.9999999999999982 and 40 * 0.275 is
    // 10.999999999999998 in double (float would give 3 and 11).
    EXPECT_EQ((Ints{RedMap(40, TiToneHighlights)[0], RedMap(40, TiToneHighlights)[4]}),
              (Ints{2, 14}));
    // Taking highlights away follows the hump of the midtones: 127 - 66.7.
    const std::vector<int> down = RedMap(-100, TiToneHighlights);
    EXPECT_EQ((Ints{down[0], down[127], down[255]}), (Ints{0, 61, 255}));
    // Shadows: 0 - 101 held at 0, 255 - 7; the hump is 0 at level 0, and 255
    // lies 128/127 from the middle, where it dips below 0.
    const std::vector<int> shadows = RedMap(-100, TiToneShadows);
    EXPECT_EQ((Ints{shadows[0], shadows[255], RedMap(-40, TiToneShadows)[255]}),
              (Ints{0, 248, 253}));
    const std::vector<int> lifted = RedMap(100, TiToneShadows);
    EXPECT_EQ((Ints{lifted[0], lifted[127], lifted[255]}), (Ints{0, 193, 254}));
    // Each axis maps its own channel.
    const auto both = ON((BalanceColor(b, 0, 100, 0, TiToneMidtones, false),
                          BalanceColor(b, 0, 0, -100, TiToneMidtones, false), 1));
    EXPECT_EQ(After({127, 127, 127}, both), (Rgb{127, 193, 61}));
}

// With or without a shift, every colour passes through the model.
TEST(BalanceColor, PreservedLuminosityMatchesTheConversionsPixelByPixel) {
    Bitmap maps = test::MakeBitmap(256, 1, TiRGBBpp, [](int x, int, int) { return x; });
    BalanceColor(*maps, 60, -35, 90, TiToneHighlights, false);
    test::ForEachKernelCompilation([&maps] {
        ExpectEveryPixel(test::RgbCube(71, 70, TiRGBBpp),
                         ON((BalanceColor(b, 60, -35, 90, TiToneHighlights, true), 1)),
                         [&maps](const Rgb& in) {
                             const TiHSLColor shifted =
                                 RGBToHSL(maps->GetPixel(in[0], 0)[0], maps->GetPixel(in[1], 0)[1],
                                          maps->GetPixel(in[2], 0)[2]);
                             return Of(HSLToRGB(shifted.hue, shifted.saturation,
                                                GetLightness(in[0], in[1], in[2])));
                         });
    });
}

// ---- Selective colour -------------------------------------------------------
ComplementScaleSet Only(ComplementScale ComplementScaleSet::*family, ComplementScale scale) {
    ComplementScaleSet set;
    set.*family = scale;
    return set;
}

TEST(SelectiveColor, ExactValuesOfEachFamily) {
    using S = ComplementScaleSet;
    ComplementScaleSet both = Only(&S::reds, {1, 0, 0, 0});
    both.yellows = {1, 0, 0, 0};
    const struct {
        Rgb color;
        ComplementScaleSet set;
        Rgb expected;
    } cases[] = {
        // Hue 0, weight 1, amount 255: red loses all of itself; amount 127:
        // 255 - 255 / 255 * 127; taking cyan away moves red up by its share
        // of the room to 255 (200 + 55 / 255 * 100); other hues stay.
        {{255, 0, 0}, Only(&S::reds, {1, 0, 0, 0}), {0, 0, 0}},
        {{255, 128, 128}, Only(&S::reds, {1, 0, 0, 0}), {128, 128, 128}},
        {{200, 100, 100}, Only(&S::reds, {-1, 0, 0, 0}), {221, 100, 100}},
        {{0, 200, 50}, Only(&S::reds, {1, 0, 0, 0}), {0, 200, 50}},
        // Hue 30: weight 1/2 for reds and for yellows, amount 127 for either;
        // together the yellows measure what the reds left (spread 128, amount
        // 64); hue 330: past the top of the wheel the reds again, weight 1/2.
        {{255, 128, 0}, Only(&S::reds, {1, 0, 0, 0}), {128, 128, 0}},
        {{255, 128, 0}, Only(&S::yellows, {1, 0, 0, 0}), {128, 128, 0}},
        {{255, 128, 0}, both, {95, 128, 0}},
        {{254, 0, 127}, Only(&S::reds, {1, 0, 0, 0}), {127, 0, 127}},
        // Hue weights in float: hue 40, 3 * (1 - 40/60) is 0.99999994, amount
        // 0 (in double 1, red would drop to 2); hue 50, 6 * (1 - 50/60) is 1.0000001.
        {{3, 2, 0}, Only(&S::reds, {0.55f, 0, 0, 0}), {3, 2, 0}},
        {{6, 5, 0}, Only(&S::reds, {0.55f, 0, 0, 0}), {5, 5, 0}},
        // Blacks and whites take dark and light pixels only: brightest 50,
        // amount 155, red moves 30 down to the window's floor; darkest 160,
        // amount 65, red moves 51 down.
        {{50, 40, 30}, Only(&S::blacks, {1, 0, 0, 0}), {20, 40, 30}},
        {{50, 40, 30}, Only(&S::whites, {1, 0, 0, 0}), {50, 40, 30}},
        {{200, 180, 160}, Only(&S::whites, {1, 0, 0, 0}), {149, 180, 160}},
        {{200, 180, 160}, Only(&S::blacks, {1, 0, 0, 0}), {200, 180, 160}},
        {{200, 20, 20}, Only(&S::blacks, {1, 0, 0, 0}), {200, 20, 20}},
        {{200, 20, 20}, Only(&S::whites, {1, 0, 0, 0}), {200, 20, 20}},
        // Neutrals weigh by the average less the colourfulness.
        {{128, 128, 128}, Only(&S::neutrals, {1, 0, 0, 0}), {0, 128, 128}},
        {{255, 0, 0}, Only(&S::neutrals, {1, 0, 0, 0}), {255, 0, 0}},
        // Black is folded into the inks: -1 with cyan 0.5 gives every ink -1;
        // 0.5 with cyan -1 keeps cyan, magenta and yellow get 0.5 (100 - 100 /
        // 255 * 100 * 0.5); black alone darkens every channel.
        {{255, 0, 0}, Only(&S::reds, {0.5f, 0, 0, -1}), {255, 255, 255}},
        {{200, 100, 100}, Only(&S::reds, {-1, 0, 0, 0.5f}), {221, 80, 80}},
        {{255, 0, 0}, Only(&S::reds, {0, 0, 0, 1}), {0, 0, 0}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(After(c.color, ON(SelectiveColor(b, c.set))), c.expected)
            << testing::PrintToString(c.color);
    }
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
    // Rows of 120 pixels: seven groups of sixteen (four at once, then three
    // one by one) and a group of eight.
    test::ForEachKernelCompilation([&sets] {
        for (const ComplementScaleSet& set : sets) {
            SCOPED_TRACE(&set - sets.data());
            ExpectEveryPixel(test::RgbCube(120, 62, TiRGBABpp), ON(SelectiveColor(b, set)),
                             OnePixelModel(set));
        }
    });
}

// ---- Histogram --------------------------------------------------------------
TEST(Histogram, CountsChannelsAndDisplayGrayRoundedInDouble) {
    // Red (255, 0, 0) and blue (0, 0, 255): grays 54 and 18.
    const auto h = ComputeHistogram(*test::Strip(TiRGBABpp, {{255, 0, 0, 9}, {0, 0, 255, 9}}));
    ASSERT_TRUE(h);
    EXPECT_EQ((Ints{h->redCounts[255], h->redCounts[0], h->blueCounts[255], h->blueCounts[0],
                    h->greenCounts[0], h->lumCounts[54], h->lumCounts[18]}),
              (Ints{1, 1, 1, 1, 2, 1, 1}));
    EXPECT_EQ(Ints(h->maxCount, h->maxCount + 4), (Ints{1, 1, 2, 1}));
    EXPECT_EQ(std::accumulate(h->lumCounts, h->lumCounts + 256, 0), 2);
    // Channel numbers put gray first.
    EXPECT_EQ((std::vector<const std::int32_t*>{h->getValues(0), h->getValues(1), h->getValues(2),
                                                h->getValues(3)}),
              (std::vector<const std::int32_t*>{h->lumCounts, h->redCounts, h->greenCounts,
                                                h->blueCounts}));
    // 14 * 0.7152 + 76 * 0.0722 + 0.5 is just below 16 in double (16 in float).
    const auto gray = ComputeHistogram(*test::Constant(3, 1, 3, {0, 14, 76}));
    EXPECT_EQ((Ints{gray->lumCounts[15], gray->maxCount[0]}), (Ints{3, 3}));
    const auto white = ComputeHistogram(*test::Constant(1, 1, 3, {255, 255, 255}));
    EXPECT_EQ((Ints{white->lumCounts[255], white->maxCount[0]}), (Ints{1, 1}));
}

TEST(Histogram, ViewsBandsAndEmptyOrUnsupportedBitmaps) {
    // Large enough to be counted in bands on several threads.
    const auto photo = test::Noise(900, 700, 4, 8);
    const auto region = photo->GetBitmapDataFromRect(100, 50, 600, 500);
    const auto h = ComputeHistogram(*region);
    const auto packed = ComputeHistogram(*region->Clone(false));
    EXPECT_EQ(0, std::memcmp(h.get(), packed.get(), sizeof(TiHistogram)));
    for (int channel = 0; channel < 4; ++channel) {
        const std::int32_t* v = h->getValues(channel);
        EXPECT_EQ(std::accumulate(v, v + 256, 0), 600 * 500);
        EXPECT_EQ(*std::max_element(v, v + 256), h->maxCount[channel]);
    }
    const auto whole = ComputeHistogram(*photo);
    EXPECT_NE(0, std::memcmp(h.get(), whole.get(), sizeof(TiHistogram)));

    auto empty = test::Constant(0, 0, 3, {0, 0, 0});
    const auto none = ComputeHistogram(*empty);
    ASSERT_TRUE(none);
    EXPECT_EQ(none->maxCount[0], 0);
    EXPECT_EQ(std::accumulate(none->redCounts, none->redCounts + 256, 0), 0);
    EXPECT_FALSE(ComputeHistogram(*test::Gradient(3, 3, 1)));
}

}  // namespace
}  // namespace vantrel
