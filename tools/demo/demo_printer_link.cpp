// The printer link in the simulated world: discovery and identification of one printer in
// printer-driver mode, two printers at once, and a virtual-serial printer held by the spooler.

#include <cstdio>
#include <memory>
#include <string>

#include "printer/link/printer_link.h"
#include "shared/u16.h"
#include "sim/printer/device_id_firmware.h"
#include "sim/printer/printer_world.h"
#include "tools/demo/demo_sections.h"

namespace tav::demo {
using namespace tav::setup;
namespace {

std::shared_ptr<sim::DeviceIdFirmware> Firmware(const std::string& deviceId) {
    return std::make_shared<sim::DeviceIdFirmware>(deviceId);
}

sim::PrinterPlug Plug(const char16_t* serial, sim::PrinterMode mode) {
    sim::PrinterPlug plug;
    plug.serial = serial;
    plug.mode = mode;
    return plug;
}

// One detection step as the main window runs it: discovery, then, for exactly one printer,
// the identification.
void Detect(sim::PrinterWorld& world, PrinterLink& link) {
    const uint32_t start = world.clock.TickCount();
    const int count = DiscoverPrinter(world.platform, link);
    std::printf("  printers found: %d\n", count);
    std::printf("  mode:           %s\n", link.bSerialMode ? "virtual serial (bSerialMode 1)"
                                                           : "printer driver (bSerialMode 0)");
    std::printf("  path:           %s\n",
                link.pszDevicePath ? ToUtf8(*link.pszDevicePath).c_str() : "(none)");
    if (count == 1 && link.pszDevicePath) {
        const int accepted = CheckPrinterId(world.platform, link);
        std::printf("  device ID:      %s\n", accepted ? "accepted" : "rejected");
        std::printf("  MFG:            %s\n", link.pszMfg);
        std::printf("  MDL:            %s\n", link.pszMdl);
    } else if (count > 1) {
        std::printf("  (several printers: not identified)\n");
    }
    std::printf("  virtual time:   %u ms\n", world.clock.TickCount() - start);
}

void OnePrinterDriverPrinter() {
    Heading("Printer link: one printer in printer-driver mode");
    sim::PrinterWorld world;
    auto firmware = Firmware("MFG:TAV;MDL:HX-P100;CMD:ESCPOS;CLS:PRINTER;");
    firmware->IdReply().delayMs = 15;  // the printer takes a moment to answer
    world.AddPrinter(Plug(u"TV0001", sim::PrinterMode::PrinterDriver), firmware);
    PrinterLink link;
    Detect(world, link);
}

void TwoPrinters() {
    Heading("Printer link: two printers attached");
    sim::PrinterWorld world;
    world.AddPrinter(Plug(u"TV0001", sim::PrinterMode::PrinterDriver),
                     Firmware("MFG:TAV;MDL:HX-P100;"));
    world.AddPrinter(Plug(u"TV0002", sim::PrinterMode::VirtualSerial),
                     Firmware("MFG:TAV;MDL:HX-P200;"));
    PrinterLink link;
    Detect(world, link);
}

void SerialPrinterHeldBySpooler() {
    Heading("Printer link: virtual-serial printer held by the print spooler");
    sim::PrinterWorld world;
    world.AddPrinter(Plug(u"TV0003", sim::PrinterMode::VirtualSerial),
                     Firmware("MFG:TAV;MDL:HX-S300;CMD:ESCPOS;"));
    world.io.SetSpoolerHoldsDevice(true);
    PrinterLink link;
    Detect(world, link);
    const auto stops = world.trace.log.EntriesStartingWith("ControlService");
    for (const auto& call : stops)
        std::printf("  service call:   %s\n", call.c_str());
    std::printf("  exit sequence:  Spooler %s, ",
                StartPrintSpooler(world.platform) ? "answering" : "not answering");
    std::printf("LPD print service %s\n",
                RestartLpdServiceIfStopped(world.platform, link.bLpdStopped) ? "started again"
                                                                             : "left alone");
}

}  // namespace

void PrinterLinkSection() {
    OnePrinterDriverPrinter();
    TwoPrinters();
    SerialPrinterHeldBySpooler();
}

}  // namespace tav::demo
