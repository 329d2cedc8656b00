// The effect panels: the table, its registry and its schema, every panel
// swept over a real photo, the mapping rules that can go wrong, the lifecycle
// of an open panel, and the picture cache of the looks.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <regex>
#include <set>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "Core/base/GradientMask.h"
#include "Core/global/TiMemory.h"
#include "commands/ErrorManager.h"
#include "commands/Json.h"
#include "editing/EffectPanelHost.h"
#include "editing/GradientImage.h"
#include "editing/ImageCacheManager.h"
#include "editing/LocalizedStrings.h"
#include "editing/panels/ClipToolView.h"
#include "editing/panels/EffectProcessViewController.h"
#include "editing/panels/ExposureCurve.h"
#include "editing/panels/LomoEffectsToolView.h"
#include "editing/panels/PanelSchema.h"
#include "editing/panels/PanelSpec.h"
#include "editing/panels/RotateToolView.h"
#include "platform/Dispatch.h"
#include "platform/PictureCodec.h"
#include "support/CliRun.h"
#include "support/EditingWorld.h"
#include "support/PanelWorld.h"

namespace vantrel {
namespace {

using namespace std::chrono_literals;

// ---- the registry, the table's controls, texts and schema ---------------------------------------

TEST(EffectPanelRegistry, FindsAPanelByItsKeyOrItsLocalisedTitle) {
    test::RecordingUIServices ui;  // localises "KEY" as "[KEY]"
    EffectPanelRegistry registry;
    std::vector<std::string> made;
    registry.registerPanel("STR_MENU_CURVE", [&](const EffectPanelRequest& request) {
        made.push_back(request.title);
        return std::make_unique<test::ScriptedPanel>(test::PanelScript{});
    });
    EffectPanelRequest request;
    for (const char* title : {"STR_MENU_CURVE", "[STR_MENU_CURVE]"}) {
        request.title = title;
        EXPECT_NE(registry.makePanelHost(request), nullptr) << title;
    }
    EXPECT_EQ(made, (std::vector<std::string>{"STR_MENU_CURVE", "[STR_MENU_CURVE]"}));

    request.title = "STR_MENU_NOTHING";
    EXPECT_EQ(registry.makePanelHost(request), nullptr);
    EXPECT_EQ(ErrorManager::sharedErrorManager().errorString(), "Not find panel!");
}

// Keys unique, defaults inside their ranges, one item per choice, rules
// that name controls of the same panel.
TEST(PanelTable, EveryControlIsWellFormed) {
    for (const PanelSpec& panel : PanelTable()) {
        SCOPED_TRACE(panel.titleKey);
        std::set<std::string_view> keys;
        EXPECT_TRUE(panel.make != nullptr);
        EXPECT_FALSE(panel.commands.empty());
        EXPECT_GE(panel.flags.imageSizeScale, 1.0f);
        for (const ControlSpec& control : panel.controls) {
            SCOPED_TRACE(control.key);
            EXPECT_TRUE(keys.insert(control.key).second);
            EXPECT_TRUE(control.title.starts_with("STR_"));
            EXPECT_LE(control.minimum, control.defaultValue);
            EXPECT_LE(control.defaultValue, control.maximum);
            if (!control.items.empty()) {
                EXPECT_EQ(control.items.size(), std::size_t(control.maximum - control.minimum + 1));
            }
            for (const EnableRule& rule : control.enabledWhen) {
                EXPECT_GE(panel.controlIndex(rule.control), 0) << rule.control;
            }
            for (const RangeRule& rule : control.ranges) {
                const ControlSpec* toggle = panel.control(rule.toggle);
                ASSERT_NE(toggle, nullptr);
                EXPECT_EQ(toggle->kind, ControlKind::Toggle);
            }
        }
    }
}

// Every STR_ key the program's sources name, and every key the panels show,
// has an English text.
TEST(LocalizedStrings, EveryKeyInTheSourcesHasAnEnglishText) {
    const LocalizedStrings& english = LocalizedStrings::english();
    ASSERT_GT(english.size(), 100u);
    std::set<std::string> keys;
    for (std::string_view key : PanelStringKeys()) keys.emplace(key);
    const std::regex literal("\"(STR_[A-Z0-9_]*[A-Z0-9])\"");
    for (const char* folder : {"editing", "commands", "app", "platform", "Share"}) {
        const std::filesystem::path root = std::filesystem::path(test::SourcePath(folder));
        if (!std::filesystem::exists(root)) continue;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
            if (!entry.is_regular_file()) continue;
            const std::string text = test::TextOf(entry.path().string());
            for (std::sregex_iterator it(text.begin(), text.end(), literal), end; it != end; ++it) {
                keys.insert((*it)[1]);
            }
        }
    }
    for (const std::string& key : keys) EXPECT_TRUE(english.contains(key)) << key;
}

TEST(LocalizedStrings, AKeyWithoutATextShowsTheKey) {
    const LocalizedStrings strings =
        LocalizedStrings::fromJson(R"({"STR_A": "Apple", "STR_B": 2, "STR_C": ["x"]})");
    EXPECT_EQ(strings.text("STR_A"), "Apple");
    EXPECT_EQ(strings.text("STR_B"), "STR_B");
    EXPECT_EQ(strings.text("STR_MISSING"), "STR_MISSING");
    EXPECT_EQ(LocalizedStrings::fromJson("no json").size(), 0u);
}

TEST(GradientImage, DrawsThePresetAsTheRendererDoes) {
    const GradientImage image(7);
    const Picture picture = image.getImageBySize(Size{40.9f, 12.2f});
    ASSERT_EQ(picture.width(), 40);
    ASSERT_EQ(picture.height(), 12);
    const auto expected = CreateGradientPresetBitmap(7, 40, 12);
    ASSERT_TRUE(expected);
    EXPECT_EQ(0, std::memcmp(picture.data(), expected->GetData(), 40 * 12 * 4));
}

TEST(GradientImage, GivesNoPictureForNoPresetOrNoPixels) {
    EXPECT_TRUE(GradientImage(13).getImageBySize(Size{8, 8}).empty());
    EXPECT_TRUE(GradientImage(-1).getImageBySize(Size{8, 8}).empty());
    EXPECT_TRUE(GradientImage(0).getImageBySize(Size{0.5f, 8}).empty());
    EXPECT_TRUE(GradientImage(0).getImageBySize(Size{1e9f, 1e9f}).empty());
}

// `vantrel panels` prints JSON that reads back into the table's shape.
TEST(PanelSchema, VantrelPanelsPrintsTheTableAsJson) {
    const test::Outcome run = test::RunMain({"panels"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::optional<Dictionary> schema = dictionaryWithJSONString(run.out);
    ASSERT_TRUE(schema.has_value());
    const Array& menus = *schema->find("menus")->array();
    ASSERT_EQ(menus.size(), 4u);
    EXPECT_EQ(menus[3].dictionary()->find("barItem")->stringValue(), "sizeMenuItem");
    const Array& panels = *schema->find("panels")->array();
    ASSERT_EQ(panels.size(), 35u);
    const Dictionary& hsl = *panels[7].dictionary();
    EXPECT_EQ(hsl.find("class")->stringValue(), "HSLEffectsToolView");
    const Dictionary& hue = *(*hsl.find("controls")->array())[1].dictionary();
    EXPECT_EQ(hue.find("key")->stringValue(), "hue");
    EXPECT_EQ(hue.find("minimum")->stringValue(), "-180");
    const Dictionary& colorized = *(*hue.find("ranges")->array())[0].dictionary();
    EXPECT_EQ(colorized.find("maximum")->stringValue(), "360");
    const Dictionary& flags = *(*panels[23].dictionary()).find("flags")->dictionary();  // LOMO
    EXPECT_EQ(flags.find("waitPanelStyle")->stringValue(), "1");
    EXPECT_FALSE(flags.find("waitPanelMaskEnabled")->boolValue());
    EXPECT_EQ(schema->find("looks")->array()->size(), 5u);
}

// ---- every panel --------------------------------------------------------------------------------

// Every panel of the table opens over a working image from a real photo,
// previews its defaults, and hands over the command list they map to; that
// list runs through `vantrel apply`.
using test::PanelWorld;

constexpr char kPhoto[] = "photos/kodim23.png";  // 768 x 512

std::string Zeros(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += i ? ",0" : "0";
    return text;
}

// Every panel in the table's order, menu after menu, with its result list at
// its defaults over the 768 x 512 photo.
const std::vector<std::pair<std::string, std::string>>& DefaultResults() {
    static const std::vector<std::pair<std::string, std::string>> results = {
        {"STR_MENU_SIMPLECOLOR", "cmd=CMD_GRAY"},
        {"STR_MENU_POSTERIZE", "cmd=CMD_POSTERIZE levels=4"},
        {"STR_MENU_THRESHOLD", "cmd=CMD_THRESHOLD levels=128"},
        {"STR_MENU_EQUALIZE", "cmd=CMD_EQUALIZE equalizeMode=0"},
        {"STR_MENU_AUTOLEVELS", "cmd=CMD_AUTO_LEVELS"},
        {"STR_MENU_SHADOWRECOVERY",
         "cmd=CMD_SHADOW_HIGHLIGHT shadows=0.000000 highlights=0.000000"},
        {"STR_MENU_CURVE", ""},
        {"STR_MENU_HSL",
         "cmd=CMD_HSL_ADUSTMENT hslData=[[0,0,0],[0,0,0],[0,0,0],[0,0,0],[0,0,0],[0,0,0],"
         "[0,0,0]] hueRangeData=[[-15,15,-45,45],[45,75,15,105],[105,135,75,165],"
         "[165,195,135,225],[225,255,195,285],[285,315,255,345]]"},
        {"STR_MENU_SELECTIVECOLOR", "cmd=CMD_SELECTIVE_COLOR scaleSet=[" + Zeros(36) + "]"},
        {"STR_MENU_CHANNELMIXER", "cmd=CMD_CHANNELMIX channelMixer=[1,0,0,0,1,0,0,0,1]"},
        {"STR_MENU_COLORLEVELS", "cmd=CMD_COLORLEVELS levelData=[0,255,0,255,0,255,0,255,1,1,1,1]"},
        {"STR_MENU_COLORBALANCE",
         "cmd=CMD_COLORBALANCE tColors=[[0,0,0],[0,0,0],[0,0,0]] preserveLuminosity=1"},
        {"STR_MENU_EXPOSURE", "cmd=CMD_EXPOSURE value=0.000000"},
        {"STR_MENU_BRIGHTNESS",
         "cmd=CMD_BRIGHTNESS_CONTRAST brightness=0.000000 contrast=0.000000"},
        {"STR_MENU_GRADIENT",
         "cmd=CMD_GRADIENT_OVERLAY blendMode=3 style=2 points=[[0,0.5,[0,0,0]],[1,0.5,[255,255,"
         "255]]] pointsNum=2 degrees=90.000000 scale=1.000000 opacity=0.750000 reverse=1"},
        {"STR_MENU_SOFTGLOW", "cmd=CMD_SOFTGLOW radius=10 brightness=0.250000 sharpness=0.250000"},
        {"STR_MENU_REDEYERM", "cmd=CMD_RED_EYE_REMOVAL threshold=50"},
        {"STR_MENU_SHARPEN", "cmd=CMD_SHARPEN amount=50 radius=10 threshold=5"},
        {"STR_MENU_GAUSSIANBLUR", "cmd=CMD_GASBLUR radiusH=10 radiusV=10"},
        {"STR_MENU_RADIALBLUR", "cmd=CMD_RADIALBLUR amount=50 scale=2.000000"},
        {"STR_MENU_REDUCENOISE", "cmd=CMD_REDUCENOISE reduceNoiseMode=0"},
        {"STR_MENU_ADDNOISE", "cmd=CMD_NOISE amount=10 bColor=0"},
        // Preview 588 x 392: radius 62 and ring 90 shown points, read back at 768 / 588.
        {"STR_MENU_BOKEH",
         "cmd=CMD_BOKEH blurRadius=6 centerRadius=80 extendWidth=117 degrees=0 "
         "centerPoint=[384,256]"},
        {"STR_MENU_LOMO", "cmd=CMD_LOMO lomo=LE_NONE"},
        {"STR_MENU_HDR", "cmd=CMD_LOMO lomo=LE_HDR_Fix_Light"},
        {"STR_MENU_RETINEX", "cmd=CMD_RETINEX level=0 scaleDivision=10 dynamic=2.000000"},
        {"STR_MENU_PAINTING", "cmd=CMD_PAINTING radius=3 smoothness=8"},
        {"STR_MENU_EMBOSS", "cmd=CMD_EMBOSS degrees=0.000000 highDegree=3 amount=100"},
        {"STR_MENU_SKETCH", "cmd=CMD_SKETCH radius=5"},
        {"STR_MENU_DOT", "cmd=CMD_DOT gridWidth=20"},
        {"STR_MENU_MOSAICS", "cmd=CMD_MOSAICS gridWidth=10"},
        {"STR_MENU_DIFFUSE", "cmd=CMD_DIFFUSE spacing=1 radius=5"},
        {"STR_MENU_FLIP", "cmd=CMD_FLIP flipH=0 flipV=0"},
        // The free frame: a square of two thirds of the preview's height, centred.
        {"STR_MENU_CLIP", "cmd=CMD_CLIP rect=[213,85,341,341]"},
        {"STR_MENU_ROTATE", "cmd=CMD_ROTATE degrees=0.000000"},
    };
    return results;
}

// Fourteen panels in the colour menu, nine each in fix and filter, three in edit.
TEST(PanelTable, FourMenusHoldTheThirtyFivePanelsInOrder) {
    const std::span<const PanelSpec> table = PanelTable();
    ASSERT_EQ(table.size(), DefaultResults().size());
    const std::pair<Menu, std::size_t> menuEnds[] = {
        {Menu::Colour, 14}, {Menu::Fix, 23}, {Menu::Filter, 32}, {Menu::Edit, 35}};
    std::size_t menu = 0;
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (i == menuEnds[menu].second) ++menu;
        EXPECT_EQ(table[i].menu, menuEnds[menu].first) << i;
        EXPECT_EQ(table[i].titleKey, DefaultResults()[i].first) << i;
    }
}

class PanelSweep : public testing::TestWithParam<std::size_t> {};

TEST_P(PanelSweep, OpensPreviewsAndHandsOverItsDefaults) {
    const PanelSpec& panelSpec = PanelTable()[GetParam()];
    const std::string input = test::TestDataPath(kPhoto);
    const Result<Picture> photo = ReadPictureFile(input);
    ASSERT_TRUE(photo.ok()) << photo.error();
    PanelWorld world;
    ASSERT_TRUE(world.Open(std::string(panelSpec.titleKey), photo.value()));
    EffectsToolView& panel = world.Panel();
    EXPECT_EQ(&panel.panelSpec(), &panelSpec);
    EXPECT_TRUE(EffectPanelRegistry::standard().contains(panelSpec.titleKey));
    EXPECT_FALSE(world.Host().showingImage().empty());
    const bool previews =
        panelSpec.flags.allowUseReviewAsResult && panelSpec.titleKey != "STR_MENU_CURVE";
    if (previews) {
        ASSERT_FALSE(panel.reviewImage().empty());
        EXPECT_EQ(panel.reviewImage().width(), panel.originalImage().width());
    }

    world.Host().titleTapped();  // a reset gives the same defaults again
    world.Settle();
    EXPECT_EQ(world.Result(), DefaultResults()[GetParam()].second);
    // Nothing stays submitted for a run that will never come.
    EXPECT_TRUE(world.processor.isCommandDicListEmpty());

    test::ScratchFolder folder;
    const std::string commands = folder.File("commands.json");
    test::WriteText(commands,
                    jsonStringValue(Dictionary{{"commands", world.Host().effectsTaskList()}}));
    const test::Outcome run =
        test::RunMain({"apply", input, folder.File("out.png"), "--commands", commands});
    EXPECT_EQ(run.status, 0) << run.err;
}

INSTANTIATE_TEST_SUITE_P(AllPanels, PanelSweep, testing::Range<std::size_t>(0, PanelTable().size()),
                         [](const testing::TestParamInfo<std::size_t>& info) {
                             return std::string(PanelTable()[info.param].titleKey.substr(9));
                         });

// ---- mapping rules ------------------------------------------------------------------------------

// The mapping rules of the panels that can go wrong: value scalings, linked
// sliders, the geometry tools' arithmetic, and how previews are started.
class PanelRules : public testing::Test {
protected:
    PanelWorld world;
};
using PanelLifecycle = PanelRules;

TEST_F(PanelRules, BrightnessScalesIntoItsSpan) {
    world.Opened("STR_MENU_BRIGHTNESS");
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
        EXPECT_EQ(world.Result(), std::string("cmd=CMD_BRIGHTNESS_CONTRAST ") + c.expected);
    }
}

TEST_F(PanelRules, ExposureFollowsItsThreePieceCurve) {
    struct Case {
        float slider, value;
        const char* label;
    };
    world.Opened("STR_MENU_EXPOSURE");
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

TEST_F(PanelRules, LockedBlurRadiiMoveTogether) {
    EffectsToolView& panel = world.Opened("STR_MENU_GAUSSIANBLUR");
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
    EXPECT_EQ(world.Result(), "cmd=CMD_GASBLUR radiusH=5 radiusV=5");
}

TEST_F(PanelRules, LevelsKeepLowAndHighTwoApart) {
    EffectsToolView& panel = world.Opened("STR_MENU_COLORLEVELS");
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
    world.Settle();  // blue, green, red and all: low and high, then the gammas
    EXPECT_EQ(world.Result(), "cmd=CMD_COLORLEVELS levelData=[0,255,0,255,10,255,1,3,1.25,1,1,1]");
}

TEST_F(PanelRules, HSLSendsPercentTimesTwoPointFiveFiveTruncated) {
    EffectsToolView& panel = world.Opened("STR_MENU_HSL");
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
    const std::string adjusted = world.Result();
    EXPECT_NE(adjusted.find("hslData=[[30,254,-127],[0,0,0],[0,-254,0],"), std::string::npos)
        << adjusted;

    panel.setToggle("colorize", true);
    EXPECT_FALSE(panel.enabled("target"));
    EXPECT_EQ(panel.value("saturation"), 25);  // the tint's start
    panel.setControl("hue", 300);              // 0..360 while colourising
    EXPECT_EQ(panel.value("hue"), 300);
    world.Settle();
    EXPECT_EQ(world.Result(), "cmd=CMD_HSL_TINT hsl=[300,63,0]");
}

TEST_F(PanelRules, HueRangeEditorChangesTheTargetsRange) {
    EffectsToolView& panel = world.Opened("STR_MENU_HSL");
    panel.selectItem("target", 4);  // blues
    ASSERT_TRUE(panel.pressButton("range"));
    const Size ribbon{380, 40};
    // Drag the whole range 20 degrees to the right.
    panel.touch("hueRange", {TouchPhase::Began, {10 + 100, 20}, ribbon});
    panel.touch("hueRange", {TouchPhase::Moved, {10 + 120, 20}, ribbon});
    panel.touch("hueRange", {TouchPhase::Ended, {10 + 120, 20}, ribbon});
    world.Settle();
    const std::string adjusted = world.Result();
    EXPECT_NE(adjusted.find("[245,275,215,305]"), std::string::npos) << adjusted;
    panel.pressButton("rangeClose");
    EXPECT_FALSE(panel.enabled("rangeClose"));
}

TEST_F(PanelRules, CurvesAndNoneLookApplyNothingUntilEdited) {
    world.Opened("STR_MENU_CURVE");
    EXPECT_FALSE(world.Host().appliedEffect());
    EXPECT_FALSE(world.Panel().enabled("delete"));
    // Drag the composite curve's middle point up.
    const Size view{256, 256};
    world.Panel().touch("curve", {TouchPhase::Began, {127, 129}, view});
    EXPECT_TRUE(world.Panel().enabled("delete"));
    world.Panel().touch("curve", {TouchPhase::Moved, {127, 100}, view});
    world.Panel().touch("curve", {TouchPhase::Ended, {127, 100}, view});
    world.Settle();
    EXPECT_TRUE(world.Host().appliedEffect());
    EXPECT_EQ(world.Result(),
              "cmd=CMD_CURVE points=[0,0,0,127,155,0,255,255,0] channel=CHANEL_RGB");

    world.Opened("STR_MENU_LOMO");
    EXPECT_FALSE(world.Host().appliedEffect());
    world.Panel().selectItem("look", 1);
    world.Settle();
    EXPECT_TRUE(world.Host().appliedEffect());
    world.Panel().selectItem("look", 0);
    EXPECT_FALSE(world.Host().appliedEffect());
}

TEST_F(PanelRules, ClipCorrectsSizesWithinAHundredPixels) {
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

    ASSERT_TRUE(world.Open("STR_MENU_CLIP", test::PhotoPicture(1600, 1200), 0.5));
    world.Panel().selectItem("proportion", 4);  // 16 : 9
    EXPECT_EQ(world.Result(), "cmd=CMD_CLIP rect=[176,400,2848,1602]");
}

TEST_F(PanelRules, RotateSnapsAndZoomsBeforeTurningPastTheLimit) {
    EXPECT_EQ(RotateDisplayDegrees(-38, false), 322);
    EXPECT_EQ(RotateDisplayDegrees(37, true), 30);
    EXPECT_NEAR(RotateZoomScale({2592, 1944}, 45, {2592, 2592}).value_or(0), 0.808, 0.001);
    EXPECT_FALSE(RotateZoomScale({2592, 1944}, 0, {2592, 2592}).has_value());

    ASSERT_TRUE(world.Open("STR_MENU_ROTATE", test::PhotoPicture(1296, 972), 0.5));
    EffectsToolView& panel = world.Panel();
    panel.setToggle("snap", true);
    panel.setControl("angle", -38);
    EXPECT_EQ(panel.value("angle"), -45);
    EXPECT_EQ(world.As<RotateToolView>().picture().imageDegrees(), 315);
    panel.setControl("angle", 38);
    const std::string result = world.Result();  // a zoom, then the turn
    EXPECT_EQ(result.substr(0, 23), "cmd=CMD_ZOOM scale=0.80");
    EXPECT_EQ(result.substr(result.find('\n')), "\ncmd=CMD_ROTATE degrees=45.000000");
}

TEST_F(PanelRules, PreviewSourceFollowsTheSizeFactor) {
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
        ASSERT_TRUE(world.Open(c.title, test::PhotoPicture(904, 678), 0.5));
        EXPECT_EQ(world.Panel().originalImage().width(), c.width) << c.title;
        EXPECT_EQ(world.Panel().originalImage().height(), c.height) << c.title;
        EXPECT_EQ(world.Panel().reallySize().width, 1808);
        EXPECT_DOUBLE_EQ(world.processor.paramScale(), c.width / 1808.0);
    }
}

// While a preview runs, a realtime slider only updates its label; its
// release always previews.
TEST_F(PanelRules, SliderMovesPreviewOnlyWhenIdle) {
    EffectsToolView& panel = world.Opened("STR_MENU_POSTERIZE");
    panel.sliderMoved("levels", 6);
    EXPECT_TRUE(panel.processing());
    panel.sliderMoved("levels", 8);
    EXPECT_EQ(panel.label("levels"), "8");
    world.Settle();
    EXPECT_EQ(world.processor.actionCommandListLast().size(), 2u);  // the run of 6
    panel.sliderReleased("levels");
    world.Settle();
    EXPECT_EQ(world.Result(), "cmd=CMD_POSTERIZE levels=8");
    EXPECT_EQ(panel.reviewImage().width(), panel.originalImage().width());
}

TEST_F(PanelRules, TouchToCompareAndTheReviewButton) {
    EffectsToolView& panel = world.Opened("STR_MENU_SIMPLECOLOR");
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

// ---- opening, release, looks, the session -------------------------------------------------------

// Opening, releasing and the flows that outlive a panel: failures to open,
// events after release, the look panels' cache, and a panel applied through
// the edit session as one undoable step.
// Whatever allocation fails while a panel opens, it either opens whole or
// fails with the error recorded; it never opens without its preview.
TEST_F(PanelLifecycle, APanelThatCannotMakeItsPreviewFailsToOpen) {
    const Picture working = test::PhotoPicture(900, 600);
    for (long n = 1; n < 8; ++n) {
        PanelWorld world;
        ErrorManager::sharedErrorManager().setErrorString("");
        TiMemoryTestHook::FailAllocation(n);
        const bool opened = world.Open("STR_MENU_POSTERIZE", working);
        TiMemoryTestHook::Reset();
        if (opened) {
            EXPECT_FALSE(world.Panel().originalImage().empty()) << n;
            continue;
        }
        EXPECT_EQ(world.Host().panel(), nullptr) << n;
        EXPECT_EQ(ErrorManager::sharedErrorManager().errorString(), "Can not create context!");
    }
    EXPECT_FALSE(world.Open("STR_MENU_NOTHING", working));
    EXPECT_EQ(ErrorManager::sharedErrorManager().errorString(), "Not find panel!");
}

TEST_F(PanelLifecycle, ReleaseLeavesNothingBehindAndIgnoresLaterEvents) {
    world.Opened("STR_MENU_SHARPEN");
    std::shared_ptr<EffectsToolView> panel = world.Panel().shared_from_this();
    world.imageCache.saveImageCache(test::PhotoPicture(8, 8), "kept", 0);
    panel->setControl("radius", 20);  // a preview now in flight
    EXPECT_TRUE(world.processor.working());
    world.Close();
    EXPECT_TRUE(panel->released());
    EXPECT_EQ(world.processor.delegate(), nullptr);
    EXPECT_EQ(world.processor.paramScale(), 1.0);
    EXPECT_TRUE(world.imageCache.loadImageMemCacheByName("kept").empty());
    const Picture before = panel->reviewImage();
    world.Settle();  // the late preview reaches no one
    EXPECT_EQ(panel->reviewImage().data(), before.data());
    EXPECT_FALSE(panel->setControl("radius", 5));
    EXPECT_FALSE(panel->touch("picture", {TouchPhase::Began, {1, 1}, {10, 10}}));
    EXPECT_EQ(panel->value("radius"), 20);
}

// The processor has one delegate: a run of a panel closed a moment ago ends
// after the next panel took over, and must not become that panel's preview.
TEST_F(PanelLifecycle, APreviousPanelsLatePreviewIsNotTheNextOnes) {
    world.Opened("STR_MENU_SIMPLECOLOR");  // 640 x 480 preview
    world.Panel().setControl("mode", 2);
    ASSERT_TRUE(world.processor.working());
    // The HDR panel (a 453 x 339 preview) runs its first preview at once;
    // the gray-and-invert run ends after it.
    world.Opened("STR_MENU_HDR");
    const EffectsToolView& hdr = world.Panel();
    EXPECT_EQ(hdr.reviewImage().width(), hdr.originalImage().width());
    EXPECT_EQ(world.Host().showingImage().width(), hdr.originalImage().width());
}

// A preview of a look left behind is cached under its own name and never
// shown for the look selected since; a cached look comes back from memory,
// or after a moment from disk.
TEST_F(PanelLifecycle, LookPreviewsAreCachedUnderTheirOwnLook) {
    world.Opened("STR_MENU_LOMO");
    auto& lomo = world.As<LomoEffectsToolView>();
    lomo.selectItem("look", 1);
    // The worker has taken the first look's list; its result waits for the
    // main queue, which only runs once the second look is chosen.
    while (!world.processor.isCommandDicListEmpty()) std::this_thread::sleep_for(1ms);
    lomo.selectItem("look", 2);
    world.Settle();
    const auto cached = [&](int index) { return lomo.looks(0)[index].isCached; };
    ASSERT_TRUE(runMainQueueUntil([&] { return cached(1) && cached(2); }, 30s));
    const std::string first = lomo.looks(0)[1].name;
    const std::string second = lomo.looks(0)[2].name;
    EXPECT_EQ(world.Host().title(), second);
    EXPECT_EQ(lomo.reviewImage().data(), world.imageCache.loadImageMemCacheByName(second).data());
    EXPECT_NE(world.imageCache.loadImageMemCacheByName(first).data(),
              world.imageCache.loadImageMemCacheByName(second).data());

    lomo.selectItem("look", 1);  // from memory, at once
    EXPECT_FALSE(lomo.processing());
    EXPECT_EQ(lomo.reviewImage().data(), world.imageCache.loadImageMemCacheByName(first).data());

    world.imageCache.removeAllImageCache();  // memory gone: the disk copy after 0.3 s
    lomo.selectItem("look", 2);
    const Picture shownBefore = lomo.reviewImage();
    ASSERT_TRUE(
        runMainQueueUntil([&] { return lomo.reviewImage().data() != shownBefore.data(); }, 10s));
    EXPECT_EQ(lomo.reviewImage().width(), lomo.originalImage().width());
    EXPECT_TRUE(world.ui.shows("waitPanel([STR_PROCESSING] | no mask)"));
    EXPECT_EQ(world.ui.calls().back(), "removeWaitPanel");
}

TEST_F(PanelLifecycle, SwipesStepThroughTheLooks) {
    world.Opened("STR_MENU_HDR");
    auto& hdr = world.As<LomoEffectsToolView>();
    EXPECT_FALSE(world.Host().panel()->flags().realTimeProcess);  // only for the first preview
    const Size shown{320, 240};
    const auto swipe = [&](float from, float to) {
        hdr.touch("picture", {TouchPhase::Began, {from, 100}, shown});
        hdr.touch("picture", {TouchPhase::Ended, {to, 110}, shown});
        world.Settle();
    };
    swipe(100, 100);  // a tap: no change
    EXPECT_EQ(hdr.selectedLook().name, "HDR Fix Light");
    swipe(300, 100);  // leftwards: the next look
    EXPECT_EQ(hdr.selectedLook().name, "HDR Fix Normal");
    swipe(100, 300);
    swipe(100, 300);  // past the first: nothing
    EXPECT_EQ(hdr.selectedLook().name, "HDR Fix Light");
    EXPECT_FALSE(hdr.selectItem("look", 4));
}

TEST(ImageCacheManager, ModesKeepPicturesInMemoryOnDiskOrBoth) {
    test::ScratchFolder folder;
    ImageCacheManager cache(folder.path());
    const Picture picture = test::PhotoPicture(12, 9);

    // Memory only: gone after emptying, and never written.
    EXPECT_TRUE(cache.saveImageCache(picture, "Memory", 0));
    EXPECT_TRUE(test::SamePixels(cache.loadImageCacheForName("Memory", 0), picture));
    cache.removeAllImageCache();
    EXPECT_TRUE(cache.loadImageCacheForName("Memory", 2).empty());

    // Both: back from the file after emptying, but not put back in memory.
    EXPECT_TRUE(cache.saveImageCache(picture, "Both", 2));
    cache.removeAllImageCache();
    EXPECT_TRUE(test::SamePixels(cache.loadImageCacheForName("Both", 2), picture));
    EXPECT_TRUE(cache.loadImageCacheForName("Both", 0).empty());

    // Disk only; never saved; other modes.
    EXPECT_TRUE(cache.saveImageCache(picture, "Disk", 1));
    EXPECT_TRUE(cache.loadImageMemCacheByName("Disk").empty());
    EXPECT_TRUE(test::SamePixels(cache.loadImageCacheForName("Disk", 1), picture));
    EXPECT_TRUE(cache.loadImageCacheForName("Never", 1).empty());
    EXPECT_FALSE(cache.saveImageCache(picture, "Other", 3));
    EXPECT_TRUE(cache.loadImageCacheForName("Disk", -1).empty());
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"Both", "Disk"}));

    // An empty picture removes the memory entry.
    cache.saveImageCache(picture, "Gone", 0);
    cache.saveImageCache(Picture(), "Gone", 0);
    EXPECT_TRUE(cache.loadImageMemCacheByName("Gone").empty());
}

