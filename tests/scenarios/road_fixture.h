#pragma once
// One simulated machine with everything on it: the printer (its firmware in the printer
// link's world), the port link service on the same device tree, and the utility started
// through its real start-up and exit sequence with the main window and pages open while
// `whileOpen` runs.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "sim/firmware/tav_printer_world.h"
#include "tavsetup/res/resource.h"
#include "tavsetup/shell/printer_link_instance.h"
#include "tavsetup/shell/utility_startup.h"
#include "tests/scenarios/scenario_main_window.h"
#include "tests/scenarios/scenario_service.h"
#include "tests/scenarios/scenario_startup.h"

namespace tav::test {

// The port driver is installed; the PnP refresh only counts.
class InstalledPortDriver : public setup::DriverTypeServices {
  public:
    bool IsPortDriverAvailable() override { return true; }
    void RefreshPnpDevices() override { ++refreshes; }
    int refreshes = 0;
};

class RoadTest : public ::testing::Test {
  protected:
    void SetUp() override {
        service.InstallInfPackage();
        service.Start();
        window.between = [this] { service.DeliverDeviceEvents(); };
    }

    void RunUtility(const std::function<void()>& whileOpen) {
        setup::UtilityStartup utility(
            setup::StartupSeams{startup, startup, startup, [&](const std::u16string&) {
                                    window.Open();
                                    whileOpen();
                                    window.Close();
                                }});
        utility.InitInstance();
    }

    std::u16string Text(RecordingPageView& view, uint32_t control) {
        return view.Control(control).text;
    }
    std::string Ansi(RecordingPageView& view, uint32_t control) { return view.Ansi(control); }

    // Declared in this order: the window and the service watch the world's device tree.
    sim::PrinterWorld world;
    std::shared_ptr<sim::TavPrinterFirmware> printer = sim::AddTavPrinter(world);
    ScenarioService service{world.trace, world.tree};
    InstalledPortDriver portDriver;
    ScenarioMainWindow window{world, portDriver};
    ScenarioStartup startup{world, service};
};

}  // namespace tav::test
