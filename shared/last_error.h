#pragma once
// The thread's last error. Portable logic reports details here as Windows does; in the
// Windows builds these forward to GetLastError/SetLastError so callers outside agree.

#include <cstdint>

namespace tav {

uint32_t GetLastErrorCode();
void SetLastErrorCode(uint32_t error);

}  // namespace tav
