#pragma once
// tavprinter: the utility's three settings from a script, for every attached printer of the
// family, on the machines where the utility itself refuses to run. Returns the exit code of
// the tools' one table (shared/tool_exit_codes.h).

#include <string>
#include <vector>

#include "tavprinter/tool_platform.h"

namespace tav::tavprinter {

int RunTavprinter(const std::vector<std::string>& args, ToolPlatform& tool,
                  const std::string& version);

}  // namespace tav::tavprinter
