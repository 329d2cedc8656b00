// Exact values of the curves, levels and point colour operations; what they
// all owe their caller is swept in tests/Core/ContractTest.cpp.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <limits>
#include <vector>

#include "Core/base/BrightnessContrast.h"
#include "Core/base/ChannelMixer.h"
#include "Core/base/Curve.h"
#include "Core/base/Equalize.h"
#include "Core/base/Exposure.h"
#include "Core/base/GrayInvert.h"
#include "Core/base/Levels.h"
#include "Core/base/Posterize.h"
#include "Core/global/Numeric.h"
#include "Core/global/TiMemory.h"
#include "support/TestImages.h"

namespace vantrel {
namespace {

using test::Applied;
using test::Bitmap;
using test::Rgba;
using test::ValueMap;
using Rgbas = std::vector<Rgba>;
using Ints = std::vector<int>;

const float kNan = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();

// A strip of gray pixels, one per value; each pixel's gray after `operation`.
Ints Grays(const Ints& values, const test::Operation& operation, int alpha = 255) {
    Rgbas pixels;
    for (int v : values) {
        const auto b = static_cast<std::uint8_t>(v);
        pixels.push_back({b, b, b, static_cast<std::uint8_t>(alpha)});
    }
    Ints grays;
    for (const Rgba& p : Applied(TiRGBABpp, pixels, operation)) grays.push_back(p[0]);
    return grays;
}

TEST(BrightnessContrast, MeanLumaAndTheFloatSteps) {
    // Lumas 76 (pure red), 150 (pure green), 29 (pure blue) and 255, truncated.
    auto primaries =
        test::Strip(TiRGBBpp, {{255, 0, 0, 0}, {0, 255, 0, 0}, {0, 0, 255, 0}, {255, 255, 255, 0}});
    EXPECT_EQ(ComputeMeanLuminance(*primaries), (76 + 150 + 29 + 255) / 4);
    // (601 * 51 + 117 * 145) / 1024 is 46.5: a half rounds up.
    EXPECT_EQ(ComputeMeanLuminance(*test::Strip(TiRGBBpp, {{0, 51, 145, 0}})), 47);
    unsigned char byte = 0;
    EXPECT_EQ(ComputeMeanLuminance(TiBitmapData(&byte, 0, 0, 0, TiRGBABpp, false)), 0);
    EXPECT_EQ(Grays({0, 100, 200}, ON(AdjustBrightnessContrast(b, 0.5f, 0))), (Ints{0, 150, 255}));
    // 100 · (1 - 0.99) lands a hair above 1 in float (a hair below in double).
    EXPECT_EQ(Grays({100, 200, 255}, ON(AdjustBrightnessContrast(b, -0.99f, 0))), (Ints{1, 2, 2}));
    // Mean luma 100: contrast -0.95 pulls 0 and 200 toward it; 95 in float, 94 in double.
    EXPECT_EQ(Grays({0, 200}, ON(AdjustBrightnessContrast(b, 0, -0.95f))), (Ints{95, 105}));
    // Mean luma 0 (one 99 among black): contrast 0.01 lifts 99 to 99.99999 in double, 100 in float.
    Ints values(100, 0);
    values[42] = 99;
    EXPECT_EQ(Grays(values, ON(AdjustBrightnessContrast(b, 0, 0.01f)))[42], 100);
    // Full contrast: everything but the mean goes to an end.
    EXPECT_EQ(Grays({60, 100, 140, 99, 101}, ON(AdjustBrightnessContrast(b, 0, 1))),
              (Ints{0, 100, 255, 0, 255}));
    // Mean 100, contrast 0.5 (factor 255), brightness 0.1: lifted first, then pushed from the mean.
    EXPECT_EQ(Grays({99, 100, 101, 100}, ON(AdjustBrightnessContrast(b, 0.1f, 0.5f))),
              (Ints{116, 120, 122, 120}));
}

auto Mix(TinyChannelMixScale red, TinyChannelMixScale green, TinyChannelMixScale blue) {
    return [=](TiBitmapData& b) { return MixChannels(b, TinyChannelMixer{red, green, blue}); };
}

// The mixer from its definition: entries truncate(i * k) in float, sums
// clamped, green from the new red, blue from the new red and green.
Rgbas MixedByDefinition(const Rgbas& pixels, const std::array<float, 9>& k) {
    const auto entry = [](int i, float scale) {
        return std::int64_t{TiTrunc(static_cast<float>(i) * scale)};
    };
    const auto clamp = [](std::int64_t v) {
        return static_cast<std::uint8_t>(std::clamp<std::int64_t>(v, 0, 255));
    };
    Rgbas out;
    for (Rgba p : pixels) {
        p[0] = clamp(entry(p[0], k[0]) + entry(p[1], k[1]) + entry(p[2], k[2]));
        p[1] = clamp(entry(p[0], k[3]) + entry(p[1], k[4]) + entry(p[2], k[5]));
        p[2] = clamp(entry(p[0], k[6]) + entry(p[1], k[7]) + entry(p[2], k[8]));
        out.push_back(p);
    }
    return out;
}

// Every value of every channel, mixed by scales whose products land on and
// beside whole numbers, near the largest reach of the lanes and beyond it.
TEST(MixChannels, EveryChannelValueMatchesTheDefinition) {
    Rgbas pixels;
    for (int i = 0; i < 256 * 6; ++i) {
        pixels.push_back({static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i * 7 + i / 256),
                          static_cast<std::uint8_t>(255 - i * 3),
                          static_cast<std::uint8_t>(i * 5)});
    }
    const std::array<std::array<float, 9>, 5> sets = {{
        {0.8f, 0.3f, -0.1f, 0.1f, 0.9f, 0.0f, -0.2f, 0.2f, 1.1f},
        {0.01f, 0.7f, 1.0f / 3, 0.9f, 0.9f, -0.5f, 0.0f, -1.0f, 0.5f},
        {5.0f, 4.9f, 5.0f, -5.0f, -4.9f, -5.0f, 1.7f, -2.5f, 0.05f},
        {20.0f, -19.5f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 30.0f},
        {0.299f, 0.587f, 0.114f, -0.001f, 1.001f, 0.0f, 2.0f / 3, 0.0f, 0.999f},
    }};
    for (int bpp : {TiRGBBpp, TiRGBABpp}) {
        for (const auto& k : sets) {
            const auto mix = Mix({k[0], k[1], k[2]}, {k[3], k[4], k[5]}, {k[6], k[7], k[8]});
            Rgbas expected = MixedByDefinition(pixels, k);
            if (bpp == TiRGBBpp) {
                for (Rgba& p : expected) p[3] = 0;
            }
            EXPECT_EQ(Applied(bpp, pixels, mix), expected) << bpp << " bytes, scale " << k[0];
            // The gray mix is the red of a mix whose three rows are equal.
            const std::array<float, 9> same = {k[0], k[1], k[2], 0, 0, 0, 0, 0, 0};
            Rgbas gray = MixedByDefinition(pixels, same);
            for (Rgba& p : gray)
                p = {p[0], p[0], p[0], static_cast<std::uint8_t>(bpp == 4 ? p[3] : 0)};
            EXPECT_EQ(Applied(bpp, pixels, ON(MixChannelsToGray(b, {k[0], k[1], k[2]}))), gray)
                << bpp << " bytes, gray scale " << k[0];
        }
    }
    // The int range's top plus its bottom is -1, so 0; NaN counts 0, infinity saturates.
    EXPECT_EQ(Applied(TiRGBBpp, {{5, 5, 5, 0}, {0, 5, 0, 0}},
                      Mix({1e30f, -kInf, 0}, {kNan, kInf, 0}, {kInf, kInf, kInf})),
              (Rgbas{{0, 255, 255, 0}, {0, 255, 255, 0}}));
}

// Each value 0..255 in the three colour bytes, so that a table shows in full.
TEST(AdjustCurve, SelectorPicksTheChannelsOfEitherPixelSize) {
    unsigned char table[256];
    for (int i = 0; i < 256; ++i) table[i] = static_cast<unsigned char>(i / 2 + 100);
    for (int bpp : {TiRGBBpp, TiRGBABpp}) {
        for (int channel = 0; channel <= 3; ++channel) {
            Bitmap bitmap = test::Noise(36, 7, bpp);
            const Bitmap expected = test::MakeBitmap(36, 7, bpp, [&](int x, int y, int c) {
                const unsigned char old = bitmap->GetPixel(x, y)[c];
                return c < 3 && (channel == 0 || channel == c + 1) ? table[old] : old;
            });
            AdjustCurve(*bitmap, table, channel);
            EXPECT_EQ(test::Pixels(*bitmap), test::Pixels(*expected)) << channel;
        }
    }
}

// A large picture goes through tables of byte pairs when their memory can be
// had; without it the byte tables must give the same pixels.
TEST(AdjustCurve, PairTablesMatchTheByteTables) {
    unsigned char red[256], green[256], blue[256];
    for (int i = 0; i < 256; ++i) {
        red[i] = static_cast<unsigned char>(255 - i);
        green[i] = static_cast<unsigned char>(i * i / 255);
        blue[i] = static_cast<unsigned char>(i / 3 + 40);
    }
    for (int bpp : {TiRGBBpp, TiRGBABpp}) {
        Bitmap paired = test::Noise(300, 250, bpp, 9);
        Bitmap single = paired->Clone(false);
        const Bitmap before = paired->Clone(false);
        AdjustCurveChannels(*paired, red, green, blue);
        TiMemoryTestHook::FailAllocation(1);
        AdjustCurveChannels(*single, red, green, blue);
        EXPECT_EQ(TiMemoryTestHook::AllocationCount(), 1) << "the pair tables were asked for";
        TiMemoryTestHook::Reset();
        EXPECT_EQ(test::Pixels(*paired), test::Pixels(*single)) << bpp << " bytes per pixel";
        for (int x = 0; x < 300; ++x) {
            const std::uint8_t* was = before->GetPixel(x, 7);
            const std::uint8_t* now = paired->GetPixel(x, 7);
            ASSERT_EQ(
                (Ints{now[0], now[1], now[2], now[bpp - 1]}),
                (Ints{red[was[0]], green[was[1]], blue[was[2]], bpp == 4 ? was[3] : blue[was[2]]}));
        }
    }
}

std::vector<unsigned char> Sample(const std::vector<Vec3>& points, int size = 256,
                                  int samples = 200, int low = 0, int high = 255) {
    CurveSpline spline;
    for (const Vec3& point : points) EXPECT_TRUE(spline.AppendPoint(point));
    std::vector<unsigned char> table(size, 0xEE);
    SampleCurveTable(spline, table.data(), size, samples, low, high);
    return table;
}

TEST(CurveSpline, PassesThroughItsPointsAndCarriesZ) {
    CurveSpline spline;
    EXPECT_EQ(spline.Evaluate(0.5f).y, 0.0f) << "an empty spline gives the zero point";
    const std::vector<Vec3> points = {{0, 10, 1},    {40, 90, 2},   {100, 30, 3}, {180, 200, 4},
                                      {255, 120, 5}, {20, 20, 6},   {60, 60, 7},  {90, 90, 8},
                                      {120, 120, 9}, {150, 150, 10}};
    for (const Vec3& point : points) ASSERT_TRUE(spline.AppendPoint(point));
    ASSERT_EQ(spline.GetPointCount(), 10);
    for (int i = 0; i < 10; ++i) {
        const Vec3 at = spline.Evaluate(static_cast<float>(i) / 10.0f);
        EXPECT_NEAR(at.x, points[i].x, 1e-3) << i;
        EXPECT_NEAR(at.y, points[i].y, 1e-3) << i;
        EXPECT_NEAR(at.z, points[i].z, 1e-4) << i;
        EXPECT_EQ(spline.GetPoint(i).y, points[i].y) << "kept after the array grew";
    }
    const Vec3 between = spline.Evaluate(0.15f);  // half way from point 1 to point 2
    EXPECT_GT(between.x, 40.0f);
    EXPECT_LT(between.x, 100.0f);
    EXPECT_NEAR(between.z, 2.5f, 0.1f);
}

TEST(SampleCurveTable, ShapesEndsAndClamps) {
    const auto identity = Sample({{0, 0, 0}, {255, 255, 0}});
    for (int i = 0; i < 256; ++i) ASSERT_EQ(identity[i], i);
    // Three points: the middle one within a unit, rising throughout.
    const auto three = Sample({{0, 0, 0}, {128, 200, 0}, {255, 255, 0}});
    EXPECT_EQ((Ints{three[0], three[128], three[255]}), (Ints{0, 199, 255}));
    for (int i = 1; i < 256; ++i) ASSERT_GE(three[i], three[i - 1]) << i;
    // Outside the end points the end outputs hold.
    const auto held = Sample({{30, 10, 0}, {128, 128, 0}, {220, 240, 0}});
    for (int i = 0; i <= 30; ++i) ASSERT_EQ(held[i], 10) << i;
    for (int i = 221; i < 256; ++i) ASSERT_EQ(held[i], 240) << i;
    EXPECT_GT(held[31], 10);
    EXPECT_LT(held[219], 240);
    // The shadow lift's weights: 100 entries sampled 100 times unclamped;
    // entry 4 is 95 in 32-bit float, 94 in double.
    const auto shadow =
        Sample({{0, 100, 0}, {20, 75, 0}, {40, 50, 0}, {57.5f, 25, 0}, {75, 0, 0}}, 100, 100, 0, 0);
    EXPECT_EQ((Ints{shadow[0], shadow[4], shadow[20], shadow[40]}), (Ints{100, 95, 75, 50}));
    for (int i = 75; i < 100; ++i) ASSERT_EQ(shadow[i], 0) << i;
    for (int i = 1; i < 100; ++i) ASSERT_LE(shadow[i], shadow[i - 1]) << i;
    const auto clamped = Sample({{0, -80, 0}, {128, 400, 0}, {255, 300, 0}});
    EXPECT_EQ((Ints{clamped[0], clamped[128], clamped[255]}), (Ints{0, 255, 255}));
    const auto narrow = Sample({{0, 0, 0}, {255, 255, 0}}, 256, 200, 50, 150);
    EXPECT_EQ((Ints{narrow[10], narrow[100], narrow[200]}), (Ints{50, 100, 150}));
}

// Points from outside: NaN, infinities, huge and negative coordinates, out of
// order. Whatever the table holds, nothing is written outside it.
TEST(SampleCurveTable, WildPointsStayInsideTheTable) {
    const std::vector<std::vector<Vec3>> wild = {
        {{kNan, kNan, 0}, {255, 255, 0}},
        {{0, 0, 0}, {kNan, 100, 0}},
        {{-kInf, 5, 0}, {kInf, 250, 0}},
        {{-1e30f, -1e30f, 0}, {1e30f, 1e30f, 0}},
        {{300, 10, 0}, {400, 20, 0}},
        {{-50, 10, 0}, {-20, 200, 0}, {100, 30, 0}},
        {{200, 10, 0}, {10, 200, 0}, {100, 100, 0}},
        {{128, 64, 0}},
    };
    for (size_t w = 0; w < wild.size(); ++w) {
        CurveSpline spline;
        for (const Vec3& point : wild[w]) ASSERT_TRUE(spline.AppendPoint(point));
        for (int samples : {0, 1, 200, 5000}) {
            std::vector<unsigned char> guarded(64 + 256 + 64, 0xA5);
            SampleCurveTable(spline, guarded.data() + 64, 256, samples, 0, 255);
            SampleCurveTable(spline, guarded.data() + 64, 256, samples);
            for (int i = 0; i < 64; ++i) {
                ASSERT_EQ(guarded[i], 0xA5) << "set " << w << ", written before the table";
                ASSERT_EQ(guarded[64 + 256 + i], 0xA5) << "set " << w << ", written after it";
            }
        }
    }
    CurveSpline empty;
    std::vector<unsigned char> table(256, 7);
    SampleCurveTable(empty, table.data(), 256, 200, 0, 255);
    EXPECT_EQ(table, std::vector<unsigned char>(256, 7)) << "no points, no table";
}

TEST(AdjustCurveBySplinePoints, RedCurveRaisesOnlyRedAndNoPointsNothing) {
    const Vec3 points[] = {{0, 0, 0}, {128, 200, 0}, {255, 255, 0}};
    const auto table = Sample({points[0], points[1], points[2]});
    const auto red = ValueMap(ON(AdjustCurveBySplinePoints(b, points, 3, 1)));
    for (int x = 0; x < 256; ++x) ASSERT_EQ(red[x], table[x]);
    EXPECT_EQ(ValueMap(ON(AdjustCurveBySplinePoints(b, points, 3, 1)), 1)[7], 7);
}

TEST(AdjustLevels, StretchesTheInputRangeWithGammaInDouble) {
    const Ints identity = ValueMap(ON(AdjustLevels(b, 0, 255, 1.0, 0)));
    for (int i = 0; i < 256; ++i) ASSERT_EQ(identity[i], i);
    const Ints range = ValueMap(ON(AdjustLevels(b, 50, 200, 1.0, 0)));
    EXPECT_EQ(
        (Ints{range[0], range[49], range[50], range[125], range[199], range[200], range[255]}),
        (Ints{0, 0, 0, 127, 253, 255, 255}));
    const Ints bright = ValueMap(ON(AdjustLevels(b, 0, 100, 2.0, 0)));
    EXPECT_EQ(bright[25], 127);  // sqrt(0.25) = 0.5
    EXPECT_EQ(bright[64], 204);  // sqrt(0.64) = 0.8
    // (1/27)^(1/3) · 255 is 85 in double; 32-bit powf gives 84.
    EXPECT_EQ(ValueMap(ON(AdjustLevels(b, 0, 27, 3.0, 0)))[1], 85);
    const Ints zero = ValueMap(ON(AdjustLevels(b, 40, 90, 0.0, 0)));
    EXPECT_EQ(zero[39], 0);
    for (int i = 40; i < 256; ++i) ASSERT_EQ(zero[i], 255) << i;
    EXPECT_EQ(ValueMap(ON(AdjustLevels(b, 0, 255, 10.0, 0)))[255], 255)
        << "gamma 10 is the top of the range";
    // The selector names one byte.
    EXPECT_EQ(Applied(TiRGBABpp, {{64, 64, 64, 200}, {200, 200, 200, 200}},
                      ON(AdjustLevels(b, 0, 128, 1.0, 2))),
              (Rgbas{{64, 127, 64, 200}, {200, 255, 200, 200}}));
}

TEST(AutoLevels, StretchesEachChannelByItsClippedEnds) {
    // Red spans 20..230 once each; green and blue are constant and stay.
    Bitmap span = test::MakeBitmap(211, 1, TiRGBBpp, [](int x, int, int c) {
        return static_cast<std::uint8_t>(c == 0 ? 20 + x : (c == 1 ? 0 : 255));
    });
    ASSERT_EQ(AutoLevels(*span), 1);
    EXPECT_EQ((Ints{span->GetPixel(0, 0)[0], span->GetPixel(105, 0)[0], span->GetPixel(210, 0)[0]}),
              (Ints{0, 127, 255}));
    for (int x = 1; x < 211; ++x) {
        ASSERT_GT(span->GetPixel(x, 0)[0], span->GetPixel(x - 1, 0)[0]) << x;
        ASSERT_EQ(span->GetPixel(x, 0)[1], 0);
        ASSERT_EQ(span->GetPixel(x, 0)[2], 255);
    }
    EXPECT_EQ(Applied(TiRGBABpp, {{0, 0, 0, 90}, {0, 0, 0, 90}}, AutoLevels),
              (Rgbas{{0, 0, 0, 90}, {0, 0, 0, 90}}));
    // 99 pixels over 101..117 and one at 118: the ends fall at 100 and 118, and
    // 18 steps of 255/18 added one after another end at 254, not 255.
    Bitmap ramp = test::MakeBitmap(100, 1, TiRGBBpp, [](int x, int, int) {
        return static_cast<std::uint8_t>(x == 99 ? 118 : 101 + x % 17);
    });
    ASSERT_EQ(AutoLevels(*ramp), 1);
    EXPECT_EQ(ramp->GetPixel(99, 0)[0], 254);
    EXPECT_EQ(ramp->GetPixel(0, 0)[0], 14);    // 255/18 after one step
    EXPECT_EQ(ramp->GetPixel(16, 0)[2], 240);  // value 117
}

TEST(Equalize, SpreadsTheAverageHistogramAndStretchesInFloat) {
    auto equalize = [](int mode) { return [mode](TiBitmapData& b) { return Equalize(b, mode); }; };
    EXPECT_EQ(Grays({0, 85, 170, 255}, equalize(1), 33), (Ints{63, 127, 191, 255}));
    EXPECT_EQ(Grays({0, 85, 170, 255}, equalize(0), 33), (Ints{0, 85, 170, 255}));
    // Averages 0, 1 (1, 1, 2: integer division), 100 and 100; each channel
    // then goes through the one table on its own value.
    EXPECT_EQ(
        Applied(TiRGBBpp, {{0, 0, 2, 0}, {1, 1, 2, 0}, {100, 100, 100, 0}, {90, 120, 90, 0}},
                equalize(1)),
        (Rgbas{{63, 63, 127, 0}, {127, 127, 127, 0}, {255, 255, 255, 0}, {127, 255, 127, 0}}));
    // Averages all zero go black when stretched, white when not.
    for (auto [mode, v] : {std::pair{0, 0}, {1, 255}, {2, 255}}) {
        const auto b = static_cast<std::uint8_t>(v);
        EXPECT_EQ(Applied(TiRGBABpp, {{1, 0, 0, 10}, {0, 2, 0, 20}, {0, 0, 0, 30}}, equalize(mode)),
                  (Rgbas{{b, b, b, 10}, {b, b, b, 20}, {b, b, b, 30}}))
            << mode;
    }
    // One black pixel among 79 white: black at 3 (255/80); the stretch by
    // 255/252 as a float lands white at 254.
    Ints values(80, 255);
    values[0] = 0;
    EXPECT_EQ(Grays(values, equalize(1))[0], 3);
    EXPECT_EQ(Grays(values, equalize(1))[1], 255);
    EXPECT_EQ(Grays(values, equalize(0))[0], 0);
    EXPECT_EQ(Grays(values, equalize(0))[1], 254);
}

// Red 50, 50, 50, 255 (three quarters at or below 50); green constant 80;
// blue runs 0, 100, 200, 255.
const Rgbas kQuad = {{50, 80, 0, 1}, {50, 80, 100, 2}, {50, 80, 200, 3}, {255, 80, 255, 4}};

TEST(AdjustExposure, LiftsOrScalesByTheShareAtOrBelowEachValue) {
    // Red 50: (0.75 · 0.2f + 1) · 50 + 0.5 is a hair over 58 with 1/5 in float
    // (under with 0.2 in double); blue 100 · 1.1 + 0.5, 200 · 1.15 + 0.5.
    EXPECT_EQ(Applied(TiRGBABpp, kQuad, ON(AdjustExposure(b, 1))),
              (Rgbas{{58, 96, 0, 1}, {58, 96, 110, 2}, {58, 96, 230, 3}, {255, 96, 255, 4}}));
    // Red 50: 0.75 / 1.75 · 50 + 0.5 = 21.9; green 80: 1 / 2 · 80 + 0.5; blue 0.5 / 1.5 · 100 +
    // 0.5.
    EXPECT_EQ(Applied(TiRGBABpp, kQuad, ON(AdjustExposure(b, -1))),
              (Rgbas{{21, 40, 0, 1}, {21, 40, 33, 2}, {21, 40, 86, 3}, {128, 40, 128, 4}}));
    EXPECT_EQ(Applied(TiRGBABpp, kQuad, ON(AdjustExposure(b, kInf)))[1], (Rgba{255, 255, 255, 2}));
    EXPECT_EQ(Applied(TiRGBABpp, kQuad, ON(AdjustExposure(b, -kInf)))[3], (Rgba{0, 0, 0, 4}));
}

TEST(GrayInvertComplement, ExactValues) {
    // (0, 14, 76) and (0, 68, 12) sit just below 16 and 50 in double; in
    // 32-bit float they would round up.
    EXPECT_EQ(Applied(TiRGBABpp,
                      {{255, 255, 255, 1},
                       {0, 0, 1, 2},
                       {0, 14, 76, 3},
                       {0, 68, 12, 4},
                       {255, 0, 0, 5},
                       {10, 200, 30, 6}},
                      ConvertToGray),
              (Rgbas{{255, 255, 255, 1},
                     {0, 0, 0, 2},
                     {15, 15, 15, 3},
                     {49, 49, 49, 4},
                     {54, 54, 54, 5},
                     {147, 147, 147, 6}}));
    const Ints inverted = ValueMap(InvertColor, 1);
    for (int x = 0; x < 256; ++x) ASSERT_EQ(inverted[x], 255 - x);
    EXPECT_EQ(Applied(TiRGBABpp,
                      {{200, 100, 150, 9},
                       {77, 77, 77, 8},
                       {255, 0, 10, 7},
                       {0, 255, 255, 6},
                       {1, 254, 128, 5}},
                      ComplementColor),
              (Rgbas{{100, 200, 150, 9},
                     {77, 77, 77, 8},
                     {0, 255, 245, 7},
                     {255, 0, 0, 6},
                     {254, 1, 127, 5}}));
}

auto Posterized(int levels) {
    return ValueMap(ON(Posterize(b, levels)), 1, TiRGBBpp);
}

TEST(Posterize, BandsAndSpacingAreFloats) {
    const Ints two = Posterized(2);
    for (int i = 0; i < 256; ++i) ASSERT_EQ(two[i], i < 128 ? 0 : 255) << i;
    // 256/10 rounds up to 25.6000004f: 128 over it is 5.0 in float (4.99999993 in double).
    EXPECT_EQ(Posterized(10)[128], 141);
    // 7 · (255/7 as a float) is 254.99998: the top band of 8 levels is 254.
    const Ints eight = Posterized(8);
    EXPECT_EQ((Ints{eight[223], eight[224], eight[255]}), (Ints{218, 254, 254}));
    const Ints all = Posterized(256);
    for (int i = 0; i < 256; ++i) ASSERT_EQ(all[i], i) << "256 levels keep every value";
    const Ints huge = Posterized(INT_MAX);
    EXPECT_EQ((Ints{huge[0], huge[255]}), (Ints{0, 254}));
}

TEST(Threshold, IntegerLumaBelowTheLevelIsBlack) {
    EXPECT_EQ(Applied(TiRGBABpp, {{127, 127, 127, 1}, {128, 128, 128, 2}, {255, 0, 0, 3}},
                      ON(Threshold(b, 128))),
              (Rgbas{{0, 0, 0, 1}, {255, 255, 255, 2}, {0, 0, 0, 3}}));
    EXPECT_EQ(Applied(TiRGBBpp, {{255, 0, 0, 0}}, ON(Threshold(b, 76))),
              (Rgbas{{255, 255, 255, 0}}));  // luma 76
    for (int level : {0, -5, INT_MIN, 256, 1000, INT_MAX}) {
        const Ints map = ValueMap(ON(Threshold(b, level)));
        EXPECT_EQ(map, Ints(256, level <= 0 ? 255 : 0)) << "level " << level;
    }
}

}  // namespace
}  // namespace vantrel
