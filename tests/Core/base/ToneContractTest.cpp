// What every curve, levels and point colour operation owes its caller: alpha
// untouched, 3- and 4-byte pixels alike, views honoured, the banded parallel
// pass equal to the serial one, 1-byte bitmaps and failed work memory refused
// with the pixels unchanged.
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "Core/base/BrightnessContrast.h"
#include "Core/base/ChannelMixer.h"
#include "Core/base/Curve.h"
#include "Core/base/Equalize.h"
#include "Core/base/Exposure.h"
#include "Core/base/GrayInvert.h"
#include "Core/base/Levels.h"
#include "Core/base/Posterize.h"
#include "support/TestImages.h"

namespace vantrel {
namespace {

using test::Bitmap;

struct ToneOperation {
    std::string name;
    std::function<int(TiBitmapData&)> run;
    int workAllocations;  // TiMalloc calls one run makes
};

// Failure messages name the operation instead of dumping its bytes.
void PrintTo(const ToneOperation& operation, std::ostream* out) {
    *out << operation.name;
}

const Vec3 kThreePoints[] = {{0, 0, 0}, {128, 200, 0}, {255, 255, 0}};

std::vector<Vec3> ManyPoints() {
    std::vector<Vec3> points;
    for (int i = 0; i <= 11; ++i) {
        const float x = static_cast<float>(i) * 23.0f;
        points.push_back({x, 255.0f - x, 0});
    }
    return points;
}

std::vector<ToneOperation> Operations() {
    return {
        {"CurveAll",
         [](TiBitmapData& b) { return AdjustCurveBySplinePoints(b, kThreePoints, 3, 0); }, 1},
        {"CurveGreen",
         [](TiBitmapData& b) { return AdjustCurveBySplinePoints(b, kThreePoints, 3, 2); }, 1},
        {"CurveTwelvePoints",
         [](TiBitmapData& b) {
             const std::vector<Vec3> points = ManyPoints();
             return AdjustCurveBySplinePoints(b, points.data(), static_cast<int>(points.size()), 0);
         },
         2},
        {"LevelsAll", [](TiBitmapData& b) { return AdjustLevels(b, 30, 220, 1.7, 0); }, 0},
        {"LevelsBlue", [](TiBitmapData& b) { return AdjustLevels(b, 10, 140, 0.6, 3); }, 0},
        {"AutoLevels", AutoLevels, 1},
        {"Gray", ConvertToGray, 0},
        {"Invert", InvertColor, 0},
        {"Complement", ComplementColor, 0},
        {"BrighterHarder", [](TiBitmapData& b) { return AdjustBrightnessContrast(b, 0.2f, 0.4f); },
         0},
        {"DarkerSofter", [](TiBitmapData& b) { return AdjustBrightnessContrast(b, -0.3f, -0.5f); },
         0},
        {"ExposureUp", [](TiBitmapData& b) { return AdjustExposure(b, 1.3f); }, 0},
        {"ExposureDown", [](TiBitmapData& b) { return AdjustExposure(b, -2.0f); }, 0},
        {"Posterize", [](TiBitmapData& b) { return Posterize(b, 5); }, 0},
        {"Threshold", [](TiBitmapData& b) { return Threshold(b, 100); }, 0},
        {"EqualizeStretch", [](TiBitmapData& b) { return Equalize(b, 0); }, 0},
        {"EqualizeClassic", [](TiBitmapData& b) { return Equalize(b, 1); }, 0},
        {"MixChannels",
         [](TiBitmapData& b) {
             return MixChannels(b, {{0.5f, 0.6f, -0.2f}, {0.3f, 0.9f, 0.1f}, {-0.4f, 0.2f, 1.3f}});
         },
         1},
        {"MixToGray",
         [](TiBitmapData& b) {
             return MixChannelsToGray(b, {0.4f, 0.4f, 0.2f});
         },
         1},
    };
}

class ToneContract : public testing::TestWithParam<ToneOperation> {};

TEST_P(ToneContract, ChangesColourButNeverAlpha) {
    Bitmap bitmap = test::Noise(19, 13, TiRGBABpp, 7);
    const Bitmap before = bitmap->Clone(false);
    ASSERT_EQ(GetParam().run(*bitmap), 1);
    test::ExpectAlphaUnchanged(*before, *bitmap);
    EXPECT_NE(test::Pixels(*bitmap), test::Pixels(*before)) << "the operation did nothing";
}

TEST_P(ToneContract, ThreeAndFourBytePixelsGetTheSameColours) {
    Bitmap rgba = test::Noise(23, 11, TiRGBABpp, 3);
    Bitmap rgb = test::MakeBitmap(23, 11, TiRGBBpp,
                                  [&rgba](int x, int y, int c) { return rgba->GetPixel(x, y)[c]; });
    ASSERT_EQ(GetParam().run(*rgba), 1);
    ASSERT_EQ(GetParam().run(*rgb), 1);
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 23; ++x)
            for (int c = 0; c < 3; ++c)
                ASSERT_EQ(rgba->GetPixel(x, y)[c], rgb->GetPixel(x, y)[c]) << x << "," << y;
}

TEST_P(ToneContract, ViewChangesOnlyItsRegionAsAPackedCopyWould) {
    for (int bpp : {TiRGBBpp, TiRGBABpp}) {
        SCOPED_TRACE(bpp);
        test::ExpectViewMatchesPackedCopy([bpp] { return test::Noise(37, 23, bpp, 11); }, 5, 3, 17,
                                          11, GetParam().run);
    }
}

// Large enough for the pass to be split into bands: a picture tiled from a
// small one has the same value shares, so every operation must give the tiled
// small result.
TEST_P(ToneContract, BandedPassOverALargePictureMatchesTheSmallOne) {
    constexpr int kTileWidth = 8, kTileHeight = 4, kRepeat = 100;
    Bitmap tile = test::Noise(kTileWidth, kTileHeight, TiRGBABpp, 5);
    Bitmap large = test::MakeBitmap(kTileWidth * kRepeat, kTileHeight * kRepeat, TiRGBABpp,
                                    [&tile](int x, int y, int c) {
                                        return tile->GetPixel(x % kTileWidth, y % kTileHeight)[c];
                                    });
    ASSERT_EQ(GetParam().run(*tile), 1);
    ASSERT_EQ(GetParam().run(*large), 1);
    for (int y = 0; y < large->GetHeight(); ++y)
        for (int x = 0; x < large->GetWidth(); ++x)
            ASSERT_EQ(test::PixelAt(*large, x, y),
                      test::PixelAt(*tile, x % kTileWidth, y % kTileHeight))
                << x << "," << y;
}

TEST_P(ToneContract, OneBytePixelsAndFailedWorkMemoryAreRefusedUnchanged) {
    Bitmap gray = test::Noise(9, 5, 1, 2);
    const std::vector<std::uint8_t> before = test::Pixels(*gray);
    EXPECT_EQ(GetParam().run(*gray), 0);
    EXPECT_EQ(test::Pixels(*gray), before);

    const int refused = test::ExpectRefusalsLeaveBitmapUnchanged(
        [] { return test::Noise(16, 9, TiRGBABpp, 4); }, GetParam().run);
    EXPECT_EQ(refused, GetParam().workAllocations);
}

TEST_P(ToneContract, EmptyBitmapIsDone) {
    unsigned char byte = 0;
    TiBitmapData empty(&byte, 0, 0, 0, TiRGBABpp, false);
    EXPECT_EQ(GetParam().run(empty), 1);
    TiBitmapData noRows(&byte, 5, 0, 20, TiRGBABpp, false);
    EXPECT_EQ(GetParam().run(noRows), 1);
}

INSTANTIATE_TEST_SUITE_P(Tone, ToneContract, testing::ValuesIn(Operations()),
                         [](const testing::TestParamInfo<ToneOperation>& info) {
                             return info.param.name;
                         });

}  // namespace
}  // namespace vantrel
