#pragma once
// The utility's main window and its three pages in the simulated machine: the real
// detection cycle and page logic, a message queue in virtual time (posted messages, timer
// 0, the device-change broadcast of the machine's device tree), and the pages' windows as
// recording views that a test clicks and reads.

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sim/printer/printer_world.h"
#include "tavsetup/pages/driver_type_page.h"
#include "tavsetup/pages/link_channel.h"
#include "tavsetup/pages/printer_response_page.h"
#include "tavsetup/pages/serial_number_page.h"
#include "tavsetup/shell/detection_cycle.h"
#include "tavsetup/shell/link_adapters.h"
#include "tests/pages/recording_page_view.h"

namespace tav::test {

struct StatusPosted {
    uint64_t at;  // virtual ms
    Page page;
    uint32_t status;
};

class ScenarioMainWindow : public DetectionView {
  public:
    ScenarioMainWindow(sim::PrinterWorld& world, DriverTypeServices& driverType);

    // The window opens (pages built and initialised, the first detection posted) and closes.
    void Open();
    void Close();

    // Lets `ms` of virtual time pass, dispatching messages as they come; `between` runs
    // after each step (the service's device events).
    void RunFor(uint32_t ms);
    std::function<void()> between;

    RecordingPageView& ViewOf(Page page);
    std::vector<uint32_t> StatusesOf(Page page) const;

    std::vector<std::string> events;  // page requests to the main window, in order
    std::vector<StatusPosted> statuses;
    std::vector<uint64_t> watchesBegun;  // virtual ms of each WM_BEGIN_WATCH
    RecordingPageView serialView{events};
    RecordingPageView driverView{events};
    RecordingPageView responseView{events};
    std::unique_ptr<SerialNumberPage> serialPage;
    std::unique_ptr<DriverTypePage> driverPage;
    std::unique_ptr<PrinterResponsePage> responsePage;

  private:
    struct Message {
        std::optional<Page> page;  // none: the main window
        uint32_t message;
        uintptr_t wParam;
    };

    // DetectionView
    void SetTimer(uint32_t periodMs) override;
    void KillTimer() override;
    void PostDetectPrinter() override;
    void PostStatus(Page page, uint32_t status) override;
    void ShowSeveralPrintersWarning() override {}

    void Post(std::optional<Page> page, uint32_t message, uintptr_t wParam = 0);
    void DispatchAll();
    void Dispatch(const Message& m);
    void BuildPages();

    sim::PrinterWorld& m_world;
    DriverTypeServices& m_driverType;
    LinkDetector m_detector;
    DetectionCycle m_cycle;
    std::unique_ptr<LinkChannel> m_channel;
    std::deque<Message> m_queue;
    std::optional<uint64_t> m_timer;
    bool m_open = false;
};

}  // namespace tav::test
