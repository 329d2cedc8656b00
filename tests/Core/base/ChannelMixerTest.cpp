#include <gtest/gtest.h>

#include <limits>

#include "Core/base/ChannelMixer.h"
#include "support/TestImages.h"

namespace vantrel {
namespace {

using test::Rgba;

TinyChannelMixer Mixer(TinyChannelMixScale red, TinyChannelMixScale green,
                       TinyChannelMixScale blue) {
    return TinyChannelMixer{red, green, blue};
}

TEST(MixChannels, IdentityCoefficientsLeaveThePicture) {
    const auto original = test::RgbCube(40, 30, TiRGBBpp);
    auto bitmap = original->Clone(false);
    ASSERT_EQ(MixChannels(*bitmap, Mixer({1, 0, 0}, {0, 1, 0}, {0, 0, 1})), 1);
    EXPECT_EQ(test::Pixels(*bitmap), test::Pixels(*original));
}

TEST(MixChannels, LaterChannelsReadTheNewlyMixedOnes) {
    // Red from green and green from red: green sees the new red.
    auto swapped = test::Strip(TiRGBABpp, {{10, 20, 30, 40}});
    ASSERT_EQ(MixChannels(*swapped, Mixer({0, 1, 0}, {1, 0, 0}, {0, 0, 1})), 1);
    EXPECT_EQ(test::PixelAt(*swapped, 0, 0), (Rgba{20, 20, 30, 40}));
    // Blue from red and green: the new ones, 20 + 20.
    auto summed = test::Strip(TiRGBABpp, {{10, 20, 30, 40}});
    ASSERT_EQ(MixChannels(*summed, Mixer({0, 1, 0}, {1, 0, 0}, {1, 1, 0})), 1);
    EXPECT_EQ(test::PixelAt(*summed, 0, 0), (Rgba{20, 20, 40, 40}));
}

TEST(MixChannels, TablesTruncateFloatProductsAndSumsClamp) {
    // 100 · 0.01f is 1.0 in float (0.99999998 in double).
    auto bitmap = test::Strip(TiRGBBpp, {{100, 200, 50, 0}, {200, 10, 250, 0}});
    ASSERT_EQ(MixChannels(*bitmap, Mixer({0.01f, 0, 0}, {0.9f, 0.9f, 0}, {0, -1.0f, 0.5f})), 1);
    // Green reads the new red (1): 0 + 180; blue: -180 + 25 clamps to 0.
    EXPECT_EQ(test::PixelAt(*bitmap, 0, 0), (Rgba{1, 180, 0, 0}));
    // Red 2; green 1 + 9 = 10; blue -10 + 125 = 115.
    EXPECT_EQ(test::PixelAt(*bitmap, 1, 0), (Rgba{2, 10, 115, 0}));

    // Scales this large take the 64-bit sums; ordinary results stay exact.
    auto strong = test::Strip(TiRGBBpp, {{12, 12, 3, 0}});
    ASSERT_EQ(MixChannels(*strong, Mixer({20, -19.5f, 0}, {0, 1, 0}, {0, 0, 30})), 1);
    EXPECT_EQ(test::PixelAt(*strong, 0, 0), (Rgba{6, 12, 90, 0}));  // 240 - 234

    auto bright = test::Strip(TiRGBBpp, {{200, 200, 200, 0}});
    ASSERT_EQ(MixChannels(*bright, Mixer({1, 1, 1}, {0, 0, 0.5f}, {-2, 0, 0})), 1);
    EXPECT_EQ(test::PixelAt(*bright, 0, 0), (Rgba{255, 100, 0, 0}));
}

TEST(MixChannels, WildCoefficientsSaturateWithoutOverflow) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    auto bitmap = test::Strip(TiRGBBpp, {{5, 5, 5, 0}, {0, 5, 0, 0}});
    // Red: the int range's top plus its bottom is -1, so 0; green: NaN counts
    // 0, infinity saturates; blue: three saturated tops still clamp to 255.
    ASSERT_EQ(MixChannels(*bitmap, Mixer({1e30f, -inf, 0}, {nan, inf, 0}, {inf, inf, inf})), 1);
    EXPECT_EQ(test::PixelAt(*bitmap, 0, 0), (Rgba{0, 255, 255, 0}));
    EXPECT_EQ(test::PixelAt(*bitmap, 1, 0), (Rgba{0, 255, 255, 0}));
}

TEST(MixChannelsToGray, WeightedSumOfTruncatedShares) {
    // 40 + 20 + 40; and 10 · 0.7f is 7.0 in float (6.99999988 in double).
    auto bitmap = test::Strip(TiRGBABpp, {{100, 50, 200, 9}, {10, 0, 0, 8}, {255, 255, 255, 7}});
    ASSERT_EQ(MixChannelsToGray(*bitmap, {0.4f, 0.4f, 0.2f}), 1);
    EXPECT_EQ(test::PixelAt(*bitmap, 0, 0), (Rgba{100, 100, 100, 9}));
    EXPECT_EQ(test::PixelAt(*bitmap, 2, 0), (Rgba{255, 255, 255, 7}));
    auto single = test::Strip(TiRGBABpp, {{10, 0, 0, 8}, {250, 250, 250, 6}});
    ASSERT_EQ(MixChannelsToGray(*single, {0.7f, -0.5f, 0.0f}), 1);
    EXPECT_EQ(test::PixelAt(*single, 0, 0), (Rgba{7, 7, 7, 8}));
    EXPECT_EQ(test::PixelAt(*single, 1, 0), (Rgba{50, 50, 50, 6}));
}

}  // namespace
}  // namespace vantrel
