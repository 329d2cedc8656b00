#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "Core/base/Flip.h"
#include "Core/base/GrayInvert.h"
#include "Core/base/QuarterTurn.h"
#include "Core/base/Rotate.h"
#include "Core/base/Zoom.h"
#include "Core/global/TiMemory.h"
#include "commands/EffectsProcesser.h"
#include "commands/ErrorManager.h"
#include "support/CommandLists.h"
#include "support/TestImages.h"
#include "support/ValueText.h"

namespace vantrel {
namespace {

using test::Bare;
using test::ListOf;
using test::Pixels;
using test::RecordedError;
using test::Selection;

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

class GeometryRowsTest : public ::testing::Test {
protected:
    bool Run(const Array& list, TiBitmapData& bitmap) {
        return processor.runCommands(list, bitmap);
    }

    EffectsProcesser processor;
};

TEST_F(GeometryRowsTest, QuarterTurnsRearrangeWithoutLoss) {
    const auto source = test::Noise(200, 100, TiRGBABpp, 5);
    const auto turned = RotateQuarterTurns(*source, 1);
    const auto turnedBack = RotateQuarterTurns(*source, 3);

    auto bitmap = source->Clone(false);
    TiBitmapData* record = bitmap.get();
    ASSERT_TRUE(Run(ListOf(Selection(5, 5, 10, 10), ActionCommand_ROTATE::commandWithDegrees(90),
                           Bare(CMD_ANTICOLOR)),
                    *bitmap));
    EXPECT_EQ(bitmap.get(), record);
    EXPECT_EQ(bitmap->GetWidth(), 100);
    EXPECT_EQ(bitmap->GetHeight(), 200);
    // The turn resets the selection: the inversion covers the whole result.
    const auto invertedTurn =
        test::WithRegion(*turned, 0, 0, 100, 200, [](TiBitmapData& v) { InvertColor(v); });
    EXPECT_EQ(Pixels(*bitmap), Pixels(*invertedTurn));

    for (float degrees : {-90.0f, 270.0f, -450.0f}) {
        auto other = source->Clone(false);
        ASSERT_TRUE(Run(Rotate(degrees), *other));
        EXPECT_EQ(Pixels(*other), Pixels(*turnedBack)) << degrees;
    }
    // 0 and whole turns leave every byte as it was, the outer ring included.
    for (float degrees : {0.0f, 360.0f, -720.0f}) {
        auto same = source->Clone(false);
        ASSERT_TRUE(Run(Rotate(degrees), *same));
        EXPECT_EQ(Pixels(*same), Pixels(*source)) << degrees;
    }
    auto twice = source->Clone(false);
    ASSERT_TRUE(Run(ListOf(ActionCommand_ROTATE::commandWithDegrees(180),
                           ActionCommand_ROTATE::commandWithDegrees(-180)),
                    *twice));
    EXPECT_EQ(Pixels(*twice), Pixels(*source));

    // Any bytes per pixel turn by quarter turns.
    auto rgb = test::Noise(7, 3, TiRGBBpp, 2);
    const auto rgbTurned = RotateQuarterTurns(*rgb, 2);
    ASSERT_TRUE(Run(Rotate(180), *rgb));
    EXPECT_EQ(Pixels(*rgb), Pixels(*rgbTurned));
}

TEST_F(GeometryRowsTest, OtherAnglesTurnByWholeDegreesIntoTheExactAnglesBox) {
    const auto source = test::Noise(200, 100, TiRGBABpp, 9);
    // The box of 45.7 degrees is 211 x 212; the turn itself is by 45.
    auto bitmap = source->Clone(false);
    ASSERT_TRUE(Run(Rotate(45.7f), *bitmap));
    ASSERT_EQ(bitmap->GetWidth(), 211);
    ASSERT_EQ(bitmap->GetHeight(), 212);
    EXPECT_EQ(Pixels(*bitmap), Pixels(*Rotated(*source, 211, 212, 45)));

    // -45.5 truncates to -45, which turns as 315.
    auto negative = source->Clone(false);
    ASSERT_TRUE(Run(Rotate(-45.5f), *negative));
    ASSERT_EQ(negative->GetWidth(), 211);
    ASSERT_EQ(negative->GetHeight(), 212);
    EXPECT_EQ(Pixels(*negative), Pixels(*Rotated(*source, 211, 212, 315)));

    // Just off a quarter turn goes through the resampling path: 90.5 turns
    // by 90 there, with its blended border, into a 101 x 200 box.
    auto nearly = source->Clone(false);
    ASSERT_TRUE(Run(Rotate(90.5f), *nearly));
    ASSERT_EQ(nearly->GetWidth(), 101);
    ASSERT_EQ(nearly->GetHeight(), 200);
    EXPECT_EQ(Pixels(*nearly), Pixels(*Rotated(*source, 101, 200, 90)));
}

TEST_F(GeometryRowsTest, ZoomResamplesTheWholeBitmapToTruncatedSides) {
    const auto source = test::Noise(101, 51, TiRGBABpp, 4);
    const auto expected = CreateImageZoom(*source, 50, 25);
    auto bitmap = source->Clone(false);
    processor.setParamScale(0.25);  // never applied to the zoom's scale
    ASSERT_TRUE(Run(
        ListOf(Selection(10, 10, 5, 5), ActionCommand_ZOOM::commandWithScale(0.5f), Bare(CMD_GRAY)),
        *bitmap));
    ASSERT_EQ(bitmap->GetWidth(), 50);
    ASSERT_EQ(bitmap->GetHeight(), 25);
    EXPECT_EQ(bitmap->GetPitch(), 200);
    ConvertToGray(*expected);
    EXPECT_EQ(Pixels(*bitmap), Pixels(*expected));

    auto rgb = test::Noise(9, 6, TiRGBBpp, 1);
    const auto rgbExpected = CreateImageZoom(*rgb, 13, 9);
    ASSERT_TRUE(Run(Zoom(1.5f), *rgb));
    EXPECT_EQ(Pixels(*rgb), Pixels(*rgbExpected));
}

TEST_F(GeometryRowsTest, AbsurdScalesAndAnglesAreRefusedBeforeAnyMemoryIsTaken) {
    // Texts beyond the float range read as infinities.
    const auto wild = [](const char* cmd, const char* key, const char* text) {
        return Array{Value(Dictionary{{"cmd", cmd}, {key, text}})};
    };
    auto bitmap = test::Noise(101, 51, TiRGBABpp, 4);
    const auto before = Pixels(*bitmap);
    for (const Array& list :
         {wild("CMD_ZOOM", "scale", "1e39"), wild("CMD_ZOOM", "scale", "-1e39"), Zoom(-1), Zoom(0),
          Zoom(0.005f), Zoom(700), Zoom(3e9f), Zoom(1e38f), wild("CMD_ROTATE", "degrees", "1e39"),
          wild("CMD_ROTATE", "degrees", "-1e39")}) {
        ErrorManager::sharedErrorManager().setErrorString("");
        TiMemoryTestHook::Reset();
        EXPECT_FALSE(Run(list, *bitmap)) << test::Texts(list);
        EXPECT_EQ(TiMemoryTestHook::AllocationCount(), 0) << test::Texts(list);
        // Refused as a size or a parameter, by the command's name; no memory was short.
        EXPECT_EQ(RecordedError().rfind(list[0].dictionary()->find("cmd")->stringValue(), 0), 0u)
            << RecordedError();
        EXPECT_EQ(bitmap->GetWidth(), 101);
        EXPECT_EQ(Pixels(*bitmap), before);
    }
    // A long thin picture turned by 45 degrees would pass the picture limit.
    auto strip = test::Constant(65535, 2, TiRGBABpp, {1, 2, 3, 255});
    EXPECT_FALSE(Run(Rotate(45), *strip));
    EXPECT_NE(RecordedError().find("asks for a picture of"), std::string::npos) << RecordedError();

    // Resampled turns need 4-byte pixels.
    auto rgb = test::Noise(5, 5, TiRGBBpp, 1);
    EXPECT_FALSE(Run(Rotate(30), *rgb));
    EXPECT_NE(RecordedError().find("CMD_ROTATE"), std::string::npos);
}

TEST_F(GeometryRowsTest, FlipMirrorsTheWholeBitmapAndResetsTheSelection) {
    const auto source = test::Noise(9, 5, TiRGBABpp, 8);
    auto expected = source->Clone(false);
    FlipBitmap(*expected, true, false);
    ConvertToGray(*expected);
    auto bitmap = source->Clone(false);
    ASSERT_TRUE(Run(ListOf(Selection(1, 1, 2, 2), ActionCommand_FLIP::commandWithFlipH(true, false),
                           Bare(CMD_GRAY)),
                    *bitmap));
    EXPECT_EQ(Pixels(*bitmap), Pixels(*expected));

    auto twice = source->Clone(false);
    ASSERT_TRUE(Run(ListOf(ActionCommand_FLIP::commandWithFlipH(true, true),
                           ActionCommand_FLIP::commandWithFlipH(true, true)),
                    *twice));
    EXPECT_EQ(Pixels(*twice), Pixels(*source));
}

TEST_F(GeometryRowsTest, ClipCutsOutAPackedCopy) {
    // A bitmap whose rows are wider than its pixels, as a view's are.
    auto parent = test::Noise(12, 6, TiRGBABpp, 3);
    TiBitmapData wide(parent->GetData(), 10, 6, parent->GetPitch(), TiRGBABpp, false);
    const auto whole = Pixels(wide);
    ASSERT_TRUE(Run(ListOf(ActionCommand_CLIP::commandWithRect({0, 0, 0, 0})), wide));
    EXPECT_EQ(wide.GetPitch(), 40);
    EXPECT_TRUE(wide.OwnsData());
    EXPECT_EQ(Pixels(wide), whole);

    // At the preview scale, then the selection is the whole cut-out.
    auto bitmap = test::Noise(20, 10, TiRGBABpp, 6);
    auto expected = bitmap->GetBitmapDataFromRect(2, 1, 8, 4)->Clone(false);
    InvertColor(*expected);
    processor.setParamScale(0.5);
    ASSERT_TRUE(Run(ListOf(Selection(0, 0, 2, 2),
                           ActionCommand_CLIP::commandWithRect({4, 2, 16, 8}), Bare(CMD_ANTICOLOR)),
                    *bitmap));
    EXPECT_EQ(bitmap->GetWidth(), 8);
    EXPECT_EQ(bitmap->GetHeight(), 4);
    EXPECT_EQ(Pixels(*bitmap), Pixels(*expected));

    // A rectangle without a whole pixel would leave no picture.
    processor.setParamScale(1.0);
    EXPECT_FALSE(Run(ListOf(ActionCommand_CLIP::commandWithRect({1, 1, 0.5f, 3})), *bitmap));
    EXPECT_EQ(bitmap->GetWidth(), 8);
}

// Each command that changes the size takes one new buffer for its result;
// short memory leaves the bitmap as it was.
TEST_F(GeometryRowsTest, GeometricCommandsTakeOneBufferAndFailCleanly) {
    const auto make = [] { return test::Noise(30, 20, TiRGBABpp, 12); };
    for (const Array& list :
         {Rotate(90), Rotate(33), ListOf(ActionCommand_CLIP::commandWithRect({3, 3, 10, 10}))}) {
        auto bitmap = make();
        TiMemoryTestHook::Reset();
        ASSERT_TRUE(Run(list, *bitmap));
        EXPECT_EQ(TiMemoryTestHook::AllocationCount(), 1) << test::Texts(list);
    }
    for (const Array& list : {Rotate(90), Rotate(33), Zoom(0.7f)}) {
        const int refused = test::ExpectRefusalsLeaveBitmapUnchanged(
            make, [&](TiBitmapData& bitmap) { return Run(list, bitmap) ? 1 : 0; });
        EXPECT_GE(refused, 1) << test::Texts(list);
        EXPECT_EQ(RecordedError(), "Can not allocate memory!");
    }
}

}  // namespace
}  // namespace vantrel
