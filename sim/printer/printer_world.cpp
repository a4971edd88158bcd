#include "sim/printer/printer_world.h"

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
      services(clock, trace),
      spooler(trace, services),
      platform{clock, io, setup, services, spooler} {
    services.AddService(u"Spooler");
    SimServiceConfig lpd;
    lpd.dependsOn = {u"Spooler"};
    services.AddService(u"Lpdsvc", lpd);
    services.AddService(u"Tavportsvc");
    // The device is held only while the Spooler is not stopped.
    io.SetHolderActive([this] { return services.State(u"Spooler") != kServiceStopped; });
}

std::u16string PrinterWorld::InterfacePath(const PrinterSpec& spec, const Guid& classGuid) {
    return u"\\\\?\\USB#VID_" + spec.vendorId + u"&PID_" + spec.productId + u"#" + spec.serial +
           u"#" + Lower(GuidToString(classGuid));
}

SimPrinter PrinterWorld::AddPrinter(const PrinterSpec& spec,
                                    std::shared_ptr<PrinterFirmware> firmware) {
    SimPrinter printer;
    printer.deviceId =
        u"USB\\VID_" + spec.vendorId + u"&PID_" + spec.productId + u"\\" + spec.serial;
    SimDevice device;
    device.instanceId = printer.deviceId;
    device.setupClass = spec.mode == PrinterMode::PrinterDriver ? u"USB" : u"Ports";
    device.hardwareIds = {u"USB\\VID_" + spec.vendorId + u"&PID_" + spec.productId};
    device.present = spec.present;
    tree.AddDevice(device);
    if (spec.mode == PrinterMode::PrinterDriver) {
        printer.path = InterfacePath(spec, kGuidDevinterfaceUsbprint);
        tree.AddInterface(kGuidDevinterfaceUsbprint, printer.path, printer.deviceId, spec.present);
    } else {
        printer.path = InterfacePath(spec, kGuidDevinterfaceComport);
        printer.printerClassPath = InterfacePath(spec, kPrinterInterfaceClass);
        tree.AddInterface(kGuidDevinterfaceComport, printer.path, printer.deviceId, spec.present);
        tree.AddInterface(kPrinterInterfaceClass, printer.printerClassPath, printer.deviceId,
                          spec.present);
    }
    io.AttachFirmware(printer.deviceId, std::move(firmware));
    return printer;
}

}  // namespace tav::sim
