#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "tests/host/host_test_support.h"

namespace tav::portsvc::host {
namespace {

constexpr win::HResult kAccessDeniedHr = win::HResultFromWin32(win::kErrorAccessDenied);

std::vector<uint32_t> States(const std::vector<win::ServiceStatus>& reports) {
    std::vector<uint32_t> states;
    for (const auto& report : reports)
        states.push_back(report.currentState);
    return states;
}

class ServiceRunTest : public ::testing::Test {
  protected:
    // Runs the process main routine without switches on a thread of its own, as the
    // process's main thread would.
    void StartProcess() {
        m_main =
            std::thread([this] { exitCode = module.ProcessMain(u"\"C:\\x\\Tavportsvc.exe\""); });
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
    test::ScriptedModule module{world.platform};
    uint32_t exitCode = 0xDEAD;

  private:
    std::thread m_main;
};

TEST_F(ServiceRunTest, NormalRunReportsTheExactSequenceAndExitsZero) {
    world.registry.AddKey(win::kHkeyClassesRoot, u"AppID\\{5E0A3C41-7B2D-4F19-A6C8-93D1E2F4B705}");
    StartProcess();
    ASSERT_TRUE(world.scm.WaitForReport(win::kServiceRunning));
    EXPECT_NE(module.ServiceThreadId(), world.scm.DispatcherThreadId());
    world.messages.PostOther(module.ServiceThreadId());
    EXPECT_EQ(world.scm.SendControl(win::kServiceControlStop), win::kErrorSuccess);
    EXPECT_EQ(JoinProcess(), 0u);
    // The loop dispatched the ordinary message and ended at WM_QUIT.
    EXPECT_EQ(world.messages.Dispatched(), 1u);

    auto reports = world.scm.Reports();
    EXPECT_EQ(States(reports),
              (std::vector<uint32_t>{win::kServiceStartPending, win::kServiceRunning,
                                     win::kServiceStopPending, win::kServiceStopPending,
                                     win::kServiceStopped}));
    for (const auto& report : reports) {
        EXPECT_EQ(report.serviceType, 0x10u);
        EXPECT_EQ(report.controlsAccepted, 0x45u);
        EXPECT_EQ(report.win32ExitCode, 0u);
        EXPECT_EQ(report.serviceSpecificExitCode, 0u);
        EXPECT_EQ(report.checkPoint, 0u);
        EXPECT_EQ(report.waitHint, 0u);
    }
    EXPECT_EQ(module.startHooks, 1);
    EXPECT_EQ(module.stopHooks, 1);
    EXPECT_EQ(world.com.InitializeDepth(), 0);
    EXPECT_EQ(world.trace.faults.Calls("CoResumeClassObjects"), 1);
    // The stop travels as WM_QUIT to the thread that ran the service entry.
    EXPECT_EQ(world.trace.log.Count("PostThreadMessageW WM_QUIT"), 1u);
    EXPECT_EQ(world.registry.OpenHandleCount(), 0u);
}

TEST_F(ServiceRunTest, FailingStartHookStopsWithItsResultAndSkipsTheStopHook) {
    world.registry.AddKey(win::kHkeyClassesRoot, u"AppID\\{5E0A3C41-7B2D-4F19-A6C8-93D1E2F4B705}");
    module.startResult = kAccessDeniedHr;
    StartProcess();
    EXPECT_EQ(JoinProcess(), static_cast<uint32_t>(kAccessDeniedHr));
    auto reports = world.scm.Reports();
    EXPECT_EQ(States(reports),
              (std::vector<uint32_t>{win::kServiceStartPending, win::kServiceStopped}));
    EXPECT_EQ(reports.back().win32ExitCode, static_cast<uint32_t>(kAccessDeniedHr));
    EXPECT_EQ(module.stopHooks, 0);
    EXPECT_EQ(world.trace.faults.Calls("GetMessageW"), 0);
}

TEST_F(ServiceRunTest, StopDuringADeviceEventPassWaitsForThePass) {
    world.registry.AddKey(win::kHkeyClassesRoot, u"AppID\\{5E0A3C41-7B2D-4F19-A6C8-93D1E2F4B705}");
    StartProcess();
    ASSERT_TRUE(world.scm.WaitForReport(win::kServiceRunning));
    module.HoldPasses();
    std::thread deviceEvent(
        [&] { EXPECT_EQ(world.scm.SendControl(win::kServiceControlDeviceEvent, 0x8004), 0u); });
    ASSERT_TRUE(module.WaitPassEntered());
    std::thread stop([&] { EXPECT_EQ(world.scm.SendControl(win::kServiceControlStop), 0u); });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(States(world.scm.Reports()),
              (std::vector<uint32_t>{win::kServiceStartPending, win::kServiceRunning}));
    module.ReleasePass();
    deviceEvent.join();
    stop.join();
    EXPECT_EQ(JoinProcess(), 0u);
    EXPECT_EQ(module.devicePasses, 1);
    EXPECT_EQ(States(world.scm.Reports()),
              (std::vector<uint32_t>{win::kServiceStartPending, win::kServiceRunning,
                                     win::kServiceStopPending, win::kServiceStopPending,
                                     win::kServiceStopped}));
}

TEST_F(ServiceRunTest, OtherControlsChangeNothing) {
    world.registry.AddKey(win::kHkeyClassesRoot, u"AppID\\{5E0A3C41-7B2D-4F19-A6C8-93D1E2F4B705}");
    StartProcess();
    ASSERT_TRUE(world.scm.WaitForReport(win::kServiceRunning));
    for (uint32_t control : {win::kServiceControlInterrogate, win::kServiceControlShutdown,
                             win::kServiceControlPowerEvent, 2u, 3u})
        EXPECT_EQ(world.scm.SendControl(control), win::kErrorSuccess);
    EXPECT_EQ(world.scm.Reports().size(), 2u);
    EXPECT_EQ(module.devicePasses, 0);
    EXPECT_EQ(world.scm.SendControl(win::kServiceControlDeviceEvent, 0x8000), win::kErrorSuccess);
    EXPECT_EQ(world.scm.SendControl(win::kServiceControlDeviceEvent, 0x8001), win::kErrorSuccess);
    EXPECT_EQ(module.devicePasses, 2);
    world.scm.SendControl(win::kServiceControlStop);
    EXPECT_EQ(JoinProcess(), 0u);
}

TEST_F(ServiceRunTest, MissingAppIdKeyExitsWithTwoBeforeTheDispatcher) {
    EXPECT_EQ(module.ProcessMain(u"x.exe"), win::kErrorFileNotFound);
    EXPECT_EQ(world.trace.faults.Calls("StartServiceCtrlDispatcherW"), 0);
    EXPECT_EQ(world.registry.OpenHandleCount(), 0u);
}

TEST_F(ServiceRunTest, StartedFromAShellExitsWith1063) {
    world.registry.AddKey(win::kHkeyClassesRoot, u"AppID\\{5E0A3C41-7B2D-4F19-A6C8-93D1E2F4B705}");
    world.scm.SetStartedByManager(false);
    EXPECT_EQ(module.ProcessMain(u"x.exe"), win::kErrorFailedServiceControllerConnect);
    EXPECT_EQ(world.registry.OpenHandleCount(), 0u);
}

TEST_F(ServiceRunTest, HandlerRegistrationFailureReportsNothing) {
    world.registry.AddKey(win::kHkeyClassesRoot, u"AppID\\{5E0A3C41-7B2D-4F19-A6C8-93D1E2F4B705}");
    world.trace.faults.Fail("RegisterServiceCtrlHandlerExW", win::kErrorAccessDenied);
    EXPECT_EQ(module.ProcessMain(u"x.exe"), 0u);
    EXPECT_TRUE(world.scm.Reports().empty());
    EXPECT_EQ(module.startHooks, 0);
}

TEST_F(ServiceRunTest, CoInitializeFailureReportsStoppedWithTheCode) {
    world.registry.AddKey(win::kHkeyClassesRoot, u"AppID\\{5E0A3C41-7B2D-4F19-A6C8-93D1E2F4B705}");
    world.trace.faults.Fail("CoInitialize", 0x8007000E);
    EXPECT_EQ(module.ProcessMain(u"x.exe"), 0x8007000Eu);
    auto reports = world.scm.Reports();
    EXPECT_EQ(States(reports),
              (std::vector<uint32_t>{win::kServiceStartPending, win::kServiceStopped}));
    EXPECT_EQ(reports.back().win32ExitCode, 0x8007000Eu);
    EXPECT_EQ(module.startHooks, 0);
}

TEST_F(ServiceRunTest, ChangedModeIsToleratedOnlyWithMscoreeLoaded) {
    world.registry.AddKey(win::kHkeyClassesRoot, u"AppID\\{5E0A3C41-7B2D-4F19-A6C8-93D1E2F4B705}");
    world.trace.faults.Fail("CoInitialize", static_cast<uint32_t>(win::kRpcEChangedMode), 2);
    EXPECT_EQ(module.ProcessMain(u"x.exe"), static_cast<uint32_t>(win::kRpcEChangedMode));
    EXPECT_EQ(module.startHooks, 0);

    sim::SimHostWorld other{test::RealRegistryScript()};
    other.registry.AddKey(win::kHkeyClassesRoot, u"AppID\\{5E0A3C41-7B2D-4F19-A6C8-93D1E2F4B705}");
    other.trace.faults.Fail("CoInitialize", static_cast<uint32_t>(win::kRpcEChangedMode));
    other.trace.faults.Fail("GetMessageW", 1);  // ends the loop as a failed GetMessageW would
    other.com.SetMscoreeLoaded(true);
    test::ScriptedModule tolerant{other.platform};
    EXPECT_EQ(tolerant.ProcessMain(u"x.exe"), 0u);
    EXPECT_EQ(tolerant.startHooks, 1);
    // COM was not initialised by this thread, so it is not uninitialised either.
    EXPECT_EQ(other.trace.faults.Calls("CoUninitialize"), 0);
}

TEST_F(ServiceRunTest, FailedGetMessageEndsTheLoopAndRunsTheStopHook) {
    world.registry.AddKey(win::kHkeyClassesRoot, u"AppID\\{5E0A3C41-7B2D-4F19-A6C8-93D1E2F4B705}");
    world.trace.faults.Fail("GetMessageW", 1);
    EXPECT_EQ(module.ProcessMain(u"x.exe"), 0u);
    EXPECT_EQ(module.stopHooks, 1);
    EXPECT_EQ(States(world.scm.Reports()),
              (std::vector<uint32_t>{win::kServiceStartPending, win::kServiceRunning,
                                     win::kServiceStopped}));
}

}  // namespace
}  // namespace tav::portsvc::host
