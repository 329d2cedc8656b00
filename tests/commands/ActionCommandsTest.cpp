#include <gtest/gtest.h>

#include <set>
#include <string>
#include <typeinfo>

#include "commands/ActionCommands.h"
#include "commands/Json.h"
#include "support/ValueText.h"

namespace vantrel {
namespace {

using test::Texts;

// Checks each factory's dictionary (keys in order, exact texts), carries it
// through JSON text and list conversion, and hands back the typed command
// that comes out, for its getters to be read.
class FactoryCheck {
public:
    template <typename Command>
    std::unique_ptr<Command> made(std::unique_ptr<ActionCommand> command,
                                  std::string_view entries) {
        EXPECT_EQ(Texts(command->dic()), entries);
        m_covered.insert(command->getCmd());
        m_list.push_back(Value(command->dic()));
        const std::string text = jsonStringValue(Dictionary{{"c", Array{Value(command->dic())}}});
        auto parsed = dictionaryWithJSONString(text);
        auto typed = toActionCommandsArray(*parsed.value().find("c")->array());
        EXPECT_EQ(typed.at(0)->dic(), command->dic());
        if (!dynamic_cast<Command*>(typed[0].get())) {
            ADD_FAILURE() << entries << " did not come back as " << typeid(Command).name();
            return std::make_unique<Command>();
        }
        return std::unique_ptr<Command>(static_cast<Command*>(typed[0].release()));
    }
    const std::set<int>& covered() const { return m_covered; }
    const Array& list() const { return m_list; }

private:
    std::set<int> m_covered;
    Array m_list;
};

TEST(ActionCommands, EveryFactoryWritesItsTableEntriesAndReadsThemBack) {
    FactoryCheck check;
    auto action = check.made<ActionCommand_CALL_ACTION>(
        ActionCommand_CALL_ACTION::commandWithActionName("Faded Film"),
        "cmd=CMD_CALL_ACTION actionName=Faded Film");
    EXPECT_EQ(action->getActionName(), "Faded Film");
    auto selection = check.made<ActionCommand_SET_SELECTION>(
        ActionCommand_SET_SELECTION::commandWithSelection({10, 20.5f, 50, 0}),
        "cmd=CMD_SET_SELECTION selection=[10,20.5,50,0]");
    EXPECT_EQ(selection->getSelection().y, 20.5f);
    EXPECT_EQ(selection->getSelection().width, 50.0f);
    auto sharpen =
        check.made<ActionCommand_SHARPEN>(ActionCommand_SHARPEN::commandWithAmount(50, 10, 5),
                                          "cmd=CMD_SHARPEN amount=50 radius=10 threshold=5");
    EXPECT_EQ(sharpen->getAmount(), 50);
    EXPECT_EQ(sharpen->getRadius(), 10);
    EXPECT_EQ(sharpen->getThreshold(), 5);
    auto diffuse = check.made<ActionCommand_DIFFUSE>(
        ActionCommand_DIFFUSE::commandWithSpacing(3, -4), "cmd=CMD_DIFFUSE spacing=3 radius=-4");
    EXPECT_EQ(diffuse->getSpacing(), 3);
    EXPECT_EQ(diffuse->getRadius(), -4);
    check.made<ActionCommand_ANTICOLOR>(ActionCommand::commandWithCmd(CMD_ANTICOLOR),
                                        "cmd=CMD_ANTICOLOR");
    auto exposure = check.made<ActionCommand_EXPOSURE>(
        ActionCommand_EXPOSURE::commandWithValue(-2000), "cmd=CMD_EXPOSURE value=-2000.000000");
    EXPECT_EQ(exposure->getExposureValue(), -2000.0f);
    auto blur = check.made<ActionCommand_GASBLUR>(ActionCommand_GASBLUR::commandWithRadiusH(7, 0),
                                                  "cmd=CMD_GASBLUR radiusH=7 radiusV=0");
    EXPECT_EQ(blur->getRadiusH(), 7);
    EXPECT_EQ(blur->getRadiusV(), 0);
    auto radial = check.made<ActionCommand_RADIALBLUR>(
        ActionCommand_RADIALBLUR::commandWithAmount(300, 1.25f),
        "cmd=CMD_RADIALBLUR amount=300 scale=1.250000");
    EXPECT_EQ(radial->getAmount(), 300);
    EXPECT_EQ(radial->getScale(), 1.25f);
    const TransferColor tones[3] = {{0, 0, 0}, {-80, 10, -60}, {5, -5, 100}};
    auto balance = check.made<ActionCommand_COLORBALANCE>(
        ActionCommand_COLORBALANCE::commandWithTransferColors(tones, true),
        "cmd=CMD_COLORBALANCE tColors=[[0,0,0],[-80,10,-60],[5,-5,100]] preserveLuminosity=1");
    TransferColor tonesBack[3];
    balance->getTransferColors(tonesBack);
    EXPECT_EQ(tonesBack[1].Cyan_Red, -80);
    EXPECT_EQ(tonesBack[2].Yellow_Blue, 100);
    EXPECT_TRUE(balance->getPreserveLuminosity());
    TColorLevelData levelData;
    levelData.RedLow = 27;
    levelData.RedHigh = 255;
    levelData.RedGamma = 0.96;
    auto levels = check.made<ActionCommand_COLORLEVELS>(
        ActionCommand_COLORLEVELS::commandWithColorLevelData(levelData),
        "cmd=CMD_COLORLEVELS levelData=[0,0,0,0,27,255,0,0,0.96,0,0,0]");
    EXPECT_EQ(levels->getLevelData().RedHigh, 255);
    EXPECT_EQ(levels->getLevelData().RedGamma, 0.96);
    HSLData hslData;
    hslData.all.m_saturation = -109;
    HueRangeData ranges;
    ranges.red = {-15, 15, -45, 45};
    auto hsl = check.made<ActionCommand_HSL_ADUSTMENT>(
        ActionCommand_HSL_ADUSTMENT::commandWithHSLData(hslData, ranges),
        "cmd=CMD_HSL_ADUSTMENT hslData=[[0,0,0],[0,0,0],[0,0,0],[0,0,0],[0,0,0],[0,0,0],"
        "[0,-109,0]] hueRangeData=[[-15,15,-45,45],[0,0,0,0],[0,0,0,0],[0,0,0,0],[0,0,0,0],"
        "[0,0,0,0]]");
    EXPECT_EQ(hsl->getHSLData().all.m_saturation, -109);
    EXPECT_EQ(hsl->getHueRangeData().red.range_left, -45);
    auto tint = check.made<ActionCommand_HSL_TINT>(
        ActionCommand_HSL_TINT::commandWithHSL({130, 28, -5}), "cmd=CMD_HSL_TINT hsl=[130,28,-5]");
    EXPECT_EQ(tint->getHSL().m_hue, 130);
    EXPECT_EQ(tint->getHSL().m_lightness, -5);
    check.made<ActionCommand_GRAY>(ActionCommand::commandWithCmd(12), "cmd=CMD_GRAY");
    auto brightness = check.made<ActionCommand_BRIGHTNESS_CONTRAST>(
        ActionCommand_BRIGHTNESS_CONTRAST::commandWithBrightness(-0.4f, 1),
        "cmd=CMD_BRIGHTNESS_CONTRAST brightness=-0.400000 contrast=1.000000");
    EXPECT_EQ(brightness->getBrightness(), -0.4f);
    EXPECT_EQ(brightness->getContrast(), 1.0f);
    auto noise = check.made<ActionCommand_REDUCENOISE>(
        ActionCommand_REDUCENOISE::commandWithReduceNoiseMode(2),
        "cmd=CMD_REDUCENOISE reduceNoiseMode=2");
    EXPECT_EQ(noise->getReduceNoiseMode(), 2);
    // ROTATE's degrees are a float, BOKEH's (below) an integer.
    auto rotate = check.made<ActionCommand_ROTATE>(ActionCommand_ROTATE::commandWithDegrees(45),
                                                   "cmd=CMD_ROTATE degrees=45.000000");
    EXPECT_EQ(rotate->getDegrees(), 45.0f);
    auto clip = check.made<ActionCommand_CLIP>(
        ActionCommand_CLIP::commandWithRect({0.5f, 1, 99.25f, 1e-7f}),
        "cmd=CMD_CLIP rect=[0.5,1,99.25,1e-07]");
    EXPECT_EQ(clip->getRect().width, 99.25f);
    EXPECT_EQ(clip->getRect().height, 1e-7f);
    auto flip = check.made<ActionCommand_FLIP>(ActionCommand_FLIP::commandWithFlipH(true, false),
                                               "cmd=CMD_FLIP flipH=1 flipV=0");
    EXPECT_TRUE(flip->getFlipH());
    EXPECT_FALSE(flip->getFlipV());
    auto zoom = check.made<ActionCommand_ZOOM>(ActionCommand_ZOOM::commandWithScale(0.5f),
                                               "cmd=CMD_ZOOM scale=0.500000");
    EXPECT_EQ(zoom->getScale(), 0.5f);
    auto emboss = check.made<ActionCommand_EMBOSS>(
        ActionCommand_EMBOSS::commandWithDegrees(-30.5f, 3, 150),
        "cmd=CMD_EMBOSS degrees=-30.500000 highDegree=3 amount=150");
    EXPECT_EQ(emboss->getDegrees(), -30.5f);
    EXPECT_EQ(emboss->getHighDegree(), 3);
    EXPECT_EQ(emboss->getAmount(), 150);
    auto mosaics = check.made<ActionCommand_MOSAICS>(
        ActionCommand_MOSAICS::commandWithGridWidth(12), "cmd=CMD_MOSAICS gridWidth=12");
    EXPECT_EQ(mosaics->getGridWidth(), 12);
    auto painting =
        check.made<ActionCommand_PAINTING>(ActionCommand_PAINTING::commandWithRadius(4, 20),
                                           "cmd=CMD_PAINTING radius=4 smoothness=20");
    EXPECT_EQ(painting->getRadius(), 4);
    EXPECT_EQ(painting->getSmoothness(), 20);
    auto threshold = check.made<ActionCommand_THRESHOLD>(
        ActionCommand_THRESHOLD::commandWithLevels(128), "cmd=CMD_THRESHOLD levels=128");
    EXPECT_EQ(threshold->getLevels(), 128);
    auto posterize = check.made<ActionCommand_POSTERIZE>(
        ActionCommand_POSTERIZE::commandWithLevels(4), "cmd=CMD_POSTERIZE levels=4");
    EXPECT_EQ(posterize->getLevels(), 4);
    auto equalize = check.made<ActionCommand_EQUALIZE>(
        ActionCommand_EQUALIZE::commandWithEqualizeMode(1), "cmd=CMD_EQUALIZE equalizeMode=1");
    EXPECT_EQ(equalize->getEqualizeMode(), 1);
    check.made<ActionCommand_COMPLEMENT_COLOR>(ActionCommand::commandWithCmd(CMD_COMPLEMENT_COLOR),
                                               "cmd=CMD_COMPLEMENT_COLOR");
    auto shadows = check.made<ActionCommand_SHADOW_HIGHLIGHT>(
        ActionCommand_SHADOW_HIGHLIGHT::commandWithShadows(0.35f, 0.1f),
        "cmd=CMD_SHADOW_HIGHLIGHT shadows=0.350000 highlights=0.100000");
    EXPECT_EQ(shadows->getShadows(), 0.35f);
    EXPECT_EQ(shadows->getHighlights(), 0.1f);
    auto glow = check.made<ActionCommand_SOFTGLOW>(
        ActionCommand_SOFTGLOW::commandWithRadius(10, 0.25f, 0.125f),
        "cmd=CMD_SOFTGLOW radius=10 brightness=0.250000 sharpness=0.125000");
    EXPECT_EQ(glow->getRadius(), 10);
    EXPECT_EQ(glow->getBrightness(), 0.25f);
    EXPECT_EQ(glow->getSharpness(), 0.125f);
    auto redEye = check.made<ActionCommand_RED_EYE_REMOVAL>(
        ActionCommand_RED_EYE_REMOVAL::commandWithThreshold(40),
        "cmd=CMD_RED_EYE_REMOVAL threshold=40");
    EXPECT_EQ(redEye->getThreshold(), 40);
    auto retinex = check.made<ActionCommand_RETINEX>(
        ActionCommand_RETINEX::commandWithLevel(2, 5, 1.75f),
        "cmd=CMD_RETINEX level=2 scaleDivision=5 dynamic=1.750000");
    EXPECT_EQ(retinex->getLevel(), 2);
    EXPECT_EQ(retinex->getScaleDivision(), 5);
    EXPECT_EQ(retinex->getDynamic(), 1.75f);
    auto dot = check.made<ActionCommand_DOT>(ActionCommand_DOT::commandWithGridWidth(6),
                                             "cmd=CMD_DOT gridWidth=6");
    EXPECT_EQ(dot->getGridWidth(), 6);
    const RGBPoint stops[3] = {{{0, 0, 0}, 0, 0.36f}, {{255, 128, 1}, 1, 0.5f}, {}};
    auto gradient = check.made<ActionCommand_GRADIENT_OVERLAY>(
        ActionCommand_GRADIENT_OVERLAY::commandWithBlendMode(3, 2, stops, 2, 90, 1.5f, 0.75f, true),
        "cmd=CMD_GRADIENT_OVERLAY blendMode=3 style=2 points=[[0,0.36,[0,0,0]],[1,0.5,"
        "[255,128,1]]] pointsNum=2 degrees=90.000000 scale=1.500000 opacity=0.750000 reverse=1");
    EXPECT_EQ(gradient->getBlendMode(), 3);
    EXPECT_EQ(gradient->getStyle(), 2);
    EXPECT_EQ(gradient->getPointsNum(), 2);
    ASSERT_EQ(gradient->getPoints().size(), 2u);
    EXPECT_EQ(gradient->getPoints()[0].midpoint, 0.36f);
    EXPECT_EQ(gradient->getPoints()[1].color.m_green, 128);
    EXPECT_EQ(gradient->getDegrees(), 90.0f);
    EXPECT_EQ(gradient->getScale(), 1.5f);
    EXPECT_EQ(gradient->getOpacity(), 0.75f);
    EXPECT_TRUE(gradient->getReverse());
    auto sketch = check.made<ActionCommand_SKETCH>(ActionCommand_SKETCH::commandWithRadius(2),
                                                   "cmd=CMD_SKETCH radius=2");
    EXPECT_EQ(sketch->getRadius(), 2);
    auto grain = check.made<ActionCommand_NOISE>(ActionCommand_NOISE::commandWithAmount(10, true),
                                                 "cmd=CMD_NOISE amount=10 bColor=1");
    EXPECT_EQ(grain->getAmount(), 10);
    EXPECT_TRUE(grain->getBColor());
    auto bokeh = check.made<ActionCommand_BOKEH>(
        ActionCommand_BOKEH::commandWithBlurRadius(8, 40, 60, 45, {120.5f, 80}),
        "cmd=CMD_BOKEH blurRadius=8 centerRadius=40 extendWidth=60 degrees=45 "
        "centerPoint=[120.5,80]");
    EXPECT_EQ(bokeh->getBlurRadius(), 8);
    EXPECT_EQ(bokeh->getCenterRadius(), 40);
    EXPECT_EQ(bokeh->getExtendWidth(), 60);
    EXPECT_EQ(bokeh->getDegrees(), 45);
    EXPECT_EQ(bokeh->getCenterPoint().x, 120.5f);
    EXPECT_EQ(bokeh->getCenterPoint().y, 80.0f);
    const std::vector<Vec3> points{{0, 0, 0}, {89.7463f, 39.9851f, 0}, {255, 255, 0}};
    auto curve = check.made<ActionCommand_CURVE>(
        ActionCommand_CURVE::commandWithPoints(points, CHANEL_B),
        "cmd=CMD_CURVE points=[0,0,0,89.7463,39.9851,0,255,255,0] channel=CHANEL_B");
    EXPECT_EQ(curve->getChannel(), 3);
    EXPECT_EQ(getPointsNum(curve->getDataVecs3()), 3);
    EXPECT_EQ(getVecs3(curve->getDataVecs3())[1].x, 89.7463f);
    auto mixer = check.made<ActionCommand_CHANNELMIX>(
        ActionCommand_CHANNELMIX::commandWithChannelMixer({{1, 0, 0}, {0.5f, 0.5f, 0}, {0, 0, 2}}),
        "cmd=CMD_CHANNELMIX channelMixer=[1,0,0,0.5,0.5,0,0,0,2]");
    EXPECT_EQ(mixer->getChannelMixer().green.greenScale, 0.5f);
    EXPECT_EQ(mixer->getChannelMixer().blue.blueScale, 2.0f);
    auto mixGray = check.made<ActionCommand_CHANNELMIX_GRAY>(
        ActionCommand_CHANNELMIX_GRAY::commandWithChannelMixScale({0.3f, 0.59f, 0.11f}),
        "cmd=CMD_CHANNELMIX_GRAY grayScale=[0.3,0.59,0.11]");
    EXPECT_EQ(mixGray->getChannelMixScale().greenScale, 0.59f);
    ComplementScaleSet set;
    set.yellows = {-0.01f, -0.07f, -0.76f, -0.33f};
    std::string zeros;
    for (int i = 0; i < 28; ++i) zeros += ",0";
    auto selective = check.made<ActionCommand_SELECTIVE_COLOR>(
        ActionCommand_SELECTIVE_COLOR::commandWithScaleSet(set),
        std::string("cmd=CMD_SELECTIVE_COLOR scaleSet=[0,0,0,0,-0.01,-0.07,-0.76,-0.33")
            .append(zeros)
            .append("]"));
    EXPECT_EQ(selective->getScaleSet().yellows.yellow, -0.76f);
    check.made<ActionCommand_AUTO_LEVELS>(ActionCommand::commandWithCmd(CMD_AUTO_LEVELS),
                                          "cmd=CMD_AUTO_LEVELS");
    auto lomo = check.made<ActionCommand_LOMO>(ActionCommand_LOMO::commandWithLomo(LE_Amatorka),
                                               "cmd=CMD_LOMO lomo=LE_Amatorka");
    EXPECT_EQ(lomo->getLomo(), 53);
    EXPECT_EQ(lomo->getLomoString(), "LE_Amatorka");

    EXPECT_EQ(check.covered().size(), static_cast<std::size_t>(kCommandCount));
    EXPECT_EQ(check.covered().count(-1), 0u);
    // The whole list converts to typed commands and back to equal dictionaries.
    EXPECT_EQ(toNormalArray(toActionCommandsArray(check.list())), check.list());
}

}  // namespace
}  // namespace vantrel
