#include "app/cli/CliMain.h"

#include <string>

#include "app/cli/ApplyCommand.h"
#include "app/cli/CliArguments.h"
#include "app/cli/LooksCommand.h"
#include "app/cli/OpenUrlCommand.h"
#include "app/web/WebServer.h"
#include "commands/CommandTable.h"
#include "commands/Json.h"
#include "editing/panels/PanelSchema.h"

namespace vantrel::cli {

int Main(std::span<const std::string_view> args, std::string_view version, std::ostream& out,
         std::ostream& err) {
    std::string error;
    const std::optional<Invocation> invocation = ParseArguments(args, error);
    if (!invocation) {
        err << "vantrel: " << error << "\n\n" << UsageText();
        return 2;
    }
    switch (invocation->mode) {
        case Invocation::Mode::Help:
            out << UsageText();
            return 0;
        case Invocation::Mode::Version:
            out << "vantrel " << version << "\n";
            return 0;
        case Invocation::Mode::Commands:
            out << commandListing();
            return 0;
        case Invocation::Mode::Panels:
            out << jsonStringValue(PanelSchema()) << "\n";
            return 0;
        case Invocation::Mode::Apply:
            return RunApply(invocation->apply, out, err);
        case Invocation::Mode::Looks:
            return RunLooks(invocation->looks, out, err);
        case Invocation::Mode::OpenUrl:
            return RunOpenUrl(invocation->openUrl, out, err);
        case Invocation::Mode::Serve:
            return web::RunServer(invocation->serve, version, out, err);
    }
    return 2;
}

}  // namespace vantrel::cli
