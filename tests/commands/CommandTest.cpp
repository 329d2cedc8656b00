// Commands as data: the factories' texts, the typed getters, names and lists,
// the command table, named actions and the error manager.
#include <gtest/gtest.h>

#include <charconv>
#include <climits>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <thread>
#include <type_traits>
#include <typeinfo>
#include <vector>

#include "commands/ActionCommands.h"
#include "commands/ErrorManager.h"
#include "commands/Json.h"
#include "commands/PowerAction.h"
#include "platform/Resources.h"
#include "support/RecordingUIServices.h"
#include "support/TestPictures.h"
#include "support/ValueText.h"

namespace vantrel {
namespace {

using test::Texts;

// One factory: the command it makes, its dictionary as text, and what its
// getters read back from the typed command a JSON round trip gives.
struct Factory {
    std::unique_ptr<ActionCommand> command;
    std::string text;
    std::function<std::string(const ActionCommand&)> getters;
    std::string read;
};

// The getters of a command of subclass C, read as one text.
template <typename C, typename Read>
std::function<std::string(const ActionCommand&)> Getters(Read read) {
    return [read](const ActionCommand& command) {
        const C* typed = dynamic_cast<const C*>(&command);
        return typed ? read(*typed) : std::string("not a ") + typeid(C).name();
    };
}

// A getter's value as text: numbers in their shortest exact form.
template <typename T>
std::string Str(const T& value) {
    if constexpr (std::is_convertible_v<T, std::string>) {
        return value;
    } else if constexpr (std::is_same_v<T, bool>) {
        return value ? "1" : "0";
    } else {
        char buffer[64];
        return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
    }
}

template <typename... Values>
std::string Join(const Values&... values) {
    std::string text;
    ((text += (text.empty() ? "" : " ") + Str(values)), ...);
    return text;
}

#define GET(Class, ...) \
    Getters<ActionCommand_##Class>([](const ActionCommand_##Class& c) { return Join(__VA_ARGS__); })

std::vector<Factory> Factories() {
    const TransferColor tones[3] = {{0, 0, 0}, {-80, 10, -60}, {5, -5, 100}};
    TColorLevelData levels;
    levels.RedLow = 27, levels.RedHigh = 255, levels.RedGamma = 0.96;
    HSLData hsl;
    hsl.all.m_saturation = -109;
    HueRangeData ranges;
    ranges.red = {-15, 15, -45, 45};
    const RGBPoint stops[3] = {{{0, 0, 0}, 0, 0.36f}, {{255, 128, 1}, 1, 0.5f}, {}};
    const std::vector<Vec3> points{{0, 0, 0}, {89.7463f, 39.9851f, 0}, {255, 255, 0}};
    ComplementScaleSet inks;
    inks.yellows = {-0.01f, -0.07f, -0.76f, -0.33f};
    const auto none = [](const ActionCommand&) { return std::string(); };
    std::string zeros;
    for (int i = 0; i < 28; ++i) zeros += ",0";
    // clang-format off
    std::vector<Factory> rows;
    rows.push_back({ActionCommand_CALL_ACTION::commandWithActionName("Faded Film"), "actionName=Faded Film", GET(CALL_ACTION, c.getActionName()), "Faded Film"});
    rows.push_back({ActionCommand_SET_SELECTION::commandWithSelection({10, 20.5f, 50, 0}), "selection=[10,20.5,50,0]",
                    GET(SET_SELECTION, c.getSelection().x, c.getSelection().y, c.getSelection().width, c.getSelection().height), "10 20.5 50 0"});
    rows.push_back({ActionCommand_SHARPEN::commandWithAmount(50, 10, 5), "amount=50 radius=10 threshold=5",
                    GET(SHARPEN, c.getAmount(), c.getRadius(), c.getThreshold()), "50 10 5"});
    rows.push_back({ActionCommand_DIFFUSE::commandWithSpacing(3, -4), "spacing=3 radius=-4", GET(DIFFUSE, c.getSpacing(), c.getRadius()), "3 -4"});
    rows.push_back({ActionCommand::commandWithCmd(CMD_ANTICOLOR), "", none, ""});
    rows.push_back({ActionCommand_EXPOSURE::commandWithValue(-2000), "value=-2000.000000", GET(EXPOSURE, c.getExposureValue()), "-2000"});
    rows.push_back({ActionCommand_GASBLUR::commandWithRadiusH(7, 0), "radiusH=7 radiusV=0", GET(GASBLUR, c.getRadiusH(), c.getRadiusV()), "7 0"});
    rows.push_back({ActionCommand_RADIALBLUR::commandWithAmount(300, 1.25f), "amount=300 scale=1.250000", GET(RADIALBLUR, c.getAmount(), c.getScale()), "300 1.25"});
    rows.push_back({ActionCommand_COLORBALANCE::commandWithTransferColors(tones, true), "tColors=[[0,0,0],[-80,10,-60],[5,-5,100]] preserveLuminosity=1",
                    Getters<ActionCommand_COLORBALANCE>([](const ActionCommand_COLORBALANCE& c) {
                        TransferColor back[3];
                        c.getTransferColors(back);
                        return Join(back[1].Cyan_Red, back[1].Magenta_Green, back[2].Yellow_Blue, c.getPreserveLuminosity());
                    }), "-80 10 100 1"});
    rows.push_back({ActionCommand_COLORLEVELS::commandWithColorLevelData(levels), "levelData=[0,0,0,0,27,255,0,0,0.96,0,0,0]",
                    GET(COLORLEVELS, c.getLevelData().RedLow, c.getLevelData().RedHigh, c.getLevelData().RedGamma), "27 255 0.96"});
    rows.push_back({ActionCommand_HSL_ADUSTMENT::commandWithHSLData(hsl, ranges),
                    "hslData=[[0,0,0],[0,0,0],[0,0,0],[0,0,0],[0,0,0],[0,0,0],[0,-109,0]] "
                    "hueRangeData=[[-15,15,-45,45],[0,0,0,0],[0,0,0,0],[0,0,0,0],[0,0,0,0],[0,0,0,0]]",
                    GET(HSL_ADUSTMENT, c.getHSLData().all.m_saturation, c.getHueRangeData().red.range_left), "-109 -45"});
    rows.push_back({ActionCommand_HSL_TINT::commandWithHSL({130, 28, -5}), "hsl=[130,28,-5]", GET(HSL_TINT, c.getHSL().m_hue, c.getHSL().m_lightness), "130 -5"});
    rows.push_back({ActionCommand::commandWithCmd(12), "", none, ""});
    rows.push_back({ActionCommand_BRIGHTNESS_CONTRAST::commandWithBrightness(-0.4f, 1), "brightness=-0.400000 contrast=1.000000",
                    GET(BRIGHTNESS_CONTRAST, c.getBrightness(), c.getContrast()), "-0.4 1"});
    rows.push_back({ActionCommand_REDUCENOISE::commandWithReduceNoiseMode(2), "reduceNoiseMode=2", GET(REDUCENOISE, c.getReduceNoiseMode()), "2"});
    // ROTATE's degrees are a float, BOKEH's (below) an integer.
    rows.push_back({ActionCommand_ROTATE::commandWithDegrees(45), "degrees=45.000000", GET(ROTATE, c.getDegrees()), "45"});
    rows.push_back({ActionCommand_CLIP::commandWithRect({0.5f, 1, 99.25f, 1e-7f}), "rect=[0.5,1,99.25,1e-07]",
                    GET(CLIP, c.getRect().x, c.getRect().width, c.getRect().height), "0.5 99.25 1e-07"});
    rows.push_back({ActionCommand_FLIP::commandWithFlipH(true, false), "flipH=1 flipV=0", GET(FLIP, c.getFlipH(), c.getFlipV()), "1 0"});
    rows.push_back({ActionCommand_ZOOM::commandWithScale(0.5f), "scale=0.500000", GET(ZOOM, c.getScale()), "0.5"});
    rows.push_back({ActionCommand_EMBOSS::commandWithDegrees(-30.5f, 3, 150), "degrees=-30.500000 highDegree=3 amount=150",
                    GET(EMBOSS, c.getDegrees(), c.getHighDegree(), c.getAmount()), "-30.5 3 150"});
    rows.push_back({ActionCommand_MOSAICS::commandWithGridWidth(12), "gridWidth=12", GET(MOSAICS, c.getGridWidth()), "12"});
    rows.push_back({ActionCommand_PAINTING::commandWithRadius(4, 20), "radius=4 smoothness=20", GET(PAINTING, c.getRadius(), c.getSmoothness()), "4 20"});
    rows.push_back({ActionCommand_THRESHOLD::commandWithLevels(128), "levels=128", GET(THRESHOLD, c.getLevels()), "128"});
    rows.push_back({ActionCommand_POSTERIZE::commandWithLevels(4), "levels=4", GET(POSTERIZE, c.getLevels()), "4"});
    rows.push_back({ActionCommand_EQUALIZE::commandWithEqualizeMode(1), "equalizeMode=1", GET(EQUALIZE, c.getEqualizeMode()), "1"});
    rows.push_back({ActionCommand::commandWithCmd(CMD_COMPLEMENT_COLOR), "", none, ""});
    rows.push_back({ActionCommand_SHADOW_HIGHLIGHT::commandWithShadows(0.35f, 0.1f), "shadows=0.350000 highlights=0.100000",
                    GET(SHADOW_HIGHLIGHT, c.getShadows(), c.getHighlights()), "0.35 0.1"});
    rows.push_back({ActionCommand_SOFTGLOW::commandWithRadius(10, 0.25f, 0.125f), "radius=10 brightness=0.250000 sharpness=0.125000",
                    GET(SOFTGLOW, c.getRadius(), c.getBrightness(), c.getSharpness()), "10 0.25 0.125"});
    rows.push_back({ActionCommand_RED_EYE_REMOVAL::commandWithThreshold(40), "threshold=40", GET(RED_EYE_REMOVAL, c.getThreshold()), "40"});
    rows.push_back({ActionCommand_RETINEX::commandWithLevel(2, 5, 1.75f), "level=2 scaleDivision=5 dynamic=1.750000",
                    GET(RETINEX, c.getLevel(), c.getScaleDivision(), c.getDynamic()), "2 5 1.75"});
    rows.push_back({ActionCommand_DOT::commandWithGridWidth(6), "gridWidth=6", GET(DOT, c.getGridWidth()), "6"});
    rows.push_back({ActionCommand_GRADIENT_OVERLAY::commandWithBlendMode(3, 2, stops, 2, 90, 1.5f, 0.75f, true),
                    "blendMode=3 style=2 points=[[0,0.36,[0,0,0]],[1,0.5,[255,128,1]]] pointsNum=2 degrees=90.000000 "
                    "scale=1.500000 opacity=0.750000 reverse=1",
                    GET(GRADIENT_OVERLAY, c.getBlendMode(), c.getStyle(), c.getPointsNum(), c.getPoints().at(0).midpoint,
                        c.getPoints().at(1).color.m_green, c.getDegrees(), c.getScale(), c.getOpacity(), c.getReverse()), "3 2 2 0.36 128 90 1.5 0.75 1"});
    rows.push_back({ActionCommand_SKETCH::commandWithRadius(2), "radius=2", GET(SKETCH, c.getRadius()), "2"});
    rows.push_back({ActionCommand_NOISE::commandWithAmount(10, true), "amount=10 bColor=1", GET(NOISE, c.getAmount(), c.getBColor()), "10 1"});
    rows.push_back({ActionCommand_BOKEH::commandWithBlurRadius(8, 40, 60, 45, {120.5f, 80}),
                    "blurRadius=8 centerRadius=40 extendWidth=60 degrees=45 centerPoint=[120.5,80]",
                    GET(BOKEH, c.getBlurRadius(), c.getCenterRadius(), c.getExtendWidth(), c.getDegrees(), c.getCenterPoint().x,
                        c.getCenterPoint().y), "8 40 60 45 120.5 80"});
    rows.push_back({ActionCommand_CURVE::commandWithPoints(points, CHANEL_B), "points=[0,0,0,89.7463,39.9851,0,255,255,0] channel=CHANEL_B",
                    GET(CURVE, c.getChannel(), getPointsNum(c.getDataVecs3()), getVecs3(c.getDataVecs3())[1].x), "3 3 89.7463"});
    rows.push_back({ActionCommand_CHANNELMIX::commandWithChannelMixer({{1, 0, 0}, {0.5f, 0.5f, 0}, {0, 0, 2}}), "channelMixer=[1,0,0,0.5,0.5,0,0,0,2]",
                    GET(CHANNELMIX, c.getChannelMixer().green.greenScale, c.getChannelMixer().blue.blueScale), "0.5 2"});
    rows.push_back({ActionCommand_CHANNELMIX_GRAY::commandWithChannelMixScale({0.3f, 0.59f, 0.11f}), "grayScale=[0.3,0.59,0.11]",
                    GET(CHANNELMIX_GRAY, c.getChannelMixScale().greenScale), "0.59"});
    rows.push_back({ActionCommand_SELECTIVE_COLOR::commandWithScaleSet(inks), "scaleSet=[0,0,0,0,-0.01,-0.07,-0.76,-0.33" + zeros + "]",
                    GET(SELECTIVE_COLOR, c.getScaleSet().yellows.yellow), "-0.76"});
    rows.push_back({ActionCommand::commandWithCmd(CMD_AUTO_LEVELS), "", none, ""});
    rows.push_back({ActionCommand_LOMO::commandWithLomo(LE_Amatorka), "lomo=LE_Amatorka", GET(LOMO, c.getLomo(), c.getLomoString()), "53 LE_Amatorka"});
    // clang-format on
    return rows;
}

// Each factory writes "cmd" and its parameters in the table's order and
// text forms; the dictionary comes back through JSON text and list
// conversion as its own subclass, whose getters read the arguments back.
TEST(ActionCommands, EveryFactoryWritesItsEntriesAndReadsThemBack) {
    const std::vector<Factory> factories = Factories();
    ASSERT_EQ(factories.size(), static_cast<std::size_t>(kCommandCount));
    Array list;
    for (int cmd = 0; cmd < kCommandCount; ++cmd) {
        const Factory& f = factories[cmd];
        SCOPED_TRACE(kCommandNames[cmd]);
        EXPECT_EQ(Texts(f.command->dic()),
                  "cmd=" + std::string(kCommandNames[cmd]) + (f.text.empty() ? "" : " " + f.text));
        list.push_back(Value(f.command->dic()));
        const auto parsed = dictionaryWithJSONString(
            jsonStringValue(Dictionary{{"c", Array{Value(f.command->dic())}}}));
        const auto typed = toActionCommandsArray(*parsed.value().find("c")->array());
        ASSERT_EQ(typed.at(0)->dic(), f.command->dic());
        EXPECT_EQ(typeid(*typed[0]), typeid(*commandSpec(cmd)->make(Dictionary{})));
        EXPECT_EQ(f.getters(*typed[0]), f.read);
    }
    // The whole list converts to typed commands and back to equal dictionaries.
    EXPECT_EQ(toNormalArray(toActionCommandsArray(list)), list);
}

TEST(ActionCommand, NameLookupsAreExactAndOrderly) {
    for (auto [name, number] :
         {std::pair{"CMD_LOMO", 40}, {"cmd_lomo", -1}, {"CMD_LOMO ", -1}, {"CMD_CALL_ACTION", 0}}) {
        EXPECT_EQ(ActionCommand::stringToCmd(name), number) << name;
    }
    EXPECT_EQ(
        (std::vector<int>{
            ActionCommand::stringToChannel("CHANEL_B"), ActionCommand::stringToChannel("CHANNEL_B"),
            ActionCommand::stringToLomo("LE_NONE"), ActionCommand::stringToLomo("LE_3DGlasses"),
            ActionCommand::stringToLomo("LE_HDR_Fix_Light")}),
        (std::vector<int>{3, -1, 0, 14, 35}));
    EXPECT_EQ(ActionCommand::cmdToString(12), "CMD_GRAY");
    EXPECT_EQ(ActionCommand::channelToString(4), "CHANEL_A");
    EXPECT_EQ(ActionCommand::lomoToString(53), "LE_Amatorka");
    for (int outside : {-1, INT_MIN, INT_MAX}) {
        EXPECT_FALSE(ActionCommand::cmdToString(outside) ||
                     ActionCommand::channelToString(outside) ||
                     ActionCommand::lomoToString(outside));
        EXPECT_EQ(ActionCommand::commandWithCmd(outside), nullptr);
    }
    EXPECT_FALSE(ActionCommand::cmdToString(41) || ActionCommand::channelToString(5) ||
                 ActionCommand::lomoToString(54));
    EXPECT_EQ(ActionCommand::commandWithCmd(41), nullptr);
    EXPECT_EQ(commandSpec(-1), nullptr);
    EXPECT_EQ(commandSpec(41), nullptr);
    EXPECT_EQ(commandSpec(CMD_LOMO)->make(Dictionary{})->getCmd(), -1);
    for (const CommandSpec& row : commandTable()) {
        EXPECT_EQ(row.className, std::string("ActionCommand_").append(row.name.substr(4)));
    }
    const std::string listing = commandListing();
    EXPECT_NE(listing.find(" 2 CMD_SHARPEN  amount (int), radius (int, scaled), threshold (int)\n"),
              std::string::npos);
    EXPECT_NE(listing.find("12 CMD_GRAY\n"), std::string::npos);
    EXPECT_NE(listing.find("40 CMD_LOMO  lomo (lomo style name)\n"), std::string::npos);
    EXPECT_EQ(std::count(listing.begin(), listing.end(), '\n'), kCommandCount);
}

TEST(ActionCommand, BaseCommandsForwardToTheirDictionary) {
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
    EXPECT_EQ((std::vector<float>{float(ActionCommand_SHARPEN(Dictionary{}).getAmount()),
                                  ActionCommand_ZOOM(Dictionary{}).getScale(),
                                  float(ActionCommand_FLIP(Dictionary{}).getFlipH()),
                                  ActionCommand_CLIP(Dictionary{}).getRect().width,
                                  float(ActionCommand_CURVE(Dictionary{}).getChannel()),
                                  float(ActionCommand_LOMO(Dictionary{}).getLomo())}),
              (std::vector<float>{0, 0, 0, 0, -1, -1}));
    TransferColor tones[3] = {{1, 1, 1}, {1, 1, 1}, {1, 1, 1}};
    ActionCommand_COLORBALANCE(Dictionary{{"tColors", Array{Value(Array{Value("5")})}}})
        .getTransferColors(tones);
    EXPECT_EQ((std::vector<int>{tones[0].Cyan_Red, tones[1].Cyan_Red, tones[2].Yellow_Blue}),
              (std::vector<int>{5, 0, 0}));
    const ActionCommand_SHARPEN wild{
        Dictionary{{"amount", "99999999999"}, {"radius", "-1e9"}, {"threshold", Array{}}}};
    EXPECT_EQ((std::vector<int>{wild.getAmount(), wild.getRadius(), wild.getThreshold()}),
              (std::vector<int>{INT_MAX, -1, 0}));
    // Names outside their tables are written as empty names and read as -1.
    EXPECT_EQ(ActionCommand_CURVE::commandWithPoints({}, 7)->getChannel(), -1);
    EXPECT_EQ(ActionCommand_LOMO::commandWithLomo(54)->getLomo(), -1);
    EXPECT_EQ(ActionCommand_LOMO::commandWithLomo(-1)->getLomoString(), "");
    // Gradient stops never exceed what is stored; the count written is the
    // count packed; reverse is an integer kept as one byte.
    const RGBPoint stops[2] = {{{1, 2, 3}, 0, 0.5f}, {{4, 5, 6}, 1, 0.5f}};
    EXPECT_EQ(ActionCommand_GRADIENT_OVERLAY::commandWithBlendMode(1, 0, stops, 9, 0, 1, 1, false)
                  ->getPointsNum(),
              2);
    EXPECT_EQ(ActionCommand_GRADIENT_OVERLAY::commandWithBlendMode(1, 0, stops, -3, 0, 1, 1, false)
                  ->getPoints()
                  .size(),
              0u);
    for (auto [pointsNum, reverse, count, reversed] : {std::tuple{"2000000000", "0", 2u, false},
                                                       {"1", "0", 1u, false},
                                                       {"-5", "0", 0u, false},
                                                       {"2", "256", 2u, false},
                                                       {"2", "257", 2u, true},
                                                       {"2", "yes", 2u, false},
                                                       {"2", "-1", 2u, true}}) {
        auto command =
            ActionCommand_GRADIENT_OVERLAY::commandWithBlendMode(1, 0, stops, 2, 0, 1, 1, false);
        command->setValue(Value(pointsNum), "pointsNum");
        command->setValue(Value(reverse), "reverse");
        EXPECT_EQ(command->getPoints().size(), count) << pointsNum;
        EXPECT_EQ(command->getReverse(), reversed) << reverse;
    }
}

TEST(ActionCommand, ListConversionKeepsOrderAndSkipsWhatIsNoCommand) {
    Array list{Value(Dictionary{{"cmd", "CMD_ZOOM"}, {"scale", "2"}}), Value("not a dictionary"),
               Value(Dictionary{{"cmd", "CMD_UNKNOWN"}}), Value(Dictionary{{"scale", "2"}}),
               Value(Dictionary{{"cmd", "CMD_GRAY"}})};
    const auto commands = toActionCommandsArray(list);
    ASSERT_EQ(commands.size(), 4u);
    EXPECT_EQ(typeid(*commands[0]), typeid(ActionCommand_ZOOM));
    EXPECT_EQ(typeid(*commands[1]), typeid(ActionCommand));
    EXPECT_EQ(typeid(*commands[2]), typeid(ActionCommand));
    EXPECT_EQ(typeid(*commands[3]), typeid(ActionCommand_GRAY));
    const Array normal = toNormalArray(commands);
    EXPECT_EQ(normal, (Array{list[0], list[2], list[3], list[4]}));
    commands[0]->setValue(Value("3"), "scale");
    EXPECT_EQ(*normal[0].dictionary()->find("scale")->text(), "2") << "the dictionaries are copies";
}

TEST(PowerAction, ReadsWritesAndLooksUpActions) {
    auto action = PowerAction::actionWithJSONString(
        R"({"name": "Soft", "description": "A soft look", "version": 2.5,
         "commands": [{"cmd": "CMD_GASBLUR", "radiusH": "3", "radiusV": "3"}, "not a command", {"cmd": "CMD_GRAY"}]})");
    ASSERT_TRUE(action);
    EXPECT_EQ(Texts(action->dic()),
              "name=Soft description=A soft look version=2.500000 commands=[{cmd=CMD_GASBLUR "
              "radiusH=3 radiusV=3},{cmd=CMD_GRAY}]");
    EXPECT_EQ(std::tuple(action->getName(), action->getDescription(), action->getVersion()),
              std::tuple("Soft", "A soft look", 2.5f));
    // Missing entries read as empty; a version is always written.
    EXPECT_EQ(Texts(PowerAction::actionWithJSONString("{}")->dic()),
              "version=0.000000 commands=[]");
    EXPECT_EQ(PowerAction::actionWithJSONString("{}")->getName(), "");
    EXPECT_FALSE(PowerAction::actionWithJSONString("not json"));
    // Command objects write as their dictionaries and come back typed.
    std::vector<std::unique_ptr<ActionCommand>> commands;
    commands.push_back(ActionCommand_ZOOM::commandWithScale(0.5f));
    commands.push_back(ActionCommand::commandWithCmd(CMD_GRAY));
    auto half = PowerAction::actionWithName("Half gray", "Halves, then grays", 1.0f, commands);
    EXPECT_EQ(half->jsonStringValue(),
              "{\n \"name\" : \"Half gray\",\n \"description\" : \"Halves, then grays\",\n "
              "\"version\" : \"1.000000\",\n"
              " \"commands\" : [{\n\t \"cmd\" : \"CMD_ZOOM\",\n\t \"scale\" : \"0.500000\"}, {\n\t "
              "\"cmd\" : \"CMD_GRAY\"}]}");
    auto back = PowerAction::actionWithJSONString(half->jsonStringValue());
    EXPECT_EQ(back->dic(), half->dic());
    const auto typed = toActionCommandsArray(back->getCommands());
    EXPECT_EQ(dynamic_cast<const ActionCommand_ZOOM&>(*typed.at(0)).getScale(), 0.5f);
    EXPECT_EQ(typeid(*typed.at(1)), typeid(ActionCommand_GRAY));
    // From a dictionary it keeps it as it is (a separate copy).
    Dictionary dic{{"name", "Keep"},
                   {"commands", Array{Value(Dictionary{{"cmd", "CMD_GRAY"}})}},
                   {"extra", "kept"}};
    auto kept = PowerAction::actionWithDic(dic);
    EXPECT_EQ(kept->dic(), dic);
    EXPECT_EQ(kept->getVersion(), 0.0f);
    kept->setVersion(1.25f);
    kept->setName("Renamed");
    EXPECT_EQ(Texts(kept->dic()),
              "name=Renamed commands=[{cmd=CMD_GRAY}] extra=kept version=1.250000");
    EXPECT_EQ(dic.find("version"), nullptr);
    EXPECT_TRUE(PowerAction().getCommands().empty());
    // A named lookup takes the first action of that exact name; a number is no name.
    auto resource = dictionaryWithJSONString(R"({"actions": [{"name": 7, "commands": []},
        {"name": "Look", "description": "first", "commands": [{"cmd": "CMD_GRAY"}]}, "junk",
        {"name": "Look", "description": "second", "commands": []}]})");
    EXPECT_EQ(PowerAction::actionNamed(*resource, "Look")->getDescription(), "first");
    for (const char* missing : {"7", "look"})
        EXPECT_FALSE(PowerAction::actionNamed(*resource, missing));
    EXPECT_FALSE(PowerAction::actionNamed(Dictionary{{"actions", "not a list"}}, "Look"));
    EXPECT_FALSE(PowerAction::actionNamed(Dictionary{}, "Look"));
}

