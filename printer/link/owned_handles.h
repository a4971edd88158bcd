#pragma once
// Owners of the platform handles the printer link opens, each closed by the interface that
// opened it, so no path can leak one.

#include "printer/link/device_io.h"
#include "printer/link/device_setup.h"
#include "printer/link/service_manager.h"
#include "shared/unique_handle.h"

namespace tav::setup {

using UniqueEvent = UniqueHandle<Handle, win::kNoHandle, DeviceIo, &DeviceIo::CloseHandle>;
using UniqueServiceHandle =
    UniqueHandle<Handle, win::kNoHandle, ServiceManager, &ServiceManager::CloseServiceHandle>;
using UniqueDeviceInfoSet =
    UniqueHandle<Handle, win::kNoHandle, DeviceSetup, &DeviceSetup::DestroyDeviceInfoList>;

}  // namespace tav::setup
