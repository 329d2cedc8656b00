#include <gtest/gtest.h>

#include "editing/WorkingSize.h"

namespace vantrel {
namespace {

constexpr Size kMax{2592, 2592};

struct LevelCase {
    Size photo;
    double level;
    Size expected;
};

class SizeForSpeedLevel : public testing::TestWithParam<LevelCase> {};

TEST_P(SizeForSpeedLevel, GivesTheWorkingSize) {
    const LevelCase& c = GetParam();
    const Size size = sizeForSpeedLevel(c.level, c.photo, kMax);
    EXPECT_EQ(size.width, c.expected.width);
    EXPECT_EQ(size.height, c.expected.height);
}

INSTANTIATE_TEST_SUITE_P(
    Photos, SizeForSpeedLevel,
    testing::Values(
        // The pixel count of photoMaxSize, not its side, limits level 1.
        LevelCase{{3264, 2448}, 1.0, {2993, 2245}}, LevelCase{{3264, 2448}, 0.0, {904, 678}},
        LevelCase{{2993, 2245}, 2.0 / 3.0, {2498, 1874}},
        LevelCase{{2993, 2245}, 1.0 / 3.0, {1878, 1409}},
        // Smaller photos keep their own size, fractions included.
        LevelCase{{640, 959}, 0.0, {640, 959}}, LevelCase{{100.7f, 50.2f}, 1.0, {100.7f, 50.2f}},
        // Exactly 614400 pixels is worked on: its level-0 size.
        LevelCase{{640, 960}, 1.0, {640, 960}},
        // A portrait photo, and one within photoMaxSize at level 1.
        LevelCase{{2448, 3264}, 0.0, {678, 904}}, LevelCase{{2048, 1536}, 1.0, {2048, 1536}}));

TEST(SizeChoices, TheSheetOfA3264By2448PhotoHasFourSizes) {
    const Size levelOne = sizeForSpeedLevel(1.0, {3264, 2448}, kMax);
    const std::vector<SizeChoice> choices = sizeChoicesForLevelOne(levelOne, kMax);
    ASSERT_EQ(choices.size(), 4u);
    const SizeChoice expected[] = {{"STR_NOW", 2993, 2245},
                                   {"STR_SLOW", 2498, 1874},
                                   {"STR_COMMON", 1878, 1409},
                                   {"STR_FAST", 904, 678}};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(choices[i].key, expected[i].key) << i;
        EXPECT_EQ(choices[i].width, expected[i].width) << i;
        EXPECT_EQ(choices[i].height, expected[i].height) << i;
    }
    // FAST sets originalScale to 904 / 3264; cancel (the fifth button) sets none.
    EXPECT_DOUBLE_EQ(*originalScaleForChoice(3, 5, {3264, 2448}, kMax), 904.0 / 3264.0);
    EXPECT_DOUBLE_EQ(*originalScaleForChoice(0, 5, {3264, 2448}, kMax), 2993.0 / 3264.0);
    EXPECT_FALSE(originalScaleForChoice(4, 5, {3264, 2448}, kMax));
    EXPECT_FALSE(originalScaleForChoice(-1, 5, {3264, 2448}, kMax));
}

TEST(SizeChoices, TheButtonCountFollowsThePixelCount) {
    // k = trunc(pixels / 614400 / 2 + 0.5), limited to 2..4, buttons k.
    struct Case {
        Size levelOne;
        std::vector<std::string> keys;
    };
    const Case cases[] = {
        {{640, 960}, {}},  // 614400 pixels or fewer: no sheet
        {{1000, 700}, {"STR_NOW", "STR_FAST"}},
        {{2048, 1536}, {"STR_NOW", "STR_COMMON", "STR_FAST"}},
        {{2592, 2592}, {"STR_NOW", "STR_SLOW", "STR_COMMON", "STR_FAST"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> keys;
        for (const SizeChoice& choice : sizeChoicesForLevelOne(c.levelOne, kMax)) {
            keys.push_back(choice.key);
        }
        EXPECT_EQ(keys, c.keys) << c.levelOne.width << " x " << c.levelOne.height;
    }
}

}  // namespace
}  // namespace vantrel
