#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <typeinfo>

#include "commands/ActionCommands.h"
#include "commands/Json.h"
#include "commands/PowerAction.h"
#include "platform/Resources.h"
#include "support/ValueText.h"

namespace vantrel {
namespace {

using test::Texts;

TEST(PowerAction, FromJsonTextReadsNameDescriptionVersionAndCommands) {
    auto action = PowerAction::actionWithJSONString(R"(
        {"name": "Soft", "description": "A soft look", "version": 2.5,
         "commands": [{"cmd": "CMD_GASBLUR", "radiusH": "3", "radiusV": "3"},
                      "not a command",
                      {"cmd": "CMD_GRAY"}]})");
    ASSERT_TRUE(action);
    EXPECT_EQ(action->getName(), "Soft");
    EXPECT_EQ(action->getDescription(), "A soft look");
    EXPECT_EQ(action->getVersion(), 2.5f);
    EXPECT_EQ(*action->dic().find("version")->text(), "2.500000");
    EXPECT_EQ(Texts(action->getCommands()),
              "[{cmd=CMD_GASBLUR radiusH=3 radiusV=3},{cmd=CMD_GRAY}]");

    // Missing entries read as empty; a version is always written.
    auto bare = PowerAction::actionWithJSONString("{}");
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare->getName(), "");
    EXPECT_EQ(Texts(bare->dic()), "version=0.000000 commands=[]");
    EXPECT_FALSE(PowerAction::actionWithJSONString("not json"));
}

TEST(PowerAction, CommandObjectsWriteAsTheirDictionaries) {
    std::vector<std::unique_ptr<ActionCommand>> commands;
    commands.push_back(ActionCommand_ZOOM::commandWithScale(0.5f));
    commands.push_back(ActionCommand::commandWithCmd(CMD_GRAY));
    auto action = PowerAction::actionWithName("Half gray", "Halves, then grays", 1.0f, commands);
    EXPECT_EQ(action->jsonStringValue(),
              "{\n \"name\" : \"Half gray\",\n \"description\" : \"Halves, then grays\",\n"
              " \"version\" : \"1.000000\",\n \"commands\" : [{\n\t \"cmd\" : \"CMD_ZOOM\",\n"
              "\t \"scale\" : \"0.500000\"}, {\n\t \"cmd\" : \"CMD_GRAY\"}]}");

    // Written and read back, the action and its typed commands are the same.
    auto back = PowerAction::actionWithJSONString(action->jsonStringValue());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->dic(), action->dic());
    const auto typed = toActionCommandsArray(back->getCommands());
    ASSERT_EQ(typed.size(), 2u);
    EXPECT_EQ(typeid(*typed[0]), typeid(ActionCommand_ZOOM));
    EXPECT_EQ(dynamic_cast<const ActionCommand_ZOOM&>(*typed[0]).getScale(), 0.5f);
    EXPECT_EQ(typeid(*typed[1]), typeid(ActionCommand_GRAY));
}

TEST(PowerAction, FromADictionaryKeepsItAsItIs) {
    Dictionary dic{{"name", "Keep"},
                   {"commands", Array{Value(Dictionary{{"cmd", "CMD_GRAY"}})}},
                   {"extra", "kept"}};
    auto action = PowerAction::actionWithDic(dic);
    EXPECT_EQ(action->dic(), dic);
    EXPECT_EQ(action->getVersion(), 0.0f);
    EXPECT_EQ(action->getCommands().size(), 1u);
    action->setVersion(1.25f);
    action->setName("Renamed");
    EXPECT_EQ(Texts(action->dic()),
              "name=Renamed commands=[{cmd=CMD_GRAY}] extra=kept version=1.250000");
    EXPECT_EQ(dic.find("version"), nullptr);  // the source is a separate copy
    EXPECT_TRUE(PowerAction().getCommands().empty());
}

