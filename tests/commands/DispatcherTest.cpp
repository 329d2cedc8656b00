#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "Core/base/BrightnessContrast.h"
#include "Core/base/ChannelMixer.h"
#include "Core/base/ColorBalance.h"
#include "Core/base/Curve.h"
#include "Core/base/Equalize.h"
#include "Core/base/Exposure.h"
#include "Core/base/GradientMask.h"
#include "Core/base/GrayInvert.h"
#include "Core/base/HSL.h"
#include "Core/base/Levels.h"
#include "Core/base/Posterize.h"
#include "Core/base/SelectiveColor.h"
#include "Core/global/TiAssert.h"
#include "Core/global/TiMemory.h"
#include "commands/Dispatcher.h"
#include "commands/EffectsProcesser.h"
#include "commands/ErrorManager.h"
#include "platform/Resources.h"
#include "support/CommandLists.h"
#include "support/TestImages.h"
#include "support/TestPictures.h"

namespace vantrel {
namespace {

using test::Bare;
using test::ListOf;
using test::Pixels;
using test::RecordedError;
using test::Selection;
using test::WithRegion;

void ExpectRect(const Rect& rect, float x, float y, float width, float height) {
    EXPECT_EQ(rect.x, x);
    EXPECT_EQ(rect.y, y);
    EXPECT_EQ(rect.width, width);
    EXPECT_EQ(rect.height, height);
}

class DispatcherTest : public ::testing::Test {
protected:
    bool Run(const Array& list, TiBitmapData& bitmap, double paramScale = 1.0) {
        processor.setParamScale(paramScale);
        return processor.runCommands(list, bitmap);
    }

