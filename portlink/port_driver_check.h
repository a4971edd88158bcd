#pragma once
// Whether the port driver package is installed: the driver store holds the package of the
// INF the service installs ports from. One check for both consoles.

#include "portlink/core/interface_walk.h"
#include "printer/settings/driver_package.h"

namespace tav::portlink {

bool PortDriverInstalled(portsvc::PassContext& pass, setup::DriverPackagePlatform& package);

}  // namespace tav::portlink
