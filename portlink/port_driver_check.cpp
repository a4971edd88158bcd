#include "portlink/port_driver_check.h"

#include "portlink/core/inf_path.h"
#include "shared/win/files.h"

namespace tav::portlink {

bool PortDriverInstalled(portsvc::PassContext& pass, setup::DriverPackagePlatform& package) {
    char16_t inf[win::kMaxPath] = {};
    portsvc::BuildInfPath(pass, inf);
    return inf[0] != u'\0' && setup::IsPackageInDriverStore(package, inf);
}

}  // namespace tav::portlink