const Array& ArrayOf(const Value& value) {
    static const Array kNone;
    return value.isArray() ? *value.array() : kNone;
}

// The shipped actions must run: every command known, with exactly its
// parameter keys in order, names from their tables and records of full
// size. An absent or broken resource finds no action.
TEST(PowerAction, ShippedActionsAreMadeOfWellFormedCommands) {
    const test::ScratchFolder scratch;
    const std::filesystem::path folder = scratch.path();
    setResourcesFolder(folder);
    EXPECT_FALSE(PowerAction::actionFromResourceNamed("Warm Portrait"));
    std::ofstream(folder / "broken.json") << "[\"no object\"]";
    setResourceFile("actions", "json", folder / "broken.json");
    EXPECT_FALSE(PowerAction::actionFromResourceNamed("Warm Portrait"));
    setResourceFile("actions", "json", {});
    setResourcesFolder(std::filesystem::path(test::SourcePath("resources")));
    const auto resource =
        dictionaryWithJSONString(readResourceText("actions", "json").value_or(""));
    ASSERT_TRUE(resource);
    const Array& actions = *resource->find("actions")->array();
    EXPECT_GE(actions.size(), 4u);
    std::set<std::string> names;
    for (const Value& element : actions) {
        PowerAction action(*element.dictionary());
        SCOPED_TRACE(action.getName());
        EXPECT_TRUE(names.insert(action.getName()).second) << "duplicate name";
        EXPECT_FALSE(action.getDescription().empty());
        EXPECT_GT(action.getVersion(), 0.0f);
        ASSERT_FALSE(action.getCommands().empty());
        for (const auto& command : toActionCommandsArray(action.getCommands())) {
            const CommandSpec* shape = commandSpec(command->getCmd());
            ASSERT_NE(shape, nullptr) << command->getCmdString();
            ASSERT_EQ(command->dic().size(), shape->params.size() + 1);
            for (std::size_t i = 0; i < shape->params.size(); ++i) {
                EXPECT_EQ(command->dic().keyAt(i + 1), shape->params[i].key);
                const Value& value = command->dic().valueAt(i + 1);
                EXPECT_EQ(value.isArray(), isRecordKind(shape->params[i].kind))
                    << shape->params[i].key;
                EXPECT_TRUE(value.isText() || value.isArray()) << shape->params[i].key;
            }
            if (auto* lomo = dynamic_cast<const ActionCommand_LOMO*>(command.get()))
                EXPECT_GE(lomo->getLomo(), 0);
            if (auto* curve = dynamic_cast<const ActionCommand_CURVE*>(command.get())) {
                EXPECT_GE(curve->getChannel(), 0);
                EXPECT_EQ(curve->getDataVecs3().size() % 3, 0u);
                EXPECT_GE(getPointsNum(curve->getDataVecs3()), 2);
            }
            if (auto* hsl = dynamic_cast<const ActionCommand_HSL_ADUSTMENT*>(command.get())) {
                EXPECT_EQ(ArrayOf(hsl->dic().valueAt(1)).size(), 7u);
                EXPECT_EQ(ArrayOf(hsl->dic().valueAt(2)).size(), 6u);
                for (const Value& triple : ArrayOf(hsl->dic().valueAt(1)))
                    EXPECT_EQ(ArrayOf(triple).size(), 3u);
                for (const Value& range : ArrayOf(hsl->dic().valueAt(2)))
                    EXPECT_EQ(ArrayOf(range).size(), 4u);
            }
            if (auto* balance = dynamic_cast<const ActionCommand_COLORBALANCE*>(command.get())) {
                EXPECT_EQ(ArrayOf(balance->dic().valueAt(1)).size(), 3u);
                for (const Value& tone : ArrayOf(balance->dic().valueAt(1)))
                    EXPECT_EQ(ArrayOf(tone).size(), 3u);
            }
        }
    }
    for (const char* name : {"Warm Portrait", "Crisp Landscape", "Faded Film"}) {
        EXPECT_TRUE(PowerAction::actionFromResourceNamed(name)) << name;
    }
    EXPECT_FALSE(PowerAction::actionFromResourceNamed("No Such Look"));
    setResourcesFolder({});
}

