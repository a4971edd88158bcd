#pragma once
// Owners of the platform handles the printer link opens, each closed by the interface that
// opened it, so no path can leak one.

#include "shared/unique_handle.h"
#include "tavsetup/printer_link/device_io.h"
#include "tavsetup/printer_link/device_setup.h"
#include "tavsetup/printer_link/service_manager.h"

namespace tav::setup {

using UniqueEvent = UniqueHandle<Handle, win::kNoHandle, DeviceIo, &DeviceIo::CloseHandle>;
using UniqueServiceHandle =
    UniqueHandle<Handle, win::kNoHandle, ServiceManager, &ServiceManager::CloseServiceHandle>;
using UniqueDeviceInfoSet =
    UniqueHandle<Handle, win::kNoHandle, DeviceSetup, &DeviceSetup::DestroyDeviceInfoList>;

}  // namespace tav::setup
