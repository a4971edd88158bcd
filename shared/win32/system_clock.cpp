#include "shared/win32/system_clock.h"

#include <windows.h>

namespace tav {

uint32_t SystemClock::TickCount() {
    return ::GetTickCount();
}
void SystemClock::Sleep(uint32_t ms) {
    ::Sleep(ms);
}

}  // namespace tav