TEST(ErrorManager, ShowsTheLatestMessageOnceAnErrorWasRecordedFromAnyThread) {
    test::RecordingUIServices ui;
    ErrorManager errors;
    EXPECT_FALSE(errors.error());
    EXPECT_EQ(errors.errorString(), "");
    errors.showErrorString();
    EXPECT_TRUE(ui.calls().empty());
    errors.setErrorString("Can not allocate memory!");
    EXPECT_TRUE(errors.error());
    errors.showErrorString();
    errors.setErrorString("Not find Action!");
    // The flag is never cleared: each show presents the latest message.
    errors.showErrorString();
    EXPECT_EQ(ui.calls(), (std::vector<std::string>{"alert(Can not allocate memory! | Error | OK!)",
                                                    "alert(Not find Action! | Error | OK!)"}));
    EXPECT_EQ(&ErrorManager::sharedErrorManager(), &ErrorManager::sharedErrorManager());
    std::vector<std::thread> workers;
    for (int t = 0; t < 8; ++t) {
        workers.emplace_back([&errors, t] {
            const std::string message = "worker " + std::to_string(t) + " failed";
            for (int i = 0; i < 2000; ++i) {
                errors.setErrorString(message);
                if (errors.errorString().size() != message.size())
                    ADD_FAILURE() << "a torn message";
            }
        });
    }
    for (auto& worker : workers) worker.join();
    EXPECT_EQ(errors.errorString().rfind("worker ", 0), 0u);
}

}  // namespace
}  // namespace vantrel
