// Command lists made to cost time or to mislead: named actions that fan out,
// actions files that change. (Sizes no picture can have and parameters
// outside their vocabulary are swept with the dispatcher's refusals in
// DispatcherTest.cpp.)
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "Core/base/GrayInvert.h"
#include "commands/EffectsProcesser.h"
#include "commands/ErrorManager.h"
#include "commands/NamedActions.h"
#include "support/CommandLists.h"
#include "support/TestImages.h"
#include "support/TestPictures.h"

namespace vantrel {
namespace {

using test::Bare;
using test::CallList;
using test::ListOf;
using test::Pixels;
using test::RecordedError;

std::string Call(const std::string& name) {
    return R"({"cmd": "CMD_CALL_ACTION", "actionName": ")" + name + "\"}";
}

// An action object whose commands are `count` copies of `command`.
std::string Action(const std::string& name, const std::string& command, int count) {
    std::string commands;
    for (int i = 0; i < count; ++i) commands += (i ? ", " : "") + command;
    return R"({"name": ")" + name + R"(", "commands": [)" + commands + "]}";
}

class NamedActionBounds : public ::testing::Test {
protected:
    test::ScratchFolder folder;
    EffectsProcesser processor;
    std::unique_ptr<TiBitmapData> pixel = test::Constant(1, 1, TiRGBABpp, {10, 20, 30, 255});
};

// 16 actions, each calling the next four times, ask for about 10^9
// commands from a 3 KB file: refused before the first one runs.
TEST_F(NamedActionBounds, AFanOutPastTheLimitFailsBeforeAnyCommandRuns) {
    std::string actions;
    for (int level = 0; level < 16; ++level) {
        const std::string name = "Level " + std::to_string(level);
        actions += level ? ", " : "";
        actions += level < 15 ? Action(name, Call("Level " + std::to_string(level + 1)), 4)
                              : Action(name, R"({"cmd": "CMD_ANTICOLOR"})", 1);
    }
    test::ActionsResource resource(folder.File("actions.json"), actions);
    const auto before = Pixels(*pixel);
    EXPECT_FALSE(processor.runCommands(CallList("Level 0"), *pixel));
    EXPECT_EQ(processor.commandsRun(), 0u);
    EXPECT_EQ(RecordedError(),
              "The command list asks for more than 100000 commands through its named actions.");
    EXPECT_EQ(Pixels(*pixel), before);
}

// Every command dispatched counts, the calls themselves included; a list of
// exactly the limit runs, one more is refused whole.
TEST_F(NamedActionBounds, EveryCommandANamedActionRunsCountsTowardsTheLimit) {
    test::ActionsResource resource(
        folder.File("actions.json"),
        Action("Leaf", R"({"cmd": "CMD_ANTICOLOR"})", 3) + ", " + Action("Mid", Call("Leaf"), 2) +
            ", " + Action("Top", Call("Mid"), 3) + ", " +
            Action("Thousand", R"({"cmd": "CMD_SET_SELECTION", "selection": ["0", "0", "0", "0"]})",
                   999));
    // Top: 3 x (1 + Mid: 2 x (1 + 3)) = 27, and its own call.
    Array list = CallList("Top");
    list.push_back(Value(Bare(CMD_GRAY)->dic()));
    const std::shared_ptr<const NamedActions> actions = CurrentNamedActions();
    ASSERT_TRUE(actions);
    EXPECT_EQ(ExpandedCommandCount(list, actions.get()), 29u);
    auto expected = pixel->Clone(false);
    for (int i = 0; i < 18; ++i) InvertColor(*expected);
    ConvertToGray(*expected);
    ASSERT_TRUE(processor.runCommands(list, *pixel)) << RecordedError();
    EXPECT_EQ(processor.commandsRun(), 29u);
    EXPECT_EQ(Pixels(*pixel), Pixels(*expected));

    Array atLimit = CallList("Thousand", 100);  // 100 x (1 + 999)
    EXPECT_EQ(ExpandedCommandCount(atLimit, actions.get()), kMaxListCommands);
    ASSERT_TRUE(processor.runCommands(atLimit, *pixel)) << RecordedError();
    EXPECT_EQ(processor.commandsRun(), kMaxListCommands);
    atLimit.push_back(Value(Bare(CMD_GRAY)->dic()));
    EXPECT_EQ(ExpandedCommandCount(atLimit, actions.get()), kMaxListCommands + 1);
    EXPECT_FALSE(processor.runCommands(atLimit, *pixel));
    EXPECT_EQ(processor.commandsRun(), 0u);
}

// Counting follows the run: a call that finds no action, or nests too
// deep, ends the list there.
TEST_F(NamedActionBounds, CountingStopsWhereTheRunWouldFail) {
    test::ActionsResource resource(folder.File("actions.json"),
                                   Action("Loop", Call("Loop"), 1) + ", " +
                                       Action("Lost", Call("Nowhere") + ", " + Call("Loop"), 1));
    const std::shared_ptr<const NamedActions> actions = CurrentNamedActions();
    ASSERT_TRUE(actions);
    EXPECT_EQ(ExpandedCommandCount(CallList("Loop"), actions.get()), 17u);
    EXPECT_EQ(ExpandedCommandCount(CallList("Lost", 5), actions.get()), 2u);
    EXPECT_FALSE(processor.runCommands(CallList("Loop"), *pixel));
    EXPECT_EQ(processor.commandsRun(), 17u);
    EXPECT_NE(RecordedError().find("nests named actions"), std::string::npos) << RecordedError();
    EXPECT_EQ(ExpandedCommandCount(CallList("Lost"), nullptr), 1u);
}

// The actions file is parsed once and read again only when it changes: a
// rewrite that keeps its size and time goes unnoticed, a new time is seen.
TEST_F(NamedActionBounds, TheActionsFileIsReadAgainOnlyWhenItChanges) {
    const std::string path = folder.File("actions.json");
    test::ActionsResource resource(path, Action("Tone", R"({"cmd": "CMD_ANTICOLOR"})", 1));
    struct stat was {};
    ASSERT_EQ(::stat(path.c_str(), &was), 0);
    auto inverted = pixel->Clone(false);
    InvertColor(*inverted);
    ASSERT_TRUE(processor.runCommands(CallList("Tone"), *pixel));
    EXPECT_EQ(Pixels(*pixel), Pixels(*inverted));

    // The same length: "CMD_ANTICOLOR" is as long as "CMD_GRAY" and five spaces.
    std::ofstream(path) << R"({"actions": [)" << Action("Tone", R"({"cmd": "CMD_GRAY"     })", 1)
                        << "]}";
    const timespec times[2] = {was.st_atim, was.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    ASSERT_TRUE(processor.runCommands(CallList("Tone"), *pixel));
    InvertColor(*inverted);
    EXPECT_EQ(Pixels(*pixel), Pixels(*inverted)) << "read again although unchanged";

    const timespec later[2] = {was.st_atim, {was.st_mtim.tv_sec + 1, was.st_mtim.tv_nsec}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), later, 0), 0);
    ASSERT_TRUE(processor.runCommands(CallList("Tone"), *pixel));
    ConvertToGray(*inverted);
    EXPECT_EQ(Pixels(*pixel), Pixels(*inverted)) << "the changed file was not read";
}

}  // namespace
}  // namespace vantrel
