#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "Core/base/Flip.h"
#include "Core/base/QuarterTurn.h"
#include "Core/global/TiMemory.h"
#include "support/TestImages.h"

namespace vantrel {
namespace {

using test::Bitmap;

// Pixel (x, y) of a picture of `width` holds its number y * width + x in
// every byte.
Bitmap Numbered(int width, int height, int bpp) {
    return test::MakeBitmap(width, height, bpp, [width](int x, int y, int k) {
        return static_cast<std::uint8_t>(y * width + x + 40 * k);
    });
}

// The numbers of a picture's pixels, row after row.
std::vector<int> Numbers(const TiBitmapData& bitmap) {
    std::vector<int> numbers;
    for (int y = 0; y < bitmap.GetHeight(); ++y)
        for (int x = 0; x < bitmap.GetWidth(); ++x) numbers.push_back(bitmap.GetPixel(x, y)[0]);
    return numbers;
}

Bitmap Turn(const TiBitmapData& source, int turns) {
    Bitmap turned = RotateQuarterTurns(source, turns);
    EXPECT_TRUE(turned);
    if (turned) {
        EXPECT_EQ(turned->GetPitch(), turned->GetWidth() * turned->GetBpp());
    }
    return turned;
}

class QuarterTurnByBpp : public ::testing::TestWithParam<int> {};
INSTANTIATE_TEST_SUITE_P(QuarterTurn, QuarterTurnByBpp, ::testing::Values(1, 3, 4));

//   0 1 2        counter-clockwise: 2 5     half: 5 4 3     clockwise: 3 0
//   3 4 5                           1 4           2 1 0                4 1
//                                   0 3                                5 2
TEST_P(QuarterTurnByBpp, TurnsASmallPictureCounterClockwise) {
    const int bpp = GetParam();
    Bitmap source = Numbered(3, 2, bpp);
    Bitmap quarter = Turn(*source, 1);
    Bitmap half = Turn(*source, 2);
    Bitmap clockwise = Turn(*source, 3);
    ASSERT_TRUE(quarter && half && clockwise);
    EXPECT_EQ(quarter->GetWidth(), 2);
    EXPECT_EQ(quarter->GetHeight(), 3);
    EXPECT_EQ(Numbers(*quarter), (std::vector<int>{2, 5, 1, 4, 0, 3}));
    EXPECT_EQ(Numbers(*half), (std::vector<int>{5, 4, 3, 2, 1, 0}));
    EXPECT_EQ(Numbers(*clockwise), (std::vector<int>{3, 0, 4, 1, 5, 2}));
    for (int k = 0; k < bpp; ++k) EXPECT_EQ(quarter->GetPixel(1, 2)[k], 3 + 40 * k);
}

// Sizes that leave partial tiles, one that runs in bands, and thin ones.
TEST_P(QuarterTurnByBpp, TurnsComposeAsRotationsDo) {
    const int bpp = GetParam();
    for (const auto& size : {std::pair{130, 67}, std::pair{700, 500}, std::pair{1, 9},
                             std::pair{9, 1}, std::pair{64, 64}}) {
        Bitmap source = test::Noise(size.first, size.second, bpp, size.first);
        const std::vector<std::uint8_t> pixels = test::Pixels(*source);
        Bitmap once = Turn(*source, 1);
        ASSERT_TRUE(once);
        EXPECT_EQ(once->GetWidth(), size.second);
        EXPECT_EQ(once->GetHeight(), size.first);
        Bitmap twice = Turn(*once, 1);
        Bitmap thrice = Turn(*twice, 1);
        Bitmap four = Turn(*thrice, 1);
        EXPECT_EQ(test::Pixels(*four), pixels) << "4 x 90";
        EXPECT_EQ(test::Pixels(*Turn(*once, 3)), pixels) << "90 then 270";
        EXPECT_EQ(test::Pixels(*twice), test::Pixels(*Turn(*source, 2))) << "2 x 90 = 180";
        EXPECT_EQ(test::Pixels(*thrice), test::Pixels(*Turn(*source, -1))) << "3 x 90 = -90";
        EXPECT_EQ(test::Pixels(*once), test::Pixels(*Turn(*source, 5)));
        EXPECT_EQ(test::Pixels(*Turn(*source, 0)), pixels);
        Bitmap flipped = source->Clone();
        FlipBitmap(*flipped, true, true);
        EXPECT_EQ(test::Pixels(*twice), test::Pixels(*flipped)) << "180 = both flips";
    }
}

TEST_P(QuarterTurnByBpp, SourceViewsAreReadByTheirPitch) {
    const int bpp = GetParam();
    Bitmap parent = test::Noise(90, 80, bpp);
    auto region = parent->GetBitmapDataFromRect(7, 5, 70, 66);
    Bitmap packed = region->Clone(false);
    for (int turns = 0; turns < 4; ++turns) {
        EXPECT_EQ(test::Pixels(*Turn(*region, turns)), test::Pixels(*Turn(*packed, turns)))
            << turns << " turns";
    }
}

TEST(QuarterTurn, NullWhenMemoryCannotBeHad) {
    Bitmap source = test::Noise(6, 4, 4);
    const std::vector<std::uint8_t> before = test::Pixels(*source);
    for (int turns = 0; turns < 4; ++turns) {
        TiMemoryTestHook::FailAllocation(1);
        EXPECT_EQ(RotateQuarterTurns(*source, turns), nullptr);
        TiMemoryTestHook::Reset();
    }
    EXPECT_EQ(test::Pixels(*source), before);
}

}  // namespace
}  // namespace vantrel
