#pragma once
// The simulated machine behind the demonstration build: one printer of the family in
// printer-driver mode in the printer link's simulated world, the wire recorded in the
// timeline, and a device management where the virtual serial port driver is installed and
// the PnP refresh walks the simulated device tree (no node there hangs under PCI). Its virtual
// clock is held to real time (PacedClock), so the printer's leave and return take as long as they
// would on a desk.

#include <functional>
#include <memory>
#include <string>

#include "printer/link/platform.h"
#include "tavsetup/pages/driver_type_services.h"
#include "tools/demo_sim/timeline.h"

namespace tav::demo {

class SimPrinterMachine {
  public:
    explicit SimPrinterMachine(Timeline& timeline);
    ~SimPrinterMachine();
    SimPrinterMachine(const SimPrinterMachine&) = delete;
    SimPrinterMachine& operator=(const SimPrinterMachine&) = delete;

    setup::PrinterPlatform& Platform();
    setup::DriverTypeServices& DriverType();

    // Advances virtual time to real time when it is behind (run by a timer).
    void KeepPace();
    // `listener` runs after every change of the device tree (the device-change broadcast).
    void OnDeviceNodesChanged(std::function<void()> listener);

    // Notes the service control calls made so far and the printer's settings now.
    void NoteServiceCalls();
    void NotePrinterState();

  private:
    // The simulated world stays out of this header: the Win32 parts of the build that use
    // the machine include the Windows headers, whose macros the world's names would meet.
    struct World;
    std::unique_ptr<World> m_world;
};

}  // namespace tav::demo
