#include "tavports/tavports_app.h"

#include "portlink/report_output.h"
#include "tavports/assign_port.h"
#include "tavports/command_line.h"
#include "tavports/prune_ports.h"
#include "tavports/report_text.h"
#include "tavports/unlink_port.h"

namespace tav::tavports {

namespace {

const char kUsage[] =
    "usage: tavports [list [--json] [--output FILE] | explain [--output FILE]]\n"
    "       tavports unlink <COM name | instance ID> [--yes]\n"
    "       tavports assign <COM name | instance ID> --printer <printer> [--yes]\n"
    "       tavports prune [--what-if] [--yes]\n"
    "       tavports --help | --version\n";

const char kHelp[] =
    "Shows which COM port of the TAV port driver each printer in virtual-serial mode has.\n"
    "\n"
    "  list [--json]   the host, the time, the service's state and version and whether the\n"
    "                  port driver is installed; then one row per port, present or away:\n"
    "                  instance ID, COM name, state (free / linked), the linked printer's\n"
    "                  device path and whether that printer is attached now, and a note for a\n"
    "                  port whose device is away or has a problem code; then the attached\n"
    "                  printers that have no port yet. --json prints the same as JSON\n"
    "                  (\"schema\": 1). The default command.\n"
    "  explain         the same facts as sentences, for a support call.\n"
    "  --output FILE   (list, explain) writes the report to FILE in UTF-8 instead of the\n"
    "                  console, e.g. when run as SYSTEM.\n"
    "  unlink <port> [--yes]\n"
    "                  clears the link of one port (COM name or instance ID), so that the\n"
    "                  service can give the port to another printer.\n"
    "  assign <port> --printer <printer> [--yes]\n"
    "                  links the port to the printer, e.g. COM5 to the printer that replaced\n"
    "                  the one COM5 was linked to; the printer's previous port becomes free.\n"
    "                  <printer>: its instance ID, its serial number (iSerialNumber, as in its\n"
    "                  instance ID) or the COM name of its port now. Refused while the port's\n"
    "                  printer is attached.\n"
    "  prune [--what-if] [--yes]\n"
    "                  frees every port linked to a printer that is not attached, and lists\n"
    "                  them. --what-if only lists them.\n"
    "unlink, assign and prune ask first unless --yes, need administrator rights, are refused\n"
    "while the setup utility (tavsetup) runs, and hold its mutex while they write, so that no\n"
    "service pass runs in between.\n"
    "\n"
    "How the Tavportsvc service uses the links (the commands work within these rules):\n"
    "  - It never removes a link itself: a port stays with its printer while the printer is\n"
    "    unplugged or in printer-driver mode, so every printer ever seen keeps a port.\n"
    "  - At each pass (service start, a printer arriving or leaving) it gives each attached\n"
    "    printer without a port the first free port in device order, and creates a port\n"
    "    when none is free. A port that is freed is free from the next pass on; a printer\n"
    "    that has a port keeps it.\n"
    "  - A printer whose port was unlinked gets the first free port when it is attached\n"
    "    again, which may have another COM name.\n"
    "  - While the setup utility runs, passes do nothing; closing it restarts the service.\n"
    "\n"
    "\n";

ErrorTextFn TextOf(ToolContext& ctx) {
    return [&ctx](uint32_t code) { return ctx.host.ErrorText(code); };
}

int RunReport(ToolContext& ctx, ToolConsole& console, const CommandLine& command,
              setup::DriverPackagePlatform* package, const std::string& version) {
    PortReport report = GatherPortReport(ctx);
    Inventory inventory = GatherInventory(ctx, package, version);
    ErrorTextFn errorText = TextOf(ctx);
    std::string text;
    if (command.command == Command::kExplain)
        text = FormatExplanation(report, errorText);
    else if (command.json)
        text = FormatJson(report, inventory, errorText);
    else
        text = FormatTable(report, inventory, errorText);
    if (uint32_t error = portlink::DeliverReport(ctx.host, console, command.outputFile, text)) {
        console.Err("tavports: " +
                    DescribeError({"writing " + command.outputFile, error}, errorText) + "\n");
        return kExitFailed;
    }
    // Failures of the service query are in the report; only the ports' make the run fail.
    for (const ToolError& failure : report.failures)
        console.Err("tavports: " + DescribeError(failure, errorText) + "\n");
    return report.failures.empty() ? kExitOk : kExitFailed;
}

}  // namespace

int RunTavports(const std::vector<std::string>& args, ToolContext& ctx, ToolConsole& console,
                const std::string& version, setup::DriverPackagePlatform* package) {
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
        case Command::kAssign:
            return RunAssign(ctx, console, command);
        case Command::kPrune:
            return RunPrune(ctx, console, command);
        case Command::kList:
        case Command::kExplain:
            break;
    }
    return RunReport(ctx, console, command, package, version);
}

}  // namespace tav::tavports
