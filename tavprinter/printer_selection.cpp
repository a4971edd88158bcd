#include "tavprinter/printer_selection.h"

#include "shared/printer_selector.h"
#include "shared/u16.h"

namespace tav::tavprinter {

namespace {

// The serial is the one the printer reports; the COM name counts in virtual-serial mode only.
PrinterNames NamesOf(const PrinterRow& row) {
    PrinterNames names;
    names.instanceId = row.printer.instanceId;
    if (row.settings.usbSerial)
        names.serial = FromUtf8(*row.settings.usbSerial);
    if (row.printer.serialMode && row.settings.comPort)
        names.comPort = *row.settings.comPort;
    return names;
}

}  // namespace

std::vector<PrinterRow> SelectPrinters(const std::vector<PrinterRow>& rows,
                                       const std::string& selector) {
    const std::u16string wanted = FromUtf8(selector);
    std::vector<PrinterRow> matches;
    for (const PrinterRow& row : rows)
        if (SelectorNamesPrinter(NamesOf(row), wanted))
            matches.push_back(row);
    return matches;
}

}  // namespace tav::tavprinter
