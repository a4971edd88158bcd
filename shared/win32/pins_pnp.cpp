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

}  // namespace tav::win
