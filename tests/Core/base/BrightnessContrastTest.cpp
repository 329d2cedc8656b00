#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "Core/base/BrightnessContrast.h"
#include "support/TestImages.h"

namespace vantrel {
namespace {

using test::Rgba;

// A strip of gray pixels, one per value.
test::Bitmap Grays(const std::vector<int>& values) {
    std::vector<Rgba> pixels;
    for (int v : values) {
        const auto b = static_cast<std::uint8_t>(v);
        pixels.push_back({b, b, b, 255});
    }
    return test::Strip(TiRGBABpp, pixels);
}

int GrayAt(const TiBitmapData& bitmap, int x) {
    return bitmap.GetPixel(x, 0)[0];
}

TEST(ComputeMeanLuminance, MeanOfIntegerLumaTruncates) {
    // Lumas 76 (pure red), 150 (pure green), 29 (pure blue) and 255.
    auto bitmap =
        test::Strip(TiRGBBpp, {{255, 0, 0, 0}, {0, 255, 0, 0}, {0, 0, 255, 0}, {255, 255, 255, 0}});
    EXPECT_EQ(ComputeMeanLuminance(*bitmap), (76 + 150 + 29 + 255) / 4);
    unsigned char byte = 0;
    EXPECT_EQ(ComputeMeanLuminance(TiBitmapData(&byte, 0, 0, 0, TiRGBABpp, false)), 0);
}

TEST(AdjustBrightnessContrast, ZeroIsTheIdentityAndOutOfRangeIsRefused) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const auto original = test::Noise(16, 16, TiRGBABpp);
    auto bitmap = original->Clone(false);
    EXPECT_EQ(AdjustBrightnessContrast(*bitmap, 0.0f, 0.0f), 1);
    EXPECT_EQ(test::Pixels(*bitmap), test::Pixels(*original));
    for (auto [brightness, contrast] : {std::pair{0.0f, 1.5f}, std::pair{-1.01f, 0.0f},
                                        std::pair{nan, 0.0f}, std::pair{0.0f, nan}}) {
        EXPECT_EQ(AdjustBrightnessContrast(*bitmap, brightness, contrast), 0);
        EXPECT_EQ(test::Pixels(*bitmap), test::Pixels(*original));
    }
}

TEST(AdjustBrightnessContrast, BrightnessScalesAroundZeroInFloat) {
    auto lifted = Grays({0, 100, 200});
    ASSERT_EQ(AdjustBrightnessContrast(*lifted, 0.5f, 0.0f), 1);
    EXPECT_EQ(GrayAt(*lifted, 0), 0);
    EXPECT_EQ(GrayAt(*lifted, 1), 150);
    EXPECT_EQ(GrayAt(*lifted, 2), 255);
    // 100 · (1 - 0.99) lands a hair above 1 in float (a hair below in double).
    auto dimmed = Grays({100, 200, 255});
    ASSERT_EQ(AdjustBrightnessContrast(*dimmed, -0.99f, 0.0f), 1);
    EXPECT_EQ(GrayAt(*dimmed, 0), 1);
    EXPECT_EQ(GrayAt(*dimmed, 1), 2);
    EXPECT_EQ(GrayAt(*dimmed, 2), 2);
}

TEST(AdjustBrightnessContrast, ContrastWorksAroundTheMeanLuma) {
    // Mean luma 100: contrast -0.95 pulls 0 and 200 toward it; 95 in float,
    // 94 in double.
    auto softer = Grays({0, 200});
    ASSERT_EQ(AdjustBrightnessContrast(*softer, 0.0f, -0.95f), 1);
    EXPECT_EQ(GrayAt(*softer, 0), 95);
    EXPECT_EQ(GrayAt(*softer, 1), 105);

    // Mean luma 0 (one pixel of 99 among 99 black ones): contrast 0.01 lifts
    // 99 to 99.99999 in double, to 100 in float.
    std::vector<int> values(100, 0);
    values[42] = 99;
    auto harder = Grays(values);
    ASSERT_EQ(AdjustBrightnessContrast(*harder, 0.0f, 0.01f), 1);
    EXPECT_EQ(GrayAt(*harder, 42), 100);

    // Full contrast: everything but the mean goes to an end.
    auto full = Grays({60, 100, 140, 99, 101});
    ASSERT_EQ(ComputeMeanLuminance(*full), 100);
    ASSERT_EQ(AdjustBrightnessContrast(*full, 0.0f, 1.0f), 1);
    EXPECT_EQ(GrayAt(*full, 0), 0);
    EXPECT_EQ(GrayAt(*full, 1), 100);
    EXPECT_EQ(GrayAt(*full, 2), 255);
    EXPECT_EQ(GrayAt(*full, 3), 0);
    EXPECT_EQ(GrayAt(*full, 4), 255);
}

TEST(AdjustBrightnessContrast, BrightnessComesFirstForRaisedContrast) {
    // Mean 100, contrast 0.5 (factor 255), brightness 0.1: 100 is lifted to
    // 110 first and then pushed 10 further from the mean.
    auto bitmap = Grays({99, 100, 101, 100});
    ASSERT_EQ(ComputeMeanLuminance(*bitmap), 100);
    ASSERT_EQ(AdjustBrightnessContrast(*bitmap, 0.1f, 0.5f), 1);
    EXPECT_EQ(GrayAt(*bitmap, 0), 116);
    EXPECT_EQ(GrayAt(*bitmap, 1), 120);
    EXPECT_EQ(GrayAt(*bitmap, 2), 122);
}

}  // namespace
}  // namespace vantrel
