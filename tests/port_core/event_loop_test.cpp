// The start hook, the device-event case and the stop hook, driven the way the service
// host drives them, on one thread.

#include <gmock/gmock.h>

#include <set>

#include "shared/names.h"
#include "shared/u16.h"
#include "shared/win/errors.h"
#include "sim/windows_values.h"
#include "tests/port_core/port_core_fixture.h"

namespace tav::test {
using namespace tav::portsvc;
namespace {

using ::testing::ElementsAre;

constexpr PlatformHandle kStatusHandle = 0x5151;

class EventLoopTest : public PortCoreTest {
  protected:
    win::HResult Start(win::HResult base = win::kSOk) {
        return core->StartHook(
            [&, base] {
                sim.log.Record("base start");
                return base;
            },
            kStatusHandle);
    }
    win::HResult Stop(win::HResult base = win::kSOk) {
        return core->StopHook([&, base] {
            sim.log.Record("base stop");
            return base;
        });
    }
    // Call names in order, without details.
    std::vector<std::string> Calls(const std::set<std::string>& only) const {
        std::vector<std::string> out;
        for (const auto& e : sim.log.Entries()) {
            std::string name = e.substr(0, e.find(' '));
            if (e.rfind("base ", 0) == 0)
                name = e;
            if (only.count(name))
                out.push_back(name);
        }
        return out;
    }
};

TEST_F(EventLoopTest, StartRunsBaseThenTracingThenOnePassThenRegisters) {
    std::u16string printer = world.AddPrinter(u"A1");
    EXPECT_EQ(Start(), win::kSOk);
    EXPECT_THAT(
        Calls({"base start", "RegisterTraceGuidsW", "OpenMutexW", "RegisterDeviceNotificationW"}),
        ElementsAre("base start", "RegisterTraceGuidsW", "OpenMutexW",
                    "RegisterDeviceNotificationW"));
    std::string expected = "RegisterDeviceNotificationW status=" + std::to_string(kStatusHandle) +
                           " " + ToUtf8(GuidToString(sim::sdk::kPrinterDriverInterface));
    EXPECT_EQ(sim.log.Count(expected), 1u);
    EXPECT_NE(core->DevNotifyHandle(), win::kNoHandle);
    EXPECT_EQ(world.Link(world.Ports().at(0)), printer);
}

TEST_F(EventLoopTest, FailedBaseStartEndsTheHookAtOnce) {
    EXPECT_EQ(Start(win::kEFail), win::kEFail);
    EXPECT_EQ(sim.log.Count("RegisterTraceGuidsW"), 0u);
    EXPECT_EQ(sim.log.Count("OpenMutexW"), 0u);
    EXPECT_EQ(sim.log.Count("RegisterDeviceNotificationW"), 0u);
    EXPECT_EQ(Start(win::kSFalse), win::kSOk);  // S_FALSE is not a failure
}

TEST_F(EventLoopTest, FailedRegistrationGivesItsHResultAfterThePass) {
    sim.faults.Fail("RegisterDeviceNotificationW", win::kErrorAccessDenied);
    EXPECT_EQ(Start(), static_cast<win::HResult>(0x80070005));
    EXPECT_EQ(sim.log.Count("OpenMutexW"), 1u);
    EXPECT_EQ(core->DevNotifyHandle(), win::kNoHandle);
    // No stop hook follows a failed start: the trace registration is released by the hook.
    EXPECT_EQ(sim.log.Count("UnregisterTraceGuids"), 1u);
    EXPECT_FALSE(world.recorder.Registered());
    // A failure that leaves no error code counts as success, as HRESULT_FROM_WIN32(0) is 0.
    sim.faults.Fail("RegisterDeviceNotificationW", win::kErrorSuccess);
    EXPECT_EQ(Start(), win::kSOk);
}

TEST_F(EventLoopTest, EveryDeviceEventRunsOneFullPassAndRemovesNoLink) {
    Start();
    std::u16string printer = world.AddPrinter(u"A1");
    EXPECT_EQ(core->OnDeviceEvent(), win::kErrorSuccess);
    auto port = world.Ports().at(0);
    EXPECT_EQ(world.Link(port), printer);
    world.UnplugPrinter(u"A1");
    sim.log.Clear();
    EXPECT_EQ(core->OnDeviceEvent(), win::kErrorSuccess);
    EXPECT_EQ(core->OnDeviceEvent(), win::kErrorSuccess);
    EXPECT_EQ(sim.log.Count("OpenMutexW"), 2u);
    EXPECT_EQ(world.Link(port), printer);
}

TEST_F(EventLoopTest, StartWhileUtilityRunsDoesNothing) {
    world.AddPrinter(u"A1");
    world.sync.SetUtilityMutex(sim::UtilityMutex::kHeld);
    EXPECT_EQ(Start(), win::kSOk);
    EXPECT_TRUE(world.Ports().empty());
    // The utility's exit restarts the service: the new start-up pass links the printer.
    world.sync.SetUtilityMutex(sim::UtilityMutex::kAbsent);
    EXPECT_EQ(core->OnDeviceEvent(), win::kErrorSuccess);
    EXPECT_EQ(world.Ports().size(), 1u);
}

TEST_F(EventLoopTest, StopUnregistersTakesTheLockForGoodThenRunsBaseStop) {
    Start();
    world.recorder.Enable(5, 1);
    EXPECT_EQ(Stop(static_cast<win::HResult>(0x80070005)), static_cast<win::HResult>(0x80070005));
    EXPECT_THAT(Calls({"UnregisterDeviceNotification", "WaitForSingleObject",
                       "UnregisterTraceGuids", "base stop"}),
                ElementsAre("WaitForSingleObject", "UnregisterDeviceNotification",
                            "WaitForSingleObject", "UnregisterTraceGuids", "base stop"));
    EXPECT_EQ(core->DevNotifyHandle(), win::kNoHandle);
    EXPECT_EQ(world.notify.ActiveRegistrations(), 0);
    EXPECT_FALSE(world.sync.IsEventSignalled(core->ReconcileEventHandle()));
}

TEST_F(EventLoopTest, DeviceEventAfterStopReturnsWithoutAPass) {
    Start();
    Stop();
    world.AddPrinter(u"A1");
    sim.log.Clear();
    EXPECT_EQ(core->OnDeviceEvent(), win::kErrorSuccess);
    EXPECT_TRUE(sim.log.Entries().empty());
}

TEST_F(EventLoopTest, StopWithoutRegistrationSkipsTheUnregister) {
    EXPECT_EQ(Stop(), win::kSOk);
    EXPECT_EQ(sim.log.Count("UnregisterDeviceNotification"), 0u);
}

TEST_F(EventLoopTest, MissingLockMakesEveryPassAndTheStopTraceTheFailedWait) {
    sim.faults.Fail("CreateEventW", win::kErrorNotEnoughMemory);
    core = std::make_unique<PortLinkCore>(world.Platform());
    EXPECT_EQ(core->ReconcileEventHandle(), win::kNoHandle);
    world.AddPrinter(u"A1");
    core->Trace().Start();
    world.recorder.Enable(5, 1);
    EXPECT_EQ(core->OnDeviceEvent(), win::kErrorSuccess);
    EXPECT_EQ(Stop(), win::kSOk);
    EXPECT_THAT(ServiceEvents(), ElementsAre(19, 15));
    EXPECT_EQ(EventOf(TraceModule::kService, 15).args.at(0), sim::Le32(win::kErrorInvalidHandle));
    EXPECT_TRUE(world.Ports().empty());
}

TEST_F(EventLoopTest, DestructionClosesTheLock) {
    EXPECT_EQ(world.sync.OpenHandleCount(), 1);
    core.reset();
    EXPECT_EQ(world.sync.OpenHandleCount(), 0);
}

}  // namespace
}  // namespace tav::test
