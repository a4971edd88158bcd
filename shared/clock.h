#pragma once
// Time as the logic sees it: the 32-bit millisecond tick count and a sleep.
// Durations are unsigned differences of tick counts, so a wrap of the counter is harmless.

#include <cstdint>

namespace tav {

class Clock {
  public:
    virtual ~Clock() = default;
    virtual uint32_t TickCount() = 0;
    virtual void Sleep(uint32_t ms) = 0;
};

inline uint32_t ElapsedMs(uint32_t since, uint32_t now) {
    return now - since;
}

}  // namespace tav
