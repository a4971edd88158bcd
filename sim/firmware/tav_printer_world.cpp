#include "sim/firmware/tav_printer_world.h"

#include "shared/names.h"

namespace tav::sim {

std::shared_ptr<TavPrinterFirmware> AddTavPrinter(PrinterWorld& world, const PrinterSpec& spec) {
    TavPrinterIdentity identity;
    identity.instanceId =
        u"USB\\VID_" + spec.vendorId + u"&PID_" + spec.productId + u"\\" + spec.serial;
    identity.printerPath = PrinterWorld::InterfacePath(spec, kGuidDevinterfaceUsbprint);
    identity.serialPath = PrinterWorld::InterfacePath(spec, kGuidDevinterfaceComport);
    identity.printerClassPath = PrinterWorld::InterfacePath(spec, kPrinterInterfaceClass);
    identity.serialModeAlsoPrinterClass = true;
    auto printer = std::make_shared<TavPrinterFirmware>(world.tree, world.clock, identity);
    const uint8_t usbClass = printer->UsbClassSwitch();
    printer->SetUsbClassSwitch(spec.mode == PrinterMode::PrinterDriver
                                   ? static_cast<uint8_t>(usbClass | 0x01)
                                   : static_cast<uint8_t>(usbClass & ~0x01));
    world.io.AttachFirmware(identity.instanceId, printer);
    if (spec.present)
        printer->Plug();
    return printer;
}

}  // namespace tav::sim
