#pragma once
// Which printers a selector names: the device instance ID, the iSerialNumber, or in
// virtual-serial mode the COM name of its port; letter case ignored.

#include <string>
#include <vector>

#include "tavprinter/printer_report.h"

namespace tav::tavprinter {

std::vector<PrinterRow> SelectPrinters(const std::vector<PrinterRow>& rows,
                                       const std::string& selector);

}  // namespace tav::tavprinter
