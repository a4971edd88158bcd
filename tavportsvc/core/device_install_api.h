#pragma once
// Creating a root-enumerated device node from an INF's class and installing a driver on it.
// Failures leave the reason in the thread's last error.

#include "tavportsvc/core/platform_types.h"

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
    // SetupDiGetINFClassW(infPath, classGuid, className, classNameUnits, requiredSize).
    [[nodiscard]] virtual bool GetInfClass(const char16_t* infPath, Guid* classGuid,
                                           char16_t* className, uint32_t classNameUnits,
                                           uint32_t* requiredSize) = 0;
    // SetupDiCreateDeviceInfoList(classGuid, no window); win::kInvalidHandleValue on failure.
    [[nodiscard]] virtual PlatformHandle CreateDeviceInfoList(const Guid& classGuid) = 0;
    // SetupDiCreateDeviceInfoW(set, name, classGuid, no description, no window, flags, out).
    [[nodiscard]] virtual bool CreateDeviceInfo(PlatformHandle set, const char16_t* deviceName,
                                                const Guid& classGuid, uint32_t flags,
                                                win::DevInfoData* out) = 0;
    // SetupDiSetDeviceRegistryPropertyW.
    [[nodiscard]] virtual bool SetDeviceRegistryProperty(PlatformHandle set,
                                                         win::DevInfoData* devInfo,
                                                         uint32_t property, const void* data,
                                                         uint32_t size) = 0;
    // SetupDiCallClassInstaller.
    [[nodiscard]] virtual bool CallClassInstaller(uint32_t difCode, PlatformHandle set,
                                                  win::DevInfoData* devInfo) = 0;
    // SetupDiDestroyDeviceInfoList.
    virtual bool DestroyDeviceInfoList(PlatformHandle set) = 0;

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
