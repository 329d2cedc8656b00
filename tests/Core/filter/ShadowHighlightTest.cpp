#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <vector>

#include "Core/filter/ShadowHighlight.h"
#include "support/ColorChecks.h"
#include "support/TestImages.h"

namespace vantrel {
namespace {

using test::Bitmap;
using Rgb = std::array<int, 3>;

Rgb Adjusted(Rgb rgb, float shadows, float highlights) {
    Bitmap bitmap =
        test::Constant(1, 1, TiRGBBpp,
                       {static_cast<std::uint8_t>(rgb[0]), static_cast<std::uint8_t>(rgb[1]),
                        static_cast<std::uint8_t>(rgb[2])});
    EXPECT_EQ(ShadowHighlight(*bitmap, shadows, highlights), 1);
    const test::Rgba p = test::PixelAt(*bitmap, 0, 0);
    return {p[0], p[1], p[2]};
}

// Values worked out step by step in single precision, with the lifts in
// double, from the weight curve 100 98 97 ... 2 1 0 (entries 75..99 are 0).
// With highlights 0 they are the shadow side alone.
TEST(ShadowHighlight, LiftsShadowsExactly) {
    // Weight 1: saturation * 0.6, value * 4.
    EXPECT_EQ(Adjusted({2, 1, 0}, 1, 0), (Rgb{8, 5, 3}));
    EXPECT_EQ(Adjusted({100, 50, 20}, 1, 0), (Rgb{163, 98, 60}));
    EXPECT_EQ(Adjusted({128, 128, 128}, 1, 0), (Rgb{177, 177, 177}));
    // Curve entry 74 (1): a lift of 1 / (1 - 0.0075).
    EXPECT_EQ(Adjusted({193, 150, 120}, 1, 0), (Rgb{194, 150, 121}));
    // The hue of pure blue lands just below 240 degrees in float (at 240 in
    // double the green would equal the red).
    EXPECT_EQ(Adjusted({0, 0, 10}, 1, 0), (Rgb{13, 14, 35}));
    EXPECT_EQ(Adjusted({0, 0, 40}, 0.5f, 0), (Rgb{9, 10, 57}));
    // Saturation * (1 - 0.4f * w): with 0.4 in double the blue would be 17.
    EXPECT_EQ(Adjusted({42, 10, 7}, 0.5f, 0), (Rgb{60, 21, 18}));
    // The lift in double: 80; in float it would be 79.
    EXPECT_EQ(Adjusted({53, 53, 53}, 0.6f, 0), (Rgb{80, 80, 80}));
    EXPECT_EQ(Adjusted({128, 64, 32}, 0.5f, 0), (Rgb{148, 78, 45}));
}

TEST(ShadowHighlight, RoundTripAlone) {
    // No weight: RGB -> HSV -> RGB only, hue in whole degrees, channels
    // truncated, so a channel can drop by one.
    EXPECT_EQ(Adjusted({10, 200, 90}, 0, 0), (Rgb{10, 200, 89}));
    EXPECT_EQ(Adjusted({194, 10, 10}, 1, 0), (Rgb{194, 10, 10}));
    EXPECT_EQ(Adjusted({194, 10, 10}, 0, 0), (Rgb{194, 10, 10}));
    EXPECT_EQ(Adjusted({0, 0, 0}, 1, 1), (Rgb{0, 0, 0}));
    EXPECT_EQ(Adjusted({255, 255, 255}, 1, 1), (Rgb{255, 255, 255}));
    // A largest channel of 194 or more gets no shadow weight: full shadows
    // give it the bare round trip.
    const Bitmap cube = test::RgbCube(64, 77, TiRGBABpp);
    Bitmap plain = cube->Clone();
    Bitmap lifted = cube->Clone();
    ShadowHighlight(*plain, 0, 0);
    ShadowHighlight(*lifted, 1, 0);
    int unweighted = 0;
    for (int y = 0; y < 77; ++y) {
        for (int x = 0; x < 64; ++x) {
            const std::uint8_t* p = cube->GetPixel(x, y);
            if (std::max({p[0], p[1], p[2]}) < 194) continue;
            ++unweighted;
            ASSERT_EQ(test::PixelAt(*lifted, x, y), test::PixelAt(*plain, x, y)) << x << "," << y;
        }
    }
    EXPECT_GT(unweighted, 1000);
}

TEST(ShadowHighlight, HighlightsMirrorTheShadows) {
    EXPECT_EQ(Adjusted({230, 180, 0}, 0, 1), (Rgb{181, 139, 0}));
    EXPECT_EQ(Adjusted({250, 250, 250}, 0, 1), (Rgb{236, 236, 236}));
    EXPECT_EQ(Adjusted({200, 100, 50}, 0, 1), (Rgb{133, 65, 33}));
    // The pull toward black in double: 150; in float it would be 149.
    EXPECT_EQ(Adjusted({213, 0, 0}, 0, 1), (Rgb{150, 0, 0}));
    // Both sides on one pixel: lifted by the shadows, then pulled down.
    EXPECT_EQ(Adjusted({128, 64, 32}, 0.5f, 0.5f), (Rgb{131, 69, 40}));
    EXPECT_EQ(Adjusted({120, 120, 120}, 0.5f, 0.5f), (Rgb{126, 126, 126}));
    EXPECT_EQ(Adjusted({120, 120, 120}, 0.5f, 0), (Rgb{141, 141, 141}));
    // A largest channel of 61 is beyond the highlight curve's reach, 62 is not.
    EXPECT_EQ(Adjusted({61, 30, 20}, 0, 1), Adjusted({61, 30, 20}, 0, 0));
    EXPECT_EQ(Adjusted({62, 30, 20}, 0, 1), (Rgb{60, 29, 19}));
    EXPECT_EQ(Adjusted({62, 30, 20}, 0, 0), (Rgb{62, 29, 20}));
}

TEST(ShadowHighlight, FormatsViewsAndBandsAgree) {
    test::ExpectFormatsAndViewsAgree(
        [] { return test::Extremes(40, 30, TiRGBABpp); },
        [](TiBitmapData& b) { return ShadowHighlight(b, 0.7f, 0.4f); });
}

TEST(ShadowHighlight, RefusalsLeaveThePictureUntouched) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float refused[][2] = {{1.2f, 0}, {-0.1f, 0},  {nan, 0},
                                {0, 1.5f}, {0, -0.01f}, {0.5f, nan}};
    for (const auto& values : refused) {
        Bitmap bitmap = test::Noise(9, 7, TiRGBABpp);
        const auto before = test::Pixels(*bitmap);
        EXPECT_EQ(ShadowHighlight(*bitmap, values[0], values[1]), 0);
        EXPECT_EQ(test::Pixels(*bitmap), before);
    }
    Bitmap gray = test::Noise(9, 7, 1);
    EXPECT_EQ(ShadowHighlight(*gray, 0.5f, 0), 0);
    // The weight curve's spline memory.
    EXPECT_GE(test::ExpectRefusalsLeaveBitmapUnchanged(
                  [] { return test::Noise(9, 7, TiRGBABpp); },
                  [](TiBitmapData& b) { return ShadowHighlight(b, 0.5f, 0.5f); }),
              1);
}

}  // namespace
}  // namespace vantrel
