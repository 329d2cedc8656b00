// Commands as data: the factories' texts, the typed getters, names and lists,
// the command table, named actions and the error manager.
#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <thread>
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

// Each factory's dictionary, "cmd" left out, as text, in command number order.
std::vector<std::pair<Dictionary, std::string>> Factories() {
    const TransferColor tones[3] = {{0, 0, 0}, {-80, 10, -60}, {5, -5, 100}};
    // Records with every field its own value, so that fields written out of
    // place show; gammas are doubles, other floats have seven digits.
    const TColorLevelData levels{1, 2, 3, 4, 27, 255, 7, 8, 0.96, 0.1, 1.0 / 3.0, 2};
    HSLData hsl;
    hsl.red = {1, 2, 3}, hsl.magenta = {16, 17, 18}, hsl.all = {19, -109, 21};
    HueRangeData ranges;
    ranges.red = {-15, 16, -45, 45}, ranges.yellow = {45, 75, 15, 105};
    ranges.magenta = {285, 315, 255, 345};
    const RGBPoint stops[3] = {{{0, 0, 0}, 0, 0.36f}, {{255, 128, 1}, 1, 0.5f}, {}};
    const std::vector<Vec3> points{{0, 0, 0}, {89.7463f, 39.9851f, 0}, {255, 255, 0}};
    ComplementScaleSet inks;
    inks.reds = {0.55f, 0, 0.31f, 0}, inks.yellows = {-0.01f, -0.07f, -0.76f, -0.33f};
    inks.blacks = {0, 0.19f, 0.53f, 0.02f};
    std::string zeros;
    for (int i = 0; i < 24; ++i) zeros += ",0";
    // clang-format off
    return {
        {ActionCommand_CALL_ACTION::commandWithActionName("Faded Film")->dic(), "actionName=Faded Film"},
        {ActionCommand_SET_SELECTION::commandWithSelection({10, 20.5f, 50, 0})->dic(), "selection=[10,20.5,50,0]"},
        {ActionCommand_SHARPEN::commandWithAmount(50, 10, 5)->dic(), "amount=50 radius=10 threshold=5"},
        {ActionCommand_DIFFUSE::commandWithSpacing(3, -4)->dic(), "spacing=3 radius=-4"},
        {ActionCommand::commandWithCmd(CMD_ANTICOLOR)->dic(), ""},
        {ActionCommand_EXPOSURE::commandWithValue(-2000)->dic(), "value=-2000.000000"},
        {ActionCommand_GASBLUR::commandWithRadiusH(7, 0)->dic(), "radiusH=7 radiusV=0"},
        {ActionCommand_RADIALBLUR::commandWithAmount(300, 1.25f)->dic(), "amount=300 scale=1.250000"},
        {ActionCommand_COLORBALANCE::commandWithTransferColors(tones, true)->dic(),
         "tColors=[[0,0,0],[-80,10,-60],[5,-5,100]] preserveLuminosity=1"},
        {ActionCommand_COLORLEVELS::commandWithColorLevelData(levels)->dic(), "levelData=[1,2,3,4,27,255,7,8,0.96,0.1,0.3333333333333333,2]"},
        {ActionCommand_HSL_ADUSTMENT::commandWithHSLData(hsl, ranges)->dic(),
         "hslData=[[1,2,3],[0,0,0],[0,0,0],[0,0,0],[0,0,0],[16,17,18],[19,-109,21]] "
         "hueRangeData=[[-15,16,-45,45],[45,75,15,105],[0,0,0,0],[0,0,0,0],[0,0,0,0],[285,315,255,345]]"},
        {ActionCommand_HSL_TINT::commandWithHSL({130, 28, -5})->dic(), "hsl=[130,28,-5]"},
        {ActionCommand::commandWithCmd(12)->dic(), ""},
        {ActionCommand_BRIGHTNESS_CONTRAST::commandWithBrightness(-0.4f, 1)->dic(), "brightness=-0.400000 contrast=1.000000"},
        {ActionCommand_REDUCENOISE::commandWithReduceNoiseMode(2)->dic(), "reduceNoiseMode=2"},
        // ROTATE's degrees are a float, BOKEH's (below) an integer.
        {ActionCommand_ROTATE::commandWithDegrees(45)->dic(), "degrees=45.000000"},
        {ActionCommand_CLIP::commandWithRect({0.5f, 1e-7f, 123456789.0f, 1.0f / 3})->dic(), "rect=[0.5,1e-07,1.234568e+08,0.3333333]"},
        {ActionCommand_FLIP::commandWithFlipH(true, false)->dic(), "flipH=1 flipV=0"},
        {ActionCommand_ZOOM::commandWithScale(0.5f)->dic(), "scale=0.500000"},
        {ActionCommand_EMBOSS::commandWithDegrees(-30.5f, 3, 150)->dic(), "degrees=-30.500000 highDegree=3 amount=150"},
        {ActionCommand_MOSAICS::commandWithGridWidth(12)->dic(), "gridWidth=12"},
        {ActionCommand_PAINTING::commandWithRadius(4, 20)->dic(), "radius=4 smoothness=20"},
        {ActionCommand_THRESHOLD::commandWithLevels(128)->dic(), "levels=128"},
        {ActionCommand_POSTERIZE::commandWithLevels(4)->dic(), "levels=4"},
        {ActionCommand_EQUALIZE::commandWithEqualizeMode(1)->dic(), "equalizeMode=1"},
        {ActionCommand::commandWithCmd(CMD_COMPLEMENT_COLOR)->dic(), ""},
        {ActionCommand_SHADOW_HIGHLIGHT::commandWithShadows(0.35f, 0.1f)->dic(), "shadows=0.350000 highlights=0.100000"},
        {ActionCommand_SOFTGLOW::commandWithRadius(10, 0.25f, 0.125f)->dic(), "radius=10 brightness=0.250000 sharpness=0.125000"},
        {ActionCommand_RED_EYE_REMOVAL::commandWithThreshold(40)->dic(), "threshold=40"},
        {ActionCommand_RETINEX::commandWithLevel(2, 5, 1.75f)->dic(), "level=2 scaleDivision=5 dynamic=1.750000"},
        {ActionCommand_DOT::commandWithGridWidth(6)->dic(), "gridWidth=6"},
        {ActionCommand_GRADIENT_OVERLAY::commandWithBlendMode(3, 2, stops, 2, 90, 1.5f, 0.75f, true)->dic(),
         "blendMode=3 style=2 points=[[0,0.36,[0,0,0]],[1,0.5,[255,128,1]]] pointsNum=2 degrees=90.000000 "
         "scale=1.500000 opacity=0.750000 reverse=1"},
        {ActionCommand_SKETCH::commandWithRadius(2)->dic(), "radius=2"},
        {ActionCommand_NOISE::commandWithAmount(10, true)->dic(), "amount=10 bColor=1"},
        {ActionCommand_BOKEH::commandWithBlurRadius(8, 40, 60, 45, {120.5f, 80})->dic(),
         "blurRadius=8 centerRadius=40 extendWidth=60 degrees=45 centerPoint=[120.5,80]"},
        {ActionCommand_CURVE::commandWithPoints(points, CHANEL_B)->dic(), "points=[0,0,0,89.7463,39.9851,0,255,255,0] channel=CHANEL_B"},
        {ActionCommand_CHANNELMIX::commandWithChannelMixer({{1, 2, 3}, {4, 5, 6}, {7, 8, 9.5f}})->dic(),
         "channelMixer=[1,2,3,4,5,6,7,8,9.5]"},
        {ActionCommand_CHANNELMIX_GRAY::commandWithChannelMixScale({0.3f, 0.59f, 0.11f})->dic(), "grayScale=[0.3,0.59,0.11]"},
        {ActionCommand_SELECTIVE_COLOR::commandWithScaleSet(inks)->dic(), "scaleSet=[0.55,0,0.31,0,-0.01,-0.07,-0.76,-0.33" + zeros + ",0,0.19,0.53,0.02]"},
        {ActionCommand::commandWithCmd(CMD_AUTO_LEVELS)->dic(), ""},
        {ActionCommand_LOMO::commandWithLomo(LE_Amatorka)->dic(), "lomo=LE_Amatorka"}};
    // clang-format on
}

