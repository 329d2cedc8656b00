// Dispatcher row of the lomo looks.
#include <string>

#include "Core/global/TiLog.h"
#include "commands/DispatchRows.h"
#include "commands/Lomo.h"

namespace vantrel::rows {

// A style name outside the table reads as -1: the command fails naming it,
// before the look is asked.
bool Lomo(const ActionCommand_LOMO& command, CommandRun& run) {
    const int lomo = command.getLomo();
    TiLog("Lomo: %d %s", lomo, command.getLomoString().c_str());
    if (lomo < 0) {
        return FailCommand(std::string(run.name) + ": \"" + command.getLomoString() +
                           "\" is not the name of a look");
    }
    return OperationResult(ApplyLomoStyle(run.view, lomo), run);
}

}  // namespace vantrel::rows
