#pragma once
// The simulated world's virtual clock held to real time. The world moves virtual time
// forward on its own (a wait for a pending operation, a sleep of the logic); after each
// such step the caller blocks until real time has caught up, and a timer brings virtual
// time up to real time while nothing happens. So the printer's leave and return, the
// transactions' budgets and the logic's pauses take as long as they would on a desk.

#include <chrono>
#include <cstdint>

#include "shared/clock.h"
#include "sim/virtual_clock.h"

namespace tav::demo {

class PacedClock : public Clock {
  public:
    explicit PacedClock(sim::VirtualClock& virtualClock);

    uint32_t TickCount() override { return m_virtual.TickCount(); }
    // Moves virtual time (running what falls due), then waits for real time.
    void Sleep(uint32_t ms) override;

    // Virtual time forward to real time, when it is behind.
    void KeepPace();
    // Blocks until real time reaches virtual time, when it is ahead.
    void WaitForRealTime();

  private:
    uint64_t RealElapsedMs() const;

    sim::VirtualClock& m_virtual;
    std::chrono::steady_clock::time_point m_start;
    uint64_t m_virtualAtStart;
};

}  // namespace tav::demo
