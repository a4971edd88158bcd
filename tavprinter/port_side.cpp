#include "tavprinter/port_side.h"

#include "portlink/core/inf_path.h"
#include "shared/u16.h"
#include "shared/win/files.h"

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
    char16_t inf[win::kMaxPath] = {};
    portsvc::BuildInfPath(m_ports.pass, inf);
    return inf[0] != u'\0' && setup::IsPackageInDriverStore(m_package, inf);
}

}  // namespace tav::tavprinter
