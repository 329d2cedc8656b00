#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "Core/filter/Emboss.h"
#include "support/Assertions.h"
#include "support/TestImages.h"

namespace vantrel {
namespace {

using test::Bitmap;

std::vector<std::uint8_t> Red(const TiBitmapData& bitmap) {
    std::vector<std::uint8_t> red;
    for (int y = 0; y < bitmap.GetHeight(); ++y)
        for (int x = 0; x < bitmap.GetWidth(); ++x) red.push_back(bitmap.GetPixel(x, y)[0]);
    return red;
}

TEST(Emboss, DegreesZeroComparesLeftAndRight) {
    // One row: the light at 0 degrees puts the samples highDegree / 2 to the
    // left and right, clamped at the ends.
    auto make = [] {
        return test::MakeBitmap(4, 1, TiRGBABpp, [](int x, int, int c) {
            return static_cast<std::uint8_t>(c == 3 ? 255 : 10 + 40 * x + c);
        });
    };
    Bitmap bitmap = make();
    ASSERT_EQ(Emboss(*bitmap, 0.0f, 2, 100), 1);
    EXPECT_EQ(Red(*bitmap), (std::vector<std::uint8_t>{168, 208, 208, 168}));
    bitmap = make();
    ASSERT_EQ(Emboss(*bitmap, 180.0f, 2, 250), 1);  // the light from the other side, stronger
    EXPECT_EQ(Red(*bitmap), (std::vector<std::uint8_t>{28, 0, 0, 28}));
}

TEST(Emboss, FlatPicturesFollowTheFloatWeights) {
    // Amount 0 is 128 whatever the samples.
    Bitmap flat = test::Constant(6, 5, TiRGBABpp, {200, 200, 200, 255});
    ASSERT_EQ(Emboss(*flat, 45.0f, 1, 0), 1);
    for (std::uint8_t v : Red(*flat)) EXPECT_EQ(v, 128);

    // At 45 degrees and height 1, the sample A of pixel (3, 0) of a flat 200
    // picture lies at (3 - s, s), s = float(sin(135 deg) / 2): its four float
    // weights sum just below 1, so it reads 199 where B reads 200.
    const float theta = 135.0f * 0.0174532924f;
    const float s =
        static_cast<float>(std::sin(theta) * 0.5 /
                           std::sqrt(static_cast<double>(std::cos(theta)) * std::cos(theta) +
                                     static_cast<double>(std::sin(theta)) * std::sin(theta)));
    const float fx = (3.0f - s) - 2.0f, fy = -std::cos(theta) * 0.5f;
    const float a =
        (1 - fx) * (1 - fy) * 200 + (1 - fx) * fy * 200 + fx * (1 - fy) * 200 + fx * fy * 200;
    ASSERT_LT(a, 200.0f);
    Bitmap bitmap = test::Constant(4, 4, TiRGBABpp, {200, 200, 200, 255});
    ASSERT_EQ(Emboss(*bitmap, 45.0f, 1, 100), 1);
    EXPECT_EQ(bitmap->GetPixel(3, 0)[0], 129);
    EXPECT_EQ(bitmap->GetPixel(1, 1)[0], 128);
}

TEST(Emboss, TransparentPixelsAndAlphaStay) {
    Bitmap bitmap = test::Noise(23, 19, TiRGBABpp, 4);
    for (int x = 0; x < 23; ++x) bitmap->GetPixel(x, 7)[3] = 0;
    const Bitmap before = bitmap->Clone();
    ASSERT_EQ(Emboss(*bitmap, -30.0f, 3, 150), 1);
    test::ExpectAlphaUnchanged(*before, *bitmap);
    for (int x = 0; x < 23; ++x)
        EXPECT_EQ(0, std::memcmp(bitmap->GetPixel(x, 7), before->GetPixel(x, 7), 4)) << x;
}

TEST(Emboss, ViewsRefusalsAndPixelSizes) {
    auto make = [] { return test::Noise(40, 30, TiRGBABpp, 6); };
    test::ExpectViewMatchesPackedCopy(make, 6, 4, 27, 21,
                                      [](TiBitmapData& b) { return Emboss(b, 60.0f, 4, 120); });
    EXPECT_EQ(test::ExpectRefusalsLeaveBitmapUnchanged(
                  make, [](TiBitmapData& b) { return Emboss(b, 60.0f, 4, 120); }),
              1);
    Bitmap rgb = test::Gradient(4, 4, TiRGBBpp);
    test::ExpectAssertion([&] { Emboss(*rgb, 0.0f, 3, 100); }, "bitmap.GetBpp() == TiRGBABpp",
                          "Emboss", "Core/filter/Emboss", 17);
}

}  // namespace
}  // namespace vantrel