    EffectsProcesser processor;
};

TEST(RegionClamp, BringsEveryRectangleInsideTheBitmap) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    ExpectRect(ClampRegion({0, 0, 0, 0}, 100, 80), 0, 0, 100, 80);
    ExpectRect(ClampRegion({90, 70, 50, 50}, 100, 80), 90, 70, 10, 10);
    ExpectRect(ClampRegion({-5, -1, 30, 20}, 100, 80), 0, 0, 30, 20);
    // An origin beyond the far edge keeps one pixel; a size above the
    // bitmap's becomes the bitmap's, then is cut at the edge.
    ExpectRect(ClampRegion({150, 90, 10, 10}, 100, 80), 99, 79, 1, 1);
    ExpectRect(ClampRegion({40, 10, 101, -3}, 100, 80), 40, 10, 60, 70);
    // Fractions stay: the view truncates them.
    ExpectRect(ClampRegion({10.5f, 0, 89.75f, 0}, 100, 80), 10.5f, 0, 89.5f, 80);
    // Wild numbers clamp like any other out-of-range value.
    ExpectRect(ClampRegion({nan, nan, nan, nan}, 100, 80), 0, 0, 100, 80);
    ExpectRect(ClampRegion({inf, -inf, inf, inf}, 100, 80), 99, 0, 1, 80);
}

TEST(ScaledParam, ComputesInDoubleAndFollowsTheTablesMarks) {
    // 90 x 0.7 is 62.99... in double, 63 in float.
    EXPECT_EQ(ScaledParam(90, 0.7), 62);
    EXPECT_EQ(ScaledParam(-7, 0.5), -3);
    EXPECT_EQ(ScaledParam(1 << 30, 4.0), std::numeric_limits<int>::max());
    EXPECT_EQ(ScaledParam(1.1f, 0.1), 0.109999999f);
    EXPECT_NE(ScaledParam(1.1f, 0.1), 1.1f * 0.1f);

    auto bitmap = test::Gradient(4, 4, 4);
    Rect selection;
    EffectsProcesser processor;
    const CommandRun run{processor, *bitmap, *bitmap, selection, 0.5, "test"};
    EXPECT_EQ((ParamFor<CMD_GASBLUR, 1>(9, run)), 4);  // radiusV is scaled
    EXPECT_EQ((ParamFor<CMD_SHARPEN, 0>(9, run)), 9);  // amount is not
    EXPECT_EQ((ParamFor<CMD_RADIALBLUR, 1>(3.0f, run)), 1.5f);
    const Point center = ParamFor<CMD_BOKEH, 4>(Point{10, 5}, run);
    EXPECT_EQ(center.x, 5.0f);
    EXPECT_EQ(center.y, 2.5f);
}

TEST_F(DispatcherTest, SelectionAtPreviewScaleConfinesTheFollowingCommands) {
    auto bitmap = test::Gradient(100, 100, TiRGBABpp);
    const auto expected =
        WithRegion(*bitmap, 5, 5, 25, 25, [](TiBitmapData& v) { ConvertToGray(v); });
    ASSERT_TRUE(Run(ListOf(Selection(10, 10, 50, 50), Bare(CMD_GRAY)), *bitmap, 0.5));
    ExpectRect(processor.currentSelection(), 5, 5, 25, 25);
    EXPECT_EQ(Pixels(*bitmap), Pixels(*expected));

    // The next list starts with the whole bitmap selected again.
    const auto inverted =
        WithRegion(*bitmap, 0, 0, 100, 100, [](TiBitmapData& v) { InvertColor(v); });
    ASSERT_TRUE(Run(ListOf(Bare(CMD_ANTICOLOR)), *bitmap));
    EXPECT_EQ(Pixels(*bitmap), Pixels(*inverted));
}

TEST_F(DispatcherTest, SelectionIsClampedToTheBitmap) {
    auto bitmap = test::Gradient(100, 100, TiRGBABpp);
    ASSERT_TRUE(Run(ListOf(Selection(90, 90, 50, 50)), *bitmap));
    ExpectRect(processor.currentSelection(), 90, 90, 10, 10);
    // A negative width selects from the clamped x to the right edge.
    ASSERT_TRUE(Run(ListOf(Selection(30, -4, -5, 20)), *bitmap));
    ExpectRect(processor.currentSelection(), 30, 0, 70, 20);
    ASSERT_TRUE(Run(ListOf(Selection(0, 0, 0, 0)), *bitmap));
    ExpectRect(processor.currentSelection(), 0, 0, 100, 100);
    // A later selection replaces the earlier one; it is clamped, not intersected.
    ASSERT_TRUE(Run(ListOf(Selection(10, 10, 5, 5), Selection(50, 60, 0, 0)), *bitmap));
    ExpectRect(processor.currentSelection(), 50, 60, 50, 40);
}

// A colour command as the dispatcher must run it: its list and the
// operation it stands for, applied to the selected region.
struct ColorRowCase {
    const char* name;
    std::function<Array()> list;
    std::function<void(TiBitmapData&)> reference;
};

void PrintTo(const ColorRowCase& row, std::ostream* out) {
    *out << row.name;
}

std::vector<ColorRowCase> ColorRowCases() {
    static const Vec3 kCurve[] = {{0, 20, 0}, {128, 100, 0}, {255, 230, 0}};
    static const TinyChannelMixer kMixer{{0.5f, 0.3f, 0.2f}, {-0.2f, 1.1f, 0.1f}, {0, 0.4f, 0.7f}};
    static const RGBPoint kStops[] = {{{255, 0, 0}, 0, 0.5f}, {{0, 0, 255}, 1, 0.5f}};
    static const HSLData kHsl{{20, 10, 0}, {}, {-30, 0, 15}, {}, {0, -40, 0}, {}, {5, 10, -5}};
    static const HueRangeData kHueRanges{{-15, 15, -45, 45},   {45, 75, 15, 105},
                                         {105, 135, 75, 165},  {165, 195, 135, 225},
                                         {225, 255, 195, 285}, {285, 315, 255, 345}};
    static const ComplementScaleSet kInks{
        {0.2f, 0, -0.1f, 0}, {}, {0, 0.3f, 0, 0.1f}, {},
        {-0.2f, 0, 0, 0},    {}, {0, 0, 0.1f, 0},    {0.05f, 0, 0, 0},
        {0, 0, 0, -0.2f}};
    TColorLevelData levels;
    levels.RedLow = 20, levels.RedHigh = 220, levels.RedGamma = 1.3;
    levels.BlueLow = 0, levels.BlueHigh = 255, levels.BlueGamma = 0.8;
    levels.AllLow = 5, levels.AllHigh = 250, levels.AllGamma = 1.2;
    return {
        {"AntiColor", [] { return ListOf(Bare(CMD_ANTICOLOR)); },
         [](TiBitmapData& v) { InvertColor(v); }},
        {"Exposure", [] { return ListOf(ActionCommand_EXPOSURE::commandWithValue(0.6f)); },
         [](TiBitmapData& v) { AdjustExposure(v, 0.6f); }},
        // Green's triple is all zero: skipped.
        {"ColorLevels",
         [levels] { return ListOf(ActionCommand_COLORLEVELS::commandWithColorLevelData(levels)); },
         [](TiBitmapData& v) {
             AdjustLevels(v, 20, 220, 1.3, 1);
             AdjustLevels(v, 0, 255, 0.8, 3);
             AdjustLevels(v, 5, 250, 1.2, 0);
         }},
        {"Gray", [] { return ListOf(Bare(CMD_GRAY)); }, [](TiBitmapData& v) { ConvertToGray(v); }},
        {"BrightnessContrast",
         [] {
             return ListOf(ActionCommand_BRIGHTNESS_CONTRAST::commandWithBrightness(0.2f, -0.3f));
         },
         [](TiBitmapData& v) { AdjustBrightnessContrast(v, 0.2f, -0.3f); }},
        {"Threshold", [] { return ListOf(ActionCommand_THRESHOLD::commandWithLevels(100)); },
         [](TiBitmapData& v) { Threshold(v, 100); }},
        {"Posterize", [] { return ListOf(ActionCommand_POSTERIZE::commandWithLevels(4)); },
         [](TiBitmapData& v) { Posterize(v, 4); }},
        {"Equalize", [] { return ListOf(ActionCommand_EQUALIZE::commandWithEqualizeMode(0)); },
         [](TiBitmapData& v) { Equalize(v, 0); }},
        {"ComplementColor", [] { return ListOf(Bare(CMD_COMPLEMENT_COLOR)); },
         [](TiBitmapData& v) { ComplementColor(v); }},
        {"Curve", [] { return ListOf(ActionCommand_CURVE::commandWithPoints(kCurve, 2)); },
         [](TiBitmapData& v) { AdjustCurveBySplinePoints(v, kCurve, 3, 2); }},
        {"ChannelMix",
         [] { return ListOf(ActionCommand_CHANNELMIX::commandWithChannelMixer(kMixer)); },
         [](TiBitmapData& v) { MixChannels(v, kMixer); }},
        {"ChannelMixGray",
         [] {
             return ListOf(ActionCommand_CHANNELMIX_GRAY::commandWithChannelMixScale(kMixer.green));
         },
         [](TiBitmapData& v) { MixChannelsToGray(v, kMixer.green); }},
        {"AutoLevels", [] { return ListOf(Bare(CMD_AUTO_LEVELS)); },
         [](TiBitmapData& v) { AutoLevels(v); }},
        // The shadows carry no shift: skipped.
        {"ColorBalance",
         [] {
             const TransferColor tones[3] = {{0, 0, 0}, {30, -20, 10}, {-15, 0, 40}};
             return ListOf(ActionCommand_COLORBALANCE::commandWithTransferColors(tones, true));
         },
         [](TiBitmapData& v) {
             BalanceColor(v, 30, -20, 10, 1, true);
             BalanceColor(v, -15, 0, 40, 2, true);
         }},
        {"HSLAdjustment",
         [] { return ListOf(ActionCommand_HSL_ADUSTMENT::commandWithHSLData(kHsl, kHueRanges)); },
         [](TiBitmapData& v) { AdjustHSL(v, kHsl, kHueRanges); }},
        {"HSLTint",
         [] {
             return ListOf(ActionCommand_HSL_TINT::commandWithHSL({200, 90, -30}));
         },
         [](TiBitmapData& v) { TintHSL(v, 200, 90, -30); }},
        {"SelectiveColor",
         [] { return ListOf(ActionCommand_SELECTIVE_COLOR::commandWithScaleSet(kInks)); },
         [](TiBitmapData& v) { SelectiveColor(v, kInks); }},
        {"GradientOverlay",
         [] {
             return ListOf(ActionCommand_GRADIENT_OVERLAY::commandWithBlendMode(
                 3, 1, kStops, 2, 30.0f, 1.0f, 0.5f, true));
         },
         [](TiBitmapData& v) { GradientOverlay(v, 3, 1, kStops, 2, 30.0f, 1.0f, 0.5f, true); }},
    };
}

class ColorRowTest : public DispatcherTest,
                     public ::testing::WithParamInterface<std::tuple<ColorRowCase, int, bool>> {};

// Each row calls its operation with its parameters on the selected region
// only, or on the whole bitmap when nothing is selected.
TEST_P(ColorRowTest, RunsItsOperationOnTheSelectedRegion) {
    const auto& [row, bpp, selected] = GetParam();
    auto bitmap = test::Noise(16, 10, bpp, 7);
    const Rect region = selected ? Rect{3, 2, 9, 5} : Rect{0, 0, 16, 10};
    const auto expected =
        WithRegion(*bitmap, static_cast<int>(region.x), static_cast<int>(region.y),
                   static_cast<int>(region.width), static_cast<int>(region.height), row.reference);
    Array list;
    if (selected) list.push_back(Value(Selection(3, 2, 9, 5)->dic()));
    for (const Value& command : row.list()) list.push_back(command);
    ASSERT_TRUE(Run(list, *bitmap));
    EXPECT_EQ(Pixels(*bitmap), Pixels(*expected));
}

INSTANTIATE_TEST_SUITE_P(Rows, ColorRowTest,
                         ::testing::Combine(::testing::ValuesIn(ColorRowCases()),
                                            ::testing::Values(TiRGBBpp, TiRGBABpp),
                                            ::testing::Bool()),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "_" +
                                    std::to_string(std::get<1>(info.param)) + "bpp" +
                                    (std::get<2>(info.param) ? "_Selected" : "_Whole");
                         });

