#pragma once
// The simulated world of the printer link in one piece: virtual clock, one call trace, the
// device tree, device I/O, SetupAPI, the configuration manager (the PnP refresh's), the
// service manager with the print services, and the spooler. `platform` is what the printer
// link's operations take.

#include <memory>
#include <string>

#include "printer/link/platform.h"
#include "sim/call_log.h"
#include "sim/device_tree.h"
#include "sim/printer/device_id_firmware.h"
#include "sim/printer/sim_device_io.h"
#include "sim/printer/sim_device_setup.h"
#include "sim/printer/sim_pnp_manager.h"
#include "sim/printer/sim_print_spooler.h"
#include "sim/printer/sim_service_manager.h"
#include "sim/virtual_clock.h"

namespace tav::sim {

enum class PrinterMode {
    PrinterDriver,  // a USB printing-class interface
    VirtualSerial,  // a COM port interface and a printer interface class interface
};

// A printer as it is plugged in: its USB identity and the class it shows first.
struct PrinterPlug {
    std::u16string serial = u"TV0001";
    PrinterMode mode = PrinterMode::PrinterDriver;
    std::u16string productId = u"0101";
    std::u16string vendorId = u"1B7E";
    bool present = true;
};

struct SimPrinter {
    std::u16string deviceId;
    std::u16string path;              // the printing-class or COM port interface
    std::u16string printerClassPath;  // virtual-serial mode: the printer interface class one
};

class PrinterWorld {
  public:
    PrinterWorld();
    PrinterWorld(const PrinterWorld&) = delete;
    PrinterWorld& operator=(const PrinterWorld&) = delete;

    // Plugs in a printer (device node, interfaces of its mode) answered by `firmware`.
    SimPrinter AddPrinter(const PrinterPlug& plug, std::shared_ptr<PrinterFirmware> firmware);
    // A device interface path as Windows builds it for a device and class.
    static std::u16string InterfacePath(const PrinterPlug& plug, const Guid& classGuid);

    // Declared in this order: everything below refers to the members above it.
    VirtualClock clock;
    SimTrace trace;
    DeviceTree tree;
    SimDeviceIo io;
    SimDeviceSetup setup;
    SimPnpManager pnp;
    SimServiceManager services;
    SimPrintSpooler spooler;
    setup::PrinterPlatform platform;
};

}  // namespace tav::sim
