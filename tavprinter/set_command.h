#pragma once
// tavprinter set: reads first and changes only what differs, each change the pages' own
// operation, then waits for the printer to reset and come back, reads the setting back and
// reports it; after a switch to virtual serial it lets the service link the printer and
// reports the COM port.

#include "tavprinter/printer_report.h"
#include "tavprinter/tool_run.h"
#include "tavprinter/tool_session.h"

namespace tav::tavprinter {

// How long the printer may take to leave after a set request (the utility's watch window)
// and then to come back; how long the service may take to link it.
inline constexpr uint32_t kLeaveBoundMs = 5000;
inline constexpr uint32_t kReturnBoundMs = 10000;
inline constexpr uint32_t kLinkBoundMs = 30000;
inline constexpr uint32_t kPollMs = 250;

// The checks the iSerialNumber page's edit makes, for a text from a command line: 1 to 10
// characters, printable ASCII (one byte each in every ANSI code page, so the printer gets
// exactly what was typed).
bool IsAcceptedSerialText(const std::string& text);

int RunSet(ToolRun& run, ToolSession& session, const PrinterRow& row,
           const std::vector<PrinterRow>& all);

}  // namespace tav::tavprinter
