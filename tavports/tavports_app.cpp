#include "tavports/tavports_app.h"

#include "tavports/command_line.h"
#include "tavports/report_text.h"
#include "tavports/unlink_port.h"

namespace tav::tavports {

namespace {

const char kUsage[] =
    "usage: tavports [list [--json] | explain | unlink <COM name | instance ID> [--yes]]\n"
    "       tavports --help | --version\n";

const char kHelp[] =
    "Shows which COM port of the TAV port driver each printer in virtual-serial mode has.\n"
    "\n"
    "  list [--json]   one row per port: instance ID, COM name, state (free / linked), the\n"
    "                  linked printer's device path and whether that printer is attached now;\n"
    "                  then the attached printers that have no port yet. --json prints the\n"
    "                  same as JSON. The default command.\n"
    "  explain         the same facts as sentences, for a support call.\n"
    "  unlink <port> [--yes]\n"
    "                  clears the link of one port (COM name or instance ID), so that the\n"
    "                  service can give the port to another printer. Asks first unless --yes.\n"
    "                  Needs administrator rights. Refused while the setup utility (tavsetup)\n"
    "                  runs and while the linked printer is attached.\n"
    "\n"
    "How the Tavportsvc service uses the links (unlink works within these rules):\n"
    "  - It never removes a link itself: a port stays with its printer while the printer is\n"
    "    unplugged or in printer-driver mode, so every printer ever seen keeps a port.\n"
    "  - At each pass (service start, a printer arriving or leaving) it gives each attached\n"
    "    printer without a port the first free port in device order, and creates a port\n"
    "    when none is free. An unlinked port is free from the next pass on.\n"
    "  - A printer whose port was unlinked gets the first free port when it is attached\n"
    "    again, which may have another COM name.\n"
    "  - While the setup utility runs, passes do nothing; closing it restarts the service.\n"
    "\n"
    "\n";

ErrorTextFn TextOf(ToolContext& ctx) {
    return [&ctx](uint32_t code) { return ctx.host.ErrorText(code); };
}

int RunReport(ToolContext& ctx, ToolConsole& console, const CommandLine& command) {
    PortReport report = GatherPortReport(ctx);
    ErrorTextFn errorText = TextOf(ctx);
    if (command.command == Command::kExplain)
        console.Out(FormatExplanation(report, errorText));
    else if (command.json)
        console.Out(FormatJson(report, errorText));
    else
        console.Out(FormatTable(report, errorText));
    for (const ToolError& failure : report.failures)
        console.Err("tavports: " + DescribeError(failure, errorText) + "\n");
    return report.failures.empty() ? kExitOk : kExitFailed;
}

}  // namespace

int RunTavports(const std::vector<std::string>& args, ToolContext& ctx, ToolConsole& console,
                const std::string& version) {
    CommandLine command;
    std::string error;
    if (!ParseCommandLine(args, &command, &error)) {
        console.Err("tavports: " + error + "\n" + kUsage);
        return kExitBadArgument;
    }
    switch (command.command) {
        case Command::kHelp:
            console.Out(std::string(kUsage) + "\n" + kHelp + kToolExitCodeHelp);
            return kExitOk;
        case Command::kVersion:
            console.Out("tavports " + version + "\n");
            return kExitOk;
        case Command::kUnlink:
            return RunUnlink(ctx, console, command);
        case Command::kList:
        case Command::kExplain:
            break;
    }
    return RunReport(ctx, console, command);
}

}  // namespace tav::tavports
