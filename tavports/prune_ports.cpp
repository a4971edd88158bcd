#include "tavports/prune_ports.h"

#include "shared/u16.h"
#include "tavports/link_change.h"

namespace tav::tavports {

namespace {

bool Stale(const PortRow& port) {
    return port.state == LinkState::kLinked && !port.printerPresent;
}

std::vector<PortRow> StalePorts(const PortReport& report) {
    std::vector<PortRow> stale;
    for (const PortRow& port : report.ports)
        if (Stale(port))
            stale.push_back(port);
    return stale;
}

std::string Lines(const std::vector<PortRow>& ports) {
    std::string out;
    for (const PortRow& port : ports)
        out += "  " + ToUtf8(PortDisplayName(port)) + "  linked to " +
               PrinterPhrase(port.printerPath) + "\n";
    return out;
}

// The port as it is now, if it is still linked to the same absent printer.
bool StillStale(const PortReport& now, const PortRow& port) {
    for (const PortRow& row : now.ports)
        if (row.instanceId == port.instanceId)
            return Stale(row) && row.printerPath == port.printerPath;
    return false;
}

int FreePorts(ToolContext& ctx, ToolConsole& console, const std::vector<PortRow>& stale) {
    PortReport now = GatherPortReport(ctx);
    if (!now.failures.empty())
        return WriteFailed(ctx, console, now.failures.front().what, now.failures.front().code,
                           "prune");
    int result = kToolExitOk;
    for (const PortRow& port : stale) {
        const std::string name = ToUtf8(PortDisplayName(port));
        if (!StillStale(now, port)) {
            console.Out(name + " changed meanwhile; left as it is.\n");
            continue;
        }
        uint32_t error = WriteLinkOfPort(ctx, port.instanceId, u"");
        if (error != win::kErrorSuccess) {
            result = WriteFailed(ctx, console, "clearing the link of " + name, error, "prune");
            continue;
        }
        console.Out("Freed " + name + " (was " + PrinterPhrase(port.printerPath) + ").\n");
    }
    return result;
}

}  // namespace

int RunPrune(ToolContext& ctx, ToolConsole& console, const CommandLine& command) {
    if (!command.whatIf)
        if (int refused = CheckMayChangeLinks(ctx, console, "prune"); refused != kToolExitOk)
            return refused;
    PortReport report = GatherPortReport(ctx);
    if (!report.failures.empty())
        return WriteFailed(ctx, console, report.failures.front().what, report.failures.front().code,
                           "prune");
    std::vector<PortRow> stale = StalePorts(report);
    if (stale.empty()) {
        console.Out("No port is linked to a printer that is not attached; nothing to free.\n");
        return kToolExitOk;
    }
    if (command.whatIf) {
        console.Out("prune would free these ports:\n" + Lines(stale));
        return kToolExitOk;
    }
    if (!command.yes) {
        console.Out("These ports are linked to printers that are not attached:\n" + Lines(stale));
        if (!AskYes(console, "Free them? The service may then give them to other printers.")) {
            console.Out("Nothing changed.\n");
            return kToolExitCancelled;
        }
    }
    UtilityMutexHold hold(ctx);
    if (int taken = TakeHoldOrFail(hold, ctx, console); taken != kToolExitOk)
        return taken;
    return FreePorts(ctx, console, stale);
}

}  // namespace tav::tavports
