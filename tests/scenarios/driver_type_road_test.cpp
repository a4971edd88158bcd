// The whole road of a driver-type change: Apply on the driver type page, the watch window,
// the printer leaving and coming back as a virtual-serial device, the pages reading again,
// the service's passes stepping aside while the utility runs, and the service restarted at
// the utility's exit linking the printer to a port.
#include "shared/names.h"
#include "sim/windows_values.h"
#include "tavsetup/pages/page_messages.h"
#include "tavsetup/shell/window_messages.h"
#include "tests/pages/fake_printer_channel.h"
#include "tests/scenarios/road_fixture.h"

namespace tav::test {
using namespace tav::setup;
namespace {

using ::testing::Contains;
using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class DriverTypeRoadTest : public RoadTest {
  protected:
    RecordingPageView& page = window.driverView;

    // The user switches to the virtual serial type while the utility is open.
    void SwitchToVirtualSerial() {
        window.RunFor(500);
        ASSERT_EQ(Text(page, IDC_VCOM_VALUE), u": Printer Driver");
        page.Click(IDC_VCOM_SERIAL_DRIVER);
        page.Click(IDC_VCOM_APPLY);
        window.RunFor(6000);
    }
    std::vector<size_t> PresentInterfaces() {
        return {world.tree.Interfaces(sim::sdk::kUsbPrintInterface, true).size(),
                world.tree.Interfaces(sim::sdk::kComPortInterface, true).size(),
                world.tree.Interfaces(sim::sdk::kPrinterDriverInterface, true).size()};
    }
};

TEST_F(DriverTypeRoadTest, ApplyToStartUpPassCreatingAPort) {
    RunUtility([&] {
        // The opening refresh comes before the first detection.
        EXPECT_EQ(portDriver.refreshes, 1);
        EXPECT_THAT(window.posted, IsEmpty());
        window.RunFor(500);
        EXPECT_EQ(Text(page, IDC_VCOM_VALUE), u": Printer Driver");
        EXPECT_EQ(Text(page, IDC_VCOM_LABEL), u"Driver Type\t\t\t");
        EXPECT_EQ(PresentInterfaces(), (std::vector<size_t>{1, 0, 0}));

        const size_t probesBefore = world.trace.log.Count("OpenMutexW");
        page.Click(IDC_VCOM_SERIAL_DRIVER);
        page.Click(IDC_VCOM_APPLY);
        EXPECT_EQ(Text(page, IDC_VCOM_LABEL), u"Switching the driver type...");
        // The switch block read first, then the watch, then the class request.
        const auto writes = printer->Writes();
        ASSERT_GE(writes.size(), 2u);
        EXPECT_EQ(WriteEvent(writes[writes.size() - 2]).substr(0, 20), "write 12 6C FF 54 41");
        EXPECT_EQ(WriteEvent(writes.back()), "write 12 75 03 24 12 40");
        EXPECT_THAT(window.events, Contains("send 0x8001"));

        // Away and back in the other class, within the watch window.
        window.RunFor(1000);
        EXPECT_EQ(PresentInterfaces(), (std::vector<size_t>{0, 0, 0}));
        EXPECT_EQ(Text(page, IDC_VCOM_LABEL), u"Switching the driver type...");
        window.RunFor(3000);
        EXPECT_EQ(PresentInterfaces(), (std::vector<size_t>{0, 1, 1}));

        // The pages heard nothing while the printer was away; they read again on its return
        // (and on each device change after it).
        for (Page p : {Page::SerId, Page::VCom, Page::Bidi}) {
            EXPECT_THAT(window.StatusesOf(p), Each(0u));
            EXPECT_GE(window.StatusesOf(p).size(), 2u);
        }
        EXPECT_EQ(g_pPrinterLink->bSerialMode, 1);
        EXPECT_EQ(Text(page, IDC_VCOM_VALUE), u": Virtual Serial Port Driver");
        EXPECT_TRUE(page.Control(IDC_VCOM_SERIAL_DRIVER).checked);
        EXPECT_FALSE(page.Control(IDC_VCOM_APPLY).enabled);
        EXPECT_TRUE(page.Control(IDC_VCOM_PRINTER_DRIVER).enabled);
        EXPECT_EQ(Ansi(window.serialView, IDC_SERID_VALUE),
                  ": TAV HX-P300\n\n: D8K0012345\n: D8K0012345");
        EXPECT_EQ(Text(window.responseView, IDC_BIDI_VALUE), u": Receive");
        EXPECT_EQ(static_cast<size_t>(portDriver.refreshes),
                  1 + window.StatusesOf(Page::VCom).size());

        // The service saw the printer interface arrive; its pass found the mutex held and
        // stepped aside.
        EXPECT_GE(service.deviceEvents, 1);
        EXPECT_GT(world.trace.log.Count("OpenMutexW"), probesBefore);
        EXPECT_THAT(service.Ports(), IsEmpty());
        EXPECT_EQ(world.trace.log.Count("RegSetValueExW"), 0u);
    });

    EXPECT_THAT(startup.exitSteps,
                ElementsAre("start Spooler", "stop Tavportsvc", "start Tavportsvc"));
    EXPECT_EQ(service.starts, 2);
    EXPECT_EQ(service.stops, 1);
    EXPECT_EQ(service.UtilityMutex(), sim::UtilityMutex::kAbsent);
    // The start-up pass found no free port: a new one from the INF, linked to the printer.
    const auto ports = service.Ports();
    ASSERT_EQ(ports.size(), 1u);
    EXPECT_EQ(service.Link(ports[0]), printer->Identity().printerClassPath);
}

TEST_F(DriverTypeRoadTest, StartUpPassTakesAFreePort) {
    const std::u16string freePort = service.AddPort();
    RunUtility([&] { SwitchToVirtualSerial(); });
    EXPECT_THAT(service.Ports(), ElementsAre(freePort));
    EXPECT_EQ(service.Link(freePort), printer->Identity().printerClassPath);
}

TEST_F(DriverTypeRoadTest, TheMutexIsReleasedBeforeTheServiceIsStopped) {
    RunUtility([&] { SwitchToVirtualSerial(); });
    const auto log = world.trace.log.Entries();
    const auto release = std::find(log.begin(), log.end(), "ReleaseMutex");
    const auto stop = std::find_if(log.begin(), log.end(), [](const std::string& e) {
        return e.rfind("ControlService", 0) == 0;
    });
    ASSERT_NE(release, log.end());
    ASSERT_NE(stop, log.end());
    EXPECT_LT(release - log.begin(), stop - log.begin());
}

TEST_F(DriverTypeRoadTest, BackToPrinterDriverLeavesTheLinkForTheNextReturn) {
    RunUtility([&] { SwitchToVirtualSerial(); });
    const auto port = service.Ports().at(0);
    RunUtility([&] {
        window.RunFor(500);
        EXPECT_EQ(Text(page, IDC_VCOM_VALUE), u": Virtual Serial Port Driver");
        page.Click(IDC_VCOM_PRINTER_DRIVER);
        page.Click(IDC_VCOM_APPLY);
        EXPECT_EQ(WriteEvent(printer->Writes().back()), "write 12 75 03 25 12 40");
        window.RunFor(6000);
        EXPECT_EQ(Text(page, IDC_VCOM_VALUE), u": Printer Driver");
        EXPECT_EQ(g_pPrinterLink->bSerialMode, 0);
    });
    // The port keeps its link; no second port was made.
    EXPECT_THAT(service.Ports(), ElementsAre(port));
    EXPECT_EQ(service.Link(port), printer->Identity().printerClassPath);
}

TEST_F(DriverTypeRoadTest, APrinterThatDoesNotReturnIsReportedAtTheEndOfTheWatch) {
    printer->returnDelayMs = 60000;
    RunUtility([&] {
        window.RunFor(500);
        page.Click(IDC_VCOM_SERIAL_DRIVER);
        const uint64_t applied = world.clock.Elapsed();
        page.Click(IDC_VCOM_APPLY);
        window.RunFor(4900);
        EXPECT_THAT(window.StatusesOf(Page::VCom), ElementsAre(0u));
        window.RunFor(200);
        EXPECT_THAT(window.StatusesOf(Page::VCom), ElementsAre(0u, kStatusUndetected));
        EXPECT_GE(window.posted.back().at - applied, 5000u);
        EXPECT_EQ(Text(page, IDC_VCOM_LABEL), u"Printer is undetected!!");
        EXPECT_THAT(window.driverView.EnabledOf({IDC_VCOM_REFRESH, IDC_VCOM_PRINTER_DRIVER,
                                                 IDC_VCOM_SERIAL_DRIVER, IDC_VCOM_APPLY}),
                    ElementsAre(IDC_VCOM_REFRESH));
    });
}

}  // namespace
}  // namespace tav::test
