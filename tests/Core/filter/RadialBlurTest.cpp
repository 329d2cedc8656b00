#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "Core/filter/RadialBlur.h"
#include "Core/global/Numeric.h"
#include "support/Assertions.h"
#include "support/TestImages.h"

namespace vantrel {
namespace {

using test::Bitmap;
using test::Rgba;

std::vector<float> Offsets(int quality) {
    switch (quality) {
        case 1:
            return {-0.09f, -0.065f, -0.04f, -0.02f, 0.02f, 0.04f, 0.065f, 0.09f};
        case 2:
            return {-0.09f, -0.08f, -0.07f, -0.06f, -0.04f, -0.02f,
                    0.02f,  0.04f,  0.06f,  0.07f,  0.08f,  0.09f};
        default: {
            std::vector<float> offsets;
            for (int i = -9; i <= 9; ++i) {
                if (i != 0) offsets.push_back(static_cast<float>(i / 100.0));
            }
            return offsets;
        }
    }
}

int Clamped(int index, int size) {
    return index < 0 ? 0 : (index >= size ? size - 1 : index);
}

// The radial blur as laid out, one pixel at a time in scan order: samples
// read from the picture being rewritten, the pixel's own bytes from an
// untouched copy, positions in float, the average in double.
void RadialByDefinition(TiBitmapData& bitmap, int amount, float scale, int quality) {
    std::vector<float> taps = Offsets(quality);
    for (float& t : taps) t = static_cast<float>(t * (amount * 4.0));
    const float weight = static_cast<float>(1.0 / (taps.size() + 1));
    const Bitmap copy = bitmap.Clone(false);
    const int w = bitmap.GetWidth(), h = bitmap.GetHeight();
    const float f = static_cast<float>(w) / scale;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const float vx = static_cast<float>(w / 2 - x), vy = static_cast<float>(h / 2 - y);
            const float len = std::sqrt(vx * vx + vy * vy);
            int sum[3];
            for (int c = 0; c < 3; ++c) sum[c] = copy->GetPixel(x, y)[c];
            if (len > 0) {
                const float ux = vx / len, uy = vy / len, k = len / f;
                for (float t : taps) {
                    const float ax = ux * t, ay = uy * t;
                    const float bx = ax * k, by = ay * k;
                    const float px = x + bx, py = y + by;
                    const std::uint8_t* s = bitmap.GetPixel(Clamped(TiTrunc(px + 0.5f), w),
                                                            Clamped(TiTrunc(py + 0.5f), h));
                    for (int c = 0; c < 3; ++c) sum[c] += s[c];
                }
                for (int& s : sum) s = TiTrunc(s * static_cast<double>(weight));
            }
            for (int c = 0; c < 3; ++c)
                bitmap.GetPixel(x, y)[c] = static_cast<std::uint8_t>(sum[c]);
        }
    }
}

std::vector<Rgba> Row(const TiBitmapData& bitmap) {
    std::vector<Rgba> pixels;
    for (int x = 0; x < bitmap.GetWidth(); ++x) pixels.push_back(test::PixelAt(bitmap, x, 0));
    return pixels;
}

TEST(RadialBlur, SmallStripsByHand) {
    // Seven pixels (37x, 11x, 5x), amount 75, scale 0.5, twelve samples.
    // Pixel 2 reads pixels 0 and 1 after they were rewritten (from the
    // originals it would be 74, 22, 10), and its sample places in float
    // (in double one of them moves over and it would be 100, 29, 13).
    std::vector<Rgba> pixels;
    for (int x = 0; x < 7; ++x) {
        pixels.push_back({static_cast<std::uint8_t>(37 * x), static_cast<std::uint8_t>(11 * x),
                          static_cast<std::uint8_t>(5 * x), 255});
    }
    Bitmap strip = test::Strip(TiRGBABpp, pixels);
    ASSERT_EQ(RadialBlur(*strip, 75, 0.5f, 2), 1);
    EXPECT_EQ(Row(*strip), (std::vector<Rgba>{{68, 20, 9, 255},
                                              {96, 28, 13, 255},
                                              {98, 29, 13, 255},
                                              {111, 33, 15, 255},
                                              {154, 45, 20, 255},
                                              {167, 49, 22, 255},
                                              {168, 50, 22, 255}}));

    // A column 90, 0, 50, 200, 10 (eight samples, amount 1, scale 2): the
    // bottom pixel averages itself with the rewritten 124 above it (73 from
    // the original 200); the centre keeps its value.
    Bitmap column = test::MakeBitmap(1, 5, TiRGBBpp, [](int, int y, int c) -> std::uint8_t {
        return c == 0 ? std::vector<std::uint8_t>{90, 0, 50, 200, 10}[y] : 0;
    });
    ASSERT_EQ(RadialBlur(*column, 1, 2.0f, 1), 1);
    std::vector<int> reds;
    for (int y = 0; y < 5; ++y) reds.push_back(column->GetPixel(0, y)[0]);
    EXPECT_EQ(reds, (std::vector<int>{60, 24, 50, 124, 48}));
}

