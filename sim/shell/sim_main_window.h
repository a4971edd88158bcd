#pragma once
// The main window in virtual time (the shell's tests, the scenarios and the demo): timer 0
// on the virtual clock, posted messages in one queue dispatched through the real routing,
// statuses recorded with the time they were posted. With `toPage` set, each status also
// goes to its page through the queue, as PostMessageW to the page's window does. Tests
// broadcast WM_DEVICECHANGE when devices change, as the system does.

#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "sim/virtual_clock.h"
#include "tavsetup/pages/page_messages.h"
#include "tavsetup/shell/detection_cycle.h"
#include "tavsetup/shell/main_window_rules.h"
#include "tavsetup/shell/window_messages.h"

namespace tav::sim {

struct PostedStatus {
    uint64_t at;  // virtual ms since the start
    setup::Page page;
    uint32_t status;
};

class SimMainWindow : public setup::DetectionView {
  public:
    // Timer 0 runs on `time`: the window's own clock, or a simulated world's.
    explicit SimMainWindow(setup::PrinterDetector& detector, VirtualClock* time = nullptr)
        : clock(time ? *time : m_ownClock), cycle(*this, detector) {
        cycle.Reset();
    }

    void SetTimer(uint32_t periodMs) override {
        KillTimer();
        timerPeriod = periodMs;
        ArmTimer();
    }
    void KillTimer() override {
        if (m_timer)
            clock.Cancel(*m_timer);
        m_timer.reset();
        timerPeriod.reset();
    }
    void PostDetectPrinter() override { Post(setup::WM_DETECT_PRINTER); }
    void PostStatus(setup::Page page, uint32_t status) override {
        posted.push_back({clock.Elapsed(), page, status});
        if (toPage)
            m_queue.push_back({page, setup::WM_PRINTER_STATUS, status});
    }
    void ShowSeveralPrintersWarning() override {
        ++warningsShown;
        ++openWarnings;
        maxOpenWarnings = std::max(maxOpenWarnings, openWarnings);
        if (whileWarningOpen)
            whileWarningOpen();  // the box's own message loop keeps dispatching
        --openWarnings;
    }

    // Queues a message to the main window as PostMessageW does.
    void Post(uint32_t message, uintptr_t wParam = 0) {
        m_queue.push_back({std::nullopt, message, wParam});
    }
    // SendMessageW to the main window: handled before this returns.
    void Send(uint32_t message, uintptr_t wParam = 0) { Dispatch({std::nullopt, message, wParam}); }
    // Forgets what is queued (the window is gone).
    void DropQueued() { m_queue.clear(); }

    // Dispatches queued messages while the window is open.
    void Pump() {
        while (open && !m_queue.empty()) {
            const Queued message = m_queue.front();
            m_queue.pop_front();
            Dispatch(message);
        }
    }

    // Lets `ms` of virtual time pass in steps of stepMs, running `between` after each
    // step and then dispatching what it brought.
    void RunFor(uint32_t ms) {
        const uint64_t end = clock.Elapsed() + ms;
        Pump();
        while (clock.Elapsed() < end) {
            clock.Advance(stepMs);
            if (between)
                between();
            Pump();
        }
    }

    // The system's broadcast when device nodes change.
    void DeviceNodesChanged() { Post(win::kWmDeviceChange, win::kDbtDevNodesChanged); }
    // The start of the main window: the first step follows a posted device change.
    void Start() {
        DeviceNodesChanged();
        Pump();
    }

    // Statuses posted to one page, in order.
    std::vector<uint32_t> StatusesOf(setup::Page page) const {
        std::vector<uint32_t> out;
        for (const auto& p : posted)
            if (p.page == page)
                out.push_back(p.status);
        return out;
    }

  private:
    VirtualClock m_ownClock{0};

  public:
    VirtualClock& clock;
    setup::DetectionCycle cycle;
    std::vector<PostedStatus> posted;
    std::optional<uint32_t> timerPeriod;
    std::function<void()> whileWarningOpen;
    int warningsShown = 0;
    int openWarnings = 0;
    int maxOpenWarnings = 0;
    setup::Route lastRoute = setup::Route::Default;
    bool open = true;               // a closed window dispatches nothing
    uint32_t stepMs = 1;            // RunFor's step of virtual time
    std::function<void()> between;  // after each step (e.g. the service's device events)
    // A message for a page's window procedure (set when the window has pages).
    std::function<void(setup::Page page, uint32_t message, uintptr_t wParam)> toPage;

  private:
    struct Queued {
        std::optional<setup::Page> page;  // none: the main window
        uint32_t message;
        uintptr_t wParam;
    };

    void Dispatch(const Queued& m) {
        if (m.page)
            toPage(*m.page, m.message, m.wParam);
        else
            lastRoute = setup::RouteCycleMessage(cycle, m.message, m.wParam);
    }

    void ArmTimer() {
        m_timer = clock.Schedule(*timerPeriod, [this] {
            Post(win::kWmTimer, setup::kWatchTimerId);
            ArmTimer();  // a window timer repeats until killed
        });
    }

    std::optional<uint64_t> m_timer;
    std::deque<Queued> m_queue;
};

}  // namespace tav::sim