TEST(ImageCacheManager, NamesAreEscapedIntoTheFolderAndBack) {
    test::ScratchFolder folder;
    ImageCacheManager cache(folder.path());
    const Picture picture = test::PhotoPicture(4, 4);
    const std::pair<std::string, std::string> names[] = {
        {"Vibrant Blue / Purple", "Vibrant Blue %2F Purple"},
        {"../../etc/passwd", "%2E%2E%2F..%2Fetc%2Fpasswd"},
        {"..", "%2E%2E"},
        {"a\\b%c", "a%5Cb%25c"},
        {std::string("nul\0byte", 8), "nul%00byte"},
        {"Sepia", "Sepia"},
    };
    for (const auto& [name, file] : names) {
        EXPECT_EQ(ImageCacheManager::fileNameForName(name), file);
        EXPECT_EQ(ImageCacheManager::nameForFileName(file), name);
        EXPECT_TRUE(cache.saveImageCache(picture, name, 1)) << file;
        EXPECT_TRUE(std::filesystem::is_regular_file(folder.File(file))) << file;
        EXPECT_TRUE(test::SamePixels(cache.loadImageCacheForName(name, 1), picture)) << file;
    }
    EXPECT_EQ(folder.Names().size(), std::size(names));
    EXPECT_FALSE(cache.saveImageCache(picture, "", 1));
    for (const char* notEscaped : {"a/b", "%2", "%zz", "%2e", ".x"}) {
        EXPECT_FALSE(ImageCacheManager::nameForFileName(notEscaped)) << notEscaped;
    }
}

