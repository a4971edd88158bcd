#pragma once
// tavports prune: frees every port linked to a printer that is not attached, so that port
// numbers stop creeping up as printers are swapped. --what-if lists them and changes nothing
// (no rights needed). Otherwise under unlink's rules: an administrator, no setup utility
// running, a question unless --yes, the utility's mutex held while links are cleared.

#include "tavports/command_line.h"
#include "tavports/report_text.h"

namespace tav::tavports {

int RunPrune(ToolContext& ctx, ToolConsole& console, const CommandLine& command);

}  // namespace tav::tavports
