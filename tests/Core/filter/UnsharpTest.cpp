#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "Core/base/BlendMode.h"
#include "Core/base/BrightnessContrast.h"
#include "Core/filter/GasBlur.h"
#include "Core/filter/Unsharp.h"
#include "support/Assertions.h"
#include "support/TestImages.h"

namespace vantrel {
namespace {

using test::Bitmap;
using test::Rgba;

constexpr const char kFile[] = "Core/filter/Unsharp";

// Unsharp from its definition: the blurred copy, then each colour byte i with
// blurred value j pushed by amount / 100 * (i - j) in double.
std::vector<std::uint8_t> SharpenedByDefinition(const TiBitmapData& picture, int amount, int radius,
                                                int threshold) {
    Bitmap bitmap = picture.Clone(false);
    Bitmap blurred = picture.Clone(false);
    GasBlur(*blurred, radius);
    for (int y = 0; y < bitmap->GetHeight(); ++y) {
        for (int x = 0; x < bitmap->GetWidth(); ++x) {
            for (int c = 0; c < 3; ++c) {
                std::uint8_t& byte = bitmap->GetPixel(x, y)[c];
                const int d = byte - blurred->GetPixel(x, y)[c];
                if (std::abs(d) < threshold) continue;
                const double v = byte + (amount / 100.0) * d;
                byte = v < 0 ? 0 : (v > 255 ? 255 : static_cast<std::uint8_t>(v));
            }
        }
    }
    return test::Pixels(*bitmap);
}

// The centre of a strip whose neighbours pull its tent-blurred value to
// `blurred` (radius 3 on five pixels: 1-2-3-2-1 over 9).
int SharpenedCentre(int centre, int neighbours, int amount, int threshold) {
    const Rgba n{static_cast<std::uint8_t>(neighbours), 0, 0, 255};
    const Rgba c{static_cast<std::uint8_t>(centre), 0, 0, 255};
    Bitmap strip = test::Strip(TiRGBABpp, {n, n, c, n, n});
    EXPECT_EQ(Unsharp(*strip, amount, 3, threshold), 1);
    return test::PixelAt(*strip, 2, 0)[0];
}

TEST(Unsharp, PushesAwayFromTheBlurInDouble) {
    // Neighbours 250 around 100 blur the centre to (6 * 250 + 300 + 4) / 9 = 200.
    // 100 + 0.55 * -100 is 44.99999999999999 in double, 45 in float;
    // 100 + 0.54 * -100 is 46 in double, 45.999996 in float.
    EXPECT_EQ(SharpenedCentre(100, 250, 55, 0), 44);
    EXPECT_EQ(SharpenedCentre(100, 250, 54, 0), 46);
    // Clamped below: 100 - 2 * 100.
    EXPECT_EQ(SharpenedCentre(100, 250, 200, 0), 0);
    // The threshold compares |i - j| = 100 strictly.
    EXPECT_EQ(SharpenedCentre(100, 250, 50, 100), 50);
    EXPECT_EQ(SharpenedCentre(100, 250, 50, 101), 100);
    // Neighbours 0 around 250 blur it to (750 + 4) / 9 = 83; + 5 * 167, clamped.
    EXPECT_EQ(SharpenedCentre(250, 0, 500, 0), 255);
}

class UnsharpBpp : public ::testing::TestWithParam<int> {};

TEST_P(UnsharpBpp, MatchesTheDefinitionAndKeepsAlpha) {
    const int bpp = GetParam();
    const int cases[][3] = {{50, 10, 5}, {150, 2, 0}, {500, 7, 40}, {29, 3, 0}, {1, 30, 1}};
    for (const auto& c : cases) {
        Bitmap bitmap = test::Noise(41, 27, bpp, c[0]);
        const Bitmap before = bitmap->Clone();
        const auto expected = SharpenedByDefinition(*bitmap, c[0], c[1], c[2]);
        ASSERT_EQ(Unsharp(*bitmap, c[0], c[1], c[2]), 1);
        EXPECT_EQ(test::Pixels(*bitmap), expected) << c[0] << " " << c[1] << " " << c[2];
        if (bpp == TiRGBABpp) test::ExpectAlphaUnchanged(*before, *bitmap);
    }
}

TEST_P(UnsharpBpp, ChangesNothingWithoutBlurAmountOrReachableThreshold) {
    const int bpp = GetParam();
    const int cases[][3] = {{300, 0, 0}, {300, 1, 0}, {0, 9, 0}, {300, 9, 256}, {300, 9, 1 << 30}};
    for (const auto& c : cases) {
        Bitmap bitmap = test::Noise(23, 19, bpp, 3);
        const auto before = test::Pixels(*bitmap);
        EXPECT_EQ(Unsharp(*bitmap, c[0], c[1], c[2]), 1);
        EXPECT_EQ(test::Pixels(*bitmap), before) << c[0] << " " << c[1] << " " << c[2];
    }
}

TEST_P(UnsharpBpp, ViewsAndRefusals) {
    const int bpp = GetParam();
    auto make = [bpp] { return test::Noise(40, 30, bpp, 9); };
    auto sharpen = [](TiBitmapData& b) { return Unsharp(b, 120, 4, 3); };
    test::ExpectViewMatchesPackedCopy(make, 5, 3, 29, 21, sharpen);
    // The copy, its blur's line buffer and the table.
    EXPECT_EQ(test::ExpectRefusalsLeaveBitmapUnchanged(make, sharpen), 3);
}

TEST(Unsharp, AssertsItsArgumentsInOrder) {
    Bitmap rgba = test::Noise(4, 4, TiRGBABpp);
    Bitmap gray = test::Noise(4, 4, 1);
    test::ExpectAssertion([&] { Unsharp(*gray, -1, -1, -1); }, "amount >= 0", "Unsharp", kFile, 17);
    test::ExpectAssertion([&] { Unsharp(*gray, 0, -1, -1); }, "threshold >= 0", "Unsharp", kFile,
                          18);
    test::ExpectAssertion([&] { Unsharp(*rgba, 0, -1, 0); }, "radius >= 0", "Unsharp", kFile, 19);
    test::ExpectAssertion([&] { Unsharp(*gray, 0, 0, 0); },
                          "bitmap.GetBpp() == TiRGBABpp || bitmap.GetBpp() == TiRGBBpp", "Unsharp",
                          kFile, 20);
}

// The glow step by step: brightness and contrast on a copy, its blur, then
// soft light over the picture at full opacity.
std::vector<std::uint8_t> GlowStepByStep(const TiBitmapData& picture, int radius, float brightness,
                                         float sharpness) {
    Bitmap bitmap = picture.Clone(false);
    Bitmap glow = picture.Clone(false);
    AdjustBrightnessContrast(*glow, brightness, sharpness);
    GasBlur(*glow, radius);
    BlendMode(*bitmap, 0, *glow, 0, kBlendSoftLight, 1.0);
    return test::Pixels(*bitmap);
}

class SoftGlowBpp : public ::testing::TestWithParam<int> {};

TEST_P(SoftGlowBpp, LaysTheBrightenedBlurOverInSoftLight) {
    const int bpp = GetParam();
    // (0, 0) still glows; 1.5 is refused by the adjustment and the glow goes on.
    const float cases[][3] = {{6, 0, 0}, {3, 0.4f, 0.2f}, {10, -0.3f, 0.7f}, {4, 1.5f, 0}};
    for (const auto& c : cases) {
        Bitmap bitmap = test::Gradient(37, 25, bpp);
        const Bitmap before = bitmap->Clone();
        const auto expected = GlowStepByStep(*bitmap, static_cast<int>(c[0]), c[1], c[2]);
        ASSERT_EQ(SoftGlow(*bitmap, static_cast<int>(c[0]), c[1], c[2]), 1);
        EXPECT_EQ(test::Pixels(*bitmap), expected) << c[0] << " " << c[1] << " " << c[2];
        if (bpp == TiRGBABpp) test::ExpectAlphaUnchanged(*before, *bitmap);
    }
    Bitmap flat = test::Gradient(37, 25, bpp);
    const auto before = test::Pixels(*flat);
    SoftGlow(*flat, 6, 0, 0);
    EXPECT_NE(test::Pixels(*flat), before) << "soft light changes mid tones even without boosts";
}

TEST_P(SoftGlowBpp, ViewsAndRefusals) {
    const int bpp = GetParam();
    auto make = [bpp] { return test::Noise(40, 30, bpp, 4); };
    auto glow = [](TiBitmapData& b) { return SoftGlow(b, 5, 0.2f, 0.1f); };
    test::ExpectViewMatchesPackedCopy(make, 3, 2, 30, 25, glow);
    // The copy, its blur's line buffer and the blend table.
    EXPECT_EQ(test::ExpectRefusalsLeaveBitmapUnchanged(make, glow), 3);
}

INSTANTIATE_TEST_SUITE_P(BytesPerPixel, UnsharpBpp, ::testing::Values(3, 4));
INSTANTIATE_TEST_SUITE_P(BytesPerPixel, SoftGlowBpp, ::testing::Values(3, 4));

TEST(SoftGlow, RefusesOneBytePixels) {
    Bitmap gray = test::Noise(8, 8, 1);
    const auto before = test::Pixels(*gray);
    EXPECT_EQ(SoftGlow(*gray, 4, 0, 0), 0);
    EXPECT_EQ(test::Pixels(*gray), before);
}

}  // namespace
}  // namespace vantrel
