#include <gtest/gtest.h>

#include "Core/base/GrayInvert.h"
#include "support/TestImages.h"

namespace vantrel {
namespace {

using test::Rgba;

TEST(ConvertToGray, DisplayGrayRoundsHalfUpInDouble) {
    // (0, 14, 76) and (0, 68, 12) sit just below 16 and 50 in double; in
    // 32-bit float they would round up to 16 and 50.
    auto bitmap = test::Strip(TiRGBABpp, {{255, 255, 255, 1},
                                          {0, 0, 1, 2},
                                          {0, 14, 76, 3},
                                          {0, 68, 12, 4},
                                          {255, 0, 0, 5},
                                          {10, 200, 30, 6}});
    ASSERT_EQ(ConvertToGray(*bitmap), 1);
    EXPECT_EQ(test::PixelAt(*bitmap, 0, 0), (Rgba{255, 255, 255, 1}));
    EXPECT_EQ(test::PixelAt(*bitmap, 1, 0), (Rgba{0, 0, 0, 2}));
    EXPECT_EQ(test::PixelAt(*bitmap, 2, 0), (Rgba{15, 15, 15, 3}));
    EXPECT_EQ(test::PixelAt(*bitmap, 3, 0), (Rgba{49, 49, 49, 4}));
    EXPECT_EQ(test::PixelAt(*bitmap, 4, 0), (Rgba{54, 54, 54, 5}));
    EXPECT_EQ(test::PixelAt(*bitmap, 5, 0), (Rgba{147, 147, 147, 6}));  // 147.332 + 0.5
}

TEST(InvertColor, MirrorsEveryValueAndTwiceIsTheIdentity) {
    auto bitmap = test::MakeBitmap(256, 1, TiRGBBpp, [](int x, int, int c) {
        return static_cast<std::uint8_t>(c == 1 ? 255 - x : x);
    });
    const auto original = bitmap->Clone(false);
    ASSERT_EQ(InvertColor(*bitmap), 1);
    for (int x = 0; x < 256; ++x) {
        ASSERT_EQ(bitmap->GetPixel(x, 0)[0], 255 - x);
        ASSERT_EQ(bitmap->GetPixel(x, 0)[1], x);
    }
    ASSERT_EQ(InvertColor(*bitmap), 1);
    EXPECT_EQ(test::Pixels(*bitmap), test::Pixels(*original));
}

TEST(ComplementColor, TurnsTheHueWithinThePixelsRange) {
    auto bitmap = test::Strip(
        TiRGBABpp,
        {{200, 100, 150, 9}, {77, 77, 77, 8}, {255, 0, 10, 7}, {0, 255, 255, 6}, {1, 254, 128, 5}});
    ASSERT_EQ(ComplementColor(*bitmap), 1);
    EXPECT_EQ(test::PixelAt(*bitmap, 0, 0), (Rgba{100, 200, 150, 9}));
    EXPECT_EQ(test::PixelAt(*bitmap, 1, 0), (Rgba{77, 77, 77, 8}));
    EXPECT_EQ(test::PixelAt(*bitmap, 2, 0), (Rgba{0, 255, 245, 7}));
    EXPECT_EQ(test::PixelAt(*bitmap, 3, 0), (Rgba{255, 0, 0, 6}));
    EXPECT_EQ(test::PixelAt(*bitmap, 4, 0), (Rgba{254, 1, 127, 5}));
}

}  // namespace
}  // namespace vantrel
