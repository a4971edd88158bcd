#pragma once
// What the driver type page needs of the system's device management: whether the virtual
// serial port driver is installed, and a re-enumeration of the USB and port devices.

#include "shared/clock.h"
#include "tavsetup/pages/driver_package.h"
#include "tavsetup/pages/pnp_manager.h"

namespace tav {

class DriverTypeServices {
  public:
    virtual ~DriverTypeServices() = default;
    virtual bool IsPortDriverAvailable() = 0;
    virtual void RefreshPnpDevices() = 0;
};

// The driver package lookup and the PnP refresh on a platform.
class PlatformDriverTypeServices : public DriverTypeServices {
  public:
    PlatformDriverTypeServices(DriverPackagePlatform& package, PnpManager& pnp, Clock& clock)
        : m_package(package), m_pnp(pnp), m_clock(clock) {}

    bool IsPortDriverAvailable() override;
    void RefreshPnpDevices() override;

  private:
    DriverPackagePlatform& m_package;
    PnpManager& m_pnp;
    Clock& m_clock;
};

}  // namespace tav