class RadialBlurBpp : public ::testing::TestWithParam<int> {};

TEST_P(RadialBlurBpp, MatchesTheDefinitionAndKeepsAlpha) {
    const int bpp = GetParam();
    struct Case {
        int width, height, amount;
        float scale;
        int quality;
    };
    // Widths around the 64-pixel chunks of the sample places; scales and
    // amounts from a gentle zoom to samples far outside the picture; tall
    // pictures whose rows within reach take fewer slots than the picture
    // has rows.
    const Case cases[] = {{37, 23, 50, 2.0f, 2},  {64, 9, 100, 9.99f, 1}, {130, 7, 20, 0.7f, 3},
                          {65, 40, 300, 3.0f, 2}, {1, 17, 40, 2.0f, 1},   {19, 1, 200, 2.0f, 3},
                          {50, 31, -60, 1.3f, 2}, {40, 150, 10, 2.0f, 2}, {70, 301, 5, 4.0f, 3},
                          {3, 90, 30, 1.0f, 1}};
    for (const Case& c : cases) {
        Bitmap bitmap = test::Noise(c.width, c.height, bpp, c.amount + 1000);
        Bitmap expected = bitmap->Clone();
        RadialByDefinition(*expected, c.amount, c.scale, c.quality);
        ASSERT_EQ(RadialBlur(*bitmap, c.amount, c.scale, c.quality), 1);
        EXPECT_EQ(test::Pixels(*bitmap), test::Pixels(*expected))
            << c.width << "x" << c.height << " amount " << c.amount << " scale " << c.scale;
        if (bpp == TiRGBABpp) test::ExpectAlphaUnchanged(*expected, *bitmap);
    }
}

TEST_P(RadialBlurBpp, AmountZeroAndUnknownQualityChangeNothing) {
    const int bpp = GetParam();
    for (int quality : {1, 2, 3}) {
        Bitmap bitmap = test::Noise(33, 21, bpp, quality);
        const auto before = test::Pixels(*bitmap);
        // Every sample lands on the pixel itself; the float weight is just
        // above 1 / (samples + 1), so the average of equal values is that value.
        EXPECT_EQ(RadialBlur(*bitmap, 0, 2.0f, quality), 1);
        EXPECT_EQ(test::Pixels(*bitmap), before) << "quality " << quality;
    }
    for (int quality : {0, 4, -1}) {
        Bitmap bitmap = test::Noise(33, 21, bpp);
        const auto before = test::Pixels(*bitmap);
        EXPECT_EQ(RadialBlur(*bitmap, 50, 2.0f, quality), 0);
        EXPECT_EQ(test::Pixels(*bitmap), before);
    }
}

TEST_P(RadialBlurBpp, ViewsAndRefusals) {
    const int bpp = GetParam();
    auto make = [bpp] { return test::Noise(90, 50, bpp, 8); };
    auto blur = [](TiBitmapData& b) { return RadialBlur(b, 80, 2.0f, 2); };
    test::ExpectViewMatchesPackedCopy(make, 7, 5, 71, 40, blur);
    // The rows within the samples' reach.
    EXPECT_EQ(test::ExpectRefusalsLeaveBitmapUnchanged(make, blur), 1);
}

INSTANTIATE_TEST_SUITE_P(BytesPerPixel, RadialBlurBpp, ::testing::Values(3, 4));

TEST(RadialBlur, WildParametersStayInsideThePicture) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const int amounts[] = {50, INT_MAX, INT_MIN};
    const float scales[] = {0.0f, -0.0f, nan, inf, -inf, 1e30f, -3.0f};
    for (int amount : amounts) {
        for (float scale : scales) {
            Bitmap bitmap = test::Noise(21, 13, TiRGBABpp, 2);
            const Bitmap before = bitmap->Clone();
            EXPECT_EQ(RadialBlur(*bitmap, amount, scale, 3), 1);
            test::ExpectAlphaUnchanged(*before, *bitmap);
            EXPECT_EQ(test::PixelAt(*bitmap, 10, 6), test::PixelAt(*before, 10, 6))
                << "the centre keeps its value";
        }
    }
    // With no sampling distance (scale 0) every sample is the pixel itself.
    Bitmap bitmap = test::Noise(21, 13, TiRGBBpp, 2);
    const auto before = test::Pixels(*bitmap);
    RadialBlur(*bitmap, 80, 0.0f, 2);
    EXPECT_EQ(test::Pixels(*bitmap), before);
}

TEST(RadialBlur, AssertsColourPixels) {
    Bitmap gray = test::Noise(5, 5, 1);
    test::ExpectAssertion([&] { RadialBlur(*gray, 10, 2.0f, 2); },
                          "bpp == TiRGBBpp || bpp == TiRGBABpp", "RadialBlur",
                          "Core/filter/RadialBlur", 29);
}

}  // namespace
}  // namespace vantrel