TEST_F(DispatcherTest, CorrectionsThatAlwaysApplySucceedWhenTheirOperationRefuses) {
    auto bitmap = test::Gradient(12, 8, TiRGBABpp);
    const auto expected =
        WithRegion(*bitmap, 0, 0, 12, 8, [](TiBitmapData& v) { ConvertToGray(v); });
    TColorLevelData wildGamma;
    wildGamma.AllLow = 0, wildGamma.AllHigh = 255, wildGamma.AllGamma = 50.0;
    EXPECT_TRUE(
        Run(ListOf(ActionCommand_BRIGHTNESS_CONTRAST::commandWithBrightness(2.0f, 0),
                   ActionCommand_COLORLEVELS::commandWithColorLevelData(wildGamma), Bare(CMD_GRAY)),
            *bitmap));
    EXPECT_EQ(Pixels(*bitmap), Pixels(*expected));

    // Colour balance refuses shifts outside -100..100 before any tone changes.
    const TransferColor tones[3] = {{10, 0, 0}, {0, 0, 0}, {0, 101, 0}};
    EXPECT_FALSE(
        Run(ListOf(ActionCommand_COLORBALANCE::commandWithTransferColors(tones, false)), *bitmap));
    EXPECT_NE(RecordedError().find("CMD_COLORBALANCE"), std::string::npos) << RecordedError();
    EXPECT_EQ(Pixels(*bitmap), Pixels(*expected));

    // Rows of operations that may fail fail with them, and say which.
    EXPECT_FALSE(Run(ListOf(ActionCommand_POSTERIZE::commandWithLevels(1)), *bitmap));
    EXPECT_NE(RecordedError().find("CMD_POSTERIZE"), std::string::npos) << RecordedError();
    EXPECT_EQ(Pixels(*bitmap), Pixels(*expected));
}

