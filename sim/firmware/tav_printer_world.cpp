#include "sim/firmware/tav_printer_world.h"
#include "sim/windows_values.h"

#include "shared/names.h"

namespace tav::sim {

std::shared_ptr<TavPrinterFirmware> AddTavPrinter(PrinterWorld& world, const PrinterPlug& plug) {
    TavPrinterIdentity identity;
    identity.instanceId =
        u"USB\\VID_" + plug.vendorId + u"&PID_" + plug.productId + u"\\" + plug.serial;
    identity.printerPath = PrinterWorld::InterfacePath(plug, sdk::kUsbPrintInterface);
    identity.serialPath = PrinterWorld::InterfacePath(plug, sdk::kComPortInterface);
    identity.printerClassPath = PrinterWorld::InterfacePath(plug, sdk::kPrinterDriverInterface);
    identity.serialModeAlsoPrinterClass = true;
    auto printer = std::make_shared<TavPrinterFirmware>(world.tree, world.clock, identity);
    const uint8_t usbClass = printer->UsbClassSwitch();
    printer->SetUsbClassSwitch(plug.mode == PrinterMode::PrinterDriver
                                   ? static_cast<uint8_t>(usbClass | 0x01)
                                   : static_cast<uint8_t>(usbClass & ~0x01));
    world.io.AttachFirmware(identity.instanceId, printer);
    if (plug.present)
        printer->Plug();
    return printer;
}

}  // namespace tav::sim
