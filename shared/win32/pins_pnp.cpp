// Pins shared/win/pnp.h to the SDK's values.
#include <windows.h>
// (after windows.h)
#include <cfgmgr32.h>

#include "shared/win/pnp.h"

namespace tav::win {

static_assert(kCrSuccess == CR_SUCCESS, "CR_SUCCESS");
static_assert(kCmLocateDevnodeNormal == CM_LOCATE_DEVNODE_NORMAL, "CM_LOCATE_DEVNODE_NORMAL");
static_assert(kCmReenumerateNormal == CM_REENUMERATE_NORMAL, "CM_REENUMERATE_NORMAL");
static_assert(kMaxDeviceIdLen == MAX_DEVICE_ID_LEN, "MAX_DEVICE_ID_LEN");
static_assert(kCrInvalidDevnode == CR_INVALID_DEVNODE, "CR_INVALID_DEVNODE");
static_assert(kCrNoSuchDevinst == CR_NO_SUCH_DEVINST, "CR_NO_SUCH_DEVINST");
static_assert(kDnDriverLoaded == DN_DRIVER_LOADED, "DN_DRIVER_LOADED");
static_assert(kDnStarted == DN_STARTED, "DN_STARTED");
static_assert(kDnHasProblem == DN_HAS_PROBLEM, "DN_HAS_PROBLEM");

}  // namespace tav::win
