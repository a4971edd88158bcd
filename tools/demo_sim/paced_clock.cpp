#include "tools/demo_sim/paced_clock.h"

#include <thread>

namespace tav::demo {

PacedClock::PacedClock(sim::VirtualClock& virtualClock)
    : m_virtual(virtualClock),
      m_start(std::chrono::steady_clock::now()),
      m_virtualAtStart(virtualClock.Elapsed()) {}

void PacedClock::Sleep(uint32_t ms) {
    m_virtual.Sleep(ms);
    WaitForRealTime();
}

void PacedClock::KeepPace() {
    const uint64_t real = RealElapsedMs();
    const uint64_t simulated = m_virtual.Elapsed() - m_virtualAtStart;
    if (real > simulated)
        m_virtual.Advance(static_cast<uint32_t>(real - simulated));
}

void PacedClock::WaitForRealTime() {
    const uint64_t real = RealElapsedMs();
    const uint64_t simulated = m_virtual.Elapsed() - m_virtualAtStart;
    if (simulated > real)
        std::this_thread::sleep_for(std::chrono::milliseconds(simulated - real));
}

uint64_t PacedClock::RealElapsedMs() const {
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now() - m_start)
                                     .count());
}

}  // namespace tav::demo
