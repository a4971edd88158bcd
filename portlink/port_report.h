#pragma once
// The port report of the administrator's consoles (tavports shows it, tavprinter takes a
// printer's COM port from it): every root-enumerated port, present or away (instance ID, COM
// name, link, whether its printer is attached, the device's problem code) and the attached
// printers that have no port yet. Read-only: keys
// are opened for querying values only.

#include <string>
#include <vector>

#include "portlink/core/interface_walk.h"
#include "portlink/tool_host_api.h"

namespace tav::portlink {

enum class LinkState { kFree, kLinked, kUnreadable };

// A failed call: what was being done and the Win32 error.
struct ToolError {
    std::string what;
    uint32_t code = 0;
};

struct PortRow {
    std::u16string instanceId;  // empty when it could not be read
    std::u16string comName;     // "PortName"; empty when the port has none
    LinkState state = LinkState::kUnreadable;
    std::u16string printerPath;  // the link, when linked
    bool printerPresent = false;
    bool devicePresent = true;  // false: the port's device is away (CR_NO_SUCH_DEVINST)
    uint32_t problemCode = 0;   // CM_PROB_* of a present device that has a problem
    ToolError problem;          // why the state is kUnreadable
    bool badLinkValue = false;  // unreadable because of the link value itself
};

struct PrinterRow {
    std::u16string path;
    bool linkable = true;  // the path fits a link (see portsvc::IsLinkablePrinterPath)
};

struct PortReport {
    std::vector<PortRow> ports;
    std::vector<PrinterRow> printersWithoutPort;
    // An enumeration that ended early: the report is incomplete.
    std::vector<ToolError> failures;
};

// The context of one console run.
struct ToolContext {
    portsvc::PassContext pass;
    ToolHostApi& host;
};

PortReport GatherPortReport(ToolContext& ctx);

// The port's name for people: its COM name, else its instance ID.
std::u16string PortDisplayName(const PortRow& port);

}  // namespace tav::portlink
