// The detection cycle and the exit sequence over the printer link's real operations in the
// simulated world: discovery and identification on the simulated device tree and printer,
// service control on the simulated service manager.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

#include "fake_startup_platform.h"
#include "sim/printer/device_id_firmware.h"
#include "sim/printer/printer_world.h"
#include "sim/shell/sim_main_window.h"
#include "tavsetup/shell/link_adapters.h"
#include "tavsetup/shell/printer_link_instance.h"
#include "tavsetup/shell/utility_startup.h"

namespace tav::test {
using namespace tav::setup;
namespace {

using ::testing::ElementsAre;

class ShellInSimWorld : public ::testing::Test {
  protected:
    ShellInSimWorld() {
        g_pPrinterLink = &link;
        world.tree.OnChange([this] { window.DeviceNodesChanged(); });
    }
    ~ShellInSimWorld() override { g_pPrinterLink = nullptr; }

    sim::SimPrinter Plug(const std::u16string& serial,
                         const std::string& deviceId = "MFG:TAV;MDL:HX-P100;CMD:ESCPOS;") {
        sim::PrinterPlug plug;
        plug.serial = serial;
        return world.AddPrinter(plug, std::make_shared<sim::DeviceIdFirmware>(deviceId));
    }
    // Statuses the pages were told, repeats collapsed: one plug-in or reset makes the
    // system broadcast several device changes, each running a step.
    std::vector<uint32_t> Reported() const {
        std::vector<uint32_t> out;
        for (uint32_t status : window.StatusesOf(Page::VCom))
            if (out.empty() || out.back() != status)
                out.push_back(status);
        return out;
    }

    sim::PrinterWorld world;
    PrinterLink link;
    LinkDetector detector{world.platform};
    sim::SimMainWindow window{detector, &world.clock};
};

TEST_F(ShellInSimWorld, StartFindsWhatIsPlugged) {
    window.Start();
    EXPECT_EQ(Reported(), (std::vector<uint32_t>{113}));

    Plug(u"A1");
    window.RunFor(1);
    EXPECT_EQ(Reported(), (std::vector<uint32_t>{113, 0}));
    EXPECT_STREQ(link.pszMfg, "TAV");

    Plug(u"B2");
    window.RunFor(1);
    EXPECT_EQ(Reported(), (std::vector<uint32_t>{113, 0, 102}));
    EXPECT_GE(window.warningsShown, 1);
    EXPECT_EQ(window.maxOpenWarnings, 1);
}

TEST_F(ShellInSimWorld, RejectedDeviceIdReports125) {
    Plug(u"A1", "MDL:HX-P100;CMD:ESCPOS;");  // no MFG value
    window.Start();
    EXPECT_EQ(Reported(), (std::vector<uint32_t>{125}));
}

TEST_F(ShellInSimWorld, ReplugWithinTheWatchWindowIsReportedOnceAsReady) {
    const sim::SimPrinter printer = Plug(u"A1");
    window.Start();
    window.Post(WM_BEGIN_WATCH);
    window.RunFor(200);
    world.tree.SetDevicePresent(printer.deviceId, false);  // the printer resets
    window.RunFor(2000);
    world.tree.SetDevicePresent(printer.deviceId, true);  // and is back
    window.RunFor(6000);
    EXPECT_EQ(Reported(), (std::vector<uint32_t>{0}));  // never 113
    EXPECT_TRUE(link.pszDevicePath.has_value());
}

TEST_F(ShellInSimWorld, PrinterGoneForGoodIsReportedAfterTheWindow) {
    const sim::SimPrinter printer = Plug(u"A1");
    window.Start();
    const uint64_t watchStart = world.clock.Elapsed();
    window.Post(WM_BEGIN_WATCH);
    window.RunFor(200);
    world.tree.SetDevicePresent(printer.deviceId, false);
    window.RunFor(6000);
    EXPECT_EQ(Reported(), (std::vector<uint32_t>{0, 113}));
    EXPECT_GE(window.posted.back().at - watchStart, 5000u);
}

// The exit sequence on the simulated service manager, with the start-up's own calls in
// the same trace so the orders across both can be checked.
class ExitInSimWorld : public ::testing::Test {
  protected:
    int Run() {
        UtilityStartup app(StartupSeams{kernel, windows, services, [this](const std::u16string&) {
                                            if (whileRunning)
                                                whileRunning();
                                        }});
        return app.InitInstance();
    }
    // Service calls and the mutex release, in order.
    std::vector<std::string> Steps() const {
        std::vector<std::string> steps;
        for (const auto& e : world.trace.log.Entries())
            if (e.rfind("StartServiceW", 0) == 0 || e.rfind("ControlService", 0) == 0 ||
                e.rfind("ReleaseMutex", 0) == 0)
                steps.push_back(e);
        return steps;
    }
    uint32_t State(const char16_t* name) const { return world.services.State(name); }

    sim::PrinterWorld world;
    FakeKernel kernel{world.trace.log};
    FakeWindows windows{world.trace.log};
    LinkExitServices services{world.platform};
    std::function<void()> whileRunning;
};

TEST_F(ExitInSimWorld, SpoolerFirstThenMutexThenServiceRestart) {
    whileRunning = [this] {
        // A transport fallback stopped the print services during the run.
        world.services.Config(u"Lpdsvc").state = win::kServiceStopped;
        world.services.Config(u"Spooler").state = win::kServiceStopped;
    };
    EXPECT_EQ(Run(), 0);
    EXPECT_THAT(Steps(), ElementsAre("StartServiceW Spooler", "ReleaseMutex 77",
                                     "ControlService Tavportsvc 1", "StartServiceW Tavportsvc"));
    EXPECT_EQ(State(u"Spooler"), win::kServiceRunning);
    EXPECT_EQ(State(u"Tavportsvc"), win::kServiceRunning);
    EXPECT_EQ(State(u"Lpdsvc"), win::kServiceStopped);  // this run did not stop it
    EXPECT_EQ(world.services.OpenHandles(), 0u);
}

TEST_F(ExitInSimWorld, StoppedServiceIsStarted) {
    world.services.Config(u"Tavportsvc").state = win::kServiceStopped;
    Run();
    EXPECT_THAT(Steps(), ElementsAre("ReleaseMutex 77", "StartServiceW Tavportsvc"));
    EXPECT_EQ(State(u"Tavportsvc"), win::kServiceRunning);
}

TEST_F(ExitInSimWorld, LpdServiceStoppedByThisRunIsStartedLast) {
    whileRunning = [this] {
        world.services.Config(u"Lpdsvc").state = win::kServiceStopped;
        g_pPrinterLink->bLpdStopped = 1;
    };
    Run();
    EXPECT_THAT(Steps(), ElementsAre("ReleaseMutex 77", "ControlService Tavportsvc 1",
                                     "StartServiceW Tavportsvc", "StartServiceW Lpdsvc"));
    EXPECT_EQ(State(u"Lpdsvc"), win::kServiceRunning);
}

TEST_F(ExitInSimWorld, ServiceControlFailuresDoNotStopTheExit) {
    world.services.Config(u"Tavportsvc").refuseStop = win::kErrorAccessDenied;
    world.trace.faults.FailAlways("OpenSCManagerW", win::kErrorAccessDenied);
    EXPECT_EQ(Run(), 0);
    EXPECT_THAT(Steps(), ElementsAre("ReleaseMutex 77"));
    EXPECT_EQ(g_pPrinterLink, nullptr);
}

}  // namespace
}  // namespace tav::test
