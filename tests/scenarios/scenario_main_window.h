#pragma once
// The utility's main window and its three pages in the simulated machine: the virtual-time
// main window of the shell's tests (real detection cycle, message queue, timer 0) on the
// machine's clock and device tree, with the real page logic behind recording views that a
// test clicks and reads.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "printer/settings/link_channel.h"
#include "sim/printer/printer_world.h"
#include "sim/shell/sim_main_window.h"
#include "tavsetup/pages/driver_type_page.h"
#include "tavsetup/pages/printer_response_page.h"
#include "tavsetup/pages/serial_number_page.h"
#include "tavsetup/shell/link_adapters.h"
#include "tests/pages/recording_page_view.h"

namespace tav::test {

// The detector is built before the window that uses it.
struct ScenarioDetector {
    explicit ScenarioDetector(setup::PrinterPlatform& sys) : detector(sys) {}
    setup::LinkDetector detector;
};

class ScenarioMainWindow : private ScenarioDetector, public sim::SimMainWindow {
  public:
    ScenarioMainWindow(sim::PrinterWorld& world, setup::DriverTypeServices& driverType);

    // The window opens (pages built and initialised, the PnP refresh, the first detection
    // posted) and closes.
    void Open();
    void Close();

    RecordingPageView& ViewOf(setup::Page page);

    std::vector<std::string> events;     // page requests to the main window, in order
    std::vector<uint64_t> watchesBegun;  // virtual ms of each setup::WM_BEGIN_WATCH
    RecordingPageView serialView{events};
    RecordingPageView driverView{events};
    RecordingPageView responseView{events};
    std::unique_ptr<setup::SerialNumberPage> serialPage;
    std::unique_ptr<setup::DriverTypePage> driverPage;
    std::unique_ptr<setup::PrinterResponsePage> responsePage;

  private:
    void BuildPages();

    sim::PrinterWorld& m_world;
    setup::DriverTypeServices& m_driverType;
    std::unique_ptr<setup::LinkChannel> m_channel;
};

}  // namespace tav::test
