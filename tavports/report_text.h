#pragma once
// The three ways tavports shows a port report: a table, JSON for inventory scripts, and
// sentences for a support call. All UTF-8.

#include <functional>
#include <string>

#include "portlink/port_report.h"
#include "tavports/inventory.h"

namespace tav::tavports {

// The port report is shared with tavprinter; tavports uses its names as its own.
using portlink::GatherPortReport;
using portlink::LinkState;
using portlink::PortDisplayName;
using portlink::PortReport;
using portlink::PortRow;
using portlink::PrinterRow;
using portlink::ToolConsole;
using portlink::ToolContext;
using portlink::ToolError;
using portlink::ToolHostApi;

// Turns an error code into "what failed: text (error N)".
using ErrorTextFn = std::function<std::string(uint32_t)>;
std::string DescribeError(const ToolError& error, const ErrorTextFn& errorText);

std::string FormatTable(const PortReport& report, const Inventory& inventory,
                        const ErrorTextFn& errorText);
// The keys are documented in the README (tavports, "list --json"); "schema" counts changes
// that a reader must know of.
std::string FormatJson(const PortReport& report, const Inventory& inventory,
                       const ErrorTextFn& errorText);
std::string FormatExplanation(const PortReport& report, const ErrorTextFn& errorText);

// "the printer with serial D8K0012345", or "the printer at <path>" when the path carries
// no serial.
std::string PrinterPhrase(const std::u16string& printerPath);

}  // namespace tav::tavports
