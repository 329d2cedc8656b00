#include <gtest/gtest.h>

#include "editing/EditHistory.h"
#include "support/CommandLists.h"

namespace vantrel {
namespace {

Array Step(int levels) {
    return test::ListOf(test::Selection(0, 0, 0, 0),
                        ActionCommand_POSTERIZE::commandWithLevels(levels));
}

std::vector<int> LevelsOf(const Array& flat) {
    std::vector<int> levels;
    for (const Value& command : flat) {
        if (const Value* value = command.dictionary()->find("levels")) {
            levels.push_back(value->intValue());
        }
    }
    return levels;
}

TEST(EditHistory, UndoRedoAndANewStepThatDropsTheRedoTail) {
    EditHistory history;
    EXPECT_FALSE(history.stepBack());
    for (int levels : {2, 3, 4}) history.addCommands(Step(levels));
    EXPECT_EQ(history.commandIndex(), 3);
    EXPECT_EQ(LevelsOf(history.commands()), (std::vector<int>{2, 3, 4}));
    EXPECT_EQ(history.commands().size(), 6u);  // each step's selection stays with it

    EXPECT_TRUE(history.stepBack());
    EXPECT_TRUE(history.stepBack());
    EXPECT_EQ(history.redoCommandsCount(), 2);
    EXPECT_EQ(LevelsOf(history.commands()), (std::vector<int>{2}));
    EXPECT_TRUE(history.stepForward());
    EXPECT_EQ(LevelsOf(history.commands()), (std::vector<int>{2, 3}));

    history.addCommands(Step(9));
    EXPECT_EQ(history.count(), 3);
    EXPECT_EQ(history.redoCommandsCount(), 0);
    EXPECT_FALSE(history.stepForward());
    EXPECT_EQ(LevelsOf(history.commands()), (std::vector<int>{2, 3, 9}));

    EXPECT_FALSE(history.restore({Step(5)}, 2));
    EXPECT_TRUE(history.restore({Step(5), Step(6)}, 1));
    EXPECT_EQ(LevelsOf(history.commands()), (std::vector<int>{5}));
    history.clearCommands();
    EXPECT_EQ(history.count(), 0);
    EXPECT_EQ(history.commandIndex(), 0);
}

}  // namespace
}  // namespace vantrel
