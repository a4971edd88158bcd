#pragma once
// What the driver type page needs of the system's device management: whether the virtual
// serial port driver is installed, and a re-enumeration of the USB and port devices.

#include "shared/clock.h"

namespace tav::setup {

// Declared here only: the page reaches them through this interface, and their headers
// carry SetupAPI numbers that other parts of the utility define for themselves too.
struct DriverPackagePlatform;
class DeviceSetup;
class PnpManager;

class DriverTypeServices {
  public:
    virtual ~DriverTypeServices() = default;
    [[nodiscard]] virtual bool IsPortDriverAvailable() = 0;
    virtual void RefreshPnpDevices() = 0;
};

// The driver package lookup and the PnP refresh on a platform. `setup` is the printer
// link's own SetupAPI: the utility wraps it once.
class PlatformDriverTypeServices : public DriverTypeServices {
  public:
    PlatformDriverTypeServices(DriverPackagePlatform& package, DeviceSetup& setup, PnpManager& pnp,
                               Clock& clock)
        : m_package(package), m_setup(setup), m_pnp(pnp), m_clock(clock) {}

    [[nodiscard]] bool IsPortDriverAvailable() override;
    void RefreshPnpDevices() override;

  private:
    DriverPackagePlatform& m_package;
    DeviceSetup& m_setup;
    PnpManager& m_pnp;
    Clock& m_clock;
};

}  // namespace tav::setup
