#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "Core/base/Curve.h"
#include "Core/global/TiAssert.h"
#include "Core/global/TiMemory.h"
#include "support/TestImages.h"

namespace vantrel {
namespace {

using test::Bitmap;

std::vector<unsigned char> Sample(const std::vector<Vec3>& points, int size, int samples, int low,
                                  int high) {
    CurveSpline spline;
    for (const Vec3& point : points) EXPECT_TRUE(spline.AppendPoint(point));
    std::vector<unsigned char> table(size, 0xEE);
    SampleCurveTable(spline, table.data(), size, samples, low, high);
    return table;
}

std::vector<unsigned char> CurveTable(const std::vector<Vec3>& points) {
    return Sample(points, 256, 200, 0, 255);
}

// Every value 0..255 in red, green and blue, so that a table shows in full.
Bitmap AllValues(int bpp) {
    return test::MakeBitmap(256, 1, bpp, [](int x, int, int c) {
        return static_cast<std::uint8_t>(c == 3 ? 77 : (c == 1 ? 255 - x : x));
    });
}

class AdjustCurveByBpp : public testing::TestWithParam<int> {};

TEST_P(AdjustCurveByBpp, SelectorPicksTheChannels) {
    unsigned char table[256];
    for (int i = 0; i < 256; ++i) table[i] = static_cast<unsigned char>(i / 2 + 100);
    for (int channel = 0; channel <= 3; ++channel) {
        SCOPED_TRACE(channel);
        Bitmap bitmap = test::Extremes(36, 7, GetParam());
        const Bitmap before = bitmap->Clone(false);
        AdjustCurve(*bitmap, table, channel);
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 36; ++x)
                for (int c = 0; c < GetParam(); ++c) {
                    const unsigned char old = before->GetPixel(x, y)[c];
                    const bool mapped = c < 3 && (channel == 0 || channel == c + 1);
                    ASSERT_EQ(bitmap->GetPixel(x, y)[c], mapped ? table[old] : old)
                        << x << "," << y << " byte " << c;
                }
    }
}

INSTANTIATE_TEST_SUITE_P(Curve, AdjustCurveByBpp, testing::Values(TiRGBBpp, TiRGBABpp));

// A large picture goes through tables of byte pairs when their memory can be
// had; without it the byte tables must give the same pixels.
TEST(AdjustCurveChannels, PairTablesMatchTheByteTables) {
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
            ASSERT_EQ(now[0], red[was[0]]);
            ASSERT_EQ(now[1], green[was[1]]);
            ASSERT_EQ(now[2], blue[was[2]]);
            if (bpp == TiRGBABpp) {
                ASSERT_EQ(now[3], was[3]);
            }
        }
    }
}