TEST(PowerAction, NamedLookupTakesTheFirstActionOfThatName) {
    auto resource = dictionaryWithJSONString(R"({"actions": [
        {"name": 7, "commands": []},
        {"name": "Look", "description": "first", "commands": [{"cmd": "CMD_GRAY"}]},
        "junk",
        {"name": "Look", "description": "second", "commands": []}]})");
    ASSERT_TRUE(resource);
    auto look = PowerAction::actionNamed(*resource, "Look");
    ASSERT_TRUE(look);
    EXPECT_EQ(look->getDescription(), "first");
    EXPECT_EQ(Texts(look->getCommands()), "[{cmd=CMD_GRAY}]");
    // A number is not a name, and names compare exactly.
    EXPECT_FALSE(PowerAction::actionNamed(*resource, "7"));
    EXPECT_FALSE(PowerAction::actionNamed(*resource, "look"));
    EXPECT_FALSE(PowerAction::actionNamed(Dictionary{{"actions", "not a list"}}, "Look"));
    EXPECT_FALSE(PowerAction::actionNamed(Dictionary{}, "Look"));
}

const Array& ArrayOf(const Value& value) {
    static const Array kNone;
    return value.isArray() ? *value.array() : kNone;
}

class ActionsResource : public ::testing::Test {
protected:
    void TearDown() override {
        setResourceFile("actions", "json", {});
        setResourcesFolder({});
    }
};

TEST_F(ActionsResource, AnAbsentOrBrokenResourceFindsNoAction) {
    const auto folder = std::filesystem::path(::testing::TempDir()) / "vantrel-no-actions";
    std::filesystem::create_directories(folder);
    setResourcesFolder(folder);
    EXPECT_FALSE(PowerAction::actionFromResourceNamed("Warm Portrait"));

    const auto broken = folder / "broken.json";
    std::ofstream(broken) << "[\"no object\"]";
    setResourceFile("actions", "json", broken);
    EXPECT_FALSE(PowerAction::actionFromResourceNamed("Warm Portrait"));
}

// The shipped actions must run: every command known, with exactly its
// parameter keys in order, names from their tables and records of full size.
TEST_F(ActionsResource, ShippedActionsAreMadeOfWellFormedCommands) {
    setResourcesFolder(std::filesystem::path(VANTREL_SOURCE_DIR) / "resources");
    auto text = readResourceText("actions", "json");
    ASSERT_TRUE(text);
    auto resource = dictionaryWithJSONString(*text);
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
                const ParamSpec& param = shape->params[i];
                EXPECT_EQ(command->dic().keyAt(i + 1), param.key);
                const Value& value = command->dic().valueAt(i + 1);
                EXPECT_EQ(value.isArray(), isRecordKind(param.kind)) << param.key;
                EXPECT_TRUE(value.isText() || value.isArray()) << param.key;
            }
            if (auto* lomo = dynamic_cast<const ActionCommand_LOMO*>(command.get())) {
                EXPECT_GE(lomo->getLomo(), 0);
            }
            if (auto* curve = dynamic_cast<const ActionCommand_CURVE*>(command.get())) {
                EXPECT_GE(curve->getChannel(), 0);
                EXPECT_EQ(curve->getDataVecs3().size() % 3, 0u);
                EXPECT_GE(getPointsNum(curve->getDataVecs3()), 2);
            }
            if (auto* hsl = dynamic_cast<const ActionCommand_HSL_ADUSTMENT*>(command.get())) {
                const Array& hslData = ArrayOf(hsl->dic().valueAt(1));
                const Array& ranges = ArrayOf(hsl->dic().valueAt(2));
                EXPECT_EQ(hslData.size(), 7u);
                EXPECT_EQ(ranges.size(), 6u);
                for (const Value& triple : hslData) EXPECT_EQ(ArrayOf(triple).size(), 3u);
                for (const Value& range : ranges) EXPECT_EQ(ArrayOf(range).size(), 4u);
            }
            if (auto* balance = dynamic_cast<const ActionCommand_COLORBALANCE*>(command.get())) {
                const Array& tones = ArrayOf(balance->dic().valueAt(1));
                EXPECT_EQ(tones.size(), 3u);
                for (const Value& tone : tones) EXPECT_EQ(ArrayOf(tone).size(), 3u);
            }
        }
    }
    EXPECT_TRUE(PowerAction::actionFromResourceNamed("Warm Portrait"));
    EXPECT_TRUE(PowerAction::actionFromResourceNamed("Crisp Landscape"));
    EXPECT_TRUE(PowerAction::actionFromResourceNamed("Faded Film"));
    EXPECT_FALSE(PowerAction::actionFromResourceNamed("No Such Look"));
}

}  // namespace
}  // namespace vantrel
