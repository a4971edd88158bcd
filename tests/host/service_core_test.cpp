// The real module object: the host's run sequence around the port link core, in the
// simulated service manager and port world.
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

#include "shared/u16.h"
#include "sim/device_tree.h"
#include "sim/ports/sim_port_world.h"
#include "tavportsvc/host/tavportsvc_module.h"
#include "tests/host/host_test_support.h"

namespace tav::portsvc::host {
namespace {

// The module with its passes counted, and made to fail unexpectedly on demand.
class CountingModule : public CTavportsvcModule {
  public:
    using CTavportsvcModule::CTavportsvcModule;
    std::atomic<int> passes{0};
    std::atomic<bool> failPasses{false};

    void ReconcilePorts() override {
        ++passes;
        if (failPasses)
            throw std::runtime_error("unexpected");
        CTavportsvcModule::ReconcilePorts();
    }
};

class ServiceCoreTest : public ::testing::Test {
  protected:
    ServiceCoreTest() {
        world.registry.AddKey(win::kHkeyClassesRoot, std::u16string(u"AppID\\") + kAppIdText);
    }
    void StartProcess() {
        m_main = std::thread([this] { exitCode = module.ProcessMain(u"Tavportsvc.exe"); });
    }
    uint32_t JoinProcess() {
        m_main.join();
        return exitCode;
    }
    void TearDown() override {
        if (m_main.joinable())
            m_main.join();
    }

    sim::SimHostWorld world{test::RealRegistryScript()};
    sim::DeviceTree tree;
    sim::SimPortWorld ports{world.trace, tree};
    CountingModule module{world.platform, ports.Platform()};
    uint32_t exitCode = 0xDEAD;

    // Event IDs of the Application log as the viewer shows them, in order.
    std::vector<uint32_t> EventIds() const {
        std::vector<uint32_t> ids;
        for (const auto& e : ports.eventLog.Entries())
            ids.push_back(e.id & 0xFFFF);
        return ids;
    }

  private:
    std::thread m_main;
};

TEST_F(ServiceCoreTest, StartUpPassLinksBeforeRunningAndDeviceEventsLinkNewPrinters) {
    const std::u16string firstPort = ports.AddPort();
    const std::u16string secondPort = ports.AddPort();
    const std::u16string firstPrinter = ports.AddPrinter(u"A0001");
    StartProcess();
    ASSERT_TRUE(world.scm.WaitForReport(win::kServiceRunning));
    EXPECT_EQ(ports.Link(firstPort), firstPrinter);
    EXPECT_FALSE(ports.Link(secondPort));
    EXPECT_EQ(ports.notify.ActiveRegistrations(), 1);
    EXPECT_EQ(module.passes, 1);  // the start-up pass went through the module
    // Registered on the status handle the control handler registration returned.
    EXPECT_EQ(world.trace.log.Count("RegisterDeviceNotificationW status=" +
                                    std::to_string(module.ServiceStatusHandle())),
              1u);
    EXPECT_NE(module.ServiceStatusHandle(), 0u);
    // Started, then the start-up pass's link, before the manager heard "running".
    EXPECT_EQ(EventIds(), (std::vector<uint32_t>{1026, 1029}));
    EXPECT_EQ(ports.eventLog.Entries()[1].strings,
              (std::vector<std::string>{ToUtf8(firstPrinter), "COM3"}));

    const std::u16string secondPrinter = ports.AddPrinter(u"B0002");
    EXPECT_EQ(world.scm.SendControl(win::kServiceControlDeviceEvent, 0x8000), win::kErrorSuccess);
    EXPECT_EQ(ports.Link(secondPort), secondPrinter);
    EXPECT_EQ(module.passes, 2);  // and so did the device event's

    EXPECT_EQ(world.scm.SendControl(win::kServiceControlStop), win::kErrorSuccess);
    EXPECT_EQ(JoinProcess(), 0u);
    EXPECT_EQ(ports.notify.ActiveRegistrations(), 0);
    EXPECT_EQ(ports.OpenRegistryKeys(), 0);
    EXPECT_EQ(ports.setupDi.OpenSetCount(), 0);
    EXPECT_EQ(ports.setupDi.RefusedHandleCount(), 0);
    auto reports = world.scm.Reports();
    ASSERT_EQ(reports.size(), 5u);
    EXPECT_EQ(reports[2].currentState, win::kServiceStopPending);
    EXPECT_EQ(reports[3].currentState, win::kServiceStopPending);
    EXPECT_EQ(reports[4].currentState, win::kServiceStopped);
    EXPECT_EQ(reports[4].win32ExitCode, 0u);
    EXPECT_EQ(EventIds(), (std::vector<uint32_t>{1026, 1029, 1029, 1027}));
    EXPECT_EQ(ports.eventLog.OpenSourceCount(), 0);
}

TEST_F(ServiceCoreTest, FailedNotificationRegistrationStopsTheServiceWithItsError) {
    const std::u16string port = ports.AddPort();
    const std::u16string printer = ports.AddPrinter(u"A0001");
    world.trace.faults.Fail("RegisterDeviceNotificationW", win::kErrorAccessDenied);
    StartProcess();
    EXPECT_EQ(JoinProcess(), static_cast<uint32_t>(win::HResultFromWin32(win::kErrorAccessDenied)));
    // The start-up pass had run before the registration failed; the log says why it stops.
    EXPECT_EQ(ports.Link(port), printer);
    EXPECT_EQ(EventIds(), (std::vector<uint32_t>{1026, 1029, 1030}));
    EXPECT_EQ(ports.eventLog.Entries().back().strings,
              (std::vector<std::string>{"5", "Access is denied."}));
    EXPECT_EQ(ports.eventLog.Entries().back().type, 1);
    EXPECT_EQ(ports.eventLog.OpenSourceCount(), 0);
    auto reports = world.scm.Reports();
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[1].currentState, win::kServiceStopped);
    EXPECT_EQ(reports[1].win32ExitCode,
              static_cast<uint32_t>(win::HResultFromWin32(win::kErrorAccessDenied)));
}

TEST_F(ServiceCoreTest, UnexpectedFailureInADeviceEventStillAnswersNoErrorAndTheServiceStops) {
    StartProcess();
    ASSERT_TRUE(world.scm.WaitForReport(win::kServiceRunning));
    module.failPasses = true;
    // NO_ERROR, so that a query-remove is still granted.
    EXPECT_EQ(world.scm.SendControl(win::kServiceControlDeviceEvent, 0x8000), win::kErrorSuccess);
    EXPECT_EQ(module.passes, 2);
    // The stop hook waits for no device event left behind by the failure.
    EXPECT_EQ(world.scm.SendControl(win::kServiceControlStop), win::kErrorSuccess);
    EXPECT_EQ(JoinProcess(), 0u);
    EXPECT_EQ(world.scm.Reports().back().currentState, win::kServiceStopped);
    EXPECT_EQ(ports.notify.ActiveRegistrations(), 0);
}

TEST_F(ServiceCoreTest, UnexpectedFailureInTheServiceEntryReportsStoppedWithItsExitCode) {
    module.failPasses = true;  // the start-up pass fails
    StartProcess();
    EXPECT_EQ(JoinProcess(), static_cast<uint32_t>(kServiceEntryFailed));
    auto reports = world.scm.Reports();
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0].currentState, win::kServiceStartPending);
    EXPECT_EQ(reports[1].currentState, win::kServiceStopped);
    EXPECT_EQ(reports[1].win32ExitCode, static_cast<uint32_t>(kServiceEntryFailed));
}

}  // namespace
}  // namespace tav::portsvc::host
