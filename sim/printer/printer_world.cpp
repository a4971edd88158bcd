#include "sim/printer/printer_world.h"
#include "sim/windows_values.h"

#include "shared/names.h"
#include "shared/u16.h"

namespace tav::sim {
namespace {

std::u16string Lower(std::u16string text) {
    for (auto& c : text)
        c = FoldCase(c);
    return text;
}

}  // namespace

PrinterWorld::PrinterWorld()
    : io(clock, trace, tree),
      setup(trace, tree),
      pnp(tree, clock, trace),
      services(clock, trace),
      spooler(trace, services),
      platform{clock, io, setup, services, spooler} {
    services.AddService(u"Spooler");
    SimServiceConfig lpd;
    lpd.dependsOn = {u"Spooler"};
    services.AddService(u"Lpdsvc", lpd);
    services.AddService(u"Tavportsvc");
    // The device is held only while the Spooler is not stopped.
    io.SetHolderActive([this] { return services.State(u"Spooler") != sdk::kServiceStopped; });
}

std::u16string PrinterWorld::InterfacePath(const PrinterPlug& plug, const Guid& classGuid) {
    return u"\\\\?\\USB#VID_" + plug.vendorId + u"&PID_" + plug.productId + u"#" + plug.serial +
           u"#" + Lower(GuidToString(classGuid));
}

SimPrinter PrinterWorld::AddPrinter(const PrinterPlug& plug,
                                    std::shared_ptr<PrinterFirmware> firmware) {
    SimPrinter printer;
    printer.deviceId =
        u"USB\\VID_" + plug.vendorId + u"&PID_" + plug.productId + u"\\" + plug.serial;
    SimDevice device;
    device.instanceId = printer.deviceId;
    device.setupClass = plug.mode == PrinterMode::PrinterDriver ? u"USB" : u"Ports";
    device.hardwareIds = {u"USB\\VID_" + plug.vendorId + u"&PID_" + plug.productId};
    device.present = plug.present;
    tree.AddDevice(device);
    if (plug.mode == PrinterMode::PrinterDriver) {
        printer.path = InterfacePath(plug, sdk::kUsbPrintInterface);
        tree.AddInterface(sdk::kUsbPrintInterface, printer.path, printer.deviceId, plug.present);
    } else {
        printer.path = InterfacePath(plug, sdk::kComPortInterface);
        printer.printerClassPath = InterfacePath(plug, sdk::kPrinterDriverInterface);
        tree.AddInterface(sdk::kComPortInterface, printer.path, printer.deviceId, plug.present);
        tree.AddInterface(sdk::kPrinterDriverInterface, printer.printerClassPath, printer.deviceId,
                          plug.present);
    }
    io.AttachFirmware(printer.deviceId, std::move(firmware));
    return printer;
}

}  // namespace tav::sim
