// The dispatcher: the frame around the rows, the selection, every row
// against the operation it stands for, geometry, named actions and failures.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <numbers>
#include <string>

#include "Core/base/BrightnessContrast.h"
#include "Core/base/ChannelMixer.h"
#include "Core/base/ColorBalance.h"
#include "Core/base/Curve.h"
#include "Core/base/Equalize.h"
#include "Core/base/Exposure.h"
#include "Core/base/Flip.h"
#include "Core/base/GradientMask.h"
#include "Core/base/GrayInvert.h"
#include "Core/base/HSL.h"
#include "Core/base/Levels.h"
#include "Core/base/Posterize.h"
#include "Core/base/QuarterTurn.h"
#include "Core/base/Rotate.h"
#include "Core/base/SelectiveColor.h"
#include "Core/base/Zoom.h"
#include "Core/filter/Bokeh.h"
#include "Core/filter/Diffuse.h"
#include "Core/filter/Emboss.h"
#include "Core/filter/GasBlur.h"
#include "Core/filter/Mosaics.h"
#include "Core/filter/Noise.h"
#include "Core/filter/Painting.h"
#include "Core/filter/RadialBlur.h"
#include "Core/filter/RedEyeRemoval.h"
#include "Core/filter/Retinex.h"
#include "Core/filter/ShadowHighlight.h"
#include "Core/filter/Sketch.h"
#include "Core/filter/Unsharp.h"
#include "Core/global/TiAssert.h"
#include "Core/global/TiMemory.h"
#include "commands/Dispatcher.h"
#include "commands/EffectsProcesser.h"
#include "commands/ErrorManager.h"
#include "commands/Lomo.h"
#include "platform/Resources.h"
#include "support/CommandLists.h"
#include "support/TestImages.h"
#include "support/TestPictures.h"
#include "support/ValueText.h"

namespace vantrel {
namespace {

using test::Bare;
using test::CallList;
using test::ListOf;
using test::Pixels;
using test::RecordedError;
using test::Selection;
using test::WithRegion;

void ExpectRect(const Rect& rect, const Rect& expected) {
    EXPECT_EQ(std::tuple(rect.x, rect.y, rect.width, rect.height),
              std::tuple(expected.x, expected.y, expected.width, expected.height));
}

// Two gradient stops, red to blue.
const RGBPoint kStops[] = {{{255, 0, 0}, 0, 0.5f}, {{0, 0, 255}, 1, 0.5f}};

class DispatcherTest : public ::testing::Test {
protected:
    bool Run(const Array& list, TiBitmapData& bitmap, double paramScale = 1.0) {
        processor.setParamScale(paramScale);
        return processor.runCommands(list, bitmap);
    }

