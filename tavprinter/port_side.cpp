#include "tavprinter/port_side.h"

#include "portlink/port_driver_check.h"
#include "shared/u16.h"

namespace tav::tavprinter {

std::optional<std::u16string> ReportPortSide::LinkedComPort(const std::u16string& printerPath) {
    const portlink::PortReport report = portlink::GatherPortReport(m_ports);
    for (const portlink::PortRow& port : report.ports)
        if (port.state == portlink::LinkState::kLinked &&
            EqualsNoCase(port.printerPath, printerPath))
            return portlink::PortDisplayName(port);
    return std::nullopt;
}

bool ReportPortSide::PortDriverInstalled() {
    return portlink::PortDriverInstalled(m_ports.pass, m_package);
}

}  // namespace tav::tavprinter
