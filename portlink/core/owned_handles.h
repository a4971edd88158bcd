#pragma once
// Owners of the handles a pass takes from its platform interfaces: each closes through the
// interface that opened it, on every path out of the scope that holds it.

#include "portlink/core/device_install_api.h"
#include "portlink/core/registry_key.h"
#include "portlink/core/setup_di_api.h"
#include "portlink/core/sync_api.h"
#include "shared/unique_handle.h"

namespace tav::portsvc {

// A device information set, of interfaces or for a new device node
// (SetupDiDestroyDeviceInfoList).
using OwnedDeviceInfoSet = UniqueHandle<PlatformHandle, win::kInvalidHandleValue, SetupDiApi,
                                        &SetupDiApi::DestroyDeviceInfoList>;

// A module loaded by name (FreeLibrary).
using OwnedModule =
    UniqueHandle<PlatformHandle, win::kNoHandle, DeviceInstallApi, &DeviceInstallApi::UnloadModule>;

// An event or mutex handle (CloseHandle).
using OwnedSyncObject =
    UniqueHandle<PlatformHandle, win::kNoHandle, SyncApi, &SyncApi::CloseObject>;

}  // namespace tav::portsvc
