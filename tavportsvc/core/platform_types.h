#pragma once
// Handles and records the port link core passes through its platform interfaces. They keep
// Windows' values so the logic reads like the Windows calls behind them.

#include <cstdint>

#include "shared/guid.h"

namespace tav {

// HANDLE, HKEY, HDEVINFO, HDEVNOTIFY, HMODULE, SERVICE_STATUS_HANDLE as plain values.
using PlatformHandle = uintptr_t;
inline constexpr PlatformHandle kNoHandle = 0;
inline constexpr PlatformHandle kInvalidHandleValue = ~static_cast<uintptr_t>(0);

// SP_DEVICE_INTERFACE_DATA without its size field.
struct DeviceInterfaceData {
    Guid interfaceClassGuid{};
    uint32_t flags = 0;
    uintptr_t reserved = 0;
};

// SP_DEVINFO_DATA without its size field.
struct DevInfoData {
    Guid classGuid{};
    uint32_t devInst = 0;
    uintptr_t reserved = 0;
};

// SetupAPI and registry constants the core passes on unchanged.
inline constexpr uint32_t kDigcfPresent = 0x02;
inline constexpr uint32_t kDigcfDeviceInterface = 0x10;
inline constexpr uint32_t kDicsFlagGlobal = 0x01;
inline constexpr uint32_t kDiregDev = 0x01;
inline constexpr uint32_t kDicdGenerateId = 0x01;
inline constexpr uint32_t kSpdrpHardwareId = 0x01;
inline constexpr uint32_t kDifRegisterDevice = 0x19;
inline constexpr uint32_t kKeyQueryValue = 0x0001;
inline constexpr uint32_t kKeySetValue = 0x0002;
inline constexpr uint32_t kKeyCreateSubKey = 0x0004;
inline constexpr uint32_t kRegOptionNonVolatile = 0;
inline constexpr uint32_t kRegSz = 1;
inline constexpr uint32_t kRegExpandSz = 2;
inline constexpr uint32_t kRegDword = 4;
inline constexpr uint32_t kRegMultiSz = 7;
inline constexpr uint32_t kRrfRtRegSz = 0x00000002;
inline constexpr uint32_t kSynchronize = 0x00100000;
inline constexpr uint32_t kInvalidFileAttributes = 0xFFFFFFFF;
inline constexpr uint32_t kInstallFlagForce = 0x01;
inline constexpr uint32_t kInstallFlagNonInteractive = 0x04;
inline constexpr uint32_t kMaxPath = 260;

}  // namespace tav
