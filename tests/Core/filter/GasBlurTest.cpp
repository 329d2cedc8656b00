#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "Core/filter/GasBlur.h"
#include "support/TestImages.h"

namespace vantrel {
namespace {

using test::Bitmap;

// The tent blur of one line straight from its definition: edge samples
// replicated, weights r - |k|, floor(r^2/2) added once, integer division.
std::vector<std::uint8_t> TentLine(const std::vector<std::uint8_t>& s, int r) {
    if (r <= 1) return s;
    const int n = static_cast<int>(s.size());
    const std::int64_t rr = std::int64_t{r} * r;
    std::vector<std::uint8_t> out(n);
    for (int x = 0; x < n; ++x) {
        std::int64_t sum = rr / 2;
        for (int k = -(r - 1); k <= r - 1; ++k) {
            sum += (r - std::abs(k)) * std::int64_t{s[std::clamp(x + k, 0, n - 1)]};
        }
        out[x] = static_cast<std::uint8_t>(sum / rr);
    }
    return out;
}

// Rows with radiusH, then columns with radiusV, channel by channel.
void ReferenceBlur(TiBitmapData& bitmap, int radiusH, int radiusV) {
    const int w = bitmap.GetWidth(), h = bitmap.GetHeight(), bpp = bitmap.GetBpp();
    const int channels = bpp == TiRGBABpp ? 3 : bpp;
    for (int c = 0; c < channels; ++c) {
        for (int y = 0; y < h; ++y) {
            std::vector<std::uint8_t> line(w);
            for (int x = 0; x < w; ++x) line[x] = bitmap.GetPixel(x, y)[c];
            line = TentLine(line, radiusH);
            for (int x = 0; x < w; ++x) bitmap.GetPixel(x, y)[c] = line[x];
        }
        for (int x = 0; x < w; ++x) {
            std::vector<std::uint8_t> line(h);
            for (int y = 0; y < h; ++y) line[y] = bitmap.GetPixel(x, y)[c];
            line = TentLine(line, radiusV);
            for (int y = 0; y < h; ++y) bitmap.GetPixel(x, y)[c] = line[y];
        }
    }
}

class GasBlurSizes : public ::testing::TestWithParam<int> {};

// Sizes chosen to leave partial strips and partial row blocks, and radii
// below, at and beyond the line lengths, both sides of the 32-bit limit. The
// reference never touches alpha, and the noise pictures vary it, so 4-byte
// pixels also check that alpha is neither read nor written.
TEST_P(GasBlurSizes, RunningSumsMatchTheClosedFormula) {
    const int bpp = GetParam();
    const int sizes[][2] = {{1, 1}, {1, 9}, {11, 1}, {2, 3}, {17, 23}, {70, 33}, {130, 6}};
    const int radii[][2] = {{0, 0},  {1, 1},   {2, 0},     {0, 2},  {3, 3},       {4, 7},
                            {16, 5}, {64, 65}, {200, 131}, {-5, 9}, {2896, 2897}, {5000, 3}};
    for (const auto& size : sizes) {
        for (const auto& radius : radii) {
            Bitmap actual = test::Noise(size[0], size[1], bpp, size[0] * 31 + radius[0]);
            Bitmap expected = actual->Clone();
            ASSERT_EQ(GasBlur(*actual, radius[0], radius[1]), 1);
            ReferenceBlur(*expected, radius[0], radius[1]);
            ASSERT_EQ(test::Pixels(*actual), test::Pixels(*expected))
                << size[0] << "x" << size[1] << " radii " << radius[0] << "," << radius[1];
        }
    }
}

TEST_P(GasBlurSizes, ConstantPicturesStayConstant) {
    const int bpp = GetParam();
    for (int value : {0, 1, 128, 254, 255}) {
        for (int radius : {2, 5, 40, 3000}) {
            Bitmap bitmap = test::Constant(37, 29, bpp, std::vector<std::uint8_t>(bpp, value));
            const auto before = test::Pixels(*bitmap);
            ASSERT_EQ(GasBlur(*bitmap, radius), 1);
            EXPECT_EQ(test::Pixels(*bitmap), before) << value << " radius " << radius;
        }
    }
}

TEST_P(GasBlurSizes, ViewsAreBlurredLikeTheirPackedCopies) {
    const int bpp = GetParam();
    auto make = [bpp] { return test::Noise(90, 70, bpp, 7); };
    test::ExpectViewMatchesPackedCopy(make, 13, 5, 67, 41,
                                      [](TiBitmapData& b) { return GasBlur(b, 6, 9); });
}

TEST_P(GasBlurSizes, RefusesWithoutLineBufferAndLeavesPixels) {
    const int bpp = GetParam();
    auto make = [bpp] { return test::Gradient(40, 30, bpp); };
    EXPECT_EQ(test::ExpectRefusalsLeaveBitmapUnchanged(
                  make, [](TiBitmapData& b) { return GasBlur(b, 3, 4); }),
              1);
}

INSTANTIATE_TEST_SUITE_P(BytesPerPixel, GasBlurSizes, ::testing::Values(1, 3, 4));

TEST(GasBlur, RadiusTwoAlongRowsSpreadsAPeak) {
    Bitmap bitmap = test::MakeBitmap(5, 1, 1, [](int x, int, int) { return x == 2 ? 255 : 0; });
    ASSERT_EQ(GasBlur(*bitmap, 2, 0), 1);
    EXPECT_EQ(test::Pixels(*bitmap), (std::vector<std::uint8_t>{0, 64, 128, 64, 0}));
}

}  // namespace
}  // namespace vantrel
