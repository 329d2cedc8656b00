#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "Core/filter/Noise.h"
#include "support/Assertions.h"
#include "support/TestImages.h"

namespace vantrel {
namespace {

using test::Bitmap;

// ---- AddNoise ---------------------------------------------------------------

// The expected grain, drawn here from the same generator
// state: colour grain draws red, green, blue in that order per pixel.
std::vector<std::uint8_t> ExpectedGrain(const TiBitmapData& before, int amount, bool colour,
                                        unsigned seed) {
    srandom(seed);
    const int b = static_cast<int>(amount * 7.6), h = b / 2;
    std::vector<std::uint8_t> out = test::Pixels(before);
    for (std::size_t p = 0; p < out.size(); p += before.GetBpp()) {
        const int mono = colour ? 0 : static_cast<int>(random() % b) - h;
        for (int c = 0; c < 3; ++c) {
            const int offset = colour ? static_cast<int>(random() % b) - h : mono;
            out[p + c] = static_cast<std::uint8_t>(std::clamp(out[p + c] + offset, 0, 255));
        }
    }
    return out;
}

TEST(AddNoise, DrawsInScanOrderAndClampsEachChannel) {
    for (bool colour : {true, false}) {
        for (int amount : {1, 6, 40}) {
            Bitmap bitmap = test::Extremes(19, 13, TiRGBABpp);
            const auto expected = ExpectedGrain(*bitmap, amount, colour, 11);
            srandom(11);
            ASSERT_EQ(AddNoise(*bitmap, amount, colour), 1);
            EXPECT_EQ(test::Pixels(*bitmap), expected) << amount << (colour ? " colour" : " mono");
        }
    }
}

TEST(AddNoise, AmountOneSpansOffsetsMinusThreeToThree) {
    Bitmap bitmap = test::Constant(64, 64, TiRGBBpp, {128, 128, 128});
    srandom(3);
    ASSERT_EQ(AddNoise(*bitmap, 1, true), 1);
    const auto pixels = test::Pixels(*bitmap);
    EXPECT_EQ(*std::min_element(pixels.begin(), pixels.end()), 125);
    EXPECT_EQ(*std::max_element(pixels.begin(), pixels.end()), 131);
}

TEST(AddNoise, MonochromeGrainKeepsGrayGrayAndAlphaAlone) {
    Bitmap bitmap = test::MakeBitmap(40, 30, TiRGBABpp, [](int x, int y, int c) {
        return static_cast<std::uint8_t>(c == 3 ? x * 7 + y : 60 + x + y);
    });
    const Bitmap before = bitmap->Clone();
    ASSERT_EQ(AddNoise(*bitmap, 10, false), 1);
    test::ExpectAlphaUnchanged(*before, *bitmap);
    bool changed = false;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            const std::uint8_t* p = bitmap->GetPixel(x, y);
            ASSERT_TRUE(p[0] == p[1] && p[1] == p[2]) << x << "," << y;
            changed |= p[0] != before->GetPixel(x, y)[0];
        }
    }
    EXPECT_TRUE(changed);
}

TEST(AddNoise, NoWidthMeansNoDrawsAndNoChange) {
    for (int amount : {0, -4}) {
        Bitmap bitmap = test::Gradient(9, 9, TiRGBABpp);
        const auto before = test::Pixels(*bitmap);
        srandom(21);
        ASSERT_EQ(AddNoise(*bitmap, amount, true), 1);
        const long next = random();
        srandom(21);
        EXPECT_EQ(next, random()) << "drew numbers at amount " << amount;
        EXPECT_EQ(test::Pixels(*bitmap), before);
    }
}

TEST(AddNoise, ViewsGetTheGrainOfTheirPackedCopies) {
    auto make = [] { return test::Gradient(30, 20, TiRGBABpp); };
    test::ExpectViewMatchesPackedCopy(make, 4, 3, 21, 15, [](TiBitmapData& b) {
        srandom(9);
        return AddNoise(b, 8, true);
    });
}

