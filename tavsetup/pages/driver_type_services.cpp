#include "tavsetup/pages/driver_type_services.h"

#include "printer/settings/driver_package.h"
#include "printer/settings/pnp_refresh.h"

namespace tav::setup {

bool PlatformDriverTypeServices::IsPortDriverAvailable() {
    return tav::setup::IsPortDriverAvailable(m_package);
}

void PlatformDriverTypeServices::RefreshPnpDevices() {
    tav::setup::RefreshPnpDevices(m_setup, m_pnp, m_clock);
}

}  // namespace tav::setup
