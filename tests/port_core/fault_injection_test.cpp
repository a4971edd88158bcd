// Every platform call of a busy pass fails in turn: whatever fails, the pass gives back the
// lock, every key, set, module and list node it took, and never leaves the utility's mutex
// owned.

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "shared/win/errors.h"
#include "tests/port_core/port_core_fixture.h"

namespace tav::test {
using namespace tav::portsvc;
namespace {

// Calls that give something back: when they fail, the resource stays taken whatever the
// pass does, so only the pass's own bookkeeping can be checked.
const std::set<std::string> kReleaseCalls = {
    "RegCloseKey", "CloseHandle", "SetEvent", "FreeLibrary", "SetupDiDestroyDeviceInfoList",
    "ReleaseMutex"};

// A pass with something to do on every path: a linked port, a free port, two printers
// to link (one needs a new port), the utility's mutex existing but free.
struct BusyWorld {
    sim::SimTrace sim;
    sim::DeviceTree tree;
    sim::SimPortWorld world{sim, tree};
    std::unique_ptr<PortLinkCore> core;

    BusyWorld() {
        world.InstallInfPackage();
        world.sync.SetUtilityMutex(sim::UtilityMutex::kFree);
        std::u16string linked = world.AddPrinter(u"A1");
        world.AddPort(linked);
        world.AddPort();
        world.AddPrinter(u"B2");
        world.AddPrinter(u"C3");
        core = std::make_unique<PortLinkCore>(world.Platform());
        core->Trace().Start();
        world.recorder.Enable(5, 1);
        sim.log.Clear();
    }
};

// Call name -> how many times one undisturbed pass makes it.
std::map<std::string, int> CallsOfOnePass() {
    BusyWorld busy;
    busy.core->ReconcilePorts();
    std::map<std::string, int> calls;
    for (const auto& entry : busy.sim.log.Entries())
        ++calls[entry.substr(0, entry.find(' '))];
    return calls;
}

TEST(PortCoreFaultInjection, EveryCallOfAPassFailingInTurn) {
    auto calls = CallsOfOnePass();
    ASSERT_GE(calls.size(), 20u);
    ASSERT_EQ(calls.count("UpdateDriverForPlugAndPlayDevicesW"), 1u);
    int runs = 0;
    for (const auto& [call, count] : calls) {
        for (int nth = 0; nth < count; ++nth) {
            SCOPED_TRACE(testing::Message() << call << " #" << nth);
            BusyWorld busy;
            busy.sim.faults.Fail(call, win::kErrorGenFailure, 1, nth);
            busy.core->ReconcilePorts();
            ++runs;
            if (kReleaseCalls.count(call))
                continue;
            EXPECT_TRUE(busy.world.sync.IsEventSignalled(busy.core->ReconcileEventHandle()));
            EXPECT_EQ(busy.world.registry.OpenHandleCount(), 0u);
            EXPECT_EQ(busy.world.setupDi.OpenSetCount(), 0);
            EXPECT_EQ(busy.world.setupDi.RefusedHandleCount(), 0);
            EXPECT_EQ(busy.world.installer.LoadedModuleCount(), 0);
            EXPECT_FALSE(busy.world.sync.UtilityMutexOwnedByService());
            EXPECT_EQ(busy.world.sync.OpenHandleCount(), 1);
        }
    }
    EXPECT_GE(runs, 40);
}

TEST(PortCoreFaultInjection, EveryCallFailingAlways) {
    for (const auto& [call, count] : CallsOfOnePass()) {
        SCOPED_TRACE(call);
        BusyWorld busy;
        busy.sim.faults.FailAlways(call, win::kErrorAccessDenied);
        busy.core->ReconcilePorts();
        // A lock that could not be given back would hold the second pass for ever.
        if (kReleaseCalls.count(call))
            continue;
        busy.core->ReconcilePorts();
        EXPECT_TRUE(busy.world.sync.IsEventSignalled(busy.core->ReconcileEventHandle()));
        EXPECT_EQ(busy.world.registry.OpenHandleCount(), 0u);
        EXPECT_EQ(busy.world.setupDi.OpenSetCount(), 0);
        EXPECT_EQ(busy.world.setupDi.RefusedHandleCount(), 0);
        EXPECT_EQ(busy.world.installer.LoadedModuleCount(), 0);
    }
}

}  // namespace
}  // namespace tav::test