TEST_F(DispatcherTest, CurveOnAChannelOutsideRedGreenBlueIsRefused) {
    static const Vec3 kPoints[] = {{0, 255, 0}, {255, 0, 0}};
    auto bitmap = test::Gradient(6, 4, TiRGBABpp);
    const auto before = Pixels(*bitmap);
    EXPECT_FALSE(Run(ListOf(ActionCommand_CURVE::commandWithPoints(kPoints, 4)), *bitmap));
    EXPECT_NE(RecordedError().find("CMD_CURVE needs the channel"), std::string::npos);
    Dictionary unknownChannel = ActionCommand_CURVE::commandWithPoints(kPoints, 1)->dic();
    unknownChannel.set("channel", "CHANNEL_R");
    EXPECT_FALSE(Run(Array{Value(unknownChannel)}, *bitmap));
    EXPECT_EQ(Pixels(*bitmap), before);
}

TEST_F(DispatcherTest, UnknownCommandsSucceedAndChangeNothing) {
    auto bitmap = test::Gradient(6, 4, TiRGBABpp);
    const auto before = Pixels(*bitmap);
    const Array list{Value(Dictionary{{"cmd", "CMD_NOPE"}}), Value(Dictionary{}),
                     Value(Dictionary{{"cmd", "cmd_gray"}}), Value(Dictionary{{"radius", "3"}})};
    EXPECT_TRUE(Run(list, *bitmap));
    EXPECT_EQ(Pixels(*bitmap), before);
}

