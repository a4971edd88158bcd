#pragma once
// tavports assign COMn --printer SEL: gives one port to one printer, so that a printer that
// replaced another finds the COM port the point-of-sale software is set to. Allowed when the
// port is free or its printer is not attached; the printer's previous port becomes free.
// Under unlink's rules: an administrator, no setup utility running, a question unless --yes,
// and the utility's mutex held while the links are written, so that no pass runs between.

#include "tavports/command_line.h"
#include "tavports/report_text.h"

namespace tav::tavports {

int RunAssign(ToolContext& ctx, ToolConsole& console, const CommandLine& command);

}  // namespace tav::tavports
