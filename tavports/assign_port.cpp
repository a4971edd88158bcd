#include "tavports/assign_port.h"

#include "portlink/core/port_link_rules.h"
#include "shared/u16.h"
#include "tavports/link_change.h"
#include "tavports/printer_choice.h"
#include "tavports/unlink_port.h"

namespace tav::tavports {
using namespace tav::portsvc;

namespace {

// What assign changes: the target port's link, and the printer's other ports, which it frees.
struct AssignPlan {
    PortRow target;
    KnownPrinter printer;
    std::vector<PortRow> previous;  // the printer's ports other than the target
    bool alreadySo = false;
};

bool SamePlan(const AssignPlan& a, const AssignPlan& b) {
    if (a.target.instanceId != b.target.instanceId || a.target.state != b.target.state ||
        a.target.printerPath != b.target.printerPath ||
        a.target.printerPresent != b.target.printerPresent || a.printer.path != b.printer.path ||
        a.previous.size() != b.previous.size())
        return false;
    for (size_t i = 0; i < a.previous.size(); ++i)
        if (a.previous[i].instanceId != b.previous[i].instanceId)
            return false;
    return true;
}

std::string Name(const PortRow& port) {
    return ToUtf8(PortDisplayName(port));
}

// The one port and the one printer the command names, or the exit code of a refusal.
int FindBoth(const PortReport& report, ToolConsole& console, const CommandLine& command,
             AssignPlan* plan) {
    std::vector<const PortRow*> ports = FindPorts(report, command.target);
    if (ports.size() != 1) {
        Fail(console, ports.empty() ? "'" + command.target +
                                          "' is not one of the port driver's ports; 'tavports "
                                          "list' shows them"
                                    : "several ports are named '" + command.target +
                                          "'; give the instance ID instead");
        return ports.empty() ? kToolExitNoMatch : kToolExitSeveralMatches;
    }
    std::vector<KnownPrinter> printers =
        SelectKnownPrinters(KnownPrinters(report), command.printer);
    if (printers.size() != 1) {
        Fail(console, printers.empty()
                          ? "no attached or linked printer matches '" + command.printer + "'"
                          : "several printers match '" + command.printer +
                                "'; give the instance ID instead");
        return printers.empty() ? kToolExitNoMatch : kToolExitSeveralMatches;
    }
    plan->target = *ports[0];
    plan->printer = printers[0];
    return kToolExitOk;
}

// The plan for the named port and printer, or the exit code of a refusal (written).
int Plan(ToolContext& ctx, const PortReport& report, ToolConsole& console,
         const CommandLine& command, AssignPlan* plan) {
    *plan = AssignPlan{};
    if (int found = FindBoth(report, console, command, plan); found != kToolExitOk)
        return found;
    const PortRow& target = plan->target;
    if (target.state == LinkState::kUnreadable && !target.badLinkValue) {
        Fail(console, DescribeError(target.problem,
                                    [&ctx](uint32_t code) { return ctx.host.ErrorText(code); }));
        return kToolExitFailed;
    }
    const bool linkedHere = target.state == LinkState::kLinked &&
                            LinksTo(target.printerPath.c_str(), plan->printer.path.c_str());
    if (target.state == LinkState::kLinked && target.printerPresent && !linkedHere) {
        Fail(console, Name(target) + " belongs to " + PrinterPhrase(target.printerPath) +
                          ", which is attached now: the service would miss its port. Unplug "
                          "that printer or switch it to printer-driver mode first");
        return kToolExitFailed;
    }
    if (!IsLinkablePrinterPath(plan->printer.path.c_str())) {
        Fail(console, PrinterPhrase(plan->printer.path) +
                          " has a device path too long to be stored as a link");
        return kToolExitFailed;
    }
    for (const PortRow& port : plan->printer.ports)
        if (port.instanceId != target.instanceId)
            plan->previous.push_back(port);
    plan->alreadySo = linkedHere && plan->previous.empty();
    return kToolExitOk;
}

std::string Question(const AssignPlan& plan) {
    const std::string name = Name(plan.target);
    std::string text = "Give " + name + " to " + PrinterPhrase(plan.printer.path) + "?";
    if (plan.target.state == LinkState::kLinked)
        text += " " + name + " is linked now to " + PrinterPhrase(plan.target.printerPath) +
                ", which is not attached.";
    for (const PortRow& port : plan.previous)
        text += " " + Name(port) + ", its port now, becomes free.";
    return text;
}

// Writes the new link first, so that the printer keeps a port whatever fails after it.
int Apply(ToolContext& ctx, ToolConsole& console, const AssignPlan& plan) {
    const std::string name = Name(plan.target);
    uint32_t error = WriteLinkOfPort(ctx, plan.target.instanceId, plan.printer.path.c_str());
    if (error != win::kErrorSuccess)
        return WriteFailed(ctx, console, "writing the link of " + name, error, "assign");
    std::string freed;
    for (const PortRow& port : plan.previous) {
        error = WriteLinkOfPort(ctx, port.instanceId, u"");
        if (error != win::kErrorSuccess) {
            console.Out(name + " is linked to " + PrinterPhrase(plan.printer.path) + ".\n");
            return WriteFailed(ctx, console, "clearing the link of " + Name(port), error, "assign");
        }
        freed += " " + Name(port) +
                 " is free: the service gives it to the next attached "
                 "printer that has no port.";
    }
    console.Out(name + " is now linked to " + PrinterPhrase(plan.printer.path) + "." + freed +
                (plan.printer.present
                     ? ""
                     : " The printer is not attached now; it finds " + name + " when it returns.") +
                "\n");
    return kToolExitOk;
}

}  // namespace

int RunAssign(ToolContext& ctx, ToolConsole& console, const CommandLine& command) {
    if (int refused = CheckMayChangeLinks(ctx, console, "assign"); refused != kToolExitOk)
        return refused;
    PortReport report = GatherPortReport(ctx);
    if (!report.failures.empty())
        return WriteFailed(ctx, console, report.failures.front().what, report.failures.front().code,
                           "assign");
    AssignPlan plan;
    if (int planned = Plan(ctx, report, console, command, &plan); planned != kToolExitOk)
        return planned;
    if (plan.alreadySo) {
        console.Out(Name(plan.target) + " is linked to " + PrinterPhrase(plan.printer.path) +
                    " already; nothing to do.\n");
        return kToolExitOk;
    }
    if (!command.yes && !AskYes(console, Question(plan))) {
        console.Out("Nothing changed.\n");
        return kToolExitCancelled;
    }
    UtilityMutexHold hold(ctx);
    if (int taken = TakeHoldOrFail(hold, ctx, console); taken != kToolExitOk)
        return taken;
    // Read again under the hold: a printer may have come or gone while the question was open.
    report = GatherPortReport(ctx);
    if (!report.failures.empty())
        return WriteFailed(ctx, console, report.failures.front().what, report.failures.front().code,
                           "assign");
    AssignPlan now;
    if (int planned = Plan(ctx, report, console, command, &now); planned != kToolExitOk)
        return planned;
    if (!SamePlan(plan, now)) {
        Fail(console,
             "the ports or printers changed meanwhile; nothing changed. Run 'tavports "
             "list' again");
        return kToolExitFailed;
    }
    return Apply(ctx, console, plan);
}

}  // namespace tav::tavports