TEST_F(DispatcherTest, ABaseClassCommandRunsAsItsSubclass) {
    auto bitmap = test::Gradient(6, 4, TiRGBABpp);
    const auto expected = WithRegion(*bitmap, 0, 0, 6, 4, [](TiBitmapData& v) { Posterize(v, 3); });
    const auto command =
        ActionCommand::commandWithDic(ActionCommand_POSTERIZE::commandWithLevels(3)->dic());
    processor.beginProcess(bitmap.get());
    EXPECT_TRUE(processor.runActionCommand(*command));
    processor.endProcess();
    EXPECT_EQ(Pixels(*bitmap), Pixels(*expected));
}

TEST_F(DispatcherTest, CommandsWithoutTheirOperationFailAsNotAvailable) {
    for (int cmd : {CMD_CALL_ACTION, CMD_SET_SELECTION, CMD_GRAY, CMD_CURVE, CMD_CLIP, CMD_ZOOM,
                    CMD_GRADIENT_OVERLAY, CMD_SELECTIVE_COLOR}) {
        EXPECT_TRUE(IsCommandAvailable(cmd)) << kCommandNames[cmd];
    }
    EXPECT_FALSE(IsCommandAvailable(-1));
    EXPECT_FALSE(IsCommandAvailable(kCommandCount));

    auto bitmap = test::Gradient(6, 4, TiRGBABpp);
    const auto before = Pixels(*bitmap);
    for (int cmd = 0; cmd < kCommandCount; ++cmd) {
        if (IsCommandAvailable(cmd)) continue;
        EXPECT_FALSE(Run(ListOf(Bare(cmd)), *bitmap)) << kCommandNames[cmd];
        EXPECT_EQ(RecordedError(),
                  std::string(kCommandNames[cmd]) + " is not available in this build");
        EXPECT_EQ(Pixels(*bitmap), before) << kCommandNames[cmd];
    }
}

TEST_F(DispatcherTest, AFailedPreconditionFailsItsCommandWithWhereAndWhy) {
    static const RGBPoint kStops[] = {{{255, 0, 0}, 0, 0.5f}, {{0, 0, 255}, 1, 0.5f}};
    auto bitmap = test::Gradient(6, 4, TiRGBABpp);
    const auto before = Pixels(*bitmap);
    // An opacity of 2 is outside the blend's preconditions.
    std::string condition, function, file;
    try {
        auto probe = bitmap->Clone(false);
        GradientOverlay(*probe, 1, 0, kStops, 2, 0, 1, 2, false);
        ADD_FAILURE() << "opacity 2 was accepted";
    } catch (const TiAssertionError& error) {
        condition = error.condition(), function = error.function(), file = error.file();
    }
    EXPECT_FALSE(Run(ListOf(Bare(CMD_GRAY), ActionCommand_GRADIENT_OVERLAY::commandWithBlendMode(
                                                1, 0, kStops, 2, 0, 1, 2, false)),
                     *bitmap));
    const std::string message = RecordedError();
    EXPECT_EQ(message.find("CMD_GRADIENT_OVERLAY failed"), 0u) << message;
    for (const std::string& part : {condition, function, file}) {
        EXPECT_NE(message.find(part), std::string::npos) << part << " missing in " << message;
    }
    EXPECT_EQ(processor.currentBitmap(), nullptr);

    // A bitmap without pixels has no region to view: the frame's own
    // precondition fails the command.
    unsigned char pixel[4] = {};
    TiBitmapData empty(pixel, 0, 3, 0, TiRGBABpp, false);
    EXPECT_FALSE(Run(ListOf(Bare(CMD_GRAY)), empty));
    EXPECT_NE(RecordedError().find("x >= 0 && x < m_width"), std::string::npos) << RecordedError();
}

