// Dispatcher rows of named actions.
#include <memory>
#include <string>

#include "commands/DispatchRows.h"
#include "commands/EffectsProcesser.h"
#include "commands/NamedActions.h"
#include "commands/PowerAction.h"

namespace vantrel::rows {
namespace {

// Holds the processor one level deeper in named actions for the life of
// the scope, however the nested run ends.
class Nesting {
public:
    explicit Nesting(EffectsProcesser& processor)
        : m_processor(processor), m_depth(processor.actionDepth()) {
        m_processor.setActionDepth(m_depth + 1);
    }
    ~Nesting() { m_processor.setActionDepth(m_depth); }
    Nesting(const Nesting&) = delete;
    Nesting& operator=(const Nesting&) = delete;

private:
    EffectsProcesser& m_processor;
    int m_depth;
};

}  // namespace

// Runs the commands of the named action on the same bitmap: the nested
// list starts with the whole bitmap selected and leaves the selection as
// its last command set it. An action that calls itself, directly or
// through others, ends at the nesting limit.
bool CallAction(const ActionCommand_CALL_ACTION& command, CommandRun& run) {
    EffectsProcesser& processor = run.processor;
    const std::shared_ptr<const NamedActions> actions = processor.namedActions();
    const Dictionary* found = actions ? actions->actionNamed(command.getActionName()) : nullptr;
    if (!found) return FailCommand("Not find Action!");
    if (processor.actionDepth() >= kMaxActionDepth) {
        return FailCommand(std::string(run.name) + " nests named actions more than " +
                           std::to_string(kMaxActionDepth) + " deep");
    }
    const std::unique_ptr<PowerAction> action = PowerAction::actionWithDic(*found);
    const Nesting nesting(processor);
    return processor.runCommands(action->getCommands());
}

}  // namespace vantrel::rows
