#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "Core/base/NormalBlend.h"
#include "Core/filter/Lomo.h"
#include "support/Assertions.h"
#include "support/TestImages.h"

namespace vantrel {
namespace {

using test::Bitmap;

using Quadrant = std::vector<std::vector<int>>;  // [y][x], counted from the centre outward

// A constant picture after the vignette whose bottom-right quadrant alpha is
// `alpha`, mirrored into the other three, blended with the normal blend.
Bitmap Expected(int width, int height, int bpp, std::vector<std::uint8_t> pixel,
                const Quadrant& alpha, int opacity) {
    Bitmap expected = test::Constant(width, height, bpp, pixel);
    const int hw = width / 2, hh = height / 2;
    for (int y = 0; y < hh; ++y) {
        for (int x = 0; x < hw; ++x) {
            const std::uint8_t layer[4] = {0, 0, 0, static_cast<std::uint8_t>(alpha[y][x])};
            for (int px : {hw - 1 - x, hw + x}) {
                for (int py : {hh - 1 - y, hh + y}) {
                    std::uint8_t* p = expected->GetPixel(px, py);
                    Blend(p, layer, p, opacity);
                }
            }
        }
    }
    return expected;
}

struct VignetteCase {
    int width, height;
    double ratio;
    Quadrant alpha;
};

// Alphas worked out by hand in double: the ellipse test, the focal sums and
// t * 255 * t truncated. The 6 x 4 one differs in four places when computed
// in float (51, 51, 101, 204 for 50, 50, 102, 203).
const VignetteCase kCases[] = {
    {10, 6, 0.5, {{0, 0, 0, 14, 133}, {0, 0, 0, 33, 162}, {6, 10, 32, 101, 255}}},
    {11, 7, 0.5, {{0, 0, 0, 14, 133}, {0, 0, 0, 33, 162}, {6, 10, 32, 101, 255}}},
    {6, 4, 0.0, {{0, 50, 203}, {50, 102, 255}}},
    {10, 6, 0.0, {{0, 12, 50, 114, 203}, {12, 25, 63, 127, 216}, {50, 63, 102, 165, 255}}},
};

class DarkenCornerBpp : public ::testing::TestWithParam<int> {};

TEST_P(DarkenCornerBpp, DarkensByTheMirroredQuadrant) {
    const int bpp = GetParam();
    const std::vector<std::uint8_t> gray{200, 150, 90, 77};
    const std::vector<std::uint8_t> pixel(gray.begin(), gray.begin() + bpp);
    for (const VignetteCase& c : kCases) {
        for (int opacity : {200, 255, 37}) {
            Bitmap bitmap = test::Constant(c.width, c.height, bpp, pixel);
            ASSERT_EQ(DarkenCorner(*bitmap, c.ratio, opacity), 1);
            // With odd sizes the last column and row keep the constant.
            EXPECT_EQ(test::Pixels(*bitmap),
                      test::Pixels(*Expected(c.width, c.height, bpp, pixel, c.alpha, opacity)))
                << c.width << "x" << c.height << " ratio " << c.ratio << " opacity " << opacity;
        }
    }
}

TEST_P(DarkenCornerBpp, CentreAndEllipseStayAtEveryOpacity) {
    const int bpp = GetParam();
    for (int opacity : {0, 1, 100, 200, 254, 255, 1000, -5}) {
        Bitmap bitmap = test::Noise(60, 40, bpp, 7);
        const Bitmap before = bitmap->Clone();
        ASSERT_EQ(DarkenCorner(*bitmap, 0.6, opacity), 1);
        // Well inside the ellipse of semi-axes 18 x 12.
        for (int y = 12; y < 28; ++y) {
            for (int x = 18; x < 42; ++x) {
                ASSERT_EQ(test::PixelAt(*bitmap, x, y), test::PixelAt(*before, x, y))
                    << x << "," << y << " opacity " << opacity;
            }
        }
        if (bpp == TiRGBABpp) test::ExpectAlphaUnchanged(*before, *bitmap);
        const bool darker = test::PixelAt(*bitmap, 0, 0) != test::PixelAt(*before, 0, 0);
        EXPECT_EQ(darker, opacity > 0) << "corner at opacity " << opacity;
    }
    // Ratio 0 leaves only the four pixels around the centre untouched.
    Bitmap bitmap = test::Constant(8, 8, bpp, {200, 200, 200, 200});
    ASSERT_EQ(DarkenCorner(*bitmap, 0.0, 255), 1);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            const bool centre = (x == 3 || x == 4) && (y == 3 || y == 4);
            EXPECT_EQ(bitmap->GetPixel(x, y)[0] == 200, centre) << x << "," << y;
        }
    }
}

