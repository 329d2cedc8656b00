// The mapping rules of the panels that can go wrong: value scalings, linked
// sliders, the geometry tools' arithmetic, and how previews are started.
#include <gtest/gtest.h>

#include "editing/panels/ClipToolView.h"
#include "editing/panels/ColorLevelsEffectsToolView.h"
#include "editing/panels/CurveEffectsToolView.h"
#include "editing/panels/ExposureCurve.h"
#include "editing/panels/HSLEffectsToolView.h"
#include "editing/panels/RotateToolView.h"
#include "support/PanelWorld.h"

namespace vantrel {
namespace {

using test::PanelWorld;

TEST(PanelRules, BrightnessScalesIntoItsSpan) {
    PanelWorld world;
    ASSERT_TRUE(world.Open("STR_MENU_BRIGHTNESS", test::WorkingPicture()));
    struct Case {
        float brightness, contrast;
        const char* expected;
    };
    for (const Case c : {Case{-100, -100, "brightness=-0.400000 contrast=-1.000000"},
                         Case{100, 100, "brightness=0.750000 contrast=1.000000"},
                         Case{40, -25, "brightness=0.300000 contrast=-0.250000"}}) {
        world.Panel().setControl("brightness", c.brightness);
        world.Panel().setControl("contrast", c.contrast);
        world.Settle();
        EXPECT_EQ(
            world.ResultTexts(),
            std::vector<std::string>{std::string("cmd=CMD_BRIGHTNESS_CONTRAST ") + c.expected});
    }
}

TEST(PanelRules, ExposureFollowsItsThreePieceCurve) {
    struct Case {
        float slider, value;
        const char* label;
    };
    PanelWorld world;
    ASSERT_TRUE(world.Open("STR_MENU_EXPOSURE", test::WorkingPicture()));
    for (const Case c : {Case{50, 5, "5.00"}, Case{75, 50, "10.00"}, Case{100, 2000, "20.00"},
                         Case{-100, -2000, "-20.00"}, Case{20, 2, "2.00"}}) {
        const ExposureReading reading = ExposureOfSlider(c.slider, 100);
        EXPECT_FLOAT_EQ(reading.value, c.value) << c.slider;
        world.Panel().setControl("exposure", c.slider);
        EXPECT_EQ(world.Panel().label("exposure"), c.label);
    }
    // Continuous where the pieces meet.
    EXPECT_NEAR(ExposureOfSlider(50.01f, 100).value, 5, 0.01);
    EXPECT_NEAR(ExposureOfSlider(75.01f, 100).value, 50, 0.01);
    world.Settle();
}

TEST(PanelRules, LockedBlurRadiiMoveTogether) {
    PanelWorld world;
    ASSERT_TRUE(world.Open("STR_MENU_GAUSSIANBLUR", test::WorkingPicture()));
    EffectsToolView& panel = world.Panel();
    panel.sliderMoved("radiusH", 37);
    EXPECT_EQ(panel.value("radiusV"), 37);
    EXPECT_FALSE(panel.processing());  // not a realtime panel: no preview while moving
    panel.setToggle("lock", false);
    panel.setControl("radiusH", 20);
    panel.setControl("radiusV", 5);
    world.Settle();
    panel.setToggle("lock", true);
    EXPECT_EQ(panel.value("radiusH"), 5);
    EXPECT_EQ(panel.value("radiusV"), 5);
    EXPECT_TRUE(panel.processing());  // the change is previewed
    world.Settle();
    EXPECT_EQ(world.ResultTexts(), std::vector<std::string>{"cmd=CMD_GASBLUR radiusH=5 radiusV=5"});
}

TEST(PanelRules, LevelsKeepLowAndHighTwoApart) {
    PanelWorld world;
    ASSERT_TRUE(world.Open("STR_MENU_COLORLEVELS", test::WorkingPicture()));
    EffectsToolView& panel = world.Panel();
    panel.setControl("inputHigh", 254);
    panel.setControl("inputLow", 253);
    EXPECT_EQ(panel.value("inputHigh"), 255);
    panel.setControl("inputLow", 2);
    panel.setControl("inputHigh", 3);
    EXPECT_EQ(panel.value("inputLow"), 1);
    // Each channel keeps its own values; the record pairs them by name.
    panel.selectItem("channel", 0);  // red
    panel.setControl("inputLow", 10);
    panel.setControl("gamma", 1.25f);
    panel.selectItem("channel", 3);
    EXPECT_EQ(panel.value("inputLow"), 1);
    world.Settle();
    const TColorLevelData& data = world.As<ColorLevelsEffectsToolView>().levelData();
    EXPECT_EQ(data.RedLow, 10);
    EXPECT_EQ(data.RedHigh, 255);
    EXPECT_EQ(data.RedGamma, 1.25);
    EXPECT_EQ(data.AllLow, 1);
    EXPECT_EQ(data.AllHigh, 3);
}

TEST(PanelRules, HSLSendsPercentTimesTwoPointFiveFiveTruncated) {
    EXPECT_EQ(ScaledPercent(100), 254);
    EXPECT_EQ(ScaledPercent(-100), -254);
    EXPECT_EQ(ScaledPercent(50), 127);
    PanelWorld world;
    ASSERT_TRUE(world.Open("STR_MENU_HSL", test::WorkingPicture()));
    EffectsToolView& panel = world.Panel();
    EXPECT_FALSE(panel.enabled("range"));  // "all" has no range
    panel.selectItem("target", 0);
    panel.setControl("hue", 30);
    panel.setControl("saturation", 100);
    panel.setControl("lightness", -50);
    panel.selectItem("target", 2);
    panel.setControl("saturation", -100);
    panel.selectItem("target", 0);
    EXPECT_EQ(panel.value("hue"), 30);
    world.Settle();
    const std::string adjusted = world.ResultTexts().at(0);
    EXPECT_NE(adjusted.find("hslData=[[30,254,-127],[0,0,0],[0,-254,0],"), std::string::npos)
        << adjusted;

    panel.setToggle("colorize", true);
    EXPECT_FALSE(panel.enabled("target"));
    EXPECT_EQ(panel.value("saturation"), 25);  // the tint's start
    panel.setControl("hue", 300);              // 0..360 while colourising
    EXPECT_EQ(panel.value("hue"), 300);
    world.Settle();
    EXPECT_EQ(world.ResultTexts(), std::vector<std::string>{"cmd=CMD_HSL_TINT hsl=[300,63,0]"});
}

TEST(PanelRules, HueRangeEditorChangesTheTargetsRange) {
    PanelWorld world;
    ASSERT_TRUE(world.Open("STR_MENU_HSL", test::WorkingPicture()));
    EffectsToolView& panel = world.Panel();
    panel.selectItem("target", 4);  // blues
    ASSERT_TRUE(panel.pressButton("range"));
    const Size ribbon{380, 40};
    // Drag the whole range 20 degrees to the right.
    panel.touch("hueRange", {TouchPhase::Began, {10 + 100, 20}, ribbon});
    panel.touch("hueRange", {TouchPhase::Moved, {10 + 120, 20}, ribbon});
    panel.touch("hueRange", {TouchPhase::Ended, {10 + 120, 20}, ribbon});
    world.Settle();
    const std::string adjusted = world.ResultTexts().at(0);
    EXPECT_NE(adjusted.find("[245,275,215,305]"), std::string::npos) << adjusted;
    panel.pressButton("rangeClose");
    EXPECT_FALSE(panel.enabled("rangeClose"));
}

TEST(PanelRules, CurvesAndNoneLookApplyNothingUntilEdited) {
    PanelWorld world;
    ASSERT_TRUE(world.Open("STR_MENU_CURVE", test::WorkingPicture()));
    EXPECT_FALSE(world.Host().appliedEffect());
    EXPECT_TRUE(world.ResultTexts().empty());
    EXPECT_FALSE(world.Panel().enabled("delete"));
    // Drag the composite curve's middle point up.
    const Size view{256, 256};
    world.Panel().touch("curve", {TouchPhase::Began, {127, 129}, view});
    EXPECT_TRUE(world.Panel().enabled("delete"));
    world.Panel().touch("curve", {TouchPhase::Moved, {127, 100}, view});
    world.Panel().touch("curve", {TouchPhase::Ended, {127, 100}, view});
    world.Settle();
    EXPECT_TRUE(world.Host().appliedEffect());
    EXPECT_EQ(world.ResultTexts(),
              std::vector<std::string>{"cmd=CMD_CURVE points=[0,0,0,127,155,0,255,255,0] "
                                       "channel=CHANEL_RGB"});

    ASSERT_TRUE(world.Open("STR_MENU_LOMO", test::WorkingPicture()));
    EXPECT_FALSE(world.Host().appliedEffect());
    world.Panel().selectItem("look", 1);
    world.Settle();
    EXPECT_TRUE(world.Host().appliedEffect());
    world.Panel().selectItem("look", 0);
    EXPECT_FALSE(world.Host().appliedEffect());
}

TEST(PanelRules, ClipCorrectsSizesWithinAHundredPixels) {
    const double ratio = 16.0 / 9.0;
    const auto clip = [&](float w, float h) {
        return ClipRectInPhotoPixels({0, 0, w, h}, 1, ratio);
    };
    EXPECT_EQ(clip(1600, 899).height, 900);
    EXPECT_EQ(clip(1600, 901).width, 1602);
    EXPECT_EQ(clip(1600, 901).height, 901);
    EXPECT_EQ(clip(1600, 700).height, 700);  // 900 is too far: kept
    const Rect scaled = ClipRectInPhotoPixels({10.6f, 20.9f, 100.2f, 50.5f}, 2, 0);
    EXPECT_EQ(scaled.x, 21);
    EXPECT_EQ(scaled.y, 41);
    EXPECT_EQ(scaled.width, 200);
    EXPECT_EQ(scaled.height, 101);

    PanelWorld world;
    ASSERT_TRUE(world.Open("STR_MENU_CLIP", test::WorkingPicture(1600, 1200), 0.5));
    world.Panel().selectItem("proportion", 4);  // 16 : 9
    const RegionSelectionView& frame = world.As<ClipToolView>().frame();
    EXPECT_NEAR(frame.clipRect().width / frame.clipRect().height, ratio, 1e-5);
    const std::string result = world.ResultTexts().at(0);
    EXPECT_EQ(result, "cmd=CMD_CLIP rect=[176,400,2848,1602]");
}

TEST(PanelRules, RotateSnapsAndZoomsBeforeTurningPastTheLimit) {
    EXPECT_EQ(RotateDisplayDegrees(38, true), 45);
    EXPECT_EQ(RotateDisplayDegrees(-38, true), 315);
    EXPECT_EQ(RotateDisplayDegrees(-38, false), 322);
    EXPECT_EQ(RotateDisplayDegrees(37, true), 30);
    const std::optional<float> zoom = RotateZoomScale({2592, 1944}, 45, {2592, 2592});
    ASSERT_TRUE(zoom.has_value());
    EXPECT_NEAR(*zoom, 0.808, 0.001);
    EXPECT_FALSE(RotateZoomScale({2592, 1944}, 0, {2592, 2592}).has_value());

    PanelWorld world;
    ASSERT_TRUE(world.Open("STR_MENU_ROTATE", test::WorkingPicture(1296, 972), 0.5));
    EffectsToolView& panel = world.Panel();
    panel.setToggle("snap", true);
    panel.setControl("angle", -38);
    EXPECT_EQ(panel.value("angle"), -45);
    EXPECT_EQ(world.As<RotateToolView>().picture().imageDegrees(), 315);
    panel.setControl("angle", 38);
    const std::vector<std::string> result = world.ResultTexts();
    ASSERT_EQ(result.size(), 2u);
    EXPECT_EQ(result[0].substr(0, 23), "cmd=CMD_ZOOM scale=0.80");
    EXPECT_EQ(result[1], "cmd=CMD_ROTATE degrees=45.000000");
}

TEST(PanelRules, PreviewSourceFollowsTheSizeFactor) {
    struct Case {
        const char* title;
        bool highQuality;
        int width, height;
    };
    for (const Case c :
         {Case{"STR_MENU_HSL", true, 320, 240}, Case{"STR_MENU_CURVE", true, 554, 416},
          Case{"STR_MENU_SIMPLECOLOR", true, 640, 480},
          Case{"STR_MENU_SIMPLECOLOR", false, 320, 240}, Case{"STR_MENU_LOMO", true, 453, 339}}) {
        PanelWorld world;
        world.settings.setHighQualityPreview(c.highQuality);
        ASSERT_TRUE(world.Open(c.title, test::WorkingPicture(904, 678), 0.5));
        EXPECT_EQ(world.Panel().originalImage().width(), c.width) << c.title;
        EXPECT_EQ(world.Panel().originalImage().height(), c.height) << c.title;
        EXPECT_EQ(world.Panel().reallySize().width, 1808);
        EXPECT_DOUBLE_EQ(world.processor.paramScale(), c.width / 1808.0);
    }
}

// While a preview runs, a realtime slider only updates its label; its
// release always previews.
TEST(PanelRules, SliderMovesPreviewOnlyWhenIdle) {
    PanelWorld world;
    ASSERT_TRUE(world.Open("STR_MENU_POSTERIZE", test::WorkingPicture()));
    EffectsToolView& panel = world.Panel();
    panel.sliderMoved("levels", 6);
    EXPECT_TRUE(panel.processing());
    panel.sliderMoved("levels", 8);
    EXPECT_EQ(panel.label("levels"), "8");
    world.Settle();
    EXPECT_EQ(world.processor.actionCommandListLast().size(), 2u);  // the run of 6
    panel.sliderReleased("levels");
    world.Settle();
    EXPECT_EQ(world.ResultTexts(), std::vector<std::string>{"cmd=CMD_POSTERIZE levels=8"});
    EXPECT_EQ(panel.reviewImage().width(), panel.originalImage().width());
}

TEST(PanelRules, TouchToCompareAndTheReviewButton) {
    PanelWorld world;
    ASSERT_TRUE(world.Open("STR_MENU_SIMPLECOLOR", test::WorkingPicture()));
    EffectsToolView& panel = world.Panel();
    const auto showing = [&] { return world.Host().showingImage().data(); };
    EXPECT_EQ(showing(), panel.reviewImage().data());
    panel.touch("picture", {TouchPhase::Began, {5, 5}, {640, 480}});
    EXPECT_EQ(showing(), panel.originalImage().data());
    panel.touch("picture", {TouchPhase::Ended, {5, 5}, {640, 480}});
    EXPECT_EQ(showing(), panel.reviewImage().data());
    panel.reviewButtonClicked();
    EXPECT_FALSE(panel.reviewSelected());
    EXPECT_EQ(showing(), panel.originalImage().data());
    panel.reviewButtonClicked();
    EXPECT_EQ(showing(), panel.reviewImage().data());
}

}  // namespace
}  // namespace vantrel
