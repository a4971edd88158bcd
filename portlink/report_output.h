#pragma once
// Where a console's report goes: to the console, or with --output to a file of its own in
// UTF-8 without a byte order mark (a caller running as SYSTEM or elevated by a scheduler has
// no console to read). The file is made anew each time.

#include <string>

#include "portlink/tool_host_api.h"

namespace tav::portlink {

// 0, or the error of making or writing the file (nothing is written to the console then).
uint32_t DeliverReport(ToolHostApi& host, ToolConsole& console, const std::string& outputFile,
                       const std::string& utf8);

}  // namespace tav::portlink
