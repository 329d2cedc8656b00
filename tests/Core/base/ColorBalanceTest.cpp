#include <gtest/gtest.h>

#include "Core/base/ColorBalance.h"
#include "Core/base/HSL.h"
#include "support/Assertions.h"
#include "support/ColorChecks.h"

namespace vantrel {
namespace {

using test::Bitmap;
using test::ColorAt;

using Rgb = std::vector<int>;

// Each level 0..255 as red, green and blue of one pixel of a 256 x 1 strip.
Bitmap Levels(int bpp = TiRGBABpp) {
    return test::MakeBitmap(256, 1, bpp, [](int x, int, int c) { return c == 3 ? 200 : x; });
}

// What the balance makes of each level of the red channel.
std::vector<int> RedMap(int cyan, int tone) {
    Bitmap strip = Levels();
    BalanceColor(*strip, cyan, 0, 0, tone, false);
    std::vector<int> map;
    for (int x = 0; x < 256; ++x) map.push_back(strip->GetPixel(x, 0)[0]);
    return map;
}

TEST(BalanceColor, NoShiftLeavesThePictureAsItIs) {
    Bitmap picture = test::Noise(37, 11, TiRGBABpp, 5);
    const auto before = test::Pixels(*picture);
    for (int tone : {TiToneShadows, TiToneMidtones, TiToneHighlights}) {
        BalanceColor(*picture, 0, 0, 0, tone, false);
        EXPECT_EQ(test::Pixels(*picture), before);
    }
    // A tone outside the three ranges shifts nothing.
    BalanceColor(*picture, 100, -100, 50, 3, false);
    BalanceColor(*picture, 100, -100, 50, -1, false);
    EXPECT_EQ(test::Pixels(*picture), before);
}

TEST(BalanceColor, HighlightsLiftBrightLevelsMost) {
    const std::vector<int> up = RedMap(100, TiToneHighlights);
    EXPECT_EQ(up[0], 7);      // 100 * 0.075
    EXPECT_EQ(up[8], 48);     // 100 * (1.075 - 1 / 1.5): i / 16 is a real division
    EXPECT_EQ(up[150], 247);  // 150 + 97.86
    EXPECT_EQ(up[200], 255);  // 200 + 100.09, held at 255
    EXPECT_EQ(up[255], 255);
    // The curves are double: 40 * (1.075 - 1) is 2.9999999999999982 and
    // 40 * 0.275 is 10.999999999999998 (float would give 3 and 11).
    const std::vector<int> some = RedMap(40, TiToneHighlights);
    EXPECT_EQ(some[0], 2);
    EXPECT_EQ(some[4], 14);
    // Taking highlights away follows the hump of the midtones.
    const std::vector<int> down = RedMap(-100, TiToneHighlights);
    EXPECT_EQ(down[0], 0);
    EXPECT_EQ(down[127], 61);  // 127 - 66.7
    EXPECT_EQ(down[255], 255);
}

TEST(BalanceColor, ShadowsLowerDarkLevelsMost) {
    const std::vector<int> down = RedMap(-100, TiToneShadows);
    EXPECT_EQ(down[0], 0);      // 0 - 101, held at 0
    EXPECT_EQ(down[255], 248);  // 255 - 7
    EXPECT_EQ(RedMap(-40, TiToneShadows)[255], 253);
    const std::vector<int> up = RedMap(100, TiToneShadows);
    EXPECT_EQ(up[0], 0);  // the hump is 0 at level 0
    EXPECT_EQ(up[127], 193);
    // 255 lies 128/127 from the middle, where the hump dips below 0.
    EXPECT_EQ(up[255], 254);
}

TEST(BalanceColor, EachAxisMapsItsOwnChannel) {
    Bitmap pixel = test::OnePixel(127, 127, 127);
    BalanceColor(*pixel, 0, 100, 0, TiToneMidtones, false);
    EXPECT_EQ(ColorAt(*pixel), (Rgb{127, 193, 127}));
    BalanceColor(*pixel, 0, 0, -100, TiToneMidtones, false);
    EXPECT_EQ(ColorAt(*pixel), (Rgb{127, 193, 61}));
}

TEST(BalanceColor, PreservedLuminosityKeepsTheRoundedLightness) {
    // Red of (100, 100, 100) moves to 163: hue 0, saturation 64 at the
    // shifted colour's lightness, then put back at lightness 100.
    Bitmap gray = test::OnePixel(100, 100, 100);
    BalanceColor(*gray, 100, 0, 0, TiToneMidtones, true);
    EXPECT_EQ(ColorAt(*gray), (Rgb{125, 75, 75}));
    EXPECT_EQ(GetLightness(125, 75, 75), 100);
    // With no shift every colour still passes through the model.
    Bitmap color = test::OnePixel(200, 100, 50);
    BalanceColor(*color, 0, 0, 0, TiToneShadows, true);
    const TiHSLColor hsl = RGBToHSL(200, 100, 50);
    const TiRGBColor back = HSLToRGB(hsl.hue, hsl.saturation, GetLightness(200, 100, 50));
    EXPECT_EQ(ColorAt(*color), (Rgb{back.red, back.green, back.blue}));
}

TEST(BalanceColor, PreservedLuminosityMatchesTheConversionsPixelByPixel) {
    Bitmap maps = Levels(TiRGBBpp);
    BalanceColor(*maps, 60, -35, 90, TiToneHighlights, false);
    test::ForEachKernelCompilation([&maps] {
        Bitmap picture = test::RgbCube(71, 70, TiRGBBpp);
        const Bitmap before = picture->Clone(false);
        BalanceColor(*picture, 60, -35, 90, TiToneHighlights, true);
        for (int y = 0; y < picture->GetHeight(); ++y) {
            for (int x = 0; x < picture->GetWidth(); ++x) {
                const Rgb in = ColorAt(*before, x, y);
                const TiHSLColor shifted =
                    RGBToHSL(maps->GetPixel(in[0], 0)[0], maps->GetPixel(in[1], 0)[1],
                             maps->GetPixel(in[2], 0)[2]);
                const TiRGBColor out =
                    HSLToRGB(shifted.hue, shifted.saturation, GetLightness(in[0], in[1], in[2]));
                ASSERT_EQ(ColorAt(*picture, x, y), (Rgb{out.red, out.green, out.blue}))
                    << x << "," << y;
            }
        }
    });
}

TEST(BalanceColor, HonoursFormatsViewsAndAlpha) {
    for (bool preserve : {false, true}) {
        test::ExpectFormatsAndViewsAgree([] { return test::Noise(290, 6, TiRGBABpp, 3); },
                                         [preserve](TiBitmapData& bitmap) {
                                             BalanceColor(bitmap, -30, 45, 70, TiToneShadows,
                                                          preserve);
                                             return 1;
                                         });
    }
    Bitmap gray = test::Constant(3, 3, 1, {77});
    BalanceColor(*gray, 100, 100, 100, TiToneMidtones, true);
    EXPECT_EQ(test::Pixels(*gray), std::vector<std::uint8_t>(9, 77));
}

TEST(BalanceColor, ShiftsOutsideTheScaleFailTheirPreconditions) {
    Bitmap pixel = test::OnePixel(1, 2, 3);
    const char* file = "Core/base/ColorBalance";
    test::ExpectAssertion([&] { BalanceColor(*pixel, 101, 0, 0, 0, false); },
                          "cyan>= -100 && cyan<=100", "BalanceColor", file, 40);
    test::ExpectAssertion([&] { BalanceColor(*pixel, 0, -101, 0, 0, false); },
                          "magenta>= -100 && magenta<=100", "BalanceColor", file, 41);
    test::ExpectAssertion([&] { BalanceColor(*pixel, 0, 0, 1000, 0, false); },
                          "yellow>= -100 && yellow<=100", "BalanceColor", file, 42);
    EXPECT_EQ(ColorAt(*pixel), (Rgb{1, 2, 3}));
}

}  // namespace
}  // namespace vantrel
