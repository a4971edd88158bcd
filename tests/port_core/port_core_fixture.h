#pragma once
// A simulated world with one port link core in it, and the checks every pass must pass.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "portlink/core/port_link_core.h"
#include "shared/last_error.h"
#include "sim/ports/sim_port_world.h"

namespace tav::test {

class PortCoreTest : public ::testing::Test {
  protected:
    PortCoreTest() : world(sim, tree) {
        world.InstallInfPackage();
        core = std::make_unique<portsvc::PortLinkCore>(world.Platform());
        SetLastErrorCode(0xDEADBEEF);  // a simulated call that succeeds leaves it alone
    }
    // Every event the service sent must be one the trace session asked for and can decode.
    ~PortCoreTest() override {
        for (const auto& e : world.recorder.Undecodable())
            ADD_FAILURE() << "undecodable trace event " << e.number << " of " << e.messageGuid
                          << ": " << e.reason;
    }

    // Registers the provider and lets a logger enable every event.
    void EnableTracing(uint8_t level = 5, uint32_t flags = 1) {
        core->Trace().Start();
        world.recorder.Enable(level, flags);
    }

    void Pass() { core->ReconcilePorts(); }

    // What a pass must leave behind: the lock free and nothing of its own still open.
    void ExpectPassCleanedUp() const {
        EXPECT_TRUE(world.sync.IsEventSignalled(core->ReconcileEventHandle()));
        EXPECT_EQ(world.registry.OpenHandleCount(), 0u);
        EXPECT_EQ(world.setupDi.OpenSetCount(), 0);
        EXPECT_EQ(world.setupDi.RefusedHandleCount(), 0);
        EXPECT_EQ(world.installer.LoadedModuleCount(), 0);
        EXPECT_FALSE(world.sync.UtilityMutexOwnedByService());
        EXPECT_EQ(world.sync.OpenHandleCount(), 1);  // the reconcile event itself
    }

    std::vector<uint16_t> ServiceEvents() const {
        return world.recorder.Numbers(portsvc::TraceModule::kService);
    }
    std::vector<uint16_t> DeviceEvents() const {
        return world.recorder.Numbers(portsvc::TraceModule::kDevice);
    }
    // The first recorded event with this module and number.
    sim::TracedEvent EventOf(portsvc::TraceModule module, uint16_t number) const {
        for (const auto& e : world.recorder.Events()) {
            if (e.module == module && e.number == number)
                return e;
        }
        ADD_FAILURE() << "event " << number << " not recorded";
        return sim::TracedEvent{};
    }

    sim::SimTrace sim;
    sim::DeviceTree tree;
    sim::SimPortWorld world;
    std::unique_ptr<portsvc::PortLinkCore> core;
};

}  // namespace tav::test
