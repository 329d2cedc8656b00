#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "Core/base/GradientPalette.h"
#include "support/Assertions.h"

namespace vantrel {
namespace {

using Rgb = std::vector<int>;

Rgb Gray(int v) {
    return Rgb{v, v, v};
}

Rgb At(const GradientPalette& palette, float position) {
    const TinyRGB c = GetRGBatPosition(palette, position);
    return Rgb{c.m_red, c.m_green, c.m_blue};
}

TinyRGB Color(int v) {
    const auto byte = static_cast<unsigned char>(v);
    return TinyRGB{byte, byte, byte};
}

TEST(GradientPalette, BlackToWhite) {
    const GradientPalette palette = GradientPreset(0);
    EXPECT_EQ(At(palette, 0.5f), Gray(127));
    EXPECT_EQ(At(palette, 0.25f), Gray(63));
    EXPECT_EQ(At(palette, 0.75f), Gray(191));
    EXPECT_EQ(At(palette, 1.0f), Gray(255));
    EXPECT_EQ(At(palette, 1.2f), Gray(255));
    EXPECT_EQ(At(palette, 0.0f), Gray(0));
    EXPECT_EQ(At(palette, -1.0f), Gray(0));
    EXPECT_EQ(At(palette, std::nanf("")), Gray(0));
}

TEST(GradientPalette, EachSegmentUsesItsFirstStopsMidpoint) {
    // Preset 7: orange at 0, yellow at 0.5 with midpoint 0.47, orange at 1.
    const GradientPalette palette = GradientPreset(7);
    EXPECT_EQ(At(palette, 0.25f), (Rgb{255, 182, 1}));
    EXPECT_EQ(At(palette, 0.5f), (Rgb{255, 255, 0}));
    // Fraction 0.47 of the second segment is its half-way point; the
    // position as a float lands a hair before it, and the fraction is taken
    // in double, so green is 181.x rather than the mean 182 (computing the
    // fraction in float gives 182).
    EXPECT_EQ(At(palette, 0.735f), (Rgb{255, 181, 0}));
    // Likewise preset 12 at 0.826: red 233 in double, 234 in float.
    EXPECT_EQ(At(GradientPreset(12), 0.826f), (Rgb{233, 255, 0}));

    GradientPalette early;
    early.AddPoint(Color(0), 0.0f, 0.25f);
    early.AddPoint(Color(200), 1.0f, 0.9f);
    EXPECT_EQ(At(early, 0.25f), Gray(100)) << "half-way at the midpoint";
    EXPECT_EQ(At(early, 0.625f), Gray(150));
}

TEST(GradientPalette, StopsAreTakenInTheOrderAdded) {
    GradientPalette palette;
    palette.AddPoint(Color(0), 0.0f, 0.5f);
    palette.AddPoint(Color(40), 0.75f, 0.5f);
    palette.AddPoint(Color(100), 0.25f, 0.5f);
    palette.AddPoint(Color(200), 1.0f, 0.5f);
    // The last stop at or below 0.625 is the third (at 0.25); it runs to the
    // fourth, skipping the stop at 0.75.
    EXPECT_EQ(At(palette, 0.625f), Gray(150));
    EXPECT_EQ(At(palette, 0.25f), Gray(100));
    // Below 0.25 the first stop is current and runs to the second.
    EXPECT_EQ(At(palette, 0.125f), Gray(6));

    GradientPalette late;
    late.AddPoint(Color(10), 0.2f, 0.5f);
    late.AddPoint(Color(90), 0.6f, 0.5f);
    EXPECT_EQ(At(late, 0.1f), Gray(10)) << "before the first stop";
    EXPECT_EQ(At(late, 0.9f), Gray(90)) << "past the last stop";
}

TEST(GradientPalette, NeedsTwoStopsAndSurvivesWildValues) {
    GradientPalette one;
    one.AddPoint(Color(5), 0.0f, 0.5f);
    for (const GradientPalette& p : {one, GradientPreset(13)}) {
        test::ExpectAssertion([&] { GetRGBatPosition(p, 0.5f); }, "points.size() >= 2",
                              "GetRGBatPosition", "Core/base/GradientPalette", 47);
    }
    EXPECT_EQ(GradientPreset(-1).size(), 0u);

    const float inf = std::numeric_limits<float>::infinity();
    GradientPalette wild;
    wild.AddPoint(Color(0), 0.0f, 1.0f);  // midpoint 1: the segment never passes half-way
    wild.AddPoint(Color(255), 1.0f, std::nanf(""));
    EXPECT_EQ(At(wild, 0.5f), Gray(63));
    EXPECT_EQ(At(wild, inf), Gray(255));
    EXPECT_FALSE(PaletteIsMonotone(wild));

    GradientPalette nowhere;
    nowhere.AddPoint(Color(0), -inf, 0.5f);
    nowhere.AddPoint(Color(255), inf, 0.5f);
    EXPECT_EQ(At(nowhere, 0.5f), Gray(0)) << "an undefined fraction clamps to 0";
    EXPECT_FALSE(PaletteIsMonotone(nowhere));
    EXPECT_TRUE(PaletteIsMonotone(GradientPreset(7)));
}

TEST(GradientPalette, PresetsRiseWithinZeroToOne) {
    for (int type = 0; type < kGradientPresetCount; ++type) {
        const GradientPalette palette = GradientPreset(type);
        ASSERT_GE(palette.size(), 2u) << type;
        ASSERT_LE(palette.size(), 7u) << type;
        float previous = -1;
        for (const RGBPoint& p : palette.points()) {
            EXPECT_GT(p.position, previous) << "preset " << type;
            EXPECT_LE(p.position, 1.0f) << "preset " << type;
            previous = p.position;
        }
    }
    const TinyRGB olive = GradientPreset(11).points()[2].color;
    EXPECT_EQ((Rgb{olive.m_red, olive.m_green, olive.m_blue}), (Rgb{144, 106, 0}));
    EXPECT_EQ(GradientPreset(12).points()[3].position, 0.49f);
}

}  // namespace
}  // namespace vantrel
