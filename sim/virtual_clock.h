#pragma once
// Virtual time for tests and the demo: Sleep advances the clock at once, and things the
// simulated world schedules (a printer coming back, an operation completing) happen when
// time passes their due tick. A 5-second window costs microseconds and is exact.

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>

#include "shared/clock.h"

namespace tav::sim {

class VirtualClock : public Clock {
  public:
    explicit VirtualClock(uint32_t startTick = 1000) : m_now(startTick) {}

    uint32_t TickCount() override;
    void Sleep(uint32_t ms) override { Advance(ms); }

    // Moves time forward, running every scheduled action whose due time is reached, in
    // due order (actions due at the same tick run in the order they were scheduled).
    void Advance(uint32_t ms);

    // Runs `action` once time reaches now + delayMs. Returns an id for Cancel.
    uint64_t Schedule(uint32_t delayMs, std::function<void()> action);
    void Cancel(uint64_t id);

    // Elapsed virtual milliseconds since construction (64-bit, never wraps).
    uint64_t Elapsed() const;

  private:
    struct Due {
        uint64_t id;
        std::function<void()> action;
    };
    mutable std::recursive_mutex m_mutex;
    uint64_t m_elapsed = 0;
    uint32_t m_now;
    uint64_t m_nextId = 1;
    std::multimap<uint64_t, Due> m_due;  // keyed by elapsed time
};

}  // namespace tav::sim
