#include "tavsetup/pages/driver_type_services.h"

#include "tavsetup/pages/driver_package.h"
#include "tavsetup/pages/pnp_refresh.h"

namespace tav {

bool PlatformDriverTypeServices::IsPortDriverAvailable() {
    return tav::IsPortDriverAvailable(m_package);
}

void PlatformDriverTypeServices::RefreshPnpDevices() {
    tav::RefreshPnpDevices(m_pnp, m_clock);
}

}  // namespace tav
