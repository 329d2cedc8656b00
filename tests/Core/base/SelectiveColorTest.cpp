#include "Core/base/SelectiveColor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

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
    EXPECT_EQ(Selected({255, 0, 0}, Only(&ComplementScaleSet::reds, {0, 0, 0, 1})),
              (Rgb{0, 0, 0}));
}

TEST(SelectiveColor, HonoursFormatsViewsAndAlpha) {
    ComplementScaleSet set;
    set.reds = {0.55f, 0, 0.31f, 0};
    set.yellows = {-0.01f, -0.07f, -0.76f, -0.33f};
    set.greens = {0.2f, -0.4f, 0.1f, 0};
    set.whites = {0.3f, 0.1f, -0.2f, 0.05f};
    set.neutrals = {-0.25f, 0.15f, 0.4f, 0};
    set.blacks = {0, 0.19f, 0.53f, 0.02f};
    test::ExpectFormatsAndViewsAgree([] { return test::Noise(280, 7, TiRGBABpp, 9); },
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
