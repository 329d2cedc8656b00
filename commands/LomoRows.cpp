// Dispatcher row of the lomo looks.
#include "Core/global/TiLog.h"
#include "commands/DispatchRows.h"
#include "commands/Lomo.h"

namespace vantrel::rows {

// A style name outside the table reads as -1, which the look refuses.
bool Lomo(const ActionCommand_LOMO& command, CommandRun& run) {
    const int lomo = command.getLomo();
    TiLog("Lomo: %d %s", lomo, command.getLomoString().c_str());
    return OperationResult(ApplyLomoStyle(run.view, lomo), run);
}

}  // namespace vantrel::rows
