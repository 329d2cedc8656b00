// Dispatcher rows of named actions.
#include <memory>
#include <string>

#include "commands/DispatchRows.h"
#include "commands/EffectsProcesser.h"
#include "commands/PowerAction.h"

namespace vantrel::rows {
namespace {

// An action that calls itself, directly or through others, would otherwise
// recurse until the stack runs out.
constexpr int kMaxActionDepth = 16;

}  // namespace

// Runs the commands of the named action from the actions resource on the
// same bitmap: the nested list starts with the whole bitmap selected and
// leaves the selection as its last command set it.
bool CallAction(const ActionCommand_CALL_ACTION& command, CommandRun& run) {
    const std::unique_ptr<PowerAction> action =
        PowerAction::actionFromResourceNamed(command.getActionName());
    if (!action) return FailCommand("Not find Action!");
    EffectsProcesser& processor = run.processor;
    const int depth = processor.actionDepth();
    if (depth >= kMaxActionDepth) {
        return FailCommand(std::string(run.name) + " nests named actions more than " +
                           std::to_string(kMaxActionDepth) + " deep");
    }
    processor.setActionDepth(depth + 1);
    const bool done = processor.runCommands(action->getCommands());
    processor.setActionDepth(depth);
    return done;
}

}  // namespace vantrel::rows
