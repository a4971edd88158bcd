#pragma once
// A simulated world with the service's port link core and one tavports to run in it.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "portlink/core/device_entry_list.h"
#include "portlink/core/port_link_core.h"
#include "sim/ports/sim_port_world.h"
#include "sim/printer/sim_driver_store.h"
#include "sim/tavports/sim_tool_host.h"
#include "tavports/tavports_app.h"
#include "tests/settings/file_system_fakes.h"

namespace tav::test {

// A console on which something happens in the world while the question is open.
class MeanwhileConsole : public sim::SimConsole {
  public:
    explicit MeanwhileConsole(std::function<void()> meanwhile)
        : m_meanwhile(std::move(meanwhile)) {}
    bool ReadLine(std::string* line) override {
        m_meanwhile();
        *line = "y";
        return true;
    }

  private:
    std::function<void()> m_meanwhile;
};

class TavportsTest : public ::testing::Test {
  protected:
    TavportsTest()
        : world(sim, tree),
          platform(world.Platform()),
          host(sim, world.setupDi, tree, world.sync),
          toolTrace(platform.trace),
          store(sim) {
        world.InstallInfPackage();
        store.Stage(sim::kSimInfPath);
        core = std::make_unique<portsvc::PortLinkCore>(platform);
    }

    // One run of tavports with these arguments; its output lands in `console`.
    int Run(const std::vector<std::string>& args) { return Run(args, console); }
    int Run(const std::vector<std::string>& args, tavports::ToolConsole& io) {
        tavports::ToolContext ctx{portsvc::PassContext{platform, toolTrace}, host};
        return tavports::RunTavports(args, ctx, io, "1.2.3.4", driverPackage);
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
    sim::SimDriverStore store;
    MemoryFileSystem files;
    RecordingDebugOutput debug;
    setup::DriverPackagePlatform package{files, store, debug};
    setup::DriverPackagePlatform* driverPackage = &package;  // the port driver check's
    std::unique_ptr<portsvc::PortLinkCore> core;
};

}  // namespace tav::test
