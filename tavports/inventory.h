#pragma once
// What an inventory of many lanes needs beside the ports: which machine, when, which tool,
// the port link service's state and file version, and whether the port driver is installed.

#include <optional>
#include <string>
#include <vector>

#include "portlink/port_report.h"
#include "printer/settings/driver_package.h"

namespace tav::tavports {

struct Inventory {
    std::string host;  // empty when it cannot be read
    std::string time;  // UTC, ISO 8601: "2026-12-09T08:30:05Z"
    std::string toolVersion;
    bool serviceInstalled = false;
    std::string serviceState;                 // "running", "stopped", ...; empty when unknown
    std::string serviceVersion;               // the executable's file version; empty when unknown
    std::optional<bool> portDriverInstalled;  // none when no check was possible
    std::vector<portlink::ToolError> failures;
};

// `package` may be null: the port driver check is then left out.
Inventory GatherInventory(portlink::ToolContext& ctx, setup::DriverPackagePlatform* package,
                          const std::string& toolVersion);

// The executable of a service command line: the quoted part, else up to the first blank.
std::u16string ExecutableOfCommandLine(const std::u16string& commandLine);

}  // namespace tav::tavports
