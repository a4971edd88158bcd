#include "tavprinter/printer_selection.h"

#include "shared/u16.h"

namespace tav::tavprinter {

namespace {

bool Names(const PrinterRow& row, const std::u16string& selector) {
    if (EqualsNoCase(row.printer.instanceId, selector))
        return true;
    const auto& serial = row.settings.usbSerial;
    if (serial && !serial->empty() && EqualsNoCase(FromUtf8(*serial), selector))
        return true;
    return row.printer.serialMode && row.settings.comPort &&
           EqualsNoCase(*row.settings.comPort, selector);
}

}  // namespace

std::vector<PrinterRow> SelectPrinters(const std::vector<PrinterRow>& rows,
                                       const std::string& selector) {
    const std::u16string wanted = FromUtf8(selector);
    std::vector<PrinterRow> matches;
    for (const PrinterRow& row : rows)
        if (!wanted.empty() && Names(row, wanted))
            matches.push_back(row);
    return matches;
}

}  // namespace tav::tavprinter
