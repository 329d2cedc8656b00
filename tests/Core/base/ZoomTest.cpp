#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "Core/base/Zoom.h"
#include "Core/global/TiAssert.h"
#include "Core/global/TiMemory.h"
#include "support/TestImages.h"

namespace vantrel {
namespace {

using test::Bitmap;

// The bilinear zoom written step by step, one channel at a time, all in
// 32-bit float (sources of at least 2 x 2 pixels).
Bitmap ReferenceZoom(const TiBitmapData& source, int width, int height) {
    const int sourceWidth = source.GetWidth();
    const int sourceHeight = source.GetHeight();
    const float rx = static_cast<float>(sourceWidth) / static_cast<float>(width);
    const float ry = static_cast<float>(sourceHeight) / static_cast<float>(height);
    auto at = [&](int x, int y, int k) { return static_cast<float>(source.GetPixel(x, y)[k]); };
    return test::MakeBitmap(width, height, source.GetBpp(), [&](int i, int j, int k) {
        float sy = static_cast<float>(j) * ry;
        if (static_cast<double>(sy) <= 1e-8) sy = 0;
        if (sy > static_cast<float>(sourceHeight - 2)) sy = static_cast<float>(sourceHeight - 2);
        const int y0 = static_cast<int>(sy);
        const float fy = sy - static_cast<float>(y0);
        float sx = static_cast<float>(i) * rx;
        if (static_cast<double>(sx) <= 1e-8) sx = 0;
        if (sx > static_cast<float>(sourceWidth - 2)) sx = static_cast<float>(sourceWidth - 2);
        const int x0 = static_cast<int>(sx);
        const float fx = sx - static_cast<float>(x0);
        const float value = at(x0, y0, k) * (1 - fx) * (1 - fy) +
                            at(x0 + 1, y0, k) * fx * (1 - fy) + at(x0, y0 + 1, k) * (1 - fx) * fy +
                            at(x0 + 1, y0 + 1, k) * fx * fy;
        return static_cast<std::uint8_t>(static_cast<int>(value));
    });
}

template <typename Call>
void ExpectZoomAssertion(Call call, const std::string& condition, int line) {
    try {
        call();
        ADD_FAILURE() << "no assertion for " << condition;
    } catch (const TiAssertionError& error) {
        EXPECT_EQ(error.condition(), condition);
        EXPECT_EQ(error.function(), "ImageZoom");
        EXPECT_EQ(error.file(), "Core/base/Zoom");
        EXPECT_EQ(error.line(), line);
    }
}

class ZoomByBpp : public ::testing::TestWithParam<int> {};
INSTANTIATE_TEST_SUITE_P(Zoom, ZoomByBpp, ::testing::Values(TiRGBBpp, TiRGBABpp));

// 3 x 3 to 6 x 6: positions 0, 0.5, 1, then clamped to 1; the third column
// and row (200 and 90 below) never contribute.
TEST_P(ZoomByBpp, ThreeByThreeToSixBySixSamplesHalfStepsThenRepeats) {
    const int bpp = GetParam();
    const std::uint8_t red[3][3] = {{10, 21, 200}, {40, 61, 200}, {90, 90, 90}};
    Bitmap source = test::MakeBitmap(3, 3, bpp, [&](int x, int y, int k) -> std::uint8_t {
        return k == 3 ? 255 : red[y][x] + k;
    });
    const int expected[6][6] = {{10, 15, 21, 21, 21, 21}, {25, 33, 41, 41, 41, 41},
                                {40, 50, 61, 61, 61, 61}, {40, 50, 61, 61, 61, 61},
                                {40, 50, 61, 61, 61, 61}, {40, 50, 61, 61, 61, 61}};
    Bitmap zoomed = CreateImageZoom(*source, 6, 6);
    ASSERT_TRUE(zoomed);
    EXPECT_EQ(zoomed->GetPitch(), 6 * bpp);
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 6; ++x) {
            for (int k = 0; k < bpp; ++k) {
                ASSERT_EQ(zoomed->GetPixel(x, y)[k], k == 3 ? 255 : expected[y][x] + k)
                    << x << "," << y << " channel " << k;
            }
        }
    }
}