    EffectsProcesser processor;
};

// Which parameters the table marks scaled is seen in the row sweep below.
TEST(ScaledParam, ComputesInDoubleTruncatingAndSaturating) {
    // 90 x 0.7 is 62.99... in double, 63 in float.
    EXPECT_EQ(ScaledParam(90, 0.7), 62);
    EXPECT_EQ(ScaledParam(-7, 0.5), -3);
    EXPECT_EQ(ScaledParam(1 << 30, 4.0), std::numeric_limits<int>::max());
    EXPECT_EQ(ScaledParam(1.1f, 0.1), 0.109999999f);
}

// Selections are scaled to the preview, then brought inside the bitmap as
// every region is (ClampRegion); a selection confines the commands after it
// (seen in the row sweep below) until the list ends.
TEST_F(DispatcherTest, SelectionsAreClampedToTheBitmapAndLastUntilTheListEnds) {
    const std::pair<Rect, Rect> clamps[] = {
        {{0, 0, 0, 0}, {0, 0, 100, 80}},
        {{90, 70, 50, 50}, {90, 70, 10, 10}},
        {{-5, -1, 30, 20}, {0, 0, 30, 20}},
        // An origin at (or beyond) the far edge keeps one pixel; a size above
        // the bitmap's becomes the bitmap's, then is cut at the edge; a
        // negative size reaches the far edge.
        {{100, 80, 10, 10}, {99, 79, 1, 1}},
        {{40, 10, 101, -3}, {40, 10, 60, 70}},
        {{30, -4, -5, 20}, {30, 0, 70, 20}},
        // Fractions stay: the view truncates them.
        {{10.5f, 0, 89.75f, 0}, {10.5f, 0, 89.5f, 80}},
    };
    auto bitmap = test::Gradient(100, 80, TiRGBABpp);
    for (const auto& [rect, clamped] : clamps) {
        ExpectRect(ClampRegion(rect, 100, 80), clamped);
        ASSERT_TRUE(Run(ListOf(Selection(rect.x, rect.y, rect.width, rect.height)), *bitmap));
        ExpectRect(processor.currentSelection(), clamped);
    }
    // Wild numbers clamp like any other out-of-range value.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    ExpectRect(ClampRegion({nan, nan, nan, nan}, 100, 80), {0, 0, 100, 80});
    ExpectRect(ClampRegion({inf, -inf, inf, inf}, 100, 80), {99, 0, 1, 80});

    ASSERT_TRUE(Run(ListOf(Selection(10, 10, 50, 50)), *bitmap, 0.5));
    ExpectRect(processor.currentSelection(), {5, 5, 25, 25});
    // A later selection replaces the earlier one; it is clamped, not intersected.
    ASSERT_TRUE(Run(ListOf(Selection(10, 10, 5, 5), Selection(50, 60, 0, 0)), *bitmap));
    ExpectRect(processor.currentSelection(), {50, 60, 50, 20});
    // The next list starts with the whole bitmap selected again.
    const auto inverted = WithRegion(*bitmap, 0, 0, 100, 80, InvertColor);
    ASSERT_TRUE(Run(ListOf(Bare(CMD_ANTICOLOR)), *bitmap));
    EXPECT_EQ(Pixels(*bitmap), Pixels(*inverted));
}

// Every row as the dispatcher must run it: its command and the operation it
// stands for, applied to the selected region with the spatial parameters the
// command table marks scaled (here by 0.5). The selection (8, 6, 40, 30) at
// paramScale 0.5 is the region (4, 3, 20, 15). Colour rows also run on 3-byte
// pixels and on the whole bitmap. The parameters differ from one another
// and from what a missing key reads, so a getter reading the wrong key shows.
struct RowCase {
    RowCase(const std::unique_ptr<ActionCommand>& command,
            std::function<void(TiBitmapData&)> reference, bool rgbaOnly = false)
        : command(command->dic()), reference(std::move(reference)), rgbaOnly(rgbaOnly) {}
    std::string name;  // the command's, numbered where a command has several rows
    Dictionary command;
    std::function<void(TiBitmapData&)> reference;  // on the region, parameters already scaled
    bool rgbaOnly;
};

void PrintTo(const RowCase& row, std::ostream* out) {
    *out << row.name;
}

// The operation `operation` with the arguments after the bitmap bound.
template <typename Operation, typename... Arguments>
std::function<void(TiBitmapData&)> Op(Operation operation, Arguments... arguments) {
    return [=](TiBitmapData& bitmap) { operation(bitmap, arguments...); };
}

std::vector<RowCase> RowCases() {
    static const Vec3 kCurve[] = {{0, 20, 0}, {128, 100, 0}, {255, 230, 0}};
    static const TinyChannelMixer kMixer{{0.5f, 0.3f, 0.2f}, {-0.2f, 1.1f, 0.1f}, {0, 0.4f, 0.7f}};
    static const HSLData kHsl{{20, 10, 0}, {}, {-30, 0, 15}, {}, {0, -40, 0}, {}, {5, 10, -5}};
    static const HueRangeData kHueRanges{{-15, 15, -45, 45},   {45, 75, 15, 105},
                                         {105, 135, 75, 165},  {165, 195, 135, 225},
                                         {225, 255, 195, 285}, {285, 315, 255, 345}};
    static const ComplementScaleSet kInks{
        {0.2f, 0, -0.1f, 0}, {}, {0, 0.3f, 0, 0.1f}, {},
        {-0.2f, 0, 0, 0},    {}, {0, 0, 0.1f, 0},    {0.05f, 0, 0, 0},
        {0, 0, 0, -0.2f}};
    TColorLevelData levels, green;
    levels.RedLow = 20, levels.RedHigh = 220, levels.RedGamma = 1.3;
    levels.BlueLow = 0, levels.BlueHigh = 255, levels.BlueGamma = 0.8;
    levels.AllLow = 5, levels.AllHigh = 250, levels.AllGamma = 1.2;
    green.GreenLow = 10, green.GreenHigh = 240, green.GreenGamma = 0.9;
    // The shadows carry no shift: skipped. Shifts of exactly 100 either way
    // are still in range.
    const TransferColor tones[3] = {{0, 0, 0}, {30, -20, 10}, {-15, 0, 40}};
    const TransferColor fullShift[3] = {{0, 0, 0}, {100, -100, 0}, {0, 0, 0}};
    return {{Bare(CMD_ANTICOLOR), InvertColor},
            {ActionCommand_EXPOSURE::commandWithValue(0.6f), Op(AdjustExposure, 0.6f)},
            // Green's triple is all zero: skipped.
            {ActionCommand_COLORLEVELS::commandWithColorLevelData(levels),
             [](auto& v) {
                 AdjustLevels(v, 20, 220, 1.3, 1);
                 AdjustLevels(v, 0, 255, 0.8, 3);
                 AdjustLevels(v, 5, 250, 1.2, 0);
             }},
            {ActionCommand_COLORLEVELS::commandWithColorLevelData(green),
             Op(AdjustLevels, 10, 240, 0.9, 2)},
            {Bare(CMD_GRAY), ConvertToGray},
            {ActionCommand_BRIGHTNESS_CONTRAST::commandWithBrightness(0.2f, -0.3f),
             Op(AdjustBrightnessContrast, 0.2f, -0.3f)},
            {ActionCommand_THRESHOLD::commandWithLevels(100), Op(Threshold, 100)},
            {ActionCommand_POSTERIZE::commandWithLevels(4), Op(Posterize, 4)},
            {ActionCommand_EQUALIZE::commandWithEqualizeMode(0), Op(Equalize, 0)},
            {ActionCommand_EQUALIZE::commandWithEqualizeMode(1), Op(Equalize, 1)},
            {Bare(CMD_COMPLEMENT_COLOR), ComplementColor},
            {ActionCommand_CURVE::commandWithPoints(kCurve, 2),
             Op(AdjustCurveBySplinePoints, kCurve, 3, 2)},
            {ActionCommand_CHANNELMIX::commandWithChannelMixer(kMixer), Op(MixChannels, kMixer)},
            {ActionCommand_CHANNELMIX_GRAY::commandWithChannelMixScale(kMixer.green),
             Op(MixChannelsToGray, kMixer.green)},
            {Bare(CMD_AUTO_LEVELS), AutoLevels},
            {ActionCommand_COLORBALANCE::commandWithTransferColors(tones, true),
             [](auto& v) {
                 BalanceColor(v, 30, -20, 10, 1, true);
                 BalanceColor(v, -15, 0, 40, 2, true);
             }},
            {ActionCommand_COLORBALANCE::commandWithTransferColors(fullShift, true),
             Op(BalanceColor, 100, -100, 0, 1, true)},
            {ActionCommand_HSL_ADUSTMENT::commandWithHSLData(kHsl, kHueRanges),
             Op(AdjustHSL, kHsl, kHueRanges)},
            {ActionCommand_HSL_TINT::commandWithHSL({200, 90, -30}), Op(TintHSL, 200, 90, -30)},
            {ActionCommand_SELECTIVE_COLOR::commandWithScaleSet(kInks), Op(SelectiveColor, kInks)},
            {ActionCommand_GRADIENT_OVERLAY::commandWithBlendMode(3, 1, kStops, 2, 30.0f, 1.0f,
                                                                  0.5f, true),
             Op(GradientOverlay, 3, 1, kStops, 2, 30.0f, 1.0f, 0.5f, true)},
            {ActionCommand_GASBLUR::commandWithRadiusH(6, 3), [](auto& v) { GasBlur(v, 3, 1); }},
            {ActionCommand_SHARPEN::commandWithAmount(80, 5, 2), Op(Unsharp, 80, 2, 2)},
            {ActionCommand_SOFTGLOW::commandWithRadius(9, 0.2f, 0.3f), Op(SoftGlow, 4, 0.2f, 0.3f)},
            {ActionCommand_RADIALBLUR::commandWithAmount(30, 3), Op(RadialBlur, 30, 1.5f, 2)},
            {ActionCommand_SHADOW_HIGHLIGHT::commandWithShadows(0.5f, 0.3f),
             Op(ShadowHighlight, 0.5f, 0.3f)},
            {ActionCommand_DIFFUSE::commandWithSpacing(4, 6), Op(Diffuse, 2, 3)},
            {ActionCommand_EMBOSS::commandWithDegrees(30, 4, 150), Op(Emboss, 30, 2, 150), true},
            {ActionCommand_MOSAICS::commandWithGridWidth(9), Op(Mosaics, 4)},
            {ActionCommand_DOT::commandWithGridWidth(12), Op(Dot, 6)},
            {ActionCommand_PAINTING::commandWithRadius(5, 16), Op(Painting, 2, 16)},
            {ActionCommand_SKETCH::commandWithRadius(7), Op(Sketch, 3)},
            {ActionCommand_NOISE::commandWithAmount(40, true), Op(AddNoise, 40, true)},
            {ActionCommand_REDUCENOISE::commandWithReduceNoiseMode(0), Op(ReduceNoise, 0)},
            {ActionCommand_RED_EYE_REMOVAL::commandWithThreshold(40), Op(RedEyeRemoval, 40)},
            {ActionCommand_LOMO::commandWithLomo(LE_DarkPink), Op(ApplyLomoStyle, LE_DarkPink)},
            // The surround's radius comes from the scale division alone, never
            // from the preview scale; the level is only logged.
            {ActionCommand_RETINEX::commandWithLevel(1, 2, 1.5f), [](auto& v) {
                 auto surround = v.Clone(false);
                 GasBlur(*surround, RetinexBlurRadius(2));
                 retinex(v, *surround, 2, 1, 1.5f);
             }}};
}

// Each row in the pixel sizes it takes, on a selection and on the whole bitmap.
std::vector<std::tuple<RowCase, int, bool>> RowRuns() {
    std::vector<std::tuple<RowCase, int, bool>> runs;
    std::map<std::string, int> rowsOf;
    for (RowCase& row : RowCases()) {
        row.name = *row.command.find("cmd")->text();
        if (const int n = ++rowsOf[row.name]; n > 1) row.name += std::to_string(n);
        for (int bpp : {TiRGBBpp, TiRGBABpp})
            if (!row.rgbaOnly || bpp == TiRGBABpp)
                for (bool selected : {false, true}) runs.emplace_back(row, bpp, selected);
    }
    return runs;
}

class RowTest : public DispatcherTest,
                public ::testing::WithParamInterface<std::tuple<RowCase, int, bool>> {};

TEST_P(RowTest, RunsItsOperationOnTheSelectedRegion) {
    const auto& [row, bpp, selected] = GetParam();
    auto bitmap = test::Noise(36, 24, bpp, 11);
    const Rect region = selected ? Rect{4, 3, 20, 15} : Rect{0, 0, 36, 24};
    srandom(1);
    const auto expected =
        WithRegion(*bitmap, static_cast<int>(region.x), static_cast<int>(region.y),
                   static_cast<int>(region.width), static_cast<int>(region.height), row.reference);
    const Array list = selected ? Array{Value(Selection(8, 6, 40, 30)->dic()), Value(row.command)}
                                : Array{Value(row.command)};
    srandom(1);
    ASSERT_TRUE(Run(list, *bitmap, 0.5)) << RecordedError();
    EXPECT_EQ(Pixels(*bitmap), Pixels(*expected));
}

INSTANTIATE_TEST_SUITE_P(Rows, RowTest, ::testing::ValuesIn(RowRuns()), [](const auto& info) {
    return std::get<0>(info.param).name + "_" + std::to_string(std::get<1>(info.param)) + "bpp" +
           (std::get<2>(info.param) ? "_Selected" : "_Whole");
});

// Corrections that always apply succeed where their operation refuses (and
// changes nothing); commands no row knows succeed and change nothing.
TEST_F(DispatcherTest, CorrectionsThatAlwaysApplyAndUnknownCommandsSucceed) {
    auto bitmap = test::Gradient(12, 8, TiRGBABpp);
    const auto expected = WithRegion(*bitmap, 0, 0, 12, 8, InvertColor);
    TColorLevelData wildGamma;
    wildGamma.AllLow = 0, wildGamma.AllHigh = 255, wildGamma.AllGamma = 50.0;
    Array list = ListOf(ActionCommand_BRIGHTNESS_CONTRAST::commandWithBrightness(2.0f, 0),
                        ActionCommand_COLORLEVELS::commandWithColorLevelData(wildGamma));
    for (const Dictionary& unknown : {Dictionary{{"cmd", "CMD_NOPE"}}, Dictionary{},
                                      Dictionary{{"cmd", "cmd_gray"}}, Dictionary{{"radius", "3"}}})
        list.push_back(Value(unknown));
    list.push_back(Value(Bare(CMD_ANTICOLOR)->dic()));
    EXPECT_TRUE(Run(list, *bitmap));
    EXPECT_EQ(Pixels(*bitmap), Pixels(*expected));
}

// Every command has its row in this build (so none fails as "not available
// in this build"); numbers outside the table have none.
TEST(Dispatcher, EveryCommandHasItsRow) {
    for (int cmd = 0; cmd < kCommandCount; ++cmd) EXPECT_TRUE(IsCommandAvailable(cmd)) << cmd;
    EXPECT_FALSE(IsCommandAvailable(-1));
    EXPECT_FALSE(IsCommandAvailable(kCommandCount));
}

TEST_F(DispatcherTest, AFailedPreconditionFailsItsCommandWithWhereAndWhy) {
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
        {"name": "Left gray", "commands": [{"cmd": "CMD_ANTICOLOR"}]})");
    auto bitmap = test::Gradient(8, 4, TiRGBABpp);
    auto expected = WithRegion(*bitmap, 0, 0, 3, 4, ConvertToGray);
    expected = WithRegion(*expected, 0, 0, 3, 4, InvertColor);

