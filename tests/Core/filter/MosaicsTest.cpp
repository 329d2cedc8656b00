#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <vector>

#include "Core/filter/Mosaics.h"
#include "support/TestImages.h"

namespace vantrel {
namespace {

using test::Bitmap;

// The average of byte c over the cell holding (x, y), cells found by x / g.
int CellAverage(const TiBitmapData& in, int g, int x, int y, int c) {
    long sum = 0, count = 0;
    for (int v = 0; v < in.GetHeight(); ++v)
        for (int u = 0; u < in.GetWidth(); ++u)
            if (u / g == x / g && v / g == y / g) sum += in.GetPixel(u, v)[c], ++count;
    return static_cast<int>(sum / count);
}

class CellFilters : public ::testing::TestWithParam<int> {};

TEST_P(CellFilters, MosaicsGivesEveryCellItsAverageAlphaIncluded) {
    const int bpp = GetParam();
    for (int g : {2, 3, 5, 13, 40}) {
        Bitmap bitmap = test::Noise(13, 11, bpp, g);
        const Bitmap before = bitmap->Clone();
        ASSERT_EQ(Mosaics(*bitmap, g), 1);
        for (int y = 0; y < 11; ++y)
            for (int x = 0; x < 13; ++x)
                for (int c = 0; c < bpp; ++c)
                    ASSERT_EQ(bitmap->GetPixel(x, y)[c], CellAverage(*before, g, x, y, c))
                        << "g " << g << " at " << x << "," << y << " byte " << c;
    }
}

TEST_P(CellFilters, DotFadesEachCellFromItsAverageToWhite) {
    const int bpp = GetParam();
    const int channels = bpp == TiRGBABpp ? 3 : bpp;
    for (int g : {3, 5, 8, 17}) {
        Bitmap bitmap = test::Noise(13, 11, bpp, g);
        const Bitmap before = bitmap->Clone();
        ASSERT_EQ(Dot(*bitmap, g), 1);
        const float r0 = static_cast<float>(g / 8);
        const float fade = static_cast<float>(g / 2 - g / 8);
        for (int y = 0; y < 11; ++y) {
            for (int x = 0; x < 13; ++x) {
                const int dx = x % g - g / 2, dy = y % g - g / 2;
                const float dist = static_cast<float>(std::sqrt(dx * dx + dy * dy + 0.0));
                for (int c = 0; c < bpp; ++c) {
                    const int a = CellAverage(*before, g, x, y, c);
                    int expected = before->GetPixel(x, y)[c];
                    if (c < channels) {
                        const float t = (dist - r0) / fade;
                        const double white = static_cast<double>(t) * t * t * 0.25;
                        expected = dist <= r0
                                       ? a
                                       : static_cast<int>(std::fmin(
                                             255.0f, static_cast<float>(a + (255 - a) * white)));
                    }
                    ASSERT_EQ(bitmap->GetPixel(x, y)[c], expected)
                        << "g " << g << " at " << x << "," << y << " byte " << c;
                }
            }
        }
    }
}

TEST_P(CellFilters, ViewsAndRefusals) {
    const int bpp = GetParam();
    auto make = [bpp] { return test::Noise(30, 25, bpp, 3); };
    for (int g : {4, 7}) {
        test::ExpectViewMatchesPackedCopy(make, 3, 2, 19, 17,
                                          [g](TiBitmapData& b) { return Mosaics(b, g); });
        test::ExpectViewMatchesPackedCopy(make, 5, 1, 22, 20,
                                          [g](TiBitmapData& b) { return Dot(b, g); });
    }
    EXPECT_EQ(test::ExpectRefusalsLeaveBitmapUnchanged(
                  make, [](TiBitmapData& b) { return Mosaics(b, 6); }),
              1);
    EXPECT_EQ(
        test::ExpectRefusalsLeaveBitmapUnchanged(make, [](TiBitmapData& b) { return Dot(b, 6); }),
        2);
}

INSTANTIATE_TEST_SUITE_P(BytesPerPixel, CellFilters, ::testing::Values(1, 3, 4));

TEST(Dot, TwoPixelCellsGoWhiterAwayFromTheCentre) {
    // r0 = 0, L = 1: the top-left pixel lies sqrt(2) out (t^3 = 2.83, a weight
    // of 0.707), its two neighbours 1 out (0.25), the last at the centre.
    Bitmap bitmap = test::Constant(2, 2, TiRGBBpp, {100, 0, 255});
    ASSERT_EQ(Dot(*bitmap, 2), 1);
    EXPECT_EQ(test::Pixels(*bitmap),
              (std::vector<std::uint8_t>{209, 180, 255, 138, 63, 255, 138, 63, 255, 100, 0, 255}));
}

TEST(CellFilters, DegenerateGridsLeaveThePicture) {
    for (int g : {0, 1, -3, INT_MIN}) {
        Bitmap bitmap = test::Noise(9, 7, TiRGBABpp, 4);
        const auto before = test::Pixels(*bitmap);
        EXPECT_EQ(Mosaics(*bitmap, g), 1);
        EXPECT_EQ(Dot(*bitmap, g), 1);
        EXPECT_EQ(test::Pixels(*bitmap), before) << g;
    }
    // A grid wider than the picture makes one cell of it all.
    Bitmap bitmap = test::MakeBitmap(3, 2, TiRGBABpp, [](int x, int y, int c) {
        return static_cast<std::uint8_t>(c == 3 ? 200 + x : x * 10 + y * 40);
    });
    ASSERT_EQ(Mosaics(*bitmap, INT_MAX), 1);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(std::vector<std::uint8_t>(bitmap->GetPixel(x, y), bitmap->GetPixel(x, y) + 4),
                      (std::vector<std::uint8_t>{30, 30, 30, 201}));
}

}  // namespace
}  // namespace vantrel
