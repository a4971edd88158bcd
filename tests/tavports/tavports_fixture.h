#pragma once
// A simulated world with the service's port link core and one tavports to run in it.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "portlink/core/device_entry_list.h"
#include "portlink/core/port_link_core.h"
#include "sim/ports/sim_port_world.h"
#include "sim/tavports/sim_tool_host.h"
#include "tavports/tavports_app.h"

namespace tav::test {

class TavportsTest : public ::testing::Test {
  protected:
    TavportsTest()
        : world(sim, tree),
          platform(world.Platform()),
          host(sim, world.setupDi),
          toolTrace(platform.trace) {
        world.InstallInfPackage();
        core = std::make_unique<portsvc::PortLinkCore>(platform);
    }

    // One run of tavports with these arguments; its output lands in `console`.
    int Run(const std::vector<std::string>& args) { return Run(args, console); }
    int Run(const std::vector<std::string>& args, tavports::ToolConsole& io) {
        tavports::ToolContext ctx{portsvc::PassContext{platform, toolTrace}, host};
        return tavports::RunTavports(args, ctx, io, "1.2.3.4");
    }

    // What a run must leave behind: nothing of its own open, the mutex untouched.
    void ExpectRunCleanedUp() const {
        EXPECT_EQ(world.registry.OpenHandleCount(), 0u);
        EXPECT_EQ(world.setupDi.OpenSetCount(), 0);
        EXPECT_EQ(world.setupDi.RefusedHandleCount(), 0);
        EXPECT_FALSE(world.sync.UtilityMutexOwnedByService());
        EXPECT_EQ(world.sync.OpenHandleCount(), 1);  // the core's reconcile event
    }

    sim::SimTrace sim;
    sim::DeviceTree tree;
    sim::SimPortWorld world;
    portsvc::PortLinkPlatform platform;
    sim::SimToolHost host;
    portsvc::TraceProvider toolTrace;
    sim::SimConsole console;
    std::unique_ptr<portsvc::PortLinkCore> core;
};

}  // namespace tav::test
