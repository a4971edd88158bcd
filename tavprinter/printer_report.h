#pragma once
// What list and show print: text for people (in the interface language) or JSON with
// stable English keys and "schema": 1.

#include <functional>
#include <string>
#include <vector>

#include "tavprinter/printer_inventory.h"

namespace tav::tavprinter {

struct PrinterRow {
    FoundPrinter printer;
    PrinterSettings settings;
};

using ErrorTextFn = std::function<std::string(uint32_t)>;

std::string FormatPrinterText(const std::vector<PrinterRow>& rows, bool japanese);
std::string FormatPrinterJson(const std::vector<PrinterRow>& rows, uint32_t enumerationError,
                              const ErrorTextFn& errorText);

// Text values shared with set's reports.
std::string DriverTypeText(bool serialMode, bool japanese);
std::string ResponseText(bool receive, bool japanese);
std::string SerialText(const std::optional<std::string>& serial, bool japanese);

}  // namespace tav::tavprinter