TEST_P(DarkenCornerBpp, ViewsAndRefusals) {
    const int bpp = GetParam();
    auto make = [bpp] { return test::Noise(50, 36, bpp, 2); };
    auto vignette = [](TiBitmapData& b) { return DarkenCorner(b, 0.4, 200); };
    test::ExpectViewMatchesPackedCopy(make, 5, 3, 41, 29, vignette);
    // The table of squares, the quadrant's alphas and its layer.
    EXPECT_EQ(test::ExpectRefusalsLeaveBitmapUnchanged(make, vignette), 3);
}

INSTANTIATE_TEST_SUITE_P(BytesPerPixel, DarkenCornerBpp, ::testing::Values(3, 4));

TEST(DarkenCorner, TinyPicturesAndFullRatio) {
    // Quadrants of one pixel: the corner is no farther than the centre, so
    // there is nothing to normalise over and nothing darkens.
    for (auto size : {std::pair{2, 2}, std::pair{3, 3}, std::pair{1, 9}, std::pair{9, 1}}) {
        Bitmap bitmap = test::Noise(size.first, size.second, TiRGBABpp);
        const auto before = test::Pixels(*bitmap);
        EXPECT_EQ(DarkenCorner(*bitmap, 0.0, 255), 1);
        EXPECT_EQ(test::Pixels(*bitmap), before);
    }
    // Ratio 1: corners get alpha 255 (black at full opacity); the pixels on
    // the centre lines stay.
    Bitmap bitmap = test::Constant(40, 30, TiRGBBpp, {255, 255, 255});
    ASSERT_EQ(DarkenCorner(*bitmap, 1.0, 255), 1);
    for (auto corner : {std::pair{0, 0}, std::pair{39, 0}, std::pair{0, 29}, std::pair{39, 29}}) {
        EXPECT_EQ(test::PixelAt(*bitmap, corner.first, corner.second), (test::Rgba{0, 0, 0, 0}));
    }
    for (int x = 0; x < 40; ++x) EXPECT_EQ(bitmap->GetPixel(x, 15)[0], 255) << x;
    for (int y = 0; y < 30; ++y) EXPECT_EQ(bitmap->GetPixel(20, y)[0], 255) << y;
}

TEST(DarkenCorner, RefusesRatiosOutsideTheUnitAndGrayPixels) {
    Bitmap bitmap = test::Noise(20, 20, TiRGBABpp);
    for (double ratio : {1.0000001, -0.1, std::numeric_limits<double>::quiet_NaN()}) {
        test::ExpectAssertion([&] { DarkenCorner(*bitmap, ratio, 200); },
                              "brightRatio <= 1.0 && brightRatio >= 0.0", "DarkenCorner",
                              "Core/filter/Lomo", 259);
    }
    Bitmap gray = test::Noise(20, 20, 1);
    const auto before = test::Pixels(*gray);
    EXPECT_EQ(DarkenCorner(*gray, 0.5, 200), 0);
    EXPECT_EQ(test::Pixels(*gray), before);
}

}  // namespace
}  // namespace vantrel
