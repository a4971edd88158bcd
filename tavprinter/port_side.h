#pragma once
// tavprinter's port side over the port link core's platform: a printer's COM port from the
// consoles' port report (the rules tavports shows), and the port driver check on the INF the
// service installs ports from.

#include <optional>
#include <string>

#include "portlink/port_report.h"
#include "printer/settings/driver_package.h"
#include "tavprinter/tool_platform.h"

namespace tav::tavprinter {

class ReportPortSide : public PortSide {
  public:
    ReportPortSide(portlink::ToolContext& ports, setup::DriverPackagePlatform& package)
        : m_ports(ports), m_package(package) {}

    std::optional<std::u16string> LinkedComPort(const std::u16string& printerPath) override;
    bool PortDriverInstalled() override;

  private:
    portlink::ToolContext& m_ports;
    setup::DriverPackagePlatform& m_package;
};

}  // namespace tav::tavprinter