// ---- ReduceNoise ------------------------------------------------------------

// The median straight from its definition: the neighbours inside the
// picture, sorted, the one of rank n / 2.
Bitmap ReferenceMedian(const TiBitmapData& in) {
    Bitmap out = in.Clone(false);
    const int w = in.GetWidth(), h = in.GetHeight();
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            for (int c = 0; c < 3; ++c) {
                std::vector<std::uint8_t> s;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                        if (x + dx >= 0 && x + dx < w && y + dy >= 0 && y + dy < h)
                            s.push_back(in.GetPixel(x + dx, y + dy)[c]);
                std::sort(s.begin(), s.end());
                out->GetPixel(x, y)[c] = s[s.size() / 2];
            }
        }
    }
    return out;
}

class ReduceNoiseBpp : public ::testing::TestWithParam<int> {};

TEST_P(ReduceNoiseBpp, EveryPixelIsTheMedianOfItsNeighbourhood) {
    const int bpp = GetParam();
    const int sizes[][2] = {{1, 1}, {1, 6}, {7, 1}, {2, 2}, {3, 3}, {2, 9}, {31, 17}, {300, 41}};
    for (const auto& size : sizes) {
        for (std::uint32_t seed : {1u, 2u}) {
            Bitmap bitmap = test::Noise(size[0], size[1], bpp, seed);
            const Bitmap expected = ReferenceMedian(*bitmap);
            ASSERT_EQ(ReduceNoise(*bitmap, 0), 1);
            ASSERT_EQ(test::Pixels(*bitmap), test::Pixels(*expected))
                << size[0] << "x" << size[1] << " seed " << seed;
        }
    }
}

TEST_P(ReduceNoiseBpp, ViewsAndRefusals) {
    const int bpp = GetParam();
    auto make = [bpp] { return test::Noise(50, 40, bpp, 5); };
    test::ExpectViewMatchesPackedCopy(make, 7, 9, 33, 24,
                                      [](TiBitmapData& b) { return ReduceNoise(b, 1); });
    EXPECT_EQ(test::ExpectRefusalsLeaveBitmapUnchanged(
                  make, [](TiBitmapData& b) { return ReduceNoise(b, 0); }),
              1);
}

INSTANTIATE_TEST_SUITE_P(BytesPerPixel, ReduceNoiseBpp, ::testing::Values(3, 4));

TEST(ReduceNoise, RemovesASpeckAndATwoByTwoBlock) {
    for (int block : {1, 2}) {
        Bitmap bitmap = test::MakeBitmap(8, 8, TiRGBBpp, [block](int x, int y, int) {
            return static_cast<std::uint8_t>(
                x >= 3 && x < 3 + block && y >= 3 && y < 3 + block ? 250 : 20);
        });
        ASSERT_EQ(ReduceNoise(*bitmap, 0), 1);
        const auto pixels = test::Pixels(*bitmap);
        EXPECT_TRUE(std::all_of(pixels.begin(), pixels.end(), [](int v) { return v == 20; }))
            << block << "x" << block;
    }
}

TEST(ReduceNoise, KeepsAlphaAndRefusesOneBytePixels) {
    Bitmap bitmap = test::Noise(37, 23, TiRGBABpp, 8);
    const Bitmap before = bitmap->Clone();
    ASSERT_EQ(ReduceNoise(*bitmap, 0), 1);
    test::ExpectAlphaUnchanged(*before, *bitmap);

    Bitmap gray = test::Noise(5, 5, 1, 2);
    test::ExpectAssertion([&] { ReduceNoise(*gray, 0); },
                          "bitmap.GetBpp() == TiRGBABpp || bitmap.GetBpp() == TiRGBBpp",
                          "ReduceNoise", "Core/filter/Noise", 146);
}

}  // namespace
}  // namespace vantrel
