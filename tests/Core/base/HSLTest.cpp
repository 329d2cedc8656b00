#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <tuple>

#include "Core/base/HSL.h"
#include "support/Assertions.h"
#include "support/ColorChecks.h"

namespace vantrel {
namespace {

using test::Bitmap;
using test::ColorAt;
using test::OnePixel;

using Rgb = std::vector<int>;
using Shift = std::tuple<int, int, int>;

Shift Fields(const TinyHSL& shift) {
    return {shift.m_hue, shift.m_saturation, shift.m_lightness};
}

Rgb Adjusted(Rgb color, const HSLData& data, const HueRangeData& ranges = kStandardHueRanges) {
    Bitmap pixel = OnePixel(color[0], color[1], color[2]);
    EXPECT_EQ(AdjustHSL(*pixel, data, ranges), 1);
    return ColorAt(*pixel);
}

Rgb Tinted(Rgb color, int hue, int saturation, int lightness) {
    Bitmap pixel = OnePixel(color[0], color[1], color[2]);
    EXPECT_EQ(TintHSL(*pixel, hue, saturation, lightness), 1);
    return ColorAt(*pixel);
}

TEST(HSLConversion, RGBToHSLOfPrimariesAndGrays) {
    EXPECT_EQ(RGBToHSL(255, 0, 0), (TiHSLColor{0, 255, 127}));
    EXPECT_EQ(RGBToHSL(0, 0, 255), (TiHSLColor{240, 255, 127}));
    EXPECT_EQ(RGBToHSL(0, 255, 0), (TiHSLColor{120, 255, 127}));
    EXPECT_EQ(RGBToHSL(100, 100, 100), (TiHSLColor{0, 0, 100}));
    EXPECT_EQ(RGBToHSL(255, 255, 255), (TiHSLColor{0, 0, 255}));
    // Just below red the hue wraps to the top of the wheel: -0.24 + 360.
    EXPECT_EQ(RGBToHSL(255, 0, 1).hue, 359);
    // The lighter half divides by 512 - max - min: 100 * 256 / 112.
    EXPECT_EQ(RGBToHSL(250, 150, 150), (TiHSLColor{0, 228, 200}));
    // Channels are bytes: values outside 0..255 are held to it.
    EXPECT_EQ(RGBToHSL(300, -5, 0), RGBToHSL(255, 0, 0));
}

TEST(HSLConversion, HSLToRGBFollowsItsFloatStepsInOrder) {
    EXPECT_EQ(HSLToRGB(0, 0, 100), (TiRGBColor{100, 100, 100}));
    // m2 = 127 * 511 / 256 = 253.496, truncated channel by channel.
    EXPECT_EQ(HSLToRGB(120, 255, 127), (TiRGBColor{0, 253, 0}));
    // m2 = 254.6875 lies above 254 and becomes 255; m1 = 245.3.
    EXPECT_EQ(HSLToRGB(120, 200, 250), (TiRGBColor{245, 255, 245}));
    // The ramp is (m2 - m1) * h, then / 60: 180 * 39 / 60 = 117 exactly,
    // where 180 * (39 / 60) in float gives 116.99999.
    EXPECT_EQ(HSLToRGB(39, 240, 96), (TiRGBColor{186, 123, 6}));
    // Hue 360 stays on the wheel as 0.
    EXPECT_EQ(HSLToRGB(360, 180, 90), HSLToRGB(0, 180, 90));
    // Each channel's hue is turned by one turn at most: at hue 840 every
    // channel stays at or past 240 and takes m1 = 200 - 178.125.
    EXPECT_EQ(HSLToRGB(840, 200, 100), (TiRGBColor{21, 21, 21}));
}

TEST(HSLConversion, GraysAndFullHuesRoundTrip) {
    for (int level = 0; level < 256; ++level) {
        EXPECT_EQ(RGBToHSL(level, level, level), (TiHSLColor{0, 0, level}));
        EXPECT_EQ(HSLToRGB(123, 0, level), (TiRGBColor{level, level, level}));
    }
    for (int hue = 0; hue < 360; hue += 60) {
        const TiRGBColor rgb = HSLToRGB(hue, 255, 128);
        EXPECT_EQ(RGBToHSL(rgb.red, rgb.green, rgb.blue).hue, hue);
    }
}

TEST(HSLConversion, LightnessIsRoundedHalfUp) {
    EXPECT_EQ(GetLightness(10, 20, 30), 20);  // 20.0 + 0.5
    EXPECT_EQ(GetLightness(10, 20, 31), 21);  // 20.5 + 0.5
    EXPECT_EQ(GetLightness(255, 0, 0), 128);
    EXPECT_EQ(GetLightness(0, 0, 0), 0);
    EXPECT_EQ(GetLightness(255, 255, 255), 255);
}

TEST(HueRangeWeight, FullInTheCentreFadingFromItsMiddle) {
    const HueRange yellow = {45, 75, 15, 105};
    const TinyHSL shift = {100, -100, 50};
    EXPECT_EQ(GetHueRangeWeight(60, yellow, shift).m_hue, 100);
    EXPECT_EQ(GetHueRangeWeight(45, yellow, shift).m_hue, 100);
    // 1 - (60 - 44) / (60 - 15): well below 1 just outside the centre.
    const TinyHSL left = GetHueRangeWeight(44, yellow, shift);
    EXPECT_EQ(left.m_hue, 64);
    EXPECT_EQ(left.m_saturation, -64);
    EXPECT_EQ(left.m_lightness, 32);
    EXPECT_EQ(GetHueRangeWeight(15, yellow, shift).m_hue, 0);
    // 1 - (76 - 60 - 1) / (105 - 60) = 0.6666666 in float.
    EXPECT_EQ(GetHueRangeWeight(76, yellow, shift).m_hue, 66);
    // The right end still weighs 1/45.
    EXPECT_EQ(GetHueRangeWeight(105, yellow, shift).m_hue, 2);
    EXPECT_EQ(GetHueRangeWeight(106, yellow, shift).m_hue, 0);
    EXPECT_EQ(GetHueRangeWeight(200, yellow, shift).m_hue, 0);
}

TEST(HueRangeWeight, WeightsAreFloatAndTruncated) {
    const HueRange red = {-15, 15, -45, 45};
    // 1 - 15/45 is 0.66666663 in float (0.6666666666666667 in double):
    // 240 of it truncates to 159, where double would give 160.
    EXPECT_EQ(Fields(GetHueRangeWeight(16, red, {240, 240, -240})), Shift(159, 159, -159));
    // 1 - 40/45 = 0.1111111 in float: 90 of it is 9.9999994.
    EXPECT_EQ(GetHueRangeWeight(320, red, {90, 0, 0}).m_hue, 9);
}

TEST(HueRangeWeight, RangesAroundRedAndWholeTurnsWeighTheSame) {
    const HueRangeData& ranges = kStandardHueRanges;
    const HueRange red = ranges.red;
    const TinyHSL shift = {90, 90, 90};
    EXPECT_EQ(GetHueRangeWeight(350, red, shift).m_hue, 90);
    EXPECT_EQ(GetHueRangeWeight(10, red, shift).m_hue, 90);
    EXPECT_EQ(GetHueRangeWeight(180, red, shift).m_hue, 0);
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

TEST(HueRangeWeight, DegenerateAndWildRangesWeighSafely) {
    const TinyHSL shift = {100, 100, 100};
    // A reversed centre whose middle is the left end: a fade of no width.
    EXPECT_EQ(Fields(GetHueRangeWeight(5, {10, -10, 0, 20}, shift)), Shift(0, 0, 0));
    // A reversed centre whose middle (0 + -1) / 2 = 0 is the right end.
    EXPECT_EQ(Fields(GetHueRangeWeight(0, {0, -1, 0, 0}, shift)), Shift(0, 0, 0));
    // Values at the ends of the int range neither overflow nor divide by 0
    // (the sanitizer build watches): a centre spanning everything weighs 1.
    const HueRange everything = {INT_MIN, INT_MAX, INT_MIN, INT_MAX};
    EXPECT_EQ(Fields(GetHueRangeWeight(90, everything, {INT_MAX, INT_MIN, 7})),
              Shift(INT_MAX, INT_MIN, 7));
    EXPECT_EQ(Fields(GetHueRangeWeight(90, {INT_MAX, INT_MIN, INT_MAX, INT_MIN}, shift)),
              Shift(0, 0, 0));
}

TEST(AdjustHSL, WithNoShiftEveryPixelStillPassesThroughTheModel) {
    const HSLData none;
    // Saturation never goes below 1, so a gray picks up a trace of red.
    EXPECT_EQ(Adjusted({100, 100, 100}, none), (Rgb{100, 99, 99}));
    EXPECT_EQ(Adjusted({255, 0, 0}, none), (Rgb{253, 0, 0}));
}

TEST(AdjustHSL, AHueGroupMovesOnlyHuesInItsRange) {
    HSLData red;
    red.red = {30, 0, 0};
    const HSLData none;
    // Pure red turns 30 degrees: m2 = 253.496, the ramp at 30 is 127.
    EXPECT_EQ(Adjusted({255, 0, 0}, red), (Rgb{253, 127, 0}));
    for (const Rgb& color : {Rgb{0, 255, 0}, Rgb{0, 0, 255}, Rgb{255, 255, 0}, Rgb{20, 200, 180}}) {
        EXPECT_EQ(Adjusted(color, red), Adjusted(color, none));
    }
    // Hue 30 lies in the right fade of red (weight 1 - 29/45).
    EXPECT_NE(Adjusted({255, 128, 0}, red), Adjusted({255, 128, 0}, none));
    // A gray has hue 0, so it counts as red: with saturation 1 the ramp
    // at 30 degrees lifts green from 119 to 120.
    EXPECT_EQ(Adjusted({120, 120, 120}, none), (Rgb{120, 119, 119}));
    EXPECT_EQ(Adjusted({120, 120, 120}, red), (Rgb{120, 120, 119}));
}

TEST(AdjustHSL, SaturationAndLightnessAreHeldToTheirScales) {
    HSLData gray;
    gray.all = {0, -255, 0};
    HSLData beyond;
    beyond.all = {0, -1000, 0};
    // Saturation stops at 1, not 0: HSLToRGB(0, 1, 120).
    EXPECT_EQ(Adjusted({200, 40, 40}, gray), (Rgb{120, 119, 119}));
    EXPECT_EQ(Adjusted({200, 40, 40}, beyond), (Rgb{120, 119, 119}));
    HSLData white;
    white.all = {0, 0, 300};
    EXPECT_EQ(Adjusted({30, 90, 200}, white), (Rgb{255, 255, 255}));
    HSLData black;
    black.all = {0, 0, -300};
    EXPECT_EQ(Adjusted({30, 90, 200}, black), (Rgb{0, 0, 0}));
    // Shifts at the ends of the int range act as the ends of the scales.
    HSLData extreme;
    extreme.all = {0, INT_MIN, INT_MAX};
    EXPECT_EQ(Adjusted({30, 90, 200}, extreme), (Rgb{255, 255, 255}));
    // A hue shift of INT_MAX (held at 2^30) leaves the wheel so far that
    // every channel's hue lies past 240: (200, 40, 40) takes m1 = 40.3.
    HSLData spin;
    spin.red = {INT_MAX, 0, 0};
    EXPECT_EQ(Adjusted({200, 40, 40}, spin), (Rgb{40, 40, 40}));
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
        Bitmap picture = test::RgbCube(83, 61, TiRGBABpp);
        const Bitmap before = picture->Clone(false);
        ASSERT_EQ(AdjustHSL(*picture, data, ranges), 1);
        for (int y = 0; y < picture->GetHeight(); ++y) {
            for (int x = 0; x < picture->GetWidth(); ++x) {
                const Rgb in = ColorAt(*before, x, y);
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
                const TiRGBColor out =
                    HSLToRGB(hue, std::clamp(saturation, 1, 255), std::clamp(lightness, 0, 255));
                ASSERT_EQ(ColorAt(*picture, x, y), (Rgb{out.red, out.green, out.blue}))
                    << "pixel " << x << "," << y;
            }
        }
    });
}

TEST(AdjustHSL, HonoursFormatsViewsAndAlpha) {
    HSLData data;
    data.yellow = {-40, 60, 20};
    data.all = {10, -20, 5};
    test::ExpectFormatsAndViewsAgree(
        [] { return test::Noise(300, 7, TiRGBABpp, 11); },
        [&data](TiBitmapData& bitmap) { return AdjustHSL(bitmap, data, kStandardHueRanges); });
}

TEST(AdjustHSL, RefusesOtherFormatsAndLeavesEmptyBitmapsAlone) {
    Bitmap gray = test::Constant(4, 4, 1, {90});
    test::ExpectAssertion([&] { AdjustHSL(*gray, HSLData{}, kStandardHueRanges); },
                          "bitmap.GetBpp() == TiRGBBpp || bitmap.GetBpp() == TiRGBABpp",
                          "AdjustHSL", "Core/base/HSL", 313);
    unsigned char byte = 7;
    TiBitmapData empty(&byte, 0, 5, 0, TiRGBABpp, false);
    EXPECT_EQ(AdjustHSL(empty, HSLData{}, kStandardHueRanges), 1);
    EXPECT_EQ(byte, 7);
}

TEST(TintHSL, GivesEveryPixelOneHueAndKeepsItsLightness) {
    EXPECT_EQ(Tinted({128, 128, 128}, 0, 255, 0), (Rgb{255, 1, 1}));
    // Only max + min matters: these three share lightness 100.
    const Rgb expected = Tinted({100, 100, 100}, 200, 120, 0);
    EXPECT_EQ(Tinted({150, 50, 90}, 200, 120, 0), expected);
    EXPECT_EQ(Tinted({50, 150, 149}, 200, 120, 0), expected);
    const TiRGBColor model = HSLToRGB(200, 120, 100);
    EXPECT_EQ(expected, (Rgb{model.red, model.green, model.blue}));
    // The lightness offset is added to the rounded lightness, then held.
    const TiRGBColor lifted = HSLToRGB(200, 120, 130);
    EXPECT_EQ(Tinted({100, 100, 100}, 200, 120, 30), (Rgb{lifted.red, lifted.green, lifted.blue}));
    EXPECT_EQ(Tinted({100, 100, 100}, 200, 120, 400), (Rgb{255, 255, 255}));
    EXPECT_EQ(Tinted({100, 100, 100}, 200, 120, INT_MIN), (Rgb{0, 0, 0}));
}

TEST(TintHSL, HueAndSaturationAreHeldToTheirScales) {
    const Rgb color = {90, 160, 30};
    EXPECT_EQ(Tinted(color, 400, 200, 0), Tinted(color, 360, 200, 0));
    EXPECT_EQ(Tinted(color, 360, 200, 0), Tinted(color, 0, 200, 0));
    EXPECT_EQ(Tinted(color, -50, 200, 0), Tinted(color, 0, 200, 0));
    EXPECT_EQ(Tinted(color, 100, 300, 0), Tinted(color, 100, 255, 0));
    EXPECT_EQ(Tinted(color, 100, INT_MAX, 0), Tinted(color, 100, 255, 0));
}

// Only the hue is held: a negative saturation goes through the conversion
// as it is and turns the colour towards the opposite hue.
TEST(TintHSL, ANegativeSaturationFollowsTheConversionsArithmetic) {
    // l 100: m2 = 100 * 216 / 256 = 84.375, m1 = 115.625.
    EXPECT_EQ(Tinted({100, 100, 100}, 0, -40, 0), (Rgb{84, 115, 115}));
    // l 200: m2 = 200 - 40 + 40 * 200 / 256 = 191.25, m1 = 208.75.
    EXPECT_EQ(Tinted({200, 200, 200}, 0, -40, 0), (Rgb{191, 208, 208}));
    // m2 = -17.1875, m1 = 217.1875; red's hue 220 is on the falling ramp.
    EXPECT_EQ(Tinted({100, 100, 100}, 100, -300, 0), (Rgb{139, 0, 217}));
    EXPECT_EQ(Tinted({100, 100, 100}, 0, INT_MIN, 0), (Rgb{0, 255, 255}));
    const TiRGBColor model = HSLToRGB(200, -60, 150);
    EXPECT_EQ(Tinted({150, 150, 150}, 200, -60, 0), (Rgb{model.red, model.green, model.blue}));
}

TEST(TintHSL, HonoursFormatsViewsAndAlphaAndRefusesOtherFormats) {
    test::ExpectFormatsAndViewsAgree(
        [] { return test::Gradient(270, 6, TiRGBABpp); },
        [](TiBitmapData& bitmap) { return TintHSL(bitmap, 130, 28, 0); });
    Bitmap gray = test::Constant(2, 2, 1, {90});
    test::ExpectAssertion([&] { TintHSL(*gray, 0, 0, 0); },
                          "bitmap.GetBpp() == TiRGBBpp || bitmap.GetBpp() == TiRGBABpp", "TintHSL",
                          "Core/base/HSL", 419);
}

}  // namespace
}  // namespace vantrel
