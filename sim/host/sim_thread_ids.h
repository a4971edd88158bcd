#pragma once
// Small, stable thread ids for the simulated world (GetCurrentThreadId).

#include <cstdint>

namespace tav::sim {

uint32_t SimCurrentThreadId();

}  // namespace tav::sim
