#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "Core/base/Posterize.h"
#include "support/TestImages.h"

namespace vantrel {
namespace {

// The table Posterize applied, read from a strip of every value.
std::vector<int> PosterizeTable(int levels) {
    auto bitmap = test::MakeBitmap(256, 1, TiRGBBpp, [](int x, int, int) { return x; });
    EXPECT_EQ(Posterize(*bitmap, levels), 1);
    std::vector<int> table;
    for (int x = 0; x < 256; ++x) table.push_back(bitmap->GetPixel(x, 0)[1]);
    return table;
}

TEST(Posterize, TwoLevelsSplitAtTheMiddle) {
    const std::vector<int> table = PosterizeTable(2);
    for (int i = 0; i < 256; ++i) ASSERT_EQ(table[i], i < 128 ? 0 : 255) << i;
}

TEST(Posterize, BandAndSpacingAreRoundedToFloat) {
    // 256/10 rounds up to 25.6000004f: 128 divided by it in float is 5.0, in
    // double 4.99999993 (band 4, output 113).
    EXPECT_EQ(PosterizeTable(10)[128], 141);
    // 7 · (255/7 as a float) is 254.99998: the top band of 8 levels is 254.
    const std::vector<int> eight = PosterizeTable(8);
    EXPECT_EQ(eight[223], 218);
    EXPECT_EQ(eight[224], 254);
    EXPECT_EQ(eight[255], 254);
    const std::vector<int> all = PosterizeTable(256);
    for (int i = 0; i < 256; ++i) ASSERT_EQ(all[i], i) << "256 levels keep every value";
}

TEST(Posterize, FewerThanTwoLevelsAreRefusedAndHugeCountsAreSafe) {
    for (int levels : {1, 0, -7, INT_MIN}) {
        auto bitmap = test::Noise(8, 8, TiRGBABpp);
        const auto before = test::Pixels(*bitmap);
        EXPECT_EQ(Posterize(*bitmap, levels), 0) << levels;
        EXPECT_EQ(test::Pixels(*bitmap), before);
    }
    const std::vector<int> huge = PosterizeTable(INT_MAX);
    EXPECT_EQ(huge[0], 0);
    EXPECT_EQ(huge[255], 254);
}

TEST(Threshold, IntegerLumaBelowTheLevelIsBlack) {
    auto bitmap = test::Strip(TiRGBABpp, {{127, 127, 127, 1}, {128, 128, 128, 2}, {255, 0, 0, 3}});
    ASSERT_EQ(Threshold(*bitmap, 128), 1);
    EXPECT_EQ(test::PixelAt(*bitmap, 0, 0), (test::Rgba{0, 0, 0, 1}));
    EXPECT_EQ(test::PixelAt(*bitmap, 1, 0), (test::Rgba{255, 255, 255, 2}));
    EXPECT_EQ(test::PixelAt(*bitmap, 2, 0), (test::Rgba{0, 0, 0, 3}));

    auto red = test::Strip(TiRGBBpp, {{255, 0, 0, 0}});  // luma 76
    ASSERT_EQ(Threshold(*red, 76), 1);
    EXPECT_EQ(test::PixelAt(*red, 0, 0), (test::Rgba{255, 255, 255, 0}));
}

TEST(Threshold, LevelsAtAndBeyondTheEnds) {
    for (auto [level, expected] : {std::pair{0, 255}, std::pair{-5, 255}, std::pair{INT_MIN, 255},
                                   std::pair{256, 0}, std::pair{1000, 0}, std::pair{INT_MAX, 0}}) {
        auto bitmap = test::Extremes(20, 11, TiRGBABpp);
        ASSERT_EQ(Threshold(*bitmap, level), 1);
        for (int y = 0; y < 11; ++y)
            for (int x = 0; x < 20; ++x)
                for (int c = 0; c < 3; ++c)
                    ASSERT_EQ(bitmap->GetPixel(x, y)[c], expected) << "level " << level;
    }
}

}  // namespace
}  // namespace vantrel
