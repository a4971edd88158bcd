#include "portlink/port_report.h"

#include <new>

#include "portlink/core/port_entries.h"
#include "portlink/core/port_link_rules.h"
#include "shared/last_error.h"
#include "shared/u16.h"
#include "shared/win/errors.h"
#include "shared/win/pnp.h"

namespace tav::portlink {
using namespace tav::portsvc;

namespace {

std::string Describe(const char* what, const std::u16string& instanceId) {
    return std::string(what) + " " + (instanceId.empty() ? "a port" : ToUtf8(instanceId));
}

// The link and COM name of one port, read through a key opened for queries only.
void ReadPortKey(ToolContext& ctx, PlatformHandle set, const win::DeviceInterfaceData& data,
                 PortRow& row) {
    uint32_t error = win::kErrorSuccess;
    OwnedRegistryKey key = OpenPortKey(ctx.pass, set, data, win::kKeyQueryValue, &error);
    if (!key) {
        row.problem = {Describe("opening the hardware key of", row.instanceId), error};
        return;
    }
    RegistryApi& registry = *ctx.pass.platform.registry;
    row.comName = ReadPortComName(registry, key.get());
    PortLinkBuffer link;
    uint32_t status = ReadPortLink(registry, key.get(), link);
    key.reset();
    if (status != win::kErrorSuccess) {
        row.problem = {Describe("reading the link of", row.instanceId), status};
        row.badLinkValue = true;
        return;
    }
    row.state = IsFreeLink(link) ? LinkState::kFree : LinkState::kLinked;
    row.printerPath = link;
}

// A device that is not present keeps its hardware key, link and COM name: it is listed, marked
// away. A status that cannot be read leaves the row as present without a problem.
void ReadDeviceStatus(ToolContext& ctx, PlatformHandle set, const win::DevInfoData& devInfo,
                      PortRow& row) {
    uint32_t status = 0;
    uint32_t problem = 0;
    const uint32_t result = ctx.host.GetDevNodeStatus(set, devInfo, &status, &problem);
    if (result == win::kCrNoSuchDevinst)
        row.devicePresent = false;
    else if (result == win::kCrSuccess && (status & win::kDnHasProblem))
        row.problemCode = problem;
}

int AddPortRow(ToolContext& ctx, std::vector<PortRow>& rows, PlatformHandle set,
               const win::DeviceInterfaceData& data) {
    PortRow row;
    win::DevInfoData devInfo;
    if (!ctx.pass.platform.setupDi->GetInterfaceDevInfo(set, data, &devInfo) &&
        GetLastErrorCode() != win::kErrorInsufficientBuffer) {
        row.problem = {"reading the device data of a port", GetLastErrorCode()};
        rows.push_back(row);
        return 1;
    }
    if (!ctx.host.GetDeviceInstanceId(set, devInfo, &row.instanceId)) {
        row.problem = {"reading the instance ID of a port", GetLastErrorCode()};
        rows.push_back(row);
        return 1;
    }
    ReadDeviceStatus(ctx, set, devInfo, row);
    ReadPortKey(ctx, set, data, row);
    rows.push_back(row);
    return 1;
}

// The links in the shape the pass keeps them, so that the same rules answer for both.
void CollectLinks(const std::vector<PortRow>& rows, DeviceEntryList& links) {
    for (const PortRow& row : rows) {
        if (row.state != LinkState::kUnreadable)
            if (!links.AppendDeviceEntry(row.printerPath.c_str(), {}))
                throw std::bad_alloc();
    }
}

}  // namespace

PortReport GatherPortReport(ToolContext& ctx) {
    PortReport report;
    uint32_t error = WalkPorts(ctx.pass, [&](const std::u16string&, PlatformHandle set,
                                             const win::DeviceInterfaceData& data) {
        return AddPortRow(ctx, report.ports, set, data);
    });
    if (error != win::kErrorSuccess)
        report.failures.push_back({"listing the COM port interfaces", error});
    DeviceEntryList printers;
    error = EnumeratePrinters(ctx.pass, printers);
    if (error != win::kErrorSuccess)
        report.failures.push_back({"listing the attached printers", error});
    for (PortRow& row : report.ports) {
        if (row.state == LinkState::kLinked)
            row.printerPresent = IsPrinterPresent(printers, row.printerPath.c_str());
    }
    DeviceEntryList links;
    CollectLinks(report.ports, links);
    for (const DeviceEntry& printer : printers.Entries()) {
        if (!PortLinkedTo(links, printer.text.c_str()))
            report.printersWithoutPort.push_back(
                {printer.text, IsLinkablePrinterPath(printer.text.c_str())});
    }
    return report;
}

std::u16string PortDisplayName(const PortRow& port) {
    if (!port.comName.empty())
        return port.comName;
    if (!port.instanceId.empty())
        return port.instanceId;
    return u"(unnamed port)";
}

}  // namespace tav::portlink
