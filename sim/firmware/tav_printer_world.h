#pragma once
// Puts the simulated printer of the family into the printer link's simulated world: the
// firmware is attached to its device node and plugged in, with the paths the world uses.

#include <memory>

#include "sim/firmware/tav_printer_firmware.h"
#include "sim/printer/printer_world.h"

namespace tav::sim {

// `plug.mode` chooses the class the printer starts in (the USB class switch byte's bit 0).
std::shared_ptr<TavPrinterFirmware> AddTavPrinter(PrinterWorld& world,
                                                  const PrinterPlug& plug = {});

}  // namespace tav::sim
