#include "tavports/report_text.h"

#include <optional>

#include "portlink/core/port_link_rules.h"
#include "shared/tool_options.h"
#include "shared/u16.h"

namespace tav::tavports {
using namespace tav::portsvc;

namespace {

const char* StateName(LinkState state) {
    switch (state) {
        case LinkState::kFree:
            return "free";
        case LinkState::kLinked:
            return "linked";
        case LinkState::kUnreadable:
            break;
    }
    return "unreadable";
}

std::string Padded(const std::string& text, size_t width) {
    return text.size() >= width ? text + " " : text + std::string(width - text.size(), ' ');
}

std::string OrDash(const std::u16string& text) {
    return text.empty() ? "-" : ToUtf8(text);
}

std::string JsonStringOrNull(const std::u16string& text) {
    return text.empty() ? "null" : JsonString(ToUtf8(text));
}

std::string JsonError(const ToolError& error, const ErrorTextFn& errorText) {
    return "{\"code\":" + std::to_string(error.code) +
           ",\"message\":" + JsonString(DescribeError(error, errorText)) + "}";
}

std::string JsonBoolOrNull(std::optional<bool> value) {
    return value ? (*value ? "true" : "false") : "null";
}

std::string JsonTextOrNull(const std::string& text) {
    return text.empty() ? "null" : JsonString(text);
}

std::string JsonPort(const PortRow& port, const ErrorTextFn& errorText) {
    bool linked = port.state == LinkState::kLinked;
    return "{\"instanceId\":" + JsonStringOrNull(port.instanceId) +
           ",\"comName\":" + JsonStringOrNull(port.comName) + ",\"state\":\"" +
           StateName(port.state) +
           "\",\"devicePresent\":" + (port.devicePresent ? "true" : "false") +
           ",\"problemCode\":" + (port.problemCode ? std::to_string(port.problemCode) : "null") +
           ",\"printer\":" + (linked ? JsonString(ToUtf8(port.printerPath)) : "null") +
           ",\"serial\":" +
           (linked ? JsonStringOrNull(PrinterSerialFromPath(port.printerPath)) : "null") +
           ",\"printerPresent\":" +
           JsonBoolOrNull(linked ? std::optional<bool>(port.printerPresent) : std::nullopt) +
           ",\"error\":" +
           (port.state == LinkState::kUnreadable ? JsonError(port.problem, errorText) : "null") +
           "}";
}

std::string JsonService(const Inventory& inventory) {
    return "{\"name\":\"Tavportsvc\",\"installed\":" +
           std::string(inventory.serviceInstalled ? "true" : "false") +
           ",\"state\":" + JsonTextOrNull(inventory.serviceState) +
           ",\"version\":" + JsonTextOrNull(inventory.serviceVersion) + "}";
}

// Notes under the table for ports that are away or have a problem.
std::string DeviceNotes(const PortReport& report) {
    std::string out;
    for (const PortRow& port : report.ports) {
        if (!port.devicePresent)
            out += "  " + ToUtf8(PortDisplayName(port)) +
                   ": device away (not present now); it keeps its link and COM name\n";
        else if (port.problemCode)
            out += "  " + ToUtf8(PortDisplayName(port)) + ": device problem code " +
                   std::to_string(port.problemCode) + "\n";
    }
    return out;
}

std::string InventoryLines(const Inventory& inventory) {
    std::string service = inventory.serviceInstalled ? inventory.serviceState : "not installed";
    if (!inventory.serviceVersion.empty())
        service += ", version " + inventory.serviceVersion;
    std::string driver = !inventory.portDriverInstalled   ? "unknown"
                         : *inventory.portDriverInstalled ? "yes"
                                                          : "no";
    return "Host " + (inventory.host.empty() ? std::string("(unknown)") : inventory.host) + ", " +
           inventory.time + ", tavports " + inventory.toolVersion +
           "\nService Tavportsvc: " + service + "; port driver installed: " + driver + "\n\n";
}

std::string PortSentence(const PortRow& port, const ErrorTextFn& errorText) {
    std::string name = ToUtf8(PortDisplayName(port));
    switch (port.state) {
        case LinkState::kFree:
            return name +
                   " is free: the service gives it to the next attached printer that has "
                   "no port.";
        case LinkState::kLinked:
            return name + " is linked to " + PrinterPhrase(port.printerPath) + ", which is " +
                   (port.printerPresent ? "attached now." : "not attached now.") +
                   (port.devicePresent ? "" : " The port's device is away (not present now).");
        case LinkState::kUnreadable:
            break;
    }
    return name + " cannot be read (" + DescribeError(port.problem, errorText) +
           "); the service leaves it out and never gives it to a printer.";
}

std::string PrinterSentence(const PrinterRow& printer) {
    std::string phrase = PrinterPhrase(printer.path);
    phrase[0] = 'T';
    if (!printer.linkable)
        return phrase +
               " is attached, but its device path is too long to be stored as a link; "
               "the service never links it.";
    return phrase +
           " is attached in virtual-serial mode and has no port yet; the service "
           "links it at its next pass (service start or a printer arriving), unless "
           "the setup utility is running.";
}

}  // namespace

std::string DescribeError(const ToolError& error, const ErrorTextFn& errorText) {
    return error.what + " failed: " + errorText(error.code) + " (error " +
           std::to_string(error.code) + ")";
}

std::string PrinterPhrase(const std::u16string& printerPath) {
    std::u16string serial = PrinterSerialFromPath(printerPath);
    if (serial.empty())
        return "the printer at " + ToUtf8(printerPath);
    return "the printer with serial " + ToUtf8(serial);
}

std::string FormatTable(const PortReport& report, const Inventory& inventory,
                        const ErrorTextFn& errorText) {
    std::string out = InventoryLines(inventory) + Padded("INSTANCE ID", 20) + Padded("COM", 8) +
                      Padded("STATE", 12) + Padded("PRESENT", 9) + "PRINTER\n";
    for (const PortRow& port : report.ports) {
        bool linked = port.state == LinkState::kLinked;
        out += Padded(OrDash(port.instanceId), 20) + Padded(OrDash(port.comName), 8) +
               Padded(StateName(port.state), 12) +
               Padded(linked ? (port.printerPresent ? "yes" : "no") : "-", 9) +
               (linked ? ToUtf8(port.printerPath) : "-") + "\n";
    }
    if (report.ports.empty())
        out += "(no ports of the port driver)\n";
    for (const PortRow& port : report.ports) {
        if (port.state == LinkState::kUnreadable)
            out += "  " + ToUtf8(PortDisplayName(port)) + ": " +
                   DescribeError(port.problem, errorText) + "\n";
    }
    out += DeviceNotes(report);
    out += "\nPrinters in virtual-serial mode without a port:\n";
    for (const PrinterRow& printer : report.printersWithoutPort)
        out += "  " + ToUtf8(printer.path) + (printer.linkable ? "" : "  (path too long to link)") +
               "\n";
    if (report.printersWithoutPort.empty())
        out += "  (none)\n";
    return out;
}

std::string FormatJson(const PortReport& report, const Inventory& inventory,
                       const ErrorTextFn& errorText) {
    std::string out = "{\"schema\":1,\"host\":" + JsonTextOrNull(inventory.host) +
                      ",\"time\":" + JsonString(inventory.time) +
                      ",\"toolVersion\":" + JsonString(inventory.toolVersion) +
                      ",\"service\":" + JsonService(inventory) +
                      ",\"portDriverInstalled\":" + JsonBoolOrNull(inventory.portDriverInstalled) +
                      ",\"ports\":[";
    for (size_t i = 0; i < report.ports.size(); ++i)
        out += (i ? "," : "") + JsonPort(report.ports[i], errorText);
    out += "],\"printersWithoutPort\":[";
    for (size_t i = 0; i < report.printersWithoutPort.size(); ++i) {
        const PrinterRow& printer = report.printersWithoutPort[i];
        out += std::string(i ? "," : "") + "{\"printer\":" + JsonString(ToUtf8(printer.path)) +
               ",\"serial\":" + JsonStringOrNull(PrinterSerialFromPath(printer.path)) +
               ",\"linkable\":" + (printer.linkable ? "true" : "false") + "}";
    }
    out += "],\"errors\":[";
    std::vector<ToolError> failures = inventory.failures;
    failures.insert(failures.end(), report.failures.begin(), report.failures.end());
    for (size_t i = 0; i < failures.size(); ++i)
        out += (i ? "," : "") + JsonError(failures[i], errorText);
    return out + "]}\n";
}

std::string FormatExplanation(const PortReport& report, const ErrorTextFn& errorText) {
    std::string out;
    bool keptForAbsent = false;
    for (const PortRow& port : report.ports) {
        out += PortSentence(port, errorText) + "\n";
        keptForAbsent = keptForAbsent || (port.state == LinkState::kLinked && !port.printerPresent);
    }
    if (report.ports.empty())
        out +=
            "There are no COM ports of the port driver yet; the service creates one for each "
            "printer it links.\n";
    if (keptForAbsent)
        out +=
            "A port keeps its printer while the printer is unplugged or in printer-driver "
            "mode, so that the printer finds the same COM port when it returns; every "
            "printer ever seen keeps a port of its own. 'tavports unlink' frees one.\n";
    for (const PrinterRow& printer : report.printersWithoutPort)
        out += PrinterSentence(printer) + "\n";
    return out;
}

}  // namespace tav::tavports
