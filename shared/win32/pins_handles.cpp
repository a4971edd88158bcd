// Pins shared/win/handles.h to the SDK's values. The handle values themselves
// (INVALID_HANDLE_VALUE, the predefined keys) are casts, not constants: tests/wine/win_names
// checks them in a running program.
#include <windows.h>

#include "shared/win/handles.h"

namespace tav::win {

static_assert(sizeof(Handle) == sizeof(HANDLE), "HANDLE size");
static_assert(sizeof(Handle) == sizeof(HKEY), "HKEY size");
static_assert(kDelete == DELETE, "DELETE");
static_assert(kSynchronize == SYNCHRONIZE, "SYNCHRONIZE");
static_assert(kWaitObject0 == WAIT_OBJECT_0, "WAIT_OBJECT_0");
static_assert(kWaitAbandoned == WAIT_ABANDONED, "WAIT_ABANDONED");
static_assert(kWaitTimeout == WAIT_TIMEOUT, "WAIT_TIMEOUT");
static_assert(kWaitFailed == WAIT_FAILED, "WAIT_FAILED");
static_assert(kInfinite == INFINITE, "INFINITE");

}  // namespace tav::win
