#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "Core/base/Levels.h"
#include "Core/global/TiAssert.h"
#include "support/TestImages.h"

namespace vantrel {
namespace {

using test::Bitmap;

// Red, green and blue each run through every value 0..255.
Bitmap AllValues() {
    return test::MakeBitmap(256, 1, TiRGBABpp, [](int x, int, int c) {
        return static_cast<std::uint8_t>(c == 3 ? 200 : x);
    });
}

// The table a levels call applied to red.
std::vector<int> RedLevels(int low, int high, double gamma) {
    Bitmap bitmap = AllValues();
    EXPECT_EQ(AdjustLevels(*bitmap, low, high, gamma, 0), 1);
    std::vector<int> table;
    for (int x = 0; x < 256; ++x) table.push_back(bitmap->GetPixel(x, 0)[0]);
    return table;
}

TEST(AdjustLevels, FullRangeAtGammaOneIsTheIdentity) {
    const std::vector<int> table = RedLevels(0, 255, 1.0);
    for (int i = 0; i < 256; ++i) ASSERT_EQ(table[i], i);
}

TEST(AdjustLevels, InputRangeStretchesOntoTheWholeScale) {
    const std::vector<int> table = RedLevels(50, 200, 1.0);
    EXPECT_EQ(table[0], 0);
    EXPECT_EQ(table[49], 0);
    EXPECT_EQ(table[50], 0);
    EXPECT_EQ(table[125], 127);
    EXPECT_EQ(table[199], 253);
    EXPECT_EQ(table[200], 255);
    EXPECT_EQ(table[255], 255);
}

TEST(AdjustLevels, GammaBendsInDouble) {
    const std::vector<int> bright = RedLevels(0, 100, 2.0);
    EXPECT_EQ(bright[25], 127);  // sqrt(0.25) = 0.5
    EXPECT_EQ(bright[64], 204);  // sqrt(0.64) = 0.8
    // (1/27)^(1/3) · 255 is 85 in double; 32-bit powf gives 84.
    EXPECT_EQ(RedLevels(0, 27, 3.0)[1], 85);
    const std::vector<int> zero = RedLevels(40, 90, 0.0);
    EXPECT_EQ(zero[39], 0);
    for (int i = 40; i < 256; ++i) ASSERT_EQ(zero[i], 255) << i;
}

TEST(AdjustLevels, RefusedParametersLeaveThePixelsAlone) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        int low, high;
        double gamma;
    };
    for (const Case& c :
         {Case{100, 100, 1.0}, Case{120, 80, 1.0}, Case{-1, 200, 1.0}, Case{0, 256, 1.0},
          Case{0, 255, -0.01}, Case{0, 255, 10.01}, Case{0, 255, nan},
          Case{0, 255, std::numeric_limits<double>::infinity()}}) {
        Bitmap bitmap = test::Noise(7, 3, TiRGBABpp);
        const std::vector<std::uint8_t> before = test::Pixels(*bitmap);
        EXPECT_EQ(AdjustLevels(*bitmap, c.low, c.high, c.gamma, 0), 0)
            << c.low << ".." << c.high << " gamma " << c.gamma;
        EXPECT_EQ(test::Pixels(*bitmap), before);
    }
    Bitmap bitmap = AllValues();
    EXPECT_EQ(AdjustLevels(*bitmap, 0, 255, 10.0, 0), 1) << "gamma 10 is the top of the range";
    EXPECT_THROW(AdjustLevels(*bitmap, 0, 200, 1.0, 4), TiAssertionError);
}

TEST(AdjustLevels, ChannelSelectorNamesOneByte) {
    Bitmap bitmap = AllValues();
    ASSERT_EQ(AdjustLevels(*bitmap, 0, 128, 1.0, 2), 1);
    EXPECT_EQ(test::PixelAt(*bitmap, 64, 0), (test::Rgba{64, 127, 64, 200}));
    EXPECT_EQ(test::PixelAt(*bitmap, 200, 0), (test::Rgba{200, 255, 200, 200}));
}

// Red spans 20..230 once each; green and blue are constant.
TEST(AutoLevels, EvenSpanStretchesToTheFullScale) {
    Bitmap bitmap = test::MakeBitmap(211, 1, TiRGBBpp, [](int x, int, int c) {
        return static_cast<std::uint8_t>(c == 0 ? 20 + x : (c == 1 ? 0 : 255));
    });
    ASSERT_EQ(AutoLevels(*bitmap), 1);
    EXPECT_EQ(bitmap->GetPixel(0, 0)[0], 0);
    EXPECT_EQ(bitmap->GetPixel(105, 0)[0], 127);
    EXPECT_EQ(bitmap->GetPixel(210, 0)[0], 255);
    for (int x = 1; x < 211; ++x) {
        ASSERT_GT(bitmap->GetPixel(x, 0)[0], bitmap->GetPixel(x - 1, 0)[0]) << x;
        ASSERT_EQ(bitmap->GetPixel(x, 0)[1], 0) << "a channel all at 0 stays";
        ASSERT_EQ(bitmap->GetPixel(x, 0)[2], 255) << "a channel all at 255 stays";
    }
}

TEST(AutoLevels, BlackPictureIsUnchanged) {
    Bitmap bitmap = test::Constant(6, 4, TiRGBABpp, {0, 0, 0, 90});
    ASSERT_EQ(AutoLevels(*bitmap), 1);
    EXPECT_EQ(test::Pixels(*bitmap), test::Pixels(*test::Constant(6, 4, TiRGBABpp, {0, 0, 0, 90})));
}

// 99 pixels spread over 101..117 and one at 118: the ends fall at 100 and
// 118, and the ramp of 18 steps of 255/18, added up one after another, ends
// at 254, not 255.
TEST(AutoLevels, RampByRepeatedAdditionCanTopOutAt254) {
    Bitmap bitmap = test::MakeBitmap(100, 1, TiRGBBpp, [](int x, int, int) {
        return static_cast<std::uint8_t>(x == 99 ? 118 : 101 + x % 17);
    });
    ASSERT_EQ(AutoLevels(*bitmap), 1);
    EXPECT_EQ(bitmap->GetPixel(99, 0)[0], 254);
    EXPECT_EQ(bitmap->GetPixel(0, 0)[0], 14);    // 255/18 after one step
    EXPECT_EQ(bitmap->GetPixel(16, 0)[2], 240);  // value 117
}

}  // namespace
}  // namespace vantrel
