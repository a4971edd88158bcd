// Demo: tavports, the administrator's view of the service's port links, run in the same
// simulated world as the service's passes.

#include <cstdio>
#include <string>
#include <vector>

#include "sim/ports/sim_port_world.h"
#include "sim/tavports/sim_tool_host.h"
#include "tav_version.h"
#include "tavports/tavports_app.h"
#include "tools/demo/demo_driver_store.h"
#include "tools/demo/demo_sections.h"

namespace tav::demo {
using namespace tav::portsvc;

void ShowTavports(sim::SimPortWorld& world, const char* const* args, size_t count) {
    std::vector<std::string> arguments(args, args + count);
    std::string line = "> tavports";
    for (const auto& a : arguments)
        line += " " + a;
    std::printf("%s\n", line.c_str());
    PortLinkPlatform platform = world.Platform();
    TraceProvider trace(platform.trace);  // the tool emits no service events
    sim::SimToolHost host(world.trace, world.setupDi, world.tree, world.sync);
    // The demo's service and tool are this build's.
    for (auto& file : host.fileVersions)
        file.second = {TAV_VERSION_COMMA};
    sim::SimConsole console;
    tavports::ToolContext ctx{PassContext{platform, trace}, host};
    NoFiles files;
    PortDriverStore store;
    NoDebugOutput debug;
    setup::DriverPackagePlatform package{files, store, debug};
    int code = tavports::RunTavports(arguments, ctx, console, TAV_VERSION_TEXT, &package);
    std::printf("%s%s(exit code %d)\n", console.out.c_str(), console.err.c_str(), code);
}

}  // namespace tav::demo