    // The nested run starts with the whole bitmap and leaves its selection
    // for the commands after it; the first action of the name wins.
    ASSERT_TRUE(Run(
        ListOf(Selection(5, 0, 2, 2), ActionCommand_CALL_ACTION::commandWithActionName("Left gray"),
               Bare(CMD_ANTICOLOR)),
        *bitmap));
    EXPECT_EQ(Pixels(*bitmap), Pixels(*expected));

    const auto before = Pixels(*bitmap);
    EXPECT_FALSE(Run(CallList("Missing"), *bitmap));
    EXPECT_EQ(RecordedError(), "Not find Action!");
    EXPECT_EQ(Pixels(*bitmap), before);

    // A nested failure fails the calling command, keeping what ran before it.
    const auto grayed = WithRegion(*bitmap, 0, 0, 8, 4, ConvertToGray);
    EXPECT_FALSE(Run(CallList("Refused"), *bitmap));
    EXPECT_EQ(Pixels(*bitmap), Pixels(*grayed));
    // Without an actions file no action is found.
    setResourceFile("actions", "json", folder.File("absent.json"));
    EXPECT_FALSE(Run(CallList("Left gray"), *bitmap));
    EXPECT_EQ(RecordedError(), "Not find Action!");
}

Array Rotate(float degrees) {
    return ListOf(ActionCommand_ROTATE::commandWithDegrees(degrees));
}

Array Zoom(float scale) {
    return ListOf(ActionCommand_ZOOM::commandWithScale(scale));
}

// What RotateBitmap draws of `source` turned by whole `degrees` into a
// cleared width x height bitmap, centres on centres.
std::unique_ptr<TiBitmapData> Rotated(const TiBitmapData& source, int width, int height,
                                      int degrees) {
    auto result = test::Constant(width, height, TiRGBABpp, {0, 0, 0, 0});
    RotateBitmap(*result, source, degrees * std::numbers::pi / 180.0, 1.0, 1.0,
                 (width - source.GetWidth()) * 0.5, (height - source.GetHeight()) * 0.5);
    return result;
}

using Made = std::unique_ptr<TiBitmapData>;

// Turned, flipped, zoomed or cut by `make`, then inverted (or grayed) whole:
// every geometric command resets the selection.
Made Then(Made bitmap, int (*operation)(TiBitmapData&)) {
    operation(*bitmap);
    return bitmap;
}

// Every geometric command against the operation it stands for: the bitmap
// object keeps its identity and ends packed at the new size.
TEST_F(DispatcherTest, GeometricCommandsGiveTheirOperationsResult) {
    const auto noise = [](int width, int height, int bpp, int seed) {
        return [=] { return test::Noise(width, height, bpp, seed); };
    };
    const auto wide = noise(200, 100, TiRGBABpp, 5), angled = noise(200, 100, TiRGBABpp, 9);
    const auto zoomed = noise(101, 51, TiRGBABpp, 4), small = noise(9, 5, TiRGBABpp, 8);
    const auto clipped = noise(20, 10, TiRGBABpp, 6);
    const auto turns = [](int n) {
        return [n](const TiBitmapData& s) { return RotateQuarterTurns(s, n); };
    };
    const auto same = [](const TiBitmapData& s) { return s.Clone(false); };
    const auto flip = [](const TiBitmapData& s) {
        auto f = s.Clone(false);
        FlipBitmap(*f, true, false);
        return Then(std::move(f), ConvertToGray);
    };
    const auto inverted = [](const TiBitmapData& s) {
        return Then(s.GetBitmapDataFromRect(2, 1, 8, 4)->Clone(false), InvertColor);
    };
    const auto flipBoth = ActionCommand_FLIP::commandWithFlipH(true, true);
    const std::tuple<const char*, std::function<Made()>, Array, double,
                     std::function<Made(const TiBitmapData&)>>
        cases[] = {
            // The turn resets the selection: the inversion covers the whole result.
            {"90", wide,
             ListOf(Selection(5, 5, 10, 10), ActionCommand_ROTATE::commandWithDegrees(90),
                    Bare(CMD_ANTICOLOR)),
             1.0,
             [](const TiBitmapData& s) { return Then(RotateQuarterTurns(s, 1), InvertColor); }},
            {"-90", wide, Rotate(-90), 1.0, turns(3)},
            {"270", wide, Rotate(270), 1.0, turns(3)},
            {"-450", wide, Rotate(-450), 1.0, turns(3)},
            // 0 and whole turns leave every byte as it was, the outer ring included.
            {"0", wide, Rotate(0), 1.0, same},
            {"360", wide, Rotate(360), 1.0, same},
            {"-720", wide, Rotate(-720), 1.0, same},
            {"180 and back", wide,
             ListOf(ActionCommand_ROTATE::commandWithDegrees(180),
                    ActionCommand_ROTATE::commandWithDegrees(-180)),
             1.0, same},
            {"180 of 3 bytes", noise(7, 3, TiRGBBpp, 2), Rotate(180), 1.0, turns(2)},
            // The box of 45.7 degrees is 211 x 212; the turn itself is by 45;
            // -45.5 truncates to -45, which turns as 315; 90.5 goes through
            // the resampling path, turning by 90 with its blended border.
            {"45.7", angled, Rotate(45.7f), 1.0,
             [](const TiBitmapData& s) { return Rotated(s, 211, 212, 45); }},
            {"-45.5", angled, Rotate(-45.5f), 1.0,
             [](const TiBitmapData& s) { return Rotated(s, 211, 212, 315); }},
            {"90.5", angled, Rotate(90.5f), 1.0,
             [](const TiBitmapData& s) { return Rotated(s, 101, 200, 90); }},
            // The preview scale is never applied to the zoom's scale.
            {"zoom", zoomed,
             ListOf(Selection(10, 10, 5, 5), ActionCommand_ZOOM::commandWithScale(0.5f),
                    Bare(CMD_GRAY)),
             0.25,
             [](const TiBitmapData& s) { return Then(CreateImageZoom(s, 50, 25), ConvertToGray); }},
            {"zoom of 3 bytes", noise(9, 6, TiRGBBpp, 1), Zoom(1.5f), 1.0,
             [](const TiBitmapData& s) { return CreateImageZoom(s, 13, 9); }},
            {"flip", small,
             ListOf(Selection(1, 1, 2, 2), ActionCommand_FLIP::commandWithFlipH(true, false),
                    Bare(CMD_GRAY)),
             1.0, flip},
            {"flip twice", small, ListOf(flipBoth, flipBoth), 1.0, same},
            // The bokeh focuses the whole bitmap whatever the selection.
            {"bokeh", noise(36, 24, TiRGBABpp, 5),
             ListOf(Selection(8, 6, 40, 30),
                    ActionCommand_BOKEH::commandWithBlurRadius(4, 8, 12, 30, Point{21, 13})),
             0.5,
             [](const TiBitmapData& s) {
                 auto focused = s.Clone(false);
                 BokehFilter(*focused, 10, 6, 2, 30, 4, 6);
                 return focused;
             }},
            // At the preview scale, then the selection is the whole cut-out.
            {"clip", clipped,
             ListOf(Selection(0, 0, 2, 2), ActionCommand_CLIP::commandWithRect({4, 2, 16, 8}),
                    Bare(CMD_ANTICOLOR)),
             0.5, inverted},
        };
    for (const auto& [name, make, list, scale, reference] : cases) {
        SCOPED_TRACE(name);
        auto bitmap = make();
        const auto expected = reference(*bitmap);
        const TiBitmapData* record = bitmap.get();
        ASSERT_TRUE(Run(list, *bitmap, scale)) << RecordedError();
        EXPECT_EQ(bitmap.get(), record);
        EXPECT_EQ(std::pair(bitmap->GetWidth(), bitmap->GetHeight()),
                  std::pair(expected->GetWidth(), expected->GetHeight()));
        EXPECT_EQ(bitmap->GetPitch(), bitmap->GetWidth() * bitmap->GetBpp());
        EXPECT_EQ(Pixels(*bitmap), Pixels(*expected));
    }
    // A clip of a bitmap whose rows are wider than its pixels, as a view's
    // are, owns a packed copy; a rectangle without a whole pixel is refused.
    auto parent = test::Noise(12, 6, TiRGBABpp, 3);
    TiBitmapData view(parent->GetData(), 10, 6, parent->GetPitch(), TiRGBABpp, false);
    const auto whole = Pixels(view);
    ASSERT_TRUE(Run(ListOf(ActionCommand_CLIP::commandWithRect({0, 0, 0, 0})), view));
    EXPECT_EQ(view.GetPitch(), 40);
    EXPECT_TRUE(view.OwnsData());
    EXPECT_EQ(Pixels(view), whole);
    EXPECT_FALSE(Run(ListOf(ActionCommand_CLIP::commandWithRect({1, 1, 0.5f, 3})), view));
    EXPECT_EQ(view.GetWidth(), 10);
}

// Parameters no operation can take are refused naming the command and what
// was asked (the message begins so), before any memory is taken; the bitmap
// stays as it was. "Can not allocate memory!" is only for memory really short.
TEST_F(DispatcherTest, ParametersOutsideTheirRangeAreRefusedBeforeAnyWork) {
    using testing::HasSubstr, testing::StartsWith;
    static const Vec3 kPoints[] = {{0, 255, 0}, {255, 0, 0}};
    // The command with one entry's text replaced; texts beyond the float
    // range read as infinities.
    const auto with = [](const auto& command, const char* key, const char* text) {
        Dictionary dic = command->dic();
        dic.set(key, text);
        return Array{Value(dic)};
    };
    const auto gradient = [](int blendMode, int style) {
        return ListOf(ActionCommand_GRADIENT_OVERLAY::commandWithBlendMode(blendMode, style, kStops,
                                                                           2, 0, 1, 1, false));
    };
    const TransferColor tones[3] = {{10, 0, 0}, {0, 0, 0}, {0, 101, 0}};
    const auto zoom = ActionCommand_ZOOM::commandWithScale(1);
    const auto rotate = ActionCommand_ROTATE::commandWithDegrees(0);
    const std::vector<std::pair<Array, testing::Matcher<std::string>>> refusals = {
        {with(zoom, "scale", "1e39"), StartsWith("CMD_ZOOM needs a scale above 0, not inf")},
        {with(zoom, "scale", "-1e39"), StartsWith("CMD_ZOOM needs a scale above 0, not -inf")},
        {with(zoom, "scale", "-2.5"), StartsWith("CMD_ZOOM needs a scale above 0, not -2.500000")},
        {Zoom(0), StartsWith("CMD_ZOOM needs a scale above 0, not 0.000000")},
        {Zoom(0.005f), StartsWith("CMD_ZOOM by 0.005000 asks for a picture of 0 x 0 pixels")},
        {Zoom(700),
         StartsWith("CMD_ZOOM by 700.000000 asks for a picture of 70700 x 35700 pixels")},
        {Zoom(3e9f), StartsWith("CMD_ZOOM by ")},
        {Zoom(1e38f), StartsWith("CMD_ZOOM by ")},
        {with(rotate, "degrees", "1e39"), StartsWith("CMD_ROTATE needs a finite angle, not inf")},
        {with(rotate, "degrees", "-1e39"), StartsWith("CMD_ROTATE needs a finite angle, not -inf")},
        // Colour balance takes shifts of -100 to 100; the curve the channels
        // RGB, R, G and B.
        {ListOf(ActionCommand_COLORBALANCE::commandWithTransferColors(tones, false)),
         HasSubstr("CMD_COLORBALANCE")},
        {ListOf(ActionCommand_POSTERIZE::commandWithLevels(1)), HasSubstr("CMD_POSTERIZE")},
        {ListOf(ActionCommand_CURVE::commandWithPoints(kPoints, 4)),
         StartsWith("CMD_CURVE needs the channel")},
        {with(ActionCommand_CURVE::commandWithPoints(kPoints, 1), "channel", "CHANNEL_R"),
         StartsWith("CMD_CURVE needs the channel")},
        // The gradient's blend mode and style come from outside: refused by
        // name, not left to the core's preconditions.
        {gradient(0, 0), R"(CMD_GRADIENT_OVERLAY: "blendMode" must be 1 to 20, not 0)"},
        {gradient(21, 0), R"(CMD_GRADIENT_OVERLAY: "blendMode" must be 1 to 20, not 21)"},
        {gradient(-7, 1), R"(CMD_GRADIENT_OVERLAY: "blendMode" must be 1 to 20, not -7)"},
        {gradient(3, 3), R"(CMD_GRADIENT_OVERLAY: "style" must be 0 to 2, not 3)"},
        {gradient(3, -1), R"(CMD_GRADIENT_OVERLAY: "style" must be 0 to 2, not -1)"},
        {with(ActionCommand_LOMO::commandWithLomo(LE_DarkPink), "lomo", "LE_Unknown"),
         "CMD_LOMO: \"LE_Unknown\" is not the name of a look"},
    };
    auto bitmap = test::Noise(101, 51, TiRGBABpp, 4);
    const auto before = Pixels(*bitmap);
    for (const auto& [list, message] : refusals) {
        TiMemoryTestHook::Reset();
        EXPECT_FALSE(Run(list, *bitmap)) << test::Texts(list);
        EXPECT_EQ(TiMemoryTestHook::AllocationCount(), 0) << test::Texts(list);
        EXPECT_THAT(RecordedError(), message);
        EXPECT_EQ(processor.currentBitmap(), nullptr);
        EXPECT_EQ(bitmap->GetWidth(), 101);
        EXPECT_EQ(Pixels(*bitmap), before);
    }
    EXPECT_TRUE(Run(gradient(20, 2), *bitmap)) << RecordedError();
    // A long thin picture turned by 45 degrees would pass the picture limit.
    auto strip = test::Constant(65535, 2, TiRGBABpp, {1, 2, 3, 255});
    EXPECT_FALSE(Run(Rotate(45), *strip));
    EXPECT_EQ(RecordedError(),
              "CMD_ROTATE by 45.000000 asks for a picture of 46341 x 46341 pixels; a picture has 1 "
              "to 65535 pixels a side and at most 100000000 pixels.");

    // Resampled turns need 4-byte pixels.
    auto rgb = test::Noise(5, 5, TiRGBBpp, 1);
    EXPECT_FALSE(Run(Rotate(30), *rgb));
    EXPECT_NE(RecordedError().find("CMD_ROTATE"), std::string::npos);
}

// Each command that changes the size takes one new buffer for its result;
// short memory leaves the bitmap as it was.
TEST_F(DispatcherTest, GeometricCommandsTakeOneBufferAndShortMemoryChangesNothing) {
    const auto make = [] { return test::Noise(30, 20, TiRGBABpp, 12); };
    for (const Array& list :
         {Rotate(90), Rotate(33), ListOf(ActionCommand_CLIP::commandWithRect({3, 3, 10, 10}))}) {
        auto bitmap = make();
        TiMemoryTestHook::Reset();
        ASSERT_TRUE(Run(list, *bitmap));
        EXPECT_EQ(TiMemoryTestHook::AllocationCount(), 1) << test::Texts(list);
    }
    // An operation that finds its memory short refuses, as for parameters
    // out of range.
    const std::string memory = "Can not allocate memory!";
    const std::pair<Array, std::string> shortOfMemory[] = {
        {Rotate(90), memory},
        {Rotate(33), memory},
        {Zoom(0.7f), memory},
        {ListOf(ActionCommand_CLIP::commandWithRect({2, 2, 10, 5})), memory},
        {ListOf(Selection(1, 1, 9, 9), Bare(CMD_AUTO_LEVELS)),
         "CMD_AUTO_LEVELS was refused: its parameters are out of range, the picture's format does "
         "not suit it, or memory is short"}};
    for (const auto& [list, message] : shortOfMemory) {
        const int refused = test::ExpectRefusalsLeaveBitmapUnchanged(
            make, [this, &list = list](TiBitmapData& bitmap) { return Run(list, bitmap) ? 1 : 0; });
        EXPECT_GE(refused, 1) << test::Texts(list);
        EXPECT_EQ(RecordedError(), message);
    }
}

}  // namespace
}  // namespace vantrel
