#pragma once
// Device interface enumeration with SetupAPI semantics: a device information set of one
// interface class, interfaces by index, their paths, their device data and hardware keys.
// Failures leave the reason in the thread's last error, as SetupAPI does.

#include <string>

#include "tavportsvc/core/platform_types.h"

namespace tav::portsvc {

class DeviceInterfaceApi {
  public:
    virtual ~DeviceInterfaceApi() = default;

    // SetupDiGetClassDevsW(class, no enumerator, no window, flags); win::kInvalidHandleValue on
    // failure.
    [[nodiscard]] virtual PlatformHandle GetClassDevs(const Guid& interfaceClass,
                                                      uint32_t flags) = 0;
    // SetupDiEnumDeviceInterfaces; fails with ERROR_NO_MORE_ITEMS past the end.
    [[nodiscard]] virtual bool EnumDeviceInterfaces(PlatformHandle set, const Guid& interfaceClass,
                                                    uint32_t index,
                                                    win::DeviceInterfaceData* data) = 0;
    // SetupDiGetDeviceInterfaceDetailW with no buffer: the required size of the detail
    // record, 0 when the call reported none.
    [[nodiscard]] virtual uint32_t GetInterfaceDetailSize(PlatformHandle set,
                                                          const win::DeviceInterfaceData& data) = 0;
    // A detail record of `size` bytes (GlobalAlloc GMEM_FIXED, size field set to the fixed
    // part), the detail call, the device path copied out, the record freed. False when the
    // allocation or the call failed.
    [[nodiscard]] virtual bool GetInterfacePath(PlatformHandle set,
                                                const win::DeviceInterfaceData& data, uint32_t size,
                                                std::u16string* path) = 0;
    // SetupDiGetDeviceInterfaceDetailW with no detail buffer and a SP_DEVINFO_DATA out:
    // normally false with ERROR_INSUFFICIENT_BUFFER and the device data filled in.
    [[nodiscard]] virtual bool GetInterfaceDevInfo(PlatformHandle set,
                                                   const win::DeviceInterfaceData& data,
                                                   win::DevInfoData* devInfo) = 0;
    // SetupDiOpenDevRegKey; win::kInvalidHandleValue on failure. The key is closed through
    // RegistryApi::CloseKey.
    [[nodiscard]] virtual PlatformHandle OpenDevRegKey(PlatformHandle set,
                                                       const win::DevInfoData& devInfo,
                                                       uint32_t scope, uint32_t hwProfile,
                                                       uint32_t keyType, uint32_t access) = 0;
    // SetupDiDestroyDeviceInfoList.
    virtual bool DestroyDeviceInfoList(PlatformHandle set) = 0;
};

}  // namespace tav::portsvc