// Through the edit session: the panel's list becomes one history step, run
// on the working image (posterize), taken from a preview of the working
// image's own size (simple colour), changing the picture's size (clip), or
// previewed at once (HDR).
TEST_F(PanelLifecycle, DoneAppliesThePanelAsOneUndoableStep) {
    struct Case {
        const char* title;
        const char* command;
        int width, height;
    };
    for (const Case c : {Case{"STR_MENU_POSTERIZE", "CMD_POSTERIZE", 640, 480},
                         Case{"STR_MENU_SIMPLECOLOR", "CMD_GRAY", 640, 480},
                         Case{"STR_MENU_CLIP", "CMD_CLIP", 320, 320},
                         Case{"STR_MENU_HDR", "CMD_LOMO", 640, 480}}) {
        test::EditingWorld world;
        RegisterEffectPanels(world.panels, world.settings, world.imageCache);
        world.OpenPicture(test::PhotoPicture(640, 480), std::nullopt);
        EditViewController& editor = world.editor();
        const Picture before = editor.pendingImage();
        editor.actionEffectProcess(c.title);
        world.Settle();
        ASSERT_TRUE(runMainQueueUntil([&] { return !world.processor.working(); }, 30s));
        editor.actionDone();
        world.Settle();
        EXPECT_EQ(editor.commandIndex(), 1) << c.title;
        const Array commands = editor.commands();
        ASSERT_EQ(commands.size(), 2u) << c.title;
        EXPECT_EQ(commands[1].dictionary()->find("cmd")->stringValue(), c.command);
        EXPECT_EQ(editor.pendingImage().width(), c.width) << c.title;
        EXPECT_EQ(editor.pendingImage().height(), c.height) << c.title;
        EXPECT_FALSE(test::SamePixels(editor.pendingImage(), before)) << c.title;
        editor.actionBackEffect();
        world.Settle();
        EXPECT_EQ(editor.commandIndex(), 0) << c.title;
        EXPECT_TRUE(test::SamePixels(editor.pendingImage(), before)) << c.title;
    }
}

}  // namespace
}  // namespace vantrel
