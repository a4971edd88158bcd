#include "tests/scenarios/scenario_main_window.h"

#include "tavsetup/pages/page_layouts.h"
#include "tavsetup/pages/page_messages.h"
#include "tavsetup/shell/printer_link_instance.h"
#include "tavsetup/shell/window_messages.h"

namespace tav::test {
using namespace tav::setup;

namespace {
constexpr uint32_t kStepMs = 10;
}

ScenarioMainWindow::ScenarioMainWindow(sim::PrinterWorld& world, DriverTypeServices& driverType)
    : ScenarioDetector(world.platform),
      sim::SimMainWindow(detector, &world.clock),
      m_world(world),
      m_driverType(driverType) {
    open = false;
    stepMs = kStepMs;
    toPage = [this](Page page, uint32_t message, uintptr_t wParam) {
        ViewOf(page).Message(message, wParam);
    };
    // The system broadcasts every change of the device nodes to top-level windows.
    m_world.tree.OnChange([this] {
        if (open)
            DeviceNodesChanged();
    });
}

// In the main window's order: pages built, the PnP devices walked again, then the first
// detection posted.
void ScenarioMainWindow::Open() {
    open = true;
    cycle.Reset();
    BuildPages();
    m_driverType.RefreshPnpDevices();
    DeviceNodesChanged();
}

void ScenarioMainWindow::Close() {
    Send(win::kWmClose);
    DropQueued();
    open = false;
    serialPage.reset();
    driverPage.reset();
    responsePage.reset();
    m_channel.reset();
}

void ScenarioMainWindow::BuildPages() {
    m_channel = std::make_unique<LinkChannel>(m_world.platform, *g_pPrinterLink);
    const PagePrinter printer{*m_channel, *g_pPrinterLink};
    serialPage = std::make_unique<SerialNumberPage>(serialView, printer);
    driverPage = std::make_unique<DriverTypePage>(driverView, printer, m_driverType);
    responsePage = std::make_unique<PrinterResponsePage>(responseView, printer);
    serialView.Attach(*serialPage, SerIdPageLayout());
    driverView.Attach(*driverPage, VComPageLayout());
    responseView.Attach(*responsePage, BidiPageLayout());
    for (RecordingPageView* view : {&serialView, &driverView, &responseView}) {
        view->onSendToMain = [this](uint32_t message) {
            if (message == WM_BEGIN_WATCH)
                watchesBegun.push_back(m_world.clock.Elapsed());
            Send(message);  // sent: handled before the page goes on
        };
        view->onPostRedetect = [this] { Post(WM_REDETECT); };
    }
    serialPage->OnInitDialog();
    driverPage->OnInitDialog();
    responsePage->OnInitDialog();
}

RecordingPageView& ScenarioMainWindow::ViewOf(Page page) {
    switch (page) {
        case Page::SerId:
            return serialView;
        case Page::VCom:
            return driverView;
        default:
            return responseView;
    }
}

}  // namespace tav::test
