#include "tavports/unlink_port.h"

#include "portlink/core/port_entries.h"
#include "portlink/core/port_link_rules.h"
#include "portlink/core/port_link_writer.h"
#include "portlink/core/utility_probe.h"
#include "shared/last_error.h"
#include "shared/u16.h"
#include "shared/win/errors.h"

namespace tav::tavports {
using namespace tav::portsvc;

namespace {

bool SameNoCase(const std::u16string& a, const std::u16string& b) {
    return a.size() == b.size() && StartsWithNoCase(a, b);
}

ErrorTextFn TextOf(ToolContext& ctx) {
    return [&ctx](uint32_t code) { return ctx.host.ErrorText(code); };
}

void Fail(ToolConsole& console, const std::string& message) {
    console.Err("tavports: " + message + "\n");
}

const char* const kNoRights =
    "unlink needs administrator rights: run it from an elevated command prompt "
    "(Run as administrator)";
const char* const kUtilityRuns =
    "the setup utility (tavsetup) is running: close it first. While it runs the service "
    "links no ports, and the printer may be changing mode";

bool Confirmed(ToolConsole& console, const PortRow& port) {
    std::string name = ToUtf8(PortDisplayName(port));
    std::string whose = port.state == LinkState::kLinked ? " to " + PrinterPhrase(port.printerPath)
                                                         : " (unreadable)";
    console.Out("Clear the link of " + name + whose + "? The service may then give " + name +
                " to another printer. [y/N] ");
    std::string answer;
    if (!console.ReadLine(&answer))
        return false;
    return answer == "y" || answer == "Y" || answer == "yes" || answer == "YES" || answer == "Yes";
}

// The hardware key of the port with this instance ID, opened as the service opens it.
OwnedRegistryKey OpenPortForWrite(ToolContext& ctx, const std::u16string& instanceId,
                                  uint32_t* error) {
    OwnedRegistryKey key;
    *error = win::kErrorFileNotFound;
    uint32_t walkError = WalkPorts(ctx.pass, [&](const std::u16string&, PlatformHandle set,
                                                 const win::DeviceInterfaceData& data) {
        win::DevInfoData devInfo;
        std::u16string id;
        if (!ctx.pass.platform.setupDi->GetInterfaceDevInfo(set, data, &devInfo) &&
            GetLastErrorCode() != win::kErrorInsufficientBuffer)
            return 1;
        if (!ctx.host.GetDeviceInstanceId(set, devInfo, &id) || !SameNoCase(id, instanceId))
            return 1;
        key = OpenPortKey(ctx.pass, set, data, kPortKeyAccess, error);
        return 0;
    });
    if (!key && walkError != win::kErrorSuccess)
        *error = walkError;
    return key;
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
    if (SetupUtilityRunning(ctx.pass)) {
        Fail(console, kUtilityRuns);
        return kToolExitBusy;
    }
    uint32_t error = win::kErrorSuccess;
    OwnedRegistryKey key = OpenPortForWrite(ctx, port.instanceId, &error);
    if (!key) {
        if (error == win::kErrorAccessDenied) {
            Fail(console, kNoRights);
            return kToolExitNeedsAdmin;
        }
        Fail(console, DescribeError({"opening the hardware key of " + name, error}, TextOf(ctx)));
        return kExitFailed;
    }
    std::string changed = ChangedMeanwhile(ctx, key.get(), port);
    if (!changed.empty()) {
        Fail(console, changed);
        return kExitFailed;
    }
    uint32_t status = WritePortLink(ctx.pass, key.get(), u"");
    key.reset();
    if (status == win::kErrorAccessDenied) {
        Fail(console, kNoRights);
        return kToolExitNeedsAdmin;
    }
    if (status != win::kErrorSuccess) {
        Fail(console, DescribeError({"clearing the link of " + name, status}, TextOf(ctx)));
        return kExitFailed;
    }
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
        if ((!port.comName.empty() && SameNoCase(port.comName, word)) ||
            (!port.instanceId.empty() && SameNoCase(port.instanceId, word)))
            found.push_back(&port);
    }
    return found;
}

int RunUnlink(ToolContext& ctx, ToolConsole& console, const CommandLine& command) {
    if (!ctx.host.IsAdministrator()) {
        Fail(console, kNoRights);
        return kToolExitNeedsAdmin;
    }
    if (SetupUtilityRunning(ctx.pass)) {
        Fail(console, kUtilityRuns);
        return kToolExitBusy;
    }
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
