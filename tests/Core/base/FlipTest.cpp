#include <gtest/gtest.h>

#include <vector>

#include "Core/base/Flip.h"
#include "support/TestImages.h"

namespace vantrel {
namespace {

using test::Bitmap;

// The mirror image computed pixel by pixel.
Bitmap Mirrored(const TiBitmapData& source, bool horizontal, bool vertical) {
    const int width = source.GetWidth(), height = source.GetHeight();
    return test::MakeBitmap(width, height, source.GetBpp(), [&](int x, int y, int k) {
        return source.GetPixel(horizontal ? width - 1 - x : x, vertical ? height - 1 - y : y)[k];
    });
}

struct FlipCase {
    bool horizontal;
    bool vertical;
};

class FlipByBpp : public ::testing::TestWithParam<int> {};
INSTANTIATE_TEST_SUITE_P(Flip, FlipByBpp, ::testing::Values(1, 3, 4));

// Odd and even sizes, thin ones, and one large enough to run in bands.
TEST_P(FlipByBpp, MirrorsEveryByteAndTwiceRestores) {
    const int bpp = GetParam();
    for (const auto& size : {std::pair{3, 2}, std::pair{4, 5}, std::pair{1, 7}, std::pair{7, 1},
                             std::pair{1, 1}, std::pair{600, 501}}) {
        Bitmap source = test::Noise(size.first, size.second, bpp, size.second);
        for (FlipCase flip : {FlipCase{true, false}, FlipCase{false, true}, FlipCase{true, true}}) {
            Bitmap bitmap = source->Clone();
            ASSERT_EQ(FlipBitmap(*bitmap, flip.horizontal, flip.vertical), 1);
            EXPECT_EQ(test::Pixels(*bitmap),
                      test::Pixels(*Mirrored(*source, flip.horizontal, flip.vertical)))
                << size.first << "x" << size.second << " h" << flip.horizontal << " v"
                << flip.vertical;
            FlipBitmap(*bitmap, flip.horizontal, flip.vertical);
            EXPECT_EQ(test::Pixels(*bitmap), test::Pixels(*source)) << "twice";
        }
    }
}

TEST_P(FlipByBpp, ThinPicturesAndNoFlipStayUnchanged) {
    const int bpp = GetParam();
    Bitmap column = test::Noise(1, 6, bpp);
    const std::vector<std::uint8_t> before = test::Pixels(*column);
    EXPECT_EQ(FlipBitmap(*column, true, false), 1);
    EXPECT_EQ(test::Pixels(*column), before);
    Bitmap row = test::Noise(6, 1, bpp);
    const std::vector<std::uint8_t> rowBefore = test::Pixels(*row);
    FlipBitmap(*row, false, true);
    FlipBitmap(*row, false, false);
    EXPECT_EQ(test::Pixels(*row), rowBefore);
}

TEST_P(FlipByBpp, AViewMirrorsOnlyItsRegion) {
    const int bpp = GetParam();
    for (FlipCase flip : {FlipCase{true, false}, FlipCase{false, true}, FlipCase{true, true}}) {
        test::ExpectViewMatchesPackedCopy([bpp] { return test::Noise(23, 17, bpp); }, 4, 3, 11, 9,
                                          [flip](TiBitmapData& bitmap) {
                                              return FlipBitmap(bitmap, flip.horizontal,
                                                                flip.vertical);
                                          });
    }
}

}  // namespace
}  // namespace vantrel
