#include "tavports/inventory.h"

#include <cstdio>

#include "portlink/port_driver_check.h"
#include "shared/last_error.h"
#include "shared/names.h"
#include "shared/u16.h"
#include "shared/win/errors.h"

namespace tav::tavports {

namespace {

const char* StateName(uint32_t state) {
    static const char* const kNames[] = {"stopped", "start pending",    "stop pending",
                                         "running", "continue pending", "pause pending",
                                         "paused"};
    return state >= 1 && state <= 7 ? kNames[state - 1] : "unknown";
}

std::string IsoTime(const portlink::UtcTime& t) {
    char text[64];
    std::snprintf(text, sizeof text, "%04u-%02u-%02uT%02u:%02u:%02uZ", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
    return text;
}

void ReadService(portlink::ToolHostApi& host, Inventory& out) {
    uint32_t state = 0;
    std::u16string commandLine;
    if (!host.QueryService(kServiceName, &state, &commandLine)) {
        const uint32_t error = GetLastErrorCode();
        if (error != win::kErrorServiceDoesNotExist)
            out.failures.push_back({"querying the Tavportsvc service", error});
        return;
    }
    out.serviceInstalled = true;
    out.serviceState = StateName(state);
    uint16_t parts[4] = {};
    const std::u16string executable = ExecutableOfCommandLine(commandLine);
    if (!host.FileVersion(executable, parts)) {
        out.failures.push_back(
            {"reading the file version of " + ToUtf8(executable), GetLastErrorCode()});
        return;
    }
    out.serviceVersion = std::to_string(parts[0]) + "." + std::to_string(parts[1]) + "." +
                         std::to_string(parts[2]) + "." + std::to_string(parts[3]);
}

}  // namespace

std::u16string ExecutableOfCommandLine(const std::u16string& commandLine) {
    if (!commandLine.empty() && commandLine[0] == u'"') {
        const size_t end = commandLine.find(u'"', 1);
        return commandLine.substr(1, end == std::u16string::npos ? end : end - 1);
    }
    return commandLine.substr(0, commandLine.find(u' '));
}

Inventory GatherInventory(portlink::ToolContext& ctx, setup::DriverPackagePlatform* package,
                          const std::string& toolVersion) {
    Inventory out;
    std::u16string host;
    if (ctx.host.ComputerName(&host))
        out.host = ToUtf8(host);
    out.time = IsoTime(ctx.host.SystemTimeUtc());
    out.toolVersion = toolVersion;
    ReadService(ctx.host, out);
    if (package)
        out.portDriverInstalled = portlink::PortDriverInstalled(ctx.pass, *package);
    return out;
}

}  // namespace tav::tavports