TEST_F(DispatcherTest, NamedActionsRunNestedOnTheSameBitmap) {
    test::ScratchFolder folder;
    test::ActionsResource actions(folder.File("actions.json"), R"(
        {"name": "Left gray", "commands": [
            {"cmd": "CMD_SET_SELECTION", "selection": ["0", "0", "3", "0"]}, {"cmd": "CMD_GRAY"}]},
        {"name": "Refused", "commands": [{"cmd": "CMD_GRAY"}, {"cmd": "CMD_POSTERIZE", "levels": "0"}]},
        {"name": "Loop", "commands": [{"cmd": "CMD_CALL_ACTION", "actionName": "Loop"}]},
        {"name": "Left gray", "commands": [{"cmd": "CMD_ANTICOLOR"}]})");
    auto bitmap = test::Gradient(8, 4, TiRGBABpp);
    auto expected = WithRegion(*bitmap, 0, 0, 3, 4, [](TiBitmapData& v) { ConvertToGray(v); });
    expected = WithRegion(*expected, 0, 0, 3, 4, [](TiBitmapData& v) { InvertColor(v); });

    // The nested run starts with the whole bitmap and leaves its selection
    // for the commands after it; the first action of the name wins.
    ASSERT_TRUE(Run(
        ListOf(Selection(5, 0, 2, 2), ActionCommand_CALL_ACTION::commandWithActionName("Left gray"),
               Bare(CMD_ANTICOLOR)),
        *bitmap));
    EXPECT_EQ(Pixels(*bitmap), Pixels(*expected));

    const auto before = Pixels(*bitmap);
    EXPECT_FALSE(Run(ListOf(ActionCommand_CALL_ACTION::commandWithActionName("Missing")), *bitmap));
    EXPECT_EQ(RecordedError(), "Not find Action!");
    EXPECT_FALSE(Run(ListOf(ActionCommand_CALL_ACTION::commandWithActionName("Loop")), *bitmap));
    EXPECT_NE(RecordedError().find("nests named actions"), std::string::npos) << RecordedError();
    EXPECT_EQ(Pixels(*bitmap), before);

    // A nested failure fails the calling command, keeping what ran before it.
    const auto grayed = WithRegion(*bitmap, 0, 0, 8, 4, [](TiBitmapData& v) { ConvertToGray(v); });
    EXPECT_FALSE(Run(ListOf(ActionCommand_CALL_ACTION::commandWithActionName("Refused")), *bitmap));
    EXPECT_EQ(Pixels(*bitmap), Pixels(*grayed));
}

TEST_F(DispatcherTest, NamedActionsFromAMissingResourceAreNotFound) {
    test::ScratchFolder folder;
    setResourceFile("actions", "json", folder.File("absent.json"));
    auto bitmap = test::Gradient(4, 4, TiRGBABpp);
    EXPECT_FALSE(
        Run(ListOf(ActionCommand_CALL_ACTION::commandWithActionName("Left gray")), *bitmap));
    EXPECT_EQ(RecordedError(), "Not find Action!");
    setResourceFile("actions", "json", "");
}

TEST_F(DispatcherTest, ShortMemoryLeavesTheBitmapUnchanged) {
    const auto make = [] { return test::Noise(20, 12, TiRGBABpp, 3); };
    for (const Array& list : {ListOf(ActionCommand_CLIP::commandWithRect({2, 2, 10, 5})),
                              ListOf(Selection(1, 1, 9, 9), Bare(CMD_AUTO_LEVELS))}) {
        const int refused = test::ExpectRefusalsLeaveBitmapUnchanged(
            make, [&](TiBitmapData& bitmap) { return Run(list, bitmap) ? 1 : 0; });
        EXPECT_GE(refused, 1);
    }
}

}  // namespace
}  // namespace vantrel
