#include "tavports/report_text.h"

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

std::string JsonPort(const PortRow& port, const ErrorTextFn& errorText) {
    bool linked = port.state == LinkState::kLinked;
    std::string out =
        "{\"instanceId\":" + JsonStringOrNull(port.instanceId) +
        ",\"comName\":" + JsonStringOrNull(port.comName) + ",\"state\":\"" + StateName(port.state) +
        "\",\"printer\":" + (linked ? JsonString(ToUtf8(port.printerPath)) : "null") +
        ",\"serial\":" +
        (linked ? JsonStringOrNull(PrinterSerialFromPath(port.printerPath)) : "null") +
        ",\"printerPresent\":" + (linked && port.printerPresent ? "true" : "false");
    if (port.state == LinkState::kUnreadable)
        out += ",\"error\":" + JsonString(DescribeError(port.problem, errorText));
    return out + "}";
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
                   (port.printerPresent ? "attached now." : "not attached now.");
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

std::string FormatTable(const PortReport& report, const ErrorTextFn& errorText) {
    std::string out = Padded("INSTANCE ID", 20) + Padded("COM", 8) + Padded("STATE", 12) +
                      Padded("PRESENT", 9) + "PRINTER\n";
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
    out += "\nPrinters in virtual-serial mode without a port:\n";
    for (const PrinterRow& printer : report.printersWithoutPort)
        out += "  " + ToUtf8(printer.path) + (printer.linkable ? "" : "  (path too long to link)") +
               "\n";
    if (report.printersWithoutPort.empty())
        out += "  (none)\n";
    return out;
}

std::string FormatJson(const PortReport& report, const ErrorTextFn& errorText) {
    std::string out = "{\"ports\":[";
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
    for (size_t i = 0; i < report.failures.size(); ++i)
        out += (i ? "," : "") + JsonString(DescribeError(report.failures[i], errorText));
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
