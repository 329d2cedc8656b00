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
    for (const CommandSpec& row : commandTable()) {
        EXPECT_EQ(ActionCommand::stringToCmd(row.name), row.number);
        EXPECT_EQ(row.className, std::string("ActionCommand_").append(row.name.substr(4)));
        for (const ParamSpec& param : row.params) {
            if (param.scaling == Scaling::Scaled) {
                scaled.insert(std::string(row.name).append(".").append(param.key));
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
