#include "app/cli/OpenUrlCommand.h"

#include <chrono>

#include "platform/RunningEditor.h"

namespace vantrel::cli {

int RunOpenUrl(const std::string& url, std::ostream& out, std::ostream& err) {
    HttpLimits limits;
    limits.connectTimeout = std::chrono::seconds(2);
    limits.totalTimeout = std::chrono::seconds(10);
    limits.maxResponseBytes = 4096;
    const Result<Done> handed = HandUrlToRunningEditor(RunningEditorFile(), url, limits);
    if (!handed) {
        err << "vantrel: " << handed.error() << "\n";
        return 1;
    }
    out << "Handed the sign-in to the running editor.\n";
    return 0;
}

}  // namespace vantrel::cli
