#include "tests/scenarios/scenario_main_window.h"

#include "tavsetup/shell/main_window_rules.h"
#include "tavsetup/shell/page_layouts.h"
#include "tavsetup/shell/printer_link_instance.h"
#include "tavsetup/shell/window_messages.h"

namespace tav::test {

namespace {
constexpr uint32_t kStepMs = 10;
}

ScenarioMainWindow::ScenarioMainWindow(sim::PrinterWorld& world, DriverTypeServices& driverType)
    : m_world(world),
      m_driverType(driverType),
      m_detector(world.platform),
      m_cycle(*this, m_detector) {
    // The system broadcasts every change of the device nodes to top-level windows.
    m_world.tree.OnChange([this] {
        if (m_open)
            Post(std::nullopt, win::kWmDeviceChange, win::kDbtDevNodesChanged);
    });
}

void ScenarioMainWindow::Open() {
    m_open = true;
    m_cycle.Reset();
    BuildPages();
    Post(std::nullopt, win::kWmDeviceChange, win::kDbtDevNodesChanged);
}

void ScenarioMainWindow::Close() {
    Dispatch({std::nullopt, win::kWmClose, 0});
    m_queue.clear();
    m_open = false;
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
            Dispatch({std::nullopt, message, 0});  // sent: handled before the page goes on
        };
        view->onPostRedetect = [this] { Post(std::nullopt, WM_REDETECT); };
    }
    serialPage->OnInitDialog();
    driverPage->OnInitDialog();
    responsePage->OnInitDialog();
}

void ScenarioMainWindow::RunFor(uint32_t ms) {
    const uint64_t end = m_world.clock.Elapsed() + ms;
    DispatchAll();
    while (m_world.clock.Elapsed() < end) {
        m_world.clock.Advance(kStepMs);
        if (between)
            between();
        DispatchAll();
    }
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

std::vector<uint32_t> ScenarioMainWindow::StatusesOf(Page page) const {
    std::vector<uint32_t> found;
    for (const auto& s : statuses)
        if (s.page == page)
            found.push_back(s.status);
    return found;
}

void ScenarioMainWindow::SetTimer(uint32_t periodMs) {
    KillTimer();
    // A timer posts WM_TIMER each period until killed.
    m_timer = m_world.clock.Schedule(periodMs, [this, periodMs] {
        m_timer.reset();
        Post(std::nullopt, win::kWmTimer, kWatchTimerId);
        SetTimer(periodMs);
    });
}

void ScenarioMainWindow::KillTimer() {
    if (m_timer)
        m_world.clock.Cancel(*m_timer);
    m_timer.reset();
}

void ScenarioMainWindow::PostDetectPrinter() {
    Post(std::nullopt, WM_DETECT_PRINTER);
}

void ScenarioMainWindow::PostStatus(Page page, uint32_t status) {
    statuses.push_back({m_world.clock.Elapsed(), page, status});
    Post(page, WM_PRINTER_STATUS, status);
}

void ScenarioMainWindow::Post(std::optional<Page> page, uint32_t message, uintptr_t wParam) {
    m_queue.push_back({page, message, wParam});
}

void ScenarioMainWindow::DispatchAll() {
    while (m_open && !m_queue.empty()) {
        const Message m = m_queue.front();
        m_queue.pop_front();
        Dispatch(m);
    }
}

void ScenarioMainWindow::Dispatch(const Message& m) {
    if (m.page)
        ViewOf(*m.page).Message(m.message, m.wParam);
    else
        RouteCycleMessage(m_cycle, m.message, m.wParam);
}

}  // namespace tav::test
