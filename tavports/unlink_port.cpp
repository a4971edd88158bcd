#include "tavports/unlink_port.h"

#include "portlink/core/port_entries.h"
#include "portlink/core/port_link_rules.h"
#include "portlink/core/port_link_writer.h"
#include "shared/last_error.h"
#include "shared/u16.h"
#include "shared/win/errors.h"
#include "tavports/link_change.h"

namespace tav::tavports {
using namespace tav::portsvc;

namespace {

ErrorTextFn TextOf(ToolContext& ctx) {
    return [&ctx](uint32_t code) { return ctx.host.ErrorText(code); };
}

bool Confirmed(ToolConsole& console, const PortRow& port) {
    std::string name = ToUtf8(PortDisplayName(port));
    std::string whose = port.state == LinkState::kLinked ? " to " + PrinterPhrase(port.printerPath)
                                                         : " (unreadable)";
    return AskYes(console, "Clear the link of " + name + whose + "? The service may then give " +
                               name + " to another printer.");
}

// Why the link may no longer be cleared, or empty when it still may: the link changed or
// its printer came back while the question was open. A bad link value is cleared as it is.
std::string ChangedMeanwhile(ToolContext& ctx, PlatformHandle key, const PortRow& port) {
    if (port.badLinkValue)
        return {};
    RegistryApi& registry = *ctx.pass.platform.registry;
    PortLinkBuffer link;
    uint32_t status = ReadPortLink(registry, key, link);
    if (status != win::kErrorSuccess || !LinksTo(link, port.printerPath.c_str()))
        return "the link of " + ToUtf8(PortDisplayName(port)) +
               " changed meanwhile; nothing changed. Run 'tavports list' again";
    DeviceEntryList printers;
    uint32_t error = EnumeratePrinters(ctx.pass, printers);
    if (error != win::kErrorSuccess)
        return DescribeError({"listing the attached printers", error}, TextOf(ctx));
    if (IsPrinterPresent(printers, link))
        return PrinterPhrase(port.printerPath) + " was attached meanwhile; nothing changed";
    return {};
}

// Checks again right before the write (a confirmation can take long) and clears the link
// by writing the empty text, which every pass reads as a free port.
int ClearLink(ToolContext& ctx, ToolConsole& console, const PortRow& port) {
    std::string name = ToUtf8(PortDisplayName(port));
    UtilityMutexHold hold(ctx);
    if (int taken = TakeHoldOrFail(hold, ctx, console); taken != kExitOk)
        return taken;
    uint32_t error = win::kErrorSuccess;
    OwnedRegistryKey key = OpenPortForWrite(ctx, port.instanceId, &error);
    if (!key)
        return WriteFailed(ctx, console, "opening the hardware key of " + name, error, "unlink");
    std::string changed = ChangedMeanwhile(ctx, key.get(), port);
    if (!changed.empty()) {
        Fail(console, changed);
        return kExitFailed;
    }
    uint32_t status = WritePortLink(ctx.pass, key.get(), u"");
    key.reset();
    if (status != win::kErrorSuccess)
        return WriteFailed(ctx, console, "clearing the link of " + name, status, "unlink");
    console.Out("Cleared the link of " + name + ". The service gives " + name +
                " to the next attached printer that has no port.\n");
    return kExitOk;
}

// Why this port's link may not be cleared, or empty when it may.
std::string Refusal(const PortRow& port, const ErrorTextFn& errorText) {
    if (port.state == LinkState::kUnreadable && !port.badLinkValue)
        return DescribeError(port.problem, errorText);
    if (port.state == LinkState::kLinked && port.printerPresent)
        return ToUtf8(PortDisplayName(port)) + " belongs to " + PrinterPhrase(port.printerPath) +
               ", which is attached now: the service would link it again at once. Unplug the "
               "printer or switch it to printer-driver mode first";
    return {};
}

}  // namespace

std::vector<const PortRow*> FindPorts(const PortReport& report, const std::string& target) {
    std::u16string word = FromUtf8(target);
    std::vector<const PortRow*> found;
    for (const PortRow& port : report.ports) {
        if ((!port.comName.empty() && EqualsNoCase(port.comName, word)) ||
            (!port.instanceId.empty() && EqualsNoCase(port.instanceId, word)))
            found.push_back(&port);
    }
    return found;
}

int RunUnlink(ToolContext& ctx, ToolConsole& console, const CommandLine& command) {
    if (int refused = CheckMayChangeLinks(ctx, console, "unlink"); refused != kExitOk)
        return refused;
    PortReport report = GatherPortReport(ctx);
    if (!report.failures.empty()) {
        Fail(console, DescribeError(report.failures.front(), TextOf(ctx)));
        return kExitFailed;
    }
    std::vector<const PortRow*> found = FindPorts(report, command.target);
    if (found.size() != 1) {
        Fail(console, found.empty() ? "no port is named '" + command.target +
                                          "'; 'tavports list' shows the ports"
                                    : "several ports are named '" + command.target +
                                          "'; give the instance ID instead");
        return found.empty() ? kToolExitNoMatch : kToolExitSeveralMatches;
    }
    const PortRow& port = *found[0];
    if (port.state == LinkState::kFree) {
        console.Out(ToUtf8(PortDisplayName(port)) + " is free already; nothing to do.\n");
        return kExitOk;
    }
    std::string refusal = Refusal(port, TextOf(ctx));
    if (!refusal.empty()) {
        Fail(console, refusal);
        return kExitFailed;
    }
    if (!command.yes && !Confirmed(console, port)) {
        console.Out("Nothing changed.\n");
        return kToolExitCancelled;
    }
    return ClearLink(ctx, console, port);
}

}  // namespace tav::tavports
