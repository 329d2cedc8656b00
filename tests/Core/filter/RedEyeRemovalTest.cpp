#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "Core/filter/RedEyeRemoval.h"
#include "support/TestImages.h"

namespace vantrel {
namespace {

using test::Bitmap;

std::vector<std::uint8_t> Fixed(int threshold, std::vector<std::uint8_t> rgb) {
    Bitmap bitmap = test::Constant(1, 1, TiRGBBpp, rgb);
    EXPECT_EQ(RedEyeRemoval(*bitmap, threshold), 1);
    return test::Pixels(*bitmap);
}

TEST(RedEyeRemoval, LowersDominantRedOnly) {
    using V = std::vector<std::uint8_t>;
    EXPECT_EQ(Fixed(50, {255, 0, 0}), (V{0, 0, 0}));
    EXPECT_EQ(Fixed(50, {200, 150, 150}), (V{200, 150, 150}));
    EXPECT_EQ(Fixed(0, {255, 0, 0}), (V{0, 0, 0}));
    EXPECT_EQ(Fixed(0, {180, 0, 0}), (V{180, 0, 0}));
    // b = trunc(255 * 0.1933333) = 49; (60 + 49) / 1.0266666 = 106.2.
    EXPECT_EQ(Fixed(50, {255, 60, 255}), (V{106, 60, 255}));
    // r = trunc(200 * 0.5133333) = 102: equal to G + m still changes.
    EXPECT_EQ(Fixed(50, {200, 102, 0}), (V{99, 102, 0}));
    EXPECT_EQ(Fixed(50, {200, 103, 0}), (V{200, 103, 0}));
    // The blue test alone can hold a pixel back: r = 15 >= G, but b = 16 > r.
    EXPECT_EQ(Fixed(50, {30, 10, 85}), (V{30, 10, 85}));
    // Threshold 100 (m = -100) even raises red towards green.
    EXPECT_EQ(Fixed(100, {10, 100, 0}), (V{97, 100, 0}));
}

TEST(RedEyeRemoval, MatchesTheRuleOverTheColourCube) {
    for (int bpp : {TiRGBBpp, TiRGBABpp}) {
        for (int threshold : {0, 23, 50, 77, 100, -40, 170, INT_MIN, INT_MAX}) {
            Bitmap bitmap = test::RgbCube(71, 69, bpp);
            const Bitmap before = bitmap->Clone();
            ASSERT_EQ(RedEyeRemoval(*bitmap, threshold), 1);
            const double m = 100.0 - 2.0 * threshold;
            for (int y = 0; y < 69; ++y) {
                for (int x = 0; x < 71; ++x) {
                    const std::uint8_t* in = before->GetPixel(x, y);
                    const std::uint8_t* out = bitmap->GetPixel(x, y);
                    const double r = std::trunc(in[0] * 0.5133333);
                    const double b = std::trunc(in[2] * 0.1933333);
                    const int red = r >= in[1] + m && r >= b + m
                                        ? std::min(255, static_cast<int>((in[1] + b) / 1.0266666))
                                        : in[0];
                    ASSERT_EQ(out[0], red) << threshold << " at " << x << "," << y;
                    ASSERT_EQ(0, std::memcmp(out + 1, in + 1, bpp - 1));
                }
            }
        }
    }
}

TEST(RedEyeRemoval, HonoursViewsAndLeavesOtherSizesAlone) {
    auto make = [] { return test::Extremes(40, 30, TiRGBABpp); };
    test::ExpectViewMatchesPackedCopy(make, 3, 4, 20, 17,
                                      [](TiBitmapData& b) { return RedEyeRemoval(b, 80); });
    for (auto size : {std::pair{0, 5}, std::pair{5, 0}}) {
        Bitmap empty = test::Constant(size.first, size.second, TiRGBABpp, {255, 0, 0, 255});
        EXPECT_EQ(RedEyeRemoval(*empty, 50), 1);
    }
    Bitmap gray = test::Noise(6, 6, 1);
    const auto before = test::Pixels(*gray);
    EXPECT_EQ(RedEyeRemoval(*gray, 100), 1);
    EXPECT_EQ(test::Pixels(*gray), before);
}

}  // namespace
}  // namespace vantrel
