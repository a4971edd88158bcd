#pragma once
// The tavports program as a function of its arguments, its platform and its console:
// parses the command line, runs the command and returns the exit code.

#include <string>
#include <vector>

#include "tavports/report_text.h"

namespace tav::tavports {

// `args`: the arguments after the program name, UTF-8. `version`: "1.0.0.1". `package`: the
// port driver check's platform; without it the report says the check was not made.
int RunTavports(const std::vector<std::string>& args, ToolContext& ctx, ToolConsole& console,
                const std::string& version, setup::DriverPackagePlatform* package = nullptr);

}  // namespace tav::tavports
