#pragma once
// The handle type the port link core passes through its platform interfaces, and the
// Windows names (shared/win/) its interfaces use.

#include <cstdint>

#include "shared/guid.h"
#include "shared/win/files.h"
#include "shared/win/handles.h"
#include "shared/win/registry.h"
#include "shared/win/setup_api.h"

namespace tav::portsvc {

// HANDLE, HKEY, HDEVINFO, HDEVNOTIFY, HMODULE, SERVICE_STATUS_HANDLE as plain values.
using PlatformHandle = win::Handle;

}  // namespace tav::portsvc
