#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "commands/RecordPacking.h"
#include "support/ValueText.h"

namespace vantrel {
namespace {

using test::Texts;

TEST(RecordPacking, SmallRecordsPackAsTextsAndReadBack) {
    EXPECT_EQ(Texts(dataWithTinyRGB({255, 128, 0})), "[255,128,0]");
    const TinyRGB rgb = getRGB(dataWithTinyRGB({255, 128, 0}));
    EXPECT_EQ(rgb.m_red, 255);
    EXPECT_EQ(rgb.m_green, 128);
    EXPECT_EQ(rgb.m_blue, 0);

    const RGBPoint stop{{10, 20, 30}, 0.25f, 0.5f};
    EXPECT_EQ(Texts(dataWithRGBPoint(stop)), "[0.25,0.5,[10,20,30]]");
    const RGBPoint stopBack = getRGBPoint(dataWithRGBPoint(stop));
    EXPECT_EQ(stopBack.position, 0.25f);
    EXPECT_EQ(stopBack.midpoint, 0.5f);
    EXPECT_EQ(stopBack.color.m_blue, 30);

    EXPECT_EQ(Texts(dataWithTinyHSL({-180, 255, -7})), "[-180,255,-7]");
    EXPECT_EQ(getHSL(dataWithTinyHSL({-180, 255, -7})).m_lightness, -7);
    EXPECT_EQ(Texts(dataWithHueRange({-15, 15, -45, 45})), "[-15,15,-45,45]");
    EXPECT_EQ(getHueRange(dataWithHueRange({-15, 15, -45, 45})).range_right, 45);
    EXPECT_EQ(Texts(dataWithTransferColor({-100, 0, 37})), "[-100,0,37]");
    EXPECT_EQ(getTransferColor(dataWithTransferColor({-100, 0, 37})).Cyan_Red, -100);

    EXPECT_EQ(Texts(dataWithChannelMixScale({0.299f, 0.587f, 0.114f})), "[0.299,0.587,0.114]");
    EXPECT_EQ(getChannelMixScale(dataWithChannelMixScale({0.299f, 0.587f, 0.114f})).greenScale,
              0.587f);
    EXPECT_EQ(Texts(dataWithPoint({120.5f, -3})), "[120.5,-3]");
    EXPECT_EQ(getPoint(dataWithPoint({120.5f, -3})).x, 120.5f);
}

TEST(RecordPacking, FloatTextHasSevenSignificantDigits) {
    const Rect rect{1.0f, 1e-7f, 123456789.0f, 1.0f / 3.0f};
    EXPECT_EQ(Texts(dataWithRect(rect)), "[1,1e-07,1.234568e+08,0.3333333]");
    const Rect back = getRect(dataWithRect(rect));
    EXPECT_EQ(back.x, 1.0f);
    EXPECT_EQ(back.y, 1e-7f);
    // Seven digits are not always enough to come back to the same float.
    EXPECT_EQ(back.width, 123456800.0f);
    EXPECT_EQ(back.height, 0.3333333f);
}

TEST(RecordPacking, LevelDataIsFlatWithIntegersThenDoubleGammas) {
    TColorLevelData levels;
    levels.BlueLow = 1;
    levels.BlueHigh = 2;
    levels.GreenLow = 3;
    levels.GreenHigh = 4;
    levels.RedLow = 10;
    levels.RedHigh = 245;
    levels.AllLow = 7;
    levels.AllHigh = 8;
    levels.RedGamma = 1.2;
    levels.GreenGamma = 0.1;
    levels.BlueGamma = 1.0 / 3.0;
    levels.AllGamma = 2;
    const Array packed = dataWithTColorLevelData(levels);
    EXPECT_EQ(Texts(packed), "[1,2,3,4,10,245,7,8,1.2,0.1,0.3333333333333333,2]");
    const TColorLevelData back = getLevelData(packed);
    EXPECT_EQ(back.RedLow, 10);
    EXPECT_EQ(back.RedHigh, 245);
    EXPECT_EQ(back.AllHigh, 8);
    EXPECT_EQ(back.RedGamma, 1.2);  // a double, not a float's seven digits
    EXPECT_EQ(back.GreenGamma, 0.1);
    EXPECT_EQ(back.BlueGamma, 0.3333333333333333);
}

TEST(RecordPacking, NestedRecordsKeepFieldOrder) {
    HSLData hsl;
    hsl.red = {1, 2, 3};
    hsl.magenta = {16, 17, 18};
    hsl.all = {19, 20, 21};
    EXPECT_EQ(Texts(dataWithHSLData(hsl)),
              "[[1,2,3],[0,0,0],[0,0,0],[0,0,0],[0,0,0],[16,17,18],[19,20,21]]");
    const HSLData hslBack = getHSLData(dataWithHSLData(hsl));
    EXPECT_EQ(hslBack.magenta.m_saturation, 17);
    EXPECT_EQ(hslBack.all.m_lightness, 21);

    HueRangeData ranges;
    ranges.yellow = {45, 75, 15, 105};
    ranges.magenta = {285, 315, 255, 345};
    EXPECT_EQ(Texts(dataWithHueRangeData(ranges)),
              "[[0,0,0,0],[45,75,15,105],[0,0,0,0],[0,0,0,0],[0,0,0,0],[285,315,255,345]]");
    EXPECT_EQ(getHueRangeData(dataWithHueRangeData(ranges)).magenta.center_right, 315);

    const TinyChannelMixer mixer{{1, 2, 3}, {4, 5, 6}, {7, 8, 9.5f}};
    EXPECT_EQ(Texts(dataWithChannelMixer(mixer)), "[1,2,3,4,5,6,7,8,9.5]");
    const TinyChannelMixer mixerBack = getChannelMixer(dataWithChannelMixer(mixer));
    EXPECT_EQ(mixerBack.green.redScale, 4);
    EXPECT_EQ(mixerBack.blue.blueScale, 9.5f);

    ComplementScaleSet set;
    set.reds = {0.55f, 0, 0.31f, 0};
    set.blacks = {0, 0.19f, 0.53f, 0.02f};
    const Array packedSet = dataWithScaleSet(set);
    ASSERT_EQ(packedSet.size(), 36u);
    EXPECT_EQ(Texts(packedSet).substr(0, 17), "[0.55,0,0.31,0,0,");
    EXPECT_EQ(*packedSet[33].text(), "0.19");
    const ComplementScaleSet setBack = getScaleSet(packedSet);
    EXPECT_EQ(setBack.reds.yellow, 0.31f);
    EXPECT_EQ(setBack.blacks.black, 0.02f);
    EXPECT_EQ(setBack.neutrals.cyan, 0.0f);
}

TEST(RecordPacking, Vec3SequencesAreFlat) {
    const std::vector<Vec3> points{{0, 0, 0}, {64.5f, 50, 0}, {192, 210, 1}, {255, 255, 0}};
    const Array packed = dataWithPoints(points);
    EXPECT_EQ(Texts(packed), "[0,0,0,64.5,50,0,192,210,1,255,255,0]");
    EXPECT_EQ(getPointsNum(packed), 4);
    const std::vector<Vec3> back = getVecs3(packed);
    ASSERT_EQ(back.size(), 4u);
    EXPECT_EQ(back[1].x, 64.5f);
    EXPECT_EQ(back[2].z, 1.0f);

    Array seven;
    for (int i = 0; i < 7; ++i) seven.push_back(std::to_string(i));
    EXPECT_EQ(getPointsNum(seven), 2);
    EXPECT_EQ(getVecs3(seven).size(), 2u);
    EXPECT_EQ(getVecs3(seven)[1].z, 5.0f);

    EXPECT_TRUE(dataWithPoints({}).empty());
    EXPECT_TRUE(getVecs3(Array()).empty());
}

TEST(RecordPacking, ReadersTolerateShortAndMalformedArrays) {
    // TinyRGB components are integers narrowed to a byte.
    const TinyRGB rgb = getRGB(Array{Value("300"), Value("-1")});
    EXPECT_EQ(rgb.m_red, 44);
    EXPECT_EQ(rgb.m_green, 255);
    EXPECT_EQ(rgb.m_blue, 0);
    // Wrong kinds read as zero; a missing nested record as all zero.
    const RGBPoint stop = getRGBPoint(Array{Value(Array{}), Value("0.5"), Value("not an array")});
    EXPECT_EQ(stop.position, 0.0f);
    EXPECT_EQ(stop.midpoint, 0.5f);
    EXPECT_EQ(stop.color.m_red, 0);
    const TColorLevelData levels = getLevelData(Array{Value("5")});
    EXPECT_EQ(levels.BlueLow, 5);
    EXPECT_EQ(levels.AllGamma, 0.0);
    EXPECT_EQ(getHSLData(Array{}).all.m_hue, 0);
    EXPECT_EQ(getScaleSet(Array{Value("0.5")}).reds.cyan, 0.5f);
}

}  // namespace
}  // namespace vantrel
