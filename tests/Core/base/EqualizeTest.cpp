#include <gtest/gtest.h>

#include <vector>

#include "Core/base/Equalize.h"
#include "support/TestImages.h"

namespace vantrel {
namespace {

using test::Rgba;

test::Bitmap Grays(const std::vector<std::uint8_t>& values) {
    std::vector<Rgba> pixels;
    for (std::uint8_t v : values) pixels.push_back({v, v, v, 33});
    return test::Strip(TiRGBABpp, pixels);
}

TEST(Equalize, QuartersSpreadEvenlyAndStretchToBlack) {
    auto classic = Grays({0, 85, 170, 255});
    ASSERT_EQ(Equalize(*classic, 1), 1);
    EXPECT_EQ(classic->GetPixel(0, 0)[0], 63);
    EXPECT_EQ(classic->GetPixel(1, 0)[0], 127);
    EXPECT_EQ(classic->GetPixel(2, 0)[0], 191);
    EXPECT_EQ(classic->GetPixel(3, 0)[0], 255);

    auto stretched = Grays({0, 85, 170, 255});
    ASSERT_EQ(Equalize(*stretched, 0), 1);
    EXPECT_EQ(test::PixelAt(*stretched, 0, 0), (Rgba{0, 0, 0, 33}));
    EXPECT_EQ(test::PixelAt(*stretched, 1, 0), (Rgba{85, 85, 85, 33}));
    EXPECT_EQ(test::PixelAt(*stretched, 2, 0), (Rgba{170, 170, 170, 33}));
    EXPECT_EQ(test::PixelAt(*stretched, 3, 0), (Rgba{255, 255, 255, 33}));
}

TEST(Equalize, HistogramIsOfTheChannelAverage) {
    // Averages 0, 1 (from 1, 1, 2: integer division), 100 and 100; each
    // channel then goes through the one table on its own value.
    auto bitmap =
        test::Strip(TiRGBBpp, {{0, 0, 2, 0}, {1, 1, 2, 0}, {100, 100, 100, 0}, {90, 120, 90, 0}});
    ASSERT_EQ(Equalize(*bitmap, 1), 1);
    EXPECT_EQ(test::PixelAt(*bitmap, 0, 0), (Rgba{63, 63, 127, 0}));
    EXPECT_EQ(test::PixelAt(*bitmap, 1, 0), (Rgba{127, 127, 127, 0}));
    EXPECT_EQ(test::PixelAt(*bitmap, 2, 0), (Rgba{255, 255, 255, 0}));
    EXPECT_EQ(test::PixelAt(*bitmap, 3, 0), (Rgba{127, 255, 127, 0}));
}

TEST(Equalize, AveragesAllZeroGoBlackWhenStretchedAndWhiteWhenNot) {
    for (auto [mode, expected] : {std::pair{0, 0}, std::pair{1, 255}, std::pair{2, 255}}) {
        auto bitmap = test::Strip(TiRGBABpp, {{1, 0, 0, 10}, {0, 2, 0, 20}, {0, 0, 0, 30}});
        ASSERT_EQ(Equalize(*bitmap, mode), 1);
        for (int x = 0; x < 3; ++x) {
            const auto value = static_cast<std::uint8_t>(expected);
            EXPECT_EQ(test::PixelAt(*bitmap, x, 0),
                      (Rgba{value, value, value, static_cast<std::uint8_t>(10 * (x + 1))}))
                << "mode " << mode;
        }
    }
}

TEST(Equalize, StretchFactorIsUsedAsAFloat) {
    // One black pixel among 79 white ones: classic equalization puts black at
    // 3 (255/80); the stretch by 255/252, as a float, lands white at 254.
    std::vector<std::uint8_t> values(80, 255);
    values[0] = 0;
    auto classic = Grays(values);
    ASSERT_EQ(Equalize(*classic, 1), 1);
    EXPECT_EQ(classic->GetPixel(0, 0)[0], 3);
    EXPECT_EQ(classic->GetPixel(1, 0)[0], 255);
    auto stretched = Grays(values);
    ASSERT_EQ(Equalize(*stretched, 0), 1);
    EXPECT_EQ(stretched->GetPixel(0, 0)[0], 0);
    EXPECT_EQ(stretched->GetPixel(1, 0)[0], 254);
}

}  // namespace
}  // namespace vantrel