TEST_P(ZoomByBpp, SameSizeCopiesButRepeatsTheRowAndColumnBeforeTheLast) {
    const int bpp = GetParam();
    Bitmap source = test::Noise(7, 5, bpp);
    Bitmap zoomed = CreateImageZoom(*source, 7, 5);
    ASSERT_TRUE(zoomed);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 7; ++x) {
            const unsigned char* expected = source->GetPixel(x < 6 ? x : 5, y < 4 ? y : 3);
            ASSERT_EQ(0, std::memcmp(zoomed->GetPixel(x, y), expected, bpp)) << x << "," << y;
        }
    }
}

// Sizes up and down, odd ratios, and one large enough to run in bands.
TEST_P(ZoomByBpp, MatchesTheStepByStepFloatZoom) {
    const int bpp = GetParam();
    const int sizes[][4] = {{2, 2, 1, 1},     {2, 2, 5, 3},        {3, 4, 9, 2},  {5, 3, 12, 7},
                            {17, 11, 6, 4},   {17, 11, 40, 29},    {16, 9, 8, 3}, {9, 16, 7, 13},
                            {64, 48, 51, 37}, {300, 200, 700, 450}};
    for (const auto& size : sizes) {
        Bitmap source = test::Noise(size[0], size[1], bpp, size[2]);
        Bitmap zoomed = CreateImageZoom(*source, size[2], size[3]);
        ASSERT_TRUE(zoomed);
        EXPECT_EQ(test::Pixels(*zoomed), test::Pixels(*ReferenceZoom(*source, size[2], size[3])))
            << size[0] << "x" << size[1] << " to " << size[2] << "x" << size[3];
    }
}

// The weights 1 - f and f are float: for 3 -> 9 columns, 1 - 0.33333334f
// rounds so that a white pixel mixes to 254.99998 (254); for 3 -> 7 the
// float mix reaches 255 where a double one stays below it.
TEST_P(ZoomByBpp, WeightsAreRoundedAsFloats) {
    const int bpp = GetParam();
    Bitmap white = test::Constant(3, 2, bpp, std::vector<std::uint8_t>(bpp, 255));
    Bitmap nine = CreateImageZoom(*white, 9, 2);
    Bitmap seven = CreateImageZoom(*white, 7, 2);
    ASSERT_TRUE(nine && seven);
    EXPECT_EQ(nine->GetPixel(0, 0)[0], 255);
    EXPECT_EQ(nine->GetPixel(1, 0)[0], 254);
    EXPECT_EQ(nine->GetPixel(1, 1)[bpp - 1], 254);
    EXPECT_EQ(seven->GetPixel(1, 0)[0], 255);
}

// A source one pixel wide or high repeats its only column or row.
TEST_P(ZoomByBpp, SingleColumnOrRowSourcesRepeatIt) {
    const int bpp = GetParam();
    Bitmap column = test::MakeBitmap(1, 3, bpp, [](int, int y, int k) -> std::uint8_t {
        return static_cast<std::uint8_t>((y == 0 ? 10 : y == 1 ? 21 : 40) + k);
    });
    Bitmap tall = CreateImageZoom(*column, 3, 6);
    ASSERT_TRUE(tall);
    const int expected[6] = {10, 15, 21, 21, 21, 21};
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 3; ++x)
            for (int k = 0; k < bpp; ++k) ASSERT_EQ(tall->GetPixel(x, y)[k], expected[y] + k);

    Bitmap dot = test::Constant(1, 1, bpp, {7, 8, 9, 10});
    Bitmap spread = CreateImageZoom(*dot, 4, 3);
    ASSERT_TRUE(spread);
    EXPECT_EQ(test::Pixels(*spread), test::Pixels(*test::Constant(4, 3, bpp, {7, 8, 9, 10})));

    Bitmap row = test::Noise(5, 1, bpp);
    Bitmap shrunk = CreateImageZoom(*row, 2, 2);
    ASSERT_TRUE(shrunk);
    for (int x = 0; x < 2; ++x) {
        EXPECT_EQ(0, std::memcmp(shrunk->GetPixel(x, 1), shrunk->GetPixel(x, 0), bpp));
    }
    EXPECT_EQ(0, std::memcmp(shrunk->GetPixel(0, 0), row->GetPixel(0, 0), bpp));
}