// Each factory writes "cmd" and its parameters in the table's order and
// text forms; the dictionary comes back through JSON text and list
// conversion as its own subclass. (What the getters read back is seen in
// the dispatcher's row sweep, which runs each command against its
// operation; the getters below are those whose value no result shows.)
TEST(ActionCommands, EveryFactoryWritesItsEntriesAndReadsThemBack) {
    const auto factories = Factories();
    ASSERT_EQ(factories.size(), static_cast<std::size_t>(kCommandCount));
    Array list;
    for (int cmd = 0; cmd < kCommandCount; ++cmd) {
        const auto& [dic, text] = factories[cmd];
        SCOPED_TRACE(kCommandNames[cmd]);
        EXPECT_EQ(Texts(dic),
                  "cmd=" + std::string(kCommandNames[cmd]) + (text.empty() ? "" : " ") + text);
        list.push_back(Value(dic));
        const auto parsed =
            dictionaryWithJSONString(jsonStringValue(Dictionary{{"c", Array{Value(dic)}}}));
        const auto typed = toActionCommandsArray(*parsed.value().find("c")->array());
        ASSERT_EQ(typed.at(0)->dic(), dic);
        EXPECT_EQ(typeid(*typed[0]), typeid(*commandSpec(cmd)->make(Dictionary{})));
    }
    // The whole list converts to typed commands and back to equal dictionaries.
    EXPECT_EQ(toNormalArray(toActionCommandsArray(list)), list);
    EXPECT_EQ(ActionCommand_REDUCENOISE(factories[CMD_REDUCENOISE].first).getReduceNoiseMode(), 2);
    EXPECT_EQ(ActionCommand_RETINEX(factories[CMD_RETINEX].first).getLevel(), 2);
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
    // (The factory table shows the command and lomo names written.)
    EXPECT_EQ(ActionCommand::channelToString(4), "CHANEL_A");
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
    EXPECT_FALSE(PowerAction::actionWithJSONString("not json"));
    // Command objects write as their dictionaries, and read back the same.
    std::vector<std::unique_ptr<ActionCommand>> commands;
    commands.push_back(ActionCommand_ZOOM::commandWithScale(0.5f));
    commands.push_back(ActionCommand::commandWithCmd(CMD_GRAY));
    auto half = PowerAction::actionWithName("Half gray", "Halves, then grays", 1.0f, commands);
    EXPECT_EQ(Texts(half->dic()),
              "name=Half gray description=Halves, then grays version=1.000000 "
              "commands=[{cmd=CMD_ZOOM scale=0.500000},{cmd=CMD_GRAY}]");
    EXPECT_EQ(PowerAction::actionWithJSONString(half->jsonStringValue())->dic(), half->dic());
    // From a dictionary it keeps it as it is (a separate copy).
    Dictionary dic{{"name", "Keep"},
                   {"commands", Array{Value(Dictionary{{"cmd", "CMD_GRAY"}})}},
                   {"extra", "kept"}};
    auto kept = PowerAction::actionWithDic(dic);
    EXPECT_EQ(kept->dic(), dic);
    kept->setVersion(1.25f);
    kept->setName("Renamed");
    EXPECT_EQ(Texts(kept->dic()),
              "name=Renamed commands=[{cmd=CMD_GRAY}] extra=kept version=1.250000");
    EXPECT_EQ(dic.find("version"), nullptr);
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

// A value's nesting, every text as "t": the shape of a record.
std::string Shape(const Value& value) {
    if (!value.isArray()) return value.isText() ? "t" : "?";
    std::string shape = "[";
    for (const Value& element : *value.array()) shape += Shape(element);
    return shape + "]";
}

// The shipped actions must run: every command known, with exactly its
// parameter keys in order, names from their tables and records shaped as
// the factories write them. An absent or broken resource finds no action.
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
    const auto factories = Factories();
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
                const ParamSpec& param = shape->params[i];
                const Value& value = command->dic().valueAt(i + 1);
                EXPECT_EQ(command->dic().keyAt(i + 1), param.key);
                // Sequences have a length of their own; every other value is
                // shaped as the factory writes it.
                if (param.kind == ParamKind::RGBPoints || param.kind == ParamKind::Vecs3)
                    EXPECT_TRUE(value.isArray()) << param.key;
                else
                    EXPECT_EQ(Shape(value),
                              Shape(factories[command->getCmd()].first.valueAt(i + 1)))
                        << param.key;
            }
            if (auto* lomo = dynamic_cast<const ActionCommand_LOMO*>(command.get())) {
                EXPECT_GE(lomo->getLomo(), 0);
            }
            if (auto* curve = dynamic_cast<const ActionCommand_CURVE*>(command.get())) {
                EXPECT_GE(curve->getChannel(), 0);
                EXPECT_EQ(curve->getDataVecs3().size() % 3, 0u);
                EXPECT_GE(getPointsNum(curve->getDataVecs3()), 2);
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
