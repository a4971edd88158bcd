#pragma once
// What installing a driver on a new device node takes besides SetupDi (setup_di_api.h): the
// INF's absolute path and presence, newdev.dll bound late and its driver update call.
// Failures leave the reason in the thread's last error.

#include "portlink/core/platform_types.h"

namespace tav::portsvc {

class DeviceInstallApi {
  public:
    virtual ~DeviceInstallApi() = default;

    // GetFullPathNameW: characters written without the NUL, or the units needed (with the
    // NUL) when the buffer is too small, 0 on failure.
    [[nodiscard]] virtual uint32_t FullPathName(const char16_t* path, uint32_t bufferUnits,
                                                char16_t* buffer) = 0;
    // GetFileAttributesW; win::kInvalidFileAttributes when nothing is there.
    [[nodiscard]] virtual uint32_t FileAttributes(const char16_t* path) = 0;

    // LoadLibraryW; win::kNoHandle on failure.
    [[nodiscard]] virtual PlatformHandle LoadModule(const char16_t* name) = 0;
    // GetProcAddress; nullptr when the export is missing.
    [[nodiscard]] virtual void* FindExport(PlatformHandle module, const char* name) = 0;
    // FreeLibrary.
    virtual bool UnloadModule(PlatformHandle module) = 0;
    // Calls `proc` as UpdateDriverForPlugAndPlayDevicesW(no window, hardwareId, infPath,
    // flags, rebootRequired).
    [[nodiscard]] virtual bool UpdateDriverForPnpDevices(void* proc, const char16_t* hardwareId,
                                                         const char16_t* infPath, uint32_t flags,
                                                         bool* rebootRequired) = 0;
};

}  // namespace tav::portsvc
