#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <set>
#include <typeinfo>

#include "commands/ActionCommand.h"
#include "commands/ActionCommands.h"
#include "commands/Json.h"
#include "support/ValueText.h"

namespace vantrel {
namespace {

using test::Texts;

// Each factory, the dictionary it must build (keys in order, exact texts) and
// the values its getters must give back.
struct FactoryCase {
    std::function<std::unique_ptr<ActionCommand>()> make;
    std::string entries;
    std::function<void(const ActionCommand&)> expectGetters;
};

std::string Repeat(std::string_view text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
}

template <typename Command>
const Command& As(const ActionCommand& command) {
    const auto* typed = dynamic_cast<const Command*>(&command);
    if (!typed) ADD_FAILURE() << "not a " << typeid(Command).name();
    static const Command kEmpty;
    return typed ? *typed : kEmpty;
}

std::vector<FactoryCase> RegionAndFilterCases() {
    return {
        {[] { return ActionCommand_CALL_ACTION::commandWithActionName("Faded Film"); },
         "cmd=CMD_CALL_ACTION actionName=Faded Film",
         [](const ActionCommand& c) {
             EXPECT_EQ(As<ActionCommand_CALL_ACTION>(c).getActionName(), "Faded Film");
         }},
        {[] {
             return ActionCommand_SET_SELECTION::commandWithSelection({10, 20.5f, 50, 0});
         },
         "cmd=CMD_SET_SELECTION selection=[10,20.5,50,0]",
         [](const ActionCommand& c) {
             EXPECT_EQ(As<ActionCommand_SET_SELECTION>(c).getSelection().y, 20.5f);
             EXPECT_EQ(As<ActionCommand_SET_SELECTION>(c).getSelection().width, 50.0f);
         }},
        {[] { return ActionCommand_SHARPEN::commandWithAmount(50, 10, 5); },
         "cmd=CMD_SHARPEN amount=50 radius=10 threshold=5",
         [](const ActionCommand& c) {
             const auto& s = As<ActionCommand_SHARPEN>(c);
             EXPECT_EQ(s.getAmount(), 50);
             EXPECT_EQ(s.getRadius(), 10);
             EXPECT_EQ(s.getThreshold(), 5);
         }},
        {[] { return ActionCommand_DIFFUSE::commandWithSpacing(3, -4); },
         "cmd=CMD_DIFFUSE spacing=3 radius=-4",
         [](const ActionCommand& c) {
             EXPECT_EQ(As<ActionCommand_DIFFUSE>(c).getSpacing(), 3);
             EXPECT_EQ(As<ActionCommand_DIFFUSE>(c).getRadius(), -4);
         }},
        {[] { return ActionCommand::commandWithCmd(CMD_ANTICOLOR); }, "cmd=CMD_ANTICOLOR",
         [](const ActionCommand& c) { As<ActionCommand_ANTICOLOR>(c); }},
        {[] { return ActionCommand_EXPOSURE::commandWithValue(-2000); },
         "cmd=CMD_EXPOSURE value=-2000.000000",
         [](const ActionCommand& c) {
             EXPECT_EQ(As<ActionCommand_EXPOSURE>(c).getExposureValue(), -2000.0f);
         }},
        {[] { return ActionCommand_GASBLUR::commandWithRadiusH(7, 0); },
         "cmd=CMD_GASBLUR radiusH=7 radiusV=0",
         [](const ActionCommand& c) {
             EXPECT_EQ(As<ActionCommand_GASBLUR>(c).getRadiusH(), 7);
             EXPECT_EQ(As<ActionCommand_GASBLUR>(c).getRadiusV(), 0);
         }},
        {[] { return ActionCommand_RADIALBLUR::commandWithAmount(300, 1.25f); },
         "cmd=CMD_RADIALBLUR amount=300 scale=1.250000",
         [](const ActionCommand& c) {
             EXPECT_EQ(As<ActionCommand_RADIALBLUR>(c).getAmount(), 300);
             EXPECT_EQ(As<ActionCommand_RADIALBLUR>(c).getScale(), 1.25f);
         }},
        {[] { return ActionCommand_REDUCENOISE::commandWithReduceNoiseMode(0); },
         "cmd=CMD_REDUCENOISE reduceNoiseMode=0",
         [](const ActionCommand& c) {
             EXPECT_EQ(As<ActionCommand_REDUCENOISE>(c).getReduceNoiseMode(), 0);
         }},
        {[] { return ActionCommand_ROTATE::commandWithDegrees(45); },
         "cmd=CMD_ROTATE degrees=45.000000",
         [](const ActionCommand& c) {
             EXPECT_EQ(As<ActionCommand_ROTATE>(c).getDegrees(), 45.0f);
         }},
        {[] {
             return ActionCommand_CLIP::commandWithRect({0.5f, 1, 99.25f, 1e-7f});
         },
         "cmd=CMD_CLIP rect=[0.5,1,99.25,1e-07]",
         [](const ActionCommand& c) {
             EXPECT_EQ(As<ActionCommand_CLIP>(c).getRect().width, 99.25f);
             EXPECT_EQ(As<ActionCommand_CLIP>(c).getRect().height, 1e-7f);
         }},
        {[] { return ActionCommand_FLIP::commandWithFlipH(true, false); },
         "cmd=CMD_FLIP flipH=1 flipV=0",
         [](const ActionCommand& c) {
             EXPECT_TRUE(As<ActionCommand_FLIP>(c).getFlipH());
             EXPECT_FALSE(As<ActionCommand_FLIP>(c).getFlipV());
         }},
        {[] { return ActionCommand_ZOOM::commandWithScale(0.5f); }, "cmd=CMD_ZOOM scale=0.500000",
         [](const ActionCommand& c) { EXPECT_EQ(As<ActionCommand_ZOOM>(c).getScale(), 0.5f); }},
        {[] { return ActionCommand_EMBOSS::commandWithDegrees(-30.5f, 3, 150); },
         "cmd=CMD_EMBOSS degrees=-30.500000 highDegree=3 amount=150",
         [](const ActionCommand& c) {
             const auto& e = As<ActionCommand_EMBOSS>(c);
             EXPECT_EQ(e.getDegrees(), -30.5f);
             EXPECT_EQ(e.getHighDegree(), 3);
             EXPECT_EQ(e.getAmount(), 150);
         }},
        {[] { return ActionCommand_MOSAICS::commandWithGridWidth(12); },
         "cmd=CMD_MOSAICS gridWidth=12",
         [](const ActionCommand& c) {
             EXPECT_EQ(As<ActionCommand_MOSAICS>(c).getGridWidth(), 12);
         }},
        {[] { return ActionCommand_PAINTING::commandWithRadius(4, 20); },
         "cmd=CMD_PAINTING radius=4 smoothness=20",
         [](const ActionCommand& c) {
             EXPECT_EQ(As<ActionCommand_PAINTING>(c).getRadius(), 4);
             EXPECT_EQ(As<ActionCommand_PAINTING>(c).getSmoothness(), 20);
         }},
        {[] { return ActionCommand_SHADOW_HIGHLIGHT::commandWithShadows(0.35f, 0.1f); },
         "cmd=CMD_SHADOW_HIGHLIGHT shadows=0.350000 highlights=0.100000",
         [](const ActionCommand& c) {
             EXPECT_EQ(As<ActionCommand_SHADOW_HIGHLIGHT>(c).getShadows(), 0.35f);
             EXPECT_EQ(As<ActionCommand_SHADOW_HIGHLIGHT>(c).getHighlights(), 0.1f);
         }},
        {[] { return ActionCommand_SOFTGLOW::commandWithRadius(10, 0.25f, 0.125f); },
         "cmd=CMD_SOFTGLOW radius=10 brightness=0.250000 sharpness=0.125000",
         [](const ActionCommand& c) {
             const auto& g = As<ActionCommand_SOFTGLOW>(c);
             EXPECT_EQ(g.getRadius(), 10);
             EXPECT_EQ(g.getBrightness(), 0.25f);
             EXPECT_EQ(g.getSharpness(), 0.125f);
         }},
        {[] { return ActionCommand_RED_EYE_REMOVAL::commandWithThreshold(40); },
         "cmd=CMD_RED_EYE_REMOVAL threshold=40",
         [](const ActionCommand& c) {
             EXPECT_EQ(As<ActionCommand_RED_EYE_REMOVAL>(c).getThreshold(), 40);
         }},
        {[] { return ActionCommand_RETINEX::commandWithLevel(2, 5, 1.75f); },
         "cmd=CMD_RETINEX level=2 scaleDivision=5 dynamic=1.750000",
         [](const ActionCommand& c) {
             const auto& r = As<ActionCommand_RETINEX>(c);
             EXPECT_EQ(r.getLevel(), 2);
             EXPECT_EQ(r.getScaleDivision(), 5);
             EXPECT_EQ(r.getDynamic(), 1.75f);
         }},
        {[] { return ActionCommand_DOT::commandWithGridWidth(6); }, "cmd=CMD_DOT gridWidth=6",
         [](const ActionCommand& c) { EXPECT_EQ(As<ActionCommand_DOT>(c).getGridWidth(), 6); }},
        {[] { return ActionCommand_SKETCH::commandWithRadius(2); }, "cmd=CMD_SKETCH radius=2",
         [](const ActionCommand& c) { EXPECT_EQ(As<ActionCommand_SKETCH>(c).getRadius(), 2); }},
        {[] { return ActionCommand_NOISE::commandWithAmount(10, true); },
         "cmd=CMD_NOISE amount=10 bColor=1",
         [](const ActionCommand& c) {
             EXPECT_EQ(As<ActionCommand_NOISE>(c).getAmount(), 10);
             EXPECT_TRUE(As<ActionCommand_NOISE>(c).getBColor());
         }},
        {[] {
             return ActionCommand_BOKEH::commandWithBlurRadius(8, 40, 60, 45, {120.5f, 80});
         },
         "cmd=CMD_BOKEH blurRadius=8 centerRadius=40 extendWidth=60 degrees=45 "
         "centerPoint=[120.5,80]",
         [](const ActionCommand& c) {
             const auto& b = As<ActionCommand_BOKEH>(c);
             EXPECT_EQ(b.getBlurRadius(), 8);
             EXPECT_EQ(b.getCenterRadius(), 40);
             EXPECT_EQ(b.getExtendWidth(), 60);
             EXPECT_EQ(b.getDegrees(), 45);
             EXPECT_EQ(b.getCenterPoint().x, 120.5f);
             EXPECT_EQ(b.getCenterPoint().y, 80.0f);
         }},
        {[] { return ActionCommand_LOMO::commandWithLomo(LE_Amatorka); },
         "cmd=CMD_LOMO lomo=LE_Amatorka",
         [](const ActionCommand& c) {
             EXPECT_EQ(As<ActionCommand_LOMO>(c).getLomo(), 53);
             EXPECT_EQ(As<ActionCommand_LOMO>(c).getLomoString(), "LE_Amatorka");
         }},
    };
}

std::vector<FactoryCase> ColourCases() {
    return {
        {[] {
             const TransferColor tones[3] = {{0, 0, 0}, {-80, 10, -60}, {5, -5, 100}};
             return ActionCommand_COLORBALANCE::commandWithTransferColors(tones, true);
         },
         "cmd=CMD_COLORBALANCE tColors=[[0,0,0],[-80,10,-60],[5,-5,100]] preserveLuminosity=1",
         [](const ActionCommand& c) {
             TransferColor tones[3];
             As<ActionCommand_COLORBALANCE>(c).getTransferColors(tones);
             EXPECT_EQ(tones[1].Cyan_Red, -80);
             EXPECT_EQ(tones[2].Yellow_Blue, 100);
             EXPECT_TRUE(As<ActionCommand_COLORBALANCE>(c).getPreserveLuminosity());
         }},
        {[] {
             TColorLevelData levels;
             levels.RedLow = 27;
             levels.RedHigh = 255;
             levels.RedGamma = 0.96;
             return ActionCommand_COLORLEVELS::commandWithColorLevelData(levels);
         },
         "cmd=CMD_COLORLEVELS levelData=[0,0,0,0,27,255,0,0,0.96,0,0,0]",
         [](const ActionCommand& c) {
             EXPECT_EQ(As<ActionCommand_COLORLEVELS>(c).getLevelData().RedHigh, 255);
             EXPECT_EQ(As<ActionCommand_COLORLEVELS>(c).getLevelData().RedGamma, 0.96);
         }},
        {[] {
             HSLData hsl;
             hsl.all.m_saturation = -109;
             HueRangeData ranges;
             ranges.red = {-15, 15, -45, 45};
             return ActionCommand_HSL_ADUSTMENT::commandWithHSLData(hsl, ranges);
         },
         "cmd=CMD_HSL_ADUSTMENT hslData=[[0,0,0],[0,0,0],[0,0,0],[0,0,0],[0,0,0],[0,0,0],"
         "[0,-109,0]] hueRangeData=[[-15,15,-45,45],[0,0,0,0],[0,0,0,0],[0,0,0,0],[0,0,0,0],"
         "[0,0,0,0]]",
         [](const ActionCommand& c) {
             const auto& h = As<ActionCommand_HSL_ADUSTMENT>(c);
             EXPECT_EQ(h.getHSLData().all.m_saturation, -109);
             EXPECT_EQ(h.getHueRangeData().red.range_left, -45);
         }},
        {[] {
             return ActionCommand_HSL_TINT::commandWithHSL({130, 28, -5});
         },
         "cmd=CMD_HSL_TINT hsl=[130,28,-5]",
         [](const ActionCommand& c) {
             EXPECT_EQ(As<ActionCommand_HSL_TINT>(c).getHSL().m_hue, 130);
             EXPECT_EQ(As<ActionCommand_HSL_TINT>(c).getHSL().m_lightness, -5);
         }},
        {[] { return ActionCommand::commandWithCmd(CMD_GRAY); }, "cmd=CMD_GRAY",
         [](const ActionCommand& c) { As<ActionCommand_GRAY>(c); }},
        {[] { return ActionCommand_BRIGHTNESS_CONTRAST::commandWithBrightness(-0.4f, 1); },
         "cmd=CMD_BRIGHTNESS_CONTRAST brightness=-0.400000 contrast=1.000000",
         [](const ActionCommand& c) {
             EXPECT_EQ(As<ActionCommand_BRIGHTNESS_CONTRAST>(c).getBrightness(), -0.4f);
             EXPECT_EQ(As<ActionCommand_BRIGHTNESS_CONTRAST>(c).getContrast(), 1.0f);
         }},
        {[] { return ActionCommand_THRESHOLD::commandWithLevels(128); },
         "cmd=CMD_THRESHOLD levels=128",
         [](const ActionCommand& c) {
             EXPECT_EQ(As<ActionCommand_THRESHOLD>(c).getLevels(), 128);
         }},
        {[] { return ActionCommand_POSTERIZE::commandWithLevels(4); }, "cmd=CMD_POSTERIZE levels=4",
         [](const ActionCommand& c) { EXPECT_EQ(As<ActionCommand_POSTERIZE>(c).getLevels(), 4); }},
        {[] { return ActionCommand_EQUALIZE::commandWithEqualizeMode(1); },
         "cmd=CMD_EQUALIZE equalizeMode=1",
         [](const ActionCommand& c) {
             EXPECT_EQ(As<ActionCommand_EQUALIZE>(c).getEqualizeMode(), 1);
         }},
        {[] { return ActionCommand::commandWithCmd(CMD_COMPLEMENT_COLOR); },
         "cmd=CMD_COMPLEMENT_COLOR",
         [](const ActionCommand& c) { As<ActionCommand_COMPLEMENT_COLOR>(c); }},
        {[] {
             const RGBPoint stops[3] = {{{0, 0, 0}, 0, 0.36f}, {{255, 128, 1}, 1, 0.5f}, {}};
             return ActionCommand_GRADIENT_OVERLAY::commandWithBlendMode(3, 2, stops, 2, 90, 1.5f,
                                                                         0.75f, true);
         },
         "cmd=CMD_GRADIENT_OVERLAY blendMode=3 style=2 points=[[0,0.36,[0,0,0]],[1,0.5,"
         "[255,128,1]]] pointsNum=2 degrees=90.000000 scale=1.500000 opacity=0.750000 reverse=1",
         [](const ActionCommand& c) {
             const auto& g = As<ActionCommand_GRADIENT_OVERLAY>(c);
             EXPECT_EQ(g.getBlendMode(), 3);
             EXPECT_EQ(g.getStyle(), 2);
             EXPECT_EQ(g.getPointsNum(), 2);
             const std::vector<RGBPoint> stops = g.getPoints();
             ASSERT_EQ(stops.size(), 2u);
             EXPECT_EQ(stops[0].midpoint, 0.36f);
             EXPECT_EQ(stops[1].color.m_green, 128);
             EXPECT_EQ(g.getDegrees(), 90.0f);
             EXPECT_EQ(g.getScale(), 1.5f);
             EXPECT_EQ(g.getOpacity(), 0.75f);
             EXPECT_TRUE(g.getReverse());
         }},
        {[] {
             const std::vector<Vec3> points{{0, 0, 0}, {89.7463f, 39.9851f, 0}, {255, 255, 0}};
             return ActionCommand_CURVE::commandWithPoints(points, CHANEL_B);
         },
         "cmd=CMD_CURVE points=[0,0,0,89.7463,39.9851,0,255,255,0] channel=CHANEL_B",
         [](const ActionCommand& c) {
             const auto& k = As<ActionCommand_CURVE>(c);
             EXPECT_EQ(k.getChannel(), 3);
             EXPECT_EQ(getPointsNum(k.getDataVecs3()), 3);
             EXPECT_EQ(getVecs3(k.getDataVecs3())[1].x, 89.7463f);
         }},
        {[] {
             return ActionCommand_CHANNELMIX::commandWithChannelMixer(
                 {{1, 0, 0}, {0.5f, 0.5f, 0}, {0, 0, 2}});
         },
         "cmd=CMD_CHANNELMIX channelMixer=[1,0,0,0.5,0.5,0,0,0,2]",
         [](const ActionCommand& c) {
             EXPECT_EQ(As<ActionCommand_CHANNELMIX>(c).getChannelMixer().green.greenScale, 0.5f);
             EXPECT_EQ(As<ActionCommand_CHANNELMIX>(c).getChannelMixer().blue.blueScale, 2.0f);
         }},
        {[] {
             return ActionCommand_CHANNELMIX_GRAY::commandWithChannelMixScale({0.3f, 0.59f, 0.11f});
         },
         "cmd=CMD_CHANNELMIX_GRAY grayScale=[0.3,0.59,0.11]",
         [](const ActionCommand& c) {
             EXPECT_EQ(As<ActionCommand_CHANNELMIX_GRAY>(c).getChannelMixScale().greenScale, 0.59f);
         }},
        {[] {
             ComplementScaleSet set;
             set.yellows = {-0.01f, -0.07f, -0.76f, -0.33f};
             return ActionCommand_SELECTIVE_COLOR::commandWithScaleSet(set);
         },
         "cmd=CMD_SELECTIVE_COLOR scaleSet=[0,0,0,0,-0.01,-0.07,-0.76,-0.33" + Repeat(",0", 28) +
             "]",
         [](const ActionCommand& c) {
             EXPECT_EQ(As<ActionCommand_SELECTIVE_COLOR>(c).getScaleSet().yellows.yellow, -0.76f);
         }},
        {[] { return ActionCommand::commandWithCmd(CMD_AUTO_LEVELS); }, "cmd=CMD_AUTO_LEVELS",
         [](const ActionCommand& c) { As<ActionCommand_AUTO_LEVELS>(c); }},
    };
}

TEST(ActionCommand, EveryFactoryWritesItsTableEntriesAndReadsThemBack) {
    std::vector<FactoryCase> cases = RegionAndFilterCases();
    for (FactoryCase& colour : ColourCases()) cases.push_back(std::move(colour));
    std::set<int> covered;
    Array list;
    std::vector<std::unique_ptr<ActionCommand>> made;
    for (const FactoryCase& test : cases) {
        auto command = test.make();
        ASSERT_TRUE(command);
        SCOPED_TRACE(command->getCmdString());
        EXPECT_EQ(Texts(command->dic()), test.entries);
        covered.insert(command->getCmd());
        // Commands without parameters are base-class commands until a list
        // conversion types them.
        if (typeid(*command) != typeid(ActionCommand)) test.expectGetters(*command);
        list.push_back(Value(command->dic()));
        made.push_back(std::move(command));
    }
    EXPECT_EQ(covered.size(), static_cast<std::size_t>(kCommandCount));
    EXPECT_EQ(covered.count(-1), 0u);

    // Through JSON text and back, every command comes back as its own
    // subclass with an equal dictionary and the same getter values.
    auto parsed = dictionaryWithJSONString(jsonStringValue(Dictionary{{"commands", list}}));
    ASSERT_TRUE(parsed);
    const auto back = toActionCommandsArray(*parsed->find("commands")->array());
    ASSERT_EQ(back.size(), cases.size());
    for (std::size_t i = 0; i < back.size(); ++i) {
        SCOPED_TRACE(back[i]->getCmdString());
        const CommandSpec* spec = commandSpec(made[i]->getCmd());
        ASSERT_NE(spec, nullptr);
        EXPECT_EQ(typeid(*back[i]), typeid(*spec->make(Dictionary{})));
        EXPECT_EQ(back[i]->dic(), made[i]->dic());
        cases[i].expectGetters(*back[i]);
    }
    EXPECT_EQ(toNormalArray(back), list);
}

TEST(ActionCommand, NameLookupsAreExactAndOrderly) {
    EXPECT_EQ(ActionCommand::stringToCmd("CMD_LOMO"), 40);
    EXPECT_EQ(ActionCommand::stringToCmd("cmd_lomo"), -1);
    EXPECT_EQ(ActionCommand::stringToCmd("CMD_LOMO "), -1);
    EXPECT_EQ(ActionCommand::stringToCmd("CMD_CALL_ACTION"), 0);
    EXPECT_EQ(ActionCommand::cmdToString(12), "CMD_GRAY");
    EXPECT_EQ(ActionCommand::stringToChannel("CHANEL_B"), 3);
    EXPECT_EQ(ActionCommand::stringToChannel("CHANNEL_B"), -1);
    EXPECT_EQ(ActionCommand::channelToString(4), "CHANEL_A");
    EXPECT_EQ(ActionCommand::stringToLomo("LE_NONE"), 0);
    EXPECT_EQ(ActionCommand::stringToLomo("LE_3DGlasses"), 14);
    EXPECT_EQ(ActionCommand::stringToLomo("LE_HDR_Fix_Light"), 35);
    EXPECT_EQ(ActionCommand::lomoToString(53), "LE_Amatorka");
    for (int outside : {-1, INT_MIN, INT_MAX}) {
        EXPECT_FALSE(ActionCommand::cmdToString(outside));
        EXPECT_FALSE(ActionCommand::channelToString(outside));
        EXPECT_FALSE(ActionCommand::lomoToString(outside));
        EXPECT_EQ(ActionCommand::commandWithCmd(outside), nullptr);
    }
    EXPECT_FALSE(ActionCommand::cmdToString(41));
    EXPECT_FALSE(ActionCommand::channelToString(5));
    EXPECT_FALSE(ActionCommand::lomoToString(54));
    EXPECT_EQ(ActionCommand::commandWithCmd(41), nullptr);
}

TEST(ActionCommand, BaseCommandsForwardToTheirDictionary) {
    auto gray = ActionCommand::commandWithCmd(12);
    ASSERT_TRUE(gray);
    EXPECT_EQ(Texts(gray->dic()), "cmd=CMD_GRAY");
    EXPECT_EQ(gray->getCmd(), CMD_GRAY);

    auto custom = ActionCommand::commandWithCmdString("CMD_NOT_A_COMMAND");
    EXPECT_EQ(custom->getCmdString(), "CMD_NOT_A_COMMAND");
    EXPECT_EQ(custom->getCmd(), -1);
    custom->setValue(Value("CMD_ZOOM"), "cmd");
    custom->setValue(Value("2"), "scale");
    EXPECT_EQ(custom->getCmd(), CMD_ZOOM);
    EXPECT_EQ(*custom->valueForKey("scale")->text(), "2");
    custom->removeObjectForKey("scale");
    EXPECT_EQ(custom->valueForKey("scale"), nullptr);
    EXPECT_EQ(custom->jsonStringValue(), "{\n \"cmd\" : \"CMD_ZOOM\"}");

    // A "cmd" that is not text names no command.
    EXPECT_EQ(
        ActionCommand::commandWithDic(Dictionary{{"cmd", Decimal::fromInteger(12)}})->getCmd(), -1);
    EXPECT_EQ(ActionCommand().getCmd(), -1);
    EXPECT_EQ(ActionCommand().getCmdString(), "");
}

TEST(ActionCommand, GettersReadMissingOrWildValuesOrderly) {
    const ActionCommand_SHARPEN empty{Dictionary{}};
    EXPECT_EQ(empty.getAmount(), 0);
    EXPECT_EQ(ActionCommand_ZOOM(Dictionary{}).getScale(), 0.0f);
    EXPECT_FALSE(ActionCommand_FLIP(Dictionary{}).getFlipH());
    EXPECT_EQ(ActionCommand_CLIP(Dictionary{}).getRect().width, 0.0f);
    EXPECT_EQ(ActionCommand_CURVE(Dictionary{}).getChannel(), -1);
    EXPECT_EQ(ActionCommand_LOMO(Dictionary{}).getLomo(), -1);
    TransferColor tones[3] = {{1, 1, 1}, {1, 1, 1}, {1, 1, 1}};
    ActionCommand_COLORBALANCE(Dictionary{{"tColors", Array{Value(Array{Value("5")})}}})
        .getTransferColors(tones);
    EXPECT_EQ(tones[0].Cyan_Red, 5);
    EXPECT_EQ(tones[1].Cyan_Red, 0);
    EXPECT_EQ(tones[2].Yellow_Blue, 0);

    const ActionCommand_SHARPEN wild{
        Dictionary{{"amount", "99999999999"}, {"radius", "-1e9"}, {"threshold", Array{}}}};
    EXPECT_EQ(wild.getAmount(), INT_MAX);
    EXPECT_EQ(wild.getRadius(), -1);
    EXPECT_EQ(wild.getThreshold(), 0);

    // Names outside their tables are written as empty names and read as -1.
    EXPECT_EQ(ActionCommand_CURVE::commandWithPoints({}, 7)->getChannel(), -1);
    EXPECT_EQ(ActionCommand_LOMO::commandWithLomo(54)->getLomo(), -1);
    EXPECT_EQ(ActionCommand_LOMO::commandWithLomo(-1)->getLomoString(), "");
}

TEST(ActionCommand, GradientStopsNeverExceedWhatIsStored) {
    const RGBPoint stops[2] = {{{1, 2, 3}, 0, 0.5f}, {{4, 5, 6}, 1, 0.5f}};
    // The count written is the count packed.
    EXPECT_EQ(ActionCommand_GRADIENT_OVERLAY::commandWithBlendMode(1, 0, stops, 9, 0, 1, 1, false)
                  ->getPointsNum(),
              2);
    EXPECT_EQ(ActionCommand_GRADIENT_OVERLAY::commandWithBlendMode(1, 0, stops, -3, 0, 1, 1, false)
                  ->getPoints()
                  .size(),
              0u);
    auto make = [&](const char* pointsNum, const char* reverse) {
        auto command =
            ActionCommand_GRADIENT_OVERLAY::commandWithBlendMode(1, 0, stops, 2, 0, 1, 1, false);
        command->setValue(Value(pointsNum), "pointsNum");
        command->setValue(Value(reverse), "reverse");
        return command;
    };
    EXPECT_EQ(make("2000000000", "0")->getPoints().size(), 2u);
    EXPECT_EQ(make("1", "0")->getPoints().size(), 1u);
    EXPECT_EQ(make("-5", "0")->getPoints().size(), 0u);
    // reverse is an integer kept as one byte.
    EXPECT_FALSE(make("2", "256")->getReverse());
    EXPECT_TRUE(make("2", "257")->getReverse());
    EXPECT_FALSE(make("2", "yes")->getReverse());
    EXPECT_TRUE(make("2", "-1")->getReverse());
}

TEST(ActionCommand, ListConversionKeepsOrderAndSkipsWhatIsNoCommand) {
    Array list{Value(Dictionary{{"cmd", "CMD_ZOOM"}, {"scale", "2"}}), Value("not a dictionary"),
               Value(Dictionary{{"cmd", "CMD_UNKNOWN"}}), Value(Dictionary{{"scale", "2"}}),
               Value(Dictionary{{"cmd", "CMD_GRAY"}})};
    const auto commands = toActionCommandsArray(list);
    ASSERT_EQ(commands.size(), 4u);
    EXPECT_EQ(typeid(*commands[0]), typeid(ActionCommand_ZOOM));
    EXPECT_EQ(typeid(*commands[1]), typeid(ActionCommand));
    EXPECT_EQ(commands[1]->getCmd(), -1);
    EXPECT_EQ(typeid(*commands[2]), typeid(ActionCommand));
    EXPECT_EQ(typeid(*commands[3]), typeid(ActionCommand_GRAY));
    const Array normal = toNormalArray(commands);
    ASSERT_EQ(normal.size(), 4u);
    EXPECT_EQ(normal[0], list[0]);
    EXPECT_EQ(normal[3], list[4]);
    // The dictionaries are copies.
    commands[0]->setValue(Value("3"), "scale");
    EXPECT_EQ(*normal[0].dictionary()->find("scale")->text(), "2");
}

TEST(CommandTable, ScaleMarksAreTheSpatialParameters) {
    std::set<std::string> scaled;
    for (const CommandSpec& spec : commandTable()) {
        EXPECT_EQ(ActionCommand::stringToCmd(spec.name), spec.number);
        EXPECT_EQ(spec.className, std::string("ActionCommand_").append(spec.name.substr(4)));
        for (const ParamSpec& param : spec.params) {
            if (param.scaling == Scaling::Scaled) {
                scaled.insert(std::string(spec.name).append(".").append(param.key));
            }
        }
    }
    const std::set<std::string> expected{
        "CMD_SET_SELECTION.selection", "CMD_SHARPEN.radius",    "CMD_DIFFUSE.spacing",
        "CMD_DIFFUSE.radius",          "CMD_GASBLUR.radiusH",   "CMD_GASBLUR.radiusV",
        "CMD_RADIALBLUR.scale",        "CMD_CLIP.rect",         "CMD_EMBOSS.highDegree",
        "CMD_MOSAICS.gridWidth",       "CMD_PAINTING.radius",   "CMD_SOFTGLOW.radius",
        "CMD_DOT.gridWidth",           "CMD_SKETCH.radius",     "CMD_BOKEH.blurRadius",
        "CMD_BOKEH.centerRadius",      "CMD_BOKEH.extendWidth", "CMD_BOKEH.centerPoint"};
    EXPECT_EQ(scaled, expected);
    EXPECT_EQ(commandSpec(-1), nullptr);
    EXPECT_EQ(commandSpec(41), nullptr);
    EXPECT_EQ(commandSpec(CMD_LOMO)->make(Dictionary{})->getCmd(), -1);
}

TEST(CommandTable, ListingShowsEachCommandsKeysAndKinds) {
    const std::string listing = commandListing();
    EXPECT_NE(listing.find(" 2 CMD_SHARPEN  amount (int), radius (int, scaled), threshold (int)\n"),
              std::string::npos);
    EXPECT_NE(listing.find("12 CMD_GRAY\n"), std::string::npos);
    EXPECT_NE(listing.find("40 CMD_LOMO  lomo (lomo style name)\n"), std::string::npos);
    EXPECT_EQ(std::count(listing.begin(), listing.end(), '\n'), kCommandCount);
}

}  // namespace
}  // namespace vantrel