TEST_P(ZoomByBpp, ViewsAreReadAndWrittenByTheirPitch) {
    const int bpp = GetParam();
    Bitmap parent = test::Noise(20, 15, bpp);
    auto region = parent->GetBitmapDataFromRect(3, 4, 9, 7);
    Bitmap packed = region->Clone(false);
    Bitmap fromView = CreateImageZoom(*region, 13, 5);
    ASSERT_TRUE(fromView);
    EXPECT_EQ(test::Pixels(*fromView), test::Pixels(*CreateImageZoom(*packed, 13, 5)));

    Bitmap canvas = test::Noise(30, 12, bpp, 9);
    const std::vector<std::uint8_t> before = test::Pixels(*canvas);
    auto target = canvas->GetBitmapDataFromRect(5, 2, 13, 5);
    ASSERT_EQ(ImageZoom(*packed, *target, 13, 5), 1);
    EXPECT_EQ(test::Pixels(*target), test::Pixels(*fromView));
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 30; ++x) {
            if (x >= 5 && x < 18 && y >= 2 && y < 7) continue;
            ASSERT_EQ(0, std::memcmp(canvas->GetPixel(x, y), &before[(y * 30 + x) * bpp], bpp))
                << "outside the target at " << x << "," << y;
        }
    }
}

TEST_P(ZoomByBpp, RefusesWhenWorkMemoryCannotBeHad) {
    const int bpp = GetParam();
    Bitmap source = test::Noise(9, 8, bpp);
    const int refused = test::ExpectRefusalsLeaveBitmapUnchanged(
        [bpp] { return test::Noise(5, 6, bpp, 3); },
        [&](TiBitmapData& destination) { return ImageZoom(*source, destination, 5, 6); });
    EXPECT_GE(refused, 1);

    for (long n = 1; n <= 3; ++n) {
        TiMemoryTestHook::FailAllocation(n);
        Bitmap zoomed = CreateImageZoom(*source, 0.5f);
        TiMemoryTestHook::Reset();
        EXPECT_EQ(zoomed, nullptr) << "allocation " << n;
    }
}

TEST(Zoom, RatioSizesAreTruncatedFloatProducts) {
    Bitmap source = test::Gradient(101, 51, TiRGBABpp);
    Bitmap half = CreateImageZoom(*source, 0.5f);
    ASSERT_TRUE(half);
    EXPECT_EQ(half->GetWidth(), 50);
    EXPECT_EQ(half->GetHeight(), 25);

    // 10 * 0.7f is 6.9999999 in double but rounds to 7 in float.
    Bitmap ten = test::Gradient(10, 10, TiRGBBpp);
    Bitmap seventy = CreateImageZoom(*ten, 0.7f);
    ASSERT_TRUE(seventy);
    EXPECT_EQ(seventy->GetWidth(), 7);
    EXPECT_EQ(seventy->GetHeight(), 7);
    EXPECT_EQ(seventy->GetBpp(), TiRGBBpp);
}

TEST(Zoom, PreconditionsAreImageZooms) {
    Bitmap rgba = test::Gradient(4, 4, TiRGBABpp);
    Bitmap rgb = test::Gradient(4, 4, TiRGBBpp);
    Bitmap gray = test::Gradient(4, 4, 1);
    ExpectZoomAssertion([&] { ImageZoom(*gray, *gray, 4, 4); },
                        "bpp == TiRGBBpp || bpp == TiRGBABpp", 28);
    ExpectZoomAssertion([&] { CreateImageZoom(*gray, 2, 2); },
                        "bpp == TiRGBBpp || bpp == TiRGBABpp", 28);
    ExpectZoomAssertion([&] { ImageZoom(*rgba, *rgba, 0, 4); }, "widthZoom > 0 && heightZoom > 0",
                        29);
    ExpectZoomAssertion([&] { CreateImageZoom(*rgba, 3, -1); }, "widthZoom > 0 && heightZoom > 0",
                        29);
    ExpectZoomAssertion([&] { CreateImageZoom(*rgba, 0.1f); }, "widthZoom > 0 && heightZoom > 0",
                        29);
    ExpectZoomAssertion([&] { CreateImageZoom(*rgba, -2.0f); }, "widthZoom > 0 && heightZoom > 0",
                        29);
    ExpectZoomAssertion([&] { ImageZoom(*rgba, *rgb, 4, 4); }, "bpp == saveBpp", 30);
}

TEST(Zoom, AbsurdSizesAreRefusedWithoutAllocating) {
    Bitmap source = test::Gradient(4, 4, TiRGBABpp);
    EXPECT_EQ(CreateImageZoom(*source, 1e30f), nullptr);
    EXPECT_EQ(CreateImageZoom(*source, 1 << 30, 1 << 30), nullptr);
}

}  // namespace
}  // namespace vantrel
