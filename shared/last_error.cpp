#include "shared/last_error.h"

#ifdef _WIN32
#include <windows.h>

namespace tav {
uint32_t GetLastErrorCode() {
    return ::GetLastError();
}
void SetLastErrorCode(uint32_t error) {
    ::SetLastError(error);
}
}  // namespace tav

#else

namespace tav {
namespace {
thread_local uint32_t t_lastError = 0;
}
uint32_t GetLastErrorCode() {
    return t_lastError;
}
void SetLastErrorCode(uint32_t error) {
    t_lastError = error;
}
}  // namespace tav

#endif