TEST(Curve, SelectorOutsideZeroToThreeStopsBeforeAnyPixelChanges) {
    unsigned char table[256] = {};
    const Vec3 points[] = {{0, 255, 0}, {255, 0, 0}};
    for (int channel : {-1, 4, 1000}) {
        Bitmap bitmap = test::Noise(6, 4, TiRGBABpp);
        const std::vector<std::uint8_t> before = test::Pixels(*bitmap);
        try {
            AdjustCurve(*bitmap, table, channel);
            ADD_FAILURE() << "channel " << channel << " accepted";
        } catch (const TiAssertionError& error) {
            EXPECT_EQ(error.condition(), "false");
            EXPECT_EQ(error.function(), "AdjustCurve");
            EXPECT_EQ(error.file(), "Core/base/Curve");
            EXPECT_EQ(error.line(), 89);
        }
        EXPECT_THROW(AdjustCurveBySplinePoints(*bitmap, points, 2, channel), TiAssertionError);
        EXPECT_EQ(test::Pixels(*bitmap), before);
    }
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

TEST(SampleCurveTable, TwoEndPointsGiveExactlyTheIdentity) {
    const std::vector<unsigned char> table = CurveTable({{0, 0, 0}, {255, 255, 0}});
    for (int i = 0; i < 256; ++i) ASSERT_EQ(table[i], i);
}

TEST(SampleCurveTable, ThreePointCurveMeetsItsMiddlePointWithinAUnit) {
    const std::vector<unsigned char> table = CurveTable({{0, 0, 0}, {128, 200, 0}, {255, 255, 0}});
    EXPECT_EQ(table[0], 0);
    EXPECT_EQ(table[128], 199);
    EXPECT_EQ(table[255], 255);
    for (int i = 1; i < 256; ++i) ASSERT_GE(table[i], table[i - 1]) << i;
}

TEST(SampleCurveTable, OutsideTheEndPointsTheEndOutputsHold) {
    const std::vector<unsigned char> table =
        CurveTable({{30, 10, 0}, {128, 128, 0}, {220, 240, 0}});
    for (int i = 0; i <= 30; ++i) ASSERT_EQ(table[i], 10) << i;
    for (int i = 221; i < 256; ++i) ASSERT_EQ(table[i], 240) << i;
    EXPECT_GT(table[31], 10);
    EXPECT_LT(table[219], 240);
}

// The shadow weights of the shadow lift: a 100-entry table sampled 100 times
// without clamping. Entry 4 is 95 in 32-bit float; in double it would be 94.
TEST(SampleCurveTable, UnclampedHundredEntryTableInFloat) {
    const std::vector<unsigned char> table =
        Sample({{0, 100, 0}, {20, 75, 0}, {40, 50, 0}, {57.5f, 25, 0}, {75, 0, 0}}, 100, 100, 0, 0);
    EXPECT_EQ(table[0], 100);
    EXPECT_EQ(table[4], 95);
    EXPECT_EQ(table[20], 75);
    EXPECT_EQ(table[40], 50);
    for (int i = 75; i < 100; ++i) ASSERT_EQ(table[i], 0) << i;
    for (int i = 1; i < 100; ++i) ASSERT_LE(table[i], table[i - 1]) << i;
}

TEST(SampleCurveTable, OutputsClampIntoTheRange) {
    const std::vector<unsigned char> clamped =
        CurveTable({{0, -80, 0}, {128, 400, 0}, {255, 300, 0}});
    EXPECT_EQ(clamped[0], 0);
    EXPECT_EQ(clamped[128], 255);
    EXPECT_EQ(clamped[255], 255);
    const std::vector<unsigned char> narrow = Sample({{0, 0, 0}, {255, 255, 0}}, 256, 200, 50, 150);
    EXPECT_EQ(narrow[10], 50);
    EXPECT_EQ(narrow[100], 100);
    EXPECT_EQ(narrow[200], 150);
}

// Points from outside: NaN, infinities, huge and negative coordinates, out of
// order. Whatever the table holds, nothing is written outside it.
TEST(SampleCurveTable, WildPointsStayInsideTheTable) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::vector<std::vector<Vec3>> wild = {
        {{nan, nan, 0}, {255, 255, 0}},
        {{0, 0, 0}, {nan, 100, 0}},
        {{-inf, 5, 0}, {inf, 250, 0}},
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

TEST(AdjustCurveBySplinePoints, RedCurveRaisesOnlyRed) {
    const Vec3 points[] = {{0, 0, 0}, {128, 200, 0}, {255, 255, 0}};
    Bitmap bitmap = AllValues(TiRGBABpp);
    const Bitmap before = bitmap->Clone(false);
    ASSERT_EQ(AdjustCurveBySplinePoints(*bitmap, points, 3, 1), 1);
    const std::vector<unsigned char> table = CurveTable({points[0], points[1], points[2]});
    for (int x = 0; x < 256; ++x) {
        ASSERT_EQ(bitmap->GetPixel(x, 0)[0], table[x]);
        ASSERT_EQ(0, std::memcmp(bitmap->GetPixel(x, 0) + 1, before->GetPixel(x, 0) + 1, 3));
    }
    EXPECT_EQ(bitmap->GetPixel(128, 0)[0], 199);
}

TEST(AdjustCurveBySplinePoints, NoPointsLeaveTheBitmapAlone) {
    Bitmap bitmap = test::Noise(5, 5, TiRGBABpp);
    const std::vector<std::uint8_t> before = test::Pixels(*bitmap);
    EXPECT_EQ(AdjustCurveBySplinePoints(*bitmap, nullptr, 0, 0), 1);
    const Vec3 point{0, 255, 0};
    EXPECT_EQ(AdjustCurveBySplinePoints(*bitmap, &point, -3, 0), 1);
    EXPECT_EQ(test::Pixels(*bitmap), before);
}

}  // namespace
}  // namespace vantrel
