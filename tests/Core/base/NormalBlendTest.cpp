#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "Core/base/NormalBlend.h"
#include "support/Assertions.h"
#include "support/TestImages.h"

namespace vantrel {
namespace {

using test::ExpectAssertion;
using Px = std::array<unsigned char, 4>;

Px Blended(Px bg, Px fg, int opacity, unsigned char dstAlpha = 77) {
    Px dst{1, 2, 3, dstAlpha};
    Blend(bg.data(), fg.data(), dst.data(), opacity);
    return dst;
}

TEST(Blend, WeighsForegroundAlphaTimesOpacityAgainstTheRest) {
    const Px bg{10, 100, 250, 255};
    EXPECT_EQ(Blended(bg, {200, 0, 60, 255}, 255), (Px{200, 0, 60, 77})) << "copies the foreground";
    EXPECT_EQ(Blended(bg, {200, 0, 60, 255}, 0), (Px{10, 100, 250, 77})) << "keeps the background";
    EXPECT_EQ(Blended(bg, {200, 0, 60, 0}, 200), (Px{10, 100, 250, 77}));
    // Weights 200 and 55: (fg * 200 + bg * 55) / 255.
    EXPECT_EQ(Blended(bg, {200, 0, 60, 255}, 200), (Px{159, 21, 100, 77}));
    // Alpha 128 at 200 rounds to a weight of 100; the sum is 155.
    EXPECT_EQ(Blended(bg, {200, 0, 60, 128}, 200), (Px{132, 35, 127, 77}));
    // Wild opacities act as the nearest of 0 and 255.
    EXPECT_EQ(Blended(bg, {200, 0, 60, 255}, 1000), Blended(bg, {200, 0, 60, 255}, 255));
    EXPECT_EQ(Blended(bg, {200, 0, 60, 255}, -7), Blended(bg, {200, 0, 60, 255}, 0));

    Px inPlace{10, 100, 250, 9};
    const Px fg{200, 0, 60, 255};
    Blend(inPlace.data(), fg.data(), inPlace.data(), 200);
    EXPECT_EQ(inPlace, (Px{159, 21, 100, 9}));

    ExpectAssertion([&] { Blend(nullptr, fg.data(), inPlace.data(), 1); }, "bgColor", "Blend",
                    "Core/base/NormalBlend", 14);
    ExpectAssertion([&] { Blend(fg.data(), nullptr, inPlace.data(), 1); }, "fgColor", "Blend",
                    "Core/base/NormalBlend", 15);
    ExpectAssertion([&] { Blend(fg.data(), fg.data(), nullptr, 1); }, "dstColor", "Blend",
                    "Core/base/NormalBlend", 16);
}

// A fully transparent layer pixel at opacity 255 gives both weights 0; it
// used to turn the background black.
TEST(Blend, TransparentLayerPixelAtFullOpacityKeepsTheBackground) {
    EXPECT_EQ(Blended({10, 100, 250, 255}, {200, 0, 60, 0}, 255), (Px{10, 100, 250, 77}));
    auto bitmap = test::Constant(3, 2, 4, {10, 100, 250, 255});
    const std::vector<unsigned char> layer(3 * 2 * 4, 0);
    ASSERT_EQ(BlendLayerMask(*bitmap, layer.data(), 0, 0, 3, 2, 255), 1);
    EXPECT_EQ(test::Pixels(*bitmap), test::Pixels(*test::Constant(3, 2, 4, {10, 100, 250, 255})));
}

// The layer pass divides by a multiplication: it must agree with Blend on
// every foreground alpha, at every kind of opacity.
class LayerMaskSizes : public ::testing::TestWithParam<int> {};

TEST_P(LayerMaskSizes, EveryPixelIsTheBlendOfOnePixel) {
    const int bpp = GetParam();
    const auto layer = test::Noise(256, 96, 4, 11);
    for (int opacity : {0, 1, 77, 128, 200, 254, 255, 400}) {
        const auto before = test::Noise(300, 110, bpp, 12);
        auto bitmap = before->Clone();
        ASSERT_EQ(BlendLayerMask(*bitmap, layer->GetData(), 30, 7, 256, 96, opacity), 1);
        for (int y = 0; y < 110; ++y) {
            for (int x = 0; x < 300; ++x) {
                std::array<unsigned char, 4> expected{};
                std::copy_n(before->GetPixel(x, y), bpp, expected.begin());
                if (x >= 30 && x < 286 && y >= 7 && y < 103) {
                    Blend(expected.data(), layer->GetPixel(x - 30, y - 7), expected.data(),
                          opacity);
                }
                ASSERT_EQ(0, std::memcmp(bitmap->GetPixel(x, y), expected.data(), bpp))
                    << x << "," << y << " at opacity " << opacity;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(RgbAndRgba, LayerMaskSizes, ::testing::Values(3, 4));

TEST(BlendLayerMask, PlacementViewsAndRefusals) {
    const auto layer = test::Noise(4, 3, 4, 5);
    const auto lay = [&](TiBitmapData& b) {
        return BlendLayerMask(b, layer->GetData(), 2, 1, 4, 3, 180);
    };
    test::ExpectViewMatchesPackedCopy([] { return test::Noise(14, 9, 4, 3); }, 5, 2, 7, 5, lay);

    auto gray = test::Gradient(8, 8, 1);
    EXPECT_EQ(lay(*gray), 0);

    auto bitmap = test::Gradient(8, 6, 4);
    const auto original = test::Pixels(*bitmap);
    const char* file = "Core/base/NormalBlend";
    ExpectAssertion([&] { BlendLayerMask(*bitmap, nullptr, 0, 0, 4, 3, 255); }, "mask",
                    "BlendLayerMask", file, 52);
    ExpectAssertion([&] { BlendLayerMask(*bitmap, layer->GetData(), 5, 0, 4, 3, 255); },
                    "maskX >= 0 && maskX + maskWidth <= width", "BlendLayerMask", file, 53);
    ExpectAssertion([&] { BlendLayerMask(*bitmap, layer->GetData(), -1, 0, 4, 3, 255); },
                    "maskX >= 0 && maskX + maskWidth <= width", "BlendLayerMask", file, 53);
    ExpectAssertion([&] { BlendLayerMask(*bitmap, layer->GetData(), 0, 4, 4, 3, 255); },
                    "maskY >= 0 && maskY + maskHeight <= height", "BlendLayerMask", file, 54);
    ExpectAssertion([&] { BlendLayerMask(*bitmap, layer->GetData(), 2147483647, 0, 4, 1, 255); },
                    "maskX >= 0 && maskX + maskWidth <= width", "BlendLayerMask", file, 53);
    // An empty layer at the right edge starts its rows outside the bitmap.
    ExpectAssertion([&] { BlendLayerMask(*bitmap, layer->GetData(), 8, 0, 0, 3, 255); },
                    "x >=0 && x < m_width", "GetPixel", "Core/global/BitmapData.h", 85);
    EXPECT_EQ(test::Pixels(*bitmap), original);
}

}  // namespace
}  // namespace vantrel
