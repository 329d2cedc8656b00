#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "Core/filter/Painting.h"
#include "support/Assertions.h"
#include "support/TestImages.h"

namespace vantrel {
namespace {

using test::Bitmap;

// A fresh count over every pixel's window: no incremental path to get wrong.
Bitmap ReferencePainting(const TiBitmapData& in, int radius, int smoothness) {
    Bitmap out = in.Clone(false);
    const int w = in.GetWidth(), h = in.GetHeight();
    auto level = [&](int x, int y) {
        const std::uint8_t* p = in.GetPixel(x, y);
        const int intensity = (19661 * p[0] + 38666 * p[1] + 7209 * p[2]) >> 16;
        return static_cast<int>(static_cast<float>(intensity) *
                                (static_cast<float>(smoothness) * 0.00390625f));
    };
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            std::vector<long> count(256), sum(256 * 3);
            for (int v = std::max(0, y - radius); v <= std::min(h - 1, y + radius); ++v) {
                for (int u = std::max(0, x - radius); u <= std::min(w - 1, x + radius); ++u) {
                    const int l = level(u, v);
                    ++count[l];
                    for (int c = 0; c < 3; ++c) sum[l * 3 + c] += in.GetPixel(u, v)[c];
                }
            }
            const int winner =
                static_cast<int>(std::max_element(count.begin(), count.end()) - count.begin());
            for (int c = 0; c < 3; ++c)
                out->GetPixel(x, y)[c] =
                    static_cast<std::uint8_t>(sum[winner * 3 + c] / count[winner]);
        }
    }
    return out;
}

class PaintingBpp : public ::testing::TestWithParam<int> {};

TEST_P(PaintingBpp, SerpentineWindowMatchesAFreshCountPerPixel) {
    const int bpp = GetParam();
    const int sizes[][2] = {{1, 1}, {1, 7}, {9, 1}, {12, 9}, {33, 21}};
    for (const auto& size : sizes) {
        for (int radius : {0, 1, 3, 8, 40}) {
            for (int smoothness : {1, 2, 8, 255, 256}) {
                Bitmap bitmap = test::Noise(size[0], size[1], bpp, radius + smoothness);
                const Bitmap expected = ReferencePainting(*bitmap, radius, smoothness);
                ASSERT_EQ(Painting(*bitmap, radius, smoothness), 1);
                ASSERT_EQ(test::Pixels(*bitmap), test::Pixels(*expected))
                    << size[0] << "x" << size[1] << " radius " << radius << " smoothness "
                    << smoothness;
            }
        }
    }
    // Large enough to be split into bands of rows, each starting its own path.
    Bitmap bitmap = test::Noise(150, 120, bpp, 3);
    const Bitmap expected = ReferencePainting(*bitmap, 3, 8);
    ASSERT_EQ(Painting(*bitmap, 3, 8), 1);
    EXPECT_EQ(test::Pixels(*bitmap), test::Pixels(*expected));
}

TEST_P(PaintingBpp, ViewsAndRefusals) {
    const int bpp = GetParam();
    auto make = [bpp] { return test::Gradient(40, 35, bpp); };
    test::ExpectViewMatchesPackedCopy(make, 5, 6, 30, 25,
                                      [](TiBitmapData& b) { return Painting(b, 3, 8); });
    EXPECT_EQ(test::ExpectRefusalsLeaveBitmapUnchanged(
                  make, [](TiBitmapData& b) { return Painting(b, 2, 8); }),
              1);
}

INSTANTIATE_TEST_SUITE_P(BytesPerPixel, PaintingBpp, ::testing::Values(3, 4));

TEST(Painting, RadiusZeroKeepsColoursAndAlphaStays) {
    Bitmap bitmap = test::Noise(25, 17, TiRGBABpp, 12);
    const auto before = test::Pixels(*bitmap);
    ASSERT_EQ(Painting(*bitmap, 0, 8), 1);
    EXPECT_EQ(test::Pixels(*bitmap), before);

    const Bitmap original = bitmap->Clone();
    ASSERT_EQ(Painting(*bitmap, 4, 8), 1);
    test::ExpectAlphaUnchanged(*original, *bitmap);
}

TEST(Painting, OneLevelPaintsTheWindowMean) {
    // Smoothness 1 puts every pixel in level 0: the mean of the clipped
    // window, here the 2 x 2 corner of a 3 x 3 window.
    Bitmap bitmap = test::MakeBitmap(3, 3, TiRGBBpp, [](int x, int y, int) {
        return static_cast<std::uint8_t>(x * 10 + y * 100);
    });
    ASSERT_EQ(Painting(*bitmap, 1, 1), 1);
    EXPECT_EQ(bitmap->GetPixel(0, 0)[0], (0 + 10 + 100 + 110) / 4);
    EXPECT_EQ(bitmap->GetPixel(1, 1)[0], 110);
    EXPECT_EQ(bitmap->GetPixel(2, 1)[0], (10 + 20 + 110 + 120 + 210 + 220) / 6);
}

TEST(Painting, RefusesBadRadiusSmoothnessAndGrayPixels) {
    struct Case {
        int radius, smoothness;
        std::string condition;
        int line;
    };
    for (const Case& c : {Case{-1, 8, "radius >= 0", 17}, Case{3, -1, "smoothness >= 0", 18},
                          Case{3, 0, "smoothness >= 1 && smoothness <= 256", 18},
                          Case{3, 257, "smoothness >= 1 && smoothness <= 256", 18}}) {
        Bitmap bitmap = test::Gradient(5, 5, TiRGBABpp);
        const auto before = test::Pixels(*bitmap);
        test::ExpectAssertion([&] { Painting(*bitmap, c.radius, c.smoothness); }, c.condition,
                              "Painting", "Core/filter/Painting", c.line);
        EXPECT_EQ(test::Pixels(*bitmap), before);
    }
    Bitmap gray = test::Noise(5, 5, 1);
    const auto before = test::Pixels(*gray);
    EXPECT_EQ(Painting(*gray, 2, 8), 0);
    EXPECT_EQ(test::Pixels(*gray), before);
}

}  // namespace
}  // namespace vantrel
