// Every panel of the table opens over a working image from a real photo,
// previews its defaults, and hands over the command list they map to; that
// list runs through `vantrel apply`.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "app/cli/CliMain.h"
#include "commands/Json.h"
#include "editing/panels/PanelSpec.h"
#include "platform/PictureCodec.h"
#include "support/PanelWorld.h"

namespace vantrel {
namespace {

using test::PanelWorld;

constexpr char kPhoto[] = "photos/kodim23.png";  // 768 x 512

std::string Zeros(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += i ? ",0" : "0";
    return text;
}

// The result list of every panel at its defaults over the 768 x 512 photo.
const std::map<std::string, std::string>& DefaultResults() {
    static const std::map<std::string, std::string> results = {
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

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += (text.empty() ? "" : "\n") + line;
    return text;
}

class PanelSweep : public testing::TestWithParam<const PanelSpec*> {};

TEST_P(PanelSweep, OpensPreviewsAndHandsOverItsDefaults) {
    const PanelSpec& spec = *GetParam();
    const Result<Picture> photo = ReadPictureFile(test::TestDataPath(kPhoto));
    ASSERT_TRUE(photo.ok()) << photo.error();
    PanelWorld world;
    ASSERT_TRUE(world.Open(std::string(spec.titleKey), photo.value()));
    EffectsToolView& panel = world.Panel();
    EXPECT_EQ(&panel.spec(), &spec);
    EXPECT_FALSE(world.Host().showingImage().empty());
    const bool previews = spec.flags.allowUseReviewAsResult && spec.titleKey != "STR_MENU_CURVE";
    if (previews) {
        ASSERT_FALSE(panel.reviewImage().empty());
        EXPECT_EQ(panel.reviewImage().width(), panel.originalImage().width());
    }

    world.Host().titleTapped();  // a reset gives the same defaults again
    world.Settle();
    const std::vector<std::string> result = world.ResultTexts();
    EXPECT_EQ(Joined(result), DefaultResults().at(std::string(spec.titleKey)));
    // Nothing stays submitted for a run that will never come.
    EXPECT_TRUE(world.processor.isCommandDicListEmpty());

    Dictionary file{{"commands", world.Host().effectsTaskList()}};
    test::ScratchFolder folder;
    std::ofstream(folder.File("commands.json")) << jsonStringValue(file);
    const std::string input = test::TestDataPath(kPhoto);
    const std::string output = folder.File("out.png");
    const std::string commands = folder.File("commands.json");
    const std::vector<std::string_view> args{"apply", input, output, "--commands", commands};
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(cli::Main(args, "test", out, err), 0) << err.str();
}

std::vector<const PanelSpec*> AllPanels() {
    std::vector<const PanelSpec*> panels;
    for (const PanelSpec& spec : PanelTable()) panels.push_back(&spec);
    return panels;
}

INSTANTIATE_TEST_SUITE_P(AllPanels, PanelSweep, testing::ValuesIn(AllPanels()),
                         [](const testing::TestParamInfo<const PanelSpec*>& info) {
                             return std::string(info.param->titleKey.substr(9));
                         });

}  // namespace
}  // namespace vantrel
