#pragma once
// The main window in virtual time for the detection cycle (tests and the demo): timer 0 on the
// virtual clock, posted messages in a queue dispatched through the real routing, statuses recorded
// with the time they were posted. Tests broadcast WM_DEVICECHANGE when devices change, as the
// system does.

#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "sim/virtual_clock.h"
#include "tavsetup/shell/detection_cycle.h"
#include "tavsetup/shell/main_window_rules.h"
#include "tavsetup/shell/window_messages.h"

namespace tav::sim {

struct PostedStatus {
    uint64_t at;  // virtual ms since the start
    Page page;
    uint32_t status;
};

class SimMainWindow : public DetectionView {
  public:
    // Timer 0 runs on `time`: the window's own clock, or a simulated world's.
    explicit SimMainWindow(PrinterDetector& detector, VirtualClock* time = nullptr)
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
    void PostDetectPrinter() override { Post(WM_DETECT_PRINTER); }
    void PostStatus(Page page, uint32_t status) override {
        posted.push_back({clock.Elapsed(), page, status});
    }
    void ShowSeveralPrintersWarning() override {
        ++warningsShown;
        ++openWarnings;
        maxOpenWarnings = std::max(maxOpenWarnings, openWarnings);
        if (whileWarningOpen)
            whileWarningOpen();  // the box's own message loop keeps dispatching
        --openWarnings;
    }

    // Queues a message as PostMessageW does.
    void Post(uint32_t message, uintptr_t wParam = 0) { m_queue.push_back({message, wParam}); }

    // Dispatches queued messages through the main window's routing.
    void Pump() {
        while (!m_queue.empty()) {
            const auto message = m_queue.front();
            m_queue.pop_front();
            lastRoute = RouteCycleMessage(cycle, message.first, message.second);
        }
    }

    // Lets virtual time pass in 1 ms steps, dispatching what each step brings.
    void RunFor(uint32_t ms) {
        Pump();
        for (uint32_t i = 0; i < ms; ++i) {
            clock.Advance(1);
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
    std::vector<uint32_t> StatusesOf(Page page) const {
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
    DetectionCycle cycle;
    std::vector<PostedStatus> posted;
    std::optional<uint32_t> timerPeriod;
    std::function<void()> whileWarningOpen;
    int warningsShown = 0;
    int openWarnings = 0;
    int maxOpenWarnings = 0;
    Route lastRoute = Route::NotHandled;

  private:
    void ArmTimer() {
        m_timer = clock.Schedule(*timerPeriod, [this] {
            Post(win::kWmTimer, kWatchTimerId);
            ArmTimer();  // a window timer repeats until killed
        });
    }

    std::optional<uint64_t> m_timer;
    std::deque<std::pair<uint32_t, uintptr_t>> m_queue;
};

}  // namespace tav::sim
