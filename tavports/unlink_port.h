#pragma once
// tavports unlink: clears one port's link so that the service can give the port to another
// printer, under the service's own rules: never while the setup utility runs (the service
// steps aside then and the printer may be changing mode), never while the linked printer
// is attached (the next pass would link it again at once), and only for an administrator.

#include "portlink/port_report.h"
#include "shared/tool_exit_codes.h"
#include "tavports/command_line.h"
#include "tavports/report_text.h"

namespace tav::tavports {

// Exit codes of tavports.
inline constexpr int kExitOk = kToolExitOk;
inline constexpr int kExitFailed = kToolExitFailed;
inline constexpr int kExitBadArgument = kToolExitBadArguments;

// The ports a user's word names: a COM name or an instance ID, letter case ignored.
std::vector<const PortRow*> FindPorts(const PortReport& report, const std::string& target);

int RunUnlink(ToolContext& ctx, ToolConsole& console, const CommandLine& command);

}  // namespace tav::tavports
