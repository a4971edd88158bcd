#pragma once
// Clock over GetTickCount and Sleep.

#include "shared/clock.h"

namespace tav {

class SystemClock : public Clock {
  public:
    uint32_t TickCount() override;
    void Sleep(uint32_t ms) override;
};

}  // namespace tav
