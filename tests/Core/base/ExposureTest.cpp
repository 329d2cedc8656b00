#include <gtest/gtest.h>

#include <limits>

#include "Core/base/Exposure.h"
#include "support/TestImages.h"

namespace vantrel {
namespace {

using test::Rgba;

// Red 50, 50, 50, 255 (three quarters of the picture at or below 50); green
// constant 80; blue runs 0, 100, 200, 255.
test::Bitmap Quad() {
    return test::Strip(TiRGBABpp,
                       {{50, 80, 0, 1}, {50, 80, 100, 2}, {50, 80, 200, 3}, {255, 80, 255, 4}});
}

TEST(AdjustExposure, ZeroAndNaNLeaveThePicture) {
    for (float exposure : {0.0f, -0.0f, std::numeric_limits<float>::quiet_NaN()}) {
        auto bitmap = test::Noise(12, 12, TiRGBABpp);
        const auto before = test::Pixels(*bitmap);
        EXPECT_EQ(AdjustExposure(*bitmap, exposure), 1);
        EXPECT_EQ(test::Pixels(*bitmap), before);
    }
}

TEST(AdjustExposure, BrighteningLiftsByTheShareAtOrBelowEachValue) {
    auto bitmap = Quad();
    ASSERT_EQ(AdjustExposure(*bitmap, 1.0f), 1);
    // Red 50: (0.75 · 0.2f + 1) · 50 + 0.5 is a hair over 58 with the
    // strength 1/5 taken in float (a hair under with 0.2 in double).
    EXPECT_EQ(test::PixelAt(*bitmap, 0, 0), (Rgba{58, 96, 0, 1}));
    EXPECT_EQ(test::PixelAt(*bitmap, 1, 0), (Rgba{58, 96, 110, 2}));  // 100 · 1.1 + 0.5
    EXPECT_EQ(test::PixelAt(*bitmap, 2, 0), (Rgba{58, 96, 230, 3}));  // 200 · 1.15 + 0.5
    EXPECT_EQ(test::PixelAt(*bitmap, 3, 0), (Rgba{255, 96, 255, 4}));
}

TEST(AdjustExposure, DarkeningScalesByShareOverStrengthPlusShare) {
    auto bitmap = Quad();
    ASSERT_EQ(AdjustExposure(*bitmap, -1.0f), 1);
    // Red 50: 0.75 / 1.75 · 50 + 0.5 = 21.9; green 80: 1 / 2 · 80 + 0.5.
    EXPECT_EQ(test::PixelAt(*bitmap, 0, 0), (Rgba{21, 40, 0, 1}));
    EXPECT_EQ(test::PixelAt(*bitmap, 1, 0), (Rgba{21, 40, 33, 2}));  // 0.5 / 1.5 · 100 + 0.5
    EXPECT_EQ(test::PixelAt(*bitmap, 3, 0), (Rgba{128, 40, 128, 4}));
}

TEST(AdjustExposure, InfiniteExposureStaysDefined) {
    auto up = Quad();
    ASSERT_EQ(AdjustExposure(*up, std::numeric_limits<float>::infinity()), 1);
    EXPECT_EQ(test::PixelAt(*up, 1, 0), (Rgba{255, 255, 255, 2}));
    auto down = Quad();
    ASSERT_EQ(AdjustExposure(*down, -std::numeric_limits<float>::infinity()), 1);
    EXPECT_EQ(test::PixelAt(*down, 3, 0), (Rgba{0, 0, 0, 4}));
}

}  // namespace
}  // namespace vantrel
