#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "Core/base/BlendMode.h"
#include "Core/base/GrayInvert.h"
#include "Core/base/Levels.h"
#include "Core/filter/GasBlur.h"
#include "Core/filter/Sketch.h"
#include "support/TestImages.h"

namespace vantrel {
namespace {

using test::Bitmap;

// The drawing step by step as it is laid out: gray, copy, invert, blur,
// colour dodge at full opacity, levels 150..255.
std::vector<std::uint8_t> StepByStep(const TiBitmapData& picture, int radius) {
    Bitmap bitmap = picture.Clone(false);
    ConvertToGray(*bitmap);
    Bitmap copy = bitmap->Clone(false);
    InvertColor(*copy);
    GasBlur(*copy, radius);
    BlendMode(*bitmap, 0, *copy, 0, kBlendColorDodge, 1.0);
    AdjustLevels(*bitmap, 150, 255, 1.0, 0);
    return test::Pixels(*bitmap);
}

class SketchBpp : public ::testing::TestWithParam<int> {};

TEST_P(SketchBpp, DrawsAsGrayDodgedByTheBlurredInverse) {
    const int bpp = GetParam();
    for (int radius : {0, 1, 2, 5, 20}) {
        Bitmap bitmap = test::Noise(37, 29, bpp, radius + 1);
        const auto expected = StepByStep(*bitmap, radius);
        ASSERT_EQ(Sketch(*bitmap, radius), 1);
        EXPECT_EQ(test::Pixels(*bitmap), expected) << "radius " << radius;
    }
}

TEST_P(SketchBpp, ViewsAndRefusals) {
    const int bpp = GetParam();
    auto make = [bpp] { return test::Gradient(40, 30, bpp); };
    test::ExpectViewMatchesPackedCopy(make, 4, 3, 31, 22,
                                      [](TiBitmapData& b) { return Sketch(b, 5); });
    // The copy, its blur's line buffers and the blend table.
    EXPECT_EQ(test::ExpectRefusalsLeaveBitmapUnchanged(
                  make, [](TiBitmapData& b) { return Sketch(b, 5); }),
              3);
}

INSTANTIATE_TEST_SUITE_P(BytesPerPixel, SketchBpp, ::testing::Values(3, 4));

TEST(Sketch, FlatAreasGoWhiteAlphaStaysGrayIsRefused) {
    Bitmap bitmap = test::Constant(12, 9, TiRGBABpp, {90, 160, 40, 123});
    ASSERT_EQ(Sketch(*bitmap, 3), 1);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 12; ++x)
            ASSERT_EQ(std::vector<std::uint8_t>(bitmap->GetPixel(x, y), bitmap->GetPixel(x, y) + 4),
                      (std::vector<std::uint8_t>{255, 255, 255, 123}));

    Bitmap gray = test::Noise(6, 6, 1);
    const auto before = test::Pixels(*gray);
    EXPECT_EQ(Sketch(*gray, 3), 0);
    EXPECT_EQ(test::Pixels(*gray), before);
}

}  // namespace
}  // namespace vantrel
